// Loading the real plug-in into the simulated host and calling its exports
// the way the host does: standard calling convention, 32-bit arguments, with
// the stack pointer checked around every call.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>

extern "C" uint32_t callStdcallChecked(const void* fn, const uint32_t* args,
                                       uint32_t count, int32_t* leftOnStack);

struct Plugin {
  HMODULE module = nullptr;
  void* version = nullptr;
  void* init = nullptr;
  void* enumerate = nullptr;
  void* invoke = nullptr;
  void* terminate = nullptr;
  void* menuStatus = nullptr;
};

// Where the build puts the plug-in, seen from a host executable:
// ..\plugin\vovadododidarov2000.fxt beside the executable's folder.
std::string defaultPluginPath();

// Loads the library, finds the six exports and watches the GDI objects,
// DCs and heap blocks it holds (simhost/resource_ledger.h); answers an error
// text, empty on success.
std::string loadPlugin(const std::string& path, Plugin* plugin);
void unloadPlugin(Plugin* plugin);

// Calls a function through the checking thunk. A callee that does not pop
// exactly its arguments is reported as a violation of the host's contract.
uint32_t callChecked(const void* fn, const char* name,
                     std::initializer_list<uint32_t> args);

inline uint32_t argument(const void* pointer) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}
