#include "ui/Button.h"

#include "ui/Application.h"

#include <commctrl.h>

TButton::~TButton()
{
    if (Handle_ && IsWindow(Handle_))
        RemoveWindowSubclass(Handle_, SubclassProc, 1);
    if (ToolTip_ && IsWindow(ToolTip_))
        DestroyWindow(ToolTip_);
}

void TButton::Create(const TControlArgs& args)
{
    CreateButton(BS_PUSHBUTTON | WS_TABSTOP, args);
}

void TButton::CreateButton(DWORD style, const TControlArgs& args)
{
    Cursor_ = args.Cursor;
    CreateControl(L"BUTTON", style, args);
    if (!Handle_)
        return;
    SetWindowSubclass(Handle_, SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    SetHint(args.Hint);
}

std::wstring TButton::Caption() const { return WindowText(); }

void TButton::SetHint(const std::wstring& hint)
{
    Hint_ = hint;
    if (!Handle_ || hint.empty())
        return;
    if (!ToolTip_) {
        ToolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   GetAncestor(Handle_, GA_ROOT), nullptr, GetModuleHandleW(nullptr), nullptr);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = GetParent(Handle_);
        tool.uId = reinterpret_cast<UINT_PTR>(Handle_);
        tool.lpszText = Hint_.data();
        SendMessageW(ToolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = GetParent(Handle_);
        tool.uId = reinterpret_cast<UINT_PTR>(Handle_);
        tool.lpszText = Hint_.data();
        SendMessageW(ToolTip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void TButton::Click()
{
    if (OnClick)
        OnClick();
}

bool TButton::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        Click();
        result = 0;
        return true;
    }
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
        // Check boxes sit on white pages.
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        result = reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        return true;
    }
    return false;
}

LRESULT CALLBACK TButton::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data)
{
    auto* self = reinterpret_cast<TButton*>(data);
    if (message == WM_SETCURSOR && self->Cursor_ && LOWORD(lParam) == HTCLIENT) {
        SetCursor(self->Cursor_);
        return TRUE;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, SubclassProc, 1);
        self->Handle_ = nullptr;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void TCheckBox::Create(const TControlArgs& args)
{
    CreateButton(BS_AUTOCHECKBOX | WS_TABSTOP, args);
}

void TCheckBox::SetChecked(bool checked)
{
    if (checked == Checked())
        return;
    SendMessageW(Handle_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    Click();
}
