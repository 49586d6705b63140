// The pack command: one ordinary HTML page into a presentation's data folder.
//   AuthorPack  reads the page and the settings the options ask for, cuts the
//               page and writes DIR/data and the presenter beside it; the exit code
//   PackWrite   writes the cut page (and the settings file, unless `stored` is
//               null) into `data`, and the presenter from beside the tool into
//               `folder`: every file first beside its place, then all moved into
//               place, so that a failure leaves the folder as it was. A file that
//               holds its bytes already is left as it is; the scripts an earlier
//               pack wrote and this one did not are removed
#pragma once
#include "authoring/PackPage.h"

struct PackOptions {
    const char* page;
    const char* folder;
    const wchar_t* insert; // --insert TEXT, or null
    const char* settings; // --settings PLAIN, or null
    bool entities;
};

int AuthorPack(const PackOptions& options);
int PackWrite(const char* folder, const char* data, const PackResult& result, const char* stored,
              size_t storedLength);
