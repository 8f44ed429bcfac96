#pragma once
// Report-style list view with a check box per row; column 0 is the row caption.
#include "ui/Control.h"

#include <string>
#include <vector>

class TListView : public TControl {
public:
    int Count() const;
    void Clear();
    // Appends a row and returns its index; subItems are the texts of columns 1, 2, ...
    int AddItem(const std::wstring& caption, const std::vector<std::wstring>& subItems, int imageIndex,
                bool checked);
    void Delete(int index);
    std::wstring Caption(int index) const;
    // column counts from 1 (the first column after the caption)
    std::wstring SubItem(int index, int column) const;
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    int ImageIndex(int index) const;
    void SetImageIndex(int index, int imageIndex);
};
