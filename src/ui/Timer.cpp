#include "ui/Timer.h"
#include "ui/WindowClass.h"

#include "ui/Application.h"


namespace {
const wchar_t kTimerClass[] = L"BrisfoldTimer";
}

LRESULT CALLBACK TTimer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        auto* self = reinterpret_cast<TTimer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && self->Enabled_)
            self->Fire();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TTimer::~TTimer()
{
    if (Window_)
        DestroyWindow(Window_);
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == Enabled_)
        return;
    Enabled_ = enabled;
    if (!Window_) {
        RegisterWindowClass({.Name = kTimerClass, .Proc = WindowProc, .ArrowCursor = false});
        // Each timer has its own message-only window, so a destroyed timer can never be called.
        Window_ = CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                  nullptr);
        SetWindowLongPtrW(Window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    if (enabled)
        SetTimer(Window_, 1, Interval_, nullptr);
    else
        KillTimer(Window_, 1);
}

void TTimer::Fire()
{
    if (OnTimer)
        Application().Guard([this] { OnTimer(); });
}
