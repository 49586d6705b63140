#include "../LibraryQueries.h"
#include "EventPump.h"
#include "base/Heap.h"
#include "windows/Event.h"
#include "windows/Window.h"
#include <gtest/gtest.h>
#include <limits.h>
#include <algorithm>
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
static bool gOwnLimits;
static POINT gOwnLeast, gOwnMost;
// Answers only while sizing starts, so that the system's own moves keep theirs.
static bool gStartLimits;
// The rectangle WM_SIZING goes back with: width snapped to steps of 50, or another.
static bool gSnap;
static bool gReplace;
static RECT gReplacement;
static bool gCloseWhileStarting; // window 0 closes when sizing asks for its limits

static LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SYSCOMMAND:
    case WM_ENTERSIZEMOVE:
    case WM_EXITSIZEMOVE:
    case WM_SIZE:
    case WM_LBUTTONDOWN:
    case WM_SIZING: {
        Heard heard = {message, wParam, {}, gDepth};
        if (message == WM_SIZING) heard.rect = *(const RECT*)lParam;
        gHeard.push_back(heard);
    }
    }
    if (message == WM_SIZING && gSnap) {
        RECT* rect = (RECT*)lParam;
        rect->right = rect->left + (rect->right - rect->left) / 50 * 50;
    }
    if (message == WM_SIZING && gReplace) *(RECT*)lParam = gReplacement;
    if (message == WM_SYSCOMMAND) gDepth++;
    LRESULT result = WindowCallback(window, message, wParam, lParam);
    if (message == WM_SYSCOMMAND) gDepth--;
    if (message == WM_GETMINMAXINFO && (gOwnLimits || (gStartLimits && gDepth > 0))) {
        MINMAXINFO* limits = (MINMAXINFO*)lParam;
        limits->ptMinTrackSize = gOwnLeast;
        limits->ptMaxTrackSize = gOwnMost;
    }
    if (message == WM_GETMINMAXINFO && gCloseWhileStarting && gDepth > 0) WindowClose(0);
    return result;
}

static RECT OuterRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

static POINT CursorAt() {
    POINT at = {};
    GetCursorPos(&at);
    return at;
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

static std::vector<Seen> PumpUntilCode(int32_t code) {
    return PumpUntil([code](const Seen& s) { return s.code == code; });
}

// Pumps what comes within a short while: input that follows a cursor move.
static std::vector<Seen> PumpAWhile() {
    return PumpUntil([](const Seen&) { return false; }, 150);
}

static std::vector<int32_t> Codes(const std::vector<Seen>& seen) {
    std::vector<int32_t> codes;
    for (const Seen& s : seen)
        if (s.code != WM_TIMER) codes.push_back(s.code);
    return codes;
}

static bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
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
        gOwnLimits = gStartLimits = gSnap = gReplace = gCloseWhileStarting = false;
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
    BOOL fullDrag = TRUE;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0));
    ASSERT_FALSE(fullDrag);
    Open(false);
    const RECT r = OuterRect(window);
    // A press on the right border: the system's own sizing runs a loop of its
    // own inside the size command (a size event it leaves pending comes out of
    // the wait that dispatched the press). Wine's loop does not see a release queued
    // before it began, so a timer releases the button from inside it.
    MouseInput(r.right - 1, 200);
    MouseInput(r.right - 1, 200, MOUSEEVENTF_LEFTDOWN);
    MouseInput(r.right + 40, 210);
    UINT_PTR release = SetTimer(nullptr, 0, 300, ReleaseFromTimer);
    bool activeMeanwhile = false;
    std::vector<Seen> seen = PumpUntil([&](const Seen&) {
        activeMeanwhile = activeMeanwhile || LiveSizingActive();
        return !HeardOf(WM_EXITSIZEMOVE).empty();
    });
    std::vector<Seen> rest = PumpAll();
    seen.insert(seen.end(), rest.begin(), rest.end());
    KillTimer(nullptr, release);
    EXPECT_FALSE(activeMeanwhile);
    EXPECT_FALSE(LiveSizingActive());
    std::vector<int32_t> codes = Codes(seen);
    EXPECT_EQ(codes.end(), std::find(codes.begin(), codes.end(), WM_ENTERSIZEMOVE));
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

