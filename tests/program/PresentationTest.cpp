#include "../PageData.h"
#include "PresentationRunner.h"
#include <gtest/gtest.h>

namespace {

// Fragments whose page is plain, and settings with the given adjustments.
std::map<std::string, std::string> DataFiles(const std::vector<std::string>& adjustments) {
    auto files = SampleDataFiles();
    std::vector<std::string> values = {"demo", "", "Hi!", "", "", ""};
    values.insert(values.end(), adjustments.begin(), adjustments.end());
    files["1013.dat"] = SettingsBytes(values);
    return files;
}

RECT RectIn(HWND window, HWND parent) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, parent, (POINT*)&rect, 2);
    return rect;
}

class Presentation : public testing::Test {
  protected:
    void Start(const std::vector<std::string>& adjustments = {"0", "0", "0", "0"}) {
        ASSERT_TRUE(WriteDataFiles(folder_.Path(), DataFiles(adjustments)));
        run_.reset(new PresentationProcess(ProgramExe(), folder_.Path()));
        ASSERT_TRUE(run_->Started());
        ASSERT_TRUE(run_->Window()) << "no presentation window came up";
    }
    // Whether the program ended with exit code 0 within a few seconds.
    testing::AssertionResult EndedWithZero() {
        DWORD code = 99;
        if (!run_->Ended(WaitLimitMs, &code)) return testing::AssertionFailure() << "still running";
        if (code != 0) return testing::AssertionFailure() << "exit code " << code;
        return testing::AssertionSuccess();
    }
    TempFolder folder_;
    std::unique_ptr<PresentationProcess> run_;
};

} // namespace

TEST_F(Presentation, CoversTheScreenWithTheBrowserOverhanging) {
    const int32_t width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        std::vector<std::string> adjustments; // x, y, width, height
        RECT browser;                         // left, top, right, bottom in the window
    } cases[] = {
        {{"0", "0", "0", "0"}, {-10, -15, -10 + width + 27, -15 + height + 32}},
        {{"5", "-7", "-40", "+12"}, {-5, -22, -5 + width - 40 + 27, -22 + height + 12 + 32}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.adjustments[0] + " " + c.adjustments[1]);
        Start(c.adjustments);
        HWND window = run_->Window();
        RECT outer = {};
        GetWindowRect(window, &outer);
        EXPECT_EQ(0, outer.left);
        EXPECT_EQ(0, outer.top);
        EXPECT_EQ(width, outer.right);
        EXPECT_EQ(height, outer.bottom);
        LONG style = GetWindowLongA(window, GWL_STYLE);
        EXPECT_TRUE(style & WS_POPUP);
        EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
        EXPECT_EQ(nullptr, GetParent(window));
        char title[16] = "x";
        GetWindowTextA(window, title, sizeof title);
        EXPECT_STREQ("", title);

        HWND browser = run_->Browser();
        ASSERT_TRUE(browser);
        EXPECT_TRUE(IsWindowVisible(browser));
        EXPECT_EQ(1, GetWindowLongPtrA(browser, GWLP_ID));
        RECT place = RectIn(browser, window);
        EXPECT_EQ(c.browser.left, place.left);
        EXPECT_EQ(c.browser.top, place.top);
        EXPECT_EQ(c.browser.right, place.right);
        EXPECT_EQ(c.browser.bottom, place.bottom);

        ASSERT_TRUE(run_->Foreground());
        PressKeys(VK_ESCAPE);
        EXPECT_TRUE(EndedWithZero());
        run_.reset();
    }
}

TEST_F(Presentation, EscapeEndsItWithTheFocusInTheBrowser) {
    Start();
    ASSERT_TRUE(run_->Foreground());
    const int32_t width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    ClickAt(width / 2, height / 2);
    HWND focus = nullptr;
    WaitUntil([&] { return (focus = run_->Focus()) != nullptr; }, 2000);
    HWND browser = run_->Browser();
    // Without its HTML engine, Wine's browser control takes no focus from a
    // click: the focus is then put into the browser's innermost window directly.
    if (focus != browser && !IsChild(browser, focus)) {
        HWND inner = browser;
        while (HWND child = GetWindow(inner, GW_CHILD)) inner = child;
        run_->FocusInto(inner);
        WaitUntil([&] { return run_->Focus() == inner; });
        focus = run_->Focus();
    }
    EXPECT_TRUE(focus == browser || IsChild(browser, focus))
        << "the click left the focus in " << focus;
    ASSERT_TRUE(run_->Foreground());
    PressKeys(VK_ESCAPE);
    EXPECT_TRUE(EndedWithZero());
}

TEST_F(Presentation, AltF4EndsIt) {
    Start();
    ASSERT_TRUE(run_->Foreground());
    PressKeys(VK_F4, true);
    EXPECT_TRUE(EndedWithZero());
}

TEST_F(Presentation, OtherMenuIdsLeaveItWaiting) {
    Start();
    for (WORD id : {41, 39, 0, 1212 + 100})
        PostMessageA(run_->Window(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    DWORD code = 0;
    EXPECT_FALSE(run_->Ended(1000, &code)) << "ended with " << code;
    PostMessageA(run_->Window(), WM_COMMAND, MAKEWPARAM(40, 0), 0);
    EXPECT_TRUE(EndedWithZero());
}

TEST_F(Presentation, PageFileGoesUnderTheCurrentFolder) {
    // The program in a folder of its own, started from the data's folder.
    TempFolder programFolder;
    std::string exe = programFolder.File("lumivane.exe");
    ASSERT_TRUE(CopyFileA(ProgramExe().c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(WriteDataFiles(folder_.Path(), DataFiles({"0", "0", "0", "0"})));
    run_.reset(new PresentationProcess(exe, folder_.Path()));
    ASSERT_TRUE(run_->Window());
    EXPECT_TRUE(FileExists(folder_.File("data\\1014.dat")));
    EXPECT_FALSE(FileExists(programFolder.File("data")));
    ASSERT_TRUE(run_->Foreground());
    PressKeys(VK_ESCAPE);
    EXPECT_TRUE(EndedWithZero());
}

// A second copy writes the same page file again and shows itself over the
// first: Escape ends the copy in front, then the one behind.
TEST_F(Presentation, SecondCopyShowsOverTheFirst) {
    Start();
    std::string page;
    ASSERT_TRUE(ReadWholeFile(folder_.File("data\\1014.dat"), &page));
    ASSERT_TRUE(WriteWholeFile(folder_.File("data\\1014.dat"), "changed"));
    PresentationProcess second(ProgramExe(), folder_.Path());
    ASSERT_TRUE(second.Window()) << "the second copy showed nothing";
    EXPECT_NE(run_->Window(), second.Window());
    std::string again;
    EXPECT_TRUE(ReadWholeFile(folder_.File("data\\1014.dat"), &again));
    EXPECT_EQ(page, again);
    ASSERT_TRUE(second.Foreground());
    PressKeys(VK_ESCAPE);
    DWORD code = 99;
    EXPECT_TRUE(second.Ended(10000, &code));
    EXPECT_EQ(0u, code);
    EXPECT_FALSE(run_->Ended(0, &code)) << "the first copy ended with the second";
    ASSERT_TRUE(run_->Foreground());
    PressKeys(VK_ESCAPE);
    EXPECT_TRUE(EndedWithZero());
}
