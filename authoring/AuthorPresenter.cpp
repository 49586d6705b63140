#include "authoring/AuthorPresenter.h"
#include "authoring/AuthorCheck.h"
#include "authoring/AuthorOutput.h"
#include <windows.h>
#include <stdio.h>
#include <string.h>

int PresenterBesideTool(char* path) {
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 0;
    char* slash = strrchr(path, '\\');
    if (!slash || (size_t)(slash + 1 - path) + sizeof "lumivane.exe" > MAX_PATH) return 0;
    strcpy(slash + 1, "lumivane.exe");
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The presenter shows the page file of its own folder, whatever its current
// folder: one from beside the tool would show the page of the tool's folder,
// so it is copied into the presentation's folder first.
static int PresenterPlace(const char* exe) {
    if (GetFileAttributesA(exe) != INVALID_FILE_ATTRIBUTES) return 1;
    char beside[MAX_PATH];
    if (!PresenterBesideTool(beside)) {
        ErrPrint("%s: missing, and no lumivane.exe stands beside lumivane-author.exe to show the "
                 "folder with\n",
                 exe);
        return 0;
    }
    size_t length = 0;
    char* bytes = AuthorFileRead(beside, &length);
    int ok = bytes && AuthorFileReplace(exe, bytes, length);
    AuthorFileFree(bytes);
    if (!ok) {
        ErrPrint("%s: can't copy the presenter there from %s\n", exe, beside);
        return 0;
    }
    OutPrint("%s: the presenter, copied from beside lumivane-author.exe\n", exe);
    return 1;
}

int AuthorShow(const char* folder) {
    char full[MAX_PATH], exe[MAX_PATH + 16];
    DWORD n = GetFullPathNameA(folder, sizeof full, full, nullptr);
    DWORD attributes = n && n < sizeof full ? GetFileAttributesA(full) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ErrPrint("%s: no such folder\n", folder);
        return 1;
    }
    while (n > 3 && (full[n - 1] == '\\' || full[n - 1] == '/')) full[--n] = 0;
    snprintf(exe, sizeof exe, "%s\\lumivane.exe", full);
    if (AuthorCheck(folder))
        OutPrint("%s: check found the problems above; the presenter shows the folder as it is\n",
                 folder);
    if (!PresenterPlace(exe)) return 1;
    OutPrint("%s: shown by %s until Escape ends it\n", folder, exe);
    char commandLine[MAX_PATH + 24];
    snprintf(commandLine, sizeof commandLine, "\"%s\"", exe);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // The presenter inherits no handle: the tool's output ends with the tool.
    if (!CreateProcessA(exe, commandLine, nullptr, nullptr, FALSE, 0, nullptr, full, &startup,
                        &process)) {
        ErrPrint("%s: can't start it (system error %lu)\n", exe, (unsigned long)GetLastError());
        return 1;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    OutPrint("%s: the presenter ended\n", folder);
    return 0;
}
