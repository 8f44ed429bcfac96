// "Undo a repair" from the details window's system menu: every spyware removal and registry repair
// that can be undone, newest first; Restore and Delete on the one chosen.
#include "OptionsFixture.h"

#include "app/UndoDialog.h"
#include "common/FormatText.h"
#include "common/Kelvor_Routine.h"
#include "common/SafeDelete.h"
#include "quarantine/QuarantineRun.h"
#include "registry/UndoFile.h"
#include "ui/MessagePump.h"

#include <commctrl.h>

namespace {

class UndoRepair : public OptionsFixture {
protected:
    void SetUp() override
    {
        OptionsFixture::SetUp();
        WriteDefinitions(2);
        Start();
        // The delete question is answered as asked; every other message is only recorded.
        Form->ShowMessage = [this](HWND, const std::wstring& text, const std::wstring& caption, UINT flags) {
            Messages.push_back({text, caption, flags});
            return (flags & MB_YESNO) ? Answer : IDOK;
        };
    }

    // The scan and the repair of the two keys through the main window.
    void ScanAndRepair()
    {
        ScanNow();
        Form->TntButton3Click();
        ProcessMessages();
    }

    // A registry undo file written a day after the spyware run, so that it lists first.
    std::wstring UndoFileOfTomorrow()
    {
        SetRegString(HKEY_CURRENT_USER, L"Software\\UndoneLater", L"Value", L"back");
        TUndoWriter writer;
        EXPECT_EQ(TExportResult::Added, writer.AddKeyTree(HKEY_CURRENT_USER, L"Software\\UndoneLater"));
        std::wstring path, error;
        EXPECT_TRUE(WriteUndoFile(UndoFolder(Folder / L"appdata"), writer.Text(), path, error)) << error;
        FILETIME time;
        GetSystemTimeAsFileTime(&time);
        time = FileTimeOf(FileTimeValue(time) + 24ULL * 3600 * 10000000);
        HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
        CloseHandle(file);
        EXPECT_EQ(TOutcome::Removed, DeleteRegTreeSafe(HKEY_CURRENT_USER, L"Software\\UndoneLater"));
        return path;
    }

    void WithDialog(const std::function<void(HWND)>& drive)
    {
        const bool shown = WhileModal(
            [&] { SendMessageW(Details->Handle(), WM_SYSCOMMAND, TW_Details::kUndoCommand, 0); }, drive);
        ASSERT_TRUE(shown) << "no dialog";
    }

    static std::vector<std::vector<std::wstring>> Rows(HWND dialog)
    {
        const HWND list = GetDlgItem(dialog, UndoItem::List);
        std::vector<std::vector<std::wstring>> rows;
        for (int i = 0; i < ListView_GetItemCount(list); ++i) {
            std::vector<std::wstring> row;
            for (int column = 0; column < 4; ++column) {
                wchar_t text[128] = {};
                ListView_GetItemText(list, i, column, text, 128);
                row.push_back(text);
            }
            rows.push_back(row);
        }
        return rows;
    }

    static void Choose(HWND dialog, int row)
    {
        const HWND list = GetDlgItem(dialog, UndoItem::List);
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        if (row >= 0)
            ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }

    static void Press(HWND dialog, int id)
    {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

    static std::wstring ItemText(HWND dialog, int id)
    {
        wchar_t text[512] = {};
        GetDlgItemTextW(dialog, id, text, 512);
        return text;
    }

    int Answer = IDNO;
};

} // namespace

TEST_F(UndoRepair, TheDetailsWindowsSystemMenuOffersIt)
{
    const std::vector<TMenuItemState> items = MenuItems(GetSystemMenu(Details->Handle(), FALSE));
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.back().Text, Opt(OptionText::UndoMenu));
    EXPECT_EQ(items.back().Command, TW_Details::kUndoCommand);
    EXPECT_EQ(L"&Undo a repair...", Opt(OptionText::UndoMenu));
}

