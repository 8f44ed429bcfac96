#include "ui/Application.h"

#include <windows.h>

TApplication& Application()
{
    static TApplication application;
    return application;
}

void TApplication::Terminate()
{
    Terminated = true;
    PostQuitMessage(0);
}

void TApplication::HandleException(std::exception_ptr error)
{
    if (!OnException)
        return;
    // The hook itself must not raise into the system's frames either.
    try {
        OnException(error);
    } catch (...) {
    }
}

bool TApplication::KeyboardMessage(MSG& msg) const
{
    // Never a message of a hidden window: Wine's dialog navigation then walks the window tree for ever.
    return KeyboardWindow && IsWindow(KeyboardWindow) && IsWindowVisible(msg.hwnd) &&
           IsDialogMessageW(KeyboardWindow, &msg);
}

int TApplication::Run()
{
    MSG msg;
    while (!Terminated) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        Guard([&] {
            if (KeyboardMessage(msg))
                return;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        });
    }
    return ExitCode;
}
