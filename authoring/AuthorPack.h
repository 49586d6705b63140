// The pack command: one ordinary HTML page into a presentation's data folder.
//   AuthorPack  reads the page and the settings the options ask for, cuts the
//               page and writes DIR/data; the exit code
//   PackWrite   writes the cut page (and the settings file, unless `stored` is
//               null) into `data`: every file first beside its place, then all
//               moved into place, so that a failure leaves the folder as it was
#pragma once
#include "authoring/PackPage.h"

struct PackOptions {
    const char* page;
    const char* folder;
    const char* insert;   // --insert TEXT, or null
    const char* settings; // --settings PLAIN, or null
    bool entities;
};

int AuthorPack(const PackOptions& options);
int PackWrite(const char* folder, const char* data, const PackResult& result, const char* stored,
              size_t storedLength);
