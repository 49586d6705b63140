// The browser gadget: the system's web-browser control ("Shell.Explorer.1")
// in a host window of ATL's "AtlAxWin" class, driven through IWebBrowser2.
// "ATL.DLL" is loaded and initialised once per process, on the first creation
// that finds it; a creation that does not find it tries again next time.
//   BrowserGadgetCreate  a browser gadget under a number (-1: any number) at a
//                        place in the gadget parent, navigated to a URL; the host
//                        window's handle (the identifier for the any number), 0 on
//                        failure. Without ATL nothing changes, not even a gadget
//                        living under the number
//   BrowserNavigate      starts loading a URL, exactly as given, in a host window;
//                        an empty URL or a control without IWebBrowser2 does nothing
//   BrowserNavigateWide  the same for a URL in wide characters, for what the ANSI
//                        code page can't spell
// The host window holds its IWebBrowser2 in its user data and releases it when
// it is destroyed; the library's property on it goes then too.
#pragma once
#include <windows.h>
#include <stdint.h>

intptr_t BrowserGadgetCreate(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height,
                             const char* url);
void BrowserNavigate(HWND host, const char* url);
void BrowserNavigateWide(HWND host, const wchar_t* url);
