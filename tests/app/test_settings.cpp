// The settings dialog from the main window's system menu: it shows what the scanners read from
// Main.ini, writes what they read back, refuses an age out of range and a file that cannot be written,
// and works from the keyboard. The privacy selection of the details window survives a restart.
#include "OptionsFixture.h"

#include "app/SettingsDialog.h"
#include "common/FormatText.h"
#include "common/Handles.h"
#include "common/IniFile.h"
#include "common/MultiLan.h"
#include "junk/JunkWalk.h"
#include "privacy/PrivacyCategories.h"
#include "quarantine/QuarantineSettings.h"

#include <commctrl.h>

#include <map>

namespace {

// The registry scan's switches in the order it reads them, with their defaults.
const std::vector<std::pair<std::wstring, bool>> kScanSwitches = {
    {L"Active", true},   {L"App", true},       {L"Filetypes", true}, {L"Fonts", true},  {L"Help", true},
    {L"History", true},  {L"Shared", true},    {L"Shortcut", true},  {L"Software", true}, {L"Sounds", true},
    {L"Startmenu", true}, {L"Startup", true},  {L"Mui", true},       {L"Fileextend", true}, {L"Classes", true},
    {L"Openscan", false}, {L"System", true},
};

std::wstring Trim(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L" \t");
    return first == std::wstring::npos ? L"" : text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// A switch the way the registry scan reads it: on when its trimmed text is exactly "1".
bool ScanSwitchOn(const std::wstring& key, bool defaultOn)
{
    wchar_t value[64] = {};
    GetPrivateProfileStringW(L"RegistryOpt", key.c_str(), defaultOn ? L"1" : L"0", value, 64, MainIniPath().c_str());
    return Trim(value) == L"1";
}

std::wstring ComboText(HWND combo, int index)
{
    const auto length = static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, index, 0));
    std::wstring text(length + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

wchar_t Mnemonic(const std::wstring& text)
{
    const size_t at = text.find(L'&');
    return at == std::wstring::npos ? 0 : static_cast<wchar_t>(towlower(text[at + 1]));
}

// A key as the dialog's own loop hands it to the dialog manager.
void Key(HWND dialog, UINT message, WPARAM key)
{
    MSG msg{GetFocus(), message, key, 0, 0, {}};
    IsDialogMessageW(dialog, &msg);
}

// Children of a window whose text is exactly text.
std::vector<HWND> ChildrenWithText(HWND parent, const std::wstring& text)
{
    struct TSearch {
        std::wstring Text;
        std::vector<HWND> Found;
    } search{text, {}};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<TSearch*>(data);
            wchar_t buffer[256] = {};
            GetWindowTextW(child, buffer, 256);
            if (s->Text == buffer)
                s->Found.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

class Settings : public OptionsFixture {
protected:
    void SetUp() override
    {
        OptionsFixture::SetUp();
        WriteDefinitions(0);
        CopyFileW((ProgramDir + L"Language\\English.lng").c_str(), (ProgramDir + L"Language\\German.lng").c_str(), FALSE);
    }
    // Opens the dialog from the system menu and hands it to drive, which must close it.
    void WithDialog(const std::function<void(HWND)>& drive)
    {
        const bool shown = WhileModal(
            [&] { SendMessageW(Form->Handle(), WM_SYSCOMMAND, TForm1::kSettingsCommand, 0); }, drive);
        ASSERT_TRUE(shown) << "no settings dialog";
    }
    static bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
    static std::wstring ItemText(HWND dialog, int id)
    {
        wchar_t text[256] = {};
        GetDlgItemTextW(dialog, id, text, 256);
        return text;
    }
    // Each value typed into item and confirmed is refused with message; the dialog stays, with the
    // keyboard back on item.
    void ExpectEachRefused(HWND dialog, int item, std::initializer_list<const wchar_t*> values, int message)
    {
        for (const wchar_t* value : values) {
            SCOPED_TRACE(value);
            Messages.clear();
            SetDlgItemTextW(dialog, item, value);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
            ASSERT_EQ(Messages.size(), 1u);
            EXPECT_EQ(Messages[0].Text, Opt(message));
            EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays for a correction";
            EXPECT_EQ(GetFocus(), GetDlgItem(dialog, item));
        }
    }
};

TEST_F(Settings, TheSystemMenuOffersTheOptionsExceptDuringAScan)
{
    Start();
    HMENU menu = GetSystemMenu(Form->Handle(), FALSE);
    const std::vector<TMenuItemState> items = MenuItems(menu);
    ASSERT_GE(items.size(), 3u);
    EXPECT_EQ(items[items.size() - 2].Text, Opt(OptionText::SettingsMenu));
    EXPECT_EQ(items[items.size() - 2].Command, TForm1::kSettingsCommand);
    EXPECT_EQ(items.back().Text, Opt(OptionText::IgnoredItemsMenu));
    EXPECT_EQ(items.back().Command, TForm1::kIgnoredItemsCommand);
    for (bool scanning : {true, false}) {
        SCOPED_TRACE(scanning);
        Form->Run.Scanning = scanning;
        SendMessageW(Form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
        for (UINT command : {TForm1::kSettingsCommand, TForm1::kIgnoredItemsCommand})
            EXPECT_EQ((GetMenuState(menu, command, MF_BYCOMMAND) & MF_GRAYED) != 0, scanning) << command;
    }
    // The layout of the main window stays as it was: no menu bar.
    EXPECT_EQ(GetMenu(Form->Handle()), nullptr);
}

TEST_F(Settings, TheDetailsWindowsSystemMenuOffersTheOptionsToo)
{
    Start();
    const std::vector<TMenuItemState> items = MenuItems(GetSystemMenu(Details->Handle(), FALSE));
    ASSERT_GE(items.size(), 4u);
    EXPECT_EQ(items[items.size() - 3].Command, TForm1::kSettingsCommand);
    EXPECT_EQ(items[items.size() - 3].Text, Opt(OptionText::SettingsMenu));
    EXPECT_EQ(items[items.size() - 2].Command, TForm1::kIgnoredItemsCommand);
    EXPECT_EQ(items[items.size() - 2].Text, Opt(OptionText::IgnoredItemsMenu));
    EXPECT_EQ(items.back().Command, TW_Details::kUndoCommand);
    // Each opens its dialog over the details window.
    const std::pair<UINT, int> dialogs[] = {{TForm1::kSettingsCommand, OptionText::SettingsCaption},
                                            {TForm1::kIgnoredItemsCommand, OptionText::IgnoredCaption}};
    for (const auto& [command, caption] : dialogs) {
        SCOPED_TRACE(command);
        HWND owner = nullptr;
        std::wstring shown;
        const bool opened = WhileModal([&] { SendMessageW(Details->Handle(), WM_SYSCOMMAND, command, 0); },
                                       [&](HWND dialog) {
                                           owner = GetWindow(dialog, GW_OWNER);
                                           shown = WindowText(dialog);
                                           SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                                       });
        ASSERT_TRUE(opened);
        EXPECT_EQ(owner, Details->Handle());
        EXPECT_EQ(shown, Opt(caption));
    }
}

TEST_F(Settings, TheDialogShowsWhatTheScannersRead)
{
    WriteSetting(L"Junk File Removal", L"IE Cache", L"1");
    WriteSetting(L"Junk File Removal", L"RemoveDay", L"7");
    WriteSetting(L"RegistryOpt", L"Fonts", L"0");
    WriteSetting(L"RegistryOpt", L"History", L"yes");
    WriteSetting(L"RegistryOpt", L"Openscan", L" 1 ");
    Start();
    const std::string before = Bytes(MainIniPath());
    WithDialog([&](HWND dialog) {
        wchar_t caption[64] = {};
        GetWindowTextW(dialog, caption, 64);
        EXPECT_EQ(caption, Opt(OptionText::SettingsCaption));
        EXPECT_FALSE(Checked(dialog, SettingsItem::TempFile));
        EXPECT_TRUE(Checked(dialog, SettingsItem::IECache));
        EXPECT_FALSE(Checked(dialog, SettingsItem::Recycle));
        EXPECT_EQ(ItemText(dialog, SettingsItem::RemoveDay), L"7");
        for (size_t i = 0; i < kScanSwitches.size(); ++i) {
            const HWND box = GetDlgItem(dialog, SettingsItem::FirstRegistrySwitch + static_cast<int>(i));
            EXPECT_EQ(ItemText(dialog, GetDlgCtrlID(box)), Opt(OptionText::FirstRegistrySwitch + static_cast<int>(i)));
            EXPECT_EQ(Checked(dialog, GetDlgCtrlID(box)), ScanSwitchOn(kScanSwitches[i].first, kScanSwitches[i].second))
                << kScanSwitches[i].first;
        }
        EXPECT_FALSE(Checked(dialog, SettingsItem::FirstRegistrySwitch + 3)); // Fonts
        EXPECT_FALSE(Checked(dialog, SettingsItem::FirstRegistrySwitch + 5)); // History=yes is off
        EXPECT_TRUE(Checked(dialog, SettingsItem::FirstRegistrySwitch + 15)); // Openscan " 1 " is on
        const HWND languages = GetDlgItem(dialog, SettingsItem::Language);
        ASSERT_EQ(SendMessageW(languages, CB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(ComboText(languages, 0), L"English");
        EXPECT_EQ(ComboText(languages, 1), L"German");
        EXPECT_EQ(SendMessageW(languages, CB_GETCURSEL, 0, 0), 0);
        // The first item takes the keyboard; OK is the default button.
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, SettingsItem::TempFile));
        EXPECT_EQ(LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0)), IDOK);
        // No policy sets anything here: nothing is greyed, no note shows.
        EXPECT_TRUE(ChildrenWithText(dialog, Opt(OptionText::SetByAdministrator)).empty());
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, SettingsItem::RemoveDay)));
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(Bytes(MainIniPath()), before);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(Settings, WhatTheDialogWritesIsWhatTheScannersReadBack)
{
    Start();
    const std::vector<int> turned = {3, 9, 15}; // Fonts and Sounds off, Openscan on
    WithDialog([&](HWND dialog) {
        CheckDlgButton(dialog, SettingsItem::TempFile, BST_CHECKED);
        CheckDlgButton(dialog, SettingsItem::Recycle, BST_CHECKED);
        SetDlgItemTextW(dialog, SettingsItem::RemoveDay, L"30");
        for (int i : turned) {
            const int id = SettingsItem::FirstRegistrySwitch + i;
            CheckDlgButton(dialog, id, Checked(dialog, id) ? BST_UNCHECKED : BST_CHECKED);
        }
        SendDlgItemMessageW(dialog, SettingsItem::Language, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(L"German"));
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(Messages.empty()) << LastMessage();
    const TJunkSettings junk = ReadJunkSettings(MainIniPath());
    EXPECT_TRUE(junk.TempFile);
    EXPECT_FALSE(junk.IECache);
    EXPECT_TRUE(junk.Recycle);
    EXPECT_EQ(junk.RemoveDay, 30);
    for (size_t i = 0; i < kScanSwitches.size(); ++i) {
        const bool flipped = std::find(turned.begin(), turned.end(), static_cast<int>(i)) != turned.end();
        EXPECT_EQ(ScanSwitchOn(kScanSwitches[i].first, kScanSwitches[i].second), kScanSwitches[i].second != flipped)
            << kScanSwitches[i].first;
    }
    // A new section lists its keys in the scan's order.
    const TWideStrings keys = TIniFile(MainIniPath()).ReadSectionKeys(L"RegistryOpt");
    ASSERT_EQ(keys.size(), kScanSwitches.size());
    for (size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(keys[i], kScanSwitches[i].first);
    // The language of the next start.
    EXPECT_EQ(TMultiLan(MainIniPath(), ProgramDir).LanguageName, L"German");
    EXPECT_EQ(Form->Run.LangTexts->LanguageName, L"English");
}

TEST_F(Settings, AnAgeOutOfRangeIsRefusedAndNothingIsWritten)
{
    Start();
    const std::string before = Bytes(MainIniPath());
    WithDialog([&](HWND dialog) {
        ExpectEachRefused(dialog, SettingsItem::RemoveDay, {L"366", L"1000", L"-1", L"abc", L"", L"2 5"},
                          OptionText::RemoveDayRange);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(Bytes(MainIniPath()), before);
    // Both ends of the range are taken.
    for (const wchar_t* days : {L"0", L"365"}) {
        SCOPED_TRACE(days);
        WithDialog([&](HWND dialog) {
            SetDlgItemTextW(dialog, SettingsItem::RemoveDay, days);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(ReadJunkSettings(MainIniPath()).RemoveDay, _wtoi(days));
    }
}

TEST_F(Settings, HowLongTheQuarantineKeepsRemovedSpyware)
{
    Start();
    WithDialog([&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, SettingsItem::QuarantineDays), L"30") << "the default";
        // The label's mnemonic takes the keyboard to the days.
        Key(dialog, WM_SYSCHAR, Mnemonic(Opt(OptionText::KeepQuarantineLabel)));
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, SettingsItem::QuarantineDays));
        ExpectEachRefused(dialog, SettingsItem::QuarantineDays, {L"3651", L"-1", L"abc", L""},
                          OptionText::QuarantineDaysRange);
        Messages.clear();
        SetDlgItemTextW(dialog, SettingsItem::QuarantineDays, L"3650");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(Messages.empty()) << LastMessage();
    EXPECT_EQ(ReadQuarantineDays(MainIniPath()), 3650);
    WriteSetting(L"Spyware Removal", L"QuarantineDays", L"0");
    WithDialog([&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, SettingsItem::QuarantineDays), L"0") << "0 keeps every run";
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(ReadQuarantineDays(MainIniPath()), 0);
}

TEST_F(Settings, AMainIniThatCannotBeWrittenIsLeftAsItWas)
{
    Start();
    const std::string before = Bytes(MainIniPath());
    {
        THandle held(CreateFileW(MainIniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        WithDialog([&](HWND dialog) {
            CheckDlgButton(dialog, SettingsItem::TempFile, BST_CHECKED);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
            EXPECT_TRUE(IsWindowVisible(dialog));
            SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
    }
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text.find(FormatText(Opt(OptionText::CannotWrite), {MainIniPath()})), 0u) << Messages[0].Text;
    EXPECT_EQ(Bytes(MainIniPath()), before);
}

TEST_F(Settings, AMissingMainIniIsCreatedAsUnicode)
{
    // A language whose name lies outside the code page.
    const std::wstring greek = L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac";
    ASSERT_TRUE(CopyFileW((ProgramDir + L"Language\\English.lng").c_str(),
                          (ProgramDir + L"Language\\" + greek + L".lng").c_str(), FALSE));
    Start();
    ASSERT_TRUE(DeleteFileW(MainIniPath().c_str()));
    WithDialog([&](HWND dialog) {
        SendDlgItemMessageW(dialog, SettingsItem::Language, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(greek.c_str()));
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(Messages.empty()) << LastMessage();
    EXPECT_EQ(Bytes(MainIniPath()).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(TMultiLan(MainIniPath(), ProgramDir).LanguageName, greek);
    // Every switch written, with the defaults the scanners had used.
    for (const auto& [key, on] : kScanSwitches)
        EXPECT_EQ(ScanSwitchOn(key, !on), on) << key;
    EXPECT_EQ(ReadJunkSettings(MainIniPath()).RemoveDay, 2);
}

TEST_F(Settings, TheKeyboardMovesThroughTheDialogAndPressesItsButtons)
{
    Start();
    const std::string before = Bytes(MainIniPath());
    // Esc cancels.
    WithDialog([&](HWND dialog) { Key(dialog, WM_KEYDOWN, VK_ESCAPE); });
    EXPECT_EQ(Bytes(MainIniPath()), before);

    WithDialog([&](HWND dialog) {
        ASSERT_EQ(GetFocus(), GetDlgItem(dialog, SettingsItem::TempFile));
        Key(dialog, WM_KEYDOWN, VK_TAB);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, SettingsItem::IECache));
        Key(dialog, WM_KEYDOWN, VK_TAB);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, SettingsItem::Recycle));
        Key(dialog, WM_KEYDOWN, VK_TAB);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, SettingsItem::RemoveDay));
        // The mnemonics of the check boxes tick them; the label's takes the keyboard to the age.
        Key(dialog, WM_SYSCHAR, Mnemonic(Opt(OptionText::TempFile)));
        EXPECT_TRUE(Checked(dialog, SettingsItem::TempFile));
        Key(dialog, WM_SYSCHAR, Mnemonic(Opt(OptionText::RemoveDayLabel)));
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, SettingsItem::RemoveDay));
        SetDlgItemTextW(dialog, SettingsItem::RemoveDay, L"12");
        Key(dialog, WM_SYSCHAR, Mnemonic(Opt(OptionText::LanguageLabel)));
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, SettingsItem::Language));
        // Enter presses the default button.
        Key(dialog, WM_KEYDOWN, VK_RETURN);
    });
    const TJunkSettings junk = ReadJunkSettings(MainIniPath());
    EXPECT_TRUE(junk.TempFile);
    EXPECT_EQ(junk.RemoveDay, 12);
}

// What an administrator set is shown as set, greyed, with the note on its group; OK writes the user's
// other settings and leaves those alone.
TEST_F(Settings, APolicySetValueIsGreyedAndKeptOutOfMainIni)
{
    WriteSetting(L"Junk File Removal", L"RemoveDay", L"3");
    WriteSetting(L"RegistryOpt", L"Fonts", L"1");
    SetPolicy(true, L"Junk File Removal", L"RemoveDay", 10);
    SetPolicy(false, L"RegistryOpt", L"Fonts", 0);
    Start();
    const int fonts = SettingsItem::FirstRegistrySwitch + 3;
    WithDialog([&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, SettingsItem::RemoveDay), L"10");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, SettingsItem::RemoveDay)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, SettingsItem::RemoveDaySpin)));
        EXPECT_FALSE(Checked(dialog, fonts));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, fonts)));
        // The rest stays the user's.
        for (int id : {int(SettingsItem::TempFile), int(SettingsItem::Language), int(SettingsItem::FirstRegistrySwitch)})
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
        // One note on each group that holds such a value: the junk files and the registry scan.
        EXPECT_EQ(Opt(OptionText::SetByAdministrator), L"Set by your administrator");
        EXPECT_EQ(ChildrenWithText(dialog, Opt(OptionText::SetByAdministrator)).size(), 2u);
        CheckDlgButton(dialog, SettingsItem::TempFile, BST_CHECKED);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(Messages.empty()) << LastMessage();
    const TIniFile ini(MainIniPath());
    EXPECT_EQ(ini.ReadString(L"Junk File Removal", L"TempFile", L""), L"1");
    EXPECT_EQ(ini.ReadString(L"Junk File Removal", L"RemoveDay", L""), L"3");
    EXPECT_EQ(ini.ReadString(L"RegistryOpt", L"Fonts", L""), L"1");
    EXPECT_EQ(ini.ReadString(L"RegistryOpt", L"Help", L""), L"1") << "the other switches were written";
}

