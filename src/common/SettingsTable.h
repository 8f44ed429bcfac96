#pragma once
// Every setting the program reads from Main.ini, as one table: the policy reader takes its types and
// ranges from here, the report lists the settings in this order, and the administrative templates are
// checked against it. A policy sets a setting under a key named after its section, in a value named
// after its key: REG_DWORD for switches and numbers, REG_SZ for texts.
#include <iterator>
#include <string>

inline constexpr wchar_t kMainSection[] = L"Main";
inline constexpr wchar_t kPrivacySection[] = L"Privacy Sweeper";
inline constexpr wchar_t kJunkSection[] = L"Junk File Removal";
inline constexpr wchar_t kRegistrySection[] = L"RegistryOpt";
inline constexpr wchar_t kQuarantineSection[] = L"Spyware Removal";
inline constexpr wchar_t kQuarantineDaysKey[] = L"QuarantineDays";

enum class TSettingType {
    Switch, // "1" on, anything else off; a policy value is 0 or 1
    Number, // a whole number from Min to Max
    Text,   // Min to Max characters, as Check allows
};

// What a text may hold besides its length.
enum class TTextCheck {
    FileName, // a file name without folder (the language)
    ZeroOne,  // only "0" and "1" (the privacy selection)
};

struct TSettingRule {
    const wchar_t* Section;
    const wchar_t* Key;
    TSettingType Type;
    // As Main.ini would hold it; an empty default leaves the choice to the reader (the privacy
    // selection's defaults come from its category table).
    const wchar_t* Default;
    // Number: the range of values; Text: the range of lengths. A policy value outside is ignored;
    // Main.ini is read as the program always read it.
    int Min = 0;
    int Max = 1;
    TTextCheck Check = TTextCheck::FileName;
    // A switch of Main.ini is on when its text is "1" with blanks trimmed, not only exactly "1".
    bool Trimmed = false;
};

// The longest privacy selection: one character per category of the privacy tree (the details window
// checks that the tree has that many).
inline constexpr int kPrivacySelectionLength = 80;
inline constexpr int kMaxLanguageNameLength = 64;
inline constexpr int kMaxRemoveDay = 365;
inline constexpr int kMaxQuarantineDays = 3650;

inline constexpr TSettingRule kSettingRules[] = {
    {kMainSection, L"Language", TSettingType::Text, L"English", 1, kMaxLanguageNameLength, TTextCheck::FileName},
    {kPrivacySection, L"pzinfo", TSettingType::Text, L"", 1, kPrivacySelectionLength, TTextCheck::ZeroOne},
    {kJunkSection, L"TempFile", TSettingType::Switch, L"1"},
    {kJunkSection, L"IE Cache", TSettingType::Switch, L"1"},
    {kJunkSection, L"Recycle", TSettingType::Switch, L"1"},
    {kJunkSection, L"RemoveDay", TSettingType::Number, L"2", 0, kMaxRemoveDay},
    // The registry scan's categories, in the order it runs them (RegistrySwitches.h).
    {kRegistrySection, L"Active", TSettingType::Switch, L"1", 0, 1, {}, true},
    {kRegistrySection, L"App", TSettingType::Switch, L"1", 0, 1, {}, true},
    {kRegistrySection, L"Filetypes", TSettingType::Switch, L"1", 0, 1, {}, true},
    {kRegistrySection, L"Fonts", TSettingType::Switch, L"1", 0, 1, {}, true},
    {kRegistrySection, L"Help", TSettingType::Switch, L"1", 0, 1, {}, true},
    {kRegistrySection, L"History", TSettingType::Switch, L"1", 0, 1, {}, true},
    {kRegistrySection, L"Shared", TSettingType::Switch, L"1", 0, 1, {}, true},
    {kRegistrySection, L"Shortcut", TSettingType::Switch, L"1", 0, 1, {}, true},
    {kRegistrySection, L"Software", TSettingType::Switch, L"1", 0, 1, {}, true},
    {kRegistrySection, L"Sounds", TSettingType::Switch, L"1", 0, 1, {}, true},
    {kRegistrySection, L"Startmenu", TSettingType::Switch, L"1", 0, 1, {}, true},
    {kRegistrySection, L"Startup", TSettingType::Switch, L"1", 0, 1, {}, true},
    {kRegistrySection, L"Mui", TSettingType::Switch, L"1", 0, 1, {}, true},
    {kRegistrySection, L"Fileextend", TSettingType::Switch, L"1", 0, 1, {}, true},
    {kRegistrySection, L"Classes", TSettingType::Switch, L"1", 0, 1, {}, true},
    {kRegistrySection, L"Openscan", TSettingType::Switch, L"0", 0, 1, {}, true},
    {kRegistrySection, L"System", TSettingType::Switch, L"1", 0, 1, {}, true},
    // The junk switches of today's Windows (kJunkSwitches in JunkWalk.h, with the same defaults).
    {kJunkSection, L"WindowsUpdate", TSettingType::Switch, L"0"},
    {kJunkSection, L"DeliveryOptimization", TSettingType::Switch, L"0"},
    {kJunkSection, L"ErrorReports", TSettingType::Switch, L"1"},
    {kJunkSection, L"CrashDumps", TSettingType::Switch, L"1"},
    {kJunkSection, L"Thumbnails", TSettingType::Switch, L"0"},
    // How many days the quarantine keeps a spyware removal's run; 0 keeps it until deleted by hand.
    {kQuarantineSection, kQuarantineDaysKey, TSettingType::Number, L"30", 0, kMaxQuarantineDays},
};
inline constexpr int kSettingCount = static_cast<int>(std::size(kSettingRules));
inline constexpr int kFirstRegistrySwitchRule = 6;
inline constexpr int kRegistrySwitchCount = 17;

// The rule of a section and key (compared without regard to case, as the INI service does); nullptr for
// a key outside the table.
const TSettingRule* FindSettingRule(const std::wstring& section, const std::wstring& key);
// Its place in kSettingRules.
int SettingIndex(const TSettingRule& rule);
