#include "simhost/visual_styles.h"

#include <windows.h>

bool useVisualStyles() {
  char path[MAX_PATH] = {};
  if (GetModuleFileNameA(nullptr, path, sizeof path) == 0) return false;
  ACTCTXA context = {};
  context.cbSize = sizeof context;
  context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
  context.lpSource = path;
  context.hModule = GetModuleHandleA(nullptr);
  context.lpResourceName = MAKEINTRESOURCEA(VISUAL_STYLES_MANIFEST_ID);
  HANDLE handle = CreateActCtxA(&context);
  if (handle == INVALID_HANDLE_VALUE) return false;
  ULONG_PTR cookie = 0;
  if (!ActivateActCtx(handle, &cookie)) return false;
  // Loaded under the manifest, the controls library is version 6 and
  // registers the themed window classes.
  return LoadLibraryA("comctl32.dll") != nullptr;
}
