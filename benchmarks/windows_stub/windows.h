// What the results dialog's code takes from <windows.h>, for the text
// benchmark's native build: the handle and number types, the few constants
// it names, and DeleteObject. The Windows side of the dialog (the skeleton,
// the utilities that show controls and give fonts, and host dialog service
// 60) is stubbed in results_dialog_stubs.cpp: its controls are never drawn.
#pragma once

#include <cstdint>

typedef struct StubWindow* HWND;
typedef struct StubFont* HFONT;
typedef void* HGDIOBJ;
typedef unsigned char BYTE;
typedef unsigned int UINT;
typedef uint32_t WPARAM;
typedef int32_t LPARAM;
typedef int32_t LRESULT;
typedef int BOOL;

#define IDOK 1
#define IDCANCEL 2
#define FW_BOLD 700
#define FF_SWISS (2 << 4)
#define DEFAULT_PITCH 0

inline BOOL DeleteObject(HGDIOBJ) { return 1; }
