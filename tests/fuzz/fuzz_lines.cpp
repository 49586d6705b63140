// The block line reader against the one-byte reader, on every split of the
// file into reads. The one-byte reader reads a byte at a time: a line ends at
// LF, CR LF, a lone CR (the byte after it is given back), a zero byte, or the
// end of the file. The block reader is the file library's own
// (LineBlocksRead), here on a file whose reads may come back short; after
// every call that stops early, the bytes read ahead are given back.
// Both must hand over the same lines and leave the file at the same position.
//
// Input: the first block (byte 0, plus 1); byte 1: lines a call takes before
// it stops (low 2 bits, 0 for all) and how often a block may double (bits 2
// and 3); byte 2: the room the reader may use (0 for no bound, else 8 bytes a
// step); byte 3: how many of the next bytes limit the reads in turn (0 for a
// full block); then the file.
#include "files/LineSplit.h"
#include "tests/fuzz/FuzzCheck.h"
#include <sanitizer/asan_interface.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

struct Line {
    std::string text;
    size_t endPosition; // the file position once the line is read
};

static std::vector<Line> ReadByteByByte(const std::string& file) {
    std::vector<Line> lines;
    size_t position = 0;
    while (position < file.size()) {
        std::string text;
        char c = 0;
        while (position < file.size()) {
            c = file[position++];
            if (c == 0 || c == '\n' || c == '\r') break;
            text += c;
        }
        if (c == '\r' && position < file.size() && file[position] == '\n') position++;
        lines.push_back({text, position});
    }
    return lines;
}

// The file being read: its bytes and position, and reads that may come back short.
struct Source {
    const std::string* bytes;
    size_t position;
    const uint8_t* limits; // the most each read gives, in turn; 0: no limit
    size_t limitCount;
    size_t reads;
};

static size_t SourceRead(Source* file, char* destination, size_t count) {
    size_t n = file->bytes->size() - file->position;
    if (n > count) n = count;
    uint8_t limit = file->limitCount ? file->limits[file->reads++ % file->limitCount] : 0;
    if (limit && n > limit) n = limit;
    memcpy(destination, file->bytes->data() + file->position, n);
    file->position += n;
    return n;
}

static void SourceGiveBack(Source* file, size_t bytes) {
    FUZZ_CHECK(bytes <= file->position);
    file->position -= bytes;
}

struct Reader {
    size_t firstBlock, mostBlock, room; // room 0: no bound
    size_t linesPerCall;                // 0: every line up to the end
};

struct Taken {
    std::vector<std::string> lines;
    size_t thisCall;
};

// The string base: it grows to at least twice its size, as the real one does,
// and moves when it grows; the bytes past the room asked for are poisoned, so
// that a byte used past the room is caught all the same.
struct StringBase {
    char* block = nullptr;
    size_t size = 0;
    ~StringBase() {
        ASAN_UNPOISON_MEMORY_REGION(block, size);
        free(block);
    }
};

static char* Room(StringBase* base, size_t n, size_t most) {
    if (most && n > most) return nullptr;
    ASAN_UNPOISON_MEMORY_REGION(base->block, base->size);
    if (n > base->size) {
        size_t size = n > base->size * 2 ? n : base->size * 2;
        char* moved = (char*)malloc(size);
        FUZZ_CHECK(moved);
        if (base->size) memcpy(moved, base->block, base->size);
        free(base->block);
        base->block = moved;
        base->size = size;
    }
    ASAN_POISON_MEMORY_REGION(base->block + n, base->size - n);
    return base->block;
}

static int Take(const Reader& reader, Taken* taken, const char* line, size_t length) {
    FUZZ_CHECK(line[length] == 0);
    FUZZ_CHECK(LinePlainRun(line, length) == length);
    taken->lines.emplace_back(line, length);
    taken->thisCall++;
    return reader.linesPerCall == 0 || taken->thisCall < reader.linesPerCall;
}

struct Model {
    Source* file;
    StringBase base;
    size_t most;
};

static char* ModelRoom(void* context, size_t bytes) {
    Model* model = (Model*)context;
    return Room(&model->base, bytes, model->most);
}

static size_t ModelRead(void* context, char* destination, size_t count) {
    return SourceRead(((Model*)context)->file, destination, count);
}

static void ModelGiveBack(void* context, size_t bytes) {
    SourceGiveBack(((Model*)context)->file, bytes);
}

struct TakeContext {
    const Reader* reader;
    Taken* taken;
};

static int TakeLine(void* context, char* line, size_t length) {
    TakeContext* take = (TakeContext*)context;
    return Take(*take->reader, take->taken, line, length);
}

// The file library's block reader, with the source above for the system's file.
static int ReadLines(const Reader& reader, Source* file, Taken* taken) {
    Model model;
    model.file = file;
    model.most = reader.room;
    LineSource source = {&model, ModelRoom, ModelRead, ModelGiveBack};
    TakeContext take = {&reader, taken};
    return LineBlocksRead(&source, reader.firstBlock, reader.mostBlock, TakeLine, &take);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    Reader reader;
    reader.firstBlock = (size_t)data[0] + 1;
    reader.linesPerCall = data[1] & 3u;
    reader.mostBlock = reader.firstBlock << ((data[1] >> 2) & 3u);
    reader.room = (size_t)data[2] * 8;
    size_t limitCount = data[3] < size - 4 ? data[3] : size - 4;
    std::string bytes((const char*)data + 4 + limitCount, size - 4 - limitCount);
    Source file = {&bytes, 0, data + 4, limitCount, 0};

    // The plain run of the whole file stops at its first line end.
    size_t plain = 0;
    while (plain < bytes.size() && bytes[plain] != 0 && bytes[plain] != '\n' && bytes[plain] != '\r')
        plain++;
    FUZZ_CHECK(LinePlainRun(bytes.data(), bytes.size()) == plain);

    std::vector<Line> expected = ReadByteByByte(bytes);
    size_t longest = 0;
    for (const Line& line : expected)
        if (line.text.size() > longest) longest = line.text.size();
    // With the whole file at hand, as the authors' tool splits a settings file.
    size_t at = 0, n = 0;
    while (at < bytes.size()) {
        LineEnd end = LineSplit(bytes.data() + at, bytes.size() - at, true);
        FUZZ_CHECK(end.complete && n < expected.size());
        FUZZ_CHECK(std::string(bytes.data() + at, end.length) == expected[n].text);
        at += end.consumed;
        FUZZ_CHECK(at == expected[n++].endPosition);
    }
    FUZZ_CHECK(n == expected.size());

    Taken taken;
    for (;;) {
        taken.thisCall = 0;
        int ok = ReadLines(reader, &file, &taken);
        size_t count = taken.lines.size();
        FUZZ_CHECK(count <= expected.size());
        for (size_t i = count - taken.thisCall; i < count; i++)
            FUZZ_CHECK(taken.lines[i] == expected[i].text);
        // Stopped early, at the end, or short of room: the file is right after
        // the last line taken.
        FUZZ_CHECK(file.position == (count ? expected[count - 1].endPosition : 0));
        // Only a room too small for the longest line, a CR read after it, one
        // largest block and the zero may fail a read.
        if (!ok) {
            FUZZ_CHECK(reader.room != 0 && reader.room < longest + reader.mostBlock + 2);
            return 0;
        }
        if (taken.thisCall == 0) break;
    }
    FUZZ_CHECK(taken.lines.size() == expected.size());
    FUZZ_CHECK(file.position == bytes.size());
    return 0;
}
