#include "ui/LineList.h"

#include <algorithm>

namespace {
// Posted to the control itself: the new row count is handed over when the message loop gets to it.
const UINT kFlushMessage = WM_APP + 0x52;
const wchar_t kNewLine[] = L"\r\n";
} // namespace

void TLineList::Create(const TControlArgs& args)
{
    CreateControl(WC_LISTVIEWW,
                  LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS | WS_TABSTOP, args);
    if (!Handle_)
        return;
    RouteOwnMessages();
    ListView_SetExtendedListViewStyle(Handle_, LVS_EX_FULLROWSELECT);
    AddColumn(L"", 0);
    FitColumn();
}

void TLineList::Clear()
{
    Own_.clear();
    Tail_.reset();
    Longest_ = 0;
    Changed();
}

void TLineList::Add(const std::wstring& line)
{
    if (Tail_) {
        // A line after the shared ones: from here on the lines are all the adapter's own.
        Own_.insert(Own_.end(), Tail_->begin(), Tail_->end());
        Tail_.reset();
    }
    Own_.push_back(line);
    Measure(line);
    Changed();
}

void TLineList::ShareTail(std::shared_ptr<const std::vector<std::wstring>> lines)
{
    if (Tail_)
        Own_.insert(Own_.end(), Tail_->begin(), Tail_->end());
    Tail_ = std::move(lines);
    if (Tail_)
        for (const std::wstring& line : *Tail_)
            Measure(line);
    Changed();
}

const std::wstring& TLineList::Line(int index) const
{
    const auto i = static_cast<size_t>(index);
    if (index >= 0 && i >= Own_.size() && Tail_)
        return Tail_->at(i - Own_.size());
    return Own_.at(i);
}

void TLineList::SetLine(int index, const std::wstring& text)
{
    Own_.at(static_cast<size_t>(index)) = text;
    Measure(text);
    Changed();
}

std::vector<std::wstring> TLineList::Lines() const
{
    std::vector<std::wstring> lines;
    lines.reserve(static_cast<size_t>(Count()));
    lines.insert(lines.end(), Own_.begin(), Own_.end());
    if (Tail_)
        lines.insert(lines.end(), Tail_->begin(), Tail_->end());
    return lines;
}

std::wstring TLineList::Text() const
{
    std::wstring text;
    for (int i = 0, n = Count(); i < n; ++i) {
        if (i)
            text += kNewLine;
        text += Line(i);
    }
    return text;
}

void TLineList::ScrollToEnd()
{
    ScrollPending_ = true;
    Changed();
}

void TLineList::SetHeadLines(int count)
{
    HeadLines_ = std::max(0, count);
    Changed();
}

void TLineList::Changed()
{
    Pending_ = true;
    if (!Posted_ && Handle_)
        Posted_ = PostMessageW(Handle_, kFlushMessage, 0, 0) != FALSE;
}

void TLineList::Measure(const std::wstring& line)
{
    Longest_ = std::max(Longest_, line.size());
}

void TLineList::FitColumn()
{
    // The rows are in a fixed-pitch font as a rule; a little more than the longest row keeps it whole.
    HDC dc = GetDC(Handle_);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(Handle_, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(Handle_, dc);
    RECT client{};
    GetClientRect(Handle_, &client);
    const int wanted = static_cast<int>(std::min<size_t>(Longest_, 4096)) * metrics.tmMaxCharWidth + 16;
    ListView_SetColumnWidth(Handle_, 0, std::max<int>(wanted, client.right - GetSystemMetrics(SM_CXVSCROLL)));
}

void TLineList::Flush()
{
    if (!Handle_)
        return;
    if (Pending_) {
        Pending_ = false;
        // Every row may have changed; the control asks again for the rows it shows.
        ListView_SetItemCountEx(Handle_, RowCount(), 0);
        FitColumn();
        InvalidateRect(Handle_, nullptr, TRUE);
        if (OnFlushed)
            OnFlushed();
    }
    if (ScrollPending_) {
        ScrollPending_ = false;
        if (RowCount() > 0)
            ListView_EnsureVisible(Handle_, RowCount() - 1, FALSE);
    }
}

std::wstring TLineList::RowsText() const
{
    std::wstring text;
    const int rows = ListView_GetItemCount(Handle_);
    std::vector<wchar_t> buffer(std::max<size_t>(Longest_ + 2, 260));
    for (int row = 0; row < rows; ++row) {
        buffer[0] = 0;
        ListView_GetItemText(Handle_, row, 0, buffer.data(), static_cast<int>(buffer.size()));
        if (row)
            text += kNewLine;
        text += buffer.data();
    }
    return text;
}

std::wstring TLineList::SelectedText() const
{
    std::wstring text;
    bool first = true;
    for (int row = ListView_GetNextItem(Handle_, -1, LVNI_SELECTED); row >= 0 && row < RowCount();
         row = ListView_GetNextItem(Handle_, row, LVNI_SELECTED)) {
        if (!first)
            text += kNewLine;
        text += Line(LineOfRow(row));
        first = false;
    }
    return text;
}

void TLineList::SelectAll()
{
    ListView_SetItemState(Handle_, -1, LVIS_SELECTED, LVIS_SELECTED);
}

bool TLineList::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == LVN_GETDISPINFOW) {
            LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
            if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
                const int line = LineOfRow(item.iItem);
                const std::wstring* text = item.iItem >= 0 && line < Count() ? &Line(line) : nullptr;
                const size_t n = text ? std::min(text->size(), static_cast<size_t>(item.cchTextMax - 1)) : 0;
                if (n)
                    std::copy_n(text->c_str(), n, item.pszText);
                item.pszText[n] = 0;
            }
            result = 0;
            return true;
        }
        // No row is ever looked for by its text: the lines are a report.
        if (header->code == LVN_ODFINDITEMW) {
            result = -1;
            return true;
        }
    }
    return TListView::Reflect(message, wParam, lParam, result);
}

bool TLineList::OwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == kFlushMessage) {
        Posted_ = false;
        Flush();
        result = 0;
        return true;
    }
    if (message == WM_PAINT && (Pending_ || ScrollPending_))
        Flush();
    return TListView::OwnMessage(message, wParam, lParam, result);
}
