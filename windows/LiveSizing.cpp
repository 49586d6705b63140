#include "windows/LiveSizing.h"
#include "windows/Event.h"
#include <limits.h>

struct LiveSizingState {
    bool active;
    HWND window; // the window being sized; the messages of others pass by
    MINMAXINFO limits;
    int32_t edge;
    RECT start;
    RECT tracked;
    POINT savedCursor;
    bool restoreCursor;
};

static LiveSizingState gSizing;

const int32_t CursorSizeNWSE = 32642;
const int32_t CursorSizeNESW = 32643;
const int32_t CursorSizeWE = 32644;
const int32_t CursorSizeNS = 32645;
const int32_t CursorSizeAll = 32646;

// A window may answer WM_GETMINMAXINFO and WM_SIZING with any numbers:
// sides and sizes are worked out in 64 bits and brought back into range.
static LONG LiveSizingClamp(int64_t value) {
    if (value < LONG_MIN) return LONG_MIN;
    if (value > LONG_MAX) return LONG_MAX;
    return (LONG)value;
}

static void LiveSizingShowCursor(int32_t cursor) {
    SetCursor((HCURSOR)LoadImageA(nullptr, MAKEINTRESOURCEA(cursor), IMAGE_CURSOR, 0, 0,
                                  LR_SHARED | LR_DEFAULTSIZE));
}

void LiveSizingPlaceCursor(int32_t cursor, int32_t x, int32_t y) {
    SetCursorPos(x, y);
    LiveSizingShowCursor(cursor);
}

// Keeps the side `moving` between the minimum and the maximum size from `fixed`;
// `direction` is -1 for a left or top side, 1 for a right or bottom one.
static void LiveSizingLimit(LONG* moving, LONG fixed, int direction, LONG least, LONG most) {
    int64_t size = ((int64_t)*moving - fixed) * direction;
    if (size < least)
        *moving = LiveSizingClamp(fixed + (int64_t)least * direction);
    else if (size > most)
        *moving = LiveSizingClamp(fixed + (int64_t)most * direction);
}

void LiveSizingTrack(int32_t x, int32_t y) {
    RECT* r = &gSizing.tracked;
    const POINT least = gSizing.limits.ptMinTrackSize;
    const POINT most = gSizing.limits.ptMaxTrackSize;
    switch (gSizing.edge) {
    case WMSZ_LEFT:
    case WMSZ_TOPLEFT:
    case WMSZ_BOTTOMLEFT:
        r->left = gSizing.edge == WMSZ_TOPLEFT ? x - 2 : x;
        LiveSizingLimit(&r->left, r->right, -1, least.x, most.x);
        break;
    case WMSZ_RIGHT:
    case WMSZ_TOPRIGHT:
    case WMSZ_BOTTOMRIGHT:
        r->right = x + 2;
        LiveSizingLimit(&r->right, r->left, 1, least.x, most.x);
        break;
    }
    switch (gSizing.edge) {
    case WMSZ_TOP:
    case WMSZ_TOPLEFT:
    case WMSZ_TOPRIGHT:
        r->top = gSizing.edge == WMSZ_TOPLEFT ? y - 2 : y;
        LiveSizingLimit(&r->top, r->bottom, -1, least.y, most.y);
        break;
    case WMSZ_BOTTOM:
    case WMSZ_BOTTOMLEFT:
    case WMSZ_BOTTOMRIGHT:
        r->bottom = y + 2;
        LiveSizingLimit(&r->bottom, r->top, 1, least.y, most.y);
        break;
    }
}

// A child window is placed in its parent's client coordinates.
static void LiveSizingMove(HWND window, const RECT* to) {
    RECT placed = *to;
    if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(nullptr, GetParent(window), (POINT*)&placed, 2);
    MoveWindow(window, placed.left, placed.top,
               LiveSizingClamp((int64_t)placed.right - placed.left),
               LiveSizingClamp((int64_t)placed.bottom - placed.top), TRUE);
}

void LiveSizingApply(HWND window) {
    SendMessageA(window, WM_SIZING, (WPARAM)gSizing.edge, (LPARAM)&gSizing.tracked);
    LiveSizingMove(window, &gSizing.tracked);
}

