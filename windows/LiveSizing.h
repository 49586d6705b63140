// Live sizing: the library resizes its own windows inside the normal message
// flow, so that the event wait goes on returning events while a window is sized.
//   LiveSizingFilter       the first step of the window procedure: starts on the size
//                          command, then takes mouse moves, Enter, Escape, arrow keys
//                          and the release of the left button; 0 for a message it
//                          consumed, EventNotHandled otherwise
//   LiveSizingTrack        moves the chosen sides of the tracked rectangle to a screen
//                          point, within the minimum and maximum tracking sizes
//   LiveSizingApply        WM_SIZING with the tracked rectangle, then moves the window to it
//   LiveSizingPlaceCursor  the cursor to a screen point, with a system cursor by number
// Sizing edges are the system's WMSZ_ values; 0 while none is chosen yet.
#pragma once
#include <windows.h>
#include <stdint.h>

LRESULT LiveSizingFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void LiveSizingTrack(int32_t x, int32_t y);
void LiveSizingApply(HWND window);
void LiveSizingPlaceCursor(int32_t cursor, int32_t x, int32_t y);
