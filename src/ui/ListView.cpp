#include "ui/ListView.h"

#include <windowsx.h>

#include <climits>

namespace {
// The list's own calls set many ticks; the count is kept by them, not per notification.
class TQuiet {
public:
    explicit TQuiet(bool& flag) : Flag_(flag), Was_(flag) { Flag_ = true; }
    ~TQuiet() { Flag_ = Was_; }
    TQuiet(const TQuiet&) = delete;
    TQuiet& operator=(const TQuiet&) = delete;

private:
    bool& Flag_;
    bool Was_;
};
} // namespace

void TListView::Create(const TControlArgs& args)
{
    CreateControl(WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP, args);
    if (!Handle_)
        return;
    RouteOwnMessages();
    // Check boxes must be on before the first row is added.
    ListView_SetExtendedListViewStyle(Handle_, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES);
    Tips_.AttachRouted(Handle_);
}

void TListView::FitColumns(TColumnFit fit)
{
    FitListColumns(Handle_, fit);
}

void TListView::AddColumn(const std::wstring& caption, int width96)
{
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(caption.c_str());
    column.cx = MulDiv(width96, Dpi_, 96);
    column.iSubItem = ColumnCount();
    SendMessageW(Handle_, LVM_INSERTCOLUMNW, column.iSubItem, reinterpret_cast<LPARAM>(&column));
}

int TListView::ColumnCount() const
{
    HWND header = ListView_GetHeader(Handle_);
    return header ? Header_GetItemCount(header) : 0;
}

std::wstring TListView::ColumnCaption(int column) const
{
    wchar_t buffer[260] = {};
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT;
    col.pszText = buffer;
    col.cchTextMax = 260;
    SendMessageW(Handle_, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&col));
    return buffer;
}

int TListView::ColumnWidth(int column) const
{
    return ListView_GetColumnWidth(Handle_, column);
}

void TListView::SetSmallImages(HIMAGELIST images)
{
    ListView_SetImageList(Handle_, images, LVSIL_SMALL);
}

int TListView::Count() const
{
    return ListView_GetItemCount(Handle_);
}

void TListView::Clear()
{
    {
        TQuiet quiet(Quiet_);
        ListView_DeleteAllItems(Handle_);
    }
    CheckedCount_ = 0;
    ChecksChanged();
}

int TListView::AddItem(const std::wstring& caption, const std::vector<std::wstring>& subItems, int imageIndex,
                       bool checked, LPARAM data)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = INT_MAX; // past the end appends, without asking for the count
    item.pszText = const_cast<wchar_t*>(caption.c_str());
    item.iImage = imageIndex;
    item.lParam = data;
    TQuiet quiet(Quiet_);
    int index = static_cast<int>(SendMessageW(Handle_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0)
        return index;
    for (size_t i = 0; i < subItems.size(); ++i)
        SetSubItem(index, static_cast<int>(i) + 1, subItems[i]);
    ListView_SetCheckState(Handle_, index, checked ? TRUE : FALSE);
    CheckedCount_ += Checked(index) ? 1 : 0;
    ChecksChanged();
    return index;
}

