// The program's own folder, for the page URL.
//   ProgramDirectory  the executable's folder with its trailing backslash; "" when
//                     the system can't say
//   ProgramDirectoryWide  the same folder in wide characters when the ANSI code
//                     page can't spell it (ProgramDirectory then holds '?' or
//                     look-alikes); null when ProgramDirectory names it exactly
#pragma once
#include <wchar.h>

const char* ProgramDirectory();
const wchar_t* ProgramDirectoryWide();
