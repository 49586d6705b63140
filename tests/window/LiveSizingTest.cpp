#include "../LibraryQueries.h"
#include "EventPump.h"
#include "base/Heap.h"
#include "windows/Event.h"
#include "windows/Window.h"
#include <gtest/gtest.h>
#include <limits.h>
#include <algorithm>
#include <functional>
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
enum { Limits = 1, Snap = 2, Replace = 4, CloseWhileStarting = 8, Child = 16 };
static int gAnswers;
static POINT gLeast, gMost;

// Sizing edges, shorter for the tables.
const int32_t L = WMSZ_LEFT, R = WMSZ_RIGHT, T = WMSZ_TOP, B = WMSZ_BOTTOM, TL = WMSZ_TOPLEFT,
              TR = WMSZ_TOPRIGHT, BL = WMSZ_BOTTOMLEFT, BR = WMSZ_BOTTOMRIGHT;

static RECT Answered(RECT told) {
    if (gAnswers & Snap) told.right = told.left + (told.right - told.left) / 50 * 50;
    return gAnswers & Replace ? RECT{100, 100, 333, 300} : told;
}

static LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RECT* rect = (RECT*)lParam;
    if (message == WM_ENTERSIZEMOVE || message == WM_EXITSIZEMOVE || message == WM_SIZE ||
        message == WM_LBUTTONDOWN || message == WM_SIZING)
        gHeard.push_back({message, wParam, message == WM_SIZING ? *rect : RECT{}, gDepth});
    if (message == WM_SIZING) *rect = Answered(*rect);
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

// The system's sizing loop does not see a release queued before it began: the
// button goes up once the window has been told that the loop runs.
static void CALLBACK ReleaseInTheLoop(HWND, UINT, UINT_PTR timer, DWORD) {
    for (const Heard& h : gHeard) {
        if (h.message != WM_ENTERSIZEMOVE) continue;
        KillTimer(nullptr, timer);
        MouseInput(GetSystemMetrics(SM_CXSCREEN) / 2, 210, MOUSEEVENTF_LEFTUP);
        return;
    }
}

static std::vector<int32_t> Codes(const std::vector<Seen>& seen) {
    std::vector<int32_t> codes;
    for (const Seen& s : seen)
        if (s.code != WM_TIMER) codes.push_back(s.code);
    return codes;
}

