// The settings as they take effect: policy values of the machine over the user's, both over Main.ini,
// Main.ini over the default; policy values of the wrong type or out of range are ignored with a line
// that says why. The policy roots are scratch keys handed to the reader, never the real Policies keys.
#include "common/Registry.h"
#include "common/Settings.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace {

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

class Policy : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* scope : {L"Machine", L"User"}) {
            TRegKey& root = scope[0] == L'M' ? Machine : User;
            ASSERT_EQ(ERROR_SUCCESS, root.Create(HKEY_CURRENT_USER, std::wstring(L"PolicyRoots\\") + scope));
        }
        Ini = Folder.Path() + L"\\Main.ini";
        DeleteFileW(Ini.c_str());
    }

    TPolicyRoots Roots() const { return {Machine.Handle(), User.Handle()}; }
    TSettings Read() const { return TSettings(Ini, Roots()); }

    void SetIni(const wchar_t* section, const wchar_t* key, const wchar_t* value) const
    {
        ASSERT_TRUE(WritePrivateProfileStringW(section, key, value, Ini.c_str()));
    }
    static void SetValue(const TRegKey& root, const std::wstring& section, const std::wstring& name, DWORD type,
                         const void* data, DWORD size)
    {
        TRegKey key;
        ASSERT_EQ(ERROR_SUCCESS,
                  key.Create(root.Handle(), std::wstring(kPolicyKey) + (section.empty() ? L"" : L"\\" + section)));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.Handle(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size));
    }
    static void SetDword(const TRegKey& root, const std::wstring& section, const std::wstring& name, DWORD value)
    {
        SetValue(root, section, name, REG_DWORD, &value, sizeof value);
    }
    static void SetText(const TRegKey& root, const std::wstring& section, const std::wstring& name,
                        const std::wstring& text, DWORD type = REG_SZ)
    {
        SetValue(root, section, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    static const TSettingRule& Rule(const wchar_t* section, const wchar_t* key)
    {
        const TSettingRule* rule = FindSettingRule(section, key);
        EXPECT_NE(rule, nullptr) << Narrow(section) << "\\" << Narrow(key);
        return *rule;
    }

    ScratchRegistry Registry;
    ScratchFolder Folder{L"policy"};
    TRegKey Machine, User;
    std::wstring Ini;
};

} // namespace

TEST_F(Policy, AValueOfEachTypeOverridesMainIni)
{
    SetIni(kJunkSection, L"IE Cache", L"1");
    SetIni(kJunkSection, L"RemoveDay", L"3");
    SetIni(kMainSection, L"Language", L"English");
    SetDword(Machine, kJunkSection, L"IE Cache", 0);
    SetDword(User, kJunkSection, L"RemoveDay", 9);
    SetText(Machine, kMainSection, L"Language", L"German");

    const TSettings settings = Read();
    EXPECT_TRUE(settings.PolicyProblems().empty()) << Narrow(settings.PolicyProblems().front());
    struct TCase {
        const wchar_t* Section;
        const wchar_t* Key;
        const wchar_t* Text;
        TSettingSource Source;
    };
    for (const TCase& c : {TCase{kJunkSection, L"IE Cache", L"0", TSettingSource::MachinePolicy},
                           TCase{kJunkSection, L"RemoveDay", L"9", TSettingSource::UserPolicy},
                           TCase{kMainSection, L"Language", L"German", TSettingSource::MachinePolicy},
                           TCase{kJunkSection, L"TempFile", L"1", TSettingSource::Default}}) {
        SCOPED_TRACE(Narrow(c.Key));
        const TSettingValue value = settings.Value(Rule(c.Section, c.Key));
        EXPECT_EQ(Narrow(value.Text), Narrow(c.Text));
        EXPECT_EQ(value.Source, c.Source);
        EXPECT_EQ(settings.SetByPolicy(c.Section, c.Key), IsPolicy(c.Source));
    }
    // The readers take it so, and the INI-style reads too.
    EXPECT_FALSE(settings.SwitchOn(Rule(kJunkSection, L"IE Cache")));
    EXPECT_EQ(settings.Number(Rule(kJunkSection, L"RemoveDay")), 9);
    EXPECT_EQ(Narrow(settings.ReadString(L"main", L"LANGUAGE", L"x")), "German") << "names compare without case";
    // Main.ini itself is untouched.
    EXPECT_EQ(TIniFile(Ini).ReadInteger(kJunkSection, L"RemoveDay", 0), 3);
}

