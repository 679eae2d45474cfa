// The demo host: loads the real plug-in into the simulated host with a small
// sample score, lists its menu items, runs each command the way a user of
// the host would, and prints what that user sees.
//   FINALE.EXE [--plugin=PATH] [--screenshots=DIR]
//              [--japanese|--utf8|--cyrillic]
//              [--visual-styles]
// With --japanese (run under code page 932), --utf8 (under 65001) or
// --cyrillic (under 1251) it runs only the text command over a score with
// texts of that code page.
#include <windows.h>

#include <cstdio>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "host/byte_access.h"
#include "host/host_records.h"
#include "host/host_tags.h"
#include "resources/dialog_ids.h"
#include "simhost/plugin_loader.h"
#include "simhost/screenshot.h"
#include "simhost/scripted_user.h"
#include "simhost/sim_document.h"
#include "simhost/sim_host.h"
#include "simhost/visual_styles.h"

namespace {

// Two staves of four measures, a few notes and texts.
void buildSampleScore(SimDocument& score) {
  for (int16_t staff = 1; staff <= 2; ++staff) {
    for (int16_t measure = 1; measure <= 4; ++measure) {
      for (int32_t beat = 0; beat < 4; ++beat) {
        EntryShape entry;
        entry.position = beat * 1024;
        // Notes on the beats, a rest on the last beat.
        entry.flags = beat < 3 ? 0x40000000u : 0;
        entry.notes.push_back(NoteShape{0, 0, 0});
        score.addEntry(staff, measure, 0, entry);
      }
    }
  }
  score.addMeasureRecords(4);
  score.addStaff(1, "Flute", "Fl.");
  score.addStaff(2, "Violin", "Vln.");
  score.addPageText(0, 0, "Sonata for Flute and Violin");
  score.addPageText(1, 0, "^font(Times)Flute part");
  score.addMeasureText(1, 1, 0, "flute solo");
  score.addTextExpression(1, "dolce");
  score.addTextRepeat(1, "Flute: D.C. al Fine");
}

// Every text of the sample score, as the user would read it.
void printTexts(const SimDocument& score) {
  for (int16_t block = 1;; ++block) {
    const RecordKey key{TagTextBlock, static_cast<uint16_t>(block), 0, 0};
    if (score.record(key) == nullptr) break;
    printf("    text block %d: \"%s\"\n", block,
           score.textBlock(block).c_str());
  }
  printf("    text repeat 1: \"%s\"\n",
         score.recordText({TagTextRepeatText, 1, 0, 0}).c_str());
}

// A text of the ANSI code page as the terminal reads it (UTF-8).
std::string terminalText(const char* text) {
  wchar_t wide[256] = {};
  char utf8[768] = {};
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 255);
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8 - 1, nullptr,
                      nullptr);
  return utf8;
}

UserStep showLines(const char* when) {
  return look([when](HWND dialog) {
    printf("  %s, the results dialog shows:\n", when);
    for (int id = IDC_RESULTS_LINE_1; id <= IDC_RESULTS_LINE_6; ++id) {
      char line[128] = {};
      GetDlgItemTextA(dialog, id, line, sizeof line);
      if (line[0] != '\0') printf("    | %s\n", terminalText(line).c_str());
    }
  });
}

int countEntries(const SimDocument& score) {
  int count = 0;
  for (int16_t s = 1; s <= score.staffCount(); ++s) {
    for (int16_t m = 1; m <= score.measureCount(); ++m) {
      count += static_cast<int>(score.layer(s, m, 0).size());
    }
  }
  return count;
}

int countSlurred(const SimDocument& score) {
  int count = 0;
  for (int16_t s = 1; s <= score.staffCount(); ++s) {
    for (int16_t m = 1; m <= score.measureCount(); ++m) {
      for (const RawEntry& entry : score.layer(s, m, 0)) {
        count += (entryFlags2(entry) & 0x0020) != 0;
      }
    }
  }
  return count;
}