TEST_F(LiveSizing, Drags) {
    const LONG mw = GetSystemMetrics(SM_CXMINTRACK), mh = GetSystemMetrics(SM_CYMINTRACK);
    // Each window starts at {100, 100, 400, 300} on the screen; a drag grabs a
    // point of its border, then goes through the moves, each with the outer
    // rectangle it leads to.
    struct Move {
        POINT to;
        RECT expected;
    };
    struct Drag {
        const char* name;
        POINT grab;
        int32_t edge;
        bool child;
        bool ownLimits; // the window answers with 150 x 120 to 350 x 220
        std::vector<Move> moves;
    };
    // clang-format off
    const Drag drags[] = {
        {"right border", {399, 200}, WMSZ_RIGHT, false, false, {
            {{450, 210}, {100, 100, 452, 300}},
            {{350, 150}, {100, 100, 352, 300}},
            {{101, 150}, {100, 100, 100 + mw, 300}},
            {{420, 400}, {100, 100, 422, 300}},
            {{0, 150}, {100, 100, 100 + mw, 300}}}},
        {"right border, own limits", {399, 200}, WMSZ_RIGHT, false, true, {
            {{480, 200}, {100, 100, 450, 300}},
            {{300, 200}, {100, 100, 302, 300}},
            {{120, 200}, {100, 100, 250, 300}}}},
        {"left border", {100, 200}, WMSZ_LEFT, false, false, {
            {{60, 200}, {60, 100, 400, 300}},
            {{390, 200}, {400 - mw, 100, 400, 300}},
            {{150, 250}, {150, 100, 400, 300}}}},
        {"left border, own limits", {100, 200}, WMSZ_LEFT, false, true, {
            {{20, 200}, {50, 100, 400, 300}},
            {{300, 200}, {250, 100, 400, 300}}}},
        {"top border, own limits", {250, 100}, WMSZ_TOP, false, true, {
            {{250, 50}, {100, 80, 400, 300}},
            {{250, 250}, {100, 180, 400, 300}},
            {{250, 150}, {100, 150, 400, 300}}}},
        {"bottom-right corner", {399, 299}, WMSZ_BOTTOMRIGHT, false, false, {
            {{450, 350}, {100, 100, 452, 352}},
            {{380, 320}, {100, 100, 382, 322}},
            {{100, 100}, {100, 100, 100 + mw, 100 + mh}}}},
        {"bottom-right corner, own limits", {399, 299}, WMSZ_BOTTOMRIGHT, false, true, {
            {{500, 500}, {100, 100, 450, 320}}}},
        {"top-left corner", {100, 100}, WMSZ_TOPLEFT, false, false, {
            {{80, 70}, {78, 68, 400, 300}},
            {{120, 130}, {118, 128, 400, 300}}}},
        {"bottom-left corner", {100, 299}, WMSZ_BOTTOMLEFT, false, false, {
            {{70, 330}, {70, 100, 400, 332}}}},
        {"top-right corner", {399, 100}, WMSZ_TOPRIGHT, false, false, {
            {{430, 80}, {100, 80, 432, 300}}}},
        {"right border of a child window", {399, 200}, WMSZ_RIGHT, true, false, {
            {{450, 210}, {100, 100, 452, 300}},
            {{300, 210}, {100, 100, 302, 300}}}},
        {"top-left corner of a child window", {100, 100}, WMSZ_TOPLEFT, true, false, {
            {{90, 80}, {88, 78, 400, 300}}}},
    };
    // clang-format on
    for (const Drag& drag : drags) {
        SCOPED_TRACE(drag.name);
        gOwnLimits = drag.ownLimits;
        gOwnLeast = {150, 120};
        gOwnMost = {350, 220};
        Open(drag.child);
        const RECT start = {100, 100, 400, 300};
        ASSERT_TRUE(SameRect(start, OuterRect(window))) << OuterRect(window);
        MouseInput(drag.grab.x, drag.grab.y);
        PumpAWhile();
        gHeard.clear();
        MouseInput(drag.grab.x, drag.grab.y, MOUSEEVENTF_LEFTDOWN);
        std::vector<int32_t> codes = Codes(PumpUntilCode(WM_ENTERSIZEMOVE));
        ASSERT_EQ(WM_ENTERSIZEMOVE, codes.back());
        EXPECT_EQ(codes.end(), std::find(codes.begin(), codes.end(), EventSize));
        ASSERT_TRUE(LiveSizingActive());
        EXPECT_EQ(drag.edge, LiveSizingEdge());
        EXPECT_EQ(window, GetCapture());
        std::vector<Heard> commands = HeardOf(WM_SYSCOMMAND);
        ASSERT_EQ(1u, commands.size());
        EXPECT_EQ((WPARAM)(SC_SIZE | drag.edge), commands[0].wParam);
        EXPECT_EQ(0u, HeardOf(WM_LBUTTONDOWN).size()) << "the button is down already";

        for (const Move& move : drag.moves) {
            SCOPED_TRACE(testing::Message() << "to " << move.to.x << "," << move.to.y);
            gHeard.clear();
            MouseInput(move.to.x, move.to.y);
            std::vector<int32_t> moved = Codes(PumpUntilCode(EventSize));
            EXPECT_EQ((std::vector<int32_t>{WM_MOUSEMOVE, EventSize}), moved);
            POINT cursor = CursorAt();
            std::vector<Heard> sizing = HeardOf(WM_SIZING);
            ASSERT_EQ(1u, sizing.size());
            EXPECT_EQ((WPARAM)drag.edge, sizing[0].wParam);
            EXPECT_TRUE(SameRect(move.expected, sizing[0].rect)) << sizing[0].rect;
            EXPECT_EQ(1u, HeardOf(WM_SIZE).size());
            EXPECT_TRUE(SameRect(move.expected, OuterRect(window))) << OuterRect(window);
            EXPECT_EQ(move.to.x, cursor.x);
            EXPECT_EQ(move.to.y, cursor.y);
        }
        MouseInput(drag.moves.back().to.x, drag.moves.back().to.y, MOUSEEVENTF_LEFTUP);
        codes = Codes(PumpUntilCode(WM_EXITSIZEMOVE));
        EXPECT_EQ((std::vector<int32_t>{WM_LBUTTONUP, WM_EXITSIZEMOVE}), codes);
        EXPECT_FALSE(LiveSizingActive());
        EXPECT_EQ(nullptr, GetCapture());
        EXPECT_TRUE(SameRect(drag.moves.back().expected, OuterRect(window)));
        WindowCloseAll();
    }
}

