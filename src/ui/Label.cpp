#include "ui/Label.h"

void TLabel::Create(const TControlArgs& args)
{
    Style_ = args.FontStyle;
    Color_ = args.Color;
    Cursor_ = args.Cursor;
    DWORD align = (args.WordWrap || (args.Style & SS_TYPEMASK)) ? 0 : SS_LEFTNOWORDWRAP;
    // SS_NOTIFY makes the control answer hit tests, so that it sees the mouse at all.
    CreateControl(L"STATIC", align | SS_NOTIFY | SS_NOPREFIX, args);
    if (Handle_) {
        ApplyFont();
        RouteOwnMessages();
    }
}

TLabel::~TLabel()
{
    if (BackBrush_)
        DeleteObject(BackBrush_);
}

std::wstring TLabel::Caption() const { return WindowText(); }

void TLabel::SetCaption(const std::wstring& text)
{
    SetWindowTextW(Handle_, text.c_str());
    Invalidate();
}

void TLabel::SetFontColor(COLORREF color)
{
    if (color == Color_)
        return;
    Color_ = color;
    Invalidate();
}

void TLabel::SetFontStyle(unsigned style)
{
    if (style == Style_)
        return;
    Style_ = style;
    ApplyFont();
}

void TLabel::SetTransparent(bool transparent)
{
    Transparent_ = transparent;
    Invalidate();
}

void TLabel::SetBackColor(COLORREF color)
{
    BackColor_ = color;
    if (BackBrush_) {
        DeleteObject(BackBrush_);
        BackBrush_ = nullptr;
    }
    Invalidate();
}

void TLabel::ApplyFont()
{
    if (!Handle_)
        return;
    const unsigned shown = Focused_ ? Style_ | fsUnderline : Style_;
    SendMessageW(Handle_, WM_SETFONT, reinterpret_cast<WPARAM>(DesignFont(shown)), FALSE);
    Invalidate();
}

void TLabel::Invalidate()
{
    if (!Handle_)
        return;
    if (Transparent_) {
        // The parent must repaint what lies under the old text.
        HWND parent = GetParent(Handle_);
        RECT r = BoundsInParent();
        InvalidateRect(parent, &r, TRUE);
    }
    InvalidateRect(Handle_, nullptr, TRUE);
}

void TLabel::RescaleDpi(int oldDpi, int newDpi)
{
    TControl::RescaleDpi(oldDpi, newDpi);
    ApplyFont();
}

bool TLabel::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message != WM_CTLCOLORSTATIC)
        return false;
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, Color_);
    if (Transparent_) {
        SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    } else {
        SetBkColor(dc, BackColor_);
        if (!BackBrush_)
            BackBrush_ = CreateSolidBrush(BackColor_);
        result = reinterpret_cast<LRESULT>(BackBrush_);
    }
    return true;
}

LRESULT TLabel::HandleMouse(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        if (!Tracking_ && Handle_) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle_, 0};
            Tracking_ = TrackMouseEvent(&track) != FALSE;
        }
        if (OnMouseMove)
            OnMouseMove();
        return 0;
    case WM_MOUSELEAVE:
        Tracking_ = false;
        Pressed_ = false;
        if (OnMouseLeave)
            OnMouseLeave();
        return 0;
    case WM_LBUTTONDOWN:
        Pressed_ = true;
        return 0;
    case WM_LBUTTONUP:
        if (Pressed_) {
            Pressed_ = false;
            if (OnClick)
                OnClick();
        }
        return 0;
    default:
        return 0;
    }
}

bool TLabel::OwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        result = HandleMouse(message, wParam, lParam);
        return true;
    case WM_GETDLGCODE:
        // Enter would otherwise go to the window as a dialog's default button.
        if (const auto* key = reinterpret_cast<const MSG*>(lParam);
            key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
            result = DLGC_WANTMESSAGE | DLGC_STATIC;
            return true;
        }
        return false;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_SPACE) {
            Click();
            result = 0;
            return true;
        }
        return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Focused_ = message == WM_SETFOCUS;
        ApplyFont();
        return false;
    case WM_SETCURSOR:
        if (Cursor_ && LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(Cursor_);
            result = TRUE;
            return true;
        }
        return false;
    default:
        return false;
    }
}
