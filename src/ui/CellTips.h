#pragma once
// A tool tip over a report list that shows the whole text of the cell under the mouse when its
// column shows it cut.
#include <windows.h>

#include <string>

class TCellTips {
public:
    TCellTips() = default;
    ~TCellTips();
    TCellTips(const TCellTips&) = delete;
    TCellTips& operator=(const TCellTips&) = delete;

    void Attach(HWND list);
    HWND Handle() const { return Tip_; }

private:
    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    void Detach();
    void Follow(LPARAM point);

    HWND List_ = nullptr;
    HWND Tip_ = nullptr;
    int Row_ = -1;
    int Column_ = -1;
    std::wstring Text_; // what the tip shows; the tip reads it while it asks
};
