// The baselines of the start-up benchmark: a bare Win32 program that opens one
// full-screen popup and waits until it is closed, nothing else; built with
// BARE_COMMON_CONTROLS, it first initialises the common controls, as the
// program's start-up does.
#include <windows.h>
#ifdef BARE_COMMON_CONTROLS
#include <commctrl.h>
#endif

static LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef BARE_COMMON_CONTROLS
    InitCommonControls();
#endif
    WNDCLASSA bare = {};
    bare.lpfnWndProc = BareProc;
    bare.hInstance = instance;
    bare.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    bare.lpszClassName = "BareWindow";
    RegisterClassA(&bare);
    CreateWindowExA(0, "BareWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                    GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
