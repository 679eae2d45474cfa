// Takes pictures of the setup program's pages and message boxes for the
// README, by going through an install, an install while the plug-in is in
// use, and an uninstall as a user would: wait for each page, save a picture,
// press the button a user would press. On the way it checks what only a
// user sees: the welcome page names the product and its publisher, the
// folder page starts at the host found, lists both hosts once with their
// versions and takes the one picked in the list, Browse opens a folder
// dialog and takes the folder chosen there, the setup program holds no
// FINALE.EXE it read open (an update of the notation program could not
// replace it), the page keeps a folder without FINALE.EXE, or with a 64-bit
// one, after its message, a later run starts at the host of the last
// install, and with one host or none the page says so, and names the 64-bit
// host it left out; Enter at the uninstaller's settings question keeps the
// settings and, after a second install, Yes removes them.
//
//   page_pictures.exe SETUP_EXE HOST_FOLDER HOST_VERSION OTHER_HOST_FOLDER
//                     NOT_A_HOST_FOLDER HOST_64_FOLDER PICTURE_FOLDER
//
// HOST_FOLDER must hold a FINALE.EXE of version HOST_VERSION (a.b.c.d), the
// highest of the two; OTHER_HOST_FOLDER another, older one, and they the
// only ones the setup program finds that can load the plug-in;
// NOT_A_HOST_FOLDER must hold none; HOST_64_FOLDER, under Program Files, a
// 64-bit one of a higher version, the only one left out. Pictures
// are 24-bit BMP files named setup-*.bmp. Exit code 0 when every picture
// was saved and every check held, 1 when a page or box did not come within
// its time or a check failed (said on stderr).
#include <windows.h>

#include <cstdio>
#include <string>

#include "simhost/screenshot.h"