// A visible window with a sizing border, active, with the recorder in front of
// its window procedure; window contents are shown while dragging.
class LiveSizing : public testing::Test {
  protected:
    HWND topLevel = nullptr, window = nullptr;
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
    // A drag that failed half way leaves the button down for the next test.
    static void ReleaseLeftButton() {
        if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) MouseInput(0, 0, MOUSEEVENTF_LEFTUP);
    }

    // Window 0 at (100, 100), 300 x 200 outside; with `child`, a child of the
    // library's own class inside it instead is the one sized.
    HWND Open(bool child) {
        HWND top = (HWND)WindowOpen(0, 0, 0, 10, 10, WS_POPUP | WS_THICKFRAME, "");
        MoveWindow(top, 100, 100, 300, 200, TRUE);
        window = topLevel = top;
        if (child) {
            MoveWindow(top, 40, 30, 500, 400, TRUE);
            POINT origin = {0, 0};
            ClientToScreen(top, &origin);
            window = CreateWindowExA(0, "TemplateClass", "", WS_CHILD | WS_VISIBLE | WS_THICKFRAME,
                                     100 - origin.x, 100 - origin.y, 300, 200, top, nullptr,
                                     InstanceHandle(), nullptr);
        }
        SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)Recorder);
        EXPECT_TRUE(WaitForeground(top));
        PumpAll();
        gHeard.clear();
        return window;
    }

    // The size command of the system menu, as the keyboard gives it.
    bool StartFromMenu(int32_t edge) {
        PostMessageA(window, WM_SYSCOMMAND, SC_SIZE | edge, 0);
        return Has(PumpUntilCode(WM_ENTERSIZEMOVE), WM_ENTERSIZEMOVE) && LiveSizingActive();
    }
    // Real mouse input over the window, once it is the foreground window.
    void Mouse(int32_t x, int32_t y, DWORD button = 0) {
        EXPECT_TRUE(WaitForeground(topLevel));
        MouseInput(x, y, button);
    }
    std::vector<Heard> HeardOf(UINT message) {
        std::vector<Heard> found;
        for (const Heard& h : gHeard)
            if (h.message == message) found.push_back(h);
        return found;
    }
    static std::vector<int32_t> PumpUntilCode(int32_t code) {
        return Codes(PumpUntil([code](const Seen& s) { return s.code == code; }));
    }
    // Takes the input already queued (the system makes mouse moves of its own,
    // as when a child is pressed), then what handling it posted.
    static void Settle() {
        PumpQueuedInput();
        PumpAll();
    }
    static bool Has(const std::vector<int32_t>& v, int32_t code) {
        return std::find(v.begin(), v.end(), code) != v.end();
    }
    static RECT OuterRect(HWND window) {
        RECT rect = {};
        GetWindowRect(window, &rect);
        return rect;
    }
    // Rectangles in a form the checks print; `from` makes it a change.
    static std::vector<LONG> Sides(const RECT& r, const RECT& from = {}) {
        return {r.left - from.left, r.top - from.top, r.right - from.right, r.bottom - from.bottom};
    }
    // The cursor goes elsewhere, but the window hears nothing of it: the mouse
    // move that the system makes of it is taken out of the queue.
    static void MoveCursorUnheard(int32_t x, int32_t y) {
        SetCursorPos(x, y);
        MSG dropped;
        auto drop = [&] {
            return PeekMessageA(&dropped, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) != FALSE;
        };
        EXPECT_TRUE(WaitUntil(drop)) << "the system made no mouse move of the cursor's move";
        while (drop()) continue;
    }
    static std::pair<LONG, LONG> CursorAt() {
        POINT at = {};
        GetCursorPos(&at);
        return {at.x, at.y};
    }
    // Where the cursor is once it reads `wanted`, or after a while: under load the
    // system can report the cursor's last position for a moment after a move.
    static std::pair<LONG, LONG> CursorReaching(std::pair<LONG, LONG> wanted) {
        WaitUntil([&] { return CursorAt() == wanted; }, 3000);
        return CursorAt();
    }
};

TEST_F(LiveSizing, LeftToTheSystemWithoutFullDrag) {
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0));
    const RECT r = OuterRect(Open(false));
    // A press on the right border: the system's own sizing runs a loop inside the
    // size command, and a timer releases the button from inside it.
    Mouse(r.right - 1, 200);
    Mouse(r.right - 1, 200, MOUSEEVENTF_LEFTDOWN);
    Mouse(r.right + 40, 210);
    UINT_PTR release = SetTimer(nullptr, 0, 50, ReleaseInTheLoop);
    bool activeMeanwhile = false;
    std::vector<int32_t> codes = Codes(PumpUntil([&](const Seen&) {
        activeMeanwhile = activeMeanwhile || LiveSizingActive();
        return !HeardOf(WM_EXITSIZEMOVE).empty();
    }));
    const bool enteredAfterwards = Has(Codes(PumpAll()), WM_ENTERSIZEMOVE);
    KillTimer(nullptr, release);
    EXPECT_FALSE(activeMeanwhile || LiveSizingActive());
    EXPECT_FALSE(Has(codes, WM_ENTERSIZEMOVE) || enteredAfterwards);
    // Only the system's loop, inside the size command, tells the window it sizes.
    for (UINT told : {WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}) {
        std::vector<Heard> heard = HeardOf(told);
        ASSERT_EQ(1u, heard.size());
        EXPECT_EQ(1, heard[0].depth);
    }
}

