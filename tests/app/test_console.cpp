// The console report: exit codes, the report's content, start-up errors on the error stream.
#include "ConsoleFixture.h"

#include "app/ConsoleReport.h"
#include "common/CodePage.h"
#include "common/FormatText.h"
#include "common/Registry.h"
#include "support/CapturedRun.h"
#include "support/ScratchFolder.h"

#include <shlobj.h>

#include <fstream>

namespace {

class ConsoleReport : public ConsoleFixture {};

TEST(ConsoleOptions, Switches)
{
    EXPECT_FALSE(ParseCommandLine({}).Scan);
    EXPECT_TRUE(ParseCommandLine({L"/scan"}).Scan);
    EXPECT_TRUE(ParseCommandLine({L"-SCAN"}).Scan);
    auto both = ParseCommandLine({L"/Scan", L"/repair"});
    EXPECT_TRUE(both.Scan && both.Repair);
    EXPECT_FALSE(ParseCommandLine({L"scan", L"/scanner"}).Scan);
}

TEST_F(ConsoleReport, NothingFoundExitsZero)
{
    WriteDefinitions(0);
    EXPECT_EQ(Run(false), 0);
    EXPECT_NE(Out.find(L"Spyware Removal: " + Lng(L"Message", 0) + L"\r\n"), std::wstring::npos);
    EXPECT_NE(Out.find(L"Junk Files Clean: " + Lng(L"Message", 0)), std::wstring::npos);
    EXPECT_TRUE(Err.empty());
}

TEST_F(ConsoleReport, FindingsAreListedWithTheirCheckState)
{
    WriteDefinitions(3);
    EXPECT_EQ(Run(false), 1);
    const std::wstring key = L"HKEY_CURRENT_USER\\" + PresentKey(2);
    size_t row = Out.find(L"[x] ");
    ASSERT_NE(row, std::wstring::npos) << Out.c_str();
    EXPECT_NE(Out.find(key), std::wstring::npos);
    EXPECT_NE(Out.find(L"Item Name | Description | Risk Level | Entry"), std::wstring::npos);
    EXPECT_NE(Out.find(L"[Privacy Sweep]"), std::wstring::npos);
    EXPECT_NE(Out.find(L"[Junk Files Clean]"), std::wstring::npos);
    // Only a scan: nothing was removed.
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(2)));
}

TEST_F(ConsoleReport, RepairRemovesWhatIsListed)
{
    WriteDefinitions(2);
    EXPECT_EQ(Run(true), 1);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(0)));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(1)));
    size_t repair = Out.find(L"Repair\r\n");
    ASSERT_NE(repair, std::wstring::npos) << Out.c_str();
    EXPECT_NE(Out.find(L"Spyware Removal: " + Lng(L"Message", 4), repair), std::wstring::npos);
    EXPECT_NE(Out.find(L"Spyware Removal: 2 removed, 0 already gone, 0 in use, 0 scheduled for restart, 0 refused, "
                       L"0 failed\r\n",
                       repair),
              std::wstring::npos)
        << Out.c_str();
    EXPECT_NE(Out.find(L"Registry Fix: nothing to repair"), std::wstring::npos);
}

TEST_F(ConsoleReport, AnItemLeftIsReportedAndExitsThree)
{
    WriteDefinitions(2);
    // The second finding's key holds a registry link: it is refused, never deleted through.
    SetRegString(HKEY_CURRENT_USER, L"Software\\Elsewhere", L"v", L"precious");
    Registry.MakeCurrentUserLink(PresentKey(1) + L"\\Link", L"Software\\Elsewhere");
    EXPECT_EQ(Run(true), 3);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(0)));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(1)));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Elsewhere", L"v"));
    EXPECT_NE(Out.find(L"Spyware Removal: 1 removed, 0 already gone, 0 in use, 0 scheduled for restart, 1 refused, "
                       L"0 failed\r\n    not removed (refused): HKEY_CURRENT_USER\\" +
                       PresentKey(1) + L"\r\n"),
              std::wstring::npos)
        << Out.c_str();
    // The window's line says so too instead of "repaired".
    EXPECT_NE(Out.find(L"Spyware Removal: " + FormatText(Lng(L"Message", 19), {int64_t{1}})), std::wstring::npos);
}

