// The program driver: start-up, the main sequence, the one failure path and
// shut-down.
//   ProgramStart    heaps, libraries, common controls and the string base; a
//                   start-up allocation that fails ends the run through ProgramEnd
//   ProgramRun      the main sequence; never returns
//   ProgramFail     the "Lumivane" message box, then ProgramEnd
//   ProgramEnd      closes everything and exits with code 0
//   SettingsLoad    SettingsRead, or "Error: can't read the file" and the end
//   PageAssemble    PageBuild, or "Error: can't read the file" and the end
//   FragmentAppend  PageFragmentRead, or "Error: can't read the file" and the end
//   PageWrite       PageSave, or "Error: can't write the file" and the end
#pragma once
#include <windows.h>

void ProgramStart(HINSTANCE instance);
[[noreturn]] void ProgramRun();
[[noreturn]] void ProgramFail(const char* message);
[[noreturn]] void ProgramEnd();
void SettingsLoad();
void PageAssemble();
void FragmentAppend(const char* path);
void PageWrite();
