// The findings lists' right-click menu: check and uncheck, "Ignore this item" into Ignore.ini in the
// form the scanners match, "Open location" and "Copy"; the menu opened by the mouse and the keys.
#include "OptionsFixture.h"

#include "common/FormatText.h"
#include "common/Handles.h"
#include "common/IniFile.h"
#include "common/Registry.h"
#include "support/ScratchRegistry.h"
#include "ui/Clipboard.h"

#include "ui/MessagePump.h"

#include <commctrl.h>

namespace {

class FindingsMenu : public OptionsFixture {
protected:
    // Starts the program and scans: the spyware list holds `present` rows, all checked.
    void ScanSpyware(int present)
    {
        WriteDefinitions(present);
        Start();
        ScanNow();
        ASSERT_EQ(Details->SpyListView.Count(), present);
    }
    bool Run(TListView& list, UINT command) { return Details->FindingsMenu().Run(list, command); }
    std::vector<std::wstring> Entries() const
    {
        std::vector<std::wstring> entries;
        for (int row = 0; row < Details->SpyListView.Count(); ++row)
            entries.push_back(Details->SpyListView.SubItem(row, 3));
        return entries;
    }
    std::wstring SpyEntry(int i) const { return L"HKEY_CURRENT_USER\\" + PresentKey(i); }
};

std::wstring ClipboardText()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return L"(clipboard busy)";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::wstring RowText(const TListView& list, int row)
{
    std::wstring text;
    for (int column = 0; column < list.ColumnCount(); ++column)
        text += (column ? L"\t" : L"") + list.SubItem(row, column);
    return text;
}

TEST_F(FindingsMenu, IgnoringASpywareRowWritesItsLineAndHidesItNowAndAtTheNextScan)
{
    // A user's file: repeated keys, a comment, and the other sections.
    WriteTextFile(IgnoreIniPath(), "[Spyware]\r\nAdware=C:\\Elsewhere\\a.exe\r\n; kept by hand\r\n"
                                   "Adware=C:\\Elsewhere\\b.exe\r\n\r\n[Registry]\r\nHKEY_CURRENT_USER\\Software\\Kept=N/A\r\n"
                                   "[Cookie]\r\nads.example.com/=\r\n");
    const TWideStrings registry = Section(IgnoreIniPath(), L"Registry");
    const TWideStrings cookie = Section(IgnoreIniPath(), L"Cookie");
    TWideStrings spyware = Section(IgnoreIniPath(), L"Spyware");
    ASSERT_EQ(spyware.size(), 2u);
    ScanSpyware(3);
    ASSERT_EQ(Form->Run.ProblemCounts[0], 3);

    Select(Details->SpyListView, {1});
    ASSERT_TRUE(Run(Details->SpyListView, cmIgnore));
    EXPECT_EQ(LastMessage(), L"");
    spyware.push_back(L"Adware=" + SpyEntry(1));
    EXPECT_EQ(Section(IgnoreIniPath(), L"Spyware"), spyware);
    EXPECT_EQ(Section(IgnoreIniPath(), L"Registry"), registry);
    EXPECT_EQ(Section(IgnoreIniPath(), L"Cookie"), cookie);
    // At once: the list, the count and the result line agree.
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{SpyEntry(0), SpyEntry(2)}));
    EXPECT_EQ(Form->Run.ProblemCounts[0], 2);
    EXPECT_EQ(Form->LP1.Caption(), ResultText(2));

    ScanNow();
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{SpyEntry(0), SpyEntry(2)}));
    EXPECT_EQ(Form->Run.ProblemCounts[0], 2);

    // The last rows: the line turns to "no problems" and the count to 0.
    Select(Details->SpyListView, {0, 1});
    ASSERT_TRUE(Run(Details->SpyListView, cmIgnore));
    EXPECT_EQ(Details->SpyListView.Count(), 0);
    EXPECT_EQ(Form->Run.ProblemCounts[0], 0);
    EXPECT_EQ(Form->LP1.Caption(), ResultText(0));
    EXPECT_EQ(Section(IgnoreIniPath(), L"Spyware").size(), 5u);
}

