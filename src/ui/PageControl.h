#pragma once
// Panels, and a page control without a tab strip: the program picks the page by index.
#include "ui/Control.h"

#include <vector>

// A plain white container whose children's control messages go back to their adapters.
class TPanel : public TControl {
public:
    void Create(const TControlArgs& args);
    void SetBackColor(COLORREF color);
    static void RegisterWindowClass();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    COLORREF BackColor_ = RGB(255, 255, 255);
};

class TPageControl : public TControl {
public:
    ~TPageControl() override;
    void Create(const TControlArgs& args);
    // Adds a page filling the control and returns it (the parent of the page's controls).
    TPanel& AddPage();
    int PageCount() const { return static_cast<int>(Pages_.size()); }
    TPanel& Page(int index) { return *Pages_.at(static_cast<size_t>(index)); }
    int ActivePageIndex() const { return Active_; }
    // Shows page index and hides the others; an index out of range shows none.
    void SetActivePageIndex(int index);

private:
    std::vector<TPanel*> Pages_;
    int Active_ = -1;
};
