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

std::wstring Normalised(std::wstring path) {
    for (wchar_t& c : path) c = c == L'\\' ? L'/' : c;
    if (!path.empty()) CharLowerBuffW(&path[0], (DWORD)path.size());
    return path;
}

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(
        MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), &wide[0], (int)wide.size()));
    return wide;
}

std::wstring ModulePath() {
    wchar_t path[MAX_PATH * 2];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    return std::wstring(path, length < MAX_PATH * 2 ? length : 0);
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

// Run from the build folder, and again from folders of other names by the test below.
TEST(PresentationLoop, ShowsTheProgramFolderKeepsTheDisplayOnAndEndsOnlyAtId40) {
    TempFolder folder;
    CurrentFolder here(folder.Path());
    ASSERT_TRUE(WriteDataFiles(folder.Path(), SampleDataFiles()));
    ASSERT_NE(0, SettingsRead());
    ASSERT_NE(0, PageBuild());
    ASSERT_NE(0, PageSave());

    std::wstring location;
    bool waitedPast41 = false;
    EXECUTION_STATE during = 0;
    bool screenKept = false;
    RunDuringWait([&] {
        GadgetEntry* gadget = GadgetLookup(1);
        IWebBrowser2* browser =
            gadget ? (IWebBrowser2*)GetWindowLongPtrA(gadget->window, GWLP_USERDATA) : nullptr;
        BSTR url = nullptr;
        if (browser && SUCCEEDED(browser->get_LocationURL(&url)) && url) {
            location = url;
            SysFreeString(url);
        }
        // The state given back is the one the presentation set.
        during = SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED);
        screenKept = !SystemCommandPassed(WindowHandle(), SC_SCREENSAVE, 0) &&
                     !SystemCommandPassed(WindowHandle(), SC_MONITORPOWER, 2);
        PostMessageA(WindowHandle(), WM_COMMAND, MAKEWPARAM(41, 0), 0);
        RunDuringWait([&] {
            waitedPast41 = true;
            PostMessageA(WindowHandle(), WM_COMMAND, MAKEWPARAM(40, 0), 0);
        });
    });
    SetThreadExecutionState(ES_CONTINUOUS);
    {
        Watchdog watchdog;
        PresentationRun();
    }
    EXECUTION_STATE after = SetThreadExecutionState(ES_CONTINUOUS);
    WindowCloseAll();
    EXPECT_TRUE(waitedPast41);
    EXPECT_EQ((EXECUTION_STATE)(ES_CONTINUOUS | ES_DISPLAY_REQUIRED), during);
    EXPECT_TRUE(screenKept) << "the screen saver could start over the presentation";
    EXPECT_EQ((EXECUTION_STATE)ES_CONTINUOUS, after);
    std::wstring module = ModulePath();
    std::wstring page = module.substr(0, module.rfind(L'\\') + 1) + L"data/1014.dat";
    EXPECT_NE(std::string::npos, Normalised(location).find(Normalised(page).substr(2)))
        << testing::PrintToString(location);
    EXPECT_EQ(std::string::npos,
              Normalised(location).find(Normalised(Wide(folder.Path())).substr(2)));
}

// The test above, run by a copy of this program in a folder whose name the
// ANSI code page can't spell, and in one with a byte above 127 that it can.
TEST(PresentationLoop, ShowsTheProgramFolderWhateverItsName) {
    const wchar_t* names[] = {L"\u767a\u8868-\u0444\u0430\u0439\u043b", L"pr\u00e4sentation"};
    const std::wstring self = ModulePath();
    ASSERT_FALSE(self.empty());
    TempFolder folder;
    for (const wchar_t* name : names) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
        std::wstring where = Wide(folder.Path()) + L"\\" + name;
        std::wstring copy = where + L"\\tests.exe";
        ASSERT_TRUE(CreateDirectoryW(where.c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(self.c_str(), copy.c_str(), FALSE));
        std::string report = folder.File("report.xml");
        std::wstring command = L"\"" + copy + L"\" --gtest_filter=PresentationLoop." +
                               L"ShowsTheProgramFolderKeepsTheDisplayOnAndEndsOnlyAtId40" +
                               L" --gtest_output=xml:" + Wide(report);
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process;
        ASSERT_TRUE(CreateProcessW(copy.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   where.c_str(), &startup, &process));
        CloseHandle(process.hThread);
        if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the copy did not end";
            TerminateProcess(process.hProcess, 99);
            WaitForSingleObject(process.hProcess, 5000);
        }
        DWORD code = 99;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        EXPECT_EQ(0u, code);
        // The one test ran there, and passed.
        std::string xml;
        EXPECT_TRUE(ReadWholeFile(report, &xml));
        EXPECT_NE(std::string::npos,
                  xml.find("tests=\"1\" failures=\"0\" disabled=\"0\" errors=\"0\""))
            << xml.substr(0, 400);
        DeleteFileA(report.c_str());
        DeleteFileW(copy.c_str());
        RemoveDirectoryW(where.c_str());
    }
}
