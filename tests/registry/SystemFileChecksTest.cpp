// System files: fonts, help files, sound events and multimedia drivers.
#include "RegistryFixture.h"

#include "common/SystemFolders.h"

namespace {

class SystemFileChecks : public RegistryFixture {
protected:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        Folder = Files->MakeFolder(L"files");
        Present = Files->MakeFile(L"files\\present.ttf", 4);
    }
    std::wstring Folder, Present;
};

} // namespace

TEST_F(SystemFileChecks, Fonts)
{
    OnlyCategories({L"Fonts"});
    const std::wstring fonts = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    const std::wstring missing = Folder + L"\\gone.ttf";
    SetRegString(HKEY_LOCAL_MACHINE, fonts, L"Arial (TrueType)", L"arial.ttf"); // in the Fonts folder
    SetRegString(HKEY_LOCAL_MACHINE, fonts, L"Gone (TrueType)", missing);
    SetRegString(HKEY_LOCAL_MACHINE, fonts, L"Present (TrueType)", Present);
    SetRegString(HKEY_LOCAL_MACHINE, fonts, L"Share (TrueType)", L"Z:\\fonts\\gone.ttf");
    SetRegString(HKEY_LOCAL_MACHINE, fonts, L"Empty", L"");

    auto scanner = MakeScannerWithDrives();
    EXPECT_EQ(RunScan(*scanner), 1);
    const std::wstring key = L"HKEY_LOCAL_MACHINE\\" + fonts;
    EXPECT_EQ(Rows(), (std::vector<std::string>{Row(L"Text 13", key, L"Gone (TrueType)", missing, 5)}));
    EXPECT_EQ(scanner->BackupLines(),
              (TWideStrings{L"[" + key + L"]", L"\"Gone (TrueType)\"=\"" + EscapeBackslashes(missing) + L"\""}));
}

TEST_F(SystemFileChecks, HelpFilesInBothHelpKeys)
{
    OnlyCategories({L"Help"});
    Files->MakeFile(L"files\\present.hlp", 4);
    for (const wchar_t* key : {L"Software\\Microsoft\\Windows\\Help", L"Software\\Microsoft\\Windows\\Html Help"}) {
        SetRegString(HKEY_LOCAL_MACHINE, key, L"gone.hlp", Folder);
        SetRegString(HKEY_LOCAL_MACHINE, key, L"present.hlp", Folder + L"\\");
        // A folder on a share that is not there now, and no folder at all: not judged.
        SetRegString(HKEY_LOCAL_MACHINE, key, L"share.hlp", L"Z:\\help");
        SetRegString(HKEY_LOCAL_MACHINE, key, L"nowhere.hlp", L"");
    }
    auto scanner = MakeScannerWithDrives();
    EXPECT_EQ(RunScan(*scanner), 2);
    const std::wstring gone = Folder + L"\\gone.hlp";
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          Row(L"Text 4", L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\Help\\", L"gone.hlp", gone, 5),
                          Row(L"Text 4", L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\Html Help\\", L"gone.hlp",
                              gone, 5),
                      }));
    ASSERT_EQ(scanner->BackupLines().size(), 4u);
    EXPECT_EQ(scanner->BackupLines()[0], L"[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\Help\\]");
    EXPECT_EQ(scanner->BackupLines()[1], L"\"gone.hlp\"=\"" + EscapeBackslashes(Folder) + L"\"") << "the folder";
}

TEST_F(SystemFileChecks, SoundEvents)
{
    OnlyCategories({L"Sounds"});
    const std::wstring events = L"AppEvents\\Schemes\\Apps\\.Default\\";
    const std::wstring wav = Files->MakeFile(L"files\\present.wav", 4);
    const std::wstring gone = Folder + L"\\gone.wav";
    const struct {
        const wchar_t* Key;
        std::wstring Sound;
    } schemes[] = {
        {L"Beep\\.Current", L" " + gone + L" "}, // trimmed
        {L"Beep\\.Default", wav},
        {L"Beep\\Utopia0", L""},
        {L"Beep\\Other", L""},
        {L"Ding\\UTOPIA0", L"  "},
        {L"Ding\\.Current", L"%SystemRoot%\\media\\brisfold-gone.wav"},
        {L"Ding\\.Default", L"gone.wav"},       // no drive
        {L"Ding\\Share", L"Z:\\media\\gone.wav"},
        {L"Ding\\NoExtension", Folder + L"\\gone"},
        {L"Ding\\Short", Folder + L"\\gone.au"}, // a two-character extension counts
    };
    for (const auto& scheme : schemes)
        SetDefaultText(HKEY_CURRENT_USER, events + scheme.Key, scheme.Sound);
    CreateRegKey(HKEY_CURRENT_USER, events + L"Ding\\NoDefault");

    auto scanner = MakeScannerWithDrives();
    EXPECT_EQ(RunScan(*scanner), 5);
    const std::wstring key = L"HKEY_CURRENT_USER\\" + events;
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          Row(L"Text 15", key + L"Beep\\.Current", L"", gone, 5),
                          Row(L"Text 15", key + L"Beep\\Utopia0", L"N/A", L"", 5),
                          Row(L"Text 15", key + L"Ding\\.Current", L"",
                              WindowsFolder() + L"\\media\\brisfold-gone.wav", 5),
                          Row(L"Text 15", key + L"Ding\\Short", L"", Folder + L"\\gone.au", 5),
                          Row(L"Text 15", key + L"Ding\\UTOPIA0", L"N/A", L"", 5),
                      }));
    ASSERT_GE(scanner->BackupLines().size(), 3u);
    EXPECT_EQ(scanner->BackupLines()[1], L"@=\"" + EscapeBackslashes(gone) + L"\"") << "the trimmed value";
    EXPECT_EQ(scanner->BackupLines()[2], L"[" + key + L"Beep\\Utopia0]");
}

TEST_F(SystemFileChecks, Drivers32)
{
    OnlyCategories({L"System"});
    const std::wstring drivers = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
    SetRegString(HKEY_LOCAL_MACHINE, drivers, L"wavemapper", L"msacm32.drv");
    SetRegString(HKEY_LOCAL_MACHINE, drivers, L"midi9", L"");
    SetRegValue(HKEY_LOCAL_MACHINE, drivers, L"number", REG_DWORD, {0, 0, 0, 0});
    auto scanner = MakeScanner();
    BarWatch bar(Progress.Handle());
    EXPECT_EQ(RunScan(*scanner), 1);
    const std::wstring key = L"HKEY_LOCAL_MACHINE\\" + drivers + L"\\";
    EXPECT_EQ(Rows(), (std::vector<std::string>{Row(L"Text 20", key, L"midi9", L"", 4)}));
    EXPECT_EQ(scanner->BackupLines(), (TWideStrings{L"[" + key + L"]", L"\"midi9\"=\"\""}));
    EXPECT_EQ(bar.Steps, 1 + 1) << "the check never steps: only the margin and one";
}
