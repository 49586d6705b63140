// The message requester: a modal system message box that keeps the user away
// from the calling thread's other windows while it is up.
//   MessageBoxShow            disables the thread's visible, enabled top-level windows,
//                             shows the box, enables them again; the box's result
//   RequesterSuspendWindows   non-zero: disable and record; zero: enable again and forget
//   RequesterEnumProc         the EnumWindows callback that disables and records
//   RequesterOwnerWindow      the foreground window when it is this process's, else null
#pragma once
#include <windows.h>

int MessageBoxShow(const char* title, const char* text, UINT flags = 0);
void RequesterSuspendWindows(int on);
BOOL CALLBACK RequesterEnumProc(HWND window, LPARAM parameter);
HWND RequesterOwnerWindow();
