// What fleet tools read of the console program: the JSON report of a scan and of a repair, the one
// summary line, /quiet, the usage, exit status 3010, policy values over Main.ini, and the per-user rows
// under a service account.
#include "AppFixture.h"

#include "app/ConsoleReport.h"
#include "app/ReportJson.h"
#include "common/CodePage.h"
#include "common/FormatText.h"
#include "common/Handles.h"
#include "common/IniFile.h"
#include "common/MultiLan.h"
#include "common/Registry.h"
#include "common/SettingsTable.h"
#include "common/SystemFolders.h"
#include "junk/JunkWalk.h"
#include "quarantine/QuarantineSettings.h"
#include "support/CapturedRun.h"
#include "support/PendingRenames.h"
#include "support/ScratchFolder.h"

#include <BrisfoldVersion.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <functional>
#include <regex>
#include <set>

namespace {

using json = nlohmann::json;

std::string Narrow(const std::wstring& text)
{
    return WideToUtf8(text);
}

std::string ReadAll(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The last line of a text made of whole lines.
std::wstring LastLine(const std::wstring& text)
{
    std::wstring trimmed = text;
    while (!trimmed.empty() && (trimmed.back() == L'\n' || trimmed.back() == L'\r'))
        trimmed.pop_back();
    const size_t at = trimmed.find_last_of(L'\n');
    return at == std::wstring::npos ? trimmed : trimmed.substr(at + 1);
}

// The summary's figures counted again from the report's own lists.
struct TCounts {
    int64_t Run = 0, Found = 0, Removed = 0, Scheduled = 0, Left = 0, Kept = 0;
};
TCounts CountLists(const json& report)
{
    TCounts counts;
    for (const json& scanner : report["scanners"]) {
        if (!scanner["ran"].get<bool>())
            continue;
        ++counts.Run;
        counts.Found += static_cast<int64_t>(scanner["findings"].size());
        if (scanner["repair"].is_null())
            continue;
        for (const json& item : scanner["repair"]["items"]) {
            const std::string outcome = item["outcome"];
            if (outcome == "scheduled")
                ++counts.Scheduled;
            else if (outcome == "removed" || outcome == "alreadyGone")
                ++counts.Removed;
            else if (outcome == "kept")
                ++counts.Kept;
            else
                ++counts.Left;
        }
    }
    return counts;
}

const json* Setting(const json& report, const std::string& section, const std::string& key)
{
    for (const json& setting : report["settings"])
        if (setting["section"] == section && setting["key"] == key)
            return &setting;
    return nullptr;
}

class FleetReport : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        Reports = Folder.MakeFolder(L"reports");
        ReportPath = Reports + L"\\report.json";
    }
    int Run(TConsoleOptions options)
    {
        Out.clear();
        Err.clear();
        options.ProgramFolder = ProgramDir;
        const auto prepare = options.PrepareRun;
        options.PrepareRun = [this, prepare](TScanRun& run) {
            UseStandIns(run);
            if (prepare)
                prepare(run);
        };
        return RunConsoleReport(options, [this](const std::wstring& t) { Out += t; },
                                [this](const std::wstring& t) { Err += t; });
    }
    int Scan(bool repair, std::function<void(TScanRun&)> prepare = nullptr)
    {
        TConsoleOptions options;
        options.Scan = true;
        options.Repair = repair;
        options.ReportFile = ReportPath;
        options.PrepareRun = std::move(prepare);
        return Run(std::move(options));
    }
    json Report() const
    {
        const std::string bytes = ReadAll(ReportPath);
        EXPECT_FALSE(bytes.empty()) << "no report at " << Narrow(ReportPath);
        return json::parse(bytes, nullptr, false);
    }
    // The summary line is the console's last line, the report says the same, and its figures are the
    // report's own lists counted.
    void ExpectSummaryAgrees(const json& report) const
    {
        ASSERT_FALSE(report.is_discarded());
        EXPECT_EQ(Narrow(LastLine(Out)), report["summary"]["line"].get<std::string>());
        const TCounts counts = CountLists(report);
        const json& summary = report["summary"];
        EXPECT_EQ(summary["scannersRun"].get<int64_t>(), counts.Run);
        EXPECT_EQ(summary["found"].get<int64_t>(), counts.Found);
        EXPECT_EQ(summary["removed"].get<int64_t>(), counts.Removed);
        EXPECT_EQ(summary["scheduledForRestart"].get<int64_t>(), counts.Scheduled);
        EXPECT_EQ(summary["left"].get<int64_t>(), counts.Left);
        EXPECT_EQ(summary["kept"].get<int64_t>(), counts.Kept);
        const std::string line = summary["line"];
        EXPECT_NE(line.find(std::to_string(counts.Run) + (counts.Run == 1 ? " scanner found " : " scanners found ") +
                            std::to_string(counts.Found) + (counts.Found == 1 ? " item" : " items")),
                  std::string::npos)
            << line;
        if (summary["repaired"].get<bool>()) {
            EXPECT_NE(line.find(", " + std::to_string(counts.Removed) + " removed"), std::string::npos) << line;
            EXPECT_NE(line.find(", " + std::to_string(counts.Left) + " left"), std::string::npos) << line;
        }
        EXPECT_NE(line.find("(status " + std::to_string(report["status"].get<int>()) + ")"), std::string::npos) << line;
        // The report went into place whole: nothing else lies beside it.
        EXPECT_EQ(FilesIn(Reports), std::vector<std::wstring>{L"report.json"});
    }

