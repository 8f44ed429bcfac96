#include "app/FindingsMenu.h"

#include "app/OptionTexts.h"
#include "common/IniFile.h"
#include "common/MultiLan.h"
#include "ui/Button.h"
#include "ui/Clipboard.h"
#include "ui/ListView.h"
#include "ui/PopupMenu.h"

#include <algorithm>

TFindingsMenu::TFindingsMenu(const TDetailsHost& host, HWND owner, std::vector<TFindingsList> lists)
    : Launch(SystemLaunch()), Host_(host), Owner_(owner), Lists_(std::move(lists))
{
    for (TFindingsList& entry : Lists_) {
        TListView* list = entry.List;
        list->OnContextMenu = [this, list](POINT screen, int row) { Show(*list, screen, row); };
        list->OnKeyDown = [this, list](WORD key) {
            return key == 'C' && (GetKeyState(VK_CONTROL) & 0x8000) && Run(*list, cmCopy);
        };
    }
}

std::wstring TFindingsMenu::Text(int position) const
{
    return Host_.Options().Text(position);
}

TFindingsList* TFindingsMenu::Find(const TListView& list)
{
    for (TFindingsList& entry : Lists_)
        if (entry.List == &list)
            return &entry;
    return nullptr;
}

bool TFindingsMenu::Available(const TFindingsList& entry, UINT command) const
{
    const TListView& list = *entry.List;
    const int first = list.FirstSelected();
    switch (command) {
    case cmCheckAll:
    case cmUncheckAll: return list.Count() > 0;
    case cmCheckSelected:
    case cmUncheckSelected:
    case cmIgnore:
    case cmCopy: return first >= 0;
    case cmOpenLocation:
        return first >= 0 &&
               entry.Locate(list.SubItem(first, entry.LocationColumn)).Kind != TLocation::TKind::None;
    default: return false;
    }
}

void TFindingsMenu::Show(TListView& list, POINT screen, int row)
{
    const TFindingsList* entry = Find(list);
    if (!entry)
        return;
    // The menu is about the row it opens on: a row outside the selection becomes the selection, so
    // that what the menu acts on is what is highlighted; a row inside it keeps all the selected rows.
    if (row >= 0 && row < list.Count()) {
        const std::vector<int> selected = list.Selected();
        if (std::find(selected.begin(), selected.end(), row) == selected.end()) {
            for (int other : selected)
                list.SetSelected(other, false);
            list.SetSelected(row, true);
            list.SetFocused(row);
        }
    }
    const int ignoreText = list.Selected().size() > 1 ? OptionText::IgnoreSelected : OptionText::IgnoreItem;
    struct TItem {
        UINT Command; // 0: a separator
        int TextLine;
    };
    static const TItem items[] = {
        {cmCheckAll, OptionText::CheckAll},
        {cmUncheckAll, OptionText::UncheckAll},
        {0, 0},
        {cmCheckSelected, OptionText::CheckSelected},
        {cmUncheckSelected, OptionText::UncheckSelected},
        {0, 0},
        {cmIgnore, -1}, // one row or several
        {cmOpenLocation, OptionText::OpenLocation},
        {0, 0},
        {cmCopy, OptionText::Copy},
    };
    TPopupMenu menu;
    for (const TItem& item : items) {
        if (item.Command)
            menu.Add(item.Command, Text(item.TextLine < 0 ? ignoreText : item.TextLine), Available(*entry, item.Command));
        else
            menu.AddSeparator();
    }
    if (const UINT command = menu.Track(Owner_, screen))
        Run(list, command);
}

bool TFindingsMenu::Run(TListView& list, UINT command)
{
    TFindingsList* entry = Find(list);
    if (!entry || !Available(*entry, command))
        return false;
    switch (command) {
    case cmCheckAll:
    case cmUncheckAll:
        // The check-all box shows the state; its click sets every row.
        entry->CheckAll->SetChecked(command == cmCheckAll);
        list.SetAllChecked(command == cmCheckAll);
        break;
    case cmCheckSelected:
    case cmUncheckSelected:
        for (int row : list.Selected())
            list.SetChecked(row, command == cmCheckSelected);
        break;
    case cmIgnore: Ignore(*entry); break;
    case cmOpenLocation:
        OpenLocation(entry->Locate(list.SubItem(list.FirstSelected(), entry->LocationColumn)), Launch);
        break;
    case cmCopy: Copy(*entry); break;
    default: return false;
    }
    return true;
}

std::wstring TFindingsMenu::RowText(const TListView& list, int row) const
{
    std::wstring text;
    for (int column = 0, n = list.ColumnCount(); column < n; ++column)
        text += (column ? L"\t" : L"") + list.SubItem(row, column);
    return text;
}

void TFindingsMenu::Copy(const TFindingsList& entry)
{
    std::wstring text;
    for (int row : entry.List->Selected())
        text += (text.empty() ? L"" : L"\r\n") + RowText(*entry.List, row);
    SetClipboardText(Owner_, text);
}

void TFindingsMenu::Ignore(TFindingsList& entry)
{
    TListView& list = *entry.List;
    const TIgnoreFormat& format = *entry.Ignore;
    std::vector<TIgnoreFields> ignored;
    std::wstring refused;
    for (int row : list.Selected()) {
        const TIgnoreFields fields = RowFields(format, list, row);
        if (!CanIgnore(format, fields))
            refused += L"\r\n" + RowText(list, row);
        else if (std::find(ignored.begin(), ignored.end(), fields) == ignored.end())
            ignored.push_back(fields);
    }
    const TOptionsContext options = Host_.Options();
    if (!ignored.empty()) {
        const TIniFile file(IgnoreIniPath());
        // Keys repeat in these sections: whole lines are added, never a key written (it would replace
        // the first line of that name).
        const TIniChange change = file.EditSection(format.Section, [&](TWideStrings& lines) {
            for (const TIgnoreFields& fields : ignored)
                if (std::find(lines.begin(), lines.end(), IgnoreLine(fields)) == lines.end())
                    lines.push_back(IgnoreLine(fields));
        });
        if (!options.Report(Owner_, file.FileName, change))
            return;
        // Every row the new lines match goes now, as the next scan leaves them out.
        for (int row = list.Count() - 1; row >= 0; --row)
            if (std::find(ignored.begin(), ignored.end(), RowFields(format, list, row)) != ignored.end())
                list.Delete(row);
        // Gone from the screen now, not when the rows are next painted for another reason.
        list.Repaint();
        Host_.FindingsChanged(entry.Row, list.Count());
    }
    if (!refused.empty())
        options.Tell(Owner_, Text(OptionText::CannotIgnore) + L"\r\n" + refused);
}