TEST_F(Policy, TheMachineOutranksTheUserAndMainIniTheDefault)
{
    SetIni(kRegistrySection, L"Openscan", L" 1 ");
    SetDword(User, kJunkSection, L"RemoveDay", 4);
    SetDword(Machine, kJunkSection, L"RemoveDay", 30);
    const TSettings settings = Read();
    EXPECT_EQ(settings.Number(Rule(kJunkSection, L"RemoveDay")), 30);
    EXPECT_EQ(settings.Value(Rule(kJunkSection, L"RemoveDay")).Source, TSettingSource::MachinePolicy);
    // Registry switches are trimmed, as the registry scan always read them.
    EXPECT_TRUE(settings.SwitchOn(Rule(kRegistrySection, L"Openscan")));
    EXPECT_EQ(settings.Value(Rule(kRegistrySection, L"Openscan")).Source, TSettingSource::MainIni);
    EXPECT_EQ(settings.Value(Rule(kRegistrySection, L"Fonts")).Source, TSettingSource::Default);
}

// Values an administrator (or anything else) put there wrongly: each is ignored, the layer below
// counts, and one line says which value and why.
TEST_F(Policy, BadValuesAreIgnoredWithALineEach)
{
    SetIni(kJunkSection, L"RemoveDay", L"5");
    SetIni(kJunkSection, L"Recycle", L"1");
    const uint64_t wide = 1;
    const DWORD nine = 9;
    SetText(Machine, kJunkSection, L"RemoveDay", L"7");                   // a number as text
    SetDword(Machine, kJunkSection, L"Recycle", 2);                      // a switch out of range
    SetDword(Machine, kJunkSection, L"TempFile", 0xFFFFFFFF);            // far out of range
    SetValue(Machine, kJunkSection, L"IE Cache", REG_QWORD, &wide, sizeof wide);
    SetValue(User, kJunkSection, L"IE Cache", REG_DWORD, &nine, 2);      // a DWORD of two bytes
    SetText(Machine, kMainSection, L"Language", L"..\\..\\Windows\\win"); // a path, not a name
    SetText(User, kMainSection, L"Language", L"German", REG_EXPAND_SZ);
    SetText(Machine, kPrivacySection, L"pzinfo", L"1012");
    SetText(User, kPrivacySection, L"pzinfo", std::wstring(81, L'1'));
    SetDword(Machine, kRegistrySection, L"NoSuchSwitch", 1);
    SetDword(Machine, L"No Such Section", L"x", 1);
    SetText(Machine, L"", L"Stray", L"1");

    const TSettings settings = Read();
    const TWideStrings& problems = settings.PolicyProblems();
    std::string all;
    for (const std::wstring& line : problems)
        all += Narrow(line) + "\n";
    EXPECT_EQ(problems.size(), 12u) << all;
    for (const char* expected : {"Machine policy value \"Junk File Removal\\RemoveDay\" ignored: it is REG_SZ, not REG_DWORD.",
                                 "\"Junk File Removal\\Recycle\" ignored: 2 is not from 0 to 1.",
                                 "4294967295 is not from 0 to 1", "REG_QWORD, not REG_DWORD",
                                 "User policy value \"Junk File Removal\\IE Cache\" ignored: its REG_DWORD holds 2 bytes",
                                 "\"Main\\Language\" ignored: its text is not a file name",
                                 "User policy value \"Main\\Language\" ignored: it is REG_EXPAND_SZ, not REG_SZ",
                                 "its text holds more than 0 and 1", "81 characters long, not 1 to 80",
                                 "\"RegistryOpt\\NoSuchSwitch\" ignored: not a setting of the program",
                                 "\"No Such Section\\x\" ignored", "\"Stray\" ignored"})
        EXPECT_NE(all.find(expected), std::string::npos) << expected << "\n" << all;
    // What stands instead: Main.ini's values, or the defaults.
    EXPECT_EQ(settings.Number(Rule(kJunkSection, L"RemoveDay")), 5);
    for (const wchar_t* key : {L"Recycle", L"TempFile", L"IE Cache"})
        EXPECT_TRUE(settings.SwitchOn(Rule(kJunkSection, key))) << Narrow(key);
    for (const TSettingRule& rule : kSettingRules)
        EXPECT_FALSE(settings.SetByPolicy(rule)) << Narrow(rule.Key);
}

