#pragma once
// Static text whose caption, colour, style, cursor and visibility change at run time.
#include "ui/Control.h"

#include <functional>
#include <string>

enum TFontStyle : unsigned { fsNone = 0, fsBold = 1, fsItalic = 2, fsUnderline = 4 };

class TLabel : public TControl {
public:
    std::wstring Caption() const;
    void SetCaption(const std::wstring& text);
    COLORREF FontColor() const { return Color_; }
    void SetFontColor(COLORREF color);
    unsigned FontStyle() const { return Style_; }
    void SetFontStyle(unsigned style);
    void SetCursor(HCURSOR cursor) { Cursor_ = cursor; }
    HCURSOR Cursor() const { return Cursor_; }

    std::function<void()> OnClick;
    std::function<void()> OnMouseMove;
    std::function<void()> OnMouseLeave;

protected:
    COLORREF Color_ = RGB(0, 0, 0);
    unsigned Style_ = fsNone;
    HCURSOR Cursor_ = nullptr;
};