TEST_F(FindingsMenu, IgnoringARegistryRowWritesKeyAndValueThatSplitBackAtTheLastEquals)
{
    ScanSpyware(0);
    ASSERT_FALSE(PathExists(IgnoreIniPath()));
    struct Row {
        std::wstring Key, Value;
    } rows[] = {
        {L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", L"Gone Font (TrueType)"},
        {L"HKEY_CURRENT_USER\\Software\\Odd=Name", L"Value"},       // "=" in the key: the split is at the last one
        {L"HKEY_CURRENT_USER\\Software\\Empty", L"N/A"},            // a whole key
        {L"HKEY_LOCAL_MACHINE\\Software\\App Paths\\gone.exe", L""}, // the default value
        {L"HKEY_CURRENT_USER\\Software\\Gr\u00fc\u00dfe\u20ac\u03a9\u4e2d", L"\u0416"}, // outside the code page
    };
    std::vector<std::vector<std::wstring>> shown;
    for (const Row& row : rows)
        shown.push_back({row.Key, row.Value, L"C:\\gone.exe"});
    ShowRegistryRows(shown);
    TListView& list = Details->RegListView;

    for (int i = 0; i < static_cast<int>(std::size(rows)); ++i) {
        SCOPED_TRACE(i);
        Select(list, {0});
        ASSERT_TRUE(Run(list, cmIgnore));
        EXPECT_EQ(LastMessage(), L"");
        const TWideStrings lines = Section(IgnoreIniPath(), L"Registry");
        ASSERT_EQ(lines.size(), static_cast<size_t>(i + 1));
        EXPECT_EQ(lines.back(), rows[i].Key + L"=" + rows[i].Value);
        const size_t last = lines.back().rfind(L'=');
        EXPECT_EQ(lines.back().substr(0, last), rows[i].Key);
        EXPECT_EQ(lines.back().substr(last + 1), rows[i].Value);
        EXPECT_EQ(list.Count(), static_cast<int>(std::size(rows)) - i - 1);
        EXPECT_EQ(Form->Run.ProblemCounts[1], list.Count());
        EXPECT_EQ(Form->LP2.Caption(), ResultText(list.Count()));
    }
    // Created as UTF-16 with a byte-order mark, so the key outside the code page came back whole.
    EXPECT_EQ(Bytes(IgnoreIniPath()).substr(0, 2), "\xFF\xFE");
}

TEST_F(FindingsMenu, RowsTheLineCannotHoldGetAMessageAndStay)
{
    struct Case {
        const wchar_t* Name;
        bool Registry;
        std::vector<std::wstring> Columns; // caption, then the columns after it
    } cases[] = {
        {L"registry value holding =", true, {L"Empty", L"HKEY_CURRENT_USER\\Software\\A", L"x=y", L""}},
        {L"registry value starting with a blank", true, {L"Empty", L"HKEY_CURRENT_USER\\Software\\A", L" lead", L""}},
        {L"registry value ending with a blank", true, {L"Empty", L"HKEY_CURRENT_USER\\Software\\A", L"trail ", L""}},
        {L"registry key ending with a blank", true, {L"Empty", L"HKEY_CURRENT_USER\\Software\\B ", L"N/A", L""}},
        {L"registry key with a blank before its =", true, {L"Empty", L"HKEY_CURRENT_USER\\Software\\C =D", L"N/A", L""}},
        {L"spyware entry holding =", false, {L"Adware", L"Shows adverts", L"Medium", L"C:\\Pest\\a=b.exe"}},
        {L"spyware name holding =", false, {L"Ad=ware", L"Shows adverts", L"Medium", L"C:\\Pest\\ab.exe"}},
    };
    ScanSpyware(0);
    WriteTextFile(IgnoreIniPath(), "[Spyware]\r\nAdware=C:\\Elsewhere\\a.exe\r\n");
    const std::string before = Bytes(IgnoreIniPath());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Messages.clear();
        TListView& list = c.Registry ? Details->RegListView : Details->SpyListView;
        list.Clear();
        list.AddItem(c.Columns[0], {c.Columns.begin() + 1, c.Columns.end()}, 0, true);
        Form->Run.ProblemCounts[c.Registry ? 1 : 0] = 1;
        Select(list, {0});
        EXPECT_TRUE(Run(list, cmIgnore));
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0].Text, Opt(OptionText::CannotIgnore) + L"\r\n\r\n" + RowText(list, 0));
        EXPECT_EQ(list.Count(), 1);
        EXPECT_EQ(Form->Run.ProblemCounts[c.Registry ? 1 : 0], 1);
        EXPECT_EQ(Bytes(IgnoreIniPath()), before);
    }

    // With a row that can be ignored, that one goes and the other is named.
    TListView& list = Details->RegListView;
    ShowRegistryRows({{L"HKEY_CURRENT_USER\\Software\\A", L"x=y", L""}, {L"HKEY_CURRENT_USER\\Software\\B", L"N/A", L""}});
    Messages.clear();
    Select(list, {0, 1});
    EXPECT_TRUE(Run(list, cmIgnore));
    EXPECT_EQ(Section(IgnoreIniPath(), L"Registry"), TWideStrings{L"HKEY_CURRENT_USER\\Software\\B=N/A"});
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.SubItem(0, 2), L"x=y");
    EXPECT_EQ(Form->Run.ProblemCounts[1], 1);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_NE(Messages[0].Text.find(L"HKEY_CURRENT_USER\\Software\\A\tx=y"), std::wstring::npos) << Messages[0].Text;
}

