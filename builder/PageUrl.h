// The address at which the presentation shows the page file.
//   PageUrl      "file:\\" + the program's folder + "data/1014.dat"
//   PageUrlWide  the address to use instead, in wide characters, when PageUrl
//                can't name the page file; null when it can. A folder holding
//                a character that a URL gives meaning to ('#', '%', ';', '?')
//                gets the system's own file URL of the page file's path; one
//                the ANSI code page can't spell otherwise gets PageUrl's form
#pragma once
#include <wchar.h>

const char* PageUrl();
const wchar_t* PageUrlWide();
