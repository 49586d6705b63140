#include "gadgets/Browser.h"
#include "base/Heap.h"
#include "gadgets/Gadget.h"
#include <ole2.h>
#include <exdisp.h>

typedef BOOL(WINAPI* AtlAxWinInitProc)();
typedef HRESULT(WINAPI* AtlAxGetControlProc)(HWND host, IUnknown** control);
typedef BSTR(WINAPI* SysAllocStringLenProc)(const OLECHAR* text, UINT length);
typedef void(WINAPI* SysFreeStringProc)(BSTR text);

static const char* gLibraryName = "ATL.DLL";
static HMODULE gLibrary;
static AtlAxGetControlProc gGetControl;
// OLE Automation's BSTR calls, loaded with the browser rather than at start-up,
// which they would slow down for nothing until then.
static SysAllocStringLenProc gAllocString;
static SysFreeStringProc gFreeString;
static bool gReady;
static int gLoads; // successful loads of the library, for the tests

static const GadgetKind gBrowserKind = {nullptr, nullptr, nullptr, nullptr, BrowserNavigate};

// The host window's own procedure, kept beside it while the browser's is in front.
static const char kHostProcProperty[] = "LumivaneBrowserHost";

static bool BrowserStringsLoad() {
    if (gAllocString && gFreeString) return true;
    HMODULE automation = LoadLibraryA("OLEAUT32.DLL");
    if (!automation) return false;
    gAllocString = (SysAllocStringLenProc)(void*)GetProcAddress(automation, "SysAllocStringLen");
    gFreeString = (SysFreeStringProc)(void*)GetProcAddress(automation, "SysFreeString");
    return gAllocString && gFreeString;
}

// A failed attempt leaves nothing ready, so the next creation makes a whole new one.
static void BrowserHostLoad() {
    if (!BrowserStringsLoad()) return;
    HMODULE library = LoadLibraryA(gLibraryName);
    if (!library) return;
    AtlAxWinInitProc init = (AtlAxWinInitProc)(void*)GetProcAddress(library, "AtlAxWinInit");
    AtlAxGetControlProc getControl =
        (AtlAxGetControlProc)(void*)GetProcAddress(library, "AtlAxGetControl");
    if (!init || !getControl) {
        FreeLibrary(library);
        return;
    }
    gLoads++;
    init();
    gLibrary = library;
    gGetControl = getControl;
    gReady = true;
}

static IWebBrowser2* BrowserOf(HWND host) {
    return (IWebBrowser2*)GetWindowLongPtrA(host, GWLP_USERDATA);
}

// In front of the host's procedure for the host's whole life: the browser
// interface is released with the window that holds it. The host's own procedure
// puts itself back in front at WM_DESTROY, and WM_NCDESTROY would then never
// come here: while still in front, this one steps out then, property and all.
static LRESULT CALLBACK BrowserHostProc(HWND host, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = (WNDPROC)GetPropA(host, kHostProcProperty);
    if (message == WM_DESTROY) {
        IWebBrowser2* browser = BrowserOf(host);
        SetWindowLongPtrA(host, GWLP_USERDATA, 0);
        if (browser) browser->Release();
        if (proc && GetWindowLongPtrA(host, GWLP_WNDPROC) == (LONG_PTR)BrowserHostProc) {
            SetWindowLongPtrA(host, GWLP_WNDPROC, (LONG_PTR)proc);
            RemovePropA(host, kHostProcProperty);
        }
    }
    if (message == WM_NCDESTROY) RemovePropA(host, kHostProcProperty);
    if (!proc) return DefWindowProcA(host, message, wParam, lParam);
    return CallWindowProcA(proc, host, message, wParam, lParam);
}

static IWebBrowser2* BrowserInterface(HWND host) {
    IUnknown* control = nullptr;
    if (FAILED(gGetControl(host, &control)) || !control) return nullptr;
    IWebBrowser2* browser = nullptr;
    if (FAILED(control->QueryInterface(IID_IWebBrowser2, (void**)&browser))) browser = nullptr;
    control->Release();
    return browser;
}

intptr_t BrowserGadgetCreate(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height,
                             const char* url) {
    if (!gReady) BrowserHostLoad();
    if (!gReady) return 0;
    GadgetEntry* entry = GadgetSlotClaim(number);
    if (!entry) return 0;
    bool any = number == GadgetAny;
    if (any) number = (intptr_t)entry;
    HWND host =
        CreateWindowExA(0, "AtlAxWin", "Shell.Explorer.1", WS_CHILD | WS_VISIBLE, x, y, width,
                        height, GadgetParent(), (HMENU)number, InstanceHandle(), nullptr);
    if (!host) {
        // A record made for the any number goes at once; a table entry stays empty.
        GadgetSlotRelease(number);
        return 0;
    }
    SetWindowLongPtrA(host, GWLP_USERDATA, (LONG_PTR)BrowserInterface(host));
    if (SetPropA(host, kHostProcProperty, (HANDLE)GetWindowLongPtrA(host, GWLP_WNDPROC)))
        SetWindowLongPtrA(host, GWLP_WNDPROC, (LONG_PTR)BrowserHostProc);
    BrowserNavigate(host, url);
    // The creation's messages may have run other gadgets' code: the entry is found anew.
    entry = (GadgetEntry*)GadgetSlotClaim(number);
    if (!entry) {
        DestroyWindow(host);
        return 0;
    }
    entry->window = host;
    entry->kind = &gBrowserKind;
    GadgetSubclass(entry);
    return any ? number : (intptr_t)host;
}

void BrowserNavigate(HWND host, const char* url) {
    if (!BrowserOf(host) || !url || !url[0]) return;
    // Sized to the URL, however long: it is passed whole or not at all.
    int length = MultiByteToWideChar(CP_ACP, 0, url, -1, nullptr, 0);
    if (length <= 0) return;
    wchar_t* wide = (wchar_t*)HeapAlloc(HeapMain(), 0, (size_t)length * sizeof(wchar_t));
    if (!wide) return;
    MultiByteToWideChar(CP_ACP, 0, url, -1, wide, length);
    BrowserNavigateWide(host, wide);
    HeapFree(HeapMain(), 0, wide);
}

void BrowserNavigateWide(HWND host, const wchar_t* url) {
    IWebBrowser2* browser = BrowserOf(host);
    if (!browser || !url || !url[0]) return;
    if (!BrowserStringsLoad()) return;
    BSTR wide = gAllocString(url, (UINT)wcslen(url));
    if (!wide) return;
    VARIANT target = {};
    target.vt = VT_BSTR;
    target.bstrVal = wide;
    browser->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
    gFreeString(wide);
}
