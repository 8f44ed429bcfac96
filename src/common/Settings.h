#pragma once
// The settings as they take effect: a policy value of the machine over one of the user, a policy
// value over Main.ini, Main.ini over the default. Administrators set policy values below
// Software\Policies\Kelvor\Dornique of HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER; a value of the wrong
// type or out of its range is ignored and named in PolicyProblems, never acted on.
#include "common/IniFile.h"
#include "common/SettingsTable.h"
#include "common/Types.h"

#include <windows.h>

#include <array>
#include <optional>
#include <string>

inline constexpr wchar_t kPolicyKey[] = L"Software\\Policies\\Kelvor\\Dornique";

// The two keys below which kPolicyKey is read. The system's roots in the program; tests hand in scratch
// keys, so that they never write the policy keys that other programs running beside them read.
struct TPolicyRoots {
    HKEY Machine = HKEY_LOCAL_MACHINE;
    HKEY User = HKEY_CURRENT_USER;
};

enum class TSettingSource { Default, MainIni, MachinePolicy, UserPolicy };

// "default", "Main.ini", "machine policy", "user policy".
const wchar_t* SettingSourceName(TSettingSource source);
inline bool IsPolicy(TSettingSource source)
{
    return source == TSettingSource::MachinePolicy || source == TSettingSource::UserPolicy;
}

struct TSettingValue {
    std::wstring Text; // as Main.ini would hold it ("1" for a switch that is on)
    TSettingSource Source = TSettingSource::Default;
};

class TSettings {
public:
    // Reads the policy values now; Main.ini is read on every call, as the INI service does.
    explicit TSettings(std::wstring iniPath, const TPolicyRoots& roots = {});

    const std::wstring& IniPath() const { return Ini_.FileName; }
    const TIniFile& Ini() const { return Ini_; }

    TSettingValue Value(const TSettingRule& rule) const;
    // Main.ini's text, or the policy's where one sets the key.
    std::wstring ReadString(const std::wstring& section, const std::wstring& key, const std::wstring& defaultValue) const;
    // A switch as its readers take it: "1" on (blanks trimmed where the rule says so).
    bool SwitchOn(const TSettingRule& rule) const;
    // A number of Main.ini that is no whole number gives the default; one out of the range, its nearest end.
    int Number(const TSettingRule& rule) const;
    bool SetByPolicy(const TSettingRule& rule) const { return Policy_[Index(rule)].has_value(); }
    bool SetByPolicy(const std::wstring& section, const std::wstring& key) const;

    // One line per policy value that was ignored (wrong type, out of range, not a setting of the program).
    const TWideStrings& PolicyProblems() const { return Problems_; }

private:
    static size_t Index(const TSettingRule& rule);
    void ReadPolicy(HKEY root, TSettingSource source);

    TIniFile Ini_;
    std::array<std::optional<TSettingValue>, kSettingCount> Policy_;
    TWideStrings Problems_;
};