TEST_F(Policy, ThousandsOfStrayValuesGiveAShortList)
{
    TRegKey section;
    ASSERT_EQ(ERROR_SUCCESS, section.Create(Machine.Handle(), std::wstring(kPolicyKey) + L"\\" + kJunkSection));
    for (int i = 0; i < 3000; ++i)
        ASSERT_EQ(ERROR_SUCCESS, section.WriteString(L"stray" + std::to_wstring(i), L"x"));
    SetDword(Machine, kJunkSection, L"RemoveDay", 12);
    const TSettings settings = Read();
    ASSERT_FALSE(settings.PolicyProblems().empty());
    EXPECT_LE(settings.PolicyProblems().size(), 51u);
    EXPECT_NE(settings.PolicyProblems().back().find(L"more values ignored"), std::wstring::npos)
        << Narrow(settings.PolicyProblems().back());
    EXPECT_EQ(settings.Number(Rule(kJunkSection, L"RemoveDay")), 12) << "the good value still counts";
}

TEST_F(Policy, NoPolicyKeyReadsMainIniAsBefore)
{
    SetIni(kJunkSection, L"TempFile", L"yes");
    SetIni(kJunkSection, L"RemoveDay", L"abc");
    const TSettings settings = Read();
    EXPECT_TRUE(settings.PolicyProblems().empty());
    EXPECT_FALSE(settings.SwitchOn(Rule(kJunkSection, L"TempFile"))) << "only \"1\" switches on";
    EXPECT_EQ(settings.Number(Rule(kJunkSection, L"RemoveDay")), 2) << "a number that is none gives the default";
    EXPECT_EQ(settings.Value(Rule(kJunkSection, L"TempFile")).Source, TSettingSource::MainIni);
    EXPECT_EQ(settings.Value(Rule(kJunkSection, L"RemoveDay")).Source, TSettingSource::Default);
}

// Main.ini is anyone's to edit: a number out of its range is taken at the nearest end, by every reader
// of it alike (the junk scan, the removal library, the report).
TEST_F(Policy, AMainIniNumberOutOfItsRangeIsTakenAtTheNearestEnd)
{
    for (const auto& [text, days] : {std::pair{L"-5", 0}, std::pair{L"99999", kMaxRemoveDay}, std::pair{L"365", 365}}) {
        SetIni(kJunkSection, L"RemoveDay", text);
        const TSettings settings = Read();
        EXPECT_EQ(settings.Number(Rule(kJunkSection, L"RemoveDay")), days) << Narrow(text);
        EXPECT_EQ(settings.Value(Rule(kJunkSection, L"RemoveDay")).Source, TSettingSource::MainIni);
    }
}

// Every row of the table is one a policy can set, and no two rows name the same setting.
TEST(SettingsTable, EachSettingOnce)
{
    for (int i = 0; i < kSettingCount; ++i) {
        const TSettingRule& rule = kSettingRules[i];
        EXPECT_EQ(FindSettingRule(rule.Section, rule.Key), &rule) << Narrow(rule.Key);
        EXPECT_EQ(SettingIndex(rule), i);
        EXPECT_LE(rule.Min, rule.Max);
        if (rule.Type == TSettingType::Switch)
            EXPECT_TRUE(rule.Min == 0 && rule.Max == 1) << Narrow(rule.Key);
    }
    for (int i = 0; i < kRegistrySwitchCount; ++i)
        EXPECT_STREQ(kSettingRules[kFirstRegistrySwitchRule + i].Section, kRegistrySection);
}
