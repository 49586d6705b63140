// Opening, numbering, closing, value reads and positions of numbered files.
#include "../LibraryQueries.h"
#include "../TestSupport.h"
#include "files/File.h"
#include "base/ObjectList.h"
#include <gtest/gtest.h>
#include <string.h>

namespace {

// True when no handle holds the file any more: only then may it be opened
// without sharing.
bool NobodyHolds(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += (char)v;
    return s;
}

} // namespace

TEST(FileOpen, FailedOpenKeepsEarlierFileButNotAsCurrent) {
    TempFolder folder;
    std::string first = folder.File("first.dat");
    ASSERT_TRUE(WriteWholeFile(first, "one\ntwo\n"));
    intptr_t handle = FileOpenRead(0, first.c_str());
    ASSERT_NE(0, handle);
    EXPECT_STREQ("one", FileReadLine());

    EXPECT_EQ(0, FileOpenRead(0, folder.File("missing.dat").c_str()));
    EXPECT_STREQ("", FileReadLine());
    EXPECT_EQ(-1, FileGetLength());
    EXPECT_EQ(-1, FileGetPosition());
    EXPECT_EQ(0u, FileWriteText("x"));
    EXPECT_FALSE(NobodyHolds(first)) << "the earlier file was closed";

    EXPECT_EQ((HANDLE)handle, FileSelect(0));
    EXPECT_STREQ("two", FileReadLine());
    FileClose(0);
    EXPECT_TRUE(NobodyHolds(first));
}

TEST(FileOpen, ReopenClosesTheEarlierFile) {
    TempFolder folder;
    std::string a = folder.File("a.dat"), b = folder.File("b.dat");
    WriteWholeFile(a, "a");
    WriteWholeFile(b, "b");
    ASSERT_NE(0, FileOpenRead(3, a.c_str()));
    ASSERT_NE(0, FileOpenRead(3, b.c_str()));
    EXPECT_TRUE(NobodyHolds(a));
    EXPECT_STREQ("b", FileReadLine());
    FileClose(3);
    EXPECT_TRUE(NobodyHolds(b));
}

TEST(FileOpen, CreateTruncatesAndWritesExactBytes) {
    TempFolder folder;
    std::string path = folder.File("page.dat");
    WriteWholeFile(path, "an older and longer content");
    ASSERT_NE(0, FileCreate(0, path.c_str()));
    EXPECT_EQ(0, FileGetLength());
    EXPECT_EQ(0u, FileWriteText(""));
    EXPECT_EQ(0u, FileWriteText(nullptr));
    FileClose(0);
    std::string bytes = "x";
    ASSERT_TRUE(ReadWholeFile(path, &bytes));
    EXPECT_EQ("", bytes);

    ASSERT_NE(0, FileCreate(0, path.c_str()));
    EXPECT_EQ(6u, FileWriteText("\xe9t\xe9\tok"));
    EXPECT_EQ(5u, FileWriteText("\r\nend"));
    FileClose(0);
    ReadWholeFile(path, &bytes);
    EXPECT_EQ("\xe9t\xe9\tok\r\nend", bytes);
}

TEST(FileOpen, ReadWriteCreatesWithoutTruncatingAndExclusiveShutsOthersOut) {
    TempFolder folder;
    std::string path = folder.File("rw.dat");
    ASSERT_NE(0, FileOpenReadWrite(0, path.c_str()));
    EXPECT_EQ(0, FileGetLength());
    FileWriteText("hello");
    FileClose(0);
    ASSERT_NE(0, FileOpenReadWrite(0, path.c_str()));
    EXPECT_EQ(5, FileGetLength());
    EXPECT_EQ(0, FileGetPosition());
    FileSetPosition(FileGetLength());
    FileWriteText(" world");
    FileClose(0);
    std::string bytes;
    ReadWholeFile(path, &bytes);
    EXPECT_EQ("hello world", bytes);

    ASSERT_NE(0, FileOpenExclusive(1, path.c_str()));
    EXPECT_EQ(0, FileOpenRead(2, path.c_str())) << "an exclusive file was shared";
    EXPECT_EQ(0, FileOpenExclusive(4, folder.File("missing.dat").c_str()));
    FileClose(1);
    EXPECT_NE(0, FileOpenRead(2, path.c_str()));
    FileClose(2);
}

