#pragma once
// Report-style list view with a check box per row; column 0 is the row caption.
#include "ui/Control.h"

#include <commctrl.h>

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
    void SetSmallImages(HIMAGELIST images);

    int Count() const;
    void Clear();
    // Appends a row and returns its index; subItems are the texts of columns 1, 2, ...; data is the
    // row's own number (its lParam), for the owner to find what the row stands for.
    int AddItem(const std::wstring& caption, const std::vector<std::wstring>& subItems, int imageIndex,
                bool checked, LPARAM data = 0);
    void Delete(int index);
    std::wstring Caption(int index) const;
    // column counts from 1 (the first column after the caption)
    std::wstring SubItem(int index, int column) const;
    void SetSubItem(int index, int column, const std::wstring& text);
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    void SetAllChecked(bool checked);
    int ImageIndex(int index) const;
    void SetImageIndex(int index, int imageIndex);
    LPARAM ItemData(int index) const;

    void RescaleDpi(int oldDpi, int newDpi) override;
};
