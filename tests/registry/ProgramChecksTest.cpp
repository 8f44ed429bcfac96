// Programs: application paths, run entries, the MUI cache and shared DLLs, the first three in both
// registry views where a key has a 32-bit twin.
#include "RegistryFixture.h"

#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "common/SafeDelete.h"
#include "common/SystemFolders.h"

#include <algorithm>

namespace {

const std::wstring kVersion = L"Software\\Microsoft\\Windows\\CurrentVersion\\";
const std::wstring kWowVersion = L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\";
const std::wstring kMachine = L"HKEY_LOCAL_MACHINE\\";

class ProgramChecks : public RegistryFixture {
protected:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        Present = Files->MakeFile(L"present.exe", 4);
        Missing = *Files / L"missing.exe";
    }
    std::wstring Present, Missing;
};

// A file that only the 32-bit system folder holds, named as a 32-bit program names it (System32),
// removed again at the end of the test.
class ThirtyTwoBitOnlyFile {
public:
    explicit ThirtyTwoBitOnlyFile(const std::wstring& name)
        : Real_(SystemFolder32() + L"\\brisfold-" + TestProgramName() + L"-" + name),
          AsWritten_(SystemFolder() + L"\\brisfold-" + TestProgramName() + L"-" + name)
    {
        EXPECT_FALSE(SystemFolder32().empty()) << "a 64-bit system has a 32-bit system folder";
        (void)DeleteFileSafe(Real_); // what a crashed run left
        WriteTextFile(Real_, "32");
        EXPECT_FALSE(FileExists(AsWritten_));
    }
    ~ThirtyTwoBitOnlyFile() { EXPECT_EQ(TOutcome::Removed, DeleteFileSafe(Real_)); }
    const std::wstring& AsWritten() const { return AsWritten_; }

private:
    std::wstring Real_, AsWritten_;
};

} // namespace

TEST_F(ProgramChecks, ApplicationPaths)
{
    OnlyCategories({L"App"});
    const std::wstring paths = kVersion + L"App Paths\\";
    const ThirtyTwoBitOnlyFile only32(L"app32.exe");
    SetDefaultText(HKEY_LOCAL_MACHINE, paths + L"gone.exe", Missing);
    SetDefaultText(HKEY_LOCAL_MACHINE, paths + L"present.exe", Present);
    SetDefaultText(HKEY_LOCAL_MACHINE, paths + L"quoted.exe", L"\"" + Missing + L"\"");
    // Unquoted only when the quote comes first: this path with a stray quote names no file.
    SetDefaultText(HKEY_LOCAL_MACHINE, paths + L"stray.exe", Present + L"\"");
    SetDefaultText(HKEY_LOCAL_MACHINE, paths + L"ie.exe", L"%ProgramFiles%\\Internet Explorer\\iexplore.exe");
    SetDefaultText(HKEY_LOCAL_MACHINE, paths + L"pf.exe", L"%ProgramFiles%\\BrisfoldGone\\gone.exe");
    SetDefaultText(HKEY_LOCAL_MACHINE, paths + L"sys.exe", L"%SystemRoot%\\notepad.exe");
    SetDefaultText(HKEY_LOCAL_MACHINE, paths + L"net.exe", L"Z:\\gone.exe");
    SetDefaultText(HKEY_LOCAL_MACHINE, paths + L"bare.exe", L"gone.exe");
    SetRegValue(HKEY_LOCAL_MACHINE, paths + L"number.exe", L"", REG_DWORD, {1, 0, 0, 0});
    SetDefaultText(HKEY_LOCAL_MACHINE, paths + L"only32.exe", only32.AsWritten()); // gone for 64-bit programs
    // The 32-bit twin: System32 there is the 32-bit system folder.
    const std::wstring wowPaths = kWowVersion + L"App Paths\\";
    SetDefaultText(HKEY_LOCAL_MACHINE, wowPaths + L"only32.exe", only32.AsWritten());
    SetDefaultText(HKEY_LOCAL_MACHINE, wowPaths + L"gone32.exe", Missing);

    auto scanner = MakeScannerWithDrives();
    EXPECT_EQ(RunScan(*scanner), 6);
    const std::wstring key = kMachine + paths;
    const std::wstring pf = WindowsFolder().substr(0, 3) + L"Program Files\\BrisfoldGone\\gone.exe";
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          Row(L"Text 0", key + L"gone.exe", L"", Missing, 5),
                          Row(L"Text 0", key + L"only32.exe", L"", only32.AsWritten(), 5),
                          Row(L"Text 0", key + L"pf.exe", L"", pf, 5),
                          Row(L"Text 0", key + L"quoted.exe", L"", Missing, 5),
                          Row(L"Text 0", key + L"stray.exe", L"", Present + L"\"", 5),
                          Row(L"Text 0", kMachine + wowPaths + L"gone32.exe", L"", Missing, 5),
                      }));
    EXPECT_EQ(Status.Caption(), L"Scanning Text 0");
    const TWideStrings& lines = scanner->BackupLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], L"[" + key + L"gone.exe]");
    EXPECT_EQ(lines[1], L"@=\"" + EscapeBackslashes(Missing) + L"\"");
    // The value as stored, quotes and all; only backslashes are escaped.
    EXPECT_EQ(lines[7], L"@=\"\"" + EscapeBackslashes(Missing) + L"\"\"");

    // Each view's finding is deleted where it lies.
    SetDefaultText(HKEY_LOCAL_MACHINE, paths + L"gone32.exe", Present);
    RunRepair(*scanner);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Removed), 6);
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, wowPaths + L"gone32.exe", L""));
    EXPECT_TRUE(RegValueExists(HKEY_LOCAL_MACHINE, paths + L"gone32.exe", L""));
    EXPECT_TRUE(RegValueExists(HKEY_LOCAL_MACHINE, wowPaths + L"only32.exe", L""));
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, paths + L"only32.exe", L""));
}

