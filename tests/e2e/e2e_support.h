// Shared set-up of the end-to-end tests: the real plug-in loaded into the
// simulated host, a host window to own dialogs and message boxes, the
// scripted user hooked, and the host contract checked after every test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "resources/dialog_ids.h"
#include "simhost/plugin_loader.h"
#include "simhost/scripted_user.h"
#include "simhost/sim_document.h"
#include "simhost/sim_host.h"

// The plug-in, loaded once for the whole run.
Plugin& plugin();
// Where the plug-in was loaded from.
const std::string& pluginPath();
// Whether this run is in the host's strict mode (--strict).
bool strictRun();
// Whether this run has the host's visual styles (--visual-styles).
bool visualStylesRun();

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The host's main window: owner of the commands' dialogs and boxes.
  HWND hostWindow = nullptr;
};

// A test of a whole command: the settings as on a first run (no stored
// values, Init called), and a score open in the host.
class CommandTest : public HostTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  SimDocument score;
};

// The plug-in's settings key under HKEY_CURRENT_USER, and one of its
// values: written as given, read back as stored (absent: `present` false).
extern const char SettingsKey[];
using Bytes = std::vector<uint8_t>;
void writeSettingsValue(const char* name, const Bytes& bytes,
                        DWORD type = REG_BINARY);
struct SettingsValue {
  bool present = false;
  DWORD type = 0;
  Bytes bytes;
};
SettingsValue readSettingsValue(const char* name);

// What a control shows, and whether it is on the screen.
std::string controlText(HWND dialog, int id);
bool isShown(HWND dialog, int id);
// Runs each of the plug-in's three dialogs to each way a dialog can end,
// over a page text `text` that the search finds, and checks what each
// leaves behind.
void expectEveryEndingLeavesNothing(HWND hostWindow, SimDocument& score,
                                    const std::string& text);
// A look at the text command's results dialog: its six lines are added to
// `seen`.
UserStep readLines(std::vector<std::vector<std::string>>* seen);
