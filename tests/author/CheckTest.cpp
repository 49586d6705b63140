#include "../PageData.h"
#include "AuthorRunner.h"
#include <gtest/gtest.h>

namespace {

const std::string kMarker = "codebase random>";

// A data folder with nothing to report: every line end the reader knows,
// spaces and tabs round lines, blank lines after the markers.
std::map<std::string, std::string> CleanFiles() {
    return {
        {"1013.dat", SettingsBytes({"demo", "", "Hi!", "", "", "", "0", "-3", "-40", "+32"})},
        {"1010.dat", "<html><head>\r\n<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">"
                     "\r\n<body style=\"width:\r\n  " +
                         kMarker + "  \r\n\r\n"},
        {"1011.dat", "px;height:  \n"},
        {"1015.dat", "px\">\n\t<h1>\n" + kMarker},
        {"1016.dat", "</h1>\r<p>\r" + kMarker + "\r"},
        {"1017.dat", "</p><i>\n" + kMarker + "\n   \n"},
        {"1018.dat", "x\n" + kMarker + "\n"},
        {"1019.dat", "</i></body></html>\n" + kMarker + "\n"},
    };
}

} // namespace

TEST(AuthorCheck, CleanFolderSaysNothing) {
    TempFolder folder;
    ASSERT_TRUE(WriteDataFiles(folder.Path(), CleanFiles()));
    AuthorOutcome outcome = AuthorRun("check " + Quoted(folder.Path()));
    ASSERT_TRUE(outcome.started);
    EXPECT_EQ("", outcome.out);
    EXPECT_EQ("", outcome.err);
    EXPECT_EQ(0u, outcome.exitCode);
}