    std::wstring Reports, ReportPath;
    std::wstring Out, Err;
};

} // namespace

TEST_F(FleetReport, TheReportOfAScanParsedBack)
{
    WriteDefinitions(2);
    ASSERT_EQ(Scan(false), 1) << Narrow(Err);
    const json report = Report();
    ASSERT_FALSE(report.is_discarded()) << ReadAll(ReportPath);
    EXPECT_EQ(report["layout"], 1);
    EXPECT_EQ(report["program"]["version"], BRISFOLD_VERSION_TEXT);
    EXPECT_EQ(report["command"], "scan");
    EXPECT_EQ(report["status"], 1);
    EXPECT_EQ(report["user"], Narrow(UserName()));
    EXPECT_FALSE(report["computer"].get<std::string>().empty());
    EXPECT_TRUE(report["elevated"].is_boolean());
    EXPECT_EQ(report["interactiveUser"], true);
    const std::regex utc("\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}Z");
    EXPECT_TRUE(std::regex_match(report["startTime"].get<std::string>(), utc)) << report["startTime"];
    EXPECT_TRUE(std::regex_match(report["endTime"].get<std::string>(), utc)) << report["endTime"];
    EXPECT_LE(report["startTime"].get<std::string>(), report["endTime"].get<std::string>());
    EXPECT_TRUE(report["errors"].empty()) << report["errors"];
    EXPECT_TRUE(report["restore"].is_null());

    // Every setting of the table, in its order, with where it came from.
    ASSERT_EQ(report["settings"].size(), static_cast<size_t>(kSettingCount));
    for (int i = 0; i < kSettingCount; ++i) {
        const json& setting = report["settings"][static_cast<size_t>(i)];
        EXPECT_EQ(setting["section"], Narrow(kSettingRules[i].Section));
        EXPECT_EQ(setting["key"], Narrow(kSettingRules[i].Key));
    }
    const json* tempFile = Setting(report, "Junk File Removal", "TempFile");
    ASSERT_TRUE(tempFile);
    EXPECT_EQ((*tempFile)["value"], false);
    EXPECT_EQ((*tempFile)["source"], "Main.ini");
    EXPECT_TRUE((*tempFile)["policyScope"].is_null());
    const json* removeDay = Setting(report, "Junk File Removal", "RemoveDay");
    ASSERT_TRUE(removeDay);
    EXPECT_EQ((*removeDay)["value"], 2);
    EXPECT_EQ((*removeDay)["source"], "default");

    ASSERT_EQ(report["scanners"].size(), 4u);
    const json& spyware = report["scanners"][0];
    EXPECT_EQ(spyware["name"], "Spyware Removal");
    EXPECT_EQ(spyware["ran"], true);
    EXPECT_EQ(spyware["resultLine"], Narrow(FormatText(Lng(L"Message", 2), {int64_t{2}})));
    EXPECT_TRUE(spyware["repair"].is_null());
    ASSERT_EQ(spyware["findings"].size(), 2u) << spyware["findings"];
    std::set<std::string> keys;
    for (const json& finding : spyware["findings"]) {
        EXPECT_EQ(finding["category"], "Adware");
        EXPECT_EQ(finding["text"], "Test Spy shows adverts");
        EXPECT_EQ(finding["ticked"], true);
        EXPECT_TRUE(finding["size"].is_null());
        keys.insert(finding["location"]);
    }
    EXPECT_EQ(keys, (std::set<std::string>{"HKEY_CURRENT_USER\\" + Narrow(PresentKey(0)),
                                           "HKEY_CURRENT_USER\\" + Narrow(PresentKey(1))}));
    // Only a scan: nothing was removed.
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(0)));
    ExpectSummaryAgrees(report);
    EXPECT_EQ(Narrow(LastLine(Out)), "Brisfold: 4 scanners found 2 items (status 1)");
}

