// The "Ignored items" dialog: every line of the ignore sections with its section; removing lines
// brings their findings back at the next scan and leaves every other line as it was.
#include "OptionsFixture.h"

#include "app/IgnoredItemsDialog.h"
#include "common/FormatText.h"
#include "common/Handles.h"
#include "common/IniFile.h"

#include <commctrl.h>

namespace {

struct TRow {
    std::wstring Section, Line;
    bool operator==(const TRow&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TRow& row)
{
    return out << testing::PrintToString(row.Section) << " " << testing::PrintToString(row.Line);
}

class IgnoredItems : public OptionsFixture {
protected:
    void WithDialog(const std::function<void(HWND)>& drive)
    {
        const bool shown = WhileModal(
            [&] { SendMessageW(Form->Handle(), WM_SYSCOMMAND, TForm1::kIgnoredItemsCommand, 0); }, drive);
        ASSERT_TRUE(shown) << "no dialog";
    }
    static std::vector<TRow> Rows(HWND dialog)
    {
        const HWND list = GetDlgItem(dialog, IgnoredItem::List);
        std::vector<TRow> rows;
        for (int i = 0; i < ListView_GetItemCount(list); ++i) {
            wchar_t section[64] = {}, line[512] = {};
            ListView_GetItemText(list, i, 0, section, 64);
            ListView_GetItemText(list, i, 1, line, 512);
            rows.push_back({section, line});
        }
        return rows;
    }
    static void SelectRows(HWND dialog, const std::vector<int>& rows)
    {
        const HWND list = GetDlgItem(dialog, IgnoredItem::List);
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        for (int row : rows)
            ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    }
    static bool RemoveEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, IgnoredItem::Remove)) != FALSE; }
    static void Remove(HWND dialog)
    {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IgnoredItem::Remove, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IgnoredItem::Remove)));
    }
    static void Close(HWND dialog) { SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0); }

    const std::string kFile = "[Spyware]\r\nAdware=C:\\Elsewhere\\a.exe\r\nAdware=C:\\Elsewhere\\a.exe\r\n"
                              "Adware=C:\\Elsewhere\\b.exe\r\n[Registry]\r\nHKEY_CURRENT_USER\\Software\\A=b=N/A\r\n"
                              "[Other]\r\nkept=1\r\n[Cookie]\r\nads.example.com/=\r\n";
};

TEST_F(IgnoredItems, EveryLineIsListedWithItsSection)
{
    WriteDefinitions(0);
    WriteTextFile(IgnoreIniPath(), kFile);
    Start();
    WithDialog([&](HWND dialog) {
        wchar_t caption[64] = {};
        GetWindowTextW(dialog, caption, 64);
        EXPECT_EQ(caption, Opt(OptionText::IgnoredCaption));
        const std::wstring spyware = Opt(OptionText::SpywareSection), registry = Opt(OptionText::RegistrySection),
                           cookie = Opt(OptionText::CookieSection);
        EXPECT_EQ(Rows(dialog), (std::vector<TRow>{{spyware, L"Adware=C:\\Elsewhere\\a.exe"},
                                                   {spyware, L"Adware=C:\\Elsewhere\\a.exe"},
                                                   {spyware, L"Adware=C:\\Elsewhere\\b.exe"},
                                                   {registry, L"HKEY_CURRENT_USER\\Software\\A=b=N/A"},
                                                   {cookie, L"ads.example.com/="}}));
        // Nothing chosen yet: nothing to remove; Close is the default button and Esc's.
        EXPECT_FALSE(RemoveEnabled(dialog));
        SelectRows(dialog, {1});
        EXPECT_TRUE(RemoveEnabled(dialog));
        EXPECT_EQ(LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0)), IDCANCEL);
        Close(dialog);
    });
    // An absent file lists nothing and writes nothing.
    ASSERT_TRUE(DeleteFileW(IgnoreIniPath().c_str()));
    WithDialog([&](HWND dialog) {
        EXPECT_TRUE(Rows(dialog).empty());
        Close(dialog);
    });
    EXPECT_FALSE(PathExists(IgnoreIniPath()));
}