TEST_F(FindingsMenu, AnIgnoreFileThatCannotBeWrittenIsLeftAsItWas)
{
    ScanSpyware(2);
    WriteTextFile(IgnoreIniPath(), "[Spyware]\r\nAdware=C:\\Elsewhere\\a.exe\r\n");
    const std::string before = Bytes(IgnoreIniPath());
    {
        // Held open by another program that shares reading only.
        THandle held(CreateFileW(IgnoreIniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                 nullptr));
        ASSERT_TRUE(held);
        Select(Details->SpyListView, {0});
        EXPECT_TRUE(Run(Details->SpyListView, cmIgnore));
    }
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text.find(FormatText(Opt(OptionText::CannotWrite), {IgnoreIniPath()})), 0u)
        << Messages[0].Text;
    EXPECT_EQ(Bytes(IgnoreIniPath()), before);
    EXPECT_EQ(Details->SpyListView.Count(), 2);
    EXPECT_EQ(Form->Run.ProblemCounts[0], 2);
    EXPECT_EQ(Form->LP1.Caption(), ResultText(2));
}

TEST_F(FindingsMenu, CheckCommandsActOnAllRowsOrOnTheSelectedOnes)
{
    struct Case {
        UINT Command;
        std::vector<bool> Before;
        std::vector<int> Selected;
        std::vector<bool> After;
        UINT Box; // the check-all box afterwards: all, none or some rows ticked
    } cases[] = {
        {cmUncheckAll, {true, true, false}, {}, {false, false, false}, BST_UNCHECKED},
        {cmCheckAll, {false, true, false}, {1}, {true, true, true}, BST_CHECKED},
        {cmUncheckSelected, {true, true, true}, {0, 2}, {false, true, false}, BST_INDETERMINATE},
        {cmCheckSelected, {false, false, false}, {1, 2}, {false, true, true}, BST_INDETERMINATE},
        {cmCheckSelected, {true, false, true}, {1}, {true, true, true}, BST_CHECKED},
    };
    ScanSpyware(3);
    TListView& list = Details->SpyListView;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Command);
        Details->chk2.SetChecked(true);
        for (int row = 0; row < 3; ++row)
            list.SetChecked(row, c.Before[static_cast<size_t>(row)]);
        Select(list, c.Selected);
        EXPECT_TRUE(Run(list, c.Command));
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(list.Checked(row), c.After[static_cast<size_t>(row)]) << row;
        EXPECT_EQ(SendMessageW(Details->chk2.Handle(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(c.Box));
    }
    // What needs a selection is not offered without one, and changes nothing.
    Select(list, {});
    list.SetAllChecked(true);
    for (UINT command : {cmUncheckSelected, cmIgnore, cmCopy, cmOpenLocation})
        EXPECT_FALSE(Run(list, command)) << command;
    EXPECT_TRUE(list.Checked(0) && list.Checked(1) && list.Checked(2));
    EXPECT_FALSE(PathExists(IgnoreIniPath()));
}