// The window has the last word: a rectangle changed in WM_SIZING is where it
// goes, and tracking sizes out of all reason take no side past the range of a
// coordinate.
TEST_F(LiveSizing, WindowAnswers) {
    const RECT replacement = {100, 100, 333, 300};
    struct Case {
        const char* name;
        POINT grab, to;
        bool snap;
        bool limits; // the window answers with these while sizing starts
        POINT least, most;
        RECT told;   // the rectangle of WM_SIZING
        RECT placed; // the window's rectangle afterwards
    } cases[] = {
        {"snapped to steps of 50",
         {399, 200},
         {473, 200},
         true,
         false,
         {},
         {},
         {100, 100, 475, 300},
         {100, 100, 450, 300}},
        {"right side, least size at the top of the range",
         {399, 200},
         {450, 200},
         false,
         true,
         {LONG_MAX, LONG_MAX},
         {LONG_MAX, LONG_MAX},
         {100, 100, LONG_MAX, 300},
         replacement},
        {"right side, most size below nothing",
         {399, 200},
         {450, 200},
         false,
         true,
         {0, 0},
         {-5, -5},
         {100, 100, 95, 300},
         replacement},
        {"left side, most size at the bottom of the range",
         {100, 200},
         {60, 200},
         false,
         true,
         {LONG_MIN, LONG_MIN},
         {LONG_MIN, LONG_MIN},
         {LONG_MAX, 100, 400, 300},
         replacement},
        {"bottom side, least size at the top of the range",
         {250, 299},
         {250, 320},
         false,
         true,
         {LONG_MAX, LONG_MAX},
         {LONG_MAX, LONG_MAX},
         {100, 100, 400, LONG_MAX},
         replacement},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open(false);
        gSnap = c.snap;
        gReplace = !c.snap;
        gReplacement = replacement;
        gStartLimits = c.limits;
        gOwnLeast = c.least;
        gOwnMost = c.most;
        MouseInput(c.grab.x, c.grab.y);
        PumpAWhile();
        MouseInput(c.grab.x, c.grab.y, MOUSEEVENTF_LEFTDOWN);
        ASSERT_EQ(WM_ENTERSIZEMOVE, Codes(PumpUntilCode(WM_ENTERSIZEMOVE)).back());
        gHeard.clear();
        MouseInput(c.to.x, c.to.y);
        PumpUntilCode(EventSize);
        std::vector<Heard> sizing = HeardOf(WM_SIZING);
        ASSERT_EQ(1u, sizing.size());
        EXPECT_TRUE(SameRect(c.told, sizing[0].rect)) << sizing[0].rect;
        EXPECT_TRUE(SameRect(c.placed, OuterRect(window))) << OuterRect(window);
        MouseInput(c.to.x, c.to.y, MOUSEEVENTF_LEFTUP);
        PumpUntilCode(WM_EXITSIZEMOVE);
        EXPECT_FALSE(LiveSizingActive());
        WindowCloseAll();
        gSnap = gReplace = gStartLimits = false;
    }
}

