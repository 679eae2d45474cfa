#include "plugin/ansi_code_page.h"

#include <windows.h>

#include <cstdint>

AnsiCodePage readAnsiCodePage() {
  AnsiCodePage page{};
  CPINFO info{};
  if (GetCPInfo(CP_ACP, &info)) {
    page.leadBytes = leadBytesFromRanges(info.LeadByte, sizeof info.LeadByte);
  }
  // A font of the ANSI character set draws a double-byte text as pairs of
  // Western letters: the texts are shown in the code page's own set.
  page.fontCharset = ANSI_CHARSET;
  CHARSETINFO charset{};
  if (TranslateCharsetInfo(
          reinterpret_cast<DWORD*>(static_cast<uintptr_t>(GetACP())), &charset,
          TCI_SRCCODEPAGE)) {
    page.fontCharset = static_cast<uint8_t>(charset.ciCharset);
  }
  return page;
}
