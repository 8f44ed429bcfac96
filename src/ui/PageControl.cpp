#include "ui/PageControl.h"
#include "ui/WindowClass.h"

#include "ui/Create.h"
#include "ui/Dpi.h"


namespace {
const wchar_t kPanelClass[] = L"BrisfoldPanel";
}

LRESULT CALLBACK TPanel::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT result = 0; ReflectToControl(message, wParam, lParam, result))
        return result;
    if (message == WM_ERASEBKGND) {
        auto* self = static_cast<TPanel*>(TControl::FromHandle(window));
        COLORREF color = self ? self->BackColor_ : RGB(255, 255, 255);
        HBRUSH brush = CreateSolidBrush(color);
        RECT r;
        GetClientRect(window, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
        DeleteObject(brush);
        return 1;
    }
    // A multi-line edit asks its parent to close on Escape; a panel is part of its window and stays.
    if (message == WM_CLOSE)
        return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

void TPanel::RegisterWindowClass()
{
    ::RegisterWindowClass({.Name = kPanelClass, .Proc = WindowProc, .ReflectsControls = true});
}

namespace {
// Tab walks into a panel's controls as if they lay on the window itself.
TControlArgs HoldingControls(TControlArgs args)
{
    args.ExStyle |= WS_EX_CONTROLPARENT;
    return args;
}
} // namespace

void TPanel::Create(const TControlArgs& args)
{
    RegisterWindowClass();
    CreateControl(kPanelClass, WS_CLIPCHILDREN | WS_CLIPSIBLINGS, HoldingControls(args));
    HookParent(Handle_);
}

void TPanel::SetBackColor(COLORREF color)
{
    BackColor_ = color;
    InvalidateRect(Handle_, nullptr, TRUE);
}

TPageControl::~TPageControl()
{
    for (TPanel* page : Pages_)
        delete page;
}

void TPageControl::Create(const TControlArgs& args)
{
    TPanel::RegisterWindowClass();
    CreateControl(kPanelClass, WS_CLIPCHILDREN, HoldingControls(args));
    HookParent(Handle_);
}

TPanel& TPageControl::AddPage()
{
    auto* page = new TPanel;
    RECT r;
    GetClientRect(Handle_, &r);
    int dpi = DpiOf(Handle_);
    // Args are in 96-DPI units; give the client size back in those units.
    page->Create({.Parent = Handle_, .Width = MulDiv(r.right, 96, dpi), .Height = MulDiv(r.bottom, 96, dpi),
                  .Visible = false});
    SetWindowPos(page->Handle(), nullptr, 0, 0, r.right, r.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    Pages_.push_back(page);
    return *page;
}

void TPageControl::SetActivePageIndex(int index)
{
    Active_ = (index >= 0 && index < PageCount()) ? index : -1;
    for (int i = 0; i < PageCount(); ++i)
        Pages_[static_cast<size_t>(i)]->SetVisible(i == Active_);
}
