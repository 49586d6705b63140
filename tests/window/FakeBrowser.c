// The C form of the interface lets the tests fill only the slots they need.
#define CINTERFACE
#define COBJMACROS
#include "FakeBrowser.h"
#include <ole2.h>
#include <exdisp.h>
#include <string.h>

static struct FakeBrowserCalls gCalls;

static HRESULT STDMETHODCALLTYPE FakeQueryInterface(IWebBrowser2* self, REFIID iid, void** out) {
    (void)iid;
    *out = self;
    gCalls.references++;
    return S_OK;
}

static ULONG STDMETHODCALLTYPE FakeAddRef(IWebBrowser2* self) {
    (void)self;
    return (ULONG)++gCalls.references;
}

static ULONG STDMETHODCALLTYPE FakeRelease(IWebBrowser2* self) {
    (void)self;
    return (ULONG)--gCalls.references;
}

static HRESULT STDMETHODCALLTYPE FakeNavigate2(IWebBrowser2* self, VARIANT* url, VARIANT* flags,
                                               VARIANT* frame, VARIANT* post, VARIANT* headers) {
    (void)self;
    gCalls.navigations++;
    gCalls.otherArgumentsNull = !flags && !frame && !post && !headers;
    gCalls.type = url ? url->vt : VT_EMPTY;
    gCalls.url[0] = 0;
    gCalls.urlLength = 0;
    if (url && url->vt == VT_BSTR && url->bstrVal) {
        UINT length = SysStringLen(url->bstrVal);
        UINT kept = length < 8191 ? length : 8191;
        memcpy(gCalls.url, url->bstrVal, kept * sizeof(WCHAR));
        gCalls.url[kept] = 0;
        gCalls.urlLength = length;
    }
    return S_OK;
}

static IWebBrowser2Vtbl gTable;
static IWebBrowser2 gObject;

void* FakeBrowserObject(void) {
    gTable.QueryInterface = FakeQueryInterface;
    gTable.AddRef = FakeAddRef;
    gTable.Release = FakeRelease;
    gTable.Navigate2 = FakeNavigate2;
    gObject.lpVtbl = &gTable;
    return &gObject;
}

struct FakeBrowserCalls* FakeBrowserRecord(void) {
    return &gCalls;
}

void FakeBrowserReset(void) {
    memset(&gCalls, 0, sizeof gCalls);
}