TEST_F(ProgramChecks, RunEntries)
{
    OnlyCategories({L"Startup"});
    const std::wstring run = kVersion + L"Run";
    const std::wstring wowRun = kWowVersion + L"Run";
    const struct {
        const wchar_t* Name;
        std::wstring Data;
    } entries[] = {
        {L"Gone", Missing},
        {L"Empty", L""},
        {L"Present", Present},
        {L"Arguments", Missing + L" /background"}, // the program part is judged, not the arguments
        {L"PresentArguments", Present + L" /log=C:\\NoSuchFolder\\app.log"},
        {L"Quoted", L"\"" + Missing + L"\""},
        {L"SystemRoot", L"%SystemRoot%\\gone.exe"}, // not expanded: names no program to judge
        {L"Network", L"Z:\\gone.exe"},
        {L"Removable", L"E:\\gone.exe"},
    };
    for (const auto& entry : entries)
        SetRegString(HKEY_LOCAL_MACHINE, run, entry.Name, entry.Data);
    SetRegString(HKEY_LOCAL_MACHINE, wowRun, L"Gone32", Missing);
    SetRegString(HKEY_LOCAL_MACHINE, wowRun, L"Present32", Present);

    auto scanner = MakeScannerWithDrives();
    EXPECT_EQ(RunScan(*scanner), 5);
    const std::wstring key = kMachine + run;
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          Row(L"Text 16", key, L"Arguments", Missing + L" /background", 5),
                          Row(L"Text 16", key, L"Empty", L"", 4),
                          Row(L"Text 16", key, L"Gone", Missing, 5),
                          Row(L"Text 16", key, L"Quoted", Missing, 5),
                          Row(L"Text 16", kMachine + wowRun, L"Gone32", Missing, 5),
                      }));
    const TWideStrings expected{
        L"[" + key + L"]", L"\"Arguments\"=\"" + EscapeBackslashes(Missing) + L" /background\"",
        L"[" + key + L"]", L"\"Empty\"=\"\"",
        L"[" + key + L"]", L"\"Gone\"=\"" + EscapeBackslashes(Missing) + L"\"",
        L"[" + key + L"]", L"\"Quoted\"=\"\"" + EscapeBackslashes(Missing) + L"\"\"",
        L"[" + kMachine + wowRun + L"]", L"\"Gone32\"=\"" + EscapeBackslashes(Missing) + L"\"",
    };
    EXPECT_EQ(scanner->BackupLines(), expected);
}

TEST_F(ProgramChecks, ALinkedThirtyTwoBitRunKeyIsListedAsTheLinkAndNeverRepairedThroughIt)
{
    OnlyCategories({L"Startup"});
    // The 32-bit Run key was made a link to a key whose value only looks like a run entry.
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Precious", L"Tool", Missing);
    CreateRegKey(HKEY_LOCAL_MACHINE, kVersion + L"Run");
    Registry->MakeLink(HKEY_LOCAL_MACHINE, kWowVersion + L"Run", L"Software\\Precious");

    auto scanner = MakeScannerWithDrives();
    EXPECT_EQ(RunScan(*scanner), 1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{Row(L"Text 16", kMachine + kWowVersion + L"Run", L"Tool", Missing, 5)}));
    RunRepair(*scanner);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Refused), 1);
    EXPECT_TRUE(RegValueExists(HKEY_LOCAL_MACHINE, L"Software\\Precious", L"Tool"));
}