TEST_F(FleetReport, TheReportOfARepairParsedBack)
{
    WriteDefinitions(2);
    TRegKey progId;
    ASSERT_EQ(ERROR_SUCCESS, progId.Create(HKEY_CLASSES_ROOT, L"CLSID\\{F1EE7}\\ProgID", KEY_ALL_ACCESS));
    ASSERT_EQ(ERROR_SUCCESS, progId.WriteString(L"", L""));
    progId.Close();
    const std::wstring visit = Folder.MakeFile(L"History\\History.IE5\\visit.dat", 10);
    ASSERT_EQ(Scan(true), 1) << Narrow(Err);
    const json report = Report();
    ASSERT_FALSE(report.is_discarded());
    EXPECT_EQ(report["command"], "repair");
    EXPECT_EQ(report["status"], 1);

    const json& spyware = report["scanners"][0]["repair"];
    ASSERT_FALSE(spyware.is_null());
    EXPECT_EQ(spyware["counts"]["removed"], 2);
    EXPECT_EQ(spyware["counts"]["failed"], 0);
    ASSERT_EQ(spyware["items"].size(), 2u);
    for (const json& item : spyware["items"]) {
        EXPECT_EQ(item["outcome"], "removed");
        EXPECT_EQ(item["reason"], "deleted");
    }
    EXPECT_TRUE(spyware["undoFile"].is_null());
    // The removed spyware waits in a quarantine run, which the report names.
    ASSERT_TRUE(spyware["quarantineRun"].is_string()) << spyware;
    EXPECT_TRUE(spyware["quarantineFolder"].is_string()) << spyware;
    EXPECT_TRUE(spyware["quarantineError"].is_null()) << spyware;
    EXPECT_TRUE(report["quarantine"].is_null());

    const json& registry = report["scanners"][1]["repair"];
    ASSERT_FALSE(registry.is_null());
    ASSERT_TRUE(registry["undoFile"].is_string()) << registry;
    const std::wstring undo = Utf8ToWide(registry["undoFile"].get<std::string>());
    EXPECT_NE(GetFileAttributesW(undo.c_str()), INVALID_FILE_ATTRIBUTES) << Narrow(undo);
    EXPECT_EQ(registry["items"].size(), 1u);

    const json& privacy = report["scanners"][2];
    bool listed = false;
    for (const json& finding : privacy["findings"])
        if (finding["location"] == Narrow(visit)) {
            listed = true;
            EXPECT_EQ(finding["size"], 10);
            EXPECT_EQ(finding["category"], "Internet Explorer / History");
        }
    EXPECT_TRUE(listed) << privacy["findings"];
    EXPECT_FALSE(PathExists(visit));
    EXPECT_EQ(report["summary"]["left"], 0);
    EXPECT_EQ(report["summary"]["removed"], report["summary"]["found"]);
    ExpectSummaryAgrees(report);
}

// An item that stays (its key holds a registry link) is counted as left, in the line and the report.
// /quarantine list with /report: the run the repair made is in the report, with the lines printed.
TEST_F(FleetReport, TheReportOfAQuarantineListNamesTheRepairsRun)
{
    WriteDefinitions(1);
    ASSERT_EQ(Scan(true), 1) << Narrow(Err);
    const std::string runName = Report()["scanners"][0]["repair"]["quarantineRun"].get<std::string>();
    ASSERT_FALSE(runName.empty());
    ASSERT_TRUE(DeleteFileW(ReportPath.c_str()));

    TConsoleOptions options = ParseCommandLine({L"/quarantine", L"list", L"/report", ReportPath});
    ASSERT_TRUE(options.Error.empty()) << Narrow(options.Error);
    options.QuarantinePlaces = ScratchQuarantine();
    ASSERT_EQ(Run(options), 0) << Narrow(Err);
    const json report = Report();
    ASSERT_FALSE(report.is_discarded());
    EXPECT_EQ(report["command"], "quarantine");
    EXPECT_EQ(report["status"], 0);
    EXPECT_TRUE(report["scanners"].empty());
    EXPECT_TRUE(report["restore"].is_null());
    ASSERT_TRUE(report["quarantine"].is_object()) << report;
    EXPECT_EQ(report["quarantine"]["arguments"], json::array({"list"}));
    bool named = false;
    for (const json& line : report["quarantine"]["lines"])
        named |= line.get<std::string>().find(runName) != std::string::npos;
    EXPECT_TRUE(named) << report["quarantine"];
    EXPECT_EQ(Narrow(LastLine(Out)), "Brisfold: quarantine list (status 0)");
    EXPECT_EQ(report["summary"]["line"], "Brisfold: quarantine list (status 0)");
    EXPECT_EQ(FilesIn(Reports), std::vector<std::wstring>{L"report.json"});

    // A quarantine command that cannot be carried out is an error in the report as on the console.
    options = ParseCommandLine({L"/quarantine", L"restore", L"/report", ReportPath});
    options.QuarantinePlaces = ScratchQuarantine();
    ASSERT_EQ(Run(options), 2);
    const json failed = Report();
    ASSERT_EQ(failed["errors"].size(), 1u) << failed;
    EXPECT_NE(failed["errors"][0].get<std::string>().find("/quarantine restore needs the name of a run"),
              std::string::npos);
    EXPECT_EQ(Narrow(LastLine(Out)), failed["summary"]["line"].get<std::string>());
}