// A drag grabs the border of a window at {100, 100, 400, 300}, then moves, each with
// the rectangle WM_SIZING tells. The window has the last word on where it goes;
// sizes out of all reason take no side past the range of a coordinate.
TEST_F(LiveSizing, Drags) {
    const LONG mw = GetSystemMetrics(SM_CXMINTRACK), mh = GetSystemMetrics(SM_CYMINTRACK);
    const POINT least = {150, 120}, most = {350, 220}, top = {LONG_MAX, LONG_MAX};
    const POINT bottom = {LONG_MIN, LONG_MIN};
    // A point on each border and corner, by sizing edge, a pixel inside the edge.
    const POINT grabs[] = {{},         {101, 200}, {398, 200}, {250, 101}, {101, 101},
                           {398, 101}, {250, 298}, {101, 298}, {398, 298}};
    struct Move {
        POINT to;
        RECT told;
    };
    struct Drag {
        const char* name;
        int32_t edge; // grabbed on that border
        int answers;  // and Child: a child window is sized
        POINT least, most;
        std::vector<Move> moves;
    };
    // clang-format off
    const Drag drags[] = {
        {"right border", R, 0, {}, {}, {{{450, 210}, {100, 100, 452, 300}},
            {{350, 150}, {100, 100, 352, 300}}, {{101, 150}, {100, 100, 100 + mw, 300}},
            {{420, 400}, {100, 100, 422, 300}}, {{0, 150}, {100, 100, 100 + mw, 300}}}},
        {"right border, own limits", R, Limits, least, most, {{{480, 200}, {100, 100, 450, 300}},
            {{300, 200}, {100, 100, 302, 300}}, {{120, 200}, {100, 100, 250, 300}}}},
        {"left border", L, 0, {}, {}, {{{60, 200}, {60, 100, 400, 300}},
            {{390, 200}, {400 - mw, 100, 400, 300}}, {{150, 250}, {150, 100, 400, 300}}}},
        {"left border, own limits", L, Limits, least, most, {{{20, 200}, {50, 100, 400, 300}},
            {{300, 200}, {250, 100, 400, 300}}}},
        {"top border, own limits", T, Limits, least, most, {{{250, 50}, {100, 80, 400, 300}},
            {{250, 250}, {100, 180, 400, 300}}, {{250, 150}, {100, 150, 400, 300}}}},
        {"bottom-right corner", BR, 0, {}, {}, {{{450, 350}, {100, 100, 452, 352}},
            {{380, 320}, {100, 100, 382, 322}}, {{100, 100}, {100, 100, 100 + mw, 100 + mh}}}},
        {"bottom-right corner, own limits", BR, Limits, least, most,
            {{{500, 500}, {100, 100, 450, 320}}}},
        {"top-left corner", TL, 0, {}, {}, {{{80, 70}, {78, 68, 400, 300}},
            {{120, 130}, {118, 128, 400, 300}}}},
        {"bottom-left corner", BL, 0, {}, {}, {{{70, 330}, {70, 100, 400, 332}}}},
        {"top-right corner", TR, 0, {}, {}, {{{430, 80}, {100, 80, 432, 300}}}},
        {"right border of a child", R, Child, {}, {}, {{{450, 210}, {100, 100, 452, 300}},
            {{300, 210}, {100, 100, 302, 300}}}},
        {"top-left corner of a child", TL, Child, {}, {}, {{{90, 80}, {88, 78, 400, 300}}}},
        {"snapped to steps of 50", R, Snap, {}, {}, {{{473, 200}, {100, 100, 475, 300}}}},
        {"right, least size at the top of the range", R, Limits | Replace, top, top,
            {{{450, 200}, {100, 100, LONG_MAX, 300}}}},
        {"right, most size below nothing", R, Limits | Replace, {0, 0}, {-5, -5},
            {{{450, 200}, {100, 100, 95, 300}}}},
        {"left, most size at the bottom of the range", L, Limits | Replace, bottom, bottom,
            {{{60, 200}, {LONG_MAX, 100, 400, 300}}}},
        {"bottom, least size at the top of the range", B, Limits | Replace, top, top,
            {{{250, 320}, {100, 100, 400, LONG_MAX}}}},
    };
    // clang-format on
    for (const Drag& drag : drags) {
        SCOPED_TRACE(drag.name);
        gAnswers = drag.answers;
        gLeast = drag.least;
        gMost = drag.most;
        Open(drag.answers & Child);
        const POINT grab = grabs[drag.edge];
        Mouse(grab.x, grab.y);
        Settle();
        gHeard.clear();
        Mouse(grab.x, grab.y, MOUSEEVENTF_LEFTDOWN);
        std::vector<int32_t> codes = PumpUntilCode(WM_ENTERSIZEMOVE);
        ASSERT_TRUE(Has(codes, WM_ENTERSIZEMOVE)) << testing::PrintToString(codes);
        EXPECT_FALSE(Has(codes, EventSize));
        ASSERT_TRUE(LiveSizingActive());
        EXPECT_EQ(window, GetCapture());
        EXPECT_TRUE(HeardOf(WM_LBUTTONDOWN).empty()) << "the button is down already";
        for (const Move& move : drag.moves) {
            Settle();
            gHeard.clear();
            Mouse(move.to.x, move.to.y);
            EXPECT_EQ((std::vector<int32_t>{WM_MOUSEMOVE, EventSize}), PumpUntilCode(EventSize));
            std::vector<Heard> sizing = HeardOf(WM_SIZING);
            ASSERT_EQ(1u, sizing.size());
            EXPECT_EQ((WPARAM)drag.edge, sizing[0].wParam);
            EXPECT_EQ(Sides(move.told), Sides(sizing[0].rect));
            EXPECT_EQ(1u, HeardOf(WM_SIZE).size());
            EXPECT_EQ(Sides(Answered(move.told)), Sides(OuterRect(window)));
            const std::pair<LONG, LONG> to = {move.to.x, move.to.y};
            EXPECT_EQ(to, CursorReaching(to));
        }
        const Move& last = drag.moves.back();
        Settle();
        Mouse(last.to.x, last.to.y, MOUSEEVENTF_LEFTUP);
        codes = PumpUntilCode(WM_EXITSIZEMOVE);
        EXPECT_EQ((std::vector<int32_t>{WM_LBUTTONUP, WM_EXITSIZEMOVE}), codes);
        EXPECT_FALSE(LiveSizingActive());
        EXPECT_EQ(nullptr, GetCapture());
        EXPECT_EQ(Sides(Answered(last.told)), Sides(OuterRect(window)));
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
    // The system cursor shown for each sizing edge, 0 for none chosen yet.
    const int32_t shown[] = {32646, 32644, 32644, 32645, 32642, 32643, 32645, 32643, 32642};
    struct Key {
        WORD key;
        int32_t edge; // the edge afterwards
        At x, y;      // the cursor afterwards
        RECT change;  // of the outer rectangle: left, top, right, bottom
    };
    enum Between { NoMove, RealMove, UnheardMove }; // to (300, 260) before the end
    struct Sequence {
        const char* name;
        std::vector<Key> keys;
        Between between;
        WORD end;
    };
    const WORD Left = VK_LEFT, Right = VK_RIGHT, Up = VK_UP, Down = VK_DOWN;
    // clang-format off
    const Sequence sequences[] = {
        {"left, then the top-left corner", {{Left, L, OnLeft, Kept, {}},
            {Left, L, Less10, Kept, {-10, 0, 0, 0}}, {Up, TL, InLeft, InTop, {}},
            {Up, TL, Kept, Less10, {0, -10, 0, 0}}, {Right, TL, More10, Kept, {10, 0, 0, 0}},
            {Down, TL, Kept, More10, {0, 10, 0, 0}}}, NoMove, VK_RETURN},
        {"right, then the bottom-right corner", {{Right, R, InRight, Kept, {}},
            {Right, R, More10, Kept, {0, 0, 10, 0}}, {Down, BR, InRight, InBottom, {}},
            {Down, BR, Kept, More10, {0, 0, 0, 10}}, {Left, BR, Less10, Kept, {0, 0, -10, 0}}},
            NoMove, VK_ESCAPE},
        {"top, then the top-right corner", {{Up, T, Kept, OnTop, {}},
            {Up, T, Kept, Less10, {0, -10, 0, 0}}, {Right, TR, InRight, OnTop, {}},
            {Down, TR, Kept, More10, {0, 10, 0, 0}}}, NoMove, VK_RETURN},
        {"bottom, then the bottom-left corner", {{Down, B, Kept, InBottom, {}},
            {Down, B, Kept, More10, {0, 0, 0, 10}}, {Left, BL, OnLeft, InBottom, {}},
            {Left, BL, Less10, Kept, {-10, 0, 0, 0}}}, NoMove, VK_ESCAPE},
        {"top, then left", {{Up, T, Kept, OnTop, {}}, {Left, TL, InLeft, InTop, {}}}, NoMove,
            VK_ESCAPE},
        {"bottom, then right", {{Down, B, Kept, InBottom, {}},
            {Right, BR, InRight, InBottom, {}}}, NoMove, VK_RETURN},
        {"right, then up", {{Right, R, InRight, Kept, {}}, {Up, TR, InRight, OnTop, {}},
            {Up, TR, Kept, Less10, {0, -10, 0, 0}}}, NoMove, VK_ESCAPE},
        {"left, then down", {{Left, L, OnLeft, Kept, {}}, {Down, BL, OnLeft, InBottom, {}},
            {Right, BL, More10, Kept, {10, 0, 0, 0}}}, NoMove, VK_RETURN},
        {"an unheard move, Enter", {}, UnheardMove, VK_RETURN},
        {"an unheard move, Escape", {}, UnheardMove, VK_ESCAPE},
        {"a move, Enter", {}, RealMove, VK_RETURN},
        {"a move, Escape", {}, RealMove, VK_ESCAPE},
    };
    // clang-format on
    bool pressSent[2] = {false, false};
    for (const Sequence& sequence : sequences) {
        SCOPED_TRACE(sequence.name);
        const RECT start = OuterRect(Open(false));
        // Each click toggles the button's state: the press is told only when
        // the button is neither down nor toggled.
        Mouse(250, 200, MOUSEEVENTF_LEFTDOWN);
        Mouse(250, 200, MOUSEEVENTF_LEFTUP);
        PumpUntilCode(WM_LBUTTONUP);
        Settle();
        gHeard.clear();
        const bool pressTold = GetKeyState(VK_LBUTTON) == 0;
        pressSent[pressTold] = true;
        const std::pair<LONG, LONG> found = CursorAt();
        ASSERT_TRUE(StartFromMenu(0));
        EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(shown[0])), GetCursor());
        std::vector<Heard> pressed = HeardOf(WM_LBUTTONDOWN);
        ASSERT_EQ(pressTold ? 1u : 0u, pressed.size());
        EXPECT_TRUE(!pressTold || pressed[0].wParam == MK_LBUTTON);
        for (const Key& key : sequence.keys) {
            SCOPED_TRACE(testing::Message() << "key " << key.key << " to edge " << key.edge);
            const RECT before = OuterRect(window);
            const std::pair<LONG, LONG> cursor = CursorAt();
            const int32_t edge = LiveSizingEdge();
            // Every key moves the cursor, and the system makes a mouse move of that.
            EXPECT_TRUE(Has(Codes(PumpKey(topLevel, key.key)), WM_MOUSEMOVE) ||
                        Has(PumpUntilCode(WM_MOUSEMOVE), WM_MOUSEMOVE));
            EXPECT_EQ(key.edge, LiveSizingEdge());
            const RECT after = OuterRect(window);
            const std::pair<LONG, LONG> placed = {Coordinate(key.x, cursor.first, after),
                                                  Coordinate(key.y, cursor.second, after)};
            EXPECT_EQ(placed, CursorReaching(placed));
            EXPECT_TRUE(edge == key.edge ||
                        LoadCursorA(nullptr, MAKEINTRESOURCEA(shown[key.edge])) == GetCursor());
            EXPECT_EQ(Sides(key.change), Sides(after, before));
        }
        if (sequence.between == RealMove) {
            Mouse(300, 260);
            PumpUntilCode(WM_MOUSEMOVE);
        } else if (sequence.between == UnheardMove) {
            MoveCursorUnheard(300, 260);
        }
        const std::pair<LONG, LONG> moved = {300, 260};
        ASSERT_TRUE(sequence.between == NoMove || CursorReaching(moved) == moved);
        const RECT sized = OuterRect(window);
        const std::pair<LONG, LONG> placed = sequence.between == UnheardMove ? found : CursorAt();
        EXPECT_TRUE(Has(Codes(PumpKey(topLevel, sequence.end)), WM_EXITSIZEMOVE));
        EXPECT_FALSE(LiveSizingActive());
        EXPECT_EQ(nullptr, GetCapture());
        EXPECT_EQ(placed, CursorReaching(placed));
        EXPECT_EQ(Sides(sequence.end == VK_ESCAPE ? start : sized), Sides(OuterRect(window)));
        WindowCloseAll();
    }
    EXPECT_TRUE(pressSent[0] && pressSent[1]) << "the button's state was the same every time";
}

