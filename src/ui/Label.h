#pragma once
// Static text whose caption, colour, style, cursor and visibility change at run time.
#include "ui/Control.h"

#include <functional>
#include <string>

class TLabel : public TControl {
public:
    TLabel() = default;
    // A STATIC control; args.Color and args.FontStyle give the initial colour and style.
    // The caption stays on one line unless args.WordWrap is set.
    void Create(const TControlArgs& args);

    std::wstring Caption() const;
    void SetCaption(const std::wstring& text);
    COLORREF FontColor() const { return Color_; }
    void SetFontColor(COLORREF color);
    unsigned FontStyle() const { return Style_; }
    void SetFontStyle(unsigned style);
    void SetCursor(HCURSOR cursor) { Cursor_ = cursor; }
    HCURSOR Cursor() const { return Cursor_; }
    // Background: the parent shows through (for labels over pictures) or a solid colour.
    void SetTransparent(bool transparent);
    void SetBackColor(COLORREF color);
    // The font the control draws with now (face, height and style applied).
    HFONT Font() const { return reinterpret_cast<HFONT>(SendMessageW(Handle_, WM_GETFONT, 0, 0)); }

    std::function<void()> OnClick;
    std::function<void()> OnMouseMove;
    std::function<void()> OnMouseLeave;

    // Runs OnClick as a click with the mouse would.
    void Click() { if (OnClick) OnClick(); }

    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void RescaleDpi(int oldDpi, int newDpi) override;
    // Runs the mouse handlers as a mouse message would (tests, keyboard-less use).
    LRESULT HandleMouse(UINT message, WPARAM wParam, LPARAM lParam);
    // A label made with WS_TABSTOP takes the keyboard focus: it is underlined while it has it, and
    // Enter or Space act as a click.
    bool Focused() const { return Focused_; }

protected:
    COLORREF Color_ = RGB(0, 0, 0);
    unsigned Style_ = fsNone;
    HCURSOR Cursor_ = nullptr;

private:
    bool OwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void ApplyFont();
    void Invalidate();
    bool Transparent_ = false;
    COLORREF BackColor_ = RGB(255, 255, 255);
    HBRUSH BackBrush_ = nullptr;
    bool Tracking_ = false;
    bool Pressed_ = false;
    bool Focused_ = false;

public:
    ~TLabel() override;
};
