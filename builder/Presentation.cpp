#include "builder/Presentation.h"
#include "base/TextRules.h"
#include "builder/PageUrl.h"
#include "builder/Settings.h"
#include "gadgets/Browser.h"
#include "gadgets/Gadget.h"
#include "windows/Event.h"
#include "windows/Shortcut.h"
#include "windows/Window.h"

// Additions wrap: settings values are any 32-bit numbers.
static int32_t WrappingSum(int32_t a, int32_t b, int32_t c) {
    return (int32_t)((uint32_t)a + (uint32_t)b + (uint32_t)c);
}

// The browser overhangs the window on every side, so its own edges stay outside.
static void PresentationBrowserRect(int32_t screenWidth, int32_t screenHeight, int32_t rect[4]) {
    rect[0] = WrappingSum(TextToNumber(SettingsValue(7)), -10, 0);
    rect[1] = WrappingSum(TextToNumber(SettingsValue(8)), -15, 0);
    rect[2] = WrappingSum(screenWidth, TextToNumber(SettingsValue(9)), 27);
    rect[3] = WrappingSum(screenHeight, TextToNumber(SettingsValue(10)), 32);
}

// Waits until Escape or a close ends the presentation.
static void PresentationWait() {
    for (;;) {
        int32_t code = EventWait();
        if (code == EventMenu && EventMenuId() == PresentationEscapeId) return;
        if (code == EventClose) return;
    }
}

void PresentationRun() {
    int32_t screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int32_t screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // Without a window no event could ever end the wait: the run ends here.
    if (!WindowOpen(0, 0, 0, screenWidth, screenHeight, WS_POPUP, "")) return;
    // While the presentation shows, the display stays on and the window refuses to
    // let the screen saver start; neither outlives the process or changes a setting.
    SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED);
    WindowKeepScreen(0);
    const char* url = PageUrl();
    // A folder the ANSI code page can't spell, or one holding characters a URL gives
    // meaning to, is named by a URL in wide characters.
    const wchar_t* wideUrl = PageUrlWide();
    int32_t rect[4];
    PresentationBrowserRect(screenWidth, screenHeight, rect);
    if (GadgetListCreate(WindowHandle())) {
        intptr_t host =
            BrowserGadgetCreate(1, rect[0], rect[1], rect[2], rect[3], wideUrl ? "" : url);
        if (host && wideUrl) BrowserNavigateWide((HWND)host, wideUrl);
    }
    ShortcutAdd(0, VK_ESCAPE, PresentationEscapeId);
    PresentationWait();
    SetThreadExecutionState(ES_CONTINUOUS);
}
