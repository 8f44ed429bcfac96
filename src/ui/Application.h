#pragma once
// The program-wide error hook: every window procedure and timer of the adapters catches what its
// handler raises and passes it here instead of letting it unwind through the system's frames.
#include <windows.h>

#include <exception>
#include <functional>

struct TApplication {
    // Called with the error; when unset, the error is swallowed.
    std::function<void(std::exception_ptr)> OnException;
    // Set by Terminate(): the message loop ends when it next looks.
    bool Terminated = false;
    // What Run returns: the program's exit status.
    int ExitCode = 0;
    // The window whose controls the keyboard walks (Tab, Shift+Tab) as in a dialog; none when unset.
    HWND KeyboardWindow = nullptr;
    // Gives msg to KeyboardWindow's dialog navigation; true when it took the message.
    bool KeyboardMessage(MSG& msg) const;
    void Terminate();
    void HandleException(std::exception_ptr error);
    // Runs call, routing any error to HandleException; returns false when it raised.
    template <class F> bool Guard(F&& call)
    {
        try {
            call();
            return true;
        } catch (...) {
            HandleException(std::current_exception());
            return false;
        }
    }
    // The message loop of the program; returns ExitCode when Terminate was called or WM_QUIT arrived.
    int Run();
};

TApplication& Application();
