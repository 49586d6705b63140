#include "../PageData.h"
#include "AuthorRunner.h"
#include <gtest/gtest.h>

namespace {

const char kPage[] = "<p>{{width}} by {{height}}</p>\n<h1>{{insert}}</h1>\n<i>{{insert}}</i>\n"
                     "{{width}}\n{{height}}\n";

// Every file under `folder` with its bytes, names relative to it.
std::string FolderShown(const std::string& folder, const std::string& below = "") {
    std::string shown;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\" + below + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return shown;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            shown += below + name + "/\n" + FolderShown(folder, below + name + "\\");
            continue;
        }
        std::string bytes;
        ReadWholeFile(folder + "\\" + below + name, &bytes);
        shown += below + name + ": " + bytes + "\n";
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return shown;
}

} // namespace

// What pack refuses, it refuses whole: a clear message, and the presentation's
// folder as it was, an earlier pack in it included.
TEST(AuthorPack, RefusalsLeaveTheFolderAsItWas) {
    struct Case {
        const char* what;
        std::string page;     // the page's bytes; "" with `size` for a long file
        int64_t size;         // the page file's length when it is long
        const char* options;  // after PAGE DIR
        const char* readOnly; // a file of the earlier pack made read-only, or null
        unsigned exitCode;
        std::string says;              // what the first line on standard error holds
        const char* blocked = nullptr; // a file whose temporary file can't be made
    } cases[] = {
        {"settings can't hold it", kPage, 0, "--insert \"ROSE\"", nullptr, 2,
         "--insert:3:1: the character \"R\" (82) can't be stored"},
        {"out of order", "{{width}}{{insert}}", 0, "", nullptr, 1,
         "page.html:1:10: {{insert}} where {{height}} was expected"},
        {"one missing", "{{width}}\n{{height}}{{insert}}\n\n{{insert}}{{width}}\n", 0, "", nullptr,
         1, "page.html:4:20: the page ends where {{height}} was expected"},
        {"one too many", std::string(kPage) + "{{width}}", 0, "", nullptr, 1,
         "page.html:6:1: a seventh placeholder {{width}}"},
        {"empty", "", 0, "", nullptr, 1, "page.html:1:1: the page is empty"},
        {"a script never closed", std::string(kPage) + "<script>\n// c\nvar a = 1\n", 0, "", nullptr,
         1, "page.html:6:8: a script that is never closed and needs its line ends"},
        {"a zero byte", std::string("<p>\0</p>", 8) + kPage, 0, "", nullptr, 1,
         "page.html:1:4: a zero byte"},
        {"larger than memory", "", (int64_t)3 << 30, "", nullptr, 1,
         "page.html: can't read the file: too large to hold in memory"},
        {"4 GiB and more", "", ((int64_t)1 << 32) + 5, "", nullptr, 1,
         "page.html: can't read the file: 4 GiB or more"},
        {"a read-only fragment", kPage, 0, "--insert Hi", "1017.dat", 1, "1017.dat: read-only"},
        {"a fragment that can't be written after others were", kPage, 0, "--insert Hi", nullptr, 1,
         "1019.dat: can't write the file", "1019.dat"},
        {"a control: it packs", kPage, 0, "--insert Hi", nullptr, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A 64-bit process holds a page of 3 GiB.
        if (c.size && c.size < ((int64_t)1 << 32) && sizeof(void*) > 4) continue;
        TempFolder folder;
        // An earlier pack of another page, which a refusal must leave alone.
        ASSERT_TRUE(WriteWholeFile(folder.File("earlier.html"),
                                   "<b>{{width}}{{height}}{{insert}}{{insert}}{{width}}{{height}}"));
        AuthorOutcome earlier = AuthorRun("pack earlier.html talk --insert Hello", folder.Path());
        ASSERT_EQ(0u, earlier.exitCode) << earlier.err;
        if (c.size)
            ASSERT_TRUE(WriteSparseFile(folder.File("page.html"), "{{width}}", c.size));
        else
            ASSERT_TRUE(WriteWholeFile(folder.File("page.html"), c.page));
        std::string data = folder.File("talk\\data");
        if (c.readOnly)
            SetFileAttributesA((data + "\\" + c.readOnly).c_str(), FILE_ATTRIBUTE_READONLY);
        std::string before = FolderShown(data);
        std::string blocking;
        AuthorOutcome outcome = AuthorRun(
            std::string("pack page.html talk ") + c.options, folder.Path(), [&](DWORD id) {
                if (!c.blocked) return;
                blocking = data + "\\" + c.blocked + "." + std::to_string(id) + ".tmp";
                CreateDirectoryA(blocking.c_str(), nullptr);
            });
        if (c.blocked) {
            EXPECT_TRUE(RemoveDirectoryA(blocking.c_str()));
        }
        EXPECT_EQ(c.exitCode, outcome.exitCode) << outcome.err;
        std::string first = outcome.err.substr(0, outcome.err.find('\n'));
        EXPECT_NE(std::string::npos, first.find(c.says)) << outcome.err;
        if (c.readOnly)
            SetFileAttributesA((data + "\\" + c.readOnly).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (c.exitCode) {
            EXPECT_EQ(before, FolderShown(data));
            continue;
        }
        AuthorOutcome built = AuthorRun("build talk --screen 640x480", folder.Path());
        EXPECT_EQ("<p>640\tby\t480</p>\t<h1>Hi</h1>\t<i>Hi</i>\t640\t480", built.out);
    }
}