UserStep narrate(const char* what) {
  return look([what](HWND) { printf("  the user %s\n", what); });
}

UserStep showCaption(const char* when, bool withPage = true) {
  return look([when, withPage](HWND dialog) {
    char title[128] = {}, page[128] = {};
    GetWindowTextA(dialog, title, sizeof title);
    printf("  %s: \"%s\"", when, title);
    // The criteria dialog names its page in its caption control.
    if (withPage &&
        GetDlgItemTextA(dialog, IDC_CRITERIA_CAPTION, page, sizeof page) > 0) {
      printf(", page \"%s\"", page);
    }
    printf("\n");
  });
}

// Where pictures go (--screenshots=DIR); none when empty.
std::string pictureFolder;
std::deque<std::string> boxPictureNames;

UserStep picture(const char* name) {
  return look([name](HWND dialog) {
    if (pictureFolder.empty()) return;
    saveWindowPicture(dialog, pictureFolder + "\\" + name + ".bmp");
  });
}

// The next message box will be pictured under this name.
void pictureNextBox(const char* name) {
  if (!pictureFolder.empty()) boxPictureNames.push_back(name);
}

void pictureBox(HWND box) {
  if (boxPictureNames.empty()) return;
  saveWindowPicture(box,
                    pictureFolder + "\\" + boxPictureNames.front() + ".bmp");
  boxPictureNames.pop_front();
}

void printBoxes() {
  for (const MessageBoxSeen& box : scriptedUser().boxes) {
    printf("  message box \"%s\": %s\n", box.title.c_str(), box.text.c_str());
  }
  for (const std::string& problem : scriptedUser().problems) {
    printf("  (scripted user: %s)\n", problem.c_str());
  }
}

// The text command on a system of another code page, searching a score of
// that code page's texts.
struct CodePageDemo {
  const char* option;
  UINT codePage;
  const char* locale;  // the LANG and LC_ALL that give Wine the code page
  const char* who;
  const char* pageText;
  const char* expression;  // a text expression
  const char* search;
  const char* replacement;  // null: find mode
  const char* picture;
  const char* optionsPicture;  // null: none
};

const CodePageDemo CodePageDemos[] = {
    // "Aria" in katakana (its first and last letters' trail byte is 'A'),
    // then in Latin letters; an expression: "sakura sakura". The katakana are
    // left alone and the text is shown readably.
    {"--japanese", 932, "ja_JP.UTF-8", "On a Japanese system",
     "\x83\x41\x83\x8A\x83\x41 Aria",
     "\x82\xB3\x82\xAD\x82\xE7 \x82\xB3\x82\xAD\x82\xE7", "a", nullptr,
     "text-results-japanese", nullptr},
    // "Slowly" in Greek, Russian, Hindi and Japanese, then "sweetly" in
    // Greek; an expression: "sweetly" in Greek and "dolce". The Greek word is
    // replaced by "tenderly" in Russian and "sweet" in Hindi and Japanese.
    // Every script is shown whole and readably.
    {"--utf8", CP_UTF8, "hi_IN.UTF-8", "On a system set to UTF-8",
     "\xCE\x91\xCF\x81\xCE\xB3\xCE\xAC \xD0\x9C\xD0\xB5\xD0\xB4\xD0\xBB\xD0\xB5"
     "\xD0\xBD\xD0\xBD\xD0\xBE \xE0\xA4\xA7\xE0\xA5\x80\xE0\xA4\xB0\xE0\xA5\x87"
     " \xE3\x82\x86\xE3\x81\xA3\xE3\x81\x8F\xE3\x82\x8A, "
     "\xCE\xB3\xCE\xBB\xCF\x85\xCE\xBA\xCE\xAC",
     "\xCE\xB3\xCE\xBB\xCF\x85\xCE\xBA\xCE\xAC, dolce",
     "\xCE\xB3\xCE\xBB\xCF\x85\xCE\xBA\xCE\xAC",
     "\xD0\xBD\xD0\xB5\xD0\xB6\xD0\xBD\xD0\xBE "
     "\xE0\xA4\xAE\xE0\xA4\xA7\xE0\xA5\x81"
     "\xE0\xA4\xB0 \xE7\x94\x98\xE3\x81\x8F",
     "text-results-utf8", "text-options-utf8"},
    // "Slowly, tenderly" in Russian; an expression: "tenderly, dolce". The
    // word "tenderly" is replaced by "gently", and read in Cyrillic letters.
    {"--cyrillic", 1251, "ru_RU.UTF-8", "On a Cyrillic system",
     "\xCC\xE5\xE4\xEB\xE5\xED\xED\xEE, \xED\xE5\xE6\xED\xEE",
     "\xED\xE5\xE6\xED\xEE, dolce", "\xED\xE5\xE6\xED\xEE",
     "\xEB\xE0\xF1\xEA\xEE\xE2\xEE", "text-results-cyrillic",
     "text-options-cyrillic"},
};

