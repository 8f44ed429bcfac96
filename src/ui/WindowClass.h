#pragma once
// The window classes of the program's own windows, and the object behind each window.
#include <windows.h>

struct TWindowClassArgs {
    const wchar_t* Name = nullptr;
    WNDPROC Proc = nullptr;
    HBRUSH Background = nullptr;
    bool ArrowCursor = true;
    bool AppIcon = false;
    // The procedure calls ReflectToControl (ui/Create.h) first, so its children's adapters need no
    // subclass on it.
    bool ReflectsControls = false;
};

// Registers the class unless this process already did.
void RegisterWindowClass(const TWindowClassArgs& args);
// True for the procedure of a class registered with ReflectsControls.
bool ReflectsControls(WNDPROC proc);

// The object given as the creation parameter of CreateWindowExW, kept from WM_NCCREATE on.
template <typename T>
T* WindowObject(HWND window, UINT message, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Moves a top-level window to the rectangle that WM_DPICHANGED suggests.
void MoveToSuggestedRect(HWND window, LPARAM lParam);

// Sizes a top-level window so that its client area is width x height design units (96 DPI) at its
// monitor's DPI, and centres it on the screen.
void SizeAndCentre(HWND window, int width, int height);
