#pragma once
// Report-style list view with a check box per row; column 0 is the row caption.
#include "ui/CellTips.h"
#include "ui/Control.h"
#include "ui/ListColumns.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

class TListView : public TControl {
public:
    // Report style, check boxes, whole-row selection, no label editing.
    void Create(const TControlArgs& args);
    void AddColumn(const std::wstring& caption, int width96);
    int ColumnCount() const;
    std::wstring ColumnCaption(int column) const;
    int ColumnWidth(int column) const;
    // Sizes the columns to what they hold; a cell still cut shows its whole text as a tool tip.
    void FitColumns(TColumnFit fit = TColumnFit::Within);
    HWND CellTips() const { return Tips_.Handle(); }
    void SetSmallImages(HIMAGELIST images);

    int Count() const;
    void Clear();
    // Appends a row and returns its index; subItems are the texts of columns 1, 2, ...; data is the
    // caller's value kept with the row (it follows the row when rows before it are deleted).
    int AddItem(const std::wstring& caption, const std::vector<std::wstring>& subItems, int imageIndex,
                bool checked, LPARAM data = 0);
    LPARAM Data(int index) const;
    void Delete(int index);
    std::wstring Caption(int index) const;
    // column counts from 1 (the first column after the caption)
    std::wstring SubItem(int index, int column) const;
    void SetSubItem(int index, int column, const std::wstring& text);
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    void SetAllChecked(bool checked);
    // How many rows are ticked, kept as rows are ticked, added and deleted by code or by the user.
    int CheckedCount() const { return CheckedCount_; }
    // The ticks changed (by the user or by code; once for a call that sets many rows).
    std::function<void()> OnChecksChanged;
    int ImageIndex(int index) const;
    void SetImageIndex(int index, int imageIndex);

    // The selected rows, in order.
    std::vector<int> Selected() const;
    // The first selected row; -1 when none is.
    int FirstSelected() const;
    void SetSelected(int index, bool selected);
    // The row with the keyboard focus; -1 when none has it.
    int Focused() const;
    void SetFocused(int index);
    // Where a menu that the keyboard asks for opens: below the focused row's caption when that row is
    // in view, else at the list's top-left corner; in screen coordinates.
    POINT KeyboardMenuPoint() const;

    // A right click, the context-menu key or Shift+F10: the point in screen coordinates (for the keys,
    // KeyboardMenuPoint).
    // row: the row under the click, or for the keys the focused row; -1 when none.
    std::function<void(POINT screen, int row)> OnContextMenu;
    // A key pressed in the list; true when handled.
    std::function<bool(WORD key)> OnKeyDown;

    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void RescaleDpi(int oldDpi, int newDpi) override;

protected:
    bool OwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static bool IsChecked(UINT state) { return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2); }
    void ChecksChanged();
    void CountChecks();

    TCellTips Tips_;
    int CheckedCount_ = 0;
    bool Quiet_ = false; // the list's own calls keep the count themselves
};
