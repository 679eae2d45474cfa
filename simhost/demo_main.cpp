// The demo host: loads the real plug-in into the simulated host with a small
// sample score, lists its menu items, runs each command the way a user of
// the host would, and prints what that user sees.
//   FINALE.EXE [--plugin=PATH]
#include <windows.h>

#include <cstdio>
#include <string>

#include "host/byte_access.h"
#include "host/host_records.h"
#include "simhost/plugin_loader.h"
#include "simhost/scripted_user.h"
#include "simhost/sim_document.h"
#include "simhost/sim_host.h"

namespace {

// Two staves of four measures, a few notes and texts.
void buildSampleScore(SimDocument& score) {
  for (int16_t staff = 1; staff <= 2; ++staff) {
    for (int16_t measure = 1; measure <= 4; ++measure) {
      for (int32_t beat = 0; beat < 4; ++beat) {
        EntryShape entry;
        entry.position = beat * 1024;
        entry.flags = 0x40000000u;  // a note, not a rest
        entry.notes.push_back(NoteShape{0, 0, 0});
        score.addEntry(staff, measure, 0, entry);
      }
    }
  }
  score.addMeasureRecords(4);
  score.addStaff(1, "Flute", "Fl.");
  score.addStaff(2, "Violin", "Vln.");
  score.addPageText(0, 0, "Sonata for Flute and Violin");
  score.addTextExpression(1, "dolce");
}

void printBoxes() {
  for (const MessageBoxSeen& box : scriptedUser().boxes) {
    printf("  message box \"%s\": %s\n", box.title.c_str(), box.text.c_str());
  }
  for (const std::string& problem : scriptedUser().problems) {
    printf("  (scripted user: %s)\n", problem.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string path = defaultPluginPath();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--plugin=", 0) == 0) path = arg.substr(9);
  }
  Plugin plugin;
  const std::string error = loadPlugin(path, &plugin);
  if (!error.empty()) {
    fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  SimDocument score(2, 4);
  buildSampleScore(score);
  simHost().document = &score;

  const uint32_t version = callChecked(plugin.version, "Version", {0});
  printf("Plug-in loaded, interface version 0x%08X\n",
         static_cast<unsigned>(version));
  callChecked(plugin.init, "Init", {0, 0});

  printf("Plug-in menu:\n");
  for (uint32_t index = 0;; ++index) {
    uint8_t item[256] = {};
    if (low16(callChecked(plugin.enumerate, "Enumerate",
                          {0, index, argument(item)})) == 0) {
      break;
    }
    printf(
        "  %u: %s\n", static_cast<unsigned>(index),
        reinterpret_cast<const char*>(item + HostMenuItemLayout::SecondText));
  }

  scriptedUser().install();
  printf(
      "\nThe user picks \"Search/Replace - Note Entries\" with nothing "
      "selected:\n");
  scriptedUser().answerMessageBox(IDOK);
  uint32_t result =
      callChecked(plugin.invoke, "Invoke", {0, 0, argument(nullptr), 0});
  printBoxes();
  printf("  the command answers %d\n", low16(result));

  printf("\nThe user picks \"Search/Replace - Text\":\n");
  scriptedUser().reset();
  result = callChecked(plugin.invoke, "Invoke", {0, 1, argument(nullptr), 0});
  printBoxes();
  printf("  the command answers %d\n", low16(result));
  scriptedUser().uninstall();

  const uint32_t status = callChecked(plugin.terminate, "Terminate", {0});
  printf("\nPlug-in terminated, settings status %u\n",
         static_cast<unsigned>(status));
  for (const std::string& v : simHost().violations) {
    printf("host contract violation: %s\n", v.c_str());
  }
  unloadPlugin(&plugin);
  return simHost().violations.empty() ? 0 : 1;
}
