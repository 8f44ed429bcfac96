// "/quarantine list | restore | purge", the repair report's quarantine line and the age-out at start-up.
#include "ConsoleFixture.h"

#include "common/Registry.h"
#include "quarantine/Quarantine.h"
#include "quarantine/QuarantineRun.h"
#include "quarantine/QuarantineSettings.h"

#include <fstream>

namespace {

constexpr ULONGLONG kDay = 24ULL * 3600 * 10000000;

class QuarantineCommand : public ConsoleFixture {
protected:
    int Scan(bool repair) { return Run(repair); }

    int Command(const std::vector<std::wstring>& arguments)
    {
        std::vector<std::wstring> line = {L"/quarantine"};
        line.insert(line.end(), arguments.begin(), arguments.end());
        TConsoleOptions options = ParseCommandLine(line);
        options.QuarantinePlaces = ScratchQuarantine();
        return RunOptions(options);
    }

    // The run the last repair named in its report.
    std::wstring ReportedRun() const
    {
        const std::wstring marker = L"    quarantine run ";
        const size_t at = Out.find(marker);
        if (at == std::wstring::npos)
            return {};
        return Out.substr(at + marker.size(), Out.find(L' ', at + marker.size()) - at - marker.size());
    }

    // A run made days ago that removed a tracking cookie.
    std::wstring OldRun(int days)
    {
        TQuarantinePlaces places = ScratchQuarantine();
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        places.Now = [=] { return FileTimeOf(FileTimeValue(now) - static_cast<ULONGLONG>(days) * kDay); };
        TQuarantineRun run(places);
        EXPECT_EQ(std::nullopt, run.Begin());
        const int number = run.AddCookie(L"Cookie:user@old.test/", {L"Old", L"Risk one"}).Number;
        EXPECT_NE(0, number);
        EXPECT_EQ(std::nullopt, run.Commit());
        run.Record(number, TOutcome::Removed);
        return run.Folder();
    }

};

} // namespace

// The command's words run up to the next option (a run's name, an item's number or path never starts
// with "/" or "-"), so that /report and /quiet can follow it; a second command is refused.
TEST(ConsoleOptions, QuarantineTakesTheWordsUpToTheNextOption)
{
    const TConsoleOptions options = ParseCommandLine({L"-Quarantine", L"restore", L"20260105-093000", L"C:\\x\\a.exe", L"/quiet"});
    EXPECT_TRUE(options.Quarantine);
    EXPECT_TRUE(options.Quiet);
    EXPECT_TRUE(options.Error.empty()) << options.Error.size();
    EXPECT_EQ((std::vector<std::wstring>{L"restore", L"20260105-093000", L"C:\\x\\a.exe"}), options.QuarantineArguments);
    const TConsoleOptions two = ParseCommandLine({L"-Quarantine", L"restore", L"20260105-093000", L"/scan"});
    EXPECT_EQ((std::vector<std::wstring>{L"restore", L"20260105-093000"}), two.QuarantineArguments);
    EXPECT_FALSE(two.Error.empty()) << "/scan beside /quarantine";
}

TEST_F(QuarantineCommand, TheRepairNamesItsRunAndTheRunRestoresWhatItRemoved)
{
    WriteDefinitions(2);
    SetRegString(HKEY_CURRENT_USER, PresentKey(1) + L"\\Deeper", L"Data", L"kept in the undo file");
    ASSERT_EQ(1, Scan(true)) << Err;
    ASSERT_FALSE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(1)));
    const std::wstring run = ReportedRun();
    ASSERT_EQ(15u, run.size()) << Out;
    EXPECT_NE(std::wstring::npos, Out.find(L"(BrisfoldCmd.exe /quarantine restore " + run + L" brings it back): " +
                                           ScratchQuarantine().UserBase + L"\\Kelvor\\Dornique\\Quarantine\\" + run))
        << Out;

    EXPECT_EQ(0, Command({L"list"})) << Err;
    EXPECT_EQ(0u, Out.find(run + L"  2 items, ")) << Out;
    EXPECT_EQ(std::wstring::npos, Out.find(L"BrisfoldAppTestAbsent")) << "never found, so no item";
    EXPECT_NE(std::wstring::npos, Out.find(L"  HKEY_CURRENT_USER\\" + PresentKey(1) + L": quarantined\r\n")) << Out;

    EXPECT_EQ(0, Command({L"restore", run, L"HKEY_CURRENT_USER\\" + PresentKey(1)})) << Err << Out;
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, PresentKey(1) + L"\\Deeper", L"Data"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(0))) << "only the item asked for";
    EXPECT_EQ(0, Command({L"restore", run})) << Err << Out;
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(0)));
    EXPECT_NE(std::wstring::npos, Out.find(L"Restored from quarantine run " + run + L":\r\n")) << Out;

    EXPECT_EQ(0, Command({L"list"}));
    EXPECT_NE(std::wstring::npos, Out.find(L"  HKEY_CURRENT_USER\\" + PresentKey(1) + L": restored\r\n")) << Out;
}

