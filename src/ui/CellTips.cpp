#include "ui/CellTips.h"

#include "ui/ListColumns.h"

#include <commctrl.h>
#include <windowsx.h>

TCellTips::~TCellTips()
{
    Detach();
}

void TCellTips::Attach(HWND list)
{
    AttachRouted(list);
    if (Tip_)
        Hooked_ = SetWindowSubclass(list, ListProc, 0, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

void TCellTips::AttachRouted(HWND list)
{
    Detach();
    Tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, list, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    if (!Tip_)
        return;
    List_ = list;
    // One tool, the whole list; its text is asked for each time it shows. The list hands the mouse on
    // itself (no subclassing by the tip), so the cell is known before the tip sees the move.
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = list;
    tool.uId = reinterpret_cast<UINT_PTR>(list);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(Tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TCellTips::Detach()
{
    if (Hooked_ && IsWindow(List_))
        RemoveWindowSubclass(List_, ListProc, 0);
    Hooked_ = false;
    if (Tip_ && IsWindow(Tip_))
        DestroyWindow(Tip_);
    List_ = nullptr;
    Tip_ = nullptr;
}

void TCellTips::Follow(LPARAM point)
{
    LVHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    SendMessageW(List_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    const bool onCell = hit.iItem >= 0 && (hit.flags & LVHT_ONITEM);
    const int row = onCell ? hit.iItem : -1;
    const int column = onCell ? hit.iSubItem : -1;
    if (row == Row_ && column == Column_)
        return;
    // Another cell: the tip of the last one goes, and the next shows after the usual pause.
    Row_ = row;
    Column_ = column;
    SendMessageW(Tip_, TTM_POP, 0, 0);
}

bool TCellTips::ListMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (!Tip_)
        return false;
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
        if (message == WM_MOUSEMOVE)
            Follow(lParam);
        MSG msg{List_, message, wParam, lParam, GetMessageTime(), {}};
        SendMessageW(Tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
        return false;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom != Tip_ || header->code != TTN_GETDISPINFOW)
            return false;
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        Text_ = CutCellText(List_, Row_, Column_);
        info->lpszText = Text_.data();
        info->szText[0] = L'\0';
        info->hinst = nullptr;
        result = 0;
        return true;
    }
    default: return false;
    }
}

LRESULT CALLBACK TCellTips::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<TCellTips*>(data);
    if (message == WM_NCDESTROY) {
        self->Detach();
    } else if (LRESULT result = 0; self->ListMessage(message, wParam, lParam, result)) {
        return result;
    }
    return DefSubclassProc(list, message, wParam, lParam);
}