// Sizing is over before the capture goes, so that the WM_CAPTURECHANGED that
// releasing it sends finds nothing to end; a capture another window took stays
// with it. `back`, for Escape, is where the window goes before the end is told.
static void LiveSizingEnd(HWND window, const RECT* back) {
    gSizing.active = false;
    gSizing.window = nullptr;
    if (GetCapture() == window) ReleaseCapture();
    if (back) LiveSizingMove(window, back);
    PostMessageA(window, WM_EXITSIZEMOVE, 0, 0);
    if (gSizing.restoreCursor) SetCursorPos(gSizing.savedCursor.x, gSizing.savedCursor.y);
}

static void LiveSizingLimitsFill(HWND window) {
    MINMAXINFO* limits = &gSizing.limits;
    limits->ptReserved.x = 0;
    limits->ptReserved.y = 0;
    limits->ptMaxSize.x = GetSystemMetrics(SM_CXMAXIMIZED);
    limits->ptMaxSize.y = GetSystemMetrics(SM_CYMAXIMIZED);
    limits->ptMaxPosition.x = 0;
    limits->ptMaxPosition.y = 0;
    if (GetWindowLongA(window, GWL_STYLE) & WS_BORDER) {
        limits->ptMaxPosition.x = GetSystemMetrics(SM_CXBORDER);
        limits->ptMaxPosition.y = GetSystemMetrics(SM_CYBORDER);
    } else if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_WINDOWEDGE) {
        limits->ptMaxPosition.x = GetSystemMetrics(SM_CXEDGE);
        limits->ptMaxPosition.y = GetSystemMetrics(SM_CYEDGE);
    }
    limits->ptMinTrackSize.x = GetSystemMetrics(SM_CXMINTRACK);
    limits->ptMinTrackSize.y = GetSystemMetrics(SM_CYMINTRACK);
    limits->ptMaxTrackSize.x = GetSystemMetrics(SM_CXMAXTRACK);
    limits->ptMaxTrackSize.y = GetSystemMetrics(SM_CYMAXTRACK);
    SendMessageA(window, WM_GETMINMAXINFO, 0, (LPARAM)limits);
}

static LRESULT LiveSizingStart(HWND window, WPARAM wParam) {
    BOOL fullDrag = FALSE;
    if (!SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0) || !fullDrag)
        return EventNotHandled;
    gSizing.active = true;
    gSizing.window = window;
    gSizing.edge = (int32_t)(wParam & 0xF);
    GetWindowRect(window, &gSizing.tracked);
    gSizing.start = gSizing.tracked;
    LiveSizingLimitsFill(window);
    if (GetKeyState(VK_LBUTTON) == 0) SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    // The window may have closed while it answered.
    if (!gSizing.active) return 0;
    SetCapture(window);
    PostMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
    gSizing.restoreCursor = gSizing.edge == 0;
    if (gSizing.restoreCursor) {
        GetCursorPos(&gSizing.savedCursor);
        LiveSizingShowCursor(CursorSizeAll);
    }
    return 0;
}

struct LiveSizingArrow {
    WPARAM key;
    int32_t edge;    // the sizing edge now
    int32_t newEdge; // the edge chosen
    int32_t cursor;
};

// Choosing a side puts the cursor where tracking it leaves the rectangle as it is.
static const LiveSizingArrow kArrows[] = {
    {VK_LEFT, 0, WMSZ_LEFT, CursorSizeWE},
    {VK_LEFT, WMSZ_TOP, WMSZ_TOPLEFT, CursorSizeNWSE},
    {VK_LEFT, WMSZ_BOTTOM, WMSZ_BOTTOMLEFT, CursorSizeNESW},
    {VK_RIGHT, 0, WMSZ_RIGHT, CursorSizeWE},
    {VK_RIGHT, WMSZ_TOP, WMSZ_TOPRIGHT, CursorSizeNESW},
    {VK_RIGHT, WMSZ_BOTTOM, WMSZ_BOTTOMRIGHT, CursorSizeNWSE},
    {VK_UP, 0, WMSZ_TOP, CursorSizeNS},
    {VK_UP, WMSZ_RIGHT, WMSZ_TOPRIGHT, CursorSizeNESW},
    {VK_UP, WMSZ_LEFT, WMSZ_TOPLEFT, CursorSizeNWSE},
    {VK_DOWN, 0, WMSZ_BOTTOM, CursorSizeNS},
    {VK_DOWN, WMSZ_RIGHT, WMSZ_BOTTOMRIGHT, CursorSizeNWSE},
    {VK_DOWN, WMSZ_LEFT, WMSZ_BOTTOMLEFT, CursorSizeNESW},
};

