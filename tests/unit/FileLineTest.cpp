// Line reads: every line-end rule, read-ahead boundaries, long lines, and the
// system's file position after each line.
#include "../LibraryQueries.h"
#include "../TestSupport.h"
#include "builder/Page.h"
#include "builder/Settings.h"
#include "files/File.h"
#include "files/LineSplit.h"
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace {

struct Line {
    std::string text;
    size_t positionAfter;
};

// The line rules read one byte at a time, the plain way, as the reference.
std::vector<Line> ReferenceLines(const std::string& bytes) {
    std::vector<Line> lines;
    size_t pos = 0, n = bytes.size();
    while (pos < n) {
        std::string text;
        bool ended = false;
        while (pos < n && !ended) {
            char c = bytes[pos++];
            if (c == '\n' || c == '\0')
                ended = true;
            else if (c == '\r') {
                if (pos < n && bytes[pos] == '\n') pos++;
                ended = true;
            } else
                text += c;
        }
        lines.push_back({text, pos});
    }
    return lines;
}

// Reads the file with FileReadLine and checks every line, the position after
// it and the end of the file against the reference.
void ExpectLinesMatch(const std::string& bytes, const std::string& label) {
    TempFolder folder;
    std::string path = folder.File("lines.dat");
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    ASSERT_NE(0, FileOpenRead(0, path.c_str()));
    std::vector<Line> expected = ReferenceLines(bytes);
    for (size_t i = 0; i < expected.size(); i++) {
        size_t length = 0;
        std::string line = FileReadLine(&length);
        ASSERT_EQ(expected[i].text, line) << label << ", line " << i;
        ASSERT_EQ(expected[i].text.size(), length) << label << ", line " << i;
        ASSERT_EQ((int32_t)expected[i].positionAfter, FileGetPosition()) << label << ", line " << i;
    }
    EXPECT_EQ(-1, FileAtEnd(0)) << label;
    for (int i = 0; i < 2; i++) {
        size_t length = 99;
        EXPECT_STREQ("", FileReadLine(&length)) << label;
        EXPECT_EQ(0u, length);
    }
    EXPECT_EQ((int32_t)bytes.size(), FileGetPosition()) << label;
    FileClose(0);
}

std::vector<std::string> ReadAllLines(const std::string& bytes) {
    TempFolder folder;
    std::string path = folder.File("lines.dat");
    WriteWholeFile(path, bytes);
    std::vector<std::string> lines;
    if (!FileOpenRead(0, path.c_str())) return lines;
    while (FileAtEnd(0) == 0) {
        const char* line = FileReadLine();
        lines.push_back(line ? line : "(the read failed)");
        if (!line) break;
    }
    FileClose(0);
    return lines;
}

int TakeLine(void* lines, char* line, size_t length) {
    ((std::vector<std::string>*)lines)->push_back(std::string(line, length));
    return 1;
}

int TakeOneLine(void* lines, char* line, size_t length) {
    TakeLine(lines, line, length);
    return 0;
}

// Opens under `number` a named pipe that holds `bytes` and whose writer has
// closed its end; the open's result.
intptr_t PipeOpen(intptr_t number, const std::string& bytes) {
    static int serial;
    std::string name = "\\\\.\\pipe\\lumivane-lines-" + std::to_string(GetCurrentProcessId()) +
                       "-" + std::to_string(++serial);
    HANDLE writer = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                                     1, 4096, 4096, 0, nullptr);
    intptr_t opened = FileOpenRead(number, name.c_str());
    DWORD written = 0;
    WriteFile(writer, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(writer);
    return opened;
}

// The lines of a pipe that holds `bytes`: the first read alone, then the rest,
// so that whatever was read ahead of the first line must be kept; or,
// `byEndTest`, a line at a time while FileAtEnd says there is more.
std::vector<std::string> ReadPipeLines(const std::string& bytes, bool byEndTest = false) {
    intptr_t id = PipeOpen(-1, bytes);
    std::vector<std::string> lines;
    if (byEndTest) {
        while (id && FileAtEnd(id) == 0 && lines.size() <= bytes.size()) lines.push_back(FileReadLine());
    } else if (id && FileReadLines(TakeOneLine, &lines, 0)) {
        FileReadLines(TakeLine, &lines, 0);
    }
    FileClose(id);
    return lines;
}

// Runs reads on files: each word names a file by its index in `files`, a read
// (L a line, B a byte value, E the end test) and, after '=', what it gives.
void RunScript(const std::vector<intptr_t>& files, const std::string& script) {
    std::istringstream words(script);
    for (std::string word; words >> word;) {
        intptr_t number = files[word[0] - '0'];
        FileSelect(number);
        const char* line = word[1] == 'L' ? FileReadLine() : nullptr;
        std::string got = word[1] == 'E'   ? std::to_string(FileAtEnd(number))
                          : word[1] == 'B' ? std::string(1, (char)FileReadByte())
                                           : line ? line : "(failed)";
        EXPECT_EQ(word.substr(3), got) << word;
    }
}

// Console input, read in raw mode byte for byte as typed.
void Type(HANDLE input, const std::string& bytes) {
    for (char c : bytes) {
        INPUT_RECORD key = {};
        key.EventType = KEY_EVENT;
        key.Event.KeyEvent.bKeyDown = TRUE;
        key.Event.KeyEvent.wRepeatCount = 1;
        key.Event.KeyEvent.uChar.AsciiChar = c;
        DWORD written = 0;
        WriteConsoleInputA(input, &key, 1, &written);
    }
}

} // namespace