// An item the user kept by unticking it is its own outcome: neither removed nor left.
TEST(FleetReportJson, AKeptItemIsItsOwnOutcomeWithTheListThatKeptIt)
{
    TRunRecord record;
    record.Command = L"repair";
    TScannerRecord scanner;
    scanner.Name = L"Junk Files Clean";
    scanner.Ran = true;
    scanner.Findings.push_back({L"Temporary files", L"C:\\t\\a.tmp", L"C:\\t\\a.tmp", std::nullopt, 1, true});
    scanner.Findings.push_back({L"Temporary files", L"C:\\t\\b.tmp", L"C:\\t\\b.tmp", std::nullopt, 1, true});
    scanner.Repair.Add(L"C:\\t\\a.tmp", TOutcome::Removed);
    scanner.Repair.Keep(L"C:\\t\\b.tmp", L"Privacy Sweep");
    record.Scanners.push_back(std::move(scanner));
    record.Status = 1;
    const json report = json::parse(ReportJson(record), nullptr, false);
    ASSERT_FALSE(report.is_discarded());
    const json& items = report["scanners"][0]["repair"]["items"];
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1]["outcome"], "kept");
    EXPECT_EQ(items[1]["reason"], "kept: unticked in Privacy Sweep");
    EXPECT_EQ(report["scanners"][0]["repair"]["counts"]["kept"], 1);
    EXPECT_EQ(report["summary"]["removed"], 1);
    EXPECT_EQ(report["summary"]["left"], 0);
    EXPECT_EQ(report["summary"]["kept"], 1);
    EXPECT_EQ(report["summary"]["line"], "Brisfold: 1 scanner found 2 items, 1 removed, 0 left, 1 kept as unticked (status 1)");
}

TEST_F(FleetReport, TheSummaryLineCountsWhatTheReportLists)
{
    WriteDefinitions(3);
    SetRegString(HKEY_CURRENT_USER, L"Software\\Elsewhere", L"v", L"precious");
    Registry.MakeCurrentUserLink(PresentKey(2) + L"\\Link", L"Software\\Elsewhere");
    ASSERT_EQ(Scan(true), 3) << Narrow(Err);
    const json report = Report();
    ExpectSummaryAgrees(report);
    EXPECT_EQ(Narrow(LastLine(Out)), "Brisfold: 4 scanners found 3 items, 2 removed, 1 left (status 3)");
    const json& items = report["scanners"][0]["repair"]["items"];
    int refused = 0;
    for (const json& item : items)
        if (item["outcome"] == "refused") {
            ++refused;
            EXPECT_EQ(item["item"], "HKEY_CURRENT_USER\\" + Narrow(PresentKey(2)));
            EXPECT_FALSE(item["reason"].get<std::string>().empty());
        }
    EXPECT_EQ(refused, 1);
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Elsewhere", L"v"));
}

TEST_F(FleetReport, AReportInAMissingFolderEndsTheCommandBeforeAnythingIsRepaired)
{
    WriteDefinitions(1);
    struct TCase {
        std::wstring Path;
        const char* Says;
    };
    const TCase cases[] = {
        {Folder.Path() + L"\\no such folder\\report.json", "does not exist"},
        {Reports, "is a folder"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(Narrow(c.Path));
        ReportPath = c.Path;
        EXPECT_EQ(Scan(true), 2);
        EXPECT_NE(Narrow(Err).find(c.Says), std::string::npos) << Narrow(Err);
        EXPECT_EQ(Out.find(L"scan report"), std::wstring::npos) << "nothing was scanned";
        EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(0))) << "nothing was repaired";
        const std::wstring last = LastLine(Out);
        EXPECT_EQ(last.rfind(L"Brisfold: no scan was run: the report cannot be written: ", 0), 0u) << Narrow(last);
        EXPECT_EQ(last.substr(last.size() - 10), L"(status 2)");
    }
    EXPECT_FALSE(PathExists(Folder.Path() + L"\\no such folder"));
    EXPECT_TRUE(FilesIn(Reports).empty());
}

