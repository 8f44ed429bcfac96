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

    // Hooks the list's messages itself: for a list without an adapter of its own (a dialog's).
    void Attach(HWND list);
    // The tip only: the list's adapter hands its messages to ListMessage. A hook of its own would cost
    // a window-property lookup on every message, and a list gets several for each row it is given.
    void AttachRouted(HWND list);
    // A message to the list; true when handled (result then holds the answer).
    bool ListMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    HWND Handle() const { return Tip_; }

private:
    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    void Detach();
    void Follow(LPARAM point);

    HWND List_ = nullptr;
    bool Hooked_ = false;
    HWND Tip_ = nullptr;
    int Row_ = -1;
    int Column_ = -1;
    std::wstring Text_; // what the tip shows; the tip reads it while it asks
};
