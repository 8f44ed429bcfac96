#pragma once
// What a red result line opens after a repair: every item the repair left in place, with why.
#include <windows.h>

#include <string>
#include <vector>

namespace LeftItem {
enum : int {
    List = 1001,
};
}

struct TLeftItemsView {
    std::wstring Caption;
    std::wstring Intro;
    std::wstring ItemColumn;
    std::wstring ReasonColumn;
    std::wstring Close;
    struct TRow {
        std::wstring Item;
        std::wstring Reason;
    };
    std::vector<TRow> Rows;
};

void ShowLeftItemsDialog(HWND owner, const TLeftItemsView& view);