TEST_F(FindingsMenu, CopyPutsTheSelectedRowsOnTheClipboard)
{
    ScanSpyware(3);
    TListView& list = Details->SpyListView;
    Select(list, {0, 2});
    ASSERT_TRUE(Run(list, cmCopy));
    EXPECT_EQ(ClipboardText(), RowText(list, 0) + L"\r\n" + RowText(list, 2));
    EXPECT_EQ(RowText(list, 2), L"Adware\tTest Spy shows adverts\t" + Lng(L"M_SpywareScan", 3) + L"\t" + SpyEntry(2));

    // Ctrl+C in the list does the same.
    Select(list, {1});
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(list.Handle(), WM_KEYDOWN, 'C', 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(ClipboardText(), RowText(list, 1));
}

TEST_F(FindingsMenu, OpenLocationShowsFilesInExplorerAndKeysInTheRegistryEditor)
{
    const std::wstring file = Folder.MakeFile(L"pest\\pest.exe", 10);
    const std::wstring gone = Folder / L"pest\\gone.exe";
    struct Case {
        const wchar_t* Name;
        bool Registry; // the registry list, else the spyware list
        std::wstring Location;
        const wchar_t* PreviousLastKey; // nullptr: none yet
        std::wstring Program, Parameters, LastKey;
    } cases[] = {
        {L"spyware value", false, L"HKEY_CURRENT_USER\\Software\\Pest|Run", nullptr, L"regedit.exe", L"",
         L"HKEY_CURRENT_USER\\Software\\Pest"},
        {L"the editor's own form kept", false, L"HKEY_CURRENT_USER\\Software\\Pest",
         L"Computer\\HKEY_LOCAL_MACHINE\\SOFTWARE", L"regedit.exe", L"", L"Computer\\HKEY_CURRENT_USER\\Software\\Pest"},
        {L"registry row", true, L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\Help\\", L"HKEY_USERS", L"regedit.exe",
         L"", L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\Help"},
        {L"file", false, file, nullptr, L"explorer.exe", L"/select,\"" + file + L"\"", L""},
        {L"file that is gone: its folder", false, gone, nullptr, L"explorer.exe", L"\"" + Folder / L"pest\"", L""},
    };
    ScanSpyware(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Launched.clear();
        RegDeleteTreeW(HKEY_CURRENT_USER, kRegeditSettingsKey);
        if (c.PreviousLastKey)
            SetRegString(HKEY_CURRENT_USER, kRegeditSettingsKey, L"LastKey", c.PreviousLastKey);
        TListView& list = c.Registry ? Details->RegListView : Details->SpyListView;
        list.Clear();
        if (c.Registry)
            list.AddItem(L"Invalid help file", {c.Location, L"gone.hlp", L""}, 4, true);
        else
            list.AddItem(L"Adware", {L"Shows adverts", L"Medium", c.Location}, 0, true);
        Select(list, {0});
        ASSERT_TRUE(Run(list, cmOpenLocation));
        ASSERT_EQ(Launched.size(), 1u);
        EXPECT_EQ(Launched[0].first, c.Program);
        EXPECT_EQ(Launched[0].second, c.Parameters);
        std::wstring lastKey;
        TRegKey settings;
        if (settings.Open(HKEY_CURRENT_USER, kRegeditSettingsKey) == ERROR_SUCCESS)
            settings.ReadString(L"LastKey", lastKey);
        EXPECT_EQ(lastKey, c.LastKey);
    }

    // A tracking cookie is known by its URL only: no location to open.
    Details->SpyListView.Clear();
    Details->SpyListView.AddItem(L"Tracking Cookie", {L"Ads", L"Low", L"cookie:user@ads.example.com/"}, 3, true);
    Select(Details->SpyListView, {0});
    Launched.clear();
    EXPECT_FALSE(Run(Details->SpyListView, cmOpenLocation));
    EXPECT_TRUE(Launched.empty());
}

TEST_F(FindingsMenu, TheMenuOpensFromTheMouseAndTheKeysWithTheLanguageTexts)
{
    ScanSpyware(3);
    TListView& list = Details->SpyListView;
    ShowWindow(Details->Handle(), SW_SHOW);
    RECT rowRect{};
    ListView_GetItemRect(list.Handle(), 1, &rowRect, LVIR_LABEL);
    const LPARAM onRow = MAKELPARAM(rowRect.left + 5, (rowRect.top + rowRect.bottom) / 2);

    struct Opener {
        const wchar_t* Name;
        std::function<void()> Open;
    } openers[] = {
        {L"right click on a row",
         [&] {
             // Posted: the list follows the button until it is released.
             Select(list, {});
             PostMessageW(list.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, onRow);
             PostMessageW(list.Handle(), WM_RBUTTONUP, 0, onRow);
             ProcessMessages();
         }},
        {L"context-menu key",
         [&] {
             Select(list, {1});
             SendMessageW(list.Handle(), WM_KEYDOWN, VK_APPS, 0x015D0001);
             SendMessageW(list.Handle(), WM_KEYUP, VK_APPS, 0xC15D0001);
         }},
        {L"Shift+F10",
         [&] {
             Select(list, {1});
             BYTE keys[256];
             GetKeyboardState(keys);
             keys[VK_SHIFT] = 0x80;
             SetKeyboardState(keys);
             SendMessageW(list.Handle(), WM_SYSKEYDOWN, VK_F10, 0x00440001);
             keys[VK_SHIFT] = 0;
             SetKeyboardState(keys);
         }},
    };
    const std::vector<TMenuItemState> expected = {
        {Opt(OptionText::CheckAll), cmCheckAll, true},
        {Opt(OptionText::UncheckAll), cmUncheckAll, true},
        {L"-", 0, true},
        {Opt(OptionText::CheckSelected), cmCheckSelected, true},
        {Opt(OptionText::UncheckSelected), cmUncheckSelected, true},
        {L"-", 0, true},
        {Opt(OptionText::IgnoreItem), cmIgnore, true},
        {Opt(OptionText::OpenLocation), cmOpenLocation, true},
        {L"-", 0, true},
        {Opt(OptionText::Copy), cmCopy, true},
    };
    for (const Opener& opener : openers) {
        SCOPED_TRACE(opener.Name);
        SetClipboardText(nullptr, L"");
        std::vector<TMenuItemState> shown;
        const bool opened = WhileModal(opener.Open, [&](HWND menu) {
            shown = MenuItems(reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)));
            // The mnemonic of "Copy", as the user types it.
            PostMessageW(menu, WM_CHAR, L'p', 0);
        }, kMenuClass);
        ASSERT_TRUE(opened);
        ASSERT_EQ(shown.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(shown[i].Text, expected[i].Text) << i;
            EXPECT_EQ(shown[i].Command, expected[i].Command) << i;
            EXPECT_EQ(shown[i].Enabled, expected[i].Enabled) << i;
        }
        EXPECT_EQ(ClipboardText(), RowText(list, 1));
    }
}