TEST_F(ConsoleReport, RegistryRepairNamesItsUndoFile)
{
    WriteDefinitions(0);
    TRegKey progId;
    ASSERT_EQ(ERROR_SUCCESS, progId.Create(HKEY_CLASSES_ROOT, L"CLSID\\{C0450LE}\\ProgID", KEY_ALL_ACCESS));
    ASSERT_EQ(ERROR_SUCCESS, progId.WriteString(L"", L""));
    progId.Close();
    EXPECT_EQ(Run(true), 1) << Err.c_str();
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{C0450LE}\\ProgID"));
    EXPECT_NE(Out.find(L"Registry Fix: 1 removed"), std::wstring::npos) << Out.c_str();
    const std::wstring marker = L"undo file (BrisfoldCmd.exe /restore FILE brings it back): ";
    const size_t at = Out.find(marker);
    ASSERT_NE(at, std::wstring::npos) << Out.c_str();
    const std::wstring file = Out.substr(at + marker.size(), Out.find(L"\r\n", at) - at - marker.size());
    EXPECT_EQ(file.rfind(SettingsDir + L"Backup\\Registry\\", 0), 0u) << file.c_str();
    EXPECT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << file.c_str();
}

TEST_F(ConsoleReport, StartupErrorsExitTwo)
{
    EXPECT_EQ(Run(false), 2);
    EXPECT_NE(Err.find(L"Database file(Def.dbd) missing, please reinstall program."), std::wstring::npos);
    EXPECT_EQ(Out, L"Brisfold: no scan was run: Database file(Def.dbd) missing, please reinstall program. (status 2)\r\n");
    WriteCorruptDefinitions();
    EXPECT_EQ(Run(false), 2);
    EXPECT_NE(Err.find(L"corrupted"), std::wstring::npos) << Err.c_str();
}

namespace {

// Copies what the program needs beside it into folder (through the \\?\ form, which lifts the
// 260-character limit) and returns the folder with a trailing backslash.
std::wstring InstallProgram(const std::wstring& folder)
{
    wchar_t own[MAX_PATH];
    const std::wstring ownPath(own, GetModuleFileNameW(nullptr, own, MAX_PATH));
    const std::wstring bin = ownPath.substr(0, ownPath.find_last_of(L'\\') + 1);
    const std::wstring unlimited = L"\\\\?\\" + folder;
    EXPECT_TRUE(CreateDirectoryW((unlimited + L"\\Language").c_str(), nullptr)) << GetLastError();
    for (const wchar_t* file : {L"BrisfoldCmd.exe", L"Def.dbd", L"Language\\English.lng"})
        EXPECT_TRUE(CopyFileW((bin + file).c_str(), (unlimited + L"\\" + file).c_str(), FALSE)) << GetLastError();
    return folder + L"\\";
}

} // namespace

// The console program started from a folder named outside the system's 8-bit code page: start-up
// must not narrow the path on its way to Def.dbd and the language file. It scans the test prefix,
// read-only.
TEST(ConsoleProgram, RunsFromAFolderOutsideTheCodePage)
{
    ScratchFolder root{L"program-paths"};
    const std::wstring folder = root.MakeFolder(L"\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u0430-\u03a9\u03bc\u03ad\u03b3\u03b1");
    ASSERT_NE(AnsiToWide(WideToAnsi(folder)), folder) << "the name must lie outside the code page";
    const std::wstring program = InstallProgram(folder) + L"BrisfoldCmd.exe";

    const TCapturedRun run = RunCaptured(program, L"/scan", root.Path() + L"\\report.txt", 5 * 60 * 1000);
    ASSERT_TRUE(run.Started) << run.Error;
    ASSERT_TRUE(run.Ended);
    const DWORD code = run.Status;
    const std::string& report = run.Output;
    EXPECT_TRUE(code == 0 || code == 1) << code << "\n" << report;
    EXPECT_EQ(0u, report.find("Quillmar Brisfold scan report")) << report;
}

