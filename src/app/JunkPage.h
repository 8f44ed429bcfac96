#pragma once
// The details window's junk-file page: the scan's heading and size lines above a read-only virtual list
// of the rest (refused folders, then one row per junk file), and a right-click menu to open a file's
// location or copy the selected rows. The lines are those the scan wrote, held once.
#include "app/DetailsHost.h"
#include "app/Locations.h"
#include "ui/Label.h"
#include "ui/LineList.h"

#include <windows.h>

#include <string>

class TJunkPage : public TLineList {
public:
    // The heading's lines: title, rule, a blank line, the count line and the size line.
    static constexpr int kHeadingLines = 5;

    // Creates the heading and the list inside page, the heading above; sizes in 96-DPI units.
    void CreatePage(const TDetailsHost& host, HWND page, int width, int height);

    // What the page shows: the heading's lines, then the rows' texts as the list gives them, joined
    // with CR LF (after a Flush, the same as Text()).
    std::wstring ControlText() const;

    // Shows the menu for the selected rows at a point in screen coordinates and runs the choice.
    void ShowMenu(POINT screen);
    // Runs a menu command (cmOpenLocation, cmCopy) on the selected rows; false when not available.
    bool Run(UINT command);
    bool Available(UINT command) const;

    TLabel Heading;
    // Starts Explorer for "Open location".
    TLaunch Launch = SystemLaunch();

private:
    void ShowHeading();
    bool OnKey(WORD key);

    const TDetailsHost* Host_ = nullptr;
};
