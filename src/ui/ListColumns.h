#pragma once
// Column widths of a report list that follow what its columns hold, and the whole text of a cut cell.
// Free functions on the window, so that lists made by dialog templates size themselves the same way.
#include <windows.h>

#include <string>
#include <vector>

enum class TColumnFit {
    Within, // all columns within the client width: the widest give way, the last takes what is left
    Scroll, // every column as wide as its widest text, the last at least to the right edge
};

// The width each column's caption and cells need, in pixels.
std::vector<int> ColumnContentWidths(HWND list);
void FitListColumns(HWND list, TColumnFit fit = TColumnFit::Within);
// The whole text of a cell that its column shows cut; empty when it shows whole (or is no cell).
std::wstring CutCellText(HWND list, int row, int column);