// The privacy selection an administrator set: the tree shows it read-only, says so, and nothing of it
// is stored when the window closes.
TEST_F(Settings, APolicySetPrivacySelectionIsReadOnly)
{
    const std::wstring chosen = std::wstring(kPrivacyCategoryCount, L'0').replace(2, 1, L"1");
    SetPolicy(true, L"Privacy Sweeper", L"pzinfo", chosen);
    Start();
    EXPECT_EQ(Details->GetSelection(), chosen);
    EXPECT_TRUE(Details->RzCheckTree1.ReadOnly());
    EXPECT_TRUE(Details->PolicyNote.VisibleFlag());
    EXPECT_EQ(Details->PolicyNote.Caption(), Opt(OptionText::SetByAdministrator));
    // A click on a check box, as the tree's parent is told of it, changes nothing.
    const std::string before = Bytes(MainIniPath());
    NMTVKEYDOWN key{};
    key.hdr = {Details->RzCheckTree1.Handle(), 0, static_cast<UINT>(TVN_KEYDOWN)};
    key.wVKey = VK_SPACE;
    TreeView_SelectItem(Details->RzCheckTree1.Handle(), TreeView_GetRoot(Details->RzCheckTree1.Handle()));
    LRESULT result = 0;
    EXPECT_TRUE(Details->RzCheckTree1.Reflect(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&key), result));
    EXPECT_EQ(Details->GetSelection(), chosen);
    Details->btn1Click();
    EXPECT_EQ(Bytes(MainIniPath()), before);
}

