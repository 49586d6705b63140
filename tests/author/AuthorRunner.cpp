#include "AuthorRunner.h"
#include "../TestSupport.h"

static HANDLE InheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

static std::wstring Widened(UINT codePage, const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    int n = MultiByteToWideChar(codePage, 0, text.c_str(), -1, &wide[0], (int)wide.size());
    wide.resize(n > 0 ? (size_t)n - 1 : 0);
    return wide;
}

static AuthorOutcome AuthorRunWide(std::wstring arguments, const std::string& folder,
                                   const std::function<void(DWORD)>& started) {
    AuthorOutcome outcome;
    TempFolder streams;
    HANDLE out = InheritableFile(streams.File("out"));
    HANDLE err = InheritableFile(streams.File("err"));
    std::wstring exe = Widened(CP_ACP, ModuleFolder() + "lumivane-author.exe");
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    std::wstring directory = Widened(CP_ACP, folder);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    if (out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
        CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                       CREATE_NO_WINDOW | (started ? CREATE_SUSPENDED : 0), nullptr,
                       folder.empty() ? nullptr : directory.c_str(), &startup, &process)) {
        outcome.started = true;
        if (started) {
            started(process.dwProcessId);
            ResumeThread(process.hThread);
        }
        CloseHandle(process.hThread);
        if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 99);
        GetExitCodeProcess(process.hProcess, &outcome.exitCode);
        CloseHandle(process.hProcess);
    }
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
    ReadWholeFile(streams.File("out"), &outcome.out);
    ReadWholeFile(streams.File("err"), &outcome.err);
    return outcome;
}

AuthorOutcome AuthorRun(const std::string& arguments, const std::string& folder,
                        const std::function<void(DWORD)>& started) {
    return AuthorRunWide(Widened(CP_ACP, arguments), folder, started);
}

AuthorOutcome AuthorRunUtf8(const std::string& arguments, const std::string& folder) {
    return AuthorRunWide(Widened(CP_UTF8, arguments), folder, nullptr);
}

bool WriteSparseFile(const std::string& path, const std::string& bytes, int64_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    LARGE_INTEGER end;
    end.QuadPart = size;
    bool ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr) &&
              SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}
