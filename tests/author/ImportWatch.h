// Watches this program's own calls of a system function: its entry in the
// program's import table is pointed at a function of the test, which records
// the call and makes the real one. Nothing of the system is replaced.
#pragma once
#include <windows.h>

// The real function, or null when the program imports no such function.
void* ImportWatch(const char* dll, const char* function, void* watcher);
// Points the entry back at the real function.
void ImportUnwatch(const char* dll, const char* function, void* real);