TEST_F(IgnoredItems, RemovedLinesBringTheirFindingsBackAndOtherLinesStay)
{
    WriteDefinitions(3);
    WriteTextFile(IgnoreIniPath(), kFile);
    Start();
    ScanNow();
    Select(Details->SpyListView, {1});
    ASSERT_TRUE(Details->FindingsMenu().Run(Details->SpyListView, cmIgnore));
    ScanNow();
    ASSERT_EQ(Details->SpyListView.Count(), 2);
    const std::wstring ignored = L"Adware=HKEY_CURRENT_USER\\" + PresentKey(1);
    const TWideStrings cookie = Section(IgnoreIniPath(), L"Cookie");
    const TWideStrings other = Section(IgnoreIniPath(), L"Other");

    WithDialog([&](HWND dialog) {
        std::vector<TRow> rows = Rows(dialog);
        ASSERT_EQ(rows.size(), 6u);
        ASSERT_EQ(rows[3].Line, ignored);
        // The second of two equal lines, the line of the scan, and the only registry line.
        SelectRows(dialog, {1, 3, 4});
        Remove(dialog);
        const std::wstring spyware = Opt(OptionText::SpywareSection);
        EXPECT_EQ(Rows(dialog), (std::vector<TRow>{{spyware, L"Adware=C:\\Elsewhere\\a.exe"},
                                                   {spyware, L"Adware=C:\\Elsewhere\\b.exe"},
                                                   {Opt(OptionText::CookieSection), L"ads.example.com/="}}));
        EXPECT_FALSE(RemoveEnabled(dialog));
        Close(dialog);
    });
    EXPECT_TRUE(Messages.empty()) << LastMessage();
    EXPECT_EQ(Section(IgnoreIniPath(), L"Spyware"),
              (TWideStrings{L"Adware=C:\\Elsewhere\\a.exe", L"Adware=C:\\Elsewhere\\b.exe"}));
    EXPECT_TRUE(Section(IgnoreIniPath(), L"Registry").empty());
    EXPECT_EQ(Section(IgnoreIniPath(), L"Cookie"), cookie);
    EXPECT_EQ(Section(IgnoreIniPath(), L"Other"), other);

    ScanNow();
    EXPECT_EQ(Details->SpyListView.Count(), 3);
    EXPECT_EQ(Form->Run.ProblemCounts[0], 3);

    // The Delete key removes too.
    WithDialog([&](HWND dialog) {
        SelectRows(dialog, {0});
        SendMessageW(GetDlgItem(dialog, IgnoredItem::List), WM_KEYDOWN, VK_DELETE, 0);
        EXPECT_EQ(Rows(dialog).size(), 2u);
        Close(dialog);
    });
    EXPECT_EQ(Section(IgnoreIniPath(), L"Spyware"), TWideStrings{L"Adware=C:\\Elsewhere\\b.exe"});
}

TEST_F(IgnoredItems, EachLineIsShownWholeWithAScrollBarWhenLongerThanTheList)
{
    WriteDefinitions(0);
    // Two long registry lines that differ only at their ends.
    std::string key = "HKEY_LOCAL_MACHINE\\Software\\Classes";
    while (key.size() < 240)
        key += "\\Some Longer Subkey Name";
    WriteTextFile(IgnoreIniPath(), "[Spyware]\r\nAdware=C:\\a.exe\r\n[Registry]\r\n" + key + "\\First=N/A\r\n" + key +
                                       "\\Second=N/A\r\n");
    Start();
    WithDialog([&](HWND dialog) {
        const HWND list = GetDlgItem(dialog, IgnoredItem::List);
        auto fits = [&] {
            const std::vector<TRow> rows = Rows(dialog);
            int total = 0;
            for (int column = 0; column < 2; ++column) {
                const int width = ListView_GetColumnWidth(list, column);
                total += width;
                for (const TRow& row : rows) {
                    const std::wstring& text = column == 0 ? row.Section : row.Line;
                    EXPECT_GE(width, ListView_GetStringWidth(list, text.c_str()) + 12)
                        << column << " " << testing::PrintToString(text);
                }
            }
            RECT client{};
            GetClientRect(list, &client);
            return total - client.right;
        };
        ASSERT_EQ(Rows(dialog).size(), 3u);
        EXPECT_GT(fits(), 0);
        EXPECT_TRUE(GetWindowLongW(list, GWL_STYLE) & WS_HSCROLL);
        // Without the long lines the item column reaches the right edge and no further.
        SelectRows(dialog, {1, 2});
        Remove(dialog);
        ASSERT_EQ(Rows(dialog).size(), 1u);
        EXPECT_EQ(fits(), 0);
        Close(dialog);
    });
    EXPECT_TRUE(Messages.empty()) << LastMessage();
}

TEST_F(IgnoredItems, AFileThatCannotBeWrittenIsLeftAsItWas)
{
    WriteDefinitions(0);
    WriteTextFile(IgnoreIniPath(), kFile);
    Start();
    const std::string before = Bytes(IgnoreIniPath());
    {
        THandle held(CreateFileW(IgnoreIniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                 nullptr));
        ASSERT_TRUE(held);
        WithDialog([&](HWND dialog) {
            const std::vector<TRow> rows = Rows(dialog);
            SelectRows(dialog, {0, 3});
            Remove(dialog);
            EXPECT_EQ(Rows(dialog), rows);
            Close(dialog);
        });
    }
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text.find(FormatText(Opt(OptionText::CannotWrite), {IgnoreIniPath()})), 0u) << Messages[0].Text;
    EXPECT_EQ(Bytes(IgnoreIniPath()), before);
}

TEST_F(IgnoredItems, ASectionWithALineTheServiceWouldDropIsNotRewritten)
{
    WriteDefinitions(0);
    WriteTextFile(IgnoreIniPath(), "[Spyware]\r\nAdware=C:\\a.exe\r\nwritten by hand\r\nAdware=C:\\b.exe\r\n");
    Start();
    const std::string before = Bytes(IgnoreIniPath());
    WithDialog([&](HWND dialog) {
        ASSERT_EQ(Rows(dialog).size(), 3u);
        SelectRows(dialog, {0});
        Remove(dialog);
        Close(dialog);
    });
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, FormatText(Opt(OptionText::LineWouldBeLost), {IgnoreIniPath()}) +
                                    L"\r\n\r\n[Spyware]\r\nwritten by hand");
    EXPECT_EQ(Bytes(IgnoreIniPath()), before);
}

} // namespace
