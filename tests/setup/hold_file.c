/*
 * Holds a file open the way a running host holds a loaded plug-in: opened
 * for reading, sharing reading only, so that nobody can write, replace or
 * delete it meanwhile.
 *
 *   hold_file.exe FILE READY RELEASE SECONDS
 *
 * Creates the file READY once FILE is held, and lets go of FILE when the
 * file RELEASE appears or after SECONDS, whichever comes first. Exit code 0
 * when FILE was held, 1 when it could not be opened or the arguments are
 * wrong.
 */
#include <windows.h>

static BOOL fileExists(const wchar_t* path) {
  return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

int wmain(int argc, wchar_t** argv) {
  if (argc != 5) return 1;
  HANDLE held = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, NULL,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (held == INVALID_HANDLE_VALUE) return 1;
  HANDLE ready = CreateFileW(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, NULL);
  if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);

  const int pollMilliseconds = 50;
  long remaining = _wtol(argv[4]) * (1000 / pollMilliseconds);
  while (remaining-- > 0 && !fileExists(argv[3])) Sleep(pollMilliseconds);
  CloseHandle(held);
  return 0;
}
