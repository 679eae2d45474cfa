// The Windows side of the results dialog, stubbed for the text benchmark:
// the skeleton runs the dialog's set-up and then the commands of the
// buttons the benchmark presses; showing controls and giving fonts do
// nothing; the host's dialog services are counted and answer success.
#include "benchmarks/results_dialog_stubs.h"

#include <cstdio>
#include <cstdlib>

#include "host/host_services.h"
#include "simhost/sim_host.h"
#include "ui/dialog_skeleton.h"
#include "ui/dialog_utils.h"

namespace {

std::vector<int> pressed;
bool ended = false;

// The one dialog window of the benchmark: any value the dialog code only
// hands back to the stubs.
HWND const StubDialog = reinterpret_cast<HWND>(0x20130);

uint32_t word(const void* pointer) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

}  // namespace

void pressButtonsOnceOpen(const std::vector<int>& buttons) {
  pressed = buttons;
}

extern "C" {

uint32_t HOST_CALL hostRunDialog(uint32_t resourceId, HostDialogProc proc,
                                 HostWindow owner, uint32_t one, uint32_t zero,
                                 uint32_t version) {
  simHost().log(
      15,
      {resourceId, word(reinterpret_cast<void*>(proc)), word(owner), one, zero},
      version);
  return 1;
}

uint32_t HOST_CALL hostEndDialog(HostWindow dialog, uint32_t version) {
  simHost().log(16, {word(dialog)}, version);
  ended = true;
  return 1;
}

uint32_t HOST_CALL hostSetControlText(HostWindow dialog, uint32_t controlId,
                                      const char* text, uint32_t version) {
  simHost().log(60, {word(dialog), controlId, word(text)}, version);
  return simHost().result16(1);
}

}  // extern "C"

void runDialog(uint32_t dialogId, const DialogBehaviour& behaviour,
               HostWindow parent, void* context, uint8_t*) {
  hostRunDialog(dialogId, nullptr, parent, 1, 0, InterfaceVersion);
  ended = false;
  behaviour.initialise(StubDialog, context);
  for (int id : pressed) behaviour.onCommand(StubDialog, {id, 0}, context);
  if (!ended) {
    fprintf(stderr, "the results dialog did not end after its buttons\n");
    exit(1);
  }
}

void endDialog(HWND dialog) { hostEndDialog(dialog, InterfaceVersion); }

void showControl(HostWindow, uint32_t, uint32_t) {}

HFONT giveControlFont(HWND, int, const DialogFont&, const char*) {
  return nullptr;
}
