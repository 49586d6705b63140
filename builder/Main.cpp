#include "builder/Program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ProgramStart(GetModuleHandleA(nullptr));
    ProgramRun();
}
