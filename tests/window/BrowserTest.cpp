#include "../LibraryQueries.h"
#include "EventPump.h"
#include "FakeBrowser.h"
#include "base/Heap.h"
#include "gadgets/Browser.h"
#include "gadgets/Gadget.h"
#include <ole2.h>
#include <exdisp.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <string.h>
#include <string>

namespace {

const char kParentClass[] = "LumivaneTestBrowserParent";

std::wstring Wide(const std::string& text, UINT codePage) {
    std::wstring wide(text.size(), L'\0');
    int length =
        MultiByteToWideChar(codePage, 0, text.data(), (int)text.size(), &wide[0], (int)wide.size());
    wide.resize(length > 0 ? length : 0);
    return wide;
}

IWebBrowser2* BrowserOf(HWND host) {
    return (IWebBrowser2*)GetWindowLongPtrA(host, GWLP_USERDATA);
}

std::string LocationOf(HWND host) {
    IWebBrowser2* browser = BrowserOf(host);
    BSTR location = nullptr;
    if (!browser || FAILED(browser->get_LocationURL(&location)) || !location) return "";
    char bytes[4096] = "";
    WideCharToMultiByte(CP_ACP, 0, location, -1, bytes, sizeof bytes, nullptr, nullptr);
    SysFreeString(location);
    return bytes;
}

// Class names of the windows created while a CBT hook is in place, with whether
// a watched window still existed at that moment.
HWND gWatched;
std::vector<std::pair<std::string, bool>> gCreations;

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        CBT_CREATEWNDA* create = (CBT_CREATEWNDA*)lParam;
        const char* name = create->lpcs->lpszClass;
        std::string className = IS_INTRESOURCE(name) ? "#atom" : name;
        gCreations.push_back({className, IsWindow(gWatched) != 0});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Counts the library's own properties still on a host window once its last
// message has been handled.
HWND gEnding;
int gOursLeft;
BOOL CALLBACK CountOurs(HWND, LPSTR name, HANDLE, ULONG_PTR) {
    if (!IS_INTRESOURCE(name) && strncmp(name, "Lumivane", 8) == 0) gOursLeft++;
    return TRUE;
}
LRESULT CALLBACK AfterLastMessage(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* sent = (const CWPRETSTRUCT*)lParam;
    if (code == HC_ACTION && sent->message == WM_NCDESTROY && sent->hwnd == gEnding)
        EnumPropsExA(sent->hwnd, CountOurs, 0);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Put in front of the gadget registry's procedure, as other code may.
WNDPROC gBehindFront;
LRESULT CALLBACK FrontProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(gBehindFront, window, message, wParam, lParam);
}

// Makes a browser gadget under `gMakeDuringCreate` when the next window is created.
intptr_t gMakeDuringCreate;
intptr_t gMadeMeanwhile;
LRESULT CALLBACK MakeDuringCreate(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && gMakeDuringCreate) {
        intptr_t number = gMakeDuringCreate;
        gMakeDuringCreate = 0; // once: the inner creation comes through here too
        gMadeMeanwhile = BrowserGadgetCreate(number, 0, 0, 10, 10, "");
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class Browser : public testing::Test {
  protected:
    void SetUp() override {
        static bool registered;
        if (!registered) {
            WNDCLASSA parentClass = {};
            parentClass.lpfnWndProc = DefWindowProcA;
            parentClass.hInstance = InstanceHandle();
            parentClass.lpszClassName = kParentClass;
            RegisterClassA(&parentClass);
            registered = true;
        }
        parent_ = CreateWindowExA(0, kParentClass, "browsers", WS_POPUP | WS_VISIBLE, 0, 0, 400,
                                  300, nullptr, nullptr, InstanceHandle(), nullptr);
        ASSERT_TRUE(parent_);
        GadgetListCreate(parent_);
    }
    void TearDown() override {
        BrowserLibraryName("ATL.DLL");
        DestroyWindow(parent_);
        GadgetListCreate(nullptr);
    }
    HWND parent_ = nullptr;
    std::string url_ = "file:\\\\" + ModuleFolderOfTests() + "data/1014.dat";

    static std::string ModuleFolderOfTests() {
        char path[MAX_PATH];
        DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string folder(path, length);
        return folder.substr(0, folder.rfind('\\') + 1);
    }
};

} // namespace

TEST_F(Browser, LibraryIsLoadedOnceOverSeveralCreations) {
    BrowserHostForget();
    int loads = BrowserLoadCount();
    intptr_t first = BrowserGadgetCreate(1, 0, 0, 100, 100, url_.c_str());
    intptr_t second = BrowserGadgetCreate(2, 100, 0, 100, 100, url_.c_str());
    intptr_t any = BrowserGadgetCreate(GadgetAny, 0, 100, 100, 100, url_.c_str());
    ASSERT_NE(0, first);
    ASSERT_NE(0, second);
    ASSERT_NE(0, any);
    EXPECT_EQ(1, BrowserLoadCount() - loads);
    EXPECT_TRUE(GetModuleHandleA("atl.dll"));

    // Each host window is a child of the parent at its place, with its number as
    // identifier and the control's browser interface in its user data.
    struct Case {
        HWND host;
        intptr_t id;
        RECT place;
    } cases[] = {
        {(HWND)first, 1, {0, 0, 100, 100}},
        {(HWND)second, 2, {100, 0, 200, 100}},
        {GadgetLookup(any) ? GadgetLookup(any)->window : nullptr, any, {0, 100, 100, 200}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        ASSERT_TRUE(IsWindow(c.host));
        char className[32] = "";
        GetClassNameA(c.host, className, sizeof className);
        EXPECT_STREQ("AtlAxWin", className);
        EXPECT_EQ(parent_, GetParent(c.host));
        EXPECT_EQ(c.id, GetWindowLongPtrA(c.host, GWLP_ID));
        EXPECT_EQ((LONG_PTR)(WS_CHILD | WS_VISIBLE),
                  GetWindowLongPtrA(c.host, GWL_STYLE) & (WS_CHILD | WS_VISIBLE | WS_POPUP));
        RECT place;
        GetWindowRect(c.host, &place);
        MapWindowPoints(nullptr, parent_, (POINT*)&place, 2);
        EXPECT_EQ(c.place.left, place.left);
        EXPECT_EQ(c.place.top, place.top);
        EXPECT_EQ(c.place.right, place.right);
        EXPECT_EQ(c.place.bottom, place.bottom);
        EXPECT_TRUE(BrowserOf(c.host));
        EXPECT_NE(std::string::npos, LocationOf(c.host).find("1014.dat")) << LocationOf(c.host);
    }
}

TEST_F(Browser, WithoutTheLibraryNothingChanges) {
    intptr_t living = BrowserGadgetCreate(1, 0, 0, 100, 100, "");
    ASSERT_NE(0, living);
    int loads = BrowserLoadCount();
    BrowserHostForget();
    BrowserLibraryName("lumivane-no-such-atl.dll");
    for (int attempt = 0; attempt < 3; attempt++) {
        EXPECT_EQ(0, BrowserGadgetCreate(1, 0, 0, 50, 50, url_.c_str()));
        EXPECT_EQ(0, BrowserGadgetCreate(GadgetAny, 0, 0, 50, 50, url_.c_str()));
    }
    // A library without the two entry points counts as missing too.
    BrowserLibraryName("kernel32.dll");
    EXPECT_EQ(0, BrowserGadgetCreate(1, 0, 0, 50, 50, url_.c_str()));
    EXPECT_EQ(loads, BrowserLoadCount());
    EXPECT_TRUE(IsWindow((HWND)living));
    ASSERT_TRUE(GadgetLookup(1));
    EXPECT_EQ((HWND)living, GadgetLookup(1)->window);
    // Once the library is there again, the next creation loads it.
    BrowserLibraryName("ATL.DLL");
    EXPECT_NE(0, BrowserGadgetCreate(2, 0, 0, 50, 50, ""));
    EXPECT_EQ(loads + 1, BrowserLoadCount());
}

TEST_F(Browser, EmptyUrlMakesAGadgetThatGoesNowhere) {
    HWND host = (HWND)BrowserGadgetCreate(1, 0, 0, 100, 100, "");
    ASSERT_TRUE(IsWindow(host));
    ASSERT_TRUE(BrowserOf(host));
    EXPECT_EQ("", LocationOf(host));
    BrowserNavigate(host, url_.c_str());
    EXPECT_NE("", LocationOf(host));
}

TEST_F(Browser, SecondCreationDestroysTheFirstHostFirst) {
    HWND first = (HWND)BrowserGadgetCreate(1, 0, 0, 100, 100, "");
    ASSERT_TRUE(IsWindow(first));
    gWatched = first;
    gCreations.clear();
    HHOOK hook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    HWND second = (HWND)BrowserGadgetCreate(1, 0, 0, 100, 100, "");
    UnhookWindowsHookEx(hook);
    ASSERT_TRUE(IsWindow(second));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(second, GadgetLookup(1)->window);
    int hosts = 0;
    for (const auto& creation : gCreations) {
        if (creation.first != "AtlAxWin") continue;
        hosts++;
        EXPECT_FALSE(creation.second) << "the first host still existed";
    }
    EXPECT_EQ(1, hosts);
}

// The control's host puts its own procedure back while its window is destroyed:
// the entry empties all the same, under a table number and under the any number,
// and the interface goes, also when another procedure came in front of the
// registry's. The library's property goes with the window.
TEST_F(Browser, InterfaceAndEntryGoWithTheHostWindow) {
    enum How { Freed, ParentDestroyed, FreedBehindAnother };
    const char* hows[] = {"gadget freed", "parent destroyed", "freed behind another procedure"};
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterLastMessage, nullptr,
                                   GetCurrentThreadId());
    for (int round = 0; round < 6; round++) {
        How how = (How)(round % 3);
        intptr_t number = round >= 3 ? GadgetAny : 1;
        SCOPED_TRACE(std::string(hows[how]) + (round >= 3 ? ", any number" : ", number 1"));
        intptr_t made = BrowserGadgetCreate(number, 0, 0, 100, 100, url_.c_str());
        if (number == GadgetAny) number = made;
        ASSERT_TRUE(GadgetLookup(number));
        HWND host = GadgetLookup(number)->window;
        ASSERT_TRUE(IsWindow(host));
        IWebBrowser2* browser = BrowserOf(host);
        ASSERT_TRUE(browser);
        browser->AddRef();
        gEnding = host;
        gOursLeft = 0;
        if (how == FreedBehindAnother)
            gBehindFront = (WNDPROC)SetWindowLongPtrA(host, GWLP_WNDPROC, (LONG_PTR)FrontProc);
        if (how != ParentDestroyed) {
            GadgetFree(number);
        } else {
            DestroyWindow(parent_);
            parent_ = CreateWindowExA(0, kParentClass, "browsers", WS_POPUP, 0, 0, 400, 300,
                                      nullptr, nullptr, InstanceHandle(), nullptr);
            GadgetListCreate(parent_);
        }
        EXPECT_FALSE(IsWindow(host));
        EXPECT_FALSE(GadgetLookup(number));
        // With the window gone, the tests' own reference is the last one.
        EXPECT_EQ(0u, browser->Release());
        if (how != FreedBehindAnother) {
            EXPECT_EQ(0, gOursLeft);
        }
    }
    UnhookWindowsHookEx(hook);
}

// A gadget made while the host window is created: under 100000 it grows the
// table, which moves away from under the browser's entry; under 1 it takes that
// entry. The browser's entry holds the host afterwards; the gadget made
// meanwhile is kept or destroyed.
TEST_F(Browser, GadgetMadeWhileTheHostIsCreated) {
    HHOOK hook = SetWindowsHookExA(WH_CBT, MakeDuringCreate, nullptr, GetCurrentThreadId());
    for (intptr_t inner : {(intptr_t)100000, (intptr_t)1}) {
        SCOPED_TRACE(inner);
        gMakeDuringCreate = inner;
        gMadeMeanwhile = 0;
        HWND host = (HWND)BrowserGadgetCreate(1, 0, 0, 100, 100, "");
        ASSERT_TRUE(IsWindow(host));
        ASSERT_NE(0, gMadeMeanwhile);
        ASSERT_TRUE(GadgetLookup(1));
        EXPECT_EQ(host, GadgetLookup(1)->window);
        if (inner == 1) {
            EXPECT_FALSE(IsWindow((HWND)gMadeMeanwhile));
        } else {
            ASSERT_TRUE(GadgetLookup(inner));
            EXPECT_EQ((HWND)gMadeMeanwhile, GadgetLookup(inner)->window);
        }
        GadgetFree(1);
        GadgetFree(inner);
    }
    UnhookWindowsHookEx(hook);
}

TEST_F(Browser, UrlReachesNavigateUnchanged) {
    HWND host = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, parent_, nullptr,
                                InstanceHandle(), nullptr);
    ASSERT_TRUE(host);
    SetWindowLongPtrA(host, GWLP_USERDATA, (LONG_PTR)FakeBrowserObject());
    std::string longFolder = "file:\\\\Z:\\";
    while (longFolder.size() < 6000) longFolder += "a long folder name\\";
    struct Case {
        std::string url;
        int navigations;
    } cases[] = {
        {"file:\\\\Z:\\work\\my presentation\\data/1014.dat", 1},
        {"file:\\\\C:\\a%20b\\c#d/?e=f\\data/1014.dat", 1},
        {longFolder + "data/1014.dat", 1},
        // A byte above 127 is read in the ANSI code page.
        {"file:\\\\Z:\\pr\xe4sentation\\data/1014.dat", 1},
        {"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url.substr(0, 60));
        FakeBrowserReset();
        BrowserNavigate(host, c.url.c_str());
        FakeBrowserCalls* calls = FakeBrowserRecord();
        ASSERT_EQ(c.navigations, calls->navigations);
        if (!c.navigations) continue;
        EXPECT_EQ(VT_BSTR, calls->type);
        EXPECT_TRUE(calls->otherArgumentsNull);
        EXPECT_EQ(Wide(c.url, CP_ACP), std::wstring(calls->url, std::min(calls->urlLength, 8191u)));
        EXPECT_EQ(Wide(c.url, CP_ACP).size(), calls->urlLength);
    }
    // A URL in wide characters reaches it as given.
    const std::wstring wide = L"file:\\\\Z:\\\u767a\u8868-\u0444\u0430\u0439\u043b\\data/1014.dat";
    FakeBrowserReset();
    BrowserNavigateWide(host, wide.c_str());
    EXPECT_EQ(1, FakeBrowserRecord()->navigations);
    EXPECT_EQ(wide, std::wstring(FakeBrowserRecord()->url, FakeBrowserRecord()->urlLength));
    // A host window without a browser interface does nothing.
    SetWindowLongPtrA(host, GWLP_USERDATA, 0);
    FakeBrowserReset();
    BrowserNavigate(host, "file:\\\\x");
    EXPECT_EQ(0, FakeBrowserRecord()->navigations);
    DestroyWindow(host);
}
