#include "ModalDriver.h"

#include <vector>

namespace {

struct TDriveState {
    const std::function<void(HWND)>* Drive = nullptr;
    const wchar_t* Class = nullptr;
    bool Driven = false;
    DWORD Deadline = 0;
    UINT_PTR Timer = 0;
};

TDriveState& State()
{
    static TDriveState state;
    return state;
}

HWND FindShowing(const wchar_t* windowClass)
{
    struct TSearch {
        const wchar_t* Class;
        HWND Found;
    } search{windowClass, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<TSearch*>(data);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (wcscmp(name, s->Class) == 0 && IsWindowVisible(window)) {
                s->Found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

void CALLBACK Look(HWND, UINT, UINT_PTR, DWORD)
{
    TDriveState& state = State();
    if (state.Driven || !state.Drive)
        return;
    HWND window = FindShowing(state.Class);
    if (!window) {
        if (GetTickCount() > state.Deadline) {
            KillTimer(nullptr, state.Timer);
            state.Timer = 0;
        }
        return;
    }
    KillTimer(nullptr, state.Timer);
    state.Timer = 0;
    state.Driven = true;
    (*state.Drive)(window);
}

} // namespace

bool WhileModal(const std::function<void()>& open, const std::function<void(HWND window)>& drive,
                const wchar_t* windowClass)
{
    TDriveState& state = State();
    state = {&drive, windowClass, false, GetTickCount() + 5000, 0};
    state.Timer = SetTimer(nullptr, 0, 20, Look);
    open();
    if (state.Timer)
        KillTimer(nullptr, state.Timer);
    const bool driven = state.Driven;
    state = {};
    return driven;
}

std::vector<TMenuItemState> MenuItems(HMENU menu)
{
    std::vector<TMenuItemState> items;
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 255;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        items.push_back({separator ? L"-" : text, info.wID, separator || !(info.fState & MFS_DISABLED)});
    }
    return items;
}