TEST_F(ProgramChecks, OnlyANameThatIsNotThereIsMissing)
{
    // A path the system cannot be asked about (no rights, held by another program) is there: only
    // "file not found" and "path not found" make an entry broken.
    OnlyCategories({L"Startup"});
    const struct {
        const wchar_t* Name;
        DWORD Error;
        bool Listed;
    } cases[] = {
        {L"denied", ERROR_ACCESS_DENIED, false},
        {L"shared", ERROR_SHARING_VIOLATION, false},
        {L"gone", ERROR_FILE_NOT_FOUND, true},
        {L"nofolder", ERROR_PATH_NOT_FOUND, true},
    };
    const std::wstring run = kVersion + L"Run";
    std::vector<std::string> expected;
    for (const auto& c : cases) {
        const std::wstring path = *Files / (std::wstring(c.Name) + L".exe");
        SetRegString(HKEY_LOCAL_MACHINE, run, c.Name, path);
        if (c.Listed)
            expected.push_back(Row(L"Text 16", kMachine + run, c.Name, path, 5));
    }
    auto scanner = MakeScannerWithDrives();
    scanner->Hooks.Attributes = [&](const std::wstring& path) {
        for (const auto& c : cases)
            if (path == *Files / (std::wstring(c.Name) + L".exe"))
                return TPathAttributes{INVALID_FILE_ATTRIBUTES, c.Error};
        return QueryPathAttributes(path);
    };
    EXPECT_EQ(RunScan(*scanner), 2);
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> rows = Rows();
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, expected);
}

TEST_F(ProgramChecks, MuiCache)
{
    OnlyCategories({L"Mui"});
    const std::wstring mui = L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";
    const std::wstring missingDll = *Files / L"missing.dll";
    SetRegString(HKEY_CURRENT_USER, mui, Missing, L"Missing Program");
    SetRegString(HKEY_CURRENT_USER, mui, Present, L"Present Program");
    SetRegString(HKEY_CURRENT_USER, mui, L"@" + missingDll + L",-101", L"Resource");
    SetRegString(HKEY_CURRENT_USER, mui, L"@" + missingDll, L"No comma"); // names no program
    SetRegString(HKEY_CURRENT_USER, mui, L"@shell32.dll,-8", L"Bare name");
    SetRegValue(HKEY_CURRENT_USER, mui, *Files / L"expand.exe", REG_EXPAND_SZ, TextBytes(L"Expandable"));
    SetRegValue(HKEY_CURRENT_USER, mui, L"LangID", REG_BINARY, {9, 4});

    auto scanner = MakeScanner();
    EXPECT_EQ(RunScan(*scanner), 2);
    const std::wstring key = L"HKEY_CURRENT_USER\\" + mui + L"\\";
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          Row(L"Text 18", key, L"@" + missingDll + L",-101", L"Resource", 5),
                          Row(L"Text 18", key, Missing, L"Missing Program", 5),
                      }));
    EXPECT_EQ(Status.Caption(), L"Scanning Text 18");
    ASSERT_EQ(scanner->BackupLines().size(), 4u);
    EXPECT_EQ(scanner->BackupLines()[3], L"\"" + EscapeBackslashes(Missing) + L"\"=\"Missing Program\"");
}

TEST_F(ProgramChecks, SharedDlls)
{
    OnlyCategories({L"Shared"});
    const std::wstring shared = kVersion + L"SharedDlls";
    const std::wstring wowShared = kWowVersion + L"SharedDlls";
    const ThirtyTwoBitOnlyFile only32(L"shared32.dll");
    const std::wstring presentDll = Files->MakeFile(L"present.dll", 4);
    SetRegValue(HKEY_LOCAL_MACHINE, shared, Missing, REG_DWORD, {1, 0, 0, 0});
    SetRegValue(HKEY_LOCAL_MACHINE, shared, presentDll, REG_DWORD, {0, 0, 0, 0}); // counted 0: unused
    SetRegValue(HKEY_LOCAL_MACHINE, shared, Present, REG_DWORD, {3, 0, 0, 0});
    SetRegValue(HKEY_LOCAL_MACHINE, shared, L"Z:\\gone.dll", REG_DWORD, {1, 0, 0, 0});
    SetRegString(HKEY_LOCAL_MACHINE, shared, *Files / L"text.dll", L"1"); // not a count
    SetRegValue(HKEY_LOCAL_MACHINE, wowShared, only32.AsWritten(), REG_DWORD, {2, 0, 0, 0});
    SetRegValue(HKEY_LOCAL_MACHINE, wowShared, Missing, REG_DWORD, {0x1a, 0, 0, 0});

    auto scanner = MakeScannerWithDrives();
    EXPECT_EQ(scanner->CountSharedDllValues(), 7) << "the values of both views";
    BarWatch bar(Progress.Handle());
    EXPECT_EQ(RunScan(*scanner), 3);
    const std::wstring key = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          Row(L"Text 9", key, Missing, L"1", 4),
                          Row(L"Text 9", key, presentDll, L"0", 4),
                          Row(L"Text 9", kMachine + wowShared, Missing, L"26", 4),
                      }));
    EXPECT_EQ(bar.Steps, 7 + 1 + 1) << "one per value in each view, then the margin and one";
    ASSERT_EQ(scanner->BackupLines().size(), 6u);
    EXPECT_EQ(scanner->BackupLines()[1], L"\"" + EscapeBackslashes(Missing) + L"\"=dword:00000001");
    EXPECT_EQ(scanner->BackupLines()[5], L"\"" + EscapeBackslashes(Missing) + L"\"=dword:0000001A");
}
