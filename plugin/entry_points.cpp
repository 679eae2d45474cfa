// The six entry points that the host calls, and the dispatch of the two
// commands. Every export uses the standard calling convention (the callee
// pops its arguments); resources/vovadododidarov2000.def exports them under
// their plain names.
#include <windows.h>

#include <cstdint>

#include "entrysearch/entry_dialog.h"
#include "entrysearch/entry_engine.h"
#include "host/byte_access.h"
#include "host/host_services.h"
#include "plugin/ansi_code_page.h"
#include "plugin/menu_table.h"
#include "plugin/settings.h"
#include "textsearch/text_command.h"

namespace {

const char NoRegionText[] =
    "Please select the area (with the mass mover tool) where you want do the "
    "search before selecting the plug-in. You can use partial measures if "
    "needed.";
const char NoRegionTitle[] = "QZ Search/Replace - No area selected";
const char CountTitle[] = "QZ Search/Replace Info";

// "1 replacement was made." in the singular, every other count in the plural.
void showCountMessage(HWND owner, int32_t count) {
  char text[100];
  const bool one = count == 1;
  wsprintfA(text, "%d replacemen%s %s made.", static_cast<int>(count),
            one ? "t" : "ts", one ? "was" : "were");
  MessageBoxA(owner, text, CountTitle, MB_OK | MB_ICONINFORMATION);
}

uint32_t runNoteEntryCommand(HWND owner, const uint8_t* region) {
  if (region == nullptr) {
    MessageBoxA(owner, NoRegionText, NoRegionTitle, MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  if (!runEntryDialog(owner, &storedSearchOptions, &storedReplaceOptions)) {
    return 1;
  }
  const int32_t count =
      runEntrySearch(&storedSearchOptions, &storedReplaceOptions, region);
  if (count != EntrySearchStopped) showCountMessage(owner, count);
  return 1;
}

}  // namespace

extern "C" {

// Loading and unloading do no work of their own (the loader lock is held).
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

uint32_t HOST_CALL FinaleExtensionVersion(uint32_t) { return InterfaceVersion; }

uint32_t HOST_CALL FinaleExtensionInit(uint32_t, uint32_t) {
  loadSettings(&storedSearchOptions, &storedReplaceOptions, &storedTextPrefs);
  return 1;
}

uint32_t HOST_CALL FinaleExtensionEnumerate(uint32_t, uint32_t index,
                                            void* item) {
  return fillMenuItem(low16(index), static_cast<uint8_t*>(item)) ? 1 : 0;
}

uint32_t HOST_CALL FinaleExtensionInvoke(HWND owner, uint32_t index,
                                         const void* region, uint32_t) {
  if (low16(index) == MenuText) {
    // Read at every command: the texts are in the code page in force now.
    const AnsiCodePage codePage = readAnsiCodePage();
    runTextCommand(owner, &storedTextPrefs, &codePage);
    return 1;
  }
  return runNoteEntryCommand(owner, static_cast<const uint8_t*>(region));
}

uint32_t HOST_CALL FinaleExtensionTerminate(uint32_t) {
  return storeSettings(&storedSearchOptions, &storedReplaceOptions,
                       &storedTextPrefs);
}

uint32_t HOST_CALL FinaleExtensionGetMenuStatus(uint32_t) { return 1; }

}  // extern "C"