int runCodePageDemo(Plugin& plugin, const CodePageDemo& demo) {
  if (GetACP() != demo.codePage) {
    fprintf(stderr, "%s needs code page %u (LANG=%s)\n", demo.option,
            demo.codePage, demo.locale);
    return 2;
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QZPlugins");
  SimDocument score(1, 1);
  score.addPageText(0, 0, demo.pageText);
  score.addTextExpression(1, demo.expression);
  simHost().document = &score;
  callChecked(plugin.init, "Init", {0, 0});
  scriptedUser().install();
  printf("%s the user searches for \"%s\"", demo.who,
         terminalText(demo.search).c_str());
  std::vector<UserStep> options = {
      typeText(IDC_OPTIONS_SEARCH_EDIT, demo.search)};
  int goOn = IDC_RESULTS_NEXT;
  if (demo.replacement != nullptr) {
    printf(", to be replaced by \"%s\"",
           terminalText(demo.replacement).c_str());
    options.push_back(setCheck(IDC_OPTIONS_REPLACE_BOX, 1));
    options.push_back(typeText(IDC_OPTIONS_REPLACE_EDIT, demo.replacement));
    goOn = IDC_RESULTS_YES;
  }
  printf(":\n");
  if (demo.optionsPicture != nullptr)
    options.push_back(picture(demo.optionsPicture));
  options.push_back(click(IDC_OPTIONS_GO));
  scriptedUser().expectDialog(IDD_TEXT_OPTIONS, std::move(options));
  scriptedUser().expectDialog(
      IDD_TEXT_RESULTS,
      {showLines("at the first match"), picture(demo.picture), click(goOn),
       showLines("at the second match"), click(goOn), showLines("at the end"),
       click(IDC_RESULTS_OK)});
  callChecked(plugin.invoke, "Invoke", {0, 1, argument(nullptr), 0});
  printBoxes();
  scriptedUser().uninstall();
  callChecked(plugin.terminate, "Terminate", {0});
  for (const std::string& v : simHost().violations) {
    printf("host contract violation: %s\n", v.c_str());
  }
  return simHost().violations.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string path = defaultPluginPath();
  const CodePageDemo* codePageDemo = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--plugin=", 0) == 0) path = arg.substr(9);
    if (arg.rfind("--screenshots=", 0) == 0) pictureFolder = arg.substr(14);
    if (arg == "--visual-styles" && !useVisualStyles()) {
      fprintf(stderr, "visual styles could not be turned on\n");
      return 2;
    }
    for (const CodePageDemo& demo : CodePageDemos) {
      if (arg == demo.option) codePageDemo = &demo;
    }
  }
  if (!pictureFolder.empty()) {
    CreateDirectoryA(pictureFolder.c_str(), nullptr);
    scriptedUser().beforeAnswer = pictureBox;
  }
  Plugin plugin;
  const std::string error = loadPlugin(path, &plugin);
  if (!error.empty()) {
    fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  if (codePageDemo != nullptr) {
    const int status = runCodePageDemo(plugin, *codePageDemo);
    unloadPlugin(&plugin);
    return status;
  }
  // Start as a first installation would: no stored settings.
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QZPlugins");
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
  pictureNextBox("no-region-message");
  uint32_t result =
      callChecked(plugin.invoke, "Invoke", {0, 0, argument(nullptr), 0});
  printBoxes();
  printf("  the command answers %d\n", low16(result));

  printf(
      "\nThe user selects measures 2 to 3 of both staves and picks "
      "\"Search/Replace - Note Entries\":\n");
  printf("  before: %d of %d entries are slurred\n", countSlurred(score),
         countEntries(score));
  scriptedUser().reset();
  scriptedUser().expectDialog(
      IDD_ENTRY_CRITERIA,
      {showCaption("the dialog opens"), setCheck(IDC_ENTRY_NOTE_REST, 1),
       picture("entry-criteria-search-page"),
       narrate("checks \"Note/Rest\" and clicks \"&Done >>\""),
       click(IDC_CRITERIA_DONE), showCaption("the page changes"),
       setCheck(IDC_ENTRY_SLUR, 1), picture("entry-criteria-replace-page"),
       narrate("checks \"Slur\" (drawn dark red) and clicks \"&GO!\""),
       click(IDC_CRITERIA_GO)});
  scriptedUser().answerMessageBox(IDYES);
  scriptedUser().answerMessageBox(IDOK);
  pictureNextBox("dangerous-change-question");
  pictureNextBox("replacement-count-message");
  // Measures 2 to 3 of both staves, from their start to their end.
  std::vector<uint8_t> region = selectionRegion(1, 2, 0, 2, 3, 4096);
  result =
      callChecked(plugin.invoke, "Invoke", {0, 0, argument(region.data()), 0});
  printBoxes();
  printf("  after: %d of %d entries are slurred\n", countSlurred(score),
         countEntries(score));
  printf("  the command answers %d\n", low16(result));

  printf("\nThe user picks \"Search/Replace - Text\":\n");
  printf("  before:\n");
  printTexts(score);
  scriptedUser().reset();
  scriptedUser().expectDialog(
      IDD_TEXT_OPTIONS,
      {showCaption("the options dialog opens", false),
       typeText(IDC_OPTIONS_SEARCH_EDIT, "flute"),
       setCheck(IDC_OPTIONS_REPLACE_BOX, 1),
       typeText(IDC_OPTIONS_REPLACE_EDIT, "Oboe"), picture("text-options"),
       narrate("searches for \"flute\", to be replaced by \"Oboe\", "
               "and clicks \"GO!\""),
       click(IDC_OPTIONS_GO)});
  scriptedUser().expectDialog(
      IDD_TEXT_RESULTS,
      {showLines("at the first match"), picture("text-results-match"),
       narrate("answers \"&No\""), click(IDC_RESULTS_NO),
       showLines("at the second match"), narrate("answers \"&Yes\""),
       click(IDC_RESULTS_YES), showLines("at the third match"),
       narrate("answers \"Yes to &all\""), click(IDC_RESULTS_YES_TO_ALL),
       showLines("at the end"), picture("text-results-summary"),
       narrate("clicks \"OK\""), click(IDC_RESULTS_OK)});
  result = callChecked(plugin.invoke, "Invoke", {0, 1, argument(nullptr), 0});
  printBoxes();
  printf("  after:\n");
  printTexts(score);
  printf("  the command answers %d\n", low16(result));
  scriptedUser().uninstall();

  const uint32_t status = callChecked(plugin.terminate, "Terminate", {0});
  printf("\nPlug-in terminated, settings status %u\n",
         static_cast<unsigned>(status));
  if (!pictureFolder.empty()) {
    printf("Pictures of the dialogs and message boxes: %s\n",
           pictureFolder.c_str());
  }
  for (const std::string& v : simHost().violations) {
    printf("host contract violation: %s\n", v.c_str());
  }
  unloadPlugin(&plugin);
  return simHost().violations.empty() ? 0 : 1;
}