// A switch, a number and a text set by policies (the machine's and the user's) count over Main.ini:
// the scanners act on them and the report says where each came from.
TEST_F(FleetReport, APolicyValueOfEachTypeOverridesMainIni)
{
    WriteDefinitions(0);
    ASSERT_TRUE(CopyFileW((ProgramDir + L"Language\\English.lng").c_str(), (ProgramDir + L"Language\\German.lng").c_str(),
                          FALSE));
    const std::wstring mui = L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";
    SetRegString(HKEY_CURRENT_USER, mui, Folder.Path() + L"\\gone.exe", L"Gone Program");
    WriteSetting(L"RegistryOpt", L"Mui", L"1");
    WriteSetting(L"Junk File Removal", L"RemoveDay", L"1");
    WriteSetting(L"Main", L"Language", L"English");
    const std::wstring older = Folder.MakeFile(L"temp\\older.tmp", 300, 10);
    const std::wstring newer = Folder.MakeFile(L"temp\\newer.tmp", 200, 4);

    // Without a policy Main.ini rules: the MUI entry is found.
    ASSERT_EQ(Scan(false), 1) << Narrow(Err);
    EXPECT_EQ(Report()["scanners"][1]["findings"].size(), 1u) << Report()["scanners"][1]["findings"];

    SetPolicy(true, L"RegistryOpt", L"Mui", 0);             // switch, machine
    SetPolicy(true, L"Junk File Removal", L"TempFile", 1);  // switch, machine
    SetPolicy(false, L"Junk File Removal", L"RemoveDay", 7); // number, user
    SetPolicy(false, L"Main", L"Language", L"German");      // text, user
    EXPECT_EQ(Scan(false), 1) << Narrow(Err);
    const json report = Report();
    ASSERT_FALSE(report.is_discarded());
    EXPECT_TRUE(report["policyProblems"].empty()) << report["policyProblems"];
    struct TCase {
        const char* Section;
        const char* Key;
        json Value;
        const char* Source;
        json Scope;
    };
    const TCase cases[] = {
        {"RegistryOpt", "Mui", false, "policy", "machine"},
        {"Junk File Removal", "TempFile", true, "policy", "machine"},
        {"Junk File Removal", "RemoveDay", 7, "policy", "user"},
        {"Main", "Language", "German", "policy", "user"},
        {"RegistryOpt", "Fonts", true, "default", nullptr},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Key);
        const json* setting = Setting(report, c.Section, c.Key);
        ASSERT_TRUE(setting);
        EXPECT_EQ((*setting)["value"], c.Value);
        EXPECT_EQ((*setting)["source"], c.Source);
        EXPECT_EQ((*setting)["policyScope"], c.Scope);
    }
    // The scanners acted on them: no MUI entry, and only the file older than the policy's seven days.
    EXPECT_TRUE(report["scanners"][1]["findings"].empty()) << report["scanners"][1]["findings"];
    std::vector<std::string> junk;
    for (const json& finding : report["scanners"][3]["findings"])
        junk.push_back(finding["location"]);
    EXPECT_EQ(junk, std::vector<std::string>{Narrow(older)});
    EXPECT_NE(Out.find(L"older.tmp"), std::wstring::npos);
    EXPECT_EQ(Out.find(L"newer.tmp"), std::wstring::npos);
    // The language texts come from the file the policy names.
    EXPECT_EQ(TMultiLan(TSettings(MainIniPath(), PolicyRoots()), ProgramDir).LanguageName, L"German");
    // Main.ini still holds the user's own values.
    EXPECT_EQ(TIniFile(MainIniPath()).ReadString(L"Junk File Removal", L"TempFile", L""), L"0");
    EXPECT_EQ(TIniFile(MainIniPath()).ReadString(L"Junk File Removal", L"RemoveDay", L""), L"1");
    ExpectSummaryAgrees(report);
}

// The switches of today's Windows and the quarantine's days follow policies too, and the settings table
// gives the switches the defaults the junk walk has always had.
TEST_F(FleetReport, TheNewerSwitchesAndTheQuarantineDaysFollowPolicies)
{
    const TJunkSettings plain = ReadJunkSettings(TSettings(MainIniPath(), PolicyRoots()));
    for (int i = 0; i < kJunkSwitchCount; ++i) {
        const TJunkSwitch& junkSwitch = kJunkSwitches[i];
        SCOPED_TRACE(Narrow(junkSwitch.Key));
        const TSettingRule* rule = FindSettingRule(kJunkSection, junkSwitch.Key);
        ASSERT_NE(rule, nullptr);
        EXPECT_EQ(std::wstring(rule->Default), junkSwitch.Default ? L"1" : L"0");
        EXPECT_EQ(plain.Switches[static_cast<size_t>(i)], junkSwitch.Default);
        // Main.ini agrees with the default; the policy says the opposite, by turns the machine's and the user's.
        WriteSetting(kJunkSection, junkSwitch.Key, junkSwitch.Default ? L"1" : L"0");
        SetPolicy(i % 2 == 0, kJunkSection, junkSwitch.Key, junkSwitch.Default ? 0u : 1u);
    }
    WriteSetting(kQuarantineSection, kQuarantineDaysKey, L"30");
    SetPolicy(false, kQuarantineSection, kQuarantineDaysKey, 7u);

    const TSettings settings(MainIniPath(), PolicyRoots());
    const TJunkSettings junk = ReadJunkSettings(settings);
    for (int i = 0; i < kJunkSwitchCount; ++i)
        EXPECT_EQ(junk.Switches[static_cast<size_t>(i)], !kJunkSwitches[i].Default) << Narrow(kJunkSwitches[i].Key);
    EXPECT_EQ(ReadQuarantineDays(settings), 7);
}

