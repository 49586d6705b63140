#include "../PageData.h"
#include "AuthorRunner.h"
#include "authoring/PackPage.h"
#include <gtest/gtest.h>

namespace {

const char kPage[] = "<p>{{width}} by {{height}}</p>\n<h1>{{insert}}</h1>\n<i>{{insert}}</i>\n"
                     "{{width}}\n{{height}}\n";

const char kScriptPage[] = "<p>{{width}} by {{height}}</p>\n<script>var a = \"{{insert}}\";"
                           "</script>\n<i>{{insert}}</i>\n{{width}}\n{{height}}\n";

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
        {"settings can't hold it in a script", kScriptPage, 0, "--insert \"ROSE\"", nullptr, 2,
         "page.html:2:18: {{insert}} stands in a script, where the page reads no references "
         "(\"&#69;\"), and the insert text holds \"R\", \"O\", \"E\": the settings can't hold "
         "them as characters"},
        {"--settings as before", kPage, 0, "--settings plain.txt", nullptr, 2,
         "plain.txt:3:1: the character \"R\" (82) can't be stored"},
        {"out of order", "{{width}}{{insert}}", 0, "", nullptr, 1,
         "page.html:1:10: {{insert}} where {{height}} was expected"},
        {"one missing", "{{width}}\n{{height}}{{insert}}\n\n{{insert}}{{width}}\n", 0, "", nullptr,
         1, "page.html:4:20: the page ends where {{height}} was expected"},
        {"one too many", std::string(kPage) + "{{width}}", 0, "", nullptr, 1,
         "page.html:6:1: a seventh placeholder {{width}}"},
        {"empty", "", 0, "", nullptr, 1, "page.html:1:1: the page is empty"},
        {"a script never closed", std::string(kPage) + "<script>\n// c\nvar a = 1\n", 0, "", nullptr,
         1, "page.html:6:1: a script that spans lines is never closed"},
        {"a zero byte", std::string("<p>\0</p>", 8) + kPage, 0, "", nullptr, 1,
         "page.html:1:4: a zero byte"},
        {"larger than memory", "", (int64_t)3 << 30, "", nullptr, 1,
         "page.html: can't read the file: too large to hold in memory"},
        {"4 GiB and more", "", ((int64_t)1 << 32) + 5, "", nullptr, 1,
         "page.html: can't read the file: 4 GiB or more"},
        {"a read-only fragment", kPage, 0, "--insert Hi", "1017.dat", 1, "1017.dat: read-only"},
        {"a fragment that can't be written after others were", kPage, 0, "--insert Hi", nullptr, 1,
         "1018.dat: can't write the file", "1018.dat"},
        {"a control: it packs", kPage, 0, "--insert Welcome", nullptr, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A 64-bit process holds a page of 3 GiB.
        if (c.size && c.size < ((int64_t)1 << 32) && sizeof(void*) > 4) continue;
        TempFolder folder;
        // An earlier pack of another page, which a refusal must leave alone.
        ASSERT_TRUE(WriteWholeFile(folder.File("plain.txt"), "a\nb\nROSE\n\n\n\n0\n0\n0\n0\n"));
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
        EXPECT_EQ("<p>640&#32;by&#32;480</p>&#10;<h1>Welcom&#101;</h1>&#10;<i>Welcom&#101;</i>&#10;640&#10;480&#10;",
                  built.out);
    }
}

