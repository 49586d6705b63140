#include "../LibraryQueries.h"
#include "EventPump.h"
#include "base/Heap.h"
#include "windows/Event.h"
#include "windows/Window.h"
#include <gtest/gtest.h>
#include <limits.h>
#include <algorithm>
#include <utility>
#include <vector>

// What the sized window heard, in front of the library's window procedure.
struct Heard {
    UINT message;
    WPARAM wParam;
    RECT rect; // WM_SIZING: the rectangle it came with
    int depth; // how many size commands were being handled meanwhile
};
static std::vector<Heard> gHeard;
static int gDepth;

// How the window answers: its own tracking limits while sizing starts (the system's
// own moves keep theirs), the width of WM_SIZING's rectangle snapped to steps of 50,
// another rectangle for it, or a close while sizing starts.
enum { Limits = 1, Snap = 2, Replace = 4, CloseWhileStarting = 8 };
static int gAnswers;
static POINT gLeast, gMost;
static const RECT kReplacement = {100, 100, 333, 300};

static LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RECT* rect = (RECT*)lParam;
    if (message == WM_SYSCOMMAND || message == WM_ENTERSIZEMOVE || message == WM_EXITSIZEMOVE ||
        message == WM_SIZE || message == WM_LBUTTONDOWN || message == WM_SIZING)
        gHeard.push_back({message, wParam, message == WM_SIZING ? *rect : RECT{}, gDepth});
    if (message == WM_SIZING && (gAnswers & Snap))
        rect->right = rect->left + (rect->right - rect->left) / 50 * 50;
    if (message == WM_SIZING && (gAnswers & Replace)) *rect = kReplacement;
    gDepth += message == WM_SYSCOMMAND;
    LRESULT result = WindowCallback(window, message, wParam, lParam);
    gDepth -= message == WM_SYSCOMMAND;
    if (message == WM_GETMINMAXINFO && gDepth > 0 && (gAnswers & Limits)) {
        ((MINMAXINFO*)lParam)->ptMinTrackSize = gLeast;
        ((MINMAXINFO*)lParam)->ptMaxTrackSize = gMost;
    }
    if (message == WM_GETMINMAXINFO && gDepth > 0 && (gAnswers & CloseWhileStarting))
        WindowClose(0);
    return result;
}

static RECT OuterRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

// Rectangles and points in a form the checks print; `from` makes it a change.
static std::vector<LONG> Sides(const RECT& r, const RECT& from = {}) {
    return {r.left - from.left, r.top - from.top, r.right - from.right, r.bottom - from.bottom};
}

static std::pair<LONG, LONG> CursorAt() {
    POINT at = {};
    GetCursorPos(&at);
    return {at.x, at.y};
}

static HCURSOR SystemCursor(int32_t number) {
    return (HCURSOR)LoadImageA(nullptr, MAKEINTRESOURCEA(number), IMAGE_CURSOR, 0, 0,
                               LR_SHARED | LR_DEFAULTSIZE);
}

