#include "../LibraryQueries.h"
#include "base/Heap.h"
#include "gadgets/Gadget.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kGadgetClass[] = "LumivaneTestGadget";
const char kParentClass[] = "LumivaneTestGadgetParent";
const UINT kPing = WM_APP + 7;
const GadgetKind kTestKind = {};

// What the gadgets' own procedure saw: "create N" before a creation,
// "ncdestroy N live|empty" at each WM_NCDESTROY with the state of N's entry then.
std::vector<std::string> gLog;

LRESULT CALLBACK TestGadgetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPing) return 42;
    if (message == WM_NCDESTROY) {
        intptr_t number = GetWindowLongPtrA(window, GWLP_ID);
        gLog.push_back("ncdestroy " + std::to_string((long long)number) +
                       (GadgetLookup(number) ? " live" : " empty"));
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A control that puts its own procedure back in front while its window is
// destroyed, as the browser's ATL host does at WM_DESTROY.
const char kResettingClass[] = "LumivaneTestGadgetResetting";

LRESULT CALLBACK ResettingGadgetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY)
        SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)ResettingGadgetProc);
    return TestGadgetProc(window, message, wParam, lParam);
}

// Put in front of the registry's procedure after it, as other code may.
WNDPROC gBehindFront;
int gFrontNcDestroys;
LRESULT CALLBACK FrontProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) gFrontNcDestroys++;
    return CallWindowProcA(gBehindFront, window, message, wParam, lParam);
}

void RegisterClasses() {
    static bool done;
    if (done) return;
    done = true;
    WNDCLASSA gadgetClass = {};
    gadgetClass.lpfnWndProc = TestGadgetProc;
    gadgetClass.hInstance = InstanceHandle();
    gadgetClass.lpszClassName = kGadgetClass;
    RegisterClassA(&gadgetClass);
    WNDCLASSA resettingClass = gadgetClass;
    resettingClass.lpfnWndProc = ResettingGadgetProc;
    resettingClass.lpszClassName = kResettingClass;
    RegisterClassA(&resettingClass);
    WNDCLASSA parentClass = gadgetClass;
    parentClass.lpfnWndProc = DefWindowProcA;
    parentClass.lpszClassName = kParentClass;
    RegisterClassA(&parentClass);
}

// A gadget of the tests' own kind, made in the registry's creation order.
// Returns its number, or its identifier for the any number; 0 on failure.
intptr_t TestGadgetCreate(intptr_t number, const char* className = kGadgetClass) {
    GadgetEntry* entry = GadgetSlotClaim(number);
    if (!entry) return 0;
    intptr_t id = number == GadgetAny ? (intptr_t)entry : number;
    gLog.push_back("create " + std::to_string((long long)number));
    HWND window = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20,
                                  GadgetParent(), (HMENU)id, InstanceHandle(), nullptr);
    if (!window) {
        GadgetSlotRelease(id);
        return 0;
    }
    entry->window = window;
    entry->kind = &kTestKind;
    GadgetSubclass(entry);
    return id;
}

class GadgetRegistry : public testing::Test {
  protected:
    void SetUp() override {
        RegisterClasses();
        gLog.clear();
        parent_ = CreateWindowExA(0, kParentClass, "parent", WS_POPUP, 0, 0, 200, 200, nullptr,
                                  nullptr, InstanceHandle(), nullptr);
        ASSERT_TRUE(parent_);
        ASSERT_EQ(parent_, GadgetListCreate(parent_));
    }
    void TearDown() override {
        if (IsWindow(parent_)) DestroyWindow(parent_);
        GadgetListCreate(nullptr);
    }
    HWND Window(intptr_t number) {
        GadgetEntry* entry = GadgetLookup(number);
        return entry ? entry->window : nullptr;
    }
    HWND parent_ = nullptr;
};

} // namespace

TEST_F(GadgetRegistry, GrowsInStepsOfThirtyAndKeepsEntries) {
    struct Case {
        intptr_t number;
        int32_t count;
    } cases[] = {{0, 30}, {29, 30}, {30, 60}, {45, 75}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        // Each case starts from a registry as it is right after start-up.
        ASSERT_NE(0, GadgetLibraryInit());
        GadgetListCreate(parent_);
        ASSERT_EQ(30, GadgetCount());
        ASSERT_EQ(5, TestGadgetCreate(5));
        GadgetEntry before = *GadgetLookup(5);
        ASSERT_EQ(c.number, TestGadgetCreate(c.number));
        EXPECT_EQ(c.count, GadgetCount());
        // A lookup of the count itself reads within the table.
        EXPECT_GE(GadgetTableBytes(), (GadgetCount() + 1) * sizeof(GadgetEntry));
        const GadgetEntry* after = GadgetLookup(5);
        ASSERT_TRUE(after);
        EXPECT_EQ(before.window, after->window);
        EXPECT_EQ(before.kind, after->kind);
        EXPECT_EQ(before.previousProc, after->previousProc);
        EXPECT_EQ((WNDPROC)TestGadgetProc, after->previousProc);
        // The gadget still answers through the registry's procedure.
        EXPECT_EQ(42, SendMessageA(after->window, kPing, 0, 0));
        GadgetFree(5);
        GadgetFree(c.number);
    }
}

