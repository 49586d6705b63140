#include "tests/native/FragmentJoin.h"
#include "base/TextRules.h"
#include "builder/PageRules.h"
#include "files/LineSplit.h"
#include <string.h>
#include <vector>

namespace {

// A fragment file as the block line reader sees the presenter's open file.
struct MemoryFile {
    const std::string* bytes;
    size_t position;
    std::vector<char> room;
};

char* Room(void* context, size_t bytes) {
    MemoryFile* file = (MemoryFile*)context;
    if (file->room.size() < bytes) file->room.resize(bytes);
    return file->room.data();
}

size_t Read(void* context, char* destination, size_t count) {
    MemoryFile* file = (MemoryFile*)context;
    size_t n = file->bytes->size() - file->position;
    if (n > count) n = count;
    memcpy(destination, file->bytes->data() + file->position, n);
    file->position += n;
    return n;
}

void GiveBack(void* context, size_t bytes) {
    ((MemoryFile*)context)->position -= bytes;
}

struct Reading {
    std::string* page;
    bool firstLineOnly;
};

// A line of a fragment as the presenter takes it: trimmed, and the end
// marker stops the reading.
int TakeLine(void* context, char* line, size_t length) {
    Reading* reading = (Reading*)context;
    size_t trimmedLength = 0;
    const char* trimmed = TextTrim(line, length, &trimmedLength);
    if (!reading->firstLineOnly && PageLineIsEndMarker(trimmed, trimmedLength)) return 0;
    reading->page->append(trimmed, trimmedLength);
    return !reading->firstLineOnly;
}

void FragmentAppend(const std::string& fragment, bool firstLineOnly, std::string* page) {
    MemoryFile file = {&fragment, 0, {}};
    LineSource source = {&file, Room, Read, GiveBack};
    Reading reading = {page, firstLineOnly};
    LineBlocksRead(&source, 1u << 16, 1u << 24, TakeLine, &reading);
}

} // namespace

std::string FragmentsJoin(const std::string fragments[7], const JoinValues& values) {
    std::string page;
    const std::string* const after[7] = {&values.width,  &values.height, &values.insert,
                                         &values.insert, &values.width,  &values.height,
                                         nullptr};
    for (int i = 0; i < 7; i++) {
        FragmentAppend(fragments[i], i == 1, &page);
        if (after[i]) page += *after[i];
    }
    return page;
}

bool PageCutByHand(const std::string& page, std::string fragments[7]) {
    static const std::string kHolders[3] = {"{{width}}", "{{height}}", "{{insert}}"};
    static const int kOrder[6] = {0, 1, 2, 2, 0, 1};
    int count = 0;
    size_t from = 0;
    for (size_t at = page.find("{{"); at != std::string::npos; at = page.find("{{", at + 1)) {
        int kind = 0;
        while (kind < 3 && page.compare(at, kHolders[kind].size(), kHolders[kind]) != 0) kind++;
        if (kind == 3) continue;
        if (count == 6 || kind != kOrder[count]) return false;
        fragments[count] = page.substr(from, at - from);
        if (count != 1) fragments[count] += "\ncodebase random>\n";
        from = at + kHolders[kind].size();
        at = from - 1;
        count++;
    }
    if (count != 6) return false;
    fragments[6] = page.substr(from);
    if (!fragments[6].empty() && fragments[6].back() != '\n') fragments[6] += "\n";
    fragments[6] += "codebase random>\n";
    return true;
}
