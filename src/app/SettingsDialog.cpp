#include "app/SettingsDialog.h"

#include "common/FileFind.h"
#include "common/IniFile.h"
#include "common/Kelvor_Routine.h"
#include "common/TextCompare.h"
#include "junk/JunkWalk.h"
#include "quarantine/QuarantineSettings.h"
#include "ui/Dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <optional>

namespace {

std::optional<int> DaysFrom(const std::wstring& text, int largest)
{
    const std::wstring digits = TrimText(text);
    if (digits.empty() || digits.size() > 4 || digits.find_first_not_of(L"0123456789") != std::wstring::npos)
        return std::nullopt;
    const int days = std::stoi(digits);
    if (days > largest)
        return std::nullopt;
    return days;
}

const wchar_t* SwitchText(bool on)
{
    return on ? L"1" : L"0";
}

// Which groups of the dialog hold a setting that a policy sets.
struct TAdministered {
    bool Junk = false;
    bool Registry = false;
    bool Language = false;
    bool Quarantine = false;
};

// Marks a group whose settings an administrator set: the note sits on the right of the group's frame.
void AddAdministeredNote(TDialogTemplate& t, const TOptionsContext& o, int groupRight, int groupTop)
{
    const std::wstring& text = o.Text(OptionText::SetByAdministrator);
    // About as wide as the text in the dialog font, so that the frame stays closed left of it.
    const int width = std::min(200, static_cast<int>(text.size()) * 4 + 4);
    t.Add({.Atom = 0x0082, .Text = text, .Style = SS_RIGHT, .Left = groupRight - width - 6, .Top = groupTop,
           .Width = width, .Height = 8});
}

TDialogTemplate Layout(const TOptionsContext& o, const TAdministered& administered)
{
    using namespace OptionText;
    const int width = 330;
    // The switches of today's Windows: two columns below the age.
    const int switchRows = (kJunkSwitchCount + 1) / 2;
    const int junkExtra = switchRows * 12;
    TDialogTemplate t(o.Text(SettingsCaption), width, 310 + junkExtra);
    const int inner = width - 14;

    t.AddGroup(o.Text(JunkGroup), 7, 7, inner, 52 + junkExtra);
    t.AddCheckBox(SettingsItem::TempFile, o.Text(TempFile), 15, 21, 100);
    t.AddCheckBox(SettingsItem::IECache, o.Text(IECache), 119, 21, 105);
    t.AddCheckBox(SettingsItem::Recycle, o.Text(Recycle), 228, 21, 90);
    t.AddLabel(o.Text(RemoveDayLabel), 15, 39, 168, 8);
    t.AddEdit(SettingsItem::RemoveDay, 186, 37, 34, 14, ES_NUMBER);
    t.Add({.ClassName = UPDOWN_CLASSW, .Id = SettingsItem::RemoveDaySpin,
           .Style = UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS});
    t.AddLabel(o.Text(RemoveDayUnit), 224, 39, 92, 8);
    if (administered.Junk)
        AddAdministeredNote(t, o, 7 + inner, 7);
    // Below the age, which they ignore; row by row, so that the tab order follows the reading order.
    for (int i = 0; i < kJunkSwitchCount; ++i)
        t.AddCheckBox(SettingsItem::FirstJunkSwitch + i, o.Text(FirstJunkSwitch + i), i % 2 == 0 ? 15 : 168,
                      55 + (i / 2) * 12, 150);

    // Two columns, filled downwards, so that the tab order follows the reading order.
    const int rows = (kRegistrySwitchCount + 1) / 2;
    const int top = 78 + junkExtra;
    t.AddGroup(o.Text(RegistryGroup), 7, 65 + junkExtra, inner, rows * 12 + 19);
    for (int i = 0; i < kRegistrySwitchCount; ++i)
        t.AddCheckBox(SettingsItem::FirstRegistrySwitch + i, o.Text(FirstRegistrySwitch + i), i < rows ? 15 : 168,
                      top + (i % rows) * 12, 150);
    if (administered.Registry)
        AddAdministeredNote(t, o, 7 + inner, 65 + junkExtra);

    const int languageTop = 65 + junkExtra + rows * 12 + 25;
    t.AddGroup(o.Text(LanguageGroup), 7, languageTop, inner, 46);
    t.AddLabel(o.Text(LanguageLabel), 15, languageTop + 15, 56, 8);
    t.AddDropDownList(SettingsItem::Language, 74, languageTop + 13, 110, 100);
    t.AddLabel(o.Text(LanguageNote), 15, languageTop + 31, inner - 16, 8);
    if (administered.Language)
        AddAdministeredNote(t, o, 7 + inner, languageTop);

    const int quarantineTop = languageTop + 52;
    // Room for German, whose words are longer: the unit may take two lines.
    t.AddGroup(o.Text(SpywareRemoval), 7, quarantineTop, inner, 38);
    t.AddLabel(o.Text(KeepQuarantineLabel), 15, quarantineTop + 14, 130, 8);
    t.AddEdit(SettingsItem::QuarantineDays, 148, quarantineTop + 12, 34, 14, ES_NUMBER);
    t.Add({.ClassName = UPDOWN_CLASSW, .Id = SettingsItem::QuarantineDaysSpin,
           .Style = UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS});
    t.AddLabel(o.Text(KeepQuarantineUnit), 186, quarantineTop + 14, inner - 182, 16);
    if (administered.Quarantine)
        AddAdministeredNote(t, o, 7 + inner, quarantineTop);

    const int buttonsTop = quarantineTop + 44;
    t.AddButton(IDOK, o.Text(Ok), width - 114, buttonsTop, 50, 14, true);
    t.AddButton(IDCANCEL, o.Text(Cancel), width - 57, buttonsTop, 50, 14);
    return t;
}

class TSettingsDialog {
public:
    explicit TSettingsDialog(const TOptionsContext& options)
        : Options_(options), Settings_(MainIniPath(), options.PolicyRoots)
    {
    }