// A handle that cannot seek reads the LF of a CR LF only with its next read:
// each pipe remembers that for itself, a value read skips the LF too, and a
// pipe opened under the number of one closed right after a CR starts afresh.
TEST(FileReadLine, PipesKeepTheirOwnLineEnds) {
    std::vector<intptr_t> files = {PipeOpen(-1, "a\r\nb\r\nc"), 1};
    ASSERT_NE(0, files[0]);
    ASSERT_NE(0, PipeOpen(1, "d\r\nXe\r"));
    RunScript(files, "0L=a 1L=d 0L=b 1B=X 1L=e 0E=0 0L=c 0E=-1");
    // The system may give the next pipe the handle value of the one closed.
    FileClose(1);
    ASSERT_NE(0, PipeOpen(1, "\nf"));
    RunScript(files, "1L= 1L=f 1E=-1");
    FileClose(1);
    FileClose(files[0]);
}

// A device takes no byte back: the end test keeps the byte it looked at for
// the next read. The console is the device at hand, typed into in raw mode.
TEST(FileAtEnd, DeviceKeepsTheByteItLooksAt) {
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    HANDLE input = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, input);
    SetConsoleMode(input, 0);
    Type(input, "ab\r\nXcd\r");
    intptr_t console = FileOpenRead(-1, "CONIN$");
    ASSERT_NE(0, console);
    EXPECT_EQ((DWORD)FILE_TYPE_CHAR, GetFileType(FileSelect(console)));
    RunScript({console}, "0E=0 0L=ab 0E=0 0B=X 0E=0 0L=cd");
    FileClose(console);
    CloseHandle(input);
    FreeConsole();
}