// Real mouse input: an absolute move, with a button change there when asked.
static void MouseInput(int32_t x, int32_t y, DWORD button = 0) {
    const int64_t width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (LONG)((x * 65536 + width - 1) / width);
    input.mi.dy = (LONG)((y * 65536 + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
    SendInput(1, &input, sizeof input);
}

static std::vector<int32_t> Codes(const std::vector<Seen>& seen) {
    std::vector<int32_t> codes;
    for (const Seen& s : seen)
        if (s.code != WM_TIMER) codes.push_back(s.code);
    return codes;
}

static bool Has(const std::vector<int32_t>& codes, int32_t code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

static std::vector<int32_t> PumpUntilCode(int32_t code) {
    return Codes(PumpUntil([code](const Seen& s) { return s.code == code; }));
}

// Pumps what comes within a short while: input that follows a cursor move.
static void PumpAWhile() {
    PumpUntil([](const Seen&) { return false; }, 150);
}

// A drag that failed half way leaves the button down for the next test.
static void ReleaseLeftButton() {
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) MouseInput(0, 0, MOUSEEVENTF_LEFTUP);
}

// A visible window with a sizing border, active, with the recorder in front of
// its window procedure; window contents are shown while dragging.
class LiveSizing : public testing::Test {
  protected:
    HWND window = nullptr;
    BOOL fullDragBefore = FALSE;

    void SetUp() override {
        ASSERT_TRUE(SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullDragBefore, 0));
        ASSERT_TRUE(SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0));
        gHeard.clear();
        gAnswers = 0;
        ReleaseLeftButton();
    }
    void TearDown() override {
        // A test that failed half way leaves no sizing behind for the next one.
        if (LiveSizingActive()) PostMessageA(GetCapture(), WM_KEYDOWN, VK_ESCAPE, 0);
        ReleaseLeftButton();
        PumpAll();
        WindowCloseAll();
        SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, fullDragBefore, nullptr, 0);
    }

    // Window 0 at (100, 100), 300 x 200 outside; with `child`, a child of the
    // library's own class inside it instead is the one sized.
    HWND Open(bool child) {
        HWND top = (HWND)WindowOpen(0, 0, 0, 10, 10, WS_POPUP | WS_THICKFRAME, "");
        MoveWindow(top, 100, 100, 300, 200, TRUE);
        window = top;
        if (child) {
            MoveWindow(top, 40, 30, 500, 400, TRUE);
            POINT origin = {0, 0};
            ClientToScreen(top, &origin);
            window = CreateWindowExA(0, "TemplateClass", "", WS_CHILD | WS_VISIBLE | WS_THICKFRAME,
                                     100 - origin.x, 100 - origin.y, 300, 200, top, nullptr,
                                     InstanceHandle(), nullptr);
        }
        SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)Recorder);
        EXPECT_TRUE(MakeForeground(top));
        PumpAll();
        gHeard.clear();
        return window;
    }

    // The size command of the system menu, as the keyboard gives it.
    bool StartFromMenu(int32_t edge) {
        PostMessageA(window, WM_SYSCOMMAND, SC_SIZE | edge, 0);
        return PumpUntilCode(WM_ENTERSIZEMOVE).back() == WM_ENTERSIZEMOVE && LiveSizingActive();
    }

    std::vector<Heard> HeardOf(UINT message) {
        std::vector<Heard> found;
        for (const Heard& h : gHeard)
            if (h.message == message) found.push_back(h);
        return found;
    }
};

static void CALLBACK ReleaseFromTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    MouseInput(GetSystemMetrics(SM_CXSCREEN) / 2, 210, MOUSEEVENTF_LEFTUP);
}

TEST_F(LiveSizing, LeftToTheSystemWithoutFullDrag) {
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0));
    const RECT r = OuterRect(Open(false));
    // A press on the right border: the system's own sizing runs a loop of its
    // own inside the size command (a size event it leaves pending comes out of
    // the wait that dispatched the press). Wine's loop does not see a release queued
    // before it began, so a timer releases the button from inside it.
    MouseInput(r.right - 1, 200);
    MouseInput(r.right - 1, 200, MOUSEEVENTF_LEFTDOWN);
    MouseInput(r.right + 40, 210);
    UINT_PTR release = SetTimer(nullptr, 0, 300, ReleaseFromTimer);
    bool activeMeanwhile = false;
    std::vector<int32_t> codes = Codes(PumpUntil([&](const Seen&) {
        activeMeanwhile = activeMeanwhile || LiveSizingActive();
        return !HeardOf(WM_EXITSIZEMOVE).empty();
    }));
    const bool enteredAfterwards = Has(Codes(PumpAll()), WM_ENTERSIZEMOVE);
    KillTimer(nullptr, release);
    EXPECT_FALSE(activeMeanwhile || LiveSizingActive());
    EXPECT_FALSE(Has(codes, WM_ENTERSIZEMOVE) || enteredAfterwards);
    std::vector<Heard> commands = HeardOf(WM_SYSCOMMAND);
    ASSERT_EQ(1u, commands.size());
    EXPECT_EQ(SC_SIZE | WMSZ_RIGHT, commands[0].wParam);
    // Only the system's loop, inside the size command, tells the window it sizes.
    for (UINT told : {WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}) {
        std::vector<Heard> heard = HeardOf(told);
        ASSERT_EQ(1u, heard.size());
        EXPECT_EQ(1, heard[0].depth);
    }
}

