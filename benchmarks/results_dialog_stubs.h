// The results dialog run natively for the text benchmark: its own code
// (textsearch/results_dialog.cpp) as the plug-in has it, with the Windows
// side stubbed (results_dialog_stubs.cpp). The host's dialog services 15,
// 16 and 60 are counted like the benchmark host's data services, and do
// nothing else: no window is made and no control drawn.
#pragma once

#include <vector>

// The buttons the user presses, in order, once a dialog run by the host
// (service 15) has opened; the dialog must have ended (service 16) after
// the last of them.
void pressButtonsOnceOpen(const std::vector<int>& buttons);
