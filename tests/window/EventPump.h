// Helpers for tests that drive real windows through the event wait: every pump
// is guarded by a thread timer, so a wait never blocks a test for ever; keys are
// pressed only once their window is the foreground window (tests/TestSupport.h).
#pragma once
#include "../TestSupport.h"
#include <windows.h>
#include <stdint.h>
#include <functional>
#include <ostream>
#include <vector>

// One result of EventWait with the event record as it stood afterwards.
struct Seen {
    int32_t code;
    int32_t id;
    int32_t type;
    WPARAM wParam;
    HWND window;
    LPARAM lParam;
};
bool operator==(const Seen& a, const Seen& b); // code, id and type
std::ostream& operator<<(std::ostream& out, const Seen& seen);

const UINT SentinelMessage = WM_APP + 2; // ends a pump: the helper window's own message
const UINT HelperRunMessage = WM_APP + 1;

// EventWait until `stop` accepts a result (which is kept as the last one), the
// guard timer fires (its WM_TIMER is kept) or 400 results came.
std::vector<Seen> PumpUntil(const std::function<bool(const Seen&)>& stop,
                            UINT guardMs = WaitLimitMs);
// Posts the sentinel and pumps up to it; the sentinel itself is left out.
std::vector<Seen> PumpAll();
// Takes the input already queued, one message a wait, and waits for nothing: the
// system queues input before SendInput or SetCursorPos returns, and mouse moves
// of its own when windows change under the cursor. New input starts after it.
std::vector<Seen> PumpQueuedInput();
// Runs `action` inside an EventWait (from a message-only helper window's
// procedure), so that messages it sends are handled during a wait.
void RunDuringWait(const std::function<void()>& action);
HWND HelperWindow();

// Real keyboard input for `to`, once it is the foreground window and the queued
// input is taken: key down and up, with Shift held around it when asked; then
// pumps until the release of the key pressed last (Shift when it was held).
// Empty, with a failure, when `to` never became the foreground window.
std::vector<Seen> PumpKey(HWND to, WORD key, bool shift = false);

// Sends WM_SYSCOMMAND to `window`; true when its procedure handed the command on
// to the default procedure, which asks the CBT hook before it carries a command
// out. The hook says no, so nothing is carried out.
bool SystemCommandPassed(HWND window, WPARAM command, LPARAM lParam);
