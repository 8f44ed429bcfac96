// The path tests that the registry checks share, as pure functions of their text.
#include "RegistryFixture.h"

#include "common/Kelvor_Routine.h"
#include "registry/PathTests.h"

TEST(PathTests, CutAtKnownExtension)
{
    const struct {
        const wchar_t* Text;
        const wchar_t* Cut;
    } cases[] = {
        {L"C:\\App\\app.exe,0", L"C:\\App\\app.exe"},
        {L"C:\\App\\APP.EXE /run", L"C:\\App\\APP.EXE"},
        // ".exe" has priority over an earlier ".dll".
        {L"C:\\lib.dll\\tool.exe -x", L"C:\\lib.dll\\tool.exe"},
        {L"C:\\x\\filter.ax", L"C:\\x\\filter.ax"},
        {L"C:\\x\\panel.cpl,@1", L"C:\\x\\panel.cpl"},
        {L"C:\\x\\icons.ico", L"C:\\x\\icons.ico"},
        {L"C:\\x\\ctl.ocx 2", L"C:\\x\\ctl.ocx"},
        {L"C:\\x\\library.tlb", L"C:\\x\\library.tlb"},
        {L"", L""},
        // Only where the extension ends a name: the end, a quote, a blank or a comma follows.
        {L"C:\\Program Files\\Acme.Executive\\acme.dll", L"C:\\Program Files\\Acme.Executive\\acme.dll"},
        {L"C:\\Relax.Axis\\app.ico,0", L"C:\\Relax.Axis\\app.ico"},
        {L"C:\\Data\\anna.exeter\\report.txt", L"C:\\Data\\anna.exeter\\report.txt"},
        {L"C:\\Documents\\Report.dllx", L"C:\\Documents\\Report.dllx"},
        {L"\"C:\\x\\a.exe\" -y", L"\"C:\\x\\a.exe"},
        {L".exe", L".exe"},
        {L"exe", L"exe"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CutAtKnownExtension(c.Text), c.Cut) << Narrow(c.Text);
}

TEST(PathTests, EveryCutAfterAKnownExtensionInOrder)
{
    EXPECT_EQ(ExtensionCuts(L"C:\\Tools\\My.exe Launcher.exe /x"),
              (std::vector<std::wstring>{L"C:\\Tools\\My.exe", L"C:\\Tools\\My.exe Launcher.exe"}));
    EXPECT_EQ(ExtensionCuts(L"C:\\a.dll,C:\\b.OCX"), (std::vector<std::wstring>{L"C:\\a.dll", L"C:\\a.dll,C:\\b.OCX"}));
    EXPECT_EQ(ExtensionCuts(L"C:\\Acme.Executive\\x.axe"), std::vector<std::wstring>{});
    EXPECT_EQ(PrefixesAtBlanks(L"C:\\Program Files\\My  App\\a.exe -x"),
              (std::vector<std::wstring>{L"C:\\Program", L"C:\\Program Files\\My", L"C:\\Program Files\\My  App\\a.exe"}));
}

TEST(PathTests, TheProgramPartOfACommand)
{
    const struct {
        const wchar_t* Command;
        bool Parsed;
        std::vector<std::wstring> Candidates;
    } cases[] = {
        {L"\"C:\\Program Files\\a.exe\" -jar \"C:\\t.jar\"", true, {L"C:\\Program Files\\a.exe"}},
        {L"  C:\\Program Files\\a.exe /x  ", true,
         {L"C:\\Program", L"C:\\Program Files\\a.exe", L"C:\\Program Files\\a.exe /x"}},
        {L"C:\\a.exe \"arg one\"", true, {L"C:\\a.exe"}},
        {L"notepad.exe", true, {L"notepad.exe"}},
        {L"\"C:\\a.exe", false, {}},
        {L"C:\\a.exe \"x", false, {}},
        {L"\"\"", false, {}},
        {L"\"  \" x", false, {}},
        {L"", false, {}},
        {L" \t ", false, {}},
    };
    for (const auto& c : cases) {
        const TCommandProgram program = ProgramOfCommand(c.Command);
        EXPECT_EQ(program.Parsed, c.Parsed) << Narrow(c.Command);
        EXPECT_EQ(program.Candidates, c.Candidates) << Narrow(c.Command);
    }
    EXPECT_TRUE(LacksExtension(L"C:\\My.Tools\\plain"));
    EXPECT_FALSE(LacksExtension(L"C:\\Tools\\plain.exe"));
    EXPECT_TRUE(IsBareName(L"notepad.exe"));
    EXPECT_FALSE(IsBareName(L"bin\\notepad.exe"));
    EXPECT_FALSE(IsBareName(L"%1"));
    EXPECT_TRUE(IsFullLocalPath(L"c:\\x"));
    EXPECT_FALSE(IsFullLocalPath(L"c:x"));
}

TEST(PathTests, DriverAndServicePathForms)
{
    const std::wstring windows = L"C:\\windows";
    const std::pair<const wchar_t*, std::wstring> cases[] = {
        {L"\\SystemRoot\\System32\\drivers\\x.sys", L"C:\\windows\\System32\\drivers\\x.sys"},
        {L"\\systemroot\\x.sys", L"C:\\windows\\x.sys"},
        {L"System32\\drivers\\x.sys", L"C:\\windows\\System32\\drivers\\x.sys"},
        {L"system32\\x.exe -k", L"C:\\windows\\system32\\x.exe -k"},
        {L"\\??\\D:\\Drivers\\x.sys", L"D:\\Drivers\\x.sys"},
        {L"\\\\?\\D:\\x.sys", L"D:\\x.sys"},
        {L"\\DosDevices\\D:\\x.sys", L"D:\\x.sys"},
        {L"\\??\\UNC\\server\\x.sys", L"\\??\\UNC\\server\\x.sys"}, // no drive path behind it
        {L"drivers\\x.sys", L"drivers\\x.sys"},
        {L"C:\\x.sys", L"C:\\x.sys"},
    };
    for (const auto& [text, resolved] : cases)
        EXPECT_EQ(ResolveSystemForms(text, windows), resolved) << Narrow(text);
    EXPECT_EQ(ResolveSystemForms(L"\\SystemRoot\\x.sys", L"C:\\windows\\"), L"C:\\windows\\x.sys");
}

TEST(PathTests, ExtensionMarkNeedsRoomForADot)
{
    const struct {
        const wchar_t* Text;
        bool Three;
        bool TwoAllowed;
    } cases[] = {
        {L"C:\\x\\a.dll", true, true},
        {L"C:\\x\\a.tlb", true, true},
        {L"C:\\x\\filter.ax", false, true},
        {L"C:\\x\\app.exe,3", true, true}, // cut before the test
        {L"C:\\x\\folder", false, false},
        {L".dll", true, true},
        // Too short to hold a dot at the tested place: no mark, no out-of-range read.
        {L"ab", false, false},
        {L"a", false, false},
        {L"", false, false},
        {L".ax", false, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasExtensionMark(c.Text, false), c.Three) << Narrow(c.Text);
        EXPECT_EQ(HasExtensionMark(c.Text, true), c.TwoAllowed) << Narrow(c.Text);
    }
    EXPECT_TRUE(EndsInDotAndThree(L"C:\\x\\a.tlb"));
    EXPECT_FALSE(EndsInDotAndThree(L"C:\\x\\a.tlb,1"));
    EXPECT_FALSE(EndsInDotAndThree(L"tlb"));
}

TEST(PathTests, DrivePathFormAndQuotes)
{
    EXPECT_TRUE(HasDrivePathForm(L"C:\\x\\a.dll"));
    EXPECT_FALSE(HasDrivePathForm(L"a.dll")) << "a bare file name";
    // An argument that is itself a drive path brings a second colon.
    EXPECT_FALSE(HasDrivePathForm(L"C:\\x\\app.exe D:\\file.txt"));
    EXPECT_FALSE(HasDrivePathForm(L"C"));
    EXPECT_FALSE(HasDrivePathForm(L""));

    EXPECT_EQ(RemoveQuotes(L"\"C:\\x\\a b.exe\" \"arg\""), L"C:\\x\\a b.exe arg");
    EXPECT_EQ(CountQuotes(L"\"C:\\x\\a b.exe\" \"arg\""), 4);
    EXPECT_EQ(CountQuotes(L"none"), 0);
    EXPECT_EQ(TrimText(L" \t C:\\x \r\n"), L"C:\\x");
}

TEST(PathTests, SystemRootExpandsInItsExactCaseOnly)
{
    EXPECT_EQ(ExpandSystemRoot(L"%SystemRoot%\\system32\\a.dll", L"C:\\windows"), L"C:\\windows\\system32\\a.dll");
    EXPECT_EQ(ExpandSystemRoot(L"%SystemRoot%;%SystemRoot%", L"W"), L"W;W");
    EXPECT_EQ(ExpandSystemRoot(L"%systemroot%\\a.dll", L"C:\\windows"), L"%systemroot%\\a.dll");
    // A Windows folder longer than any fixed buffer comes through whole.
    const std::wstring longFolder = L"D:\\" + std::wstring(300, L'w');
    EXPECT_EQ(ExpandSystemRoot(L"%SystemRoot%\\a.dll", longFolder), longFolder + L"\\a.dll");
}

TEST(PathTests, FixedDriveTestAsksOnlyAboutADriveRoot)
{
    std::vector<std::wstring> asked;
    UINT answer = DRIVE_FIXED;
    const TDriveTypeQuery query = [&](const std::wstring& root) {
        asked.push_back(root);
        return answer;
    };
    const struct {
        const wchar_t* Text;
        UINT Answer;
        bool Passes;
        const wchar_t* Asked; // nullptr: not asked at all
    } cases[] = {
        {L"C:\\x\\a.dll", DRIVE_FIXED, true, L"C:\\"},
        {L"d:\\x", DRIVE_FIXED, true, L"d:\\"},
        {L"Z:\\x\\a.dll", DRIVE_REMOTE, false, L"Z:\\"},
        {L"E:\\a.dll", DRIVE_REMOVABLE, false, L"E:\\"},
        {L"F:\\a.dll", DRIVE_CDROM, false, L"F:\\"},
        {L"G:\\a.dll", DRIVE_RAMDISK, false, L"G:\\"},
        {L"C:a.dll", DRIVE_FIXED, false, nullptr},
        {L"a.dll", DRIVE_FIXED, false, nullptr},
        {L"\\\\server\\share\\a.dll", DRIVE_FIXED, false, nullptr},
        {L"1:\\a.dll", DRIVE_FIXED, false, nullptr},
        {L"", DRIVE_FIXED, false, nullptr},
        {L"C:", DRIVE_FIXED, false, nullptr},
    };
    for (const auto& c : cases) {
        asked.clear();
        answer = c.Answer;
        EXPECT_EQ(PassesFixedDriveTest(c.Text, query), c.Passes) << Narrow(c.Text);
        if (c.Asked)
            EXPECT_EQ(asked, std::vector<std::wstring>{c.Asked}) << Narrow(c.Text);
        else
            EXPECT_TRUE(asked.empty()) << Narrow(c.Text);
    }
}