TEST_F(GadgetRegistry, LookupsFindOnlyLivingGadgets) {
    const int32_t records = GadgetAnyCount();
    ASSERT_EQ(3, TestGadgetCreate(3));
    intptr_t any = TestGadgetCreate(GadgetAny);
    ASSERT_NE(0, any);
    EXPECT_TRUE(Window(3));
    EXPECT_TRUE(Window(any));
    EXPECT_EQ(any, GetWindowLongPtrA(Window(any), GWLP_ID));
    HWND three = Window(3);
    GadgetFree(3);
    GadgetFree(any);
    EXPECT_FALSE(IsWindow(three));
    EXPECT_EQ(records, GadgetAnyCount()) << "a freed any-numbered gadget kept its record";
    struct Case {
        const char* what;
        intptr_t number;
    } cases[] = {{"never used", 7},
                 {"destroyed", 3},
                 {"destroyed any-numbered", any},
                 {"equal to the count", GadgetCount()},
                 {"one past the count", GadgetCount() + 1},
                 {"negative", -5}};
    for (const Case& c : cases) EXPECT_EQ(nullptr, GadgetLookup(c.number)) << c.what;
    EXPECT_EQ(2, (int)std::count(gLog.begin(), gLog.end(), std::string("ncdestroy 3 empty")) +
                     (int)std::count(gLog.begin(), gLog.end(),
                                     "ncdestroy " + std::to_string((long long)any) + " empty"));
}

TEST_F(GadgetRegistry, SecondCreationDestroysTheFirstBeforeMakingItsOwn) {
    ASSERT_EQ(1, TestGadgetCreate(1));
    HWND first = Window(1);
    ASSERT_EQ(1, TestGadgetCreate(1));
    HWND second = Window(1);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindow(second));
    EXPECT_EQ((std::vector<std::string>{"create 1", "ncdestroy 1 empty", "create 1"}), gLog);

    // A creation that fails still takes the old gadget away, and leaves nothing.
    gLog.clear();
    EXPECT_EQ(0, TestGadgetCreate(1, "LumivaneNoSuchClass"));
    EXPECT_FALSE(IsWindow(second));
    EXPECT_EQ(nullptr, GadgetLookup(1));
    EXPECT_EQ((std::vector<std::string>{"ncdestroy 1 empty", "create 1"}), gLog);
}

TEST_F(GadgetRegistry, DestroyingTheParentEmptiesEveryEntry) {
    ASSERT_EQ(2, TestGadgetCreate(2));
    ASSERT_EQ(31, TestGadgetCreate(31));
    intptr_t any = TestGadgetCreate(GadgetAny);
    ASSERT_NE(0, any);
    ASSERT_EQ(5, TestGadgetCreate(5, kResettingClass));
    intptr_t anyResetting = TestGadgetCreate(GadgetAny, kResettingClass);
    ASSERT_NE(0, anyResetting);
    gLog.clear();
    DestroyWindow(parent_);
    // Each entry was empty when its window's WM_NCDESTROY reached the gadget's own procedure.
    std::vector<std::string> log = gLog;
    std::sort(log.begin(), log.end());
    std::vector<std::string> expected = {
        "ncdestroy 2 empty", "ncdestroy 31 empty", "ncdestroy 5 empty",
        "ncdestroy " + std::to_string((long long)any) + " empty",
        "ncdestroy " + std::to_string((long long)anyResetting) + " empty"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, log);
    for (intptr_t number : {(intptr_t)2, (intptr_t)31, (intptr_t)5, any, anyResetting})
        EXPECT_EQ(nullptr, GadgetLookup(number));
}

TEST_F(GadgetRegistry, ParentIsReplacedAndZeroFails) {
    EXPECT_EQ(parent_, GadgetParent());
    ASSERT_EQ(4, TestGadgetCreate(4));
    EXPECT_EQ(parent_, GetParent(Window(4)));
    EXPECT_EQ(nullptr, GadgetListCreate(nullptr));
    EXPECT_EQ(nullptr, GadgetParent());
    // Gadgets made earlier keep their parent.
    EXPECT_EQ(parent_, GetParent(Window(4)));
}

// Another procedure came in front of the registry's: however the window goes,
// each procedure sees its end once, and the entry is empty by then.
TEST_F(GadgetRegistry, AProcedureInFrontKeepsTheChain) {
    for (int round = 0; round < 4; round++) {
        bool freed = round & 1;
        SCOPED_TRACE(std::string(freed ? "GadgetFree" : "DestroyWindow") +
                     (round & 2 ? ", any number" : ", number 6"));
        intptr_t number = TestGadgetCreate(round & 2 ? GadgetAny : 6);
        ASSERT_NE(0, number);
        HWND window = Window(number);
        gBehindFront = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)FrontProc);
        gFrontNcDestroys = 0;
        gLog.clear();
        if (freed)
            GadgetFree(number);
        else
            DestroyWindow(window);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(1, gFrontNcDestroys);
        EXPECT_EQ(nullptr, GadgetLookup(number));
        EXPECT_EQ(std::vector<std::string>{"ncdestroy " + std::to_string((long long)number) + " empty"},
                  gLog);
    }
}
