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
    SetWindowSubclass(list, ListProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

void TCellTips::Detach()
{
    if (List_ && IsWindow(List_))
        RemoveWindowSubclass(List_, ListProc, 0);
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

LRESULT CALLBACK TCellTips::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<TCellTips*>(data);
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
        if (message == WM_MOUSEMOVE)
            self->Follow(lParam);
        MSG msg{list, message, wParam, lParam, GetMessageTime(), {}};
        SendMessageW(self->Tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
        break;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == self->Tip_ && header->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            self->Text_ = CutCellText(list, self->Row_, self->Column_);
            info->lpszText = self->Text_.data();
            info->szText[0] = L'\0';
            info->hinst = nullptr;
            return 0;
        }
        break;
    }
    case WM_NCDESTROY:
        self->Detach();
        break;
    default: break;
    }
    return DefSubclassProc(list, message, wParam, lParam);
}