    bool Show(HWND owner)
    {
        Dialog_.OnInit = [this] { Fill(); };
        Dialog_.OnCommand = [this](int id, int) {
            if (id != IDOK)
                return false;
            Save();
            return true;
        };
        return Dialog_.ShowModal(owner, Layout(Options_, Administered())) == IDOK;
    }

private:
    // The dialog's items and the settings they show, for the items a policy may set.
    struct TItemSetting {
        int Item;
        const TSettingRule* Rule;
    };
    std::vector<TItemSetting> ItemSettings() const
    {
        std::vector<TItemSetting> items = {
            {SettingsItem::TempFile, FindSettingRule(kJunkSection, L"TempFile")},
            {SettingsItem::IECache, FindSettingRule(kJunkSection, L"IE Cache")},
            {SettingsItem::Recycle, FindSettingRule(kJunkSection, L"Recycle")},
            {SettingsItem::RemoveDay, FindSettingRule(kJunkSection, L"RemoveDay")},
            {SettingsItem::RemoveDaySpin, FindSettingRule(kJunkSection, L"RemoveDay")},
            {SettingsItem::Language, FindSettingRule(kMainSection, L"Language")},
            {SettingsItem::QuarantineDays, FindSettingRule(kQuarantineSection, kQuarantineDaysKey)},
            {SettingsItem::QuarantineDaysSpin, FindSettingRule(kQuarantineSection, kQuarantineDaysKey)},
        };
        for (int i = 0; i < kJunkSwitchCount; ++i)
            items.push_back({SettingsItem::FirstJunkSwitch + i, FindSettingRule(kJunkSection, kJunkSwitches[i].Key)});
        for (int i = 0; i < kRegistrySwitchCount; ++i)
            items.push_back({SettingsItem::FirstRegistrySwitch + i, &kRegistrySwitches[i]});
        return items;
    }

    TAdministered Administered() const
    {
        TAdministered administered;
        for (const TItemSetting& item : ItemSettings()) {
            if (!Settings_.SetByPolicy(*item.Rule))
                continue;
            const std::wstring section = item.Rule->Section;
            if (section == kMainSection)
                administered.Language = true;
            else if (section == kRegistrySection)
                administered.Registry = true;
            else if (section == kQuarantineSection)
                administered.Quarantine = true;
            else
                administered.Junk = true;
        }
        return administered;
    }

