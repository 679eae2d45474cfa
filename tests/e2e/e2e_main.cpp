// The end-to-end test runner: it is the simulated host, FINALE.EXE, with the
// host services exported by ordinal, and loads the real plug-in.
//   FINALE.EXE [--strict] [--visual-styles] [--plugin=PATH] [gtest flags]
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "simhost/dialog_services.h"
#include "simhost/resource_ledger.h"
#include "simhost/taskbar.h"
#include "simhost/visual_styles.h"
#include "tests/e2e/e2e_support.h"

namespace {

Plugin loadedPlugin;
bool strict = false;
bool styled = false;
std::string pluginPath_;

// A dialog or message box nobody answers must fail the run, not hang it.
std::atomic<DWORD> deadline{0};
std::string currentTest;

DWORD WINAPI watchdog(void*) {
  for (;;) {
    Sleep(500);
    const DWORD due = deadline.load();
    if (due != 0 && static_cast<int32_t>(GetTickCount() - due) > 0) {
      fprintf(stderr, "watchdog: %s did not finish in time\n",
              currentTest.c_str());
      fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    }
  }
}

class WatchdogListener : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo& info) override {
    currentTest = std::string(info.test_suite_name()) + "." + info.name();
    deadline = GetTickCount() + 60000;
  }
  void OnTestEnd(const ::testing::TestInfo&) override { deadline = 0; }
};

const char HostWindowClass[] = "SimulatedHostWindow";

}  // namespace

Plugin& plugin() { return loadedPlugin; }
const std::string& pluginPath() { return pluginPath_; }
bool strictRun() { return strict; }
bool visualStylesRun() { return styled; }

void HostTest::SetUp() {
  simHost().resetLog();
  simHost().strict = strict;
  simHost().stopAtCell = 0;
  simHost().textLimitInCharacters = false;
  simHost().duringWrite = nullptr;
  setTaskbarHeight(0);
  simHost().document = nullptr;
  setDialogEnding(DialogEnding::PassesEverything);
  scriptedUser().reset();
  scriptedUser().install();
  hostWindow = CreateWindowA(HostWindowClass, "Simulated host",
                             WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(hostWindow, nullptr);
}

void HostTest::TearDown() {
  destroyEndedDialogs();
  scriptedUser().uninstall();
  DestroyWindow(hostWindow);
  for (const std::string& v : simHost().violations) ADD_FAILURE() << v;
  for (const std::string& p : scriptedUser().problems) ADD_FAILURE() << p;
  EXPECT_TRUE(simHost().lentFrames.empty()) << "frames not handed back";
  const std::string leftovers = takeLeftovers();
  EXPECT_EQ(leftovers, "")
      << "the plug-in's dialogs closed, yet it holds these";
  simHost().document = nullptr;
}

void CommandTest::SetUp() {
  HostTest::SetUp();
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QZPlugins");
  callChecked(plugin().init, "FinaleExtensionInit", {0, 0});
  simHost().document = &score;
}

void CommandTest::TearDown() {
  HostTest::TearDown();
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QZPlugins");
}

const char SettingsKey[] = "Software\\QZPlugins\\QZSearchReplace111";

void writeSettingsValue(const char* name, const Bytes& bytes, DWORD type) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0,
                            KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, type, bytes.data(),
                 static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

SettingsValue readSettingsValue(const char* name) {
  SettingsValue value;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != 0) {
    return value;
  }
  BYTE buffer[1024];
  DWORD size = sizeof buffer;
  value.present = RegQueryValueExA(key, name, nullptr, &value.type, buffer,
                                   &size) == ERROR_SUCCESS;
  if (value.present) value.bytes.assign(buffer, buffer + size);
  RegCloseKey(key);
  return value;
}

std::string controlText(HWND dialog, int id) {
  char text[256] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

bool isShown(HWND dialog, int id) {
  return GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE;
}

UserStep readLines(std::vector<std::vector<std::string>>* seen) {
  return look([seen](HWND d) {
    std::vector<std::string> lines;
    for (int id = IDC_RESULTS_LINE_1; id <= IDC_RESULTS_LINE_6; ++id)
      lines.push_back(controlText(d, id));
    seen->push_back(lines);
  });
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  pluginPath_ = defaultPluginPath();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--strict") strict = true;
    if (arg == "--visual-styles") styled = true;
    if (arg.rfind("--plugin=", 0) == 0) pluginPath_ = arg.substr(9);
  }
  printf("host mode: %s%s\n",
         strict ? "strict (garbage in high 16 bits)" : "plain",
         styled ? ", visual styles" : "");
  if (styled && !useVisualStyles()) {
    fprintf(stderr, "visual styles could not be turned on\n");
    return 2;
  }

  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = HostWindowClass;
  RegisterClassA(&windowClass);

  const std::string error = loadPlugin(pluginPath_, &loadedPlugin);
  if (!error.empty()) {
    fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  CreateThread(nullptr, 0, watchdog, nullptr, 0, nullptr);
  ::testing::UnitTest::GetInstance()->listeners().Append(new WatchdogListener);
  const int result = RUN_ALL_TESTS();
  unloadPlugin(&loadedPlugin);
  fflush(stdout);
  return result;
}
