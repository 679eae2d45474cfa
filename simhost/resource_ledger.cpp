#include "simhost/resource_ledger.h"

#include <cstdlib>
#include <map>
#include <set>

#include "simhost/import_patch.h"

namespace {

std::set<HGDIOBJ> liveObjects;
std::multiset<HDC> liveDcs;
std::multiset<HMODULE> liveLibraries;  // each load the plug-in made
// Heap blocks the plug-in holds (its texts), with their sizes.
std::map<void*, size_t> liveBlocks;
// Objects deleted that the plug-in did not hold: deleted twice, say.
int strayDeletions = 0;
int strayFrees = 0;
// While the plug-in is unloaded its runtime frees what it took as it was
// loaded, before the ledger watched it.
bool unloading = false;

HFONT WINAPI ledgerCreateFontA(int h, int w, int e, int o, int wt, DWORD i,
                               DWORD u, DWORD s, DWORD cs, DWORD op, DWORD cp,
                               DWORD q, DWORD pf, LPCSTR face) {
  HFONT font = CreateFontA(h, w, e, o, wt, i, u, s, cs, op, cp, q, pf, face);
  if (font != nullptr) liveObjects.insert(font);
  return font;
}

HBRUSH WINAPI ledgerCreateSolidBrush(COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  if (brush != nullptr) liveObjects.insert(brush);
  return brush;
}

BOOL WINAPI ledgerDeleteObject(HGDIOBJ object) {
  const bool held = liveObjects.count(object) != 0;
  const BOOL deleted = DeleteObject(object);
  if (!held) ++strayDeletions;
  if (held && deleted) liveObjects.erase(object);
  return deleted;
}

HDC WINAPI ledgerGetDC(HWND window) {
  HDC dc = GetDC(window);
  if (dc != nullptr) liveDcs.insert(dc);
  return dc;
}

int WINAPI ledgerReleaseDC(HWND window, HDC dc) {
  const int released = ReleaseDC(window, dc);
  auto it = liveDcs.find(dc);
  if (released && it != liveDcs.end()) liveDcs.erase(it);
  return released;
}

void* ledgerMalloc(size_t size) {
  void* block = malloc(size);
  if (block != nullptr) liveBlocks[block] = size;
  return block;
}

void* ledgerCalloc(size_t count, size_t size) {
  void* block = calloc(count, size);
  if (block != nullptr) liveBlocks[block] = count * size;
  return block;
}

void* ledgerRealloc(void* old, size_t size) {
  if (old != nullptr && liveBlocks.count(old) == 0 && !unloading) {
    ++strayFrees;
  }
  void* block = realloc(old, size);
  if (block == nullptr && size != 0) return nullptr;  // the old one stays
  liveBlocks.erase(old);
  if (block != nullptr) liveBlocks[block] = size;
  return block;
}

void ledgerFree(void* block) {
  if (block == nullptr) return;
  if (liveBlocks.erase(block) == 0 && !unloading) ++strayFrees;
  free(block);
}

// Registry keys the plug-in holds open. Arguments Windows documents as
// reserved or limited are refused as it may refuse them.
std::multiset<HKEY> liveKeys;

LONG WINAPI ledgerRegOpenKeyExA(HKEY parent, LPCSTR name, DWORD options,
                                REGSAM access, PHKEY key) {
  if ((options & ~REG_OPTION_OPEN_LINK) != 0) return ERROR_INVALID_PARAMETER;
  const LONG opened = RegOpenKeyExA(parent, name, options, access, key);
  if (opened == ERROR_SUCCESS) liveKeys.insert(*key);
  return opened;
}

LONG WINAPI ledgerRegCreateKeyExA(HKEY parent, LPCSTR name, DWORD reserved,
                                  LPSTR keyClass, DWORD options, REGSAM access,
                                  LPSECURITY_ATTRIBUTES security, PHKEY key,
                                  LPDWORD disposition) {
  if (reserved != 0) return ERROR_INVALID_PARAMETER;
  const LONG created =
      RegCreateKeyExA(parent, name, reserved, keyClass, options, access,
                      security, key, disposition);
  if (created == ERROR_SUCCESS) liveKeys.insert(*key);
  return created;
}

LONG WINAPI ledgerRegSetValueExA(HKEY key, LPCSTR name, DWORD reserved,
                                 DWORD type, const BYTE* data, DWORD size) {
  if (reserved != 0) return ERROR_INVALID_PARAMETER;
  return RegSetValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI ledgerRegCloseKey(HKEY key) {
  const LONG closed = RegCloseKey(key);
  auto it = liveKeys.find(key);
  if (closed == ERROR_SUCCESS && it != liveKeys.end()) liveKeys.erase(it);
  return closed;
}

bool librariesRefused = false;

HMODULE WINAPI ledgerLoadLibraryA(LPCSTR name) {
  if (librariesRefused) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  HMODULE library = LoadLibraryA(name);
  if (library != nullptr) liveLibraries.insert(library);
  return library;
}

BOOL WINAPI ledgerFreeLibrary(HMODULE library) {
  const BOOL freed = FreeLibrary(library);
  auto it = liveLibraries.find(library);
  if (freed && it != liveLibraries.end()) liveLibraries.erase(it);
  return freed;
}

const ImportHook Hooks[] = {
    {"CreateFontA", reinterpret_cast<void*>(ledgerCreateFontA)},
    {"CreateSolidBrush", reinterpret_cast<void*>(ledgerCreateSolidBrush)},
    {"DeleteObject", reinterpret_cast<void*>(ledgerDeleteObject)},
    {"GetDC", reinterpret_cast<void*>(ledgerGetDC)},
    {"ReleaseDC", reinterpret_cast<void*>(ledgerReleaseDC)},
    {"malloc", reinterpret_cast<void*>(ledgerMalloc)},
    {"calloc", reinterpret_cast<void*>(ledgerCalloc)},
    {"realloc", reinterpret_cast<void*>(ledgerRealloc)},
    {"free", reinterpret_cast<void*>(ledgerFree)},
    {"LoadLibraryA", reinterpret_cast<void*>(ledgerLoadLibraryA)},
    {"FreeLibrary", reinterpret_cast<void*>(ledgerFreeLibrary)},
    {"RegOpenKeyExA", reinterpret_cast<void*>(ledgerRegOpenKeyExA)},
    {"RegCreateKeyExA", reinterpret_cast<void*>(ledgerRegCreateKeyExA)},
    {"RegSetValueExA", reinterpret_cast<void*>(ledgerRegSetValueExA)},
    {"RegCloseKey", reinterpret_cast<void*>(ledgerRegCloseKey)},
};

}  // namespace

int installResourceLedger(HMODULE plugin) {
  return patchImports(plugin, Hooks, sizeof Hooks / sizeof Hooks[0]);
}

void ledgerUnloading(bool on) { unloading = on; }

std::string takeLeftovers() {
  std::string left;
  auto add = [&left](size_t count, const char* what) {
    if (count == 0) return;
    left += (left.empty() ? "" : ", ") + std::to_string(count) + " " + what;
  };
  add(liveObjects.size(), "GDI objects");
  add(liveDcs.size(), "device contexts");
  add(liveBlocks.size(), "heap blocks");
  add(liveLibraries.size(), "libraries loaded");
  add(liveKeys.size(), "registry keys open");
  add(static_cast<size_t>(strayDeletions), "deletions of objects not held");
  add(static_cast<size_t>(strayFrees), "frees of blocks not held");
  liveObjects.clear();
  liveDcs.clear();
  liveBlocks.clear();
  liveLibraries.clear();
  liveKeys.clear();
  strayDeletions = 0;
  strayFrees = 0;
  return left;
}

void refuseLibraries(bool refuse) { librariesRefused = refuse; }