TEST(FileOpen, TableGrowsAndCloseAllClosesEveryNumber) {
    TempFolder folder;
    int32_t count = FileCount();
    intptr_t high = count + 15;
    std::string paths[5];
    for (int i = 0; i < 5; i++) {
        paths[i] = folder.File("f" + std::to_string(i) + ".dat");
        WriteWholeFile(paths[i], "line" + std::to_string(i));
    }
    ASSERT_NE(0, FileOpenRead(count - 1, paths[0].c_str())) << "no growth needed below the count";
    EXPECT_EQ(count, FileCount());
    ASSERT_NE(0, FileOpenRead(high, paths[1].c_str()));
    EXPECT_EQ(high + 10, FileCount());
    EXPECT_STREQ("line1", FileReadLine());
    intptr_t any1 = FileOpenRead(-1, paths[2].c_str());
    intptr_t any2 = FileOpenRead(-1, paths[3].c_str());
    ASSERT_NE(0, any1);
    ASSERT_NE(0, any2);
    EXPECT_NE(any1, any2);
    for (intptr_t any : {any1, any2}) EXPECT_TRUE(any < 0 || any > FileCount()) << "in table range";
    ASSERT_NE(0, FileOpenRead(0, paths[4].c_str()));
    EXPECT_EQ(0, FileAtEnd(any1));
    FileSelect(any1);
    EXPECT_STREQ("line2", FileReadLine());

    FileCloseAll();
    for (const std::string& path : paths) EXPECT_TRUE(NobodyHolds(path)) << path;
    EXPECT_EQ(0, FileAtEnd(any1)) << "a closed identifier still names a file";
    EXPECT_EQ(0, FileAtEnd(high));
}

