#include "ui/WindowClass.h"

void RegisterWindowClass(const TWindowClassArgs& args)
{
    WNDCLASSEXW existing{sizeof(existing)};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), args.Name, &existing))
        return;
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = args.Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = args.ArrowCursor ? LoadCursorW(nullptr, IDC_ARROW) : nullptr;
    wc.hIcon = args.AppIcon ? LoadIconW(GetModuleHandleW(nullptr), L"MAINICON") : nullptr;
    wc.hbrBackground = args.Background;
    wc.lpszClassName = args.Name;
    RegisterClassExW(&wc);
}

void MoveToSuggestedRect(HWND window, LPARAM lParam)
{
    const RECT* r = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}