namespace {

// Ids of the setup program's own controls.
const int kMainButton = 1;  // Next, I Agree, Install, Finish, Uninstall, Close
const DWORD kWaitMilliseconds = 30000;
const char kSettingsKey[] = "Software\\QZPlugins\\QZSearchReplace111";

std::string pictureFolder;
bool allSaved = true;  // every picture saved, every check held

void fail(const char* what) {
  std::fprintf(stderr, "FAILED: %s\n", what);
  allSaved = false;
}

std::string windowText(HWND window) {
  char text[512] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

bool isDialog(HWND window) {
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  return std::string(name) == "#32770";
}

struct Search {
  std::string captionPart;  // the main window's caption holds this
  HWND main;                // or, for a message box, the main window
  HWND found;
};

DWORD processOf(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process;
}

BOOL CALLBACK matchWindow(HWND window, LPARAM param) {
  Search* search = reinterpret_cast<Search*>(param);
  if (!IsWindowVisible(window) || !isDialog(window)) return TRUE;
  const std::string caption = windowText(window);
  const bool matches =
      search->main != nullptr
          ? window != search->main &&
                processOf(window) == processOf(search->main)
          : caption.find(search->captionPart) != std::string::npos;
  if (!matches) return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK printWindow(HWND window, LPARAM) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  std::fprintf(stderr, "  %s \"%s\"%s\n", name, windowText(window).c_str(),
               IsWindowVisible(window) ? "" : " (hidden)");
  return TRUE;
}

// Waits for a visible top-level dialog: the setup's main window (its
// caption holding `captionPart`) or a message box of the process of `main`.
// Returns it, or nullptr after the time limit.
HWND waitForWindow(const std::string& captionPart, HWND main) {
  for (DWORD waited = 0; waited < kWaitMilliseconds; waited += 100) {
    Search search = {captionPart, main, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) {
      Sleep(500);  // let it finish painting
      return search.found;
    }
    Sleep(100);
  }
  std::fprintf(stderr, "no window: %s; the windows there are:\n",
               captionPart.c_str());
  EnumWindows(printWindow, 0);
  return nullptr;
}

// Waits until the main button reads `label` and can be pressed, which tells
// the page. Answers false after the time limit.
bool waitForPage(HWND main, const std::string& label) {
  for (DWORD waited = 0; waited < kWaitMilliseconds; waited += 100) {
    HWND button = GetDlgItem(main, kMainButton);
    if (windowText(button) == label && IsWindowEnabled(button)) {
      Sleep(500);
      return true;
    }
    Sleep(100);
  }
  std::fprintf(stderr, "no page with the button %s\n", label.c_str());
  return false;
}

void picture(HWND window, const char* name) {
  if (window == nullptr ||
      !saveWindowPicture(window, pictureFolder + "\\" + name + ".bmp")) {
    std::fprintf(stderr, "no picture: %s\n", name);
    allSaved = false;
  }
}

// Presses a button of a dialog or message box, as a click would.
void press(HWND dialog, int id) {
  if (dialog != nullptr)
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

struct ClassSearch {
  const char* name;
  HWND found;
};

BOOL CALLBACK matchClass(HWND child, LPARAM param) {
  ClassSearch* search = reinterpret_cast<ClassSearch*>(param);
  char name[32] = "";
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, search->name) != 0 || !IsWindowVisible(child))
    return TRUE;
  search->found = child;
  return FALSE;
}

// The visible control of a class on the page shown, or nullptr.
HWND control(HWND main, const char* className) {
  ClassSearch search = {className, nullptr};
  EnumChildWindows(main, matchClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Answers false when the page shown is not the folder page.
bool typeFolder(HWND main, const std::string& folder) {
  HWND field = control(main, "Edit");
  return field != nullptr && SetWindowTextA(field, folder.c_str()) != 0;
}

// Whether the folder field shows `folder`. (GetWindowText does not read a
// control of another process.)
void expectFolder(HWND main, const std::string& folder, const char* what) {
  char shown[512] = "";
  SendMessageA(control(main, "Edit"), WM_GETTEXT, sizeof shown,
               reinterpret_cast<LPARAM>(shown));
  if (lstrcmpiA(shown, folder.c_str()) != 0) {
    std::fprintf(stderr, "FAILED: %s: the folder field shows \"%s\"\n", what,
                 shown);
    allSaved = false;
  }
}

// Picks the other of two hosts in the list with the keyboard, as a user
// does, and checks that its folder comes into the field. The list shows
// each host once, with its version, the one in the field picked.
void pickOtherHost(HWND main, const std::string& host,
                   const std::string& version, const std::string& other) {
  HWND list = control(main, "ListBox");
  const std::string item = host + "   (version " + version + ")";
  const LRESULT at = SendMessageA(list, LB_FINDSTRINGEXACT, -1,
                                  reinterpret_cast<LPARAM>(item.c_str()));
  if (list == nullptr || SendMessageA(list, LB_GETCOUNT, 0, 0) != 2 ||
      at == LB_ERR || SendMessageA(list, LB_GETCURSEL, 0, 0) != at) {
    fail(
        "the folder page does not list the two hosts with their versions, "
        "the one found picked");
    return;
  }
  const WPARAM key = at == 0 ? VK_END : VK_HOME;
  SetForegroundWindow(main);
  PostMessageA(list, WM_KEYDOWN, key, 1);
  PostMessageA(list, WM_KEYUP, key, 0xC0000001);
  Sleep(1000);
  expectFolder(main, other, "the other host picked in the list");
}

struct TextSearch {
  const char* part;
  bool found;
};

BOOL CALLBACK matchText(HWND child, LPARAM param) {
  TextSearch* search = reinterpret_cast<TextSearch*>(param);
  char text[512] = "";
  SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  search->found = std::string(text).find(search->part) != std::string::npos;
  return !search->found;
}

// Whether a control of the window (or of its pages) shows `part`.
void expectText(HWND window, const char* part) {
  TextSearch search = {part, false};
  EnumChildWindows(window, matchText, reinterpret_cast<LPARAM>(&search));
  if (!search.found) {
    std::fprintf(stderr, "FAILED: no control shows \"%s\"\n", part);
    allSaved = false;
  }
}

// Whether the progress page shows its list of details at once, not behind
// a button.
void expectDetailsShown(HWND main) {
  HWND page = FindWindowExA(main, nullptr, "#32770", nullptr);
  HWND list = FindWindowExA(page, nullptr, "SysListView32", nullptr);
  if (list == nullptr || !IsWindowVisible(list)) {
    std::fprintf(stderr, "FAILED: the details are not shown\n");
    allSaved = false;
  }
}

// Waits until a message box has gone and its caller has gone on.
void waitUntilGone(HWND box) {
  for (DWORD waited = 0; IsWindow(box) && waited < kWaitMilliseconds;
       waited += 100) {
    Sleep(100);
  }
  Sleep(500);
}

// Presses Enter in a message box, as a user who accepts its default does.
void pressEnter(HWND box) {
  GUITHREADINFO thread = {};
  thread.cbSize = sizeof thread;
  GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &thread);
  HWND focus = thread.hwndFocus != nullptr ? thread.hwndFocus : box;
  PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageA(focus, WM_KEYUP, VK_RETURN, 0xC0000001);
}

bool settingsStored() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != 0)
    return false;
  RegCloseKey(key);
  return true;
}

