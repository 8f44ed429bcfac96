#pragma once
// The program-wide error hook: every window procedure and timer of the adapters catches what its
// handler raises and passes it here instead of letting it unwind through the system's frames.
#include <exception>
#include <functional>

struct TApplication {
    // Called with the error; when unset, the error is swallowed.
    std::function<void(std::exception_ptr)> OnException;
    // Set by Terminate(): the message loop ends when it next looks.
    bool Terminated = false;
    // What Run returns: the program's exit status.
    int ExitCode = 0;
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