// A drag grabs a point of the border of a window at {100, 100, 400, 300}, then
// goes through moves, each with the rectangle WM_SIZING tells and the one the
// window goes to ({}: the same). The window has the last word on where it goes,
// and tracking sizes out of all reason take no side past the range of a coordinate.
TEST_F(LiveSizing, Drags) {
    const LONG mw = GetSystemMetrics(SM_CXMINTRACK), mh = GetSystemMetrics(SM_CYMINTRACK);
    const POINT least = {150, 120}, most = {350, 220}, top = {LONG_MAX, LONG_MAX};
    const POINT bottom = {LONG_MIN, LONG_MIN};
    const RECT same = {}, other = kReplacement;
    struct Move {
        POINT to;
        RECT told, placed;
    };
    struct Drag {
        const char* name;
        POINT grab;
        int32_t edge;
        bool child;
        int answers;
        POINT least, most;
        std::vector<Move> moves;
    };
    // clang-format off
    const Drag drags[] = {
        {"right border", {399, 200}, WMSZ_RIGHT, false, 0, {}, {}, {
            {{450, 210}, {100, 100, 452, 300}, same}, {{350, 150}, {100, 100, 352, 300}, same},
            {{101, 150}, {100, 100, 100 + mw, 300}, same}, {{420, 400}, {100, 100, 422, 300}, same},
            {{0, 150}, {100, 100, 100 + mw, 300}, same}}},
        {"right border, own limits", {399, 200}, WMSZ_RIGHT, false, Limits, least, most, {
            {{480, 200}, {100, 100, 450, 300}, same}, {{300, 200}, {100, 100, 302, 300}, same},
            {{120, 200}, {100, 100, 250, 300}, same}}},
        {"left border", {100, 200}, WMSZ_LEFT, false, 0, {}, {}, {
            {{60, 200}, {60, 100, 400, 300}, same}, {{390, 200}, {400 - mw, 100, 400, 300}, same},
            {{150, 250}, {150, 100, 400, 300}, same}}},
        {"left border, own limits", {100, 200}, WMSZ_LEFT, false, Limits, least, most, {
            {{20, 200}, {50, 100, 400, 300}, same}, {{300, 200}, {250, 100, 400, 300}, same}}},
        {"top border, own limits", {250, 100}, WMSZ_TOP, false, Limits, least, most, {
            {{250, 50}, {100, 80, 400, 300}, same}, {{250, 250}, {100, 180, 400, 300}, same},
            {{250, 150}, {100, 150, 400, 300}, same}}},
        {"bottom-right corner", {399, 299}, WMSZ_BOTTOMRIGHT, false, 0, {}, {}, {
            {{450, 350}, {100, 100, 452, 352}, same}, {{380, 320}, {100, 100, 382, 322}, same},
            {{100, 100}, {100, 100, 100 + mw, 100 + mh}, same}}},
        {"bottom-right corner, own limits", {399, 299}, WMSZ_BOTTOMRIGHT, false, Limits, least,
            most, {{{500, 500}, {100, 100, 450, 320}, same}}},
        {"top-left corner", {100, 100}, WMSZ_TOPLEFT, false, 0, {}, {}, {
            {{80, 70}, {78, 68, 400, 300}, same}, {{120, 130}, {118, 128, 400, 300}, same}}},
        {"bottom-left corner", {100, 299}, WMSZ_BOTTOMLEFT, false, 0, {}, {}, {
            {{70, 330}, {70, 100, 400, 332}, same}}},
        {"top-right corner", {399, 100}, WMSZ_TOPRIGHT, false, 0, {}, {}, {
            {{430, 80}, {100, 80, 432, 300}, same}}},
        {"right border of a child window", {399, 200}, WMSZ_RIGHT, true, 0, {}, {}, {
            {{450, 210}, {100, 100, 452, 300}, same}, {{300, 210}, {100, 100, 302, 300}, same}}},
        {"top-left corner of a child window", {100, 100}, WMSZ_TOPLEFT, true, 0, {}, {}, {
            {{90, 80}, {88, 78, 400, 300}, same}}},
        {"snapped to steps of 50", {399, 200}, WMSZ_RIGHT, false, Snap, {}, {}, {
            {{473, 200}, {100, 100, 475, 300}, {100, 100, 450, 300}}}},
        {"right side, least size at the top of the range", {399, 200}, WMSZ_RIGHT, false,
            Limits | Replace, top, top, {{{450, 200}, {100, 100, LONG_MAX, 300}, other}}},
        {"right side, most size below nothing", {399, 200}, WMSZ_RIGHT, false, Limits | Replace,
            {0, 0}, {-5, -5}, {{{450, 200}, {100, 100, 95, 300}, other}}},
        {"left side, most size at the bottom of the range", {100, 200}, WMSZ_LEFT, false,
            Limits | Replace, bottom, bottom, {{{60, 200}, {LONG_MAX, 100, 400, 300}, other}}},
        {"bottom side, least size at the top of the range", {250, 299}, WMSZ_BOTTOM, false,
            Limits | Replace, top, top, {{{250, 320}, {100, 100, 400, LONG_MAX}, other}}},
    };
    // clang-format on
    for (const Drag& drag : drags) {
        SCOPED_TRACE(drag.name);
        gAnswers = drag.answers;
        gLeast = drag.least;
        gMost = drag.most;
        Open(drag.child);
        ASSERT_EQ(Sides({100, 100, 400, 300}), Sides(OuterRect(window)));
        MouseInput(drag.grab.x, drag.grab.y);
        PumpAWhile();
        gHeard.clear();
        MouseInput(drag.grab.x, drag.grab.y, MOUSEEVENTF_LEFTDOWN);
        std::vector<int32_t> codes = PumpUntilCode(WM_ENTERSIZEMOVE);
        ASSERT_EQ(WM_ENTERSIZEMOVE, codes.back());
        EXPECT_FALSE(Has(codes, EventSize));
        ASSERT_TRUE(LiveSizingActive());
        EXPECT_EQ(window, GetCapture());
        EXPECT_TRUE(HeardOf(WM_LBUTTONDOWN).empty()) << "the button is down already";
        for (const Move& move : drag.moves) {
            SCOPED_TRACE(testing::Message() << "to " << move.to.x << "," << move.to.y);
            gHeard.clear();
            MouseInput(move.to.x, move.to.y);
            EXPECT_EQ((std::vector<int32_t>{WM_MOUSEMOVE, EventSize}), PumpUntilCode(EventSize));
            std::vector<Heard> sizing = HeardOf(WM_SIZING);
            ASSERT_EQ(1u, sizing.size());
            EXPECT_EQ((WPARAM)drag.edge, sizing[0].wParam);
            EXPECT_EQ(Sides(move.told), Sides(sizing[0].rect));
            EXPECT_EQ(1u, HeardOf(WM_SIZE).size());
            EXPECT_EQ(Sides(move.placed.right ? move.placed : move.told), Sides(OuterRect(window)));
            EXPECT_EQ(std::make_pair(move.to.x, move.to.y), CursorAt());
        }
        const Move& last = drag.moves.back();
        MouseInput(last.to.x, last.to.y, MOUSEEVENTF_LEFTUP);
        codes = PumpUntilCode(WM_EXITSIZEMOVE);
        EXPECT_EQ((std::vector<int32_t>{WM_LBUTTONUP, WM_EXITSIZEMOVE}), codes);
        EXPECT_FALSE(LiveSizingActive());
        EXPECT_EQ(nullptr, GetCapture());
        EXPECT_EQ(Sides(last.placed.right ? last.placed : last.told), Sides(OuterRect(window)));
        WindowCloseAll();
    }
}

