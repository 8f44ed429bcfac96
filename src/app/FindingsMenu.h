#pragma once
// The right-click menu of the details window's findings lists: check and uncheck rows, ignore them,
// open their location, copy their texts. Each list is one line of a table.
#include "app/DetailsHost.h"
#include "app/IgnoreList.h"
#include "app/Locations.h"

#include <windows.h>

#include <string>
#include <vector>

class TCheckBox;
class TListView;

// The menu's commands; tests run them through these identifiers, as the menu does.
enum TFindingsCommand : UINT {
    cmCheckAll = 101,
    cmUncheckAll,
    cmCheckSelected,
    cmUncheckSelected,
    cmIgnore,
    cmOpenLocation,
    cmCopy,
};

struct TFindingsList {
    TListView* List;
    TCheckBox* CheckAll; // the list's check-all box
    int Row;             // the main window's row that counts these findings
    const TIgnoreFormat* Ignore;
    int LocationColumn;
    TLocation (*Locate)(const std::wstring& text);
};

class TFindingsMenu {
public:
    // owner: the window that owns the menu and the messages.
    TFindingsMenu(const TDetailsHost& host, HWND owner, std::vector<TFindingsList> lists);

    // Shows the menu at a point in screen coordinates for the row it opens on (-1: none) and runs the
    // choice on the selected rows.
    void Show(TListView& list, POINT screen, int row);
    // Runs a command on the list's selected rows; false when it was not available for them.
    bool Run(TListView& list, UINT command);

    // Starts Explorer and the registry editor for "Open location".
    TLaunch Launch;

private:
    TFindingsList* Find(const TListView& list);
    bool Available(const TFindingsList& entry, UINT command) const;
    void Ignore(TFindingsList& entry);
    void Copy(const TFindingsList& entry);
    std::wstring RowText(const TListView& list, int row) const;
    std::wstring Text(int position) const;

    const TDetailsHost& Host_;
    HWND Owner_;
    std::vector<TFindingsList> Lists_;
};
