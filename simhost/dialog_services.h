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

// How the host's run service (15) ends a dialog. Hosts differ: most pass
// every message on and return once the window is gone; some pass the
// window's last message (WM_NCDESTROY) on to nobody; some return as soon as
// the dialog is ended and destroy its window later, at their next idle
// moment (destroyEndedDialogs() is that moment).
enum class DialogEnding {
  PassesEverything,
  WithholdsLastMessage,
  ReturnsFirst
};
void setDialogEnding(DialogEnding ending);
void destroyEndedDialogs();