TEST_F(FindingsMenu, IgnoreActsOnTheRowTheMenuOpensOnOrOnEverySelectedRow)
{
    ScanSpyware(4);
    TListView& list = Details->SpyListView;
    ShowWindow(Details->Handle(), SW_SHOW);
    // Opens the menu as the list asks for it (a right click on the row, or the keys for row -1), reads
    // what "Ignore" says and chooses it by its mnemonic.
    auto ignore = [&](int row) {
        std::wstring text;
        RECT rect{};
        ListView_GetItemRect(list.Handle(), std::max(row, 0), &rect, LVIR_LABEL);
        POINT at{rect.left + 5, (rect.top + rect.bottom) / 2};
        ClientToScreen(list.Handle(), &at);
        const bool opened = WhileModal(
            [&] {
                if (row >= 0)
                    SendMessageW(list.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list.Handle()),
                                 MAKELPARAM(at.x, at.y));
                else
                    SendMessageW(list.Handle(), WM_KEYUP, VK_APPS, 0xC15D0001);
            },
            [&](HWND menu) {
                for (const TMenuItemState& item : MenuItems(reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0))))
                    if (item.Command == cmIgnore)
                        text = item.Text;
                PostMessageW(menu, WM_CHAR, L'i', 0);
            },
            kMenuClass);
        EXPECT_TRUE(opened);
        ProcessMessages();
        return text;
    };

    // Two rows selected, the menu opened on a third: that row alone.
    Select(list, {0, 2});
    EXPECT_EQ(ignore(1), Opt(OptionText::IgnoreItem));
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{SpyEntry(0), SpyEntry(2), SpyEntry(3)}));
    EXPECT_EQ(Section(IgnoreIniPath(), L"Spyware"), TWideStrings{L"Adware=" + SpyEntry(1)});
    EXPECT_EQ(Form->Run.ProblemCounts[0], 3);

    // Opened on one of the selected rows: all of them, and the menu says so.
    Select(list, {0, 1});
    EXPECT_EQ(ignore(1), Opt(OptionText::IgnoreSelected));
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{SpyEntry(3)}));
    EXPECT_EQ(Section(IgnoreIniPath(), L"Spyware").size(), 3u);

    // From the keys with no row selected: the row with the focus.
    Select(list, {});
    list.SetFocused(0);
    EXPECT_EQ(ignore(-1), Opt(OptionText::IgnoreItem));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(Form->Run.ProblemCounts[0], 0);
}