TEST_F(Settings, ThePrivacySelectionSurvivesARestart)
{
    Start();
    const std::string before = Bytes(MainIniPath());
    // Closing without a change writes nothing.
    Details->btn1Click();
    EXPECT_EQ(Bytes(MainIniPath()), before);

    Details->RzCheckTree1.SetChecked(12, false); // "Opera"
    Details->RzCheckTree1.SetChecked(2, true);   // Internet Explorer "Cookie Files"
    const std::wstring chosen = Details->GetSelection();
    ASSERT_EQ(chosen, L"11100011010001111111111111111111" + DefaultPrivacySelection().substr(kClassicPositions));
    PostMessageW(Details->Handle(), WM_CLOSE, 0, 0); // the close box
    Details->ShowModal();
    EXPECT_EQ(TIniFile(MainIniPath()).ReadString(L"Privacy Sweeper", L"pzinfo", L""), chosen);

    Details.reset();
    Form.reset();
    Start();
    EXPECT_EQ(Details->GetSelection(), chosen);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(Settings, ASelectionThatCannotBeStoredIsToldAndTheWindowStillCloses)
{
    Start();
    const std::string before = Bytes(MainIniPath());
    Details->RzCheckTree1.SetChecked(0, false);
    {
        THandle held(CreateFileW(MainIniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        PostMessageW(Details->btn1.Handle(), BM_CLICK, 0, 0);
        Details->ShowModal();
    }
    EXPECT_FALSE(Details->Modal());
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text.find(FormatText(Opt(OptionText::CannotWrite), {MainIniPath()})), 0u) << Messages[0].Text;
    EXPECT_EQ(Bytes(MainIniPath()), before);
    // The next close tries again.
    Details->btn1Click();
    EXPECT_EQ(TIniFile(MainIniPath()).ReadString(L"Privacy Sweeper", L"pzinfo", L""), Details->GetSelection());
}

} // namespace

TEST_F(Settings, TheSwitchesOfTodaysWindowsAreShownAndWrittenBack)
{
    WriteSetting(L"Junk File Removal", L"Thumbnails", L"1");
    WriteSetting(L"Junk File Removal", L"CrashDumps", L"0");
    Start();
    WithDialog([&](HWND dialog) {
        std::map<std::wstring, bool> shown;
        for (int i = 0; i < kJunkSwitchCount; ++i) {
            EXPECT_EQ(ItemText(dialog, SettingsItem::FirstJunkSwitch + i), Opt(OptionText::FirstJunkSwitch + i));
            shown[kJunkSwitches[i].Key] = Checked(dialog, SettingsItem::FirstJunkSwitch + i);
        }
        // Written ones as written, the others at their defaults.
        EXPECT_EQ(shown, (std::map<std::wstring, bool>{{L"WindowsUpdate", false},
                                                       {L"DeliveryOptimization", false},
                                                       {L"ErrorReports", true},
                                                       {L"CrashDumps", false},
                                                       {L"Thumbnails", true}}));
        // Their mnemonics tick them.
        Key(dialog, WM_SYSCHAR, Mnemonic(Opt(OptionText::FirstJunkSwitch + JunkSwitchIndex(TJunkArea::WindowsUpdate))));
        EXPECT_TRUE(Checked(dialog, SettingsItem::FirstJunkSwitch + JunkSwitchIndex(TJunkArea::WindowsUpdate)));
        CheckDlgButton(dialog, SettingsItem::FirstJunkSwitch + JunkSwitchIndex(TJunkArea::ErrorReports), BST_UNCHECKED);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(Messages.empty()) << LastMessage();
    const TJunkSettings junk = ReadJunkSettings(MainIniPath());
    EXPECT_TRUE(junk.On(TJunkArea::WindowsUpdate));
    EXPECT_FALSE(junk.On(TJunkArea::DeliveryOptimization));
    EXPECT_FALSE(junk.On(TJunkArea::ErrorReports));
    EXPECT_FALSE(junk.On(TJunkArea::CrashDumps));
    EXPECT_TRUE(junk.On(TJunkArea::Thumbnails));
    for (const TJunkSwitch& s : kJunkSwitches)
        EXPECT_NE(TIniFile(MainIniPath()).ReadString(kJunkSection, s.Key, L"absent"), L"absent") << s.Key;
}
