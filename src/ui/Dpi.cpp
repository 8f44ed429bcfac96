#include "ui/Dpi.h"

int DpiOf(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpi && window) {
        UINT dpi = getDpi(window);
        if (dpi)
            return static_cast<int>(dpi);
    }
    HDC dc = GetDC(nullptr);
    int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc)
        ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}

int ScaleTo(HWND window, int value)
{
    return MulDiv(value, DpiOf(window), 96);
}
