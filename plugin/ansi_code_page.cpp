#include "plugin/ansi_code_page.h"

#include <windows.h>

#include <cstdint>

AnsiCodePage readAnsiCodePage() {
  AnsiCodePage page{};
  CPINFO info{};
  if (GetCPInfo(CP_ACP, &info)) {
    page.leadBytes = leadBytesFromRanges(info.LeadByte, sizeof info.LeadByte);
  }
  // Windows draws a text of the A functions in the code page of the font's
  // character set: on a double-byte system the text line's font takes the
  // code page's own set, so that a Japanese text is not drawn as pairs of
  // Western letters. Single-byte systems keep the ANSI set.
  page.fontCharset = ANSI_CHARSET;
  CHARSETINFO charset{};
  if (hasLeadBytes(page.leadBytes) &&
      TranslateCharsetInfo(
          reinterpret_cast<DWORD*>(static_cast<uintptr_t>(GetACP())), &charset,
          TCI_SRCCODEPAGE)) {
    page.fontCharset = static_cast<uint8_t>(charset.ciCharset);
  }
  return page;
}