// Where the cursor is after a key: from the tracked rectangle or from where it was.
enum At { Kept, OnLeft, InLeft, InRight, OnTop, InTop, InBottom, Less10, More10 };

static LONG Coordinate(At at, LONG before, const RECT& r) {
    const LONG from[] = {before,    r.left,       r.left + 2,  r.right - 2, r.top,
                         r.top + 2, r.bottom - 2, before - 10, before + 10};
    return from[at];
}

// Sizing from the keyboard: arrows choose sides and move them, Enter keeps the
// size, Escape goes back to the start. The cursor goes back to where sizing
// found it unless a mouse move reached the window in between.
TEST_F(LiveSizing, Keys) {
    struct Key {
        WORD key;
        int32_t edge;   // the edge afterwards
        At x, y;        // the cursor afterwards
        int32_t cursor; // the system cursor shown, 0: not looked at
        RECT change;    // of the outer rectangle: left, top, right, bottom
    };
    enum Between { NoMove, RealMove, UnheardMove }; // to (300, 260) before the end
    struct Sequence {
        const char* name;
        std::vector<Key> keys;
        Between between;
        WORD end;
    };
    // clang-format off
    const Sequence sequences[] = {
        {"left, then the top-left corner", {
            {VK_LEFT, WMSZ_LEFT, OnLeft, Kept, 32644, {}},
            {VK_LEFT, WMSZ_LEFT, Less10, Kept, 0, {-10, 0, 0, 0}},
            {VK_UP, WMSZ_TOPLEFT, InLeft, InTop, 32642, {}},
            {VK_UP, WMSZ_TOPLEFT, Kept, Less10, 0, {0, -10, 0, 0}},
            {VK_RIGHT, WMSZ_TOPLEFT, More10, Kept, 0, {10, 0, 0, 0}},
            {VK_DOWN, WMSZ_TOPLEFT, Kept, More10, 0, {0, 10, 0, 0}}}, NoMove, VK_RETURN},
        {"right, then the bottom-right corner", {
            {VK_RIGHT, WMSZ_RIGHT, InRight, Kept, 32644, {}},
            {VK_RIGHT, WMSZ_RIGHT, More10, Kept, 0, {0, 0, 10, 0}},
            {VK_DOWN, WMSZ_BOTTOMRIGHT, InRight, InBottom, 32642, {}},
            {VK_DOWN, WMSZ_BOTTOMRIGHT, Kept, More10, 0, {0, 0, 0, 10}},
            {VK_LEFT, WMSZ_BOTTOMRIGHT, Less10, Kept, 0, {0, 0, -10, 0}}}, NoMove, VK_ESCAPE},
        {"top, then the top-right corner", {
            {VK_UP, WMSZ_TOP, Kept, OnTop, 32645, {}},
            {VK_UP, WMSZ_TOP, Kept, Less10, 0, {0, -10, 0, 0}},
            {VK_RIGHT, WMSZ_TOPRIGHT, InRight, OnTop, 32643, {}},
            {VK_DOWN, WMSZ_TOPRIGHT, Kept, More10, 0, {0, 10, 0, 0}}}, NoMove, VK_RETURN},
        {"bottom, then the bottom-left corner", {
            {VK_DOWN, WMSZ_BOTTOM, Kept, InBottom, 32645, {}},
            {VK_DOWN, WMSZ_BOTTOM, Kept, More10, 0, {0, 0, 0, 10}},
            {VK_LEFT, WMSZ_BOTTOMLEFT, OnLeft, InBottom, 32643, {}},
            {VK_LEFT, WMSZ_BOTTOMLEFT, Less10, Kept, 0, {-10, 0, 0, 0}}}, NoMove, VK_ESCAPE},
        {"top, then left", {
            {VK_UP, WMSZ_TOP, Kept, OnTop, 32645, {}},
            {VK_LEFT, WMSZ_TOPLEFT, InLeft, InTop, 32642, {}}}, NoMove, VK_ESCAPE},
        {"bottom, then right", {
            {VK_DOWN, WMSZ_BOTTOM, Kept, InBottom, 32645, {}},
            {VK_RIGHT, WMSZ_BOTTOMRIGHT, InRight, InBottom, 32642, {}}}, NoMove, VK_RETURN},
        {"right, then up", {
            {VK_RIGHT, WMSZ_RIGHT, InRight, Kept, 32644, {}},
            {VK_UP, WMSZ_TOPRIGHT, InRight, OnTop, 32643, {}},
            {VK_UP, WMSZ_TOPRIGHT, Kept, Less10, 0, {0, -10, 0, 0}}}, NoMove, VK_ESCAPE},
        {"left, then down", {
            {VK_LEFT, WMSZ_LEFT, OnLeft, Kept, 32644, {}},
            {VK_DOWN, WMSZ_BOTTOMLEFT, OnLeft, InBottom, 32643, {}},
            {VK_RIGHT, WMSZ_BOTTOMLEFT, More10, Kept, 0, {10, 0, 0, 0}}}, NoMove, VK_RETURN},
        {"an unheard move, Enter", {}, UnheardMove, VK_RETURN},
        {"an unheard move, Escape", {}, UnheardMove, VK_ESCAPE},
        {"a move, Enter", {}, RealMove, VK_RETURN},
        {"a move, Escape", {}, RealMove, VK_ESCAPE},
    };
    // clang-format on
    bool pressSent[2] = {false, false};
    for (const Sequence& sequence : sequences) {
        SCOPED_TRACE(sequence.name);
        Open(false);
        const RECT start = OuterRect(window);
        // Each click toggles the button's state: the press is told only when
        // the button is neither down nor toggled.
        MouseInput(250, 200, MOUSEEVENTF_LEFTDOWN);
        MouseInput(250, 200, MOUSEEVENTF_LEFTUP);
        PumpUntilCode(WM_LBUTTONUP);
        PumpAWhile();
        gHeard.clear();
        const bool pressTold = GetKeyState(VK_LBUTTON) == 0;
        pressSent[pressTold] = true;
        const std::pair<LONG, LONG> found = CursorAt();
        ASSERT_TRUE(StartFromMenu(0));
        EXPECT_EQ(0, LiveSizingEdge());
        EXPECT_EQ(window, GetCapture());
        EXPECT_EQ(SystemCursor(32646), GetCursor());
        std::vector<Heard> pressed = HeardOf(WM_LBUTTONDOWN);
        ASSERT_EQ(pressTold ? 1u : 0u, pressed.size());
        EXPECT_TRUE(!pressTold || pressed[0].wParam == MK_LBUTTON);
        for (const Key& key : sequence.keys) {
            SCOPED_TRACE(testing::Message() << "key " << key.key << " to edge " << key.edge);
            const RECT before = OuterRect(window);
            const std::pair<LONG, LONG> cursor = CursorAt();
            // Every key moves the cursor, and the system makes a mouse move of that.
            EXPECT_TRUE(Has(Codes(PumpKey(key.key)), WM_MOUSEMOVE) ||
                        PumpUntilCode(WM_MOUSEMOVE).back() == WM_MOUSEMOVE);
            EXPECT_EQ(key.edge, LiveSizingEdge());
            const RECT after = OuterRect(window);
            EXPECT_EQ(std::make_pair(Coordinate(key.x, cursor.first, after),
                                     Coordinate(key.y, cursor.second, after)),
                      CursorAt());
            EXPECT_TRUE(!key.cursor || SystemCursor(key.cursor) == GetCursor());
            EXPECT_EQ(Sides(key.change), Sides(after, before));
        }
        if (sequence.between == RealMove) {
            MouseInput(300, 260);
            PumpUntilCode(WM_MOUSEMOVE);
        } else if (sequence.between == UnheardMove) {
            // The cursor goes elsewhere, but the window hears nothing of it: the
            // mouse move that the system makes of it is taken out of the queue.
            SetCursorPos(300, 260);
            MSG dropped;
            int count = 0;
            for (int round = 0; round < 40 && !count; round++) {
                Sleep(50);
                while (PeekMessageA(&dropped, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE))
                    count++;
            }
            EXPECT_LT(0, count) << "the system made no mouse move of the cursor's move";
        }
        ASSERT_TRUE(sequence.between == NoMove || CursorAt() == std::make_pair(300L, 260L));
        const RECT sized = OuterRect(window);
        const std::pair<LONG, LONG> placed = sequence.between == UnheardMove ? found : CursorAt();
        EXPECT_TRUE(Has(Codes(PumpKey(sequence.end)), WM_EXITSIZEMOVE));
        EXPECT_FALSE(LiveSizingActive());
        EXPECT_EQ(nullptr, GetCapture());
        EXPECT_EQ(placed, CursorAt());
        EXPECT_EQ(Sides(sequence.end == VK_ESCAPE ? start : sized), Sides(OuterRect(window)));
        WindowCloseAll();
    }
    EXPECT_TRUE(pressSent[0] && pressSent[1]) << "the button's state was the same every time";
}

