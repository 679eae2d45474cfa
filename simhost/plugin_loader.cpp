#include "simhost/plugin_loader.h"

#include <vector>

#include "simhost/dialog_services.h"
#include "simhost/resource_ledger.h"
#include "simhost/sim_host.h"
#include "simhost/taskbar.h"

std::string defaultPluginPath() {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string dir(exe);
  dir = dir.substr(0, dir.find_last_of("\\/"));
  return dir + "\\..\\plugin\\vovadododidarov2000.fxt";
}

std::string loadPlugin(const std::string& path, Plugin* plugin) {
  plugin->module = LoadLibraryA(path.c_str());
  if (plugin->module == nullptr) {
    return "cannot load " + path + " (error " + std::to_string(GetLastError()) +
           ")";
  }
  setDialogResourceModule(plugin->module);
  if (installResourceLedger(plugin->module) == 0) {
    return "no GDI, USER or heap import of " + path + " could be watched";
  }
  if (!installTaskbar(plugin->module)) {
    return "the monitor queries of " + path + " could not be answered";
  }
  struct Export {
    const char* name;
    void** slot;
  };
  const Export exports[] = {
      {"FinaleExtensionVersion", &plugin->version},
      {"FinaleExtensionInit", &plugin->init},
      {"FinaleExtensionEnumerate", &plugin->enumerate},
      {"FinaleExtensionInvoke", &plugin->invoke},
      {"FinaleExtensionTerminate", &plugin->terminate},
      {"FinaleExtensionGetMenuStatus", &plugin->menuStatus},
  };
  for (const Export& e : exports) {
    *e.slot = reinterpret_cast<void*>(GetProcAddress(plugin->module, e.name));
    if (*e.slot == nullptr) return std::string("missing export ") + e.name;
  }
  return std::string();
}

void unloadPlugin(Plugin* plugin) {
  ledgerUnloading(true);
  if (plugin->module != nullptr) FreeLibrary(plugin->module);
  ledgerUnloading(false);
  setDialogResourceModule(nullptr);
  *plugin = Plugin();
}

uint32_t callChecked(const void* fn, const char* name,
                     std::initializer_list<uint32_t> args) {
  const std::vector<uint32_t> list(args);
  int32_t leftOnStack = 0;
  const uint32_t result = callStdcallChecked(
      fn, list.data(), static_cast<uint32_t>(list.size()), &leftOnStack);
  if (leftOnStack != 0) {
    simHost().violation(std::string(name) + " left " +
                        std::to_string(leftOnStack) +
                        " bytes on the stack instead of popping its arguments");
  }
  return result;
}
