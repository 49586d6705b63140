#include "builder/PageUrl.h"
#include "base/Heap.h"
#include "base/Texts.h"
#include "builder/Directory.h"
#include <windows.h>
#include <shlwapi.h>
#include <string.h>

static Text gUrl;
static wchar_t* gWideUrl;

// A URL reads these as the start of a fragment, a query, an escape or
// parameters, so a folder's text that holds one no longer names the folder.
static const char kUrlCharacters[] = "#%;?";
static const wchar_t kUrlCharactersWide[] = L"#%;?";

const char* PageUrl() {
    TextSet(&gUrl, "file:\\\\", 7);
    const char* folder = ProgramDirectory();
    TextAppend(&gUrl, folder, strlen(folder));
    TextAppend(&gUrl, "data/1014.dat", 13);
    return TextGet(&gUrl);
}

// The form PageUrl has, in wide characters.
static wchar_t* PageUrlPlain(const wchar_t* folder) {
    static const wchar_t kScheme[] = L"file:\\\\";
    static const wchar_t kPage[] = L"data/1014.dat";
    // The folder's length is bounded by the module path's: no overflow.
    size_t bytes = wcslen(folder) * sizeof(wchar_t) + sizeof kScheme + sizeof kPage;
    wchar_t* url = (wchar_t*)HeapAlloc(HeapMain(), 0, bytes);
    if (!url) return nullptr;
    wcscpy(url, kScheme);
    wcscat(url, folder);
    wcscat(url, kPage);
    return url;
}

// The system's file URL of the page file: its escapes lead the system's own URL
// rules back to the path. Null when the system can't make one.
static wchar_t* PageUrlEscaped(const wchar_t* folder) {
    static const wchar_t kPage[] = L"data\\1014.dat";
    size_t length = wcslen(folder) + sizeof kPage / sizeof(wchar_t);
    // A character becomes at most nine, the escapes of its three UTF-8 bytes; the
    // folder is a module path's, under 32768 characters: no overflow.
    DWORD size = (DWORD)(length * 9 + 16);
    wchar_t* path = (wchar_t*)HeapAlloc(HeapMain(), 0, length * sizeof(wchar_t));
    wchar_t* url = (wchar_t*)HeapAlloc(HeapMain(), 0, size * sizeof(wchar_t));
    HRESULT result = E_OUTOFMEMORY;
    if (path && url) {
        wcscpy(path, folder);
        wcscat(path, kPage);
        result = UrlCreateFromPathW(path, url, &size, 0);
    }
    if (path) HeapFree(HeapMain(), 0, path);
    if (SUCCEEDED(result)) return url;
    if (url) HeapFree(HeapMain(), 0, url);
    return nullptr;
}

const wchar_t* PageUrlWide() {
    if (gWideUrl) HeapFree(HeapMain(), 0, gWideUrl);
    gWideUrl = nullptr;
    const wchar_t* wide = ProgramDirectoryWide();
    if (wide) {
        if (wcspbrk(wide, kUrlCharactersWide)) gWideUrl = PageUrlEscaped(wide);
        if (!gWideUrl) gWideUrl = PageUrlPlain(wide);
        return gWideUrl;
    }
    // The code page spells the folder exactly, so its bytes show these ASCII
    // characters; only then is it read into wide characters.
    const char* folder = ProgramDirectory();
    if (!strpbrk(folder, kUrlCharacters)) return nullptr;
    int length = MultiByteToWideChar(CP_ACP, 0, folder, -1, nullptr, 0);
    wchar_t* spelled =
        length > 0 ? (wchar_t*)HeapAlloc(HeapMain(), 0, (size_t)length * sizeof(wchar_t)) : nullptr;
    if (!spelled) return nullptr;
    MultiByteToWideChar(CP_ACP, 0, folder, -1, spelled, length);
    gWideUrl = PageUrlEscaped(spelled);
    HeapFree(HeapMain(), 0, spelled);
    return gWideUrl;
}
