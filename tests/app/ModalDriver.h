#pragma once
// Drives a modal window (a dialog, a popup menu) the way a user would while it shows: a timer on the
// same thread finds it and hands it to the test, because the call that shows it returns only when it
// has closed.
#include <windows.h>

#include <functional>
#include <string>

inline constexpr wchar_t kDialogClass[] = L"#32770";
inline constexpr wchar_t kMenuClass[] = L"#32768";

// Runs open; as soon as a visible window of the class shows on this thread, runs drive with it (once).
// Returns false when none showed within a few seconds (the timer then stops looking).
bool WhileModal(const std::function<void()>& open, const std::function<void(HWND window)>& drive,
                const wchar_t* windowClass = kDialogClass);

// The texts of a menu's items in order ("-" for a separator) and whether each is enabled.
struct TMenuItemState {
    std::wstring Text;
    UINT Command;
    bool Enabled;
};
std::vector<TMenuItemState> MenuItems(HMENU menu);
