// The dialog utilities on a real dialog of the plug-in: remembered
// positions, edit limits and selection, showing and hiding controls.
#include "ui/dialog_utils.h"

#include <functional>
#include <string>

#include "host/byte_access.h"
#include "tests/e2e/e2e_support.h"

namespace {

int32_t HOST_CALL plainDialogProc(HostWindow window, uint32_t message,
                                  uint32_t wParam, int32_t, uint32_t) {
  if (message == WM_COMMAND && (wParam & 0xFFFF) == IDCANCEL) {
    hostEndDialog(window, InterfaceVersion);
  }
  return message == WM_INITDIALOG ? 1 : 0;
}

// Runs the text options dialog with `look` applied while it is up.
void withDialog(HWND owner, std::function<void(HWND)> fn) {
  scriptedUser().expectDialog(IDD_TEXT_OPTIONS,
                              {look(std::move(fn)), click(IDCANCEL)});
  hostRunDialog(IDD_TEXT_OPTIONS, plainDialogProc, owner, 1, 0,
                InterfaceVersion);
}

RECT rectOf(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return rect;
}

}  // namespace

using DialogUtilsTest = HostTest;

TEST_F(DialogUtilsTest, RestoresOnlySetPositionsOnTheScreen) {
  struct Case {
    int16_t left, top;
    bool moves;
  };
  withDialog(hostWindow, [](HWND dialog) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const Case cases[] = {
        {PositionUnset, 100, false},
        {100, PositionUnset, false},
        {-5, 40, false},
        {40, -1, false},
        {static_cast<int16_t>(width + 1), 10, false},
        {10, static_cast<int16_t>(height + 1), false},
        {static_cast<int16_t>(width), 10, false},
        {10, static_cast<int16_t>(height), false},
        {static_cast<int16_t>(width - 1), static_cast<int16_t>(height - 1),
         true},
        {0, 0, true},
        {37, 52, true},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(c.left) + "," + std::to_string(c.top));
      MoveWindow(dialog, 200, 150, rectOf(dialog).right - rectOf(dialog).left,
                 rectOf(dialog).bottom - rectOf(dialog).top, TRUE);
      const RECT before = rectOf(dialog);
      uint8_t position[4];
      writeI16(position, 0, c.left);
      writeI16(position, 2, c.top);
      restoreWindowPosition(dialog, position);
      const RECT after = rectOf(dialog);
      EXPECT_EQ(after.left, c.moves ? c.left : before.left);
      EXPECT_EQ(after.top, c.moves ? c.top : before.top);
      EXPECT_EQ(after.right - after.left, before.right - before.left);
      EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    }
  });
}

TEST_F(DialogUtilsTest, SavedPositionRestoresToTheSamePlace) {
  withDialog(hostWindow, [](HWND dialog) {
    MoveWindow(dialog, 123, 77, 300, 200, TRUE);
    uint8_t position[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    saveWindowPosition(dialog, position);
    EXPECT_EQ(readI16(position, 0), 123);
    EXPECT_EQ(readI16(position, 2), 77);
    restoreWindowPosition(dialog, position);
    EXPECT_EQ(rectOf(dialog).left, 123);
    EXPECT_EQ(rectOf(dialog).top, 77);
  });
}

TEST_F(DialogUtilsTest, EditLimitSelectionAndVisibility) {
  withDialog(hostWindow, [](HWND dialog) {
    HWND edit = GetDlgItem(dialog, IDC_OPTIONS_SEARCH_EDIT);
    limitText(dialog, 0xABCD0000u | IDC_OPTIONS_SEARCH_EDIT, 50);
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 50);
    SetWindowTextA(edit, "find me");
    selectAllText(dialog, IDC_OPTIONS_SEARCH_EDIT);
    DWORD start = 1, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 7u);
    HWND box = GetDlgItem(dialog, IDC_OPTIONS_REPLACE_BOX);
    showControl(dialog, IDC_OPTIONS_REPLACE_BOX, 0x00010000u);
    EXPECT_FALSE(GetWindowLongA(box, GWL_STYLE) & WS_VISIBLE);
    showControl(dialog, IDC_OPTIONS_REPLACE_BOX, 0xFFFF0001u);
    EXPECT_TRUE(GetWindowLongA(box, GWL_STYLE) & WS_VISIBLE);
  });
}
