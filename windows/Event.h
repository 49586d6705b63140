// The one window procedure of the library's windows, which turns messages into
// events, and the process-wide record of the last event.
//   WindowCallback    the window procedure: records the message, refuses the system
//                     commands its window refuses (WindowRefusesCommand), translates
//                     the rest and hands what is left to DefWindowProcA
//   EventTranslate    the message table; EventNotHandled for messages it does not know
//   FocusNext         Tab: the focus to the next tab stop of the active window, wrapping
//   FocusPrevious     Shift+Tab: the focus to the tab stop before, wrapping
//   EventRecordClear  the event record back to its start-up state
//   EventWaitBegin    the event type to EventTypeNone, before a wait
//   EventWaitEnd      the pending code (or the retrieved message's number) of a wait,
//                     and the pending code reset
//   EventPending / EventType / EventWindow / EventMessage / EventWParam / EventLParam
//   EventMenuId       the event id: the menu id of a menu event, the control of a gadget event
#pragma once
#include <windows.h>
#include <stdint.h>

// Event codes; any other result of a wait is the number of the message retrieved.
const int32_t EventSize = 5;
const int32_t EventClose = 16;
const int32_t EventGadget = 13100;
const int32_t EventMenu = 13101;
const int32_t EventNotifyClick = 13102;

const int32_t EventTypeNone = -1;
const int32_t EventTypeLeftClick = 0;
const int32_t EventTypeRightClick = 1;
const int32_t EventTypeLeftDoubleClick = 2;
const int32_t EventTypeRightDoubleClick = 3;

// 12501 arrives from outside the library; the other two it posts to its own windows.
const UINT MessageNotifyClick = 12501;
const UINT MessageNotifyClickQueued = 12502;
const UINT MessageSizeQueued = 12504;

const WORD CommandFocusNext = 1212;
const WORD CommandFocusPrevious = 1213;
// Commands of a control with this identifier count as menu commands.
const int32_t ControlMenuCommands = -10000;

const LRESULT EventNotHandled = (LRESULT)(int32_t)0xD0D0D0D1u;

LRESULT CALLBACK WindowCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT EventTranslate(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void FocusNext();
void FocusPrevious();

void EventRecordClear();
void EventWaitBegin();
int32_t EventWaitEnd(const MSG* retrieved);

int32_t EventPending();
int32_t EventType();
HWND EventWindow();
UINT EventMessage();
WPARAM EventWParam();
LPARAM EventLParam();
int32_t EventMenuId();