TEST_F(UndoRepair, EveryRepairIsListedNewestFirstAndComesBackOnRestore)
{
    ScanAndRepair();
    ASSERT_FALSE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(0)));
    const std::wstring undoFile = UndoFileOfTomorrow();
    const std::vector<TRunEntry> runs = TQuarantine(ScratchQuarantine()).Runs();
    ASSERT_EQ(1u, runs.size());
    WithDialog([&](HWND dialog) {
        wchar_t caption[64] = {};
        GetWindowTextW(dialog, caption, 64);
        EXPECT_EQ(caption, Opt(OptionText::UndoCaption));
        const auto rows = Rows(dialog);
        ASSERT_EQ(2u, rows.size());
        EXPECT_EQ(rows[0][1], Opt(OptionText::RegistryRepair));
        EXPECT_EQ(rows[0][2], L"1") << "one key";
        EXPECT_EQ(rows[1][1], Opt(OptionText::SpywareRemoval));
        EXPECT_EQ(rows[1][2], L"2") << "two items";
        EXPECT_FALSE(rows[1][0].empty()) << "a date";
        EXPECT_NE(rows[1][3].find(L" bytes"), std::wstring::npos) << "a size";
        EXPECT_EQ(FormatText(Opt(OptionText::QuarantineSize), {FormatSize(static_cast<int64_t>(runs[0].Bytes))}),
                  ItemText(dialog, UndoItem::Total));
        // What cannot be restored is said.
        EXPECT_TRUE(FindWindowExW(dialog, nullptr, L"Static", Opt(OptionText::NotRestorable).c_str()) != nullptr);

        Choose(dialog, 1);
        Press(dialog, UndoItem::Restore);
        ASSERT_EQ(1u, Messages.size());
        EXPECT_EQ(FormatText(Opt(OptionText::AllRestored), {rows[1][0]}), Messages[0].Text);
        Choose(dialog, 0);
        Press(dialog, UndoItem::Restore);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(0)));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(1)));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\UndoneLater", L"Value"));
    EXPECT_TRUE(PathExists(undoFile)) << "restoring keeps what can be restored again";
}

TEST_F(UndoRepair, DeleteAsksFirstAndThenRemovesTheRepairForGood)
{
    ScanAndRepair();
    const std::wstring undoFile = UndoFileOfTomorrow();
    const std::vector<TRunEntry> runs = TQuarantine(ScratchQuarantine()).Runs();
    ASSERT_EQ(1u, runs.size());
    WithDialog([&](HWND dialog) {
        Choose(dialog, 1);
        Answer = IDNO;
        Press(dialog, UndoItem::Delete);
        ASSERT_EQ(1u, Messages.size());
        EXPECT_NE(0u, Messages[0].Flags & MB_YESNO);
        EXPECT_EQ(2u, Rows(dialog).size()) << "no: nothing goes";
        Answer = IDYES;
        Choose(dialog, 1);
        Press(dialog, UndoItem::Delete);
        EXPECT_EQ(1u, Rows(dialog).size());
        Choose(dialog, 0);
        Press(dialog, UndoItem::Delete);
        EXPECT_TRUE(Rows(dialog).empty());
        // Nothing left to choose: the buttons go grey.
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, UndoItem::Restore)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, UndoItem::Delete)));
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(PathExists(runs[0].Folder));
    EXPECT_FALSE(PathExists(undoFile));
    EXPECT_EQ(3u, Messages.size()) << "a question each time, nothing else";
}

TEST_F(UndoRepair, ARestoreThatLeavesSomethingSaysWhat)
{
    ScanAndRepair();
    // The run's undo file is gone: its registry entries cannot come back.
    const std::vector<TRunEntry> runs = TQuarantine(ScratchQuarantine()).Runs();
    ASSERT_EQ(1u, runs.size());
    ASSERT_TRUE(DeleteFileW((runs[0].Folder + L"\\" + runs[0].Manifest.UndoFile).c_str()));
    WithDialog([&](HWND dialog) {
        Choose(dialog, 0);
        Press(dialog, UndoItem::Restore);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    ASSERT_EQ(1u, Messages.size());
    EXPECT_EQ(0u, Messages[0].Text.find(FormatText(Opt(OptionText::NotAllRestored), {L""}).substr(0, 20)))
        << Messages[0].Text;
    EXPECT_NE(std::wstring::npos, Messages[0].Text.find(L"HKEY_CURRENT_USER\\" + PresentKey(0)));
}
