#include "common/Settings.h"

#include "common/Kelvor_Routine.h"
#include "common/Registry.h"
#include "common/TextCompare.h"

#include <algorithm>
#include <climits>

namespace {

// A policy key that holds thousands of stray values must not turn the report into a list of them.
constexpr size_t kMaxProblemLines = 50;

const wchar_t* TypeName(DWORD type)
{
    switch (type) {
    case REG_NONE: return L"REG_NONE";
    case REG_SZ: return L"REG_SZ";
    case REG_EXPAND_SZ: return L"REG_EXPAND_SZ";
    case REG_BINARY: return L"REG_BINARY";
    case REG_DWORD: return L"REG_DWORD";
    case REG_DWORD_BIG_ENDIAN: return L"REG_DWORD_BIG_ENDIAN";
    case REG_LINK: return L"REG_LINK";
    case REG_MULTI_SZ: return L"REG_MULTI_SZ";
    case REG_QWORD: return L"REG_QWORD";
    default: return nullptr;
    }
}

std::wstring TypeText(DWORD type)
{
    const wchar_t* name = TypeName(type);
    return name ? name : L"type " + std::to_wstring(type);
}

bool PlainFileName(const std::wstring& name)
{
    return name.find_first_of(L"\\/:*?\"<>|") == std::wstring::npos && name != L"." && name != L".." &&
           TrimText(name) == name;
}

bool ZeroOne(const std::wstring& text)
{
    return text.find_first_not_of(L"01") == std::wstring::npos;
}

// The value as Main.ini would hold it, or why the policy value cannot stand for the setting.
struct TPolicyReading {
    std::optional<std::wstring> Text;
    std::wstring Problem;
};

TPolicyReading ReadPolicyValue(const TSettingRule& rule, const TRegValue& value)
{
    if (rule.Type == TSettingType::Text) {
        if (value.Type != REG_SZ)
            return {std::nullopt, L"it is " + TypeText(value.Type) + L", not REG_SZ"};
        const std::wstring text = value.Text();
        const auto length = static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
        if (length < rule.Min || length > rule.Max)
            return {std::nullopt, L"its text is " + std::to_wstring(length) + L" characters long, not " +
                                      std::to_wstring(rule.Min) + L" to " + std::to_wstring(rule.Max)};
        const bool fits = rule.Check == TTextCheck::ZeroOne ? ZeroOne(text) : PlainFileName(text);
        if (!fits)
            return {std::nullopt, rule.Check == TTextCheck::ZeroOne ? L"its text holds more than 0 and 1"
                                                                     : L"its text is not a file name"};
        return {text, {}};
    }
    if (value.Type != REG_DWORD)
        return {std::nullopt, L"it is " + TypeText(value.Type) + L", not REG_DWORD"};
    if (value.Data.size() != sizeof(DWORD))
        return {std::nullopt, L"its REG_DWORD holds " + std::to_wstring(value.Data.size()) + L" bytes, not 4"};
    const uint32_t number = value.Dword();
    if (number < static_cast<uint32_t>(rule.Min) || number > static_cast<uint32_t>(rule.Max))
        return {std::nullopt, std::to_wstring(number) + L" is not from " + std::to_wstring(rule.Min) + L" to " +
                                  std::to_wstring(rule.Max)};
    return {std::to_wstring(number), {}};
}

} // namespace

const TSettingRule* FindSettingRule(const std::wstring& section, const std::wstring& key)
{
    for (const TSettingRule& rule : kSettingRules)
        if (SameText(rule.Section, section) && SameText(rule.Key, key))
            return &rule;
    return nullptr;
}

int SettingIndex(const TSettingRule& rule)
{
    return static_cast<int>(&rule - kSettingRules);
}

const wchar_t* SettingSourceName(TSettingSource source)
{
    switch (source) {
    case TSettingSource::Default: return L"default";
    case TSettingSource::MainIni: return L"Main.ini";
    case TSettingSource::MachinePolicy: return L"machine policy";
    case TSettingSource::UserPolicy: return L"user policy";
    }
    return L"default";
}

