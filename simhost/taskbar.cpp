#include "simhost/taskbar.h"

#include "simhost/import_patch.h"

namespace {

int taskbarHeight = 0;

BOOL WINAPI taskbarGetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info) {
  const BOOL found = GetMonitorInfoA(monitor, info);
  if (found && (info->dwFlags & MONITORINFOF_PRIMARY) != 0) {
    info->rcWork.bottom = info->rcMonitor.bottom - taskbarHeight;
  }
  return found;
}

const ImportHook Hooks[] = {
    {"GetMonitorInfoA", reinterpret_cast<void*>(taskbarGetMonitorInfoA)},
};

}  // namespace

bool installTaskbar(HMODULE plugin) {
  return patchImports(plugin, Hooks, sizeof Hooks / sizeof Hooks[0]) == 1;
}

void setTaskbarHeight(int pixels) { taskbarHeight = pixels; }
