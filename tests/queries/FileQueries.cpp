// The queries of tests/LibraryQueries.h read state that is static in the
// library units, so each query source compiles its units once more, into the
// test programs alone, with the queries beside that state. These copies define
// every symbol of their units, so the linker takes none of the libraries' own,
// and the programs that ship carry no query.
#include "base/Texts.cpp"
#include "files/File.cpp"

void StringBaseLimit(size_t most) {
    gBaseMost = most;
}

void TextLimit(size_t most) {
    gTextMost = most;
}

int32_t FileCount() {
    return gTable.count;
}
