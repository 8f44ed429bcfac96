#include "app/LeftItemsDialog.h"

#include "ui/Dialog.h"

#include <commctrl.h>

namespace {

TDialogTemplate Layout(const TLeftItemsView& view)
{
    TDialogTemplate t(view.Caption, 380, 200);
    t.AddLabel(view.Intro, 7, 7, 366, 10);
    t.Add({.ClassName = WC_LISTVIEWW, .Id = LeftItem::List,
           .Style = LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_BORDER | WS_TABSTOP,
           .Left = 7, .Top = 20, .Width = 366, .Height = 152});
    t.AddButton(IDCANCEL, view.Close, 323, 179, 50, 14, true);
    return t;
}

void SetCell(HWND list, int row, int column, std::wstring text)
{
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void Fill(const TDialog& dialog, const TLeftItemsView& view)
{
    const HWND list = dialog.Item(LeftItem::List);
    // Paths are long: a cut cell shows whole as the row's tip.
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_LABELTIP);
    dialog.AddListColumn(LeftItem::List, 0, view.ItemColumn, 220);
    dialog.AddListColumn(LeftItem::List, 1, view.ReasonColumn, 130);
    for (size_t i = 0; i < view.Rows.size(); ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        std::wstring text = view.Rows[i].Item;
        item.pszText = text.data();
        const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        SetCell(list, row, 1, view.Rows[i].Reason);
    }
    // Each column as wide as its longest cell, so a path is read whole by scrolling, not guessed.
    for (int column = 0; column < 2; ++column) {
        const int header = ListView_GetColumnWidth(list, column);
        ListView_SetColumnWidth(list, column, LVSCW_AUTOSIZE);
        if (ListView_GetColumnWidth(list, column) < header)
            ListView_SetColumnWidth(list, column, header);
    }
    if (!view.Rows.empty())
        ListView_SetItemState(list, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
}

} // namespace

void ShowLeftItemsDialog(HWND owner, const TLeftItemsView& view)
{
    TDialog dialog;
    dialog.OnInit = [&] { Fill(dialog, view); };
    dialog.ShowModal(owner, Layout(view));
}
