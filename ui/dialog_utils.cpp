#include "ui/dialog_utils.h"

#include <windows.h>

#include "host/byte_access.h"

namespace {

HWND window(HostWindow dialog) { return static_cast<HWND>(dialog); }

int controlOf(uint32_t controlId) { return low16(controlId); }

// Whether the point lies in some monitor's work area: not in a gap between
// monitors of different sizes, not beyond them all, not under a taskbar.
// Where no monitor is, the info call fails and its empty area holds nothing.
bool inSomeWorkArea(POINT point) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  GetMonitorInfoA(MonitorFromPoint(point, MONITOR_DEFAULTTONULL), &info);
  return PtInRect(&info.rcWork, point) != FALSE;
}

}  // namespace

void selectAllText(HostWindow dialog, uint32_t controlId) {
  SendMessageA(GetDlgItem(window(dialog), controlOf(controlId)), EM_SETSEL, 0,
               -1);
}

void limitText(HostWindow dialog, uint32_t controlId, uint32_t limit) {
  SendDlgItemMessageA(window(dialog), controlOf(controlId), EM_LIMITTEXT,
                      static_cast<WPARAM>(low16(limit)), 0);
}

void showControl(HostWindow dialog, uint32_t controlId, uint32_t flag) {
  ShowWindow(GetDlgItem(window(dialog), controlOf(controlId)),
             low16(flag) != 0 ? SW_SHOW : SW_HIDE);
}

void saveWindowPosition(HostWindow dialog, uint8_t* position) {
  RECT rect;
  if (!GetWindowRect(window(dialog), &rect)) return;
  writeI16(position, 0, static_cast<int16_t>(rect.left));
  writeI16(position, 2, static_cast<int16_t>(rect.top));
}

void restoreWindowPosition(HostWindow dialog, const uint8_t* position) {
  const int16_t left = readI16(position, 0);
  const int16_t top = readI16(position, 2);
  if (left == PositionUnset || top == PositionUnset) return;
  if (!inSomeWorkArea(POINT{left, top})) return;
  RECT rect;
  if (!GetWindowRect(window(dialog), &rect)) return;
  MoveWindow(window(dialog), left, top, rect.right - rect.left,
             rect.bottom - rect.top, TRUE);
}
