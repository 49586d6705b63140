// Reads the first browser navigation of a Wine trace (+ieframe) on standard input,
// takes its URL back to a path with the system's own call, and says whether that
// path is data\1014.dat in the current folder and the URL is one no reader can
// take for another: no raw '#' or '?', every '%' an escape. Exit code 0 when so.
//   lumivane_url_path.exe <trace
#include <windows.h>
#include <shlwapi.h>
#include <stdio.h>
#include <wctype.h>
#include <string>

// Wine writes the text as L"...", with \\, \" and \xxxx (hex) escapes; the control
// characters it writes otherwise never stand in a path.
static bool TraceText(const std::string& line, std::wstring* text) {
    size_t at = line.find("L\"");
    if (at == std::string::npos) return false;
    for (at += 2; at < line.size() && line[at] != '"'; at++) {
        if (line[at] != '\\') {
            *text += (wchar_t)(unsigned char)line[at];
            continue;
        }
        char next = ++at < line.size() ? line[at] : 0;
        if (isxdigit((unsigned char)next) && at + 4 <= line.size()) {
            *text += (wchar_t)strtoul(line.substr(at, 4).c_str(), nullptr, 16);
            at += 3;
        } else
            *text += (wchar_t)next;
    }
    return at < line.size();
}

static bool Strict(const std::wstring& url) {
    for (size_t at = 0; at < url.size(); at++) {
        if (url[at] == L'#' || url[at] == L'?') return false;
        if (url[at] == L'%' &&
            !(at + 2 < url.size() && iswxdigit(url[at + 1]) && iswxdigit(url[at + 2])))
            return false;
    }
    return true;
}

static std::string Utf8(const std::wstring& text) {
    char bytes[4096];
    int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), bytes,
                                     sizeof bytes, nullptr, nullptr);
    return std::string(bytes, length > 0 ? length : 0);
}

int main() {
    std::string line;
    for (int c; (c = getchar()) != EOF && c != '\n';) line += (char)c;
    std::wstring url;
    if (line.find("WebBrowser_Navigate2") == std::string::npos || !TraceText(line, &url)) {
        printf("no navigation in the trace: %s\n", line.c_str());
        return 1;
    }
    wchar_t path[MAX_PATH * 4], page[MAX_PATH * 4];
    DWORD size = MAX_PATH * 4;
    if (FAILED(PathCreateFromUrlW(url.c_str(), path, &size, 0))) path[0] = 0;
    GetFullPathNameW(L"data\\1014.dat", MAX_PATH * 4, page, nullptr);
    bool home = wcscmp(path, page) == 0, strict = Strict(url);
    if (home && strict) return 0;
    printf("the URL %s", Utf8(url).c_str());
    if (!home) printf(" reads back as %s, not %s", Utf8(path).c_str(), Utf8(page).c_str());
    if (!strict) printf(" holds a raw # or ?, or a %% that begins no escape");
    printf("\n");
    return 1;
}
