#pragma once
// A window timer on the creating thread; OnTimer runs from the message loop.
#include <windows.h>

#include <functional>

class TTimer {
public:
    explicit TTimer(UINT interval = 1000) : Interval_(interval) {}
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    bool Enabled() const { return Enabled_; }
    void SetEnabled(bool enabled);
    UINT Interval() const { return Interval_; }
    // Runs OnTimer now, as the timer would.
    void Fire();

    std::function<void()> OnTimer;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    UINT Interval_;
    bool Enabled_ = false;
    HWND Window_ = nullptr;
};