// Where the cursor is after a key: from the tracked rectangle or from where it was.
enum At { Kept, OnLeft, InLeft, InRight, OnTop, InTop, InBottom, Less10, More10 };

static LONG Coordinate(At at, LONG before, const RECT& r) {
    switch (at) {
    case OnLeft:
        return r.left;
    case InLeft:
        return r.left + 2;
    case InRight:
        return r.right - 2;
    case OnTop:
        return r.top;
    case InTop:
        return r.top + 2;
    case InBottom:
        return r.bottom - 2;
    case Less10:
        return before - 10;
    case More10:
        return before + 10;
    default:
        return before;
    }
}

TEST_F(LiveSizing, Keys) {
    struct Key {
        WORD key;
        int32_t edge;   // the edge afterwards
        At x, y;        // the cursor afterwards
        int32_t cursor; // the system cursor shown, 0: not looked at
        RECT change;    // of the outer rectangle: left, top, right, bottom
    };
    struct Sequence {
        const char* name;
        std::vector<Key> keys;
        WORD end; // VK_RETURN keeps the size, VK_ESCAPE goes back to the start
    };
    // clang-format off
    const Sequence sequences[] = {
        {"left, then the top-left corner", {
            {VK_LEFT, WMSZ_LEFT, OnLeft, Kept, 32644, {}},
            {VK_LEFT, WMSZ_LEFT, Less10, Kept, 0, {-10, 0, 0, 0}},
            {VK_UP, WMSZ_TOPLEFT, InLeft, InTop, 32642, {}},
            {VK_UP, WMSZ_TOPLEFT, Kept, Less10, 0, {0, -10, 0, 0}},
            {VK_RIGHT, WMSZ_TOPLEFT, More10, Kept, 0, {10, 0, 0, 0}},
            {VK_DOWN, WMSZ_TOPLEFT, Kept, More10, 0, {0, 10, 0, 0}}}, VK_RETURN},
        {"right, then the bottom-right corner", {
            {VK_RIGHT, WMSZ_RIGHT, InRight, Kept, 32644, {}},
            {VK_RIGHT, WMSZ_RIGHT, More10, Kept, 0, {0, 0, 10, 0}},
            {VK_DOWN, WMSZ_BOTTOMRIGHT, InRight, InBottom, 32642, {}},
            {VK_DOWN, WMSZ_BOTTOMRIGHT, Kept, More10, 0, {0, 0, 0, 10}},
            {VK_LEFT, WMSZ_BOTTOMRIGHT, Less10, Kept, 0, {0, 0, -10, 0}}}, VK_ESCAPE},
        {"top, then the top-right corner", {
            {VK_UP, WMSZ_TOP, Kept, OnTop, 32645, {}},
            {VK_UP, WMSZ_TOP, Kept, Less10, 0, {0, -10, 0, 0}},
            {VK_RIGHT, WMSZ_TOPRIGHT, InRight, OnTop, 32643, {}},
            {VK_DOWN, WMSZ_TOPRIGHT, Kept, More10, 0, {0, 10, 0, 0}}}, VK_RETURN},
        {"bottom, then the bottom-left corner", {
            {VK_DOWN, WMSZ_BOTTOM, Kept, InBottom, 32645, {}},
            {VK_DOWN, WMSZ_BOTTOM, Kept, More10, 0, {0, 0, 0, 10}},
            {VK_LEFT, WMSZ_BOTTOMLEFT, OnLeft, InBottom, 32643, {}},
            {VK_LEFT, WMSZ_BOTTOMLEFT, Less10, Kept, 0, {-10, 0, 0, 0}}}, VK_ESCAPE},
        {"top, then left", {
            {VK_UP, WMSZ_TOP, Kept, OnTop, 32645, {}},
            {VK_LEFT, WMSZ_TOPLEFT, InLeft, InTop, 32642, {}}}, VK_ESCAPE},
        {"bottom, then right", {
            {VK_DOWN, WMSZ_BOTTOM, Kept, InBottom, 32645, {}},
            {VK_RIGHT, WMSZ_BOTTOMRIGHT, InRight, InBottom, 32642, {}}}, VK_RETURN},
        {"right, then up", {
            {VK_RIGHT, WMSZ_RIGHT, InRight, Kept, 32644, {}},
            {VK_UP, WMSZ_TOPRIGHT, InRight, OnTop, 32643, {}},
            {VK_UP, WMSZ_TOPRIGHT, Kept, Less10, 0, {0, -10, 0, 0}}}, VK_ESCAPE},
        {"left, then down", {
            {VK_LEFT, WMSZ_LEFT, OnLeft, Kept, 32644, {}},
            {VK_DOWN, WMSZ_BOTTOMLEFT, OnLeft, InBottom, 32643, {}},
            {VK_RIGHT, WMSZ_BOTTOMLEFT, More10, Kept, 0, {10, 0, 0, 0}}}, VK_RETURN},
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
        // The size command of the system menu, as the keyboard gives it.
        PostMessageA(window, WM_SYSCOMMAND, SC_SIZE, 0);
        ASSERT_EQ(WM_ENTERSIZEMOVE, Codes(PumpUntilCode(WM_ENTERSIZEMOVE)).back());
        ASSERT_TRUE(LiveSizingActive());
        EXPECT_EQ(0, LiveSizingEdge());
        EXPECT_EQ(window, GetCapture());
        EXPECT_EQ(SystemCursor(32646), GetCursor());
        std::vector<Heard> pressed = HeardOf(WM_LBUTTONDOWN);
        ASSERT_EQ(pressTold ? 1u : 0u, pressed.size());
        if (pressTold) {
            EXPECT_EQ((WPARAM)MK_LBUTTON, pressed[0].wParam);
        }
        for (const Key& key : sequence.keys) {
            SCOPED_TRACE(testing::Message() << "key " << key.key << " to edge " << key.edge);
            const RECT before = OuterRect(window);
            const POINT cursor = CursorAt();
            // Every key moves the cursor, and the system makes a mouse move of that.
            std::vector<int32_t> codes = Codes(PumpKey(key.key));
            if (std::find(codes.begin(), codes.end(), WM_MOUSEMOVE) == codes.end()) {
                EXPECT_EQ(WM_MOUSEMOVE, Codes(PumpUntilCode(WM_MOUSEMOVE)).back());
            }
            EXPECT_EQ(key.edge, LiveSizingEdge());
            const RECT after = OuterRect(window);
            EXPECT_EQ(Coordinate(key.x, cursor.x, after), CursorAt().x);
            EXPECT_EQ(Coordinate(key.y, cursor.y, after), CursorAt().y);
            if (key.cursor) {
                EXPECT_EQ(SystemCursor(key.cursor), GetCursor());
            }
            const RECT expected = {before.left + key.change.left, before.top + key.change.top,
                                   before.right + key.change.right,
                                   before.bottom + key.change.bottom};
            EXPECT_TRUE(SameRect(expected, after)) << after;
        }
        const RECT sized = OuterRect(window);
        // The keys moved the cursor, and the system told the window of it.
        const POINT placed = CursorAt();
        std::vector<int32_t> codes = Codes(PumpKey(sequence.end));
        EXPECT_NE(codes.end(), std::find(codes.begin(), codes.end(), WM_EXITSIZEMOVE));
        EXPECT_FALSE(LiveSizingActive());
        EXPECT_EQ(placed.x, CursorAt().x);
        EXPECT_EQ(placed.y, CursorAt().y);
        EXPECT_EQ(nullptr, GetCapture());
        EXPECT_TRUE(SameRect(sequence.end == VK_ESCAPE ? start : sized, OuterRect(window)))
            << OuterRect(window);
        WindowCloseAll();
    }
    EXPECT_TRUE(pressSent[0] && pressSent[1]) << "the button's state was the same every time";
}