// Sizing belongs to one window: the messages of another pass by, and a window
// closed while it is sized takes its sizing with it.
TEST_F(LiveSizing, OneWindowAndItsClose) {
    Open(false);
    HWND other = (HWND)WindowOpen(1, 0, 0, 10, 10, WS_POPUP | WS_THICKFRAME, "");
    ASSERT_TRUE(MoveWindow(other, 500, 100, 120, 100, TRUE));
    ASSERT_TRUE(MakeForeground(window));
    PumpAll();
    const RECT otherRect = OuterRect(other);
    ASSERT_TRUE(StartFromMenu(WMSZ_RIGHT));
    PostMessageA(other, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    PostMessageA(other, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(other, WM_LBUTTONUP, 0, 0);
    PumpAll();
    EXPECT_TRUE(LiveSizingActive());
    EXPECT_EQ(Sides(otherRect), Sides(OuterRect(other)));

    WindowClose(0);
    ASSERT_FALSE(LiveSizingActive());
    EXPECT_EQ(nullptr, GetCapture());
    PumpAll();
    // Sizing starts again for the next window.
    Open(false);
    ASSERT_TRUE(StartFromMenu(WMSZ_RIGHT));
    PostMessageA(window, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(WM_EXITSIZEMOVE, PumpUntilCode(WM_EXITSIZEMOVE).back());
    EXPECT_FALSE(LiveSizingActive());

    // A window that closes while sizing starts leaves nothing going.
    Open(false);
    gAnswers = CloseWhileStarting;
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    SetCursor(arrow);
    PostMessageA(window, WM_SYSCOMMAND, SC_SIZE, 0);
    std::vector<int32_t> codes = Codes(PumpAll());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(LiveSizingActive());
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_FALSE(Has(codes, WM_ENTERSIZEMOVE));
    EXPECT_EQ(arrow, GetCursor()) << "no sizing cursor for a window gone";
}
