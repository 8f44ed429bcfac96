#include "ui/ListColumns.h"

#include "ui/Dpi.h"
#include "ui/TextMeasure.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>

namespace {

// Room beside a text inside its cell; the controls draw a few pixels in from either edge.
const int kCellPadding96 = 14;

std::wstring CellText(HWND list, int row, int column)
{
    std::wstring text(1024, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const int got = static_cast<int>(SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
    text.resize(static_cast<size_t>(std::clamp(got, 0, static_cast<int>(text.size()))));
    return text;
}

std::wstring HeaderText(HWND header, int column)
{
    wchar_t buffer[260] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 260;
    Header_GetItem(header, column, &item);
    return buffer;
}

// How far the first column's text starts from the row's left edge: the check box and the icon.
int CaptionIndent(HWND list)
{
    RECT bounds{}, label{};
    if (ListView_GetItemCount(list) > 0 && ListView_GetItemRect(list, 0, &bounds, LVIR_BOUNDS) &&
        ListView_GetItemRect(list, 0, &label, LVIR_LABEL))
        return label.left - bounds.left;
    int indent = 0;
    for (int kind : {LVSIL_STATE, LVSIL_SMALL}) {
        int cx = 0, cy = 0;
        if (HIMAGELIST images = ListView_GetImageList(list, kind); images && ImageList_GetIconSize(images, &cx, &cy))
            indent += cx + 2;
    }
    return indent;
}

} // namespace

std::vector<int> ColumnContentWidths(HWND list)
{
    HWND header = ListView_GetHeader(list);
    const int columns = header ? Header_GetItemCount(header) : 0;
    const int padding = ScaleTo(list, kCellPadding96);
    std::vector<int> widths(static_cast<size_t>(std::max(columns, 0)), 0);
    {
        const TMeasure measure(header);
        for (int c = 0; c < columns; ++c)
            widths[static_cast<size_t>(c)] = measure.Width(HeaderText(header, c)) + padding;
    }
    const TMeasure measure(list);
    const int indent = CaptionIndent(list);
    for (int row = 0, rows = ListView_GetItemCount(list); row < rows; ++row)
        for (int c = 0; c < columns; ++c) {
            int& width = widths[static_cast<size_t>(c)];
            width = std::max(width, measure.Width(CellText(list, row, c)) + padding + (c == 0 ? indent : 0));
        }
    return widths;
}

void FitListColumns(HWND list, TColumnFit fit)
{
    std::vector<int> widths = ColumnContentWidths(list);
    if (widths.empty())
        return;
    RECT client{};
    GetClientRect(list, &client);
    const int room = client.right - client.left;
    const int wanted = std::accumulate(widths.begin(), widths.end(), 0);
    if (wanted <= room || fit == TColumnFit::Scroll) {
        widths.back() += std::max(room - wanted, 0);
    } else {
        // The first column names the row: whole while it takes no more than a third. Of the others,
        // those narrower than an even share keep their width; the wider share what is left in
        // proportion to what they need, the last taking the remainder.
        size_t first = 0;
        int left = room;
        if (widths.size() > 1 && widths[0] <= room / 3) {
            left -= widths[0];
            first = 1;
        }
        std::vector<size_t> order(widths.size() - first);
        std::iota(order.begin(), order.end(), first);
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return widths[a] < widths[b]; });
        for (size_t i = 0; i < order.size(); ++i) {
            if (widths[order[i]] <= left / static_cast<int>(order.size() - i)) {
                left -= widths[order[i]];
                continue;
            }
            long long wide = 0;
            for (size_t j = i; j < order.size(); ++j)
                wide += widths[order[j]];
            int given = 0;
            for (size_t j = i; j < order.size(); ++j) {
                widths[order[j]] = static_cast<int>(widths[order[j]] * static_cast<long long>(left) / wide);
                given += widths[order[j]];
            }
            widths.back() += left - given;
            break;
        }
    }
    for (size_t c = 0; c < widths.size(); ++c)
        ListView_SetColumnWidth(list, static_cast<int>(c), widths[c]);
}

std::wstring CutCellText(HWND list, int row, int column)
{
    HWND header = ListView_GetHeader(list);
    if (row < 0 || row >= ListView_GetItemCount(list) || column < 0 || !header ||
        column >= Header_GetItemCount(header))
        return {};
    RECT cell{};
    if (!ListView_GetSubItemRect(list, row, column, LVIR_LABEL, &cell))
        return {};
    std::wstring text = CellText(list, row, column);
    const TMeasure measure(list);
    if (measure.Width(text) + ScaleTo(list, kCellPadding96) <= cell.right - cell.left)
        return {};
    return text;
}
