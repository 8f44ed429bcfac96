#pragma once
// A popup menu that returns the chosen command instead of posting it, so that the caller acts on the
// rows that were selected when the menu opened.
#include <windows.h>

#include <string>

class TPopupMenu {
public:
    TPopupMenu() : Menu_(CreatePopupMenu()) {}
    ~TPopupMenu() { DestroyMenu(Menu_); }
    TPopupMenu(const TPopupMenu&) = delete;
    TPopupMenu& operator=(const TPopupMenu&) = delete;

    HMENU Handle() const { return Menu_; }
    void Add(UINT command, const std::wstring& text, bool enabled = true)
    {
        AppendMenuW(Menu_, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), command, text.c_str());
    }
    void AddSeparator() { AppendMenuW(Menu_, MF_SEPARATOR, 0, nullptr); }
    // Shows the menu at a point in screen coordinates; 0 when the user chose nothing.
    UINT Track(HWND owner, POINT screen) const
    {
        // The owner must be in front, or the menu does not close when the user clicks elsewhere.
        SetForegroundWindow(owner);
        return static_cast<UINT>(TrackPopupMenuEx(Menu_, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, screen.x,
                                                  screen.y, owner, nullptr));
    }

private:
    HMENU Menu_;
};
