#include "../PageData.h"
#include "EventPump.h"
#include "base/Heap.h"
#include "builder/Page.h"
#include "builder/Presentation.h"
#include "builder/Settings.h"
#include "gadgets/Gadget.h"
#include "windows/Window.h"
#include <ole2.h>
#include <exdisp.h>
#include <gtest/gtest.h>
#include <stdio.h>

namespace {

// Ends the test program when the presentation does not return in time: a
// hanging wait would otherwise hold the whole run.
class Watchdog {
  public:
    Watchdog() : done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = CreateThread(nullptr, 0, Watch, done_, 0, nullptr);
    }
    ~Watchdog() {
        SetEvent(done_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(done_);
    }

  private:
    static DWORD WINAPI Watch(void* done) {
        if (WaitForSingleObject((HANDLE)done, 15000) == WAIT_OBJECT_0) return 0;
        fprintf(stderr, "PresentationRun did not return\n");
        fflush(stderr);
        ExitProcess(3);
    }
    HANDLE done_;
    HANDLE thread_;
};

LRESULT CALLBACK RefuseCreation(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) return FALSE;
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string Normalised(std::string path) {
    for (char& c : path) c = c == '\\' ? '/' : (char)tolower((unsigned char)c);
    return path;
}

} // namespace

TEST(PresentationLoop, EndsAtOnceWhenItsWindowCannotOpen) {
    WindowCloseAll();
    // A class of the window's name that refuses every window: the opening fails.
    WNDCLASSA refusing = {};
    refusing.lpfnWndProc = RefuseCreation;
    refusing.hInstance = InstanceHandle();
    refusing.lpszClassName = "WindowClass_0";
    ASSERT_TRUE(RegisterClassA(&refusing));
    {
        Watchdog watchdog;
        PresentationRun();
    }
    EXPECT_EQ(nullptr, WindowLookup(0));
    UnregisterClassA("WindowClass_0", InstanceHandle());
}

TEST(PresentationLoop, UrlNamesTheProgramFolderAndOnlyId40Ends) {
    TempFolder folder;
    CurrentFolder here(folder.Path());
    ASSERT_TRUE(WriteDataFiles(folder.Path(), SampleDataFiles()));
    ASSERT_NE(0, SettingsRead());
    ASSERT_NE(0, PageBuild());
    ASSERT_NE(0, PageSave());

    std::string location;
    bool waitedPast41 = false;
    RunDuringWait([&] {
        GadgetEntry* gadget = GadgetLookup(1);
        IWebBrowser2* browser =
            gadget ? (IWebBrowser2*)GetWindowLongPtrA(gadget->window, GWLP_USERDATA) : nullptr;
        BSTR url = nullptr;
        if (browser && SUCCEEDED(browser->get_LocationURL(&url)) && url) {
            char bytes[4096] = "";
            WideCharToMultiByte(CP_ACP, 0, url, -1, bytes, sizeof bytes, nullptr, nullptr);
            location = bytes;
            SysFreeString(url);
        }
        PostMessageA(WindowHandle(), WM_COMMAND, MAKEWPARAM(41, 0), 0);
        RunDuringWait([&] {
            waitedPast41 = true;
            PostMessageA(WindowHandle(), WM_COMMAND, MAKEWPARAM(40, 0), 0);
        });
    });
    {
        Watchdog watchdog;
        PresentationRun();
    }
    WindowCloseAll();
    EXPECT_TRUE(waitedPast41);
    EXPECT_NE(std::string::npos,
              Normalised(location).find(Normalised(ModuleFolder() + "data/1014.dat").substr(2)))
        << location;
    EXPECT_EQ(std::string::npos, Normalised(location).find(Normalised(folder.Path()).substr(2)))
        << location;
}
