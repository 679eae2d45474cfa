// The simulated host's dialog services: which module's resources they use,
// and a host's own ways of ending a dialog. At each dialog's last message
// (WM_NCDESTROY) the services check that the plug-in has taken off the
// window properties it put on the dialog as it set it up and put back the
// window procedure the dialog was made with, and record a violation for
// each thing left.
#pragma once

#include <windows.h>

// Dialog resources are taken from this module (the plug-in the host loaded);
// without one, from the module that holds the dialog procedure.
void setDialogResourceModule(HMODULE module);

// What a host may do to a dialog of the plug-in's without the plug-in's
// command, as on closing the document under it: end the dialog (its modal
// run returns, and the window is destroyed), or destroy its window
// outright. The plug-in's procedure is not asked first; its position is
// not the host's to store.
void endDialogAsHost(HWND dialog);
void destroyDialogAsHost(HWND dialog);
