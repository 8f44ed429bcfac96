#pragma once
// The "Ignored items" dialog: every line of the ignore sections of Ignore.ini with its section; the
// selected lines can be removed, and their findings are listed again at the next scan.
#include "app/OptionTexts.h"

#include <windows.h>

namespace IgnoredItem {
enum : int {
    List = 1001,
    Remove = 1002,
};
}

void ShowIgnoredItemsDialog(HWND owner, const TOptionsContext& options);