// Each refusal says where (the page's line and column) and why, with its hint,
// whole: the base href of the last but one makes a message of some 400 bytes,
// whose hint comes last. A one-line module script packs, with a note.
TEST(AuthorPack, RefusalsSayWhereAndWhy) {
    const std::string longBase = "http://example.com/" + std::string(300, 'a') + "/";
    struct Case {
        std::string body; // the page up to the placeholders it lacks, which follow it
        const char* insert;
        const char* place; // "LINE:COLUMN", or "" for a page that packs
        int reason;
        const char* says;
    } cases[] = {
        {"<p>\n<script>\n  var a = {{width}}\n</script>", "Hi", "3:11", PackReasonScriptValue,
         "a one-line script of its own, such as <script>var pageWidth = {{width}};</script>"},
        {"<p>{{width}}{{height}}{{insert}}{{insert}}{{width}}{{height}}</p>\n<p>x</p><script>\n// c\nvar a = 1",
         "Hi", "2:9", PackReasonScriptOpen, "end it with </script>"},
        {"<script src=\"a.js\">\nx()\n</script>", "Hi", "1:1", PackReasonScriptSrc, "never run"},
        {"<script defer>\nx()\n</script>", "Hi", "1:1", PackReasonScriptAttribute, "its defer attribute"},
        {"<script>\nx()\n</script><base href=\"m/\">", "Hi", "1:1", PackReasonBase,
         "put the <base> first in the head"},
        {"<base href=\"/m/\">\n<script>\nx()\n</script>", "Hi", "1:1", PackReasonBase, "such as media/"},
        {"<script type=\"module\">\nx()\n</script>", "Hi", "1:1", PackReasonModule, "runs no module scripts"},
        {"<div><script type=\"text/x-template\">\n<b>\n</script>", "Hi", "1:6", PackReasonLines,
         "put the text in a <template>, or in a <pre> with &#10;"},
        {"<p>\n  <xmp>a\nb</xmp>", "Hi", "2:3", PackReasonLines, "an <xmp> that spans lines"},
        {"<p>\n<plaintext>a\n", "Hi", "2:1", PackReasonLines, "a <plaintext> that spans lines"},
        {"<script type=\"application/json\">\n{a: 1}\n</script>", "Hi", "1:1", PackReasonLines,
         "no valid JSON"},
        {"<script>var t = `w {{width}}`</script>", "Hi", "1:19", PackReasonSpace,
         "beside {{width}} in a template literal"},
        {"<script>function f() { return {{width}} }</script>", "Hi", "1:30", PackReasonSpace,
         "its functions' source text"},
        {"<xmp>a {{width}}</xmp>", "Hi", "1:7", PackReasonSpace, "in raw text"},
        {"<style>p::after { content: \"{{width}}{{height}} {{insert}}\" }</style>", "\tHi", "1:48",
         PackReasonSpace, "in a CSS string, before white space"},
        {"<style>p::after { content: \"a\n\" }</style>", "Hi", "1:30", PackReasonStyleLine,
         "inside a CSS string"},
        {"<style>p \\\n{}</style>", "Hi", "1:11", PackReasonStyleLine, "a \\ at the end of a line"},
        {"<p\ncodebase_random>x</p>", "Hi", "2:1", PackReasonMarker,
         "a name in a tag holds the words of the end marker"},
        {"<base href=\"" + longBase + "\">\n<script>\nx()\n</script>", "Hi", "1:1", PackReasonBase,
         "give the base a folder of the presentation, such as media/"},
        {"<script type=\"module\">x()</script>", "Hi", "", PackReasonNone,
         "1:1: a module script: the presenter's browser control runs no module scripts"},
    };
    static const char* const kHolders[] = {"{{width}}", "{{height}}", "{{insert}}",
                                           "{{insert}}", "{{width}}", "{{height}}"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        std::string page = c.body + "\n";
        size_t holders = 0;
        for (size_t at = page.find("{{"); at != std::string::npos; at = page.find("{{", at + 1))
            holders++;
        for (size_t k = holders; k < 6; k++) page += kHolders[k];
        PackResult result;
        int packed = PackPage(page.data(), page.size(), c.insert, &result);
        if (c.reason == PackReasonNone) {
            ASSERT_TRUE(packed) << PackResultMessage(result);
            EXPECT_NE(std::string::npos, std::string(result.notes.bytes, result.notes.length).find(c.says));
        } else {
            ASSERT_FALSE(packed);
            EXPECT_EQ(c.place, std::to_string(result.line) + ":" + std::to_string(result.column));
            EXPECT_STREQ(PackReasonName(c.reason), PackReasonName(result.reason));
            EXPECT_NE(std::string::npos, std::string(PackResultMessage(result)).find(c.says))
                << PackResultMessage(result);
        }
        PackResultFree(&result);
    }
}

// Where each value stands, and whether references in it would read as
// references: the insert text's own markup counts (its tag is no text).
TEST(AuthorPack, ValuesKnowWhereTheyStand) {
    const char page[] = "<title>{{width}}</title><p title=\"{{height}}\">{{insert}}</p>\n"
                        "<script>var s = \"{{insert}}\"</script><style>p { width: {{width}}px }</style>"
                        "<!-- {{height}} -->";
    struct Case {
        const char* insert;
        const char* where; // each value's PackWhere, as a digit
        const char* references;
    } cases[] = {{"Tom &amp; Jerry", "120764", "111000"}, {"<b>Q3</b>", "123764", "110000"}};
    for (const Case& c : cases) {
        PackValueWhere where[PackValueCount];
        PackRefusal refusal = {};
        ASSERT_TRUE(PackValuesWhere(page, sizeof page - 1, c.insert, where, &refusal));
        std::string places, references;
        for (const PackValueWhere& w : where) {
            places += (char)('0' + w.where);
            references += w.references ? '1' : '0';
        }
        EXPECT_EQ(c.where, places) << c.insert;
        EXPECT_EQ(c.references, references) << c.insert;
    }
}