HANDLE start(const std::string& commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    std::fprintf(stderr, "cannot start %s\n", commandLine.c_str());
    return nullptr;
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

void finish(HANDLE process) {
  if (process == nullptr) return;
  if (WaitForSingleObject(process, kWaitMilliseconds) != WAIT_OBJECT_0) {
    TerminateProcess(process, 1);
    allSaved = false;
  }
  CloseHandle(process);
}

BOOL CALLBACK matchButton(HWND child, LPARAM param) {
  ClassSearch* search = reinterpret_cast<ClassSearch*>(param);
  char text[64] = "";
  SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  if (lstrcmpA(text, search->name) != 0) return TRUE;
  search->found = child;
  return FALSE;
}

// Browse opens a folder dialog at the folder of the field; Cancel there
// leaves the field as it was, OK after Left (to the parent folder, as a
// user goes up the tree) puts that folder in.
void browse(HWND main, bool toParent, const std::string& expected) {
  ClassSearch search = {"B&rowse...", nullptr};
  EnumChildWindows(main, matchButton, reinterpret_cast<LPARAM>(&search));
  PostMessageA(search.found, BM_CLICK, 0, 0);
  HWND dialog = waitForWindow("", main);
  if (search.found == nullptr || dialog == nullptr) {
    fail("Browse opens no folder dialog");
    return;
  }
  if (toParent) {
    HWND tree = control(dialog, "SysTreeView32");
    PostMessageA(tree, WM_KEYDOWN, VK_LEFT, 1);
    PostMessageA(tree, WM_KEYUP, VK_LEFT, 0xC0000001);
    Sleep(1000);
  }
  press(dialog, toParent ? IDOK : IDCANCEL);
  waitUntilGone(dialog);
  expectFolder(main, expected,
               toParent ? "Browse to the parent folder" : "Browse cancelled");
}

// Goes from the welcome page to the folder page; answers the main window.
HWND throughWelcomeAndLicence(const char* welcomePicture,
                              const char* licencePicture) {
  HWND main = waitForWindow(" Setup", nullptr);
  if (main == nullptr || !waitForPage(main, "&Next >")) return nullptr;
  if (welcomePicture) {
    picture(main, welcomePicture);
    expectText(main, "Welcome to QZ Search/Replace plug-in");
    expectText(main, "QZPlugins");  // the branding line
  }
  press(main, kMainButton);
  if (!waitForPage(main, "I &Agree")) return nullptr;
  if (licencePicture) picture(main, licencePicture);
  press(main, kMainButton);
  return waitForPage(main, "&Install") ? main : nullptr;
}

// Whether the setup program has let go of the FINALE.EXE in `folder`: it
// can be opened for writing, sharing nothing.
void expectLetGo(const std::string& folder) {
  HANDLE file = CreateFileA((folder + "\\FINALE.EXE").c_str(), GENERIC_WRITE, 0,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    fail(("the setup program holds " + folder + "\\FINALE.EXE open").c_str());
  else
    CloseHandle(file);
}

// Types a folder the page must refuse, presses Install and checks that a
// box says `why`; its picture is taken; OK there keeps the page.
void refuseFolder(HWND main, const std::string& folder, const char* why,
                  const char* pictureName) {
  typeFolder(main, folder);
  press(main, kMainButton);
  HWND box = waitForWindow("", main);
  expectText(box, why);
  picture(box, pictureName);
  press(box, IDOK);
  waitUntilGone(box);
}

// Without /D=: the folder page starts at the host of the highest version
// that can load the plug-in.
void install(const std::string& setup, const std::string& host,
             const std::string& version, const std::string& other,
             const std::string& notHost, const std::string& host64) {
  HANDLE process = start("\"" + setup + "\"");
  HWND main = throughWelcomeAndLicence("setup-welcome", "setup-licence");
  if (main != nullptr) {
    expectFolder(main, host, "the host found");
    expectText(main, "Found 2 copies");
    expectText(main, "\"Plug-ins\" folder of the notation program");
    picture(main, "setup-folder");
    for (const std::string& folder : {host, other, host64}) expectLetGo(folder);
    pickOtherHost(main, host, version, other);
    browse(main, false, other);
    browse(main, true, other.substr(0, other.rfind('\\')));
    refuseFolder(main, notHost, "There is no FINALE.EXE in",
                 "setup-no-host-message");
    refuseFolder(main, host64, "is a 64-bit program: it cannot load",
                 "setup-64-bit-host-message");
    if (!typeFolder(main, host))
      fail("the folder page let a folder it must refuse through");
    press(main, kMainButton);
    if (waitForPage(main, "&Finish")) picture(main, "setup-finish");
    press(main, kMainButton);
  }
  finish(process);
}

// Without /D=: the folder page starts at the host of the last install.
void installWhileInUse(const std::string& setup, const std::string& host) {
  const std::string plugin = host + "\\Plug-ins\\vovadododidarov2000.fxt";
  HANDLE held = CreateFileA(plugin.c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  HANDLE process = start("\"" + setup + "\"");
  HWND main = throughWelcomeAndLicence(nullptr, nullptr);
  if (main != nullptr) {
    expectText(main,
               "installed into the notation program in the folder "
               "below last time");
    expectFolder(main, host, "the host of the last install");
    press(main, kMainButton);
    HWND box = waitForWindow("", main);
    picture(box, "setup-plugin-in-use-message");
    press(box, IDCANCEL);
    Sleep(1000);
    picture(main, "setup-aborted");
    expectDetailsShown(main);
    press(main, IDCANCEL);
  }
  finish(process);
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
}

// With a file where the folder of its own goes, Install stops with a box
// that says why; OK there, then Cancel, ends the setup program.
void installBlocked(const std::string& setup, const std::string& ownFolder) {
  const std::string parent = ownFolder.substr(0, ownFolder.rfind('\\'));
  CreateDirectoryA(parent.c_str(), nullptr);
  CloseHandle(CreateFileA(ownFolder.c_str(), GENERIC_WRITE, 0, nullptr,
                          CREATE_NEW, 0, nullptr));
  HANDLE process = start("\"" + setup + "\"");
  HWND main = throughWelcomeAndLicence(nullptr, nullptr);
  if (main != nullptr) {
    press(main, kMainButton);
    HWND box = waitForWindow("", main);
    if (box == nullptr) fail("a failed install shows no box");
    expectText(box, "Could not create the folder");
    press(box, IDOK);
    waitUntilGone(box);
    press(main, IDCANCEL);
  }
  finish(process);
  DeleteFileA(ownFolder.c_str());
  RemoveDirectoryA(parent.c_str());
}

// Opens the setup program without /D=, checks the folder page's words and
// folder, and cancels.
void checkFolderPage(const std::string& setup, const std::string& words,
                     const std::string& folder) {
  HANDLE process = start("\"" + setup + "\"");
  HWND main = throughWelcomeAndLicence(nullptr, nullptr);
  if (main != nullptr) {
    expectText(main, words.c_str());
    expectFolder(main, folder, words.c_str());
    press(main, IDCANCEL);
    HWND box = waitForWindow("", main);  // Are you sure?
    press(box, IDYES);
  }
  finish(process);
}

// Uninstalls with stored settings; at the settings question presses Enter
// (pictures taken) or, when `yes`, Yes.
void uninstall(const std::string& uninstaller, bool yes) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE,
                      nullptr, &key, nullptr) == 0)
    RegCloseKey(key);
  // The uninstaller starts a copy of itself and returns at once.
  finish(start("\"" + uninstaller + "\""));
  HWND main = waitForWindow(" Uninstall", nullptr);
  if (main == nullptr || !waitForPage(main, "&Uninstall")) {
    allSaved = false;
    return;
  }
  if (!yes) picture(main, "setup-uninstall-confirm");
  press(main, kMainButton);
  HWND box = waitForWindow("", main);
  if (yes) {
    press(box, IDYES);
  } else {
    picture(box, "setup-uninstall-settings-question");
    pressEnter(box);
  }
  // The uninstaller may still be removing files after its window has gone:
  // a later install waits for its end.
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processOf(main));
  if (waitForPage(main, "&Close")) {
    expectDetailsShown(main);
    press(main, kMainButton);
  }
  if (process != nullptr) {
    WaitForSingleObject(process, kWaitMilliseconds);
    CloseHandle(process);
  }
  if (!yes && !settingsStored())
    fail("Enter at the settings question removed them");
  if (yes && (settingsStored() ||
              RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\QZPlugins", 0,
                            KEY_READ, &key) == 0))
    fail("Yes at the settings question left the settings or their folder");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 8) {
    std::fprintf(stderr,
                 "page_pictures SETUP HOST_FOLDER HOST_VERSION "
                 "OTHER_HOST_FOLDER NOT_A_HOST_FOLDER HOST_64_FOLDER "
                 "PICTURE_FOLDER\n");
    return 1;
  }
  const std::string setup = argv[1], host = argv[2], version = argv[3],
                    other = argv[4], notHost = argv[5], host64 = argv[6];
  pictureFolder = argv[7];
  CreateDirectoryA(pictureFolder.c_str(), nullptr);

  install(setup, host, version, other, notHost, host64);
  installWhileInUse(setup, host);
  char programFiles[MAX_PATH] = "";
  GetEnvironmentVariableA("ProgramFiles", programFiles, sizeof programFiles);
  const std::string uninstaller =
      std::string(programFiles) +
      "\\QZPlugins\\QZ Search-Replace\\uninstall.exe";
  uninstall(uninstaller, false);
  HANDLE again = start("\"" + setup + "\" /S /D=" + host);
  DWORD code = 1;
  if (again != nullptr && WaitForSingleObject(again, kWaitMilliseconds) == 0)
    GetExitCodeProcess(again, &code);
  if (again != nullptr) CloseHandle(again);
  if (code != 0) fail("the second install, a silent one");
  uninstall(uninstaller, true);
  installBlocked(setup,
                 std::string(programFiles) + "\\QZPlugins\\QZ Search-Replace");
  DeleteFileA((other + "\\FINALE.EXE").c_str());
  checkFolderPage(setup,
                  "Found the notation program, FINALE.EXE version " + version +
                      ", in the folder below. The plug-in goes into",
                  host);
  DeleteFileA((host + "\\FINALE.EXE").c_str());
  checkFolderPage(setup,
                  "No notation program was found that can load this "
                  "plug-in. The FINALE.EXE in " +
                      host64 + " is a 64-bit program",
                  "");
  return allSaved ? 0 : 1;
}
