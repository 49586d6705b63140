// A browser object of the tests' own: an IWebBrowser2 whose Navigate2 records
// what it was given, to stand behind a host window in place of the control.
#pragma once
#include <windows.h>
#include <ole2.h>

#ifdef __cplusplus
extern "C" {
#endif

struct FakeBrowserCalls {
    int navigations;
    int otherArgumentsNull; // Flags, TargetFrameName, PostData and Headers all null
    VARTYPE type;           // the URL variant's type
    WCHAR url[8192];        // the URL's text, cut to fit
    UINT urlLength;         // its whole length, from the BSTR
    LONG references;
};

// The object, as the pointer a host window keeps in its user data.
void* FakeBrowserObject(void);
struct FakeBrowserCalls* FakeBrowserRecord(void);
void FakeBrowserReset(void);

#ifdef __cplusplus
}
#endif