TEST_F(FleetReport, AWrongTypedPolicyValueIsIgnoredWithALine)
{
    WriteDefinitions(0);
    WriteSetting(L"Junk File Removal", L"RemoveDay", L"4");
    SetPolicy(true, L"Junk File Removal", L"RemoveDay", L"30"); // text where a number belongs
    SetPolicy(false, L"RegistryOpt", L"Fonts", 5);              // a switch out of range
    ASSERT_EQ(Scan(false), 0) << Narrow(Err);
    const json report = Report();
    ASSERT_FALSE(report.is_discarded());
    const json* removeDay = Setting(report, "Junk File Removal", "RemoveDay");
    ASSERT_TRUE(removeDay);
    EXPECT_EQ((*removeDay)["value"], 4);
    EXPECT_EQ((*removeDay)["source"], "Main.ini");
    const json* fonts = Setting(report, "RegistryOpt", "Fonts");
    ASSERT_TRUE(fonts);
    EXPECT_EQ((*fonts)["source"], "default");
    ASSERT_EQ(report["policyProblems"].size(), 2u) << report["policyProblems"];
    const std::string first = report["policyProblems"][0];
    EXPECT_EQ(first, "Machine policy value \"Junk File Removal\\RemoveDay\" ignored: it is REG_SZ, not REG_DWORD.");
    EXPECT_EQ(report["policyProblems"][1], "User policy value \"RegistryOpt\\Fonts\" ignored: 5 is not from 0 to 1.");
    // The console says so too.
    EXPECT_NE(Narrow(Out).find(first), std::string::npos) << Narrow(Out);
}

namespace {

// A file held open the way a program that uses it holds it: without delete sharing. The pending
// renames are the system's: saved before the suite's registry is redirected, restored after.
class RestartReport : public FleetReport {
protected:
    static void SetUpTestSuite()
    {
        FleetReport::SetUpTestSuite();
        Renames_ = std::make_unique<PendingRenames>();
    }
    static void TearDownTestSuite()
    {
        Renames_.reset();
        FleetReport::TearDownTestSuite();
    }
    static std::unique_ptr<PendingRenames> Renames_;
};
std::unique_ptr<PendingRenames> RestartReport::Renames_;

} // namespace