TSettings::TSettings(std::wstring iniPath, const TPolicyRoots& roots) : Ini_(std::move(iniPath))
{
    // The machine's values first: a user's value stands only where the machine sets none.
    ReadPolicy(roots.Machine, TSettingSource::MachinePolicy);
    ReadPolicy(roots.User, TSettingSource::UserPolicy);
}

size_t TSettings::Index(const TSettingRule& rule)
{
    return static_cast<size_t>(SettingIndex(rule));
}

void TSettings::ReadPolicy(HKEY root, TSettingSource source)
{
    TRegKey policies;
    if (!root || policies.Open(root, kPolicyKey, KEY_READ) != ERROR_SUCCESS)
        return;
    const std::wstring scope = source == TSettingSource::MachinePolicy ? L"Machine" : L"User";
    size_t told = 0;
    size_t untold = 0;
    auto problem = [&](const std::wstring& where, const std::wstring& why) {
        if (told == kMaxProblemLines) {
            ++untold;
            return;
        }
        ++told;
        Problems_.push_back(scope + L" policy value \"" + where + L"\" ignored: " + why + L".");
    };

    const TRegKey::TContents top = policies.Contents();
    for (const TRegNamedValue& stray : top.Values)
        problem(stray.Name, L"not a setting of the program (settings are values of a section's key)");
    for (const std::wstring& section : top.SubKeys) {
        TRegKey key;
        if (key.Open(policies.Handle(), section, KEY_READ) != ERROR_SUCCESS)
            continue;
        for (const TRegNamedValue& value : key.Values()) {
            const std::wstring where = section + L"\\" + value.Name;
            const TSettingRule* rule = FindSettingRule(section, value.Name);
            if (!rule) {
                problem(where, L"not a setting of the program");
                continue;
            }
            const TPolicyReading reading = ReadPolicyValue(*rule, value.Value);
            if (!reading.Text) {
                problem(where, reading.Problem);
                continue;
            }
            std::optional<TSettingValue>& slot = Policy_[Index(*rule)];
            if (!slot)
                slot = TSettingValue{*reading.Text, source};
        }
    }
    if (untold)
        Problems_.push_back(scope + L" policy: " + std::to_wstring(untold) + L" more values ignored.");
}

TSettingValue TSettings::Value(const TSettingRule& rule) const
{
    if (const auto& policy = Policy_[Index(rule)])
        return *policy;
    // A sentinel default tells an absent key from one that Main.ini holds (even empty).
    const wchar_t absent[] = L"\x01";
    const std::wstring text = Ini_.ReadString(rule.Section, rule.Key, absent);
    if (text == absent)
        return {rule.Default, TSettingSource::Default};
    // A number Main.ini holds that is no number counts as absent: the readers take the default then.
    if (rule.Type == TSettingType::Number && !WholeNumber(text))
        return {rule.Default, TSettingSource::Default};
    return {text, TSettingSource::MainIni};
}

std::wstring TSettings::ReadString(const std::wstring& section, const std::wstring& key,
                                   const std::wstring& defaultValue) const
{
    if (const TSettingRule* rule = FindSettingRule(section, key))
        if (const auto& policy = Policy_[Index(*rule)])
            return policy->Text;
    return Ini_.ReadString(section, key, defaultValue);
}

bool TSettings::SwitchOn(const TSettingRule& rule) const
{
    const std::wstring text = Value(rule).Text;
    return (rule.Trimmed ? TrimText(text) : text) == L"1";
}

int TSettings::Number(const TSettingRule& rule) const
{
    const std::optional<int> number = WholeNumber(Value(rule).Text);
    // Main.ini is anyone's to edit: a number outside the range is taken as the nearest end of it (a
    // negative age would list files written a moment ago).
    return std::clamp(number ? *number : WholeNumber(rule.Default).value_or(0), rule.Min, rule.Max);
}

bool TSettings::SetByPolicy(const std::wstring& section, const std::wstring& key) const
{
    const TSettingRule* rule = FindSettingRule(section, key);
    return rule && SetByPolicy(*rule);
}