LPARAM TListView::Data(int index) const
{
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return SendMessageW(Handle_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

void TListView::Delete(int index)
{
    const bool checked = Checked(index);
    bool deleted = false;
    {
        TQuiet quiet(Quiet_);
        deleted = ListView_DeleteItem(Handle_, index) != FALSE;
    }
    if (!deleted)
        return;
    CheckedCount_ -= checked ? 1 : 0;
    ChecksChanged();
}

std::wstring TListView::Caption(int index) const
{
    return SubItem(index, 0);
}

std::wstring TListView::SubItem(int index, int column) const
{
    // The control copies at most the buffer size; grow until the text fits.
    std::wstring text;
    for (int size = 256; size <= (1 << 20); size *= 4) {
        text.assign(static_cast<size_t>(size), L'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = size;
        int got = static_cast<int>(SendMessageW(Handle_, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)));
        if (got < size - 1) {
            text.resize(static_cast<size_t>(got > 0 ? got : 0));
            return text;
        }
    }
    text.resize(wcslen(text.c_str()));
    return text;
}

void TListView::SetSubItem(int index, int column, const std::wstring& text)
{
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(Handle_, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
}

bool TListView::Checked(int index) const
{
    return ListView_GetCheckState(Handle_, index) != FALSE;
}

void TListView::SetChecked(int index, bool checked)
{
    if (index < 0 || index >= Count() || Checked(index) == checked)
        return;
    {
        TQuiet quiet(Quiet_);
        ListView_SetCheckState(Handle_, index, checked ? TRUE : FALSE);
    }
    if (Checked(index) == checked) {
        CheckedCount_ += checked ? 1 : -1;
        ChecksChanged();
    }
}

void TListView::SetAllChecked(bool checked)
{
    {
        TQuiet quiet(Quiet_);
        for (int i = 0, n = Count(); i < n; ++i)
            ListView_SetCheckState(Handle_, i, checked ? TRUE : FALSE);
    }
    CountChecks();
    ChecksChanged();
}

void TListView::CountChecks()
{
    CheckedCount_ = 0;
    for (int i = 0, n = Count(); i < n; ++i)
        CheckedCount_ += Checked(i) ? 1 : 0;
}

void TListView::ChecksChanged()
{
    if (OnChecksChanged)
        OnChecksChanged();
}

int TListView::ImageIndex(int index) const
{
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    if (!SendMessageW(Handle_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return -1;
    return item.iImage;
}

void TListView::SetImageIndex(int index, int imageIndex)
{
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    item.iImage = imageIndex;
    SendMessageW(Handle_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TListView::RescaleDpi(int oldDpi, int newDpi)
{
    TControl::RescaleDpi(oldDpi, newDpi);
    for (int c = 0, n = ColumnCount(); c < n; ++c)
        ListView_SetColumnWidth(Handle_, c, MulDiv(ColumnWidth(c), newDpi, oldDpi));
}

std::vector<int> TListView::Selected() const
{
    std::vector<int> rows;
    for (int i = ListView_GetNextItem(Handle_, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(Handle_, i, LVNI_SELECTED))
        rows.push_back(i);
    return rows;
}

int TListView::FirstSelected() const
{
    return ListView_GetNextItem(Handle_, -1, LVNI_SELECTED);
}

void TListView::SetSelected(int index, bool selected)
{
    ListView_SetItemState(Handle_, index, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

int TListView::Focused() const
{
    return ListView_GetNextItem(Handle_, -1, LVNI_FOCUSED);
}

void TListView::SetFocused(int index)
{
    ListView_SetItemState(Handle_, index, LVIS_FOCUSED, LVIS_FOCUSED);
}

POINT TListView::KeyboardMenuPoint() const
{
    POINT point{4, 4};
    RECT client{}, row{}, visible{};
    GetClientRect(Handle_, &client);
    const int focused = Focused();
    if (focused >= 0 && ListView_GetItemRect(Handle_, focused, &row, LVIR_LABEL) &&
        IntersectRect(&visible, &row, &client))
        point = {visible.left + 4, visible.bottom};
    ClientToScreen(Handle_, &point);
    return point;
}

bool TListView::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_CONTEXTMENU && OnContextMenu) {
        // Keys give -1 for both coordinates; a click gives where it was.
        const bool keyboard = lParam == -1;
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        int row = Focused();
        if (!keyboard) {
            LVHITTESTINFO hit{};
            hit.pt = point;
            ScreenToClient(Handle_, &hit.pt);
            row = ListView_HitTest(Handle_, &hit);
            if (!(hit.flags & LVHT_ONITEM))
                row = -1;
        }
        OnContextMenu(keyboard ? KeyboardMenuPoint() : point, row);
        result = 0;
        return true;
    }
    if (message != WM_NOTIFY)
        return false;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == LVN_ITEMCHANGED && !Quiet_) {
        // A tick the user set with the mouse or the space bar.
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((change->uChanged & LVIF_STATE) && IsChecked(change->uOldState) != IsChecked(change->uNewState)) {
            if (change->iItem < 0)
                CountChecks();
            else
                CheckedCount_ += IsChecked(change->uNewState) ? 1 : -1;
            ChecksChanged();
        }
        return false;
    }
    if (header->code == LVN_KEYDOWN && OnKeyDown &&
        OnKeyDown(reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey)) {
        result = 0;
        return true;
    }
    return false;
}

bool TListView::OwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (Tips_.ListMessage(message, wParam, lParam, result))
        return true;
    // The context-menu key asks for the menu when it is released. Not every system's default handling
    // does that for a list view, so the list asks itself, and the key goes no further: never two menus.
    if (message == WM_KEYUP && wParam == VK_APPS) {
        SendMessageW(Handle_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle_), -1);
        result = 0;
        return true;
    }
    return false;
}