TEST_F(RestartReport, OnlyRestartScheduledItemsLeftExits3010)
{
    WriteDefinitions(0);
    const std::wstring visit = Folder.MakeFile(L"History\\History.IE5\\visit.dat", 64);
    {
        THandle held(CreateFileW(visit.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(Scan(true), kStatusRestart) << Narrow(Out) << Narrow(Err);
    }
    EXPECT_TRUE(Renames_->AsksToDelete(visit));
    const json report = Report();
    ASSERT_FALSE(report.is_discarded());
    EXPECT_EQ(report["status"], 3010);
    EXPECT_EQ(report["summary"]["scheduledForRestart"], 1);
    EXPECT_EQ(report["summary"]["left"], 0);
    ExpectSummaryAgrees(report);
    EXPECT_NE(Narrow(LastLine(Out)).find(", 1 at the next restart, 0 left (status 3010)"), std::string::npos)
        << Narrow(LastLine(Out));
    // An item left besides makes it 3: the restart alone would not complete the repair.
    const std::wstring second = Folder.MakeFile(L"History\\History.IE5\\second.dat", 64);
    WriteDefinitions(1);
    SetRegString(HKEY_CURRENT_USER, L"Software\\Elsewhere", L"v", L"precious");
    Registry.MakeCurrentUserLink(PresentKey(0) + L"\\Link", L"Software\\Elsewhere");
    {
        THandle held(CreateFileW(second.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(Scan(true), kStatusLeft) << Narrow(Out) << Narrow(Err);
    }
}

// Under a service or the system account the per-user rows do not run: they would clean that
// account's own profile, which is no person's.
TEST_F(FleetReport, WithoutAnInteractiveUserThePerUserScannersDoNotRun)
{
    WriteDefinitions(1);
    WriteSetting(L"Junk File Removal", L"TempFile", L"1");
    const std::wstring old = Folder.MakeFile(L"temp\\old.tmp", 100, 30);
    SetRegString(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\TypedURLs", L"url1", L"http://a.test/");
    const auto asService = [](TScanRun& run) { run.NoInteractiveUser = [] { return true; }; };
    ASSERT_EQ(Scan(true, asService), 1) << Narrow(Err);
    const std::wstring notRun = Lng(L"Message", 20);
    EXPECT_EQ(notRun, L"not run: no interactive user");
    EXPECT_NE(Out.find(L"Privacy Sweep: " + notRun + L"\r\n"), std::wstring::npos) << Narrow(Out);
    EXPECT_NE(Out.find(L"Junk Files Clean: " + notRun + L"\r\n"), std::wstring::npos) << Narrow(Out);
    EXPECT_EQ(Narrow(LastLine(Out)),
              "Brisfold: 2 scanners found 1 item, 1 removed, 0 left, 2 not run (no interactive user) (status 1)");
    const json report = Report();
    ASSERT_FALSE(report.is_discarded());
    EXPECT_EQ(report["interactiveUser"], false);
    for (size_t row : {2u, 3u}) {
        const json& scanner = report["scanners"][row];
        EXPECT_EQ(scanner["ran"], false);
        EXPECT_EQ(scanner["notRunReason"], "no interactive user");
        EXPECT_TRUE(scanner["findings"].empty());
        EXPECT_TRUE(scanner["repair"].is_null());
    }
    EXPECT_EQ(report["summary"]["scannersNotRun"], 2);
    ExpectSummaryAgrees(report);
    // The machine-wide rows ran and repaired; the user's traces are untouched.
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, PresentKey(0)));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\TypedURLs", L"url1"));
    EXPECT_TRUE(PathExists(old));
}

// Names that UTF-16 allows and UTF-8 cannot carry (a lone surrogate) reach the report as U+FFFD; the
// report is still one valid document.
TEST_F(FleetReport, ALoneSurrogateInAFindingKeepsTheReportValid)
{
    WriteDefinitions(0);
    const std::wstring odd = std::wstring(L"Software\\Odd") + L'\xD800' + L"Name";
    CreateRegKey(HKEY_CURRENT_USER, odd);
    ASSERT_TRUE(RegKeyExists(HKEY_CURRENT_USER, odd));
    ASSERT_EQ(Scan(false), 1) << Narrow(Err);
    const std::string bytes = ReadAll(ReportPath);
    const json report = json::parse(bytes, nullptr, false);
    ASSERT_FALSE(report.is_discarded()) << bytes;
    EXPECT_NE(bytes.find("Odd\xEF\xBF\xBDName"), std::string::npos);
    ExpectSummaryAgrees(report);
}

TEST(FleetCommandLine, OptionsAndWhatIsNotUnderstood)
{
    struct TCase {
        std::vector<std::wstring> Arguments;
        const char* Error; // empty: understood
    };
    const TCase cases[] = {
        {{L"/scan", L"/repair", L"/report", L"C:\\r.json", L"/quiet"}, ""},
        {{L"-SCAN", L"-Report", L"r.json"}, ""},
        {{L"/restore", L"u.reg", L"/report", L"r.json"}, ""},
        {{L"/?"}, ""},
        {{L"/quarantine", L"list"}, ""},
        {{L"/quarantine", L"restore", L"run-1", L"3", L"/report", L"r.json", L"/quiet"}, ""},
        {{L"/frobnicate"}, "unknown option /frobnicate"},
        {{L"/scan", L"list"}, "unknown option list"},
        {{L"/scan", L"/report"}, "/report needs a file name after it"},
        {{L"/scan", L"/report", L"/repair"}, "/report needs a file name after it"},
        {{L"/repair"}, "/repair goes with /scan"},
        {{L"/report", L"r.json"}, "/report goes with /scan, /restore or /quarantine"},
        {{L"/quiet"}, "/quiet goes with /scan, /restore or /quarantine"},
        {{L"/scan", L"/restore", L"u.reg"}, "only one of /scan, /restore and /quarantine can be given"},
        {{L"/quarantine", L"list", L"/scan"}, "only one of /scan, /restore and /quarantine can be given"},
    };
    for (const TCase& c : cases) {
        const TConsoleOptions options = ParseCommandLine(c.Arguments);
        EXPECT_EQ(Narrow(options.Error), c.Error) << Narrow(c.Arguments.front());
        EXPECT_TRUE(options.Console());
    }
    const TConsoleOptions full = ParseCommandLine(cases[0].Arguments);
    EXPECT_TRUE(full.Scan && full.Repair && full.Quiet);
    EXPECT_EQ(full.ReportFile, L"C:\\r.json");
    // The quarantine's words run up to the next option, which is read as an option of its own.
    const TConsoleOptions quarantine = ParseCommandLine(cases[5].Arguments);
    EXPECT_TRUE(quarantine.Quarantine && quarantine.Quiet);
    EXPECT_EQ(quarantine.QuarantineArguments, (std::vector<std::wstring>{L"restore", L"run-1", L"3"}));
    EXPECT_EQ(quarantine.ReportFile, L"r.json");
    EXPECT_EQ(ParseCommandLine(cases[4].Arguments).QuarantineArguments, std::vector<std::wstring>{L"list"});
    EXPECT_FALSE(ParseCommandLine({}).Console()) << "no options: the window";
}

TEST(FleetCommandLine, TheUsageNamesEveryOptionAndStatus)
{
    std::wstring out, err;
    TConsoleOptions help;
    help.Help = true;
    EXPECT_EQ(RunConsoleReport(help, [&](const std::wstring& t) { out += t; }, [&](const std::wstring& t) { err += t; }),
              0);
    EXPECT_TRUE(err.empty());
    for (const wchar_t* part : {L"Usage: test_app.exe", L"/scan", L"/repair", L"/restore FILE", L"/quarantine list",
                                L"/quarantine restore RUN [ITEM]", L"/quarantine purge DAYS", L"/report FILE",
                                L"/quiet", L"/?", L"  0 ", L"  1 ", L"  2 ", L"  3 ", L"  3010 ", L"Policies\\Kelvor\\Dornique"})
        EXPECT_NE(out.find(part), std::wstring::npos) << Narrow(part);

    out.clear();
    const int status = RunConsoleReport(ParseCommandLine({L"/frobnicate", L"list"}),
                                        [&](const std::wstring& t) { out += t; }, [&](const std::wstring& t) { err += t; });
    EXPECT_EQ(status, 2);
    EXPECT_EQ(err.find(L"Brisfold: unknown option /frobnicate.\r\n\r\nUsage: "), 0u) << Narrow(err);
    EXPECT_EQ(Narrow(out), "Brisfold: unknown option /frobnicate (status 2)\r\n");
}

TEST_F(FleetReport, QuietPrintsOnlyTheSummaryLine)
{
    WriteDefinitions(1);
    TConsoleOptions options;
    options.Scan = true;
    options.Quiet = true;
    EXPECT_EQ(Run(options), 1);
    EXPECT_EQ(Narrow(Out), "Brisfold: 4 scanners found 1 item (status 1)\r\n");
    // Errors still reach the error stream, and the line says the status.
    RemoveLanguageFiles();
    EXPECT_EQ(Run(options), 2);
    EXPECT_FALSE(Err.empty());
    EXPECT_EQ(Out.find(L"\r\n"), Out.size() - 2) << "one line: " << Narrow(Out);
    EXPECT_EQ(Out.rfind(L"Brisfold: ", 0), 0u);
    EXPECT_NE(Out.find(L"(status 2)"), std::wstring::npos) << Narrow(Out);
}

namespace {

// Runs one of the built programs beside the tests with the arguments and returns its exit status as
// GetExitCodeProcess gives it; 259 (still active) when it did not end within the time.
DWORD RunProgram(const std::wstring& program, const std::wstring& arguments, std::string& output)
{
    wchar_t own[MAX_PATH];
    const std::wstring ownPath(own, GetModuleFileNameW(nullptr, own, MAX_PATH));
    const std::wstring path = ownPath.substr(0, ownPath.find_last_of(L'\\') + 1) + program;
    ScratchFolder folder{L"fleet-program"};
    const TCapturedRun run = RunCaptured(path, arguments, folder.Path() + L"\\output.txt", 60 * 1000);
    EXPECT_TRUE(run.Started) << "error " << run.Error;
    output = run.Output;
    return run.Ended ? run.Status : STILL_ACTIVE;
}

} // namespace

// A fleet script that passes an option the program does not know gets the usage and status 2 at once,
// from the console program and the windowed one alike; neither waits with a window nobody sees.
TEST(FleetProgram, AnUnknownOptionEndsAtOnceWithTheUsage)
{
    for (const wchar_t* program : {L"BrisfoldCmd.exe", L"Brisfold.exe"}) {
        SCOPED_TRACE(Narrow(program));
        std::string output;
        EXPECT_EQ(RunProgram(program, L"/frobnicate list", output), 2u) << output;
        if (std::wstring(program) == L"BrisfoldCmd.exe") {
            EXPECT_NE(output.find("unknown option /frobnicate"), std::string::npos) << output;
            EXPECT_NE(output.find("3010"), std::string::npos) << output;
        }
    }
    std::string output;
    EXPECT_EQ(RunProgram(L"BrisfoldCmd.exe", L"/?", output), 0u) << output;
    EXPECT_NE(output.find("Usage: BrisfoldCmd.exe"), std::string::npos) << output;
}
