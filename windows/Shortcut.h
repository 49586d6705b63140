// Per-window keyboard shortcuts and the event wait.
//   ShortcutAdd   binds a key word to a menu id in a window (rebinding a bound key);
//                 the window's new accelerator table, 0 when the window is not open
//   EventWait     the next message of the thread, through the active window's
//                 shortcuts; its event code, or the message's number when it made none
// Key word: the virtual-key code in the low 16 bits, with the ShortcutShift,
// ShortcutControl and ShortcutAlt bits; other bits are ignored.
#pragma once
#include <windows.h>
#include <stdint.h>

const uint32_t ShortcutShift = 0x10000;
const uint32_t ShortcutControl = 0x20000;
const uint32_t ShortcutAlt = 0x40000;

HACCEL ShortcutAdd(intptr_t number, uint32_t key, int32_t menuId);
int32_t EventWait();
