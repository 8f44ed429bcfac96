// The console report: exit codes, the report's content, start-up errors on the error stream.
#include "AppFixture.h"

#include "app/ConsoleReport.h"

namespace {

class ConsoleReport : public AppFixture {
protected:
    int Run(bool repair)
    {
        Out.clear();
        Err.clear();
        TConsoleOptions options{true, repair, ProgramDir};
        return RunConsoleReport(options, [this](const std::wstring& t) { Out += t; },
                                [this](const std::wstring& t) { Err += t; });
    }
    std::wstring Out, Err;
};

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
}

TEST_F(ConsoleReport, StartupErrorsExitTwo)
{
    EXPECT_EQ(Run(false), 2);
    EXPECT_NE(Err.find(L"Database file(Def.dbd) missing, please reinstall program."), std::wstring::npos);
    EXPECT_TRUE(Out.empty());
    WriteCorruptDefinitions();
    EXPECT_EQ(Run(false), 2);
    EXPECT_NE(Err.find(L"corrupted"), std::wstring::npos) << Err.c_str();
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

} // namespace
