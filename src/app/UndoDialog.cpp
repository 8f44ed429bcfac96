#include "app/UndoDialog.h"

#include "common/FormatText.h"
#include "common/Kelvor_Routine.h"
#include "ui/CellTips.h"
#include "ui/Dialog.h"
#include "ui/ListColumns.h"

#include <commctrl.h>

#include <vector>

namespace {

TDialogTemplate Layout(const TOptionsContext& o)
{
    using namespace OptionText;
    TDialogTemplate t(o.Text(UndoCaption), 360, 226);
    t.Add({.ClassName = WC_LISTVIEWW, .Id = UndoItem::List,
           .Style = LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_NOSORTHEADER | WS_BORDER | WS_TABSTOP,
           .Left = 7, .Top = 7, .Width = 346, .Height = 150});
    t.AddLabel(o.Text(NotRestorable), 7, 162, 346, 24);
    t.AddLabel(L"", 7, 190, 346, 8, UndoItem::Total);
    t.AddButton(UndoItem::Restore, o.Text(Restore), 189, 205, 50, 14);
    t.AddButton(UndoItem::Delete, o.Text(Delete), 246, 205, 50, 14);
    t.AddButton(IDCANCEL, o.Text(Close), 303, 205, 50, 14, true);
    return t;
}

// The local date and time of a FILETIME (UTC) as the user's settings write them.
std::wstring DateText(ULONGLONG time)
{
    const FILETIME utc{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    SYSTEMTIME universal{}, local{};
    if (!FileTimeToSystemTime(&utc, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return {};
    wchar_t date[80] = {}, clock[80] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 80, nullptr);
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &local, nullptr, clock, 80);
    return std::wstring(date) + L" " + clock;
}

class TUndoDialog {
public:
    TUndoDialog(const TOptionsContext& options, const TUndoPlaces& places) : Options_(options), Places_(places) {}

    void Show(HWND owner)
    {
        Dialog_.OnInit = [this] { Init(); };
        Dialog_.OnCommand = [this](int id, int) {
            if (id == UndoItem::Restore)
                RestoreSelected();
            else if (id == UndoItem::Delete)
                DeleteSelected();
            else
                return false;
            return true;
        };
        Dialog_.OnNotify = [this](const NMHDR& header) {
            if (header.idFrom == UndoItem::List && header.code == LVN_ITEMCHANGED)
                EnableButtons();
            return false;
        };
        Dialog_.ShowModal(owner, Layout(Options_));
    }

private:
    HWND List() const { return Dialog_.Item(UndoItem::List); }

    void Init()
    {
        ListView_SetExtendedListViewStyle(List(), LVS_EX_FULLROWSELECT);
        Dialog_.AddListColumn(UndoItem::List, 0, Options_.Text(OptionText::DateColumn), 100);
        Dialog_.AddListColumn(UndoItem::List, 1, Options_.Text(OptionText::RepairColumn), 100);
        Dialog_.AddListColumn(UndoItem::List, 2, Options_.Text(OptionText::ItemsColumn), 60, LVCFMT_RIGHT);
        Dialog_.AddListColumn(UndoItem::List, 3, Options_.Text(OptionText::SizeColumn), 70, LVCFMT_RIGHT);
        Tips_.Attach(List());
        Reload();
    }

    void Reload()
    {
        ListView_DeleteAllItems(List());
        Entries_ = UndoEntries(Places_);
        ULONGLONG quarantined = 0;
        for (size_t i = 0; i < Entries_.size(); ++i) {
            const TUndoEntry& entry = Entries_[i];
            if (entry.Kind == TUndoEntry::TKind::SpywareRun)
                quarantined += entry.Bytes;
            std::wstring texts[4] = {
                DateText(entry.Time),
                Options_.Text(entry.Kind == TUndoEntry::TKind::SpywareRun ? OptionText::SpywareRemoval
                                                                         : OptionText::RegistryRepair),
                entry.Count < 0 ? Options_.Text(OptionText::Unreadable) : std::to_wstring(entry.Count),
                FormatSize(static_cast<int64_t>(entry.Bytes)),
            };
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = static_cast<int>(i);
            item.lParam = static_cast<LPARAM>(i);
            item.pszText = texts[0].data();
            const int row = static_cast<int>(SendMessageW(List(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
            for (int column = 1; column < 4; ++column) {
                LVITEMW text{};
                text.iSubItem = column;
                text.pszText = texts[column].data();
                SendMessageW(List(), LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&text));
            }
        }
        Dialog_.SetText(UndoItem::Total, FormatText(Options_.Text(OptionText::QuarantineSize),
                                                    {FormatSize(static_cast<int64_t>(quarantined))}));
        FitListColumns(List(), TColumnFit::Within);
        if (!Entries_.empty())
            ListView_SetItemState(List(), 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
        EnableButtons();
    }

    const TUndoEntry* Selected() const
    {
        const int row = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
        if (row < 0)
            return nullptr;
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        if (!SendMessageW(List(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ||
            static_cast<size_t>(item.lParam) >= Entries_.size())
            return nullptr;
        return &Entries_[static_cast<size_t>(item.lParam)];
    }

    void EnableButtons()
    {
        const bool any = Selected() != nullptr;
        // The focus never stays on a button that goes grey.
        const HWND focus = GetFocus();
        if (!any && (focus == Dialog_.Item(UndoItem::Restore) || focus == Dialog_.Item(UndoItem::Delete)))
            Dialog_.FocusItem(UndoItem::List);
        for (int id : {UndoItem::Restore, UndoItem::Delete})
            EnableWindow(Dialog_.Item(id), any ? TRUE : FALSE);
    }

    static std::wstring Listed(const std::wstring& heading, const std::vector<std::wstring>& lines)
    {
        std::wstring text = heading + L"\r\n";
        for (const std::wstring& line : lines)
            text += L"\r\n" + line;
        return text;
    }

    void RestoreSelected()
    {
        const TUndoEntry* entry = Selected();
        if (!entry)
            return;
        const std::wstring date = DateText(entry->Time);
        const TUndoOutcome restored = RestoreEntry(Places_, *entry);
        if (restored.Done)
            Options_.Tell(Dialog_.Handle(), FormatText(Options_.Text(OptionText::AllRestored), {date}),
                          MB_ICONINFORMATION);
        else
            Options_.Tell(Dialog_.Handle(),
                          Listed(FormatText(Options_.Text(OptionText::NotAllRestored), {date}), restored.Lines));
        Reload();
    }

    void DeleteSelected()
    {
        const TUndoEntry* entry = Selected();
        if (!entry)
            return;
        const std::wstring question = FormatText(Options_.Text(OptionText::ConfirmDelete), {DateText(entry->Time)});
        if (Options_.ShowMessage(Dialog_.Handle(), question, L"Quillmar Brisfold",
                                 MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION) != IDYES)
            return;
        const TUndoOutcome deleted = DeleteEntry(Places_, *entry);
        if (!deleted.Done)
            Options_.Tell(Dialog_.Handle(), Listed(Options_.Text(OptionText::NotAllDeleted), deleted.Lines));
        Reload();
    }

    const TOptionsContext& Options_;
    TUndoPlaces Places_;
    TDialog Dialog_;
    TCellTips Tips_;
    std::vector<TUndoEntry> Entries_;
};

} // namespace

void ShowUndoDialog(HWND owner, const TOptionsContext& options, const TUndoPlaces& places)
{
    TUndoDialog(options, places).Show(owner);
}
