/*
 * Runs a program while a registry key is volatile: Windows refuses a lasting
 * subkey under it, so a setup program fails there as on a registry it may
 * not write to. Running the program keeps Wine's server, and the key, alive.
 *
 *   with_volatile_key.exe KEY_UNDER_HKLM PROGRAM ARGS...
 *
 * The arguments after the key are joined by spaces, unquoted. Exit code:
 * the program's, or 99 when the key or the program failed.
 */
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  HKEY key;
  if (argc < 3 ||
      RegCreateKeyExW(HKEY_LOCAL_MACHINE, argv[1], 0, NULL, REG_OPTION_VOLATILE,
                      KEY_WRITE, NULL, &key, NULL) != ERROR_SUCCESS)
    return 99;
  RegCloseKey(key);
  wchar_t line[4096] = L"";
  for (int i = 2; i < argc; ++i) {
    if (lstrlenW(line) + lstrlenW(argv[i]) + 2 > 4096) return 99;
    if (i > 2) lstrcatW(line, L" ");
    lstrcatW(line, argv[i]);
  }
  STARTUPINFOW startup = {0};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessW(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                      &process))
    return 99;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 99;
  GetExitCodeProcess(process.hProcess, &code);
  return (int)code;
}
