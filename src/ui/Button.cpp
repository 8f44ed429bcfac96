#include "ui/Button.h"

#include <commctrl.h>

TButton::~TButton()
{
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
    RouteOwnMessages();
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

bool TButton::OwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    // Enter presses the focused button, as in a dialog; outside a dialog nothing else would.
    const bool pushButton = (GetWindowLongW(Handle_, GWL_STYLE) & BS_TYPEMASK) <= BS_DEFPUSHBUTTON;
    if (message == WM_GETDLGCODE && pushButton) {
        // The character Enter is translated into is taken too: left to the dialog navigation, it would be
        // looked up as a mnemonic after the click has hidden the button's window.
        if (const auto* key = reinterpret_cast<const MSG*>(lParam);
            key && ((key->message == WM_KEYDOWN && key->wParam == VK_RETURN) ||
                    (key->message == WM_CHAR && key->wParam == L'\r'))) {
            result = DLGC_WANTMESSAGE | DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
            return true;
        }
        return false;
    }
    if (message == WM_CHAR && wParam == L'\r' && pushButton) {
        result = 0;
        return true;
    }
    if (message == WM_KEYDOWN && wParam == VK_RETURN && pushButton) {
        Click();
        result = 0;
        return true;
    }
    if (message == WM_SETCURSOR && Cursor_ && LOWORD(lParam) == HTCLIENT) {
        SetCursor(Cursor_);
        result = TRUE;
        return true;
    }
    return false;
}

void TCheckBox::Create(const TControlArgs& args)
{
    CreateButton(BS_AUTOCHECKBOX | WS_TABSTOP, args);
}

void TCheckBox::CreateTriState(const TControlArgs& args)
{
    TriState_ = true;
    CreateButton(BS_3STATE | WS_TABSTOP, args);
}

void TCheckBox::SetChecked(bool checked)
{
    const UINT state = checked ? BST_CHECKED : BST_UNCHECKED;
    if (state == State())
        return;
    ShowState(state);
    Click();
}

bool TCheckBox::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    // A three-state box changes only when told: a click ticks it unless it is ticked, never to "some".
    if (TriState_ && message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
        ShowState(Checked() ? BST_UNCHECKED : BST_CHECKED);
    return TButton::Reflect(message, wParam, lParam, result);
}