TEST(FileOpen, ClosedIdentifiersAndBadNumbersNameNothing) {
    TempFolder folder;
    std::string path = folder.File("a.dat");
    WriteWholeFile(path, "abc\ndef");
    intptr_t id = FileOpenRead(-1, path.c_str());
    ASSERT_NE(0, id);
    FileClose(id);
    EXPECT_TRUE(NobodyHolds(path));
    FileClose(id); // a second close of the same identifier does nothing

    intptr_t kept = FileOpenRead(5, path.c_str());
    ASSERT_NE(0, kept);
    EXPECT_EQ((HANDLE)kept, FileSelect(id)) << "a dead identifier changed the current file";
    EXPECT_EQ((HANDLE)kept, FileSelect(12345678))
        << "a made-up identifier changed the current file";
    EXPECT_EQ(0, FileAtEnd(-7));
    FileClose(-1);
    FileClose(-7);
    EXPECT_EQ(0, FileOpenRead(-7, path.c_str())) << "a negative number other than -1 opened";
    EXPECT_EQ(0, FileOpenRead(INT32_MAX - 3, path.c_str())) << "a number past the table's reach";
    const int32_t count = FileCount();
    EXPECT_EQ(0, FileOpenRead(0x3FFFFFF6, path.c_str())) << "a table past the address space";
    EXPECT_EQ(count, FileCount());
    EXPECT_EQ(0, FileAtEnd(7)) << "never opened";

    // A live identifier opens again in its own record, closing its first file.
    std::string first = folder.File("b.dat"), other = folder.File("c.dat");
    WriteWholeFile(first, "");
    WriteWholeFile(other, "ghi");
    id = FileOpenRead(-1, first.c_str());
    ASSERT_NE(0, id);
    EXPECT_EQ(id, FileOpenRead(id, other.c_str()));
    EXPECT_EQ(count, FileCount()) << "the identifier was taken as a table number";
    EXPECT_TRUE(NobodyHolds(first));
    EXPECT_STREQ("ghi", FileReadLine());
    FileClose(id);
    EXPECT_TRUE(NobodyHolds(other));

    // Closing the current file leaves no current file: nothing is written
    // through a handle the system may have given to another file since.
    ASSERT_NE(0, FileCreate(6, folder.File("d.dat").c_str()));
    FileClose(6);
    std::string bystander = folder.File("e.dat");
    HANDLE own =
        CreateFileA(bystander.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_EQ(0u, FileWriteText("lost"));
    EXPECT_EQ(-1, FileGetPosition());
    CloseHandle(own);
    std::string written;
    EXPECT_TRUE(ReadWholeFile(bystander, &written));
    EXPECT_EQ("", written) << "written through the closed file's handle";
    EXPECT_EQ((HANDLE)kept, FileSelect(5));
    FileClose(5);
    EXPECT_TRUE(NobodyHolds(path));
    FileCloseAll();
}

TEST(FileValues, SignExtensionAndShortReads) {
    struct Case {
        std::string bytes;
        char width; // b, w, l
        int32_t value;
    } cases[] = {
        {Bytes({0xFF}), 'b', -1},
        {Bytes({0x7F}), 'b', 127},
        {Bytes({0x80}), 'b', -128},
        {Bytes({0xFF, 0xFF}), 'w', -1},
        {Bytes({0x00, 0x80}), 'w', -32768},
        {Bytes({0x34, 0x12}), 'w', 0x1234},
        {Bytes({0xFF}), 'w', 255},
        {Bytes({0xFF, 0xFF, 0xFF, 0xFF}), 'l', -1},
        {Bytes({0x44, 0x33, 0x22, 0x11}), 'l', 0x11223344},
        {Bytes({0x01, 0x02}), 'l', 0x0201},
        {"", 'b', 0},
        {"", 'w', 0},
        {"", 'l', 0},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        std::string path = folder.File("v.dat");
        WriteWholeFile(path, c.bytes);
        ASSERT_NE(0, FileOpenRead(0, path.c_str()));
        int32_t value = c.width == 'b'   ? FileReadByte()
                        : c.width == 'w' ? FileReadWord()
                                         : FileReadLong();
        EXPECT_EQ(c.value, value) << c.width << " of " << c.bytes.size() << " bytes";
        FileClose(0);
    }
}

TEST(FileValues, MixWithLinesPositionsAndEndTest) {
    float half = 1.5f;
    std::string floatBytes((const char*)&half, 4);
    std::string bytes =
        "ab\r\n" + Bytes({0x44, 0x33, 0x22, 0x11, 0xFE}) + "line\r" + floatBytes + "tail";
    TempFolder folder;
    std::string path = folder.File("mixed.dat");
    WriteWholeFile(path, bytes);
    ASSERT_NE(0, FileOpenRead(0, path.c_str()));
    EXPECT_EQ((int32_t)bytes.size(), FileGetLength());
    EXPECT_STREQ("ab", FileReadLine());
    EXPECT_EQ(4, FileGetPosition());
    EXPECT_EQ(0x11223344, FileReadLong());
    EXPECT_EQ(-2, FileReadByte());
    EXPECT_EQ(0, FileAtEnd(0));
    EXPECT_EQ(9, FileGetPosition()) << "the end test moved the position";
    EXPECT_STREQ("line", FileReadLine());
    EXPECT_EQ(1.5f, FileReadFloat());
    char block[8] = {};
    EXPECT_EQ(4u, FileReadBlock(block, sizeof block));
    EXPECT_STREQ("tail", block);
    EXPECT_EQ(-1, FileAtEnd(0));
    EXPECT_EQ(0, FileReadLong());
    FileSetPosition(2);
    EXPECT_EQ(0, FileAtEnd(0));
    EXPECT_STREQ("", FileReadLine()) << "CR LF at the position is an empty line";
    EXPECT_EQ(4, FileGetPosition());
    FileSetPosition(5);
    EXPECT_EQ(0x2233, FileReadWord());
    FileClose(0);
    EXPECT_EQ(0u, FileReadBlock(block, sizeof block)) << "the closed file is still read";
}

TEST(ObjectList, RemovalKeepsTheListWalkable) {
    for (int removed = 0; removed < 3; removed++) {
        ObjectList list = nullptr;
        int* items[3];
        for (int i = 0; i < 3; i++) {
            items[i] = (int*)ObjectListAdd(&list, sizeof(int));
            ASSERT_NE(nullptr, items[i]);
            EXPECT_EQ(0, *items[i]) << "records come zero-filled";
            *items[i] = i;
        }
        ObjectListRemove(&list, items[removed]);
        std::vector<int> walked, back;
        void* last = nullptr;
        for (void* p = ObjectListFirst(list); p; p = ObjectListNext(p)) {
            walked.push_back(*(int*)p);
            last = p;
        }
        std::vector<int> expected;
        for (int i = 2; i >= 0; i--)
            if (i != removed) expected.push_back(i);
        EXPECT_EQ(expected, walked) << "removed " << removed;
        EXPECT_FALSE(ObjectListHas(list, items[removed]));
        EXPECT_TRUE(ObjectListHas(list, last));
        while (ObjectListFirst(list)) ObjectListRemove(&list, ObjectListFirst(list));
        EXPECT_EQ(nullptr, list);
    }
}
