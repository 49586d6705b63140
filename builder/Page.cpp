#include "builder/Page.h"
#include "builder/PageRules.h"
#include "builder/Settings.h"
#include "base/Heap.h"
#include "base/TextRules.h"
#include "base/Texts.h"
#include "files/File.h"
#include <string.h>

static Text gPage;

// Fragments are read in blocks of at least this size, so that the cost of a
// long fragment stays close to that of copying it.
static const DWORD kFragmentBlock = 1u << 16;

enum PagePieceKind { PieceFragment, PieceFirstLine, PieceWidth, PieceHeight, PieceInsert };

struct PagePiece {
    PagePieceKind kind;
    const char* path;
};

static const PagePiece kPieces[] = {
    {PieceFragment, "data/1010.dat"},  {PieceWidth, nullptr},
    {PieceFirstLine, "data/1011.dat"}, {PieceHeight, nullptr},
    {PieceFragment, "data/1015.dat"},  {PieceInsert, nullptr},
    {PieceFragment, "data/1016.dat"},  {PieceInsert, nullptr},
    {PieceFragment, "data/1017.dat"},  {PieceWidth, nullptr},
    {PieceFragment, "data/1018.dat"},  {PieceHeight, nullptr},
    {PieceFragment, "data/1019.dat"},
};

static int PageAppendText(const char* text) {
    return TextAppend(&gPage, text, strlen(text));
}

static int PageAppendTrimmed(const char* line, size_t length, bool* marker) {
    size_t trimmedLength = 0;
    const char* trimmed = TextTrim(line, length, &trimmedLength);
    if (marker && PageLineIsEndMarker(trimmed, trimmedLength)) {
        *marker = true;
        return 1;
    }
    return TextAppend(&gPage, trimmed, trimmedLength);
}

struct PageReading {
    bool marker; // the end marker line was met
    bool full;   // the page could not take a line
};

// Takes a fragment's lines; the end marker line, or a line the page can't
// take, stops the reading.
static int PageTakeLine(void* context, char* line, size_t length) {
    PageReading* reading = (PageReading*)context;
    if (!PageAppendTrimmed(line, length, &reading->marker)) reading->full = true;
    return !reading->marker && !reading->full;
}

void PageClear() {
    TextClear(&gPage);
}

int PageFragmentRead(const char* path) {
    if (!FileOpenRead(0, path)) return 0;
    PageReading reading = {false, false};
    int ok = FileReadLines(PageTakeLine, &reading, kFragmentBlock) && !reading.full;
    FileClose(0);
    return ok;
}

int PageLineRead(const char* path) {
    if (!FileOpenRead(0, path)) return 0;
    size_t length = 0;
    char* line = FileReadLine(&length);
    int ok = line && PageAppendTrimmed(line, length, nullptr);
    FileClose(0);
    return ok;
}

// The text of a value piece; null for a piece read from a file.
static const char* PageValue(PagePieceKind kind) {
    switch (kind) {
    case PieceWidth:
        return SettingsPageWidth();
    case PieceHeight:
        return SettingsPageHeight();
    case PieceInsert:
        return SettingsValue(3);
    default:
        return nullptr;
    }
}

// Looks up the files' sizes in the page's order and reserves room for all the
// pieces, so that the page is built without being moved. The sizes come from
// the files' attributes, which costs far less than opening each file twice. 0
// at the first file that isn't there, or is a folder: it could not be read.
static int PageReserve() {
    size_t room = 0;
    for (const PagePiece& piece : kPieces) {
        const char* value = PageValue(piece.kind);
        uint64_t size = 0;
        if (value) {
            size = strlen(value);
        } else {
            WIN32_FILE_ATTRIBUTE_DATA file;
            if (!GetFileAttributesExA(piece.path, GetFileExInfoStandard, &file) ||
                (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                return 0;
            size = (uint64_t)file.nFileSizeHigh << 32 | file.nFileSizeLow;
        }
        // Past any memory: the page grows as it goes, until memory runs out.
        if (size > SIZE_MAX - room) return 1;
        room += (size_t)size;
    }
    // Only a hint: without the room the page still grows as it is built.
    TextReserve(&gPage, room);
    return 1;
}

int PageBuild() {
    PageClear();
    if (!PageReserve()) return 0;
    for (const PagePiece& piece : kPieces) {
        int ok = 0;
        if (piece.kind == PieceFragment)
            ok = PageFragmentRead(piece.path);
        else if (piece.kind == PieceFirstLine)
            ok = PageLineRead(piece.path);
        else
            ok = PageAppendText(PageValue(piece.kind));
        if (!ok) return 0;
    }
    return 1;
}

int PageSave() {
    HANDLE file = (HANDLE)FileCreate(0, "data/1014.dat");
    if (!file) return 0;
    // The page is written in one piece, at the length it is known to have (a
    // text of many megabytes is slow to measure); a write that falls short (a
    // full disk) would leave a cut page behind, so it counts as a failure.
    DWORD written = 0;
    if (gPage.length) WriteFile(file, TextGet(&gPage), (DWORD)gPage.length, &written, nullptr);
    FileClose(0);
    return written == gPage.length;
}

const char* PageText() {
    return TextGet(&gPage);
}
size_t PageLength() {
    return gPage.length;
}