    void Fill()
    {
        const TJunkSettings junk = ReadJunkSettings(Settings_);
        Dialog_.SetChecked(SettingsItem::TempFile, junk.TempFile);
        Dialog_.SetChecked(SettingsItem::IECache, junk.IECache);
        Dialog_.SetChecked(SettingsItem::Recycle, junk.Recycle);
        for (int i = 0; i < kJunkSwitchCount; ++i)
            Dialog_.SetChecked(SettingsItem::FirstJunkSwitch + i, junk.Switches[static_cast<size_t>(i)]);
        SendMessageW(Dialog_.Item(SettingsItem::RemoveDaySpin), UDM_SETRANGE32, 0, kMaxRemoveDay);
        // What the junk scan would use, also when it is out of range: OK then says what is allowed.
        Dialog_.SetText(SettingsItem::RemoveDay, std::to_wstring(junk.RemoveDay));
        for (int i = 0; i < kRegistrySwitchCount; ++i)
            Dialog_.SetChecked(SettingsItem::FirstRegistrySwitch + i, RegistrySwitchOn(Settings_, i));
        SendMessageW(Dialog_.Item(SettingsItem::QuarantineDaysSpin), UDM_SETRANGE32, 0, kMaxQuarantineDays);
        Dialog_.SetText(SettingsItem::QuarantineDays, std::to_wstring(ReadQuarantineDays(Settings_)));

        const HWND languages = Dialog_.Item(SettingsItem::Language);
        for (const std::wstring& name : LanguagesPresent(Options_.ProgramFolder))
            SendMessageW(languages, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        LRESULT current = SendMessageW(languages, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(Options_.LanguageName.c_str()));
        SendMessageW(languages, CB_SETCURSEL, current == CB_ERR ? 0 : current, 0);

        // What an administrator set is shown greyed and stays as it is.
        for (const TItemSetting& item : ItemSettings())
            if (Settings_.SetByPolicy(*item.Rule))
                EnableWindow(Dialog_.Item(item.Item), FALSE);
    }

    // Writes Main.ini and ends the dialog; a value refused or a file that cannot be written is told,
    // and the dialog stays.
    void Save()
    {
        const std::optional<int> days = DaysFrom(Dialog_.Text(SettingsItem::RemoveDay), kMaxRemoveDay);
        if (!days) {
            Options_.Tell(Dialog_.Handle(), Options_.Text(OptionText::RemoveDayRange));
            Dialog_.FocusItem(SettingsItem::RemoveDay);
            return;
        }
        const std::optional<int> kept = DaysFrom(Dialog_.Text(SettingsItem::QuarantineDays), kMaxQuarantineDays);
        if (!kept) {
            Options_.Tell(Dialog_.Handle(), Options_.Text(OptionText::QuarantineDaysRange));
            Dialog_.FocusItem(SettingsItem::QuarantineDays);
            return;
        }
        std::vector<TIniEntry> entries;
        // Main.ini keeps the user's own value of a setting an administrator set: it counts again
        // once the policy goes.
        auto add = [&](const wchar_t* section, const wchar_t* key, const std::wstring& value) {
            if (!Settings_.SetByPolicy(section, key))
                entries.push_back({section, key, value});
        };
        add(kJunkSection, L"TempFile", SwitchText(Dialog_.Checked(SettingsItem::TempFile)));
        add(kJunkSection, L"IE Cache", SwitchText(Dialog_.Checked(SettingsItem::IECache)));
        add(kJunkSection, L"Recycle", SwitchText(Dialog_.Checked(SettingsItem::Recycle)));
        add(kJunkSection, L"RemoveDay", std::to_wstring(*days));
        for (int i = 0; i < kJunkSwitchCount; ++i)
            add(kJunkSection, kJunkSwitches[i].Key, SwitchText(Dialog_.Checked(SettingsItem::FirstJunkSwitch + i)));
        add(kQuarantineSection, kQuarantineDaysKey, std::to_wstring(*kept));
        for (int i = 0; i < kRegistrySwitchCount; ++i)
            add(kRegistrySection, kRegistrySwitches[i].Key,
                SwitchText(Dialog_.Checked(SettingsItem::FirstRegistrySwitch + i)));
        const std::wstring language = Dialog_.Text(SettingsItem::Language);
        if (!language.empty())
            add(kMainSection, L"Language", language);
        if (Options_.Report(Dialog_.Handle(), Settings_.IniPath(), Settings_.Ini().WriteEntries(entries)))
            Dialog_.End(IDOK);
    }

    const TOptionsContext& Options_;
    TSettings Settings_;
    TDialog Dialog_;
};

} // namespace

std::vector<std::wstring> LanguagesPresent(const std::wstring& programFolder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    TFindHandle find = FindFirstEntry(programFolder + L"Language\\*.lng", data);
    if (!find)
        return names;
    do {
        const std::wstring name = data.cFileName;
        // The pattern also matches longer extensions (".lngx") through their short names.
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.size() > 4 && EndsWithText(name, L".lng"))
            names.push_back(name.substr(0, name.size() - 4));
    } while (FindNextFileW(find.Get(), &data));
    return names;
}

bool ShowSettingsDialog(HWND owner, const TOptionsContext& options)
{
    return TSettingsDialog(options).Show(owner);
}
