// The insert text made fit for a page: the page's declared encoding, where each
// {{insert}} stands, and the text written in that encoding with references.
#include "../TestSupport.h"
#include "authoring/PackInsert.h"
#include "authoring/InsertText.h"
#include "authoring/scan/HtmlEncoding.h"
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

namespace {

std::wstring Wide(const std::string& utf8) {
    std::wstring wide(utf8.size() + 1, L'\0');
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &wide[0],
                                (int)wide.size());
    wide.resize(n > 0 ? (size_t)n : 0);
    return wide;
}

} // namespace

TEST(PageEncoding, FoundWhereBrowsersFindIt) {
    const std::string beyond = std::string(1010, ' ') + "<meta charset=\"utf-8\">";
    struct Case {
        std::string page;
        const char* encoding; // "" for none
    } cases[] = {
        {"<html><head><meta charset=\"utf-8\">", "UTF-8"},
        {"<META CHARSET=' UTF8 '>", "UTF-8"},
        {"\xEF\xBB\xBF<p>", "UTF-8"},
        {"<meta/charset=koi8-r>", "KOI8-R"},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">",
         "windows-1251"},
        {"<meta content=\"text/html;charset = 'cp1250'\" http-equiv=content-type>", "windows-1250"},
        {"<meta content=\"text/html; charset=utf-8\">", ""},
        {"<meta http-equiv=\"content-type\" content=\"charset=koi8-r\" charset=\"utf-8\">", "UTF-8"},
        {"<meta charset=\"utf-8\" charset=\"koi8-r\">", "UTF-8"},
        {"<meta charset=\"bogus\"><meta charset=\"latin1\">", "windows-1252"},
        {"<meta charset=\"utf-16le\">", "UTF-8"},
        {"<meta charset=\"x-user-defined\">", "windows-1252"},
        {"<!-- a > b <meta charset=\"utf-8\"> --><meta charset=\"gbk\">", "GBK"},
        {"<!--><meta charset=\"utf-8\">", "UTF-8"},
        {"<p title=\"<meta charset=utf-8>\"><meta charset=sjis>", "Shift_JIS"},
        {"</p a='<meta charset=utf-8>'><?x <meta charset=utf-8>?><meta charset=big5>", "Big5"},
        {"<metacharset=utf-8>", ""},
        {"<meta charset=\"utf-8", ""},
        {beyond, ""},
        {beyond.substr(20), "UTF-8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page.substr(0, 80));
        HtmlEncodingFound found = HtmlEncodingSniff(c.page.data(), c.page.size());
        EXPECT_EQ(c.encoding, std::string(HtmlEncodingName(found.encoding)));
    }
}

// "Welcome" needs a reference for its last "e": pack writes it where every
// {{insert}} stands where the page reads references, and elsewhere refuses with
// the place.
TEST(PackInsert, ReferencesOnlyWhereThePageReadsThem) {
    struct Case {
        const char* body; // between "{{width}}{{height}}" and "{{width}}{{height}}"
        const char* insert;
        const char* refusal; // what the message names, or null: it packs
    } cases[] = {
        {"<p>{{insert}}</p><title>{{insert}}</title>", "Welcome", nullptr},
        {"<p>&{{insert}}<p title=\"{{insert}}\">", "Welcome", nullptr},
        {"<a href={{insert}}><!-- {{insert}} -->", "Welcome", nullptr},
        {"<svg><style>{{insert}}</style></svg>{{insert}}", "Welcome", nullptr},
        {"<p>{{insert}}</p><script>var a = \"{{insert}}\";</script>", "Welcome", "1:54: {{insert}} stands in a script"},
        {"<p>{{insert}}<style>p:after { content: \"{{insert}}\" }</style>", "Welcome", "a style sheet"},
        {"<p>{{insert}}<XMP>{{insert}}</xmp>", "Welcome", "raw text"},
        {"<p {{insert}}>{{insert}}", "Welcome", "1:23: {{insert}} stands in a tag"},
        {"<p>{{insert}}</p><p>{{insert}}</p>", "<b>Welcome</b>", nullptr},
    };
    char err[MAX_PATH];
    GetTempPathA(MAX_PATH, err);
    strcat(err, "insert-err.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        std::string page = std::string("{{width}}{{height}}") + c.body + "{{width}}{{height}}";
        HANDLE file = CreateFileA(err, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0,
                                  nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        HANDLE saved = GetStdHandle(STD_ERROR_HANDLE);
        SetStdHandle(STD_ERROR_HANDLE, file);
        InsertCoded coded;
        int code = -1;
        int packed = PackInsertPlain("p.html", page.data(), page.size(), Wide(c.insert).c_str(),
                                     false, &coded, &code);
        SetStdHandle(STD_ERROR_HANDLE, saved);
        CloseHandle(file);
        std::string said;
        ASSERT_TRUE(ReadWholeFile(err, &said));
        if (!c.refusal) {
            ASSERT_TRUE(packed) << said;
            EXPECT_EQ(0, code);
            InsertCodedFree(&coded);
            continue;
        }
        EXPECT_FALSE(packed);
        EXPECT_EQ(2, code);
        EXPECT_NE(std::string::npos, said.find(c.refusal)) << said;
    }
    DeleteFileA(err);
}

TEST(InsertText, WrittenInThePagesEncodingWithReferencesWhereNeeded) {
    struct Case {
        const char* text; // UTF-8
        unsigned codePage;
        bool references;
        const char* coded; // null: refused
    } cases[] = {
        {"Welcome", 1252, true, "Welcom&#101;"},
        {"Welcome", 1252, false, nullptr},
        {"eat tee", 65001, true, "&#101;at te&#101;"},
        {"ROSE", 1252, true, "&#82;&#79;S&#69;"},
        {"alle G\xC3\xA4ste!", 65001, false, "alle G\xC3\xA4ste!"},
        {"alle G\xC3\xA4ste!", 1252, false, "alle G\xE4ste!"},
        {"alle G\xC3\xA4ste!", 0, true, "alle G&#228;ste!"},
        {"\xD0\x96uk", 1252, true, "&#1046;uk"},
        {"\xD0\x96uk", 1252, false, nullptr},
        {"\xD0\x96uk", 1251, false, "\xC6uk"},
        {"\xF0\x9F\x98\x80!", 65001, false, "\xF0\x9F\x98\x80!"},
        {"\xF0\x9F\x98\x80!", 1252, true, "&#128512;!"},
        // Shift_JIS writes this katakana as 0x83 "E": the whole character goes.
        {"a\xE3\x82\xA6" "a", 932, true, "a&#12454;a"},
        {"a\xE3\x82\xA2" "a", 932, false, "a\x83\x41" "a"},
        {"", 65001, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(c.codePage));
        InsertCoded coded;
        int ok = InsertEncode(Wide(c.text).c_str(), c.codePage, c.references, &coded);
        ASSERT_TRUE(coded.bytes);
        EXPECT_EQ(c.coded != nullptr, ok != 0) << coded.shown;
        if (c.coded) {
            EXPECT_EQ(c.coded, std::string(coded.bytes, coded.length));
        }
        InsertCodedFree(&coded);
    }
}