TEST(AuthorCheck, NamesFileAndLineOfEveryProblem) {
    struct Case {
        const char* what;
        const char* file;    // the file changed, or removed when `bytes` is null
        const char* bytes;   // its new content
        std::string reports; // the report lines, after "DIR/"
    } cases[] = {
        {"settings missing", "1013.dat", nullptr, "data/1013.dat:1: missing"},
        {"fragment missing", "1017.dat", nullptr, "data/1017.dat:1: missing"},
        {"one-line fragment missing", "1011.dat", nullptr, "data/1011.dat:1: missing"},
        {"no end marker", "1016.dat", "</h1>\n<p>\n", "data/1016.dat:3: no end marker"},
        {"no end marker, empty file", "1019.dat", "", "data/1019.dat:1: no end marker"},
        {"lines after the marker", "1018.dat", "x\ncodebase random>\n\n  y\nz\n",
         "data/1018.dat:4: after the end marker of line 2"},
        {"a tab in the marker", "1015.dat", "px\">\ncodebase random>\t\ncodebase random>\n",
         "data/1015.dat:2: nearly the end marker \"codebase random>\" but not it (a tab)"},
        {"letter case", "1015.dat", "px\">\nCodebase Random>\ncodebase random>\n",
         "data/1015.dat:2: nearly the end marker \"codebase random>\" but not it (another "
         "letter case)"},
        {"extra characters", "1015.dat",
         "px\">\ncodebase  random>\n<br>\n<!-- codebase random> -->\n"
         "codebase random>",
         "data/1015.dat:2: nearly the end marker \"codebase random>\" but not it (extra or "
         "missing characters)|data/1015.dat:4: nearly"},
        {"near markers, and a sentence that holds the words", "1015.dat",
         "px\">\n<p>A codebase random walk.</p>\ncodebaserandom>\n<br>\ncodebase_random>\n<br>\n"
         "codebase random>>\n<br>\ncodebase\xa0random>\n<br>\ncodebase random>x\n<br>\n"
         "codebase random\ncodebase random>\n",
         "data/1015.dat:3: nearly|data/1015.dat:5: nearly|data/1015.dat:7: nearly|"
         "data/1015.dat:9: nearly the end marker \"codebase random>\" but not it (a no-break "
         "space between the words)|data/1015.dat:11: nearly the end marker \"codebase random>\" "
         "but not it (extra or missing characters)|data/1015.dat:13: nearly"},
        // What the join changes, a few findings of each kind, worded in full.
        {"words and inline tags run together, a tag's name", "1016.dat",
         "</h1>\n<p>data\nfor <b>x</b>\n<i>y</i></p>\n<p\nclass=\"a\">z</p>\n<a href=\"#\"\n"
         "title=\"t\">k</a>\ncodebase random>\n",
         "data/1016.dat:2:8: the line end is the only space between \"data\" and \"for\": joined, "
         "they run together|data/1016.dat:3:13: the line end is the only space between \"x\" and "
         "\"y\": joined, they run together|data/1016.dat:5:3: the line end is the only space in a "
         "tag between \"<p\" and \"class=\"a\">z\": joined, they run together"},
        {"spaces beside a value", "1015.dat", "px\">\n\t<h1>For \ncodebase random>\n",
         "data/1015.dat:2:9: the spaces beside the insert text are the only space between \"For\" "
         "and \"Hi!\": the presenter trims them away, and the two run together"},
        {"an attribute's value, a comment's end, white space kept", "1016.dat",
         "</h1>\n<p title=\"one\ntwo\">t</p>\n<!-- c --\n> <p>shown</p> -->\n"
         "<p style=\"white-space: pre-line\">a\nb</p>\ncodebase random>\n",
         "data/1016.dat:2:14: the value of title holds this line end, and the join takes it out of "
         "the value: it loses its line break|data/1016.dat:4:10: joined, \"--\" and \">\" end or "
         "start a comment at another place, and the page reads differently from here on|"
         "data/1016.dat:6:35: the line breaks and spaces inside <p> show on the page, and the join "
         "takes them away: its lines run together"},
        {"scripts: what needs its line end, and what does not", "1016.dat",
         "</h1>\n<script>\nvar a = 1\nif (a) f()\nelse a = 2;\nfunction f(a)\n{\n"
         "  try { a() } catch (e)\n  {\n  }\n}\n</script>\ncodebase random>\n",
         "data/1016.dat:3:10: the script needs this line end: joined, two of its words run "
         "together|data/1016.dat:4:11: the script needs this line end: joined, the statement ends "
         "only at this line end, and the next line goes on with it"},
        {"a style sheet and an event handler", "1016.dat",
         "</h1>\n<style>.q { margin: 0\nauto }</style>\n<p onclick=\"a()\nb()\">x</p>\ncodebase random>\n",
         "data/1016.dat:2:22: the line end is the only space in the style sheet between \"0\" and "
         "\"auto\": joined, they run together|data/1016.dat:4:16: the script needs this line end: "
         "joined, the statement ends only at this line end, and the next line goes on with it"},
        {"a line end after &#10; is its break; a handler that ends in a word", "1016.dat",
         "</h1>\n<pre>a&#10;\nb</pre>\n<p title=\"x&#10;\ny\">t</p>\n"
         "<p onclick=\"var s = 'a\\&#10;\nb'\">u</p>\n<p onclick=\"return\n\">v</p>\n"
         "codebase random>\n",
         ""},
        {"what the presenter's browser control runs", "1016.dat",
         "</h1>\n<script>var f = () => 1;</script>\n<script type=\"module\">f();</script>\ncodebase random>\n",
         "data/1016.dat:2:20: the presenter's browser control stops this script here: it does not "
         "run an arrow function (=>) (newer than ES5), so none of this script runs|"
         "data/1016.dat:3:1: the presenter's browser control runs no modules: this <script "
         "type=\"module\"> never runs"},
        {"second line of the one-line fragment", "1011.dat", "px;height:\r\n\r\nmore\r\n",
         "data/1011.dat:3: only the first line of this file is read"},
        {"short settings", "1013.dat", "\xab\xab\r\n\r\n", "data/1013.dat:3: only 2 lines"},
        {"nine settings lines", "1013.dat", nullptr, "data/1013.dat:10: only 9 lines"},
        {"adjustments not plain numbers", "1013.dat", nullptr,
         "data/1013.dat:7: the x adjustment \"12px\" is not a plain whole number: the presenter "
         "reads it as 12|data/1013.dat:10: the height adjustment \"99999999999\" is not a plain "
         "whole number: the presenter reads it as 1215752191"},
        {"no document mode", "1010.dat", "<html><body style=\"width:\ncodebase random>\n",
         "data/1010.dat:1: warning: the page declares no document mode (<meta "
         "http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">): the presenter's browser control "
         "then shows it in its oldest standards mode"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        auto files = CleanFiles();
        if (c.bytes)
            files[c.file] = c.bytes;
        else
            files.erase(c.file);
        if (std::string(c.what) == "nine settings lines")
            files["1013.dat"] = SettingsBytes({"", "", "", "", "", "", "0", "0", "0"});
        if (std::string(c.what) == "adjustments not plain numbers")
            files["1013.dat"] =
                SettingsBytes({"", "", "", "", "", "", "12px", "0", "", "99999999999"});
        ASSERT_TRUE(WriteDataFiles(folder.Path(), files));
        AuthorOutcome outcome = AuthorRun("check " + Quoted(folder.Path()));
        if (c.reports.empty()) {
            EXPECT_EQ("", outcome.out);
            EXPECT_EQ(0u, outcome.exitCode);
            continue;
        }
        EXPECT_EQ(1u, outcome.exitCode);
        // Each expected report starts a line of its own, in this order.
        size_t at = 0;
        std::string expected = c.reports + "|";
        for (size_t start = 0, bar; (bar = expected.find('|', start)) != std::string::npos;
             start = bar + 1) {
            std::string line = "\n" + folder.Path() + "/" + expected.substr(start, bar - start);
            size_t found = ("\n" + outcome.out).find(line, at);
            EXPECT_NE(std::string::npos, found) << line << "\nin\n" << outcome.out;
            if (found != std::string::npos) at = found + line.size();
        }
        // Nothing else is reported: one line per expected report.
        size_t lines = 0;
        for (char ch : outcome.out) lines += ch == '\n';
        size_t reports = 1;
        for (char ch : c.reports) reports += ch == '|';
        EXPECT_EQ(reports, lines) << outcome.out;
    }
}

TEST(AuthorCheck, FolderWithoutDataFolder) {
    TempFolder folder;
    AuthorOutcome outcome = AuthorRun("check " + Quoted(folder.Path()));
    EXPECT_EQ(1u, outcome.exitCode);
    EXPECT_EQ(folder.Path() + "/data: no data folder: the presenter stops with \"Error: can't "
                              "read the file\"\n",
              outcome.out);
    outcome = AuthorRun("check " + Quoted(folder.File("nowhere")));
    EXPECT_EQ(1u, outcome.exitCode);
    EXPECT_EQ(folder.File("nowhere") + ": can't open the folder\n", outcome.out);
}
