// The simulated host's dialog services: which module's resources they use.
#pragma once

#include <windows.h>

// Dialog resources are taken from this module (the plug-in the host loaded);
// without one, from the module that holds the dialog procedure.
void setDialogResourceModule(HMODULE module);