// Sizing belongs to one window: the messages of another pass by, and a window
// closed while it is sized takes its sizing with it.
TEST_F(LiveSizing, OneWindowAndItsClose) {
    Open(false);
    // Hidden, so that it never takes the activation: a late activation change
    // would take the capture, and that alone ends sizing.
    HWND other =
        (HWND)WindowOpen(1, 0, 0, 10, 10, WS_POPUP | WS_THICKFRAME | WindowFlagHidden, "");
    ASSERT_TRUE(MoveWindow(other, 500, 100, 120, 100, TRUE));
    ASSERT_TRUE(WaitForeground(window));
    PumpAll();
    const RECT otherRect = OuterRect(other);
    ASSERT_TRUE(StartFromMenu(WMSZ_RIGHT));
    PostMessageA(other, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    PostMessageA(other, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(other, WM_LBUTTONUP, 0, 0);
    PumpAll();
    EXPECT_TRUE(LiveSizingActive());
    EXPECT_EQ(Sides(otherRect), Sides(OuterRect(other)));
    // The sized window taking the capture again loses nothing.
    SetCapture(window);
    PumpAll();
    EXPECT_TRUE(LiveSizingActive());
    EXPECT_EQ(window, GetCapture());

    WindowClose(0);
    ASSERT_FALSE(LiveSizingActive());
    EXPECT_EQ(nullptr, GetCapture());
    PumpAll();

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

// Losing the mouse capture ends sizing as Enter does: the size so far stays, the
// cursor goes back as it would, and later mouse moves with no button size nothing.
// A capture another window took stays with it.
TEST_F(LiveSizing, EndsWithTheCapture) {
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 InstanceHandle(), nullptr);
    struct Loss {
        const char* name;
        int32_t edge; // 0: from the keyboard, the cursor moved unheard since
        std::function<void()> take;
        HWND holder; // the capture's window afterwards
    };
    const Loss losses[] = {
        {"WM_CANCELMODE, as a menu sends", R, [&] { SendMessageA(window, WM_CANCELMODE, 0, 0); },
         nullptr},
        {"disabled, as by a message box", 0, [&] { EnableWindow(window, FALSE); }, nullptr},
        {"another window's SetCapture", R, [&] { SetCapture(other); }, other},
        {"released by other code", 0, [] { ReleaseCapture(); }, nullptr},
    };
    for (const Loss& loss : losses) {
        SCOPED_TRACE(loss.name);
        Open(false);
        SetCursorPos(150, 150);
        Settle();
        ASSERT_TRUE(StartFromMenu(loss.edge));
        // A mouse move, posted, that takes the right side to `x`.
        auto moveRight = [&](LONG x) {
            POINT at = {x - 2, 200};
            ScreenToClient(window, &at);
            PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
        };
        if (loss.edge) {
            moveRight(450);
            PumpUntilCode(EventSize);
        } else {
            MoveCursorUnheard(300, 260);
        }
        const RECT sized = OuterRect(window);
        loss.take();
        std::vector<int32_t> codes = Codes(PumpAll());
        EXPECT_FALSE(LiveSizingActive());
        EXPECT_EQ(1, std::count(codes.begin(), codes.end(), WM_EXITSIZEMOVE));
        EXPECT_EQ(loss.holder, GetCapture());
        const std::pair<LONG, LONG> found = {150, 150};
        EXPECT_EQ(found, CursorReaching(found));
        moveRight(500);
        PumpAll();
        EXPECT_EQ(Sides({100, 100, loss.edge ? 450 : 400, 300}), Sides(sized));
        EXPECT_EQ(Sides(sized), Sides(OuterRect(window)));
        ReleaseCapture();
        WindowCloseAll();
    }
    DestroyWindow(other);
}

// An arrow step sizes the window at once, not at the mouse move that the cursor's
// step brings: at the screen's edge that move takes the side back to the cursor.
TEST_F(LiveSizing, ArrowStepSizesAtOnce) {
    Open(false);
    ASSERT_TRUE(MoveWindow(window, 0, 100, 300, 200, TRUE));
    SetCursorPos(0, 150);
    PumpAll();
    ASSERT_TRUE(StartFromMenu(L));
    PostMessageA(window, WM_KEYDOWN, VK_LEFT, 0);
    PumpUntilCode(WM_KEYDOWN);
    EXPECT_EQ(std::make_pair(0L, 150L), CursorAt()) << "the cursor stays at the edge";
    EXPECT_EQ(-10, OuterRect(window).left);
}