TEST_F(QuarantineCommand, WhatCannotBeReadOrRestoredHasItsExitStatus)
{
    WriteDefinitions(1);
    ASSERT_EQ(1, Scan(true));
    const std::wstring run = ReportedRun();
    ASSERT_FALSE(run.empty()) << Out;

    EXPECT_EQ(2, Command({L"restore", L"20000101-000000"}));
    EXPECT_NE(std::wstring::npos, Err.find(L"there is no quarantine run 20000101-000000")) << Err;
    EXPECT_EQ(2, Command({L"restore", run, L"7"}));
    EXPECT_EQ(2, Command({L"restore"}));
    EXPECT_EQ(2, Command({L"purge", L"many"}));
    EXPECT_EQ(2, Command({L"purge"}));
    EXPECT_EQ(2, Command({}));
    EXPECT_EQ(2, Command({L"empty"}));
    EXPECT_NE(std::wstring::npos, Err.find(L"/quarantine list | restore RUN [ITEM] | purge DAYS")) << Err;

    // A damaged line: what it named is not restored, and the status says so.
    const std::wstring manifest =
        ScratchQuarantine().UserBase + L"\\Kelvor\\Dornique\\Quarantine\\" + run + L"\\" + kManifestName;
    std::ofstream(manifest.c_str(), std::ios::binary | std::ios::app) << "item\tn=2\tkind=key\r\n";
    EXPECT_EQ(3, Command({L"restore", run})) << Out;
    EXPECT_NE(std::wstring::npos, Out.find(L"not restored, the manifest's line ")) << Out;
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(0)));

    // Without its manifest a run cannot be read.
    ASSERT_TRUE(DeleteFileW(manifest.c_str()));
    EXPECT_EQ(2, Command({L"restore", run}));
    EXPECT_NE(std::wstring::npos, Err.find(L"it has no manifest")) << Err;
    EXPECT_EQ(2, Command({L"list"}));
    EXPECT_NE(std::wstring::npos, Out.find(run + L": cannot be read: it has no manifest")) << Out;
}

TEST_F(QuarantineCommand, PurgeDeletesTheRunsOlderThanTheDays)
{
    const std::wstring old = OldRun(10);
    const std::wstring recent = OldRun(2);
    EXPECT_EQ(0, Command({L"purge", L"5"})) << Out << Err;
    EXPECT_NE(std::wstring::npos, Out.find(L"Purged 1 quarantine runs older than 5 days.")) << Out;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(old.c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(recent.c_str()));
    EXPECT_EQ(0, Command({L"list"}));
    EXPECT_NE(std::wstring::npos,
              Out.find(L"    1  Cookie:user@old.test/: removed, a tracking cookie cannot be restored\r\n"))
        << Out;
}

TEST_F(QuarantineCommand, StartUpPurgesTheRunsOlderThanQuarantineDays)
{
    WriteDefinitions(0);
    const std::wstring old = OldRun(40);
    const std::wstring kept = OldRun(20);
    ASSERT_EQ(0, Scan(false)) << Err;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(old.c_str())) << "30 days when Main.ini says nothing";
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(kept.c_str()));

    WriteSetting(L"Spyware Removal", L"QuarantineDays", L"0");
    const std::wstring older = OldRun(400);
    ASSERT_EQ(0, Scan(false));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(older.c_str())) << "0 keeps every run";

    WriteSetting(L"Spyware Removal", L"QuarantineDays", L"10");
    ASSERT_EQ(0, Scan(false));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(kept.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(older.c_str()));
}

TEST(QuarantineSetting, AValueOutsideItsRangeIsTakenSafely)
{
    ScratchFolder folder(L"quarantine-setting");
    const std::wstring ini = folder / L"Main.ini";
    struct TCase {
        const char* Text;
        int Days;
    };
    const TCase cases[] = {
        {"", 30},
        {"[Spyware Removal]\r\nQuarantineDays=7\r\n", 7},
        {"[Spyware Removal]\r\nQuarantineDays=0\r\n", 0},
        {"[Spyware Removal]\r\nQuarantineDays=-5\r\n", 0},
        {"[Spyware Removal]\r\nQuarantineDays=99999\r\n", 3650},
        {"[Spyware Removal]\r\nQuarantineDays=99999999999999999999\r\n", 30},
        {"[Spyware Removal]\r\nQuarantineDays=soon\r\n", 30},
    };
    for (const TCase& c : cases) {
        WriteTextFile(ini, c.Text);
        EXPECT_EQ(c.Days, ReadQuarantineDays(ini)) << c.Text;
    }
}
