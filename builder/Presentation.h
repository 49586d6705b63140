// The presentation: the page shown full screen until Escape or a close.
//   PresentationRun  opens window 0 over the whole screen, keeps the display on and
//                    the screen saver away while it shows, puts browser gadget 1
//                    in it at the page URL, binds Escape to menu id 40 and waits
//                    for events; returns when Escape is pressed or the window is
//                    closed, and at once when the window can't be opened
// The browser's place comes from the screen size and settings values 7 to 10
// (x, y, width and height adjustments; sums wrap).
#pragma once
#include <stdint.h>

const int32_t PresentationEscapeId = 40;

void PresentationRun();
