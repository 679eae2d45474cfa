#include "plugin/ansi_code_page.h"

#include <windows.h>

#include <cstdint>

// Windows picks a font's glyphs by its character set: every code page that
// has one of its own takes it, so that a Cyrillic, Greek or Japanese text
// is not drawn with a Western font's glyphs (1252's own is the ANSI set).
// Under UTF-8 no one set covers the scripts a text may hold: the default
// set names the code page in force and leaves the glyphs to the system's
// font linking, as it does for a code page Windows gives no set.
uint8_t fontCharsetOf(CharacterForm form, uint32_t codePage) {
  CHARSETINFO charset{};
  if (form != CharacterForm::Utf8 &&
      TranslateCharsetInfo(
          reinterpret_cast<DWORD*>(static_cast<uintptr_t>(codePage)), &charset,
          TCI_SRCCODEPAGE)) {
    return static_cast<uint8_t>(charset.ciCharset);
  }
  return DEFAULT_CHARSET;
}

AnsiCodePage readAnsiCodePage() {
  AnsiCodePage page{};
  const UINT codePage = GetACP();
  CPINFO info{};
  page.characters =
      GetCPInfo(CP_ACP, &info)
          ? charactersOfCodePage(codePage, info.LeadByte, sizeof info.LeadByte)
          : charactersOfCodePage(codePage, nullptr, 0);
  page.fontCharset = fontCharsetOf(page.characters.form, codePage);
  return page;
}