TEST(FileReadLine, LineEnds) {
    using Lines = std::vector<std::string>;
    struct Case {
        std::string bytes;
        Lines lines;
    } cases[] = {
        {std::string("abc\r\ndef"), {"abc", "def"}},
        {std::string("a\rb"), {"a", "b"}},
        {std::string("x\n\ry"), {"x", "", "y"}},
        {std::string("ab\0cd\n", 6), {"ab", "cd"}},
        {std::string("abc\r"), {"abc"}},
        {std::string(""), {}},
        {std::string("\r\n\r\n"), {"", ""}},
        {std::string("\n\n\r"), {"", "", ""}},
        {std::string("\t\xe9\xff tab\n"), {"\t\xe9\xff tab"}},
        {std::string("a\r\r\nb"), {"a", "", "b"}},
        {std::string("ab\ncd\n"), {"ab", "cd"}},
        {std::string(700, 'z') + "\r\nq", {std::string(700, 'z'), "q"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.lines, ReadAllLines(c.bytes)) << "bytes of length " << c.bytes.size();
        // A pipe, which cannot seek, gives the same lines.
        EXPECT_EQ(c.lines, ReadPipeLines(c.bytes)) << "piped bytes of length " << c.bytes.size();
        EXPECT_EQ(c.lines, ReadPipeLines(c.bytes, true))
            << "piped bytes of length " << c.bytes.size() << ", read while not at the end";
        ExpectLinesMatch(c.bytes, "case of length " + std::to_string(c.bytes.size()));
    }
}

TEST(FileReadLine, LineEndsAcrossReadAheadBoundaries) {
    // Line ends, and a CR with its LF, around every size where a read ends.
    const size_t edges[] = {511, 512, 513, 1535, 1536, 1537, 3583, 3584, 3585, 7680};
    const char* ends[] = {"\r\n", "\r", "\n", "\n\r", "\r\r\n"};
    for (size_t edge : edges) {
        for (int shift = -2; shift <= 1; shift++) {
            for (const char* end : ends) {
                std::string bytes(edge + shift, 'a');
                bytes += end;
                bytes += "b\r\nlast";
                ExpectLinesMatch(bytes, "edge " + std::to_string(edge + shift));
            }
        }
    }
}

TEST(FileReadLine, MatchesOneByteReaderOnMixedFiles) {
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    const char* ends[] = {"\n", "\r\n", "\r", "\n\r", nullptr /* a zero byte */, ""};
    for (int file = 0; file < 60; file++) {
        std::string bytes;
        int lines = 1 + next(40);
        for (int i = 0; i < lines; i++) {
            uint32_t length = next(8) == 0 ? next(5000) : next(120);
            for (uint32_t k = 0; k < length; k++) {
                char c = (char)(1 + next(255));
                if (c == '\r' || c == '\n') c = 'x';
                bytes += c;
            }
            uint32_t end = next(6);
            if (end == 4)
                bytes += '\0';
            else
                bytes += ends[end];
        }
        ExpectLinesMatch(bytes, "mixed file " + std::to_string(file));
    }
}

// Blocks stop doubling at their largest size, so a line takes little more room
// than itself and one such block.
TEST(FileReadLine, LongLine) {
    std::string longLine(2560 * 1024, 'q');
    for (size_t i = 0; i < longLine.size(); i += 997) longLine[i] = (char)(0x80 + i % 100);
    std::string bytes = longLine + "\r\nnext\r";
    StringBaseLimit(3584 * 1024);
    std::vector<std::string> lines = ReadAllLines(bytes);
    StringBaseLimit(SIZE_MAX);
    ASSERT_EQ(2u, lines.size());
    EXPECT_TRUE(lines[0] == longLine) << "the long line came back changed";
    EXPECT_EQ("next", lines[1]);
}

// A line that can't be held in memory is a failed read that gives back what it
// read, never a shorter line; the settings and the page fail with it.
TEST(FileReadLine, LineTooLongForMemoryFailsWhole) {
    TempFolder folder;
    CurrentFolder here(folder.Path());
    CreateDirectoryA("data", nullptr);
    const std::string longLine(300000, 'w');
    ASSERT_TRUE(WriteWholeFile("data\\1013.dat", "short\r\n" + longLine + "\r\nlast\r\n"));
    ASSERT_TRUE(WriteWholeFile("data\\f.dat", "<p>\n" + longLine + "\ncodebase random>\n"));
    ASSERT_NE(0, FileOpenRead(0, "data\\1013.dat"));
    StringBaseLimit(200000);
    EXPECT_STREQ("short", FileReadLine());
    size_t length = 1;
    EXPECT_EQ(nullptr, FileReadLine(&length));
    EXPECT_EQ(7, FileGetPosition()) << "the failed line was not given back";
    EXPECT_EQ(nullptr, FileReadLine()) << "a second try read past the line";
    EXPECT_EQ(0, SettingsRead());
    PageClear();
    EXPECT_EQ(0, PageFragmentRead("data/f.dat"));
    StringBaseLimit(SIZE_MAX);

    ASSERT_NE(0, FileOpenRead(0, "data\\1013.dat"));
    FileSetPosition(7);
    EXPECT_EQ(longLine, FileReadLine());
    EXPECT_STREQ("last", FileReadLine());
    FileClose(0);
    PageClear();
    EXPECT_NE(0, PageFragmentRead("data/f.dat"));
    EXPECT_EQ("<p>" + longLine, PageText());
}

TEST(FileReadLine, NoCurrentFileGivesEmptyLine) {
    EXPECT_EQ(0, FileOpenRead(0, "no such folder\\no such file.dat"));
    size_t length = 5;
    EXPECT_STREQ("", FileReadLine(&length));
    EXPECT_EQ(0u, length);
}

TEST(LineSplit, DecidesOnlyWhatTheBytesShow) {
    struct Case {
        std::string bytes;
        bool atEnd;
        LineEnd end;
    } cases[] = {
        {"ab\ncd", false, {2, 3, 1}},
        {"ab\r", false, {2, 2, 0}},
        {"ab\r", true, {2, 3, 1}},
        {"ab\r\n", false, {2, 4, 1}},
        {"ab\rc", false, {2, 3, 1}},
        {"abc", false, {3, 3, 0}},
        {"abc", true, {3, 3, 1}},
        {"", true, {0, 0, 1}},
        {std::string("a\0b", 3), false, {1, 2, 1}},
    };
    for (const Case& c : cases) {
        LineEnd end = LineSplit(c.bytes.data(), c.bytes.size(), c.atEnd);
        EXPECT_EQ(c.end.length, end.length) << c.bytes;
        EXPECT_EQ(c.end.consumed, end.consumed) << c.bytes;
        EXPECT_EQ(c.end.complete, end.complete) << c.bytes;
    }
}
