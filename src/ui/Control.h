#pragma once
// Base of the thin control adapters: a non-owning window handle (the parent destroys its children).
#include <windows.h>

#include <string>

enum TFontStyle : unsigned { fsNone = 0, fsBold = 1, fsItalic = 2, fsUnderline = 4 };

// Creation arguments, in 96-DPI units (scaled to the parent's DPI when the control is created).
struct TControlArgs {
    HWND Parent = nullptr;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    std::wstring Caption;
    DWORD Style = 0;   // added to the kind's own styles
    DWORD ExStyle = 0;
    std::wstring FontName = L"Tahoma";
    int FontHeight = 11; // pixels at 96 DPI
    unsigned FontStyle = 0;
    COLORREF Color = RGB(0, 0, 0);
    bool Visible = true;
    HCURSOR Cursor = nullptr;
    std::wstring Hint;
    bool WordWrap = false; // labels: wrap the caption within the width
};

std::wstring WindowText(HWND window);

class TControl {
public:
    TControl() = default;
    explicit TControl(HWND handle) : Handle_(handle) {}
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    HWND Handle() const { return Handle_; }

    bool Visible() const { return IsWindowVisible(Handle_) != FALSE; }
    // The control's own WS_VISIBLE flag, whatever its parents show (hidden test windows).
    bool VisibleFlag() const { return (GetWindowLongW(Handle_, GWL_STYLE) & WS_VISIBLE) != 0; }
    void SetVisible(bool visible) { ShowWindow(Handle_, visible ? SW_SHOWNA : SW_HIDE); }
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    RECT BoundsInParent() const;
    // The window's whole text, however long.
    std::wstring WindowText() const { return ::WindowText(Handle_); }
    int Left() const { return BoundsInParent().left; }
    int Top() const { return BoundsInParent().top; }
    int Width() const { RECT r = BoundsInParent(); return r.right - r.left; }
    int Height() const { RECT r = BoundsInParent(); return r.bottom - r.top; }
    // Moves without resizing; coordinates are the parent's client coordinates in pixels.
    void MoveTo(int left, int top)
    {
        SetWindowPos(Handle_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void Repaint() { RedrawWindow(Handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }
    void SetEnabled(bool enabled) { EnableWindow(Handle_, enabled ? TRUE : FALSE); }
    bool Enabled() const { return IsWindowEnabled(Handle_) != FALSE; }
    // The window text's width in pixels in the control's font.
    int TextWidth() const;
    // Widens the control where its text and the margin at both sides need more room: leftwards
    // (keepRight) or rightwards. A translation longer than the design's text then shows whole.
    void FitCaption(bool keepRight, int margin = 1);

    // Messages the parent receives about this control (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR...)
    // are handed back to it here; true when handled.
    virtual bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) { return false; }

    // The adapter behind a window created through the adapters (nullptr otherwise).
    static TControl* FromHandle(HWND handle);

    // The window moved to a monitor of another DPI: scale position, size and font.
    virtual void RescaleDpi(int oldDpi, int newDpi);
    int Dpi() const { return Dpi_; }

protected:
    // Creates the window, scales the args to the parent's DPI, links it to this adapter and makes
    // the parent hand control messages back.
    HWND CreateControl(const wchar_t* className, DWORD style, const TControlArgs& args);
    // The font of the design at the control's DPI.
    HFONT DesignFont(unsigned style) const;
    // Sends the window's own messages through OwnMessage first, for as long as window and adapter live.
    void RouteOwnMessages();
    // A message to the control itself; true when handled (result then holds the answer).
    virtual bool OwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) { return false; }
    // What the control's own class answers, for an OwnMessage that only adjusts the answer.
    LRESULT ClassAnswer(UINT message, WPARAM wParam, LPARAM lParam) const;
    HWND Handle_ = nullptr;
    int Dpi_ = 96;
    std::wstring FontName_ = L"Tahoma";
    int FontHeight_ = 11;
    unsigned FontStyle_ = 0;

private:
    static LRESULT CALLBACK OwnProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    WNDPROC ClassProc_ = nullptr;
};
