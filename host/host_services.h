// The host's data and dialog services, imported from FINALE.EXE by ordinal.
// Every service uses the standard calling convention (the callee pops its
// arguments), takes only 32-bit arguments and is passed InterfaceVersion last.
// Results that report success, presence or a count are 16-bit: callers look
// at low16() of them and nothing else.
#pragma once

#include <cstdint>

static_assert(sizeof(void*) == 4, "the host's records hold 32-bit pointers");

#define HOST_CALL __attribute__((stdcall))

constexpr uint32_t InterfaceVersion = 0x05000005u;

// A window of the host's dialog machinery. It is a real Windows window handle,
// but the platform-neutral code never needs to know that.
typedef void* HostWindow;

// The plug-in's dialog procedure as the host calls it: window, message, the
// message's two parameters and a fifth argument that the plug-in never reads.
typedef int32_t(HOST_CALL* HostDialogProc)(HostWindow window, uint32_t message,
                                           uint32_t wParam, int32_t lParam,
                                           uint32_t reserved);

extern "C" {

// Data services.
// 9: read a record. Null buffer: the record's size is written to *size.
uint32_t HOST_CALL hostReadRecord(uint32_t tag, void* key, void* buffer,
                                  int32_t* size, uint32_t version);
// 14: read the record of `tag` after `key`; moves the key to it.
uint32_t HOST_CALL hostReadNextRecord(uint32_t tag, void* key, void* buffer,
                                      uint32_t size, uint32_t version);
// 10: store `buffer` as the record of `tag` and `key`.
uint32_t HOST_CALL hostWriteRecord(uint32_t tag, void* key, const void* buffer,
                                   uint32_t size, uint32_t version);
// 53: begin a pass over the selected region; answers a 32-bit handle.
uint32_t HOST_CALL hostBeginRegionPass(const void* region, uint32_t zero,
                                       uint32_t version);
// 55: enter one cell of the pass; a zero result stops the whole pass.
uint32_t HOST_CALL hostEnterCell(uint32_t handle, uint32_t four, uint32_t staff,
                                 uint32_t measure, int32_t minusOne,
                                 uint32_t version);
// 61: whether a layer (0 to 3) is in use.
uint32_t HOST_CALL hostLayerInUse(uint32_t layer, uint32_t version);
// 2: lend the frame of entries of one staff, measure and layer, or null.
void* HOST_CALL hostLoadFrame(uint32_t regionScope, uint32_t staff,
                              uint32_t measure, uint32_t layer, uint32_t zero,
                              uint32_t version);
// 3: store a lent frame's entries back into the document.
uint32_t HOST_CALL hostSaveFrame(void* frame, uint32_t version);
// 4: hand a lent frame back.
uint32_t HOST_CALL hostReleaseFrame(void* frame, uint32_t version);
// 54: end the pass; `stopped` is 1 when service 55 stopped it.
uint32_t HOST_CALL hostEndRegionPass(uint32_t handle, uint32_t stopped,
                                     uint32_t version);

// Dialog services.
// 15: run one of the plug-in's own dialog resources modally.
uint32_t HOST_CALL hostRunDialog(uint32_t resourceId, HostDialogProc proc,
                                 HostWindow owner, uint32_t one, uint32_t zero,
                                 uint32_t version);
// 16: end the dialog; service 15 then returns.
uint32_t HOST_CALL hostEndDialog(HostWindow dialog, uint32_t version);
// 35: enable (low 16 bits non-zero) or disable a control.
uint32_t HOST_CALL hostEnableControl(HostWindow dialog, uint32_t controlId,
                                     uint32_t flag, uint32_t version);
// 36: move the keyboard focus to a control.
uint32_t HOST_CALL hostFocusControl(HostWindow dialog, uint32_t controlId,
                                    uint32_t version);
// 57: a control's value, by kind (see HostControlKind).
uint32_t HOST_CALL hostGetControlValue(HostWindow dialog, uint32_t controlId,
                                       uint32_t kind, uint32_t version);
// 58: show a value, a signed 16-bit number widened to 32 bits.
uint32_t HOST_CALL hostSetControlValue(HostWindow dialog, uint32_t controlId,
                                       uint32_t kind, int32_t value,
                                       uint32_t version);
// 59: a control's text, at most `maxChars` characters and a terminator.
uint32_t HOST_CALL hostGetControlText(HostWindow dialog, uint32_t controlId,
                                      char* buffer, uint32_t maxChars,
                                      uint32_t version);
// 60: set a control's text.
uint32_t HOST_CALL hostSetControlText(HostWindow dialog, uint32_t controlId,
                                      const char* text, uint32_t version);
}

// Kinds of controls for services 57 and 58.
enum HostControlKind : uint32_t {
  ControlCheckBox = 1,       // get 0/1; set 0, 1 or 2 (indeterminate)
  ControlRadioButton = 2,    // get non-zero when selected; set 1 or 0
  ControlNumericEdit = 3,    // the text as a signed 16-bit number
  ControlThreeStateBox = 5,  // get 0, 1 or 2; not used to set
};
