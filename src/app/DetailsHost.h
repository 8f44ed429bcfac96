#pragma once
// What the details window needs of the program around it: the window that owns it, the options and
// settings file start-up prepared, whom to tell when the user takes findings out of a list, and where
// the repairs that can be undone are kept. The
// program's entry connects it to the main window.
#include "app/OptionTexts.h"
#include "app/UndoEntries.h"

#include <windows.h>

#include <functional>

class TMultiLan;
class TSettings;

struct TDetailsHost {
    // Owns the details window and is disabled while it is shown; may be null (no owner).
    HWND Owner = nullptr;
    // The option texts, the program folder and how a message is shown.
    std::function<TOptionsContext()> Options;
    // The settings as start-up read them (Main.ini and the policy values); nullptr when start-up did
    // not get that far.
    std::function<const TSettings*()> Settings;
    // A row's list lost findings (ignored): its new count.
    std::function<void(int row, int count)> FindingsChanged;
    // The details window is going: whoever keeps a pointer to it lets go.
    std::function<void()> Gone;
    // Where the repairs that can be undone are kept; nothing: the window offers no undo.
    std::function<TUndoPlaces()> UndoPlaces;
    // The language texts that start-up read, for the window's captions; nullptr when start-up did not
    // get that far.
    std::function<const TMultiLan*()> Language;
};
