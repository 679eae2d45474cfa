// Putting the simulated host between the plug-in and the Windows functions
// it imports by name: the slot of each import named in a table is
// rewritten to point at the host's replacement.
#pragma once

#include <windows.h>

#include <cstddef>

struct ImportHook {
  const char* name;
  void* replacement;
};

// Patches every import of the module named in `hooks`; answers how many
// slots were patched.
int patchImports(HMODULE module, const ImportHook* hooks, size_t count);
