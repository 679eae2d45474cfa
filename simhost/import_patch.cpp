#include "simhost/import_patch.h"

#include <cstdint>
#include <cstring>

int patchImports(HMODULE module, const ImportHook* hooks, size_t count) {
  auto* base = reinterpret_cast<uint8_t*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  int patched = 0;
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base +
                                                            dir.VirtualAddress);
       dir.VirtualAddress != 0 && d->Name != 0; ++d) {
    auto* names =
        reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const char* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(
                             base + names->u1.AddressOfData)
                             ->Name;
      for (const ImportHook* hook = hooks; hook != hooks + count; ++hook) {
        if (strcmp(name, hook->name) != 0) continue;
        DWORD old = 0;
        VirtualProtect(&slots->u1.Function, sizeof(DWORD), PAGE_READWRITE,
                       &old);
        slots->u1.Function = reinterpret_cast<DWORD>(hook->replacement);
        VirtualProtect(&slots->u1.Function, sizeof(DWORD), old, &old);
        ++patched;
      }
    }
  }
  return patched;
}