// A program folder longer than 260 characters: Def.dbd and the language file are still found.
TEST_F(ConsoleReport, ProgramFolderLongerThanMaxPath)
{
    WriteDefinitions(1);
    std::wstring folder = ProgramDir.substr(0, ProgramDir.size() - 1);
    for (wchar_t letter : {L'a', L'b', L'c'}) {
        folder += L"\\" + std::wstring(90, letter);
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr)) << GetLastError();
    }
    ASSERT_GT(folder.size(), 260u);
    const std::wstring longProgram = InstallProgram(folder);
    ASSERT_TRUE(CopyFileW((ProgramDir + L"Def.dbd").c_str(), (L"\\\\?\\" + longProgram + L"Def.dbd").c_str(), FALSE));
    ProgramDir = longProgram;
    EXPECT_EQ(Run(false), 1) << Err.c_str();
    EXPECT_NE(Out.find(L"HKEY_CURRENT_USER\\" + PresentKey(0)), std::wstring::npos);
}

TEST_F(ConsoleReport, PrivacyTracesAreReportedAndTheirRepairOutcomesCounted)
{
    WriteDefinitions(0);
    SetRegString(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\TypedURLs", L"url1", L"http://a.test/");
    const std::wstring visit = Folder.MakeFile(L"History\\History.IE5\\visit.dat", 10);
    EXPECT_EQ(Run(true), 1);
    const std::wstring line = L"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs\\url1";
    const size_t section = Out.find(L"[Privacy Sweep]\r\n");
    ASSERT_NE(section, std::wstring::npos) << Out.c_str();
    EXPECT_NE(Out.find(L"\r\n" + line + L"\r\n", section), std::wstring::npos) << Out.c_str();
    EXPECT_NE(Out.find(L"\r\n" + visit + L"   10 bytes\r\n", section), std::wstring::npos) << Out.c_str();
    EXPECT_NE(Out.find(L"Privacy Sweep: 2 removed, 0 already gone"), std::wstring::npos) << Out.c_str();
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\TypedURLs", L"url1"));
    EXPECT_FALSE(PathExists(visit));
}

// Nobody watches a progress bar in a console: every scanner and repair runs unpaced there.
TEST_F(ConsoleReport, ScanAndRepairAreNotPaced)
{
    WriteDefinitions(2);
    SetRegString(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\TypedURLs", L"url1", L"http://a.test/");
    EXPECT_EQ(Run(true), 1) << Out.c_str();
    EXPECT_NE(Out.find(L"Spyware Removal: 2 removed"), std::wstring::npos) << Out.c_str();
    EXPECT_NE(Out.find(L"Privacy Sweep: 1 removed"), std::wstring::npos) << Out.c_str();
    EXPECT_EQ(Pauses, std::vector<DWORD>{});
}

} // namespace

TEST_F(ConsoleReport, WithoutElevationTheAdministratorSwitchesAreNamedAndLeft)
{
    WriteDefinitions(0);
    WriteSetting(L"Junk File Removal", L"WindowsUpdate", L"1");
    const std::wstring folder = WindowsDir + L"\\SoftwareDistribution\\Download\\3f8a";
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr), ERROR_SUCCESS);
    const std::wstring download = folder + L"\\update.cab";
    WriteTextFile(download, std::string(1024, 'u'));
    Out.clear();
    TConsoleOptions options{true, true, ProgramDir};
    options.PrepareRun = [this](TScanRun& run) {
        UseStandIns(run);
        run.JunkPlaces->Elevated = [] { return false; };
    };
    RunConsoleReport(options, [this](const std::wstring& t) { Out += t; }, [](const std::wstring&) {});
    EXPECT_NE(Out.find(FormatText(Lng(L"M_Temp", 15), {Lng(L"M_Temp", 9), L"1.00 KB"})), std::wstring::npos)
        << Out.c_str();
    EXPECT_EQ(Out.find(download), std::wstring::npos) << Out.c_str();
    EXPECT_TRUE(PathExists(download));
    DeleteFileW(download.c_str());
}