// The cursor goes back to where sizing from the keyboard found it, unless a
// mouse move reached the window in between.
TEST_F(LiveSizing, CursorComesBackWithoutMouseMoves) {
    struct Case {
        const char* name;
        bool realMove; // a mouse move of the input reaches the window
        WORD end;
    } cases[] = {
        {"no move, Enter", false, VK_RETURN},
        {"no move, Escape", false, VK_ESCAPE},
        {"a move, Enter", true, VK_RETURN},
        {"a move, Escape", true, VK_ESCAPE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open(false);
        // The move's own mouse move must be over before sizing starts.
        MouseInput(250, 200);
        PumpUntil([](const Seen& s) { return s.code == WM_MOUSEMOVE; }, 500);
        PostMessageA(window, WM_SYSCOMMAND, SC_SIZE, 0);
        ASSERT_EQ(WM_ENTERSIZEMOVE, Codes(PumpUntilCode(WM_ENTERSIZEMOVE)).back());
        if (c.realMove) {
            MouseInput(300, 260);
            PumpUntilCode(WM_MOUSEMOVE);
        } else {
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
        ASSERT_EQ(300, CursorAt().x);
        PumpKey(c.end);
        PumpAll();
        EXPECT_FALSE(LiveSizingActive());
        POINT expected = c.realMove ? POINT{300, 260} : POINT{250, 200};
        EXPECT_EQ(expected.x, CursorAt().x);
        EXPECT_EQ(expected.y, CursorAt().y);
        WindowCloseAll();
    }
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
    PostMessageA(window, WM_SYSCOMMAND, SC_SIZE | WMSZ_RIGHT, 0);
    ASSERT_EQ(WM_ENTERSIZEMOVE, Codes(PumpUntilCode(WM_ENTERSIZEMOVE)).back());
    ASSERT_TRUE(LiveSizingActive());
    PostMessageA(other, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    PostMessageA(other, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(other, WM_LBUTTONUP, 0, 0);
    PumpAll();
    EXPECT_TRUE(LiveSizingActive());
    EXPECT_TRUE(SameRect(otherRect, OuterRect(other))) << OuterRect(other);

    WindowClose(0);
    ASSERT_FALSE(LiveSizingActive());
    EXPECT_EQ(nullptr, GetCapture());
    PumpAll();
    // Sizing starts again for the next window.
    Open(false);
    PostMessageA(window, WM_SYSCOMMAND, SC_SIZE | WMSZ_RIGHT, 0);
    ASSERT_EQ(WM_ENTERSIZEMOVE, Codes(PumpUntilCode(WM_ENTERSIZEMOVE)).back());
    EXPECT_TRUE(LiveSizingActive());
    PostMessageA(window, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(WM_EXITSIZEMOVE, Codes(PumpUntilCode(WM_EXITSIZEMOVE)).back());
    EXPECT_FALSE(LiveSizingActive());

    // A window that closes while sizing starts leaves nothing going.
    Open(false);
    gCloseWhileStarting = true;
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    SetCursor(arrow);
    PostMessageA(window, WM_SYSCOMMAND, SC_SIZE, 0);
    std::vector<int32_t> codes = Codes(PumpAll());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(LiveSizingActive());
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(codes.end(), std::find(codes.begin(), codes.end(), WM_ENTERSIZEMOVE));
    EXPECT_EQ(arrow, GetCursor()) << "no sizing cursor for a window gone";
}
