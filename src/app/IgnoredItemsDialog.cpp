#include "app/IgnoredItemsDialog.h"

#include "app/IgnoreList.h"
#include "common/IniFile.h"
#include "ui/CellTips.h"
#include "ui/Dialog.h"
#include "ui/ListColumns.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

TDialogTemplate Layout(const TOptionsContext& o)
{
    using namespace OptionText;
    TDialogTemplate t(o.Text(IgnoredCaption), 340, 206);
    t.Add({.ClassName = WC_LISTVIEWW, .Id = IgnoredItem::List,
           .Style = LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_BORDER | WS_TABSTOP,
           .Left = 7, .Top = 7, .Width = 326, .Height = 164});
    t.AddLabel(o.Text(RemovedNote), 7, 178, 200, 16);
    t.AddButton(IgnoredItem::Remove, o.Text(Remove), 226, 185, 50, 14);
    t.AddButton(IDCANCEL, o.Text(Close), 283, 185, 50, 14, true);
    return t;
}

class TIgnoredItemsDialog {
public:
    explicit TIgnoredItemsDialog(const TOptionsContext& options) : Options_(options), Ini_(IgnoreIniPath()) {}

    void Show(HWND owner)
    {
        Dialog_.OnInit = [this] { Init(); };
        Dialog_.OnCommand = [this](int id, int) {
            if (id != IgnoredItem::Remove)
                return false;
            RemoveSelected();
            return true;
        };
        Dialog_.OnNotify = [this](const NMHDR& header) {
            if (header.idFrom != IgnoredItem::List)
                return false;
            if (header.code == LVN_ITEMCHANGED)
                EnableRemove();
            else if (header.code == LVN_KEYDOWN && reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_DELETE)
                RemoveSelected();
            return false;
        };
        Dialog_.ShowModal(owner, Layout(Options_));
    }

private:
    // A line of the list: which section, where in it, and its text.
    struct TLine {
        int Section;
        int Position;
        std::wstring Text;
    };

    HWND List() const { return Dialog_.Item(IgnoredItem::List); }

    void Init()
    {
        ListView_SetExtendedListViewStyle(List(), LVS_EX_FULLROWSELECT);
        Dialog_.AddListColumn(IgnoredItem::List, 0, Options_.Text(OptionText::SectionColumn), 66);
        Dialog_.AddListColumn(IgnoredItem::List, 1, Options_.Text(OptionText::ItemColumn), 252);
        Tips_.Attach(List());
        Reload();
    }

    void Reload()
    {
        ListView_DeleteAllItems(List());
        Lines_.clear();
        for (int section = 0; section < static_cast<int>(std::size(kIgnoreSections)); ++section) {
            const TWideStrings lines = Ini_.ReadSectionLines(kIgnoreSections[section].Name);
            for (int position = 0; position < static_cast<int>(lines.size()); ++position)
                Lines_.push_back({section, position, lines[static_cast<size_t>(position)]});
        }
        for (size_t i = 0; i < Lines_.size(); ++i) {
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = static_cast<int>(i);
            item.lParam = static_cast<LPARAM>(i);
            std::wstring title = Options_.Text(kIgnoreSections[Lines_[i].Section].TitleText);
            item.pszText = title.data();
            const int row = static_cast<int>(SendMessageW(List(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
            LVITEMW text{};
            text.iSubItem = 1;
            text.pszText = Lines_[i].Text.data();
            SendMessageW(List(), LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&text));
        }
        // Each line whole: the item column as wide as the longest line, with a scroll bar when wider.
        FitListColumns(List(), TColumnFit::Scroll);
        if (!Lines_.empty())
            ListView_SetItemState(List(), 0, LVIS_FOCUSED, LVIS_FOCUSED);
        EnableRemove();
    }

    std::vector<const TLine*> SelectedLines() const
    {
        std::vector<const TLine*> selected;
        for (int row = ListView_GetNextItem(List(), -1, LVNI_SELECTED); row >= 0;
             row = ListView_GetNextItem(List(), row, LVNI_SELECTED)) {
            LVITEMW item{};
            item.mask = LVIF_PARAM;
            item.iItem = row;
            if (SendMessageW(List(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) &&
                static_cast<size_t>(item.lParam) < Lines_.size())
                selected.push_back(&Lines_[static_cast<size_t>(item.lParam)]);
        }
        return selected;
    }

    void EnableRemove()
    {
        const HWND remove = Dialog_.Item(IgnoredItem::Remove);
        const bool any = ListView_GetSelectedCount(List()) > 0;
        // The focus never stays on a button that goes grey.
        if (!any && GetFocus() == remove)
            Dialog_.FocusItem(IgnoredItem::List);
        EnableWindow(remove, any ? TRUE : FALSE);
    }

    void RemoveSelected()
    {
        const std::vector<const TLine*> selected = SelectedLines();
        for (int section = 0; section < static_cast<int>(std::size(kIgnoreSections)); ++section) {
            std::vector<const TLine*> gone;
            std::copy_if(selected.begin(), selected.end(), std::back_inserter(gone),
                         [&](const TLine* line) { return line->Section == section; });
            if (gone.empty())
                continue;
            // From the last line up, so that the positions of the lines before stay; a file changed
            // meanwhile loses the first line of that text instead.
            std::sort(gone.begin(), gone.end(), [](const TLine* a, const TLine* b) { return a->Position > b->Position; });
            const TIniChange change = Ini_.EditSection(kIgnoreSections[section].Name, [&](TWideStrings& lines) {
                for (const TLine* line : gone) {
                    const auto at = static_cast<size_t>(line->Position);
                    if (at < lines.size() && lines[at] == line->Text)
                        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
                    else if (auto found = std::find(lines.begin(), lines.end(), line->Text); found != lines.end())
                        lines.erase(found);
                }
            });
            if (!Options_.Report(Dialog_.Handle(), Ini_.FileName, change))
                break;
        }
        Reload();
    }

    const TOptionsContext& Options_;
    TIniFile Ini_;
    TDialog Dialog_;
    TCellTips Tips_;
    std::vector<TLine> Lines_;
};

} // namespace

void ShowIgnoredItemsDialog(HWND owner, const TOptionsContext& options)
{
    TIgnoredItemsDialog(options).Show(owner);
}