// The junk page: a heading, a refused folder's line, then the files the scan listed.
class JunkPageMenu : public FindingsMenu {
protected:
    void Fill(const std::vector<std::wstring>& files)
    {
        TJunkPage& page = Details->TempMemo;
        page.Clear();
        for (const wchar_t* line : {L"Junk files:", L"----", L"", L"2 junk files", L"Total size: 20 bytes"})
            page.Add(line);
        page.Add(L"Skipped C:\\Windows: a protected folder");
        page.ShareTail(std::make_shared<const std::vector<std::wstring>>(files));
        page.Flush();
    }
};

TEST_F(JunkPageMenu, CopyAndOpenLocationActOnTheSelectedRows)
{
    WriteDefinitions(0);
    Start();
    const std::wstring file = Folder.MakeFile(L"Temp\\old.tmp", 10);
    const std::wstring gone = Folder / L"Temp\\gone.tmp";
    Fill({file, gone});
    TJunkPage& page = Details->TempMemo;
    ASSERT_EQ(page.RowCount(), 3);
    EXPECT_EQ(page.ControlText(), page.Text());
    EXPECT_EQ(page.Heading.Caption(), L"Junk files:\r\n----\r\n\r\n2 junk files\r\nTotal size: 20 bytes");

    Select(page, {1, 2});
    ASSERT_TRUE(page.Run(cmCopy));
    EXPECT_EQ(ClipboardText(), file + L"\r\n" + gone);

    struct Case {
        int Row;
        std::wstring Parameters; // empty: nothing to open
    } cases[] = {
        {1, L"/select,\"" + file + L"\""},
        {2, L"\"" + Folder / L"Temp\""},
        {0, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Row);
        Launched.clear();
        Select(page, {c.Row});
        EXPECT_EQ(page.Run(cmOpenLocation), !c.Parameters.empty());
        if (c.Parameters.empty()) {
            EXPECT_TRUE(Launched.empty());
            continue;
        }
        ASSERT_EQ(Launched.size(), 1u);
        EXPECT_EQ(Launched[0].first, L"explorer.exe");
        EXPECT_EQ(Launched[0].second, c.Parameters);
    }
    Select(page, {});
    EXPECT_FALSE(page.Run(cmCopy));

    // Ctrl+A then Ctrl+C in the list copy every row.
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(page.Handle(), WM_KEYDOWN, 'A', 0);
    SendMessageW(page.Handle(), WM_KEYDOWN, 'C', 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(ClipboardText(), L"Skipped C:\\Windows: a protected folder\r\n" + file + L"\r\n" + gone);
}

TEST_F(JunkPageMenu, TheMenuOpensFromTheKeysWithTheLanguageTexts)
{
    WriteDefinitions(0);
    Start();
    const std::wstring file = Folder.MakeFile(L"Temp\\old.tmp", 10);
    Fill({file});
    TJunkPage& page = Details->TempMemo;
    Details->TntPageControl1.SetActivePageIndex(3);
    ShowWindow(Details->Handle(), SW_SHOW);
    struct Case {
        int Row;
        bool OpenLocation;
    } cases[] = {{1, true}, {0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Row);
        SetClipboardText(nullptr, L"");
        std::vector<TMenuItemState> shown;
        const bool opened = WhileModal([&] {
            Select(page, {c.Row});
            SendMessageW(page.Handle(), WM_KEYDOWN, VK_APPS, 0x015D0001);
            SendMessageW(page.Handle(), WM_KEYUP, VK_APPS, 0xC15D0001);
        }, [&](HWND menu) {
            shown = MenuItems(reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)));
            PostMessageW(menu, WM_CHAR, L'p', 0);
        }, kMenuClass);
        ASSERT_TRUE(opened);
        const std::vector<TMenuItemState> expected = {
            {Opt(OptionText::OpenLocation), cmOpenLocation, c.OpenLocation},
            {L"-", 0, true},
            {Opt(OptionText::Copy), cmCopy, true},
        };
        ASSERT_EQ(shown.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(shown[i].Text, expected[i].Text) << i;
            EXPECT_EQ(shown[i].Command, expected[i].Command) << i;
            EXPECT_EQ(shown[i].Enabled, expected[i].Enabled) << i;
        }
        EXPECT_EQ(ClipboardText(), page.Line(page.LineOfRow(c.Row)));
    }
}

} // namespace