namespace {

const FILETIME kOldTime = {0x2A8C0000, 0x01C0A8B1}; // in 2001

bool TimeSet(const std::string& path, bool old, FILETIME* time) {
    HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = old ? SetFileTime(file, nullptr, nullptr, &kOldTime)
                  : GetFileTime(file, nullptr, nullptr, time);
    CloseHandle(file);
    return ok;
}

} // namespace

// A second pack of a changed page leaves the folder as if packed once: no
// script the page no longer names, a file with unchanged bytes untouched, the
// author's own files as they were, and the presenter beside the data folder.
TEST(AuthorPack, ASecondPackRewritesOnlyWhatChanged) {
    TempFolder folder;
    const std::string script = "<script>\nvar a = 1\nvar b = a\n</script>\n";
    ASSERT_TRUE(WriteWholeFile(folder.File("page.html"), kPage + script + script));
    AuthorOutcome first = AuthorRun("pack page.html talk --insert Hi", folder.Path());
    ASSERT_EQ(0u, first.exitCode) << first.err;
    EXPECT_NE(std::string::npos, first.out.find("lumivane.exe: the presenter, copied")) << first.out;
    std::string talk = folder.File("talk");
    ASSERT_TRUE(WriteWholeFile(talk + "\\data\\notes.txt", "mine"));
    ASSERT_TRUE(WriteWholeFile(talk + "\\data\\page-9.js", "mine too"));
    const char* names[] = {"data\\1010.dat", "data\\1013.dat", "data\\1019.dat",
                           "data\\page-1.js", "data\\page-2.js", "data\\page-9.js",
                           "data\\notes.txt", "lumivane.exe"};
    for (const char* name : names) ASSERT_TRUE(TimeSet(talk + "\\" + name, true, nullptr)) << name;
    ASSERT_TRUE(WriteWholeFile(folder.File("page.html"), kPage + script + "<p>the end</p>\n"));
    AuthorOutcome second = AuthorRun("pack page.html talk --insert Hi", folder.Path());
    ASSERT_EQ(0u, second.exitCode) << second.err;
    // Only the page's end and its second script changed.
    const bool changed[] = {false, false, true, false, true, false, false, false};
    for (size_t i = 0; i < sizeof names / sizeof names[0]; i++) {
        SCOPED_TRACE(names[i]);
        FILETIME time = {};
        bool there = TimeSet(talk + "\\" + names[i], false, &time);
        bool gone = std::string(names[i]) == "data\\page-2.js";
        EXPECT_EQ(!gone, there);
        if (there) {
            EXPECT_EQ(changed[i], CompareFileTime(&time, &kOldTime) != 0);
        }
    }
    std::string presenter, copied;
    ASSERT_TRUE(ReadWholeFile(ModuleFolder() + "lumivane.exe", &presenter));
    ASSERT_TRUE(ReadWholeFile(talk + "\\lumivane.exe", &copied));
    EXPECT_TRUE(presenter == copied);
    EXPECT_NE(std::string::npos, second.out.find("removed page-2.js")) << second.out;
}

// Names that the ANSI code page can't spell are refused before anything is
// written; the insert text may hold any character.
TEST(AuthorPack, NamesTheCodePageCantSpellAreRefused) {
    if (GetACP() == CP_UTF8) GTEST_SKIP() << "this system's code page spells every name";
    TempFolder folder;
    ASSERT_TRUE(WriteWholeFile(folder.File("page.html"), kPage));
    for (const char* command : {"pack page.html talk-\xD0\x96 --insert Hi",
                                "pack page.html talk --settings \xD0\x96.txt", "show \xD0\x96"}) {
        SCOPED_TRACE(command);
        AuthorOutcome outcome = AuthorRunUtf8(command, folder.Path());
        EXPECT_EQ(2u, outcome.exitCode);
        EXPECT_NE(std::string::npos, outcome.err.find("can't spell all of its characters"))
            << outcome.err;
        EXPECT_EQ("page.html: <p>", FolderShown(folder.Path()).substr(0, 14));
    }
    AuthorOutcome outcome = AuthorRunUtf8("pack page.html talk --insert \xD0\x96", folder.Path());
    EXPECT_EQ(0u, outcome.exitCode) << outcome.err;
}
