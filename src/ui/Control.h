#pragma once
// Base of the thin control adapters: a non-owning window handle (the parent destroys its children).
#include <windows.h>

class TControl {
public:
    TControl() = default;
    explicit TControl(HWND handle) : Handle_(handle) {}

    HWND Handle() const { return Handle_; }
    void Attach(HWND handle) { Handle_ = handle; }

    bool Visible() const { return IsWindowVisible(Handle_) != FALSE; }
    void SetVisible(bool visible) { ShowWindow(Handle_, visible ? SW_SHOWNA : SW_HIDE); }
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    RECT BoundsInParent() const;
    int Left() const { return BoundsInParent().left; }
    int Top() const { return BoundsInParent().top; }
    // Moves without resizing; coordinates are the parent's client coordinates in pixels.
    void MoveTo(int left, int top)
    {
        SetWindowPos(Handle_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void Repaint() { RedrawWindow(Handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

protected:
    HWND Handle_ = nullptr;
};
