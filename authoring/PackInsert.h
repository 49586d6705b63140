// pack's --insert TEXT made fit for the page and the settings.
//   PackInsertPlain  the insert text as the plain value 3 of the settings, in
//                    `coded`: in the page's encoding (UTF-8 where the page says
//                    so, else the encoding it declares, else the ANSI code page),
//                    each character that the settings can't hold or the encoding
//                    can't write as a reference where every {{insert}} stands
//                    where the page reads references (or with `entities`). Says
//                    in a line each what it did. 0 with the exit code in `code`
//                    when it can't (the place and the characters said)
#pragma once
#include "authoring/InsertText.h"

int PackInsertPlain(const char* pageName, const char* page, size_t length, const wchar_t* insert,
                    bool entities, InsertCoded* coded, int* code);
