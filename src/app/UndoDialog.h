#pragma once
// "Undo a repair": every spyware removal's quarantine run and every registry undo file, newest first,
// with its date, count and size; Restore brings the chosen one back, Delete removes it for good. The
// dialog says what cannot be restored, and how much the quarantine holds.
#include "app/OptionTexts.h"
#include "app/UndoEntries.h"

#include <windows.h>

namespace UndoItem {
enum : int {
    List = 1001,
    Restore = 1002,
    Delete = 1003,
    Total = 1004,
};
}

void ShowUndoDialog(HWND owner, const TOptionsContext& options, const TUndoPlaces& places);
