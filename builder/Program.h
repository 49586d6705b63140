// The program driver: start-up, the main sequence, the one failure path and
// shut-down.
//   ProgramStart      heaps, libraries, common controls and the string base
//   ProgramRun        the main sequence; never returns
//   ProgramFail       the "Lumivane" message box, then ProgramEnd
//   ProgramEnd        closes everything and exits with code 0
//   ProgramDirectory  the executable's folder with its trailing backslash
//   ProgramInstance   the module handle kept at start-up
//   ProgramHeap       the main heap
#pragma once
#include <windows.h>

void ProgramStart(HINSTANCE instance);
[[noreturn]] void ProgramRun();
[[noreturn]] void ProgramFail(const char* message);
[[noreturn]] void ProgramEnd();
const char* ProgramDirectory();
HINSTANCE ProgramInstance();
HANDLE ProgramHeap();