// Where the cursor goes for a newly chosen edge; `cursor` is its position now.
static POINT LiveSizingEdgePoint(int32_t edge, POINT cursor) {
    const RECT r = gSizing.tracked;
    POINT at = cursor;
    switch (edge) {
    case WMSZ_LEFT:
        at.x = r.left;
        break;
    case WMSZ_RIGHT:
        at.x = r.right - 2;
        break;
    case WMSZ_TOP:
        at.y = r.top;
        break;
    case WMSZ_BOTTOM:
        at.y = r.bottom - 2;
        break;
    case WMSZ_TOPLEFT:
        at.x = r.left + 2;
        at.y = r.top + 2;
        break;
    case WMSZ_TOPRIGHT:
        at.x = r.right - 2;
        at.y = r.top;
        break;
    case WMSZ_BOTTOMLEFT:
        at.x = r.left;
        at.y = r.bottom - 2;
        break;
    case WMSZ_BOTTOMRIGHT:
        at.x = r.right - 2;
        at.y = r.bottom - 2;
        break;
    }
    return at;
}

static void LiveSizingArrowKey(HWND window, WPARAM key) {
    POINT cursor;
    if (!GetCursorPos(&cursor)) return;
    for (const LiveSizingArrow& arrow : kArrows) {
        if (arrow.key != key || arrow.edge != gSizing.edge) continue;
        gSizing.edge = arrow.newEdge;
        POINT at = LiveSizingEdgePoint(arrow.newEdge, cursor);
        LiveSizingPlaceCursor(arrow.cursor, at.x, at.y);
        return;
    }
    int32_t x = cursor.x, y = cursor.y;
    if (key == VK_LEFT) x -= 10;
    if (key == VK_RIGHT) x += 10;
    if (key == VK_UP) y -= 10;
    if (key == VK_DOWN) y += 10;
    SetCursorPos(x, y);
    LiveSizingTrack(x, y);
    LiveSizingApply(window);
}

LRESULT LiveSizingFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!gSizing.active) {
        if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_SIZE)
            return LiveSizingStart(window, wParam);
        return EventNotHandled;
    }
    if (window != gSizing.window) return EventNotHandled;
    switch (message) {
    case WM_MOUSEMOVE: {
        gSizing.restoreCursor = false;
        POINT at = {(int16_t)LOWORD(lParam), (int16_t)HIWORD(lParam)};
        MapWindowPoints(window, nullptr, &at, 1);
        LiveSizingTrack(at.x, at.y);
        LiveSizingApply(window);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            LiveSizingEnd(window, wParam == VK_ESCAPE ? &gSizing.start : nullptr);
            return 0;
        }
        if (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_DOWN)
            LiveSizingArrowKey(window, wParam);
        return EventNotHandled;
    case WM_LBUTTONUP:
        LiveSizingEnd(window, nullptr);
        return 0;
    // Without the capture, mouse moves would size the window with no button
    // down: losing it (a message box, a menu, another window's SetCapture) ends
    // sizing as Enter does. The message goes its usual way as well.
    case WM_CANCELMODE:
        LiveSizingEnd(window, nullptr);
        return EventNotHandled;
    case WM_CAPTURECHANGED:
        if ((HWND)lParam != window) LiveSizingEnd(window, nullptr);
        return EventNotHandled;
    // A window destroyed while it is sized ends its sizing with it.
    case WM_NCDESTROY:
        gSizing.active = false;
        gSizing.window = nullptr;
        return EventNotHandled;
    }
    return EventNotHandled;
}
