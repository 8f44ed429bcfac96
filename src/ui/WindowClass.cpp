#include "ui/WindowClass.h"

#include "ui/Dpi.h"

#include <mutex>
#include <set>

namespace {

std::mutex ProcsLock;
std::set<WNDPROC>& ReflectingProcs()
{
    static std::set<WNDPROC> procs;
    return procs;
}

} // namespace

bool ReflectsControls(WNDPROC proc)
{
    std::lock_guard<std::mutex> lock(ProcsLock);
    return ReflectingProcs().count(proc) != 0;
}

void RegisterWindowClass(const TWindowClassArgs& args)
{
    if (args.ReflectsControls) {
        std::lock_guard<std::mutex> lock(ProcsLock);
        ReflectingProcs().insert(args.Proc);
    }
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

void SizeAndCentre(HWND window, int width, int height)
{
    RECT r{0, 0, ScaleTo(window, width), ScaleTo(window, height)};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w,
                 h, SWP_NOZORDER | SWP_NOACTIVATE);
}
