// Numbered top-level windows, each with a window class of its own.
//   WindowLibraryInit    table of 10, the "TemplateClass" registration, event record
//                        cleared; 0 without memory for the table
//   WindowOpen           opens a window under a number (-1: any number, result the identifier;
//                        a live identifier reopens in its own record)
//   WindowHandle         the current window's handle
//   WindowClose          destroys a window, its class and its shortcuts
//   WindowCloseAll       any-numbered windows newest first, then the table downwards
//   WindowLookup         the entry of an open window, or null
//   WindowShortcutTable  the accelerator table of the library window with a handle
//   WindowKeepScreen     while the window is open it refuses the system's commands to
//                        start the screen saver and to turn the display off; 0 when
//                        no window is open under the number
//   WindowRefusesCommand whether a window refuses a system command (WM_SYSCOMMAND's
//                        wParam and lParam)
//   WindowClassName      the name of a number's class: "WindowClass_" and the number
//                        (or identifier) in signed decimal
// Flags: a window style with three bits of the library's own, see WindowFlag*.
#pragma once
#include <windows.h>
#include <stdint.h>

// The handle comes first: an entry with none is empty.
struct WindowEntry {
    HWND handle;
    int32_t shortcutCount;
    ACCEL* shortcuts;
    HACCEL accelerators;
};

const uint32_t WindowFlagCentreScreen = 0x00000001;
const uint32_t WindowFlagCentreActive = 0x00000002;
// Given, the window is created hidden; not given, it gets WS_VISIBLE.
const uint32_t WindowFlagHidden = 0x10000000;

const intptr_t WindowAny = -1;
// Room for a class name, the widest identifier's included.
enum { WindowClassNameSize = 40 };

int WindowLibraryInit();
intptr_t WindowOpen(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height,
                    uint32_t flags, const char* title);
HWND WindowHandle();
void WindowClose(intptr_t number);
void WindowCloseAll();
WindowEntry* WindowLookup(intptr_t number);
HACCEL WindowShortcutTable(HWND handle);
int WindowKeepScreen(intptr_t number);
bool WindowRefusesCommand(HWND handle, WPARAM command, LPARAM lParam);
void WindowClassName(intptr_t number, char* name);
