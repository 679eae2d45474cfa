#include "plugin/ansi_code_page.h"

#include <windows.h>

#include <cstdint>

namespace {

// Windows picks a font's glyphs by its character set. A double-byte system
// takes the code page's own set, so that a Japanese text is not drawn with
// a Western font. Under UTF-8 no one set covers the scripts a text may
// hold: the default set names the code page in force and leaves the glyphs
// to the system's font linking. Single-byte systems keep the ANSI set.
uint8_t fontCharsetOf(const TextCharacters& characters, UINT codePage) {
  CHARSETINFO charset{};
  switch (characters.form) {
    case CharacterForm::Utf8:
      return DEFAULT_CHARSET;
    case CharacterForm::DoubleByte:
      if (TranslateCharsetInfo(
              reinterpret_cast<DWORD*>(static_cast<uintptr_t>(codePage)),
              &charset, TCI_SRCCODEPAGE)) {
        return static_cast<uint8_t>(charset.ciCharset);
      }
      break;
    case CharacterForm::SingleByte:
      break;
  }
  return ANSI_CHARSET;
}

}  // namespace

AnsiCodePage readAnsiCodePage() {
  AnsiCodePage page{};
  const UINT codePage = GetACP();
  CPINFO info{};
  page.characters =
      GetCPInfo(CP_ACP, &info)
          ? charactersOfCodePage(codePage, info.LeadByte, sizeof info.LeadByte)
          : charactersOfCodePage(codePage, nullptr, 0);
  page.fontCharset = fontCharsetOf(page.characters, codePage);
  return page;
}
