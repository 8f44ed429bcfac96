// The scan: definitions pass, tracking-cookie pass, progress and the ignore list, against a
// scratch registry, scratch folders and the real URL cache.
#include "SpyScanFixture.h"

#include "common/CodePage.h"
#include "common/Exception.h"
#include "common/Kelvor_Routine.h"
#include "common/Registry.h"
#include "support/ShellFolders.h"
#include "support/UnixLinks.h"

#include <commctrl.h>

namespace {

std::string Pid() { return std::to_string(GetCurrentProcessId()); }

} // namespace

TEST_F(SpyScanTest, DefinitionWithoutRegistryHitsListsNothingEvenWhenItsFilesExist)
{
    const std::wstring file = Files->MakeFile(L"Favorites\\adpopper.exe", 10);
    const std::wstring folder = Files->MakeFolder(L"Favorites\\AdPopper");
    auto scanner = MakeScanner({DefinitionText("AdPopper", "Adware", "3",
                                               {"HKEY_CURRENT_USER\\Software\\AdPopper",
                                                "HKEY_LOCAL_MACHINE\\Software\\AdPopper|Run"},
                                               {"%favorites%\\adpopper.exe"}, {"%favorites%\\AdPopper"})});
    EXPECT_EQ(0, RunScan(*scanner));
    EXPECT_EQ(0, List.Count()) << testing::PrintToString(Rows());
}

TEST_F(SpyScanTest, RowsOfARegistryFileAndFolderFinding)
{
    const std::string key = PresentKey("AdPopper");
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\AdPopper", L"Run", L"adpopper.exe");
    Files->MakeFile(L"Favorites\\adpopper.exe", 10);
    Files->MakeFolder(L"Favorites\\AdPopper");
    auto scanner = MakeScanner({DefinitionText("AdPopper", "Adware", "3",
                                               {key, "HKEY_LOCAL_MACHINE\\Software\\AdPopper|Run",
                                                "HKEY_LOCAL_MACHINE\\Software\\AdPopper|Missing"},
                                               {"%favorites%\\adpopper.exe", "%favorites%\\absent.exe"},
                                               {"%favorites%\\AdPopper", "%favorites%\\Absent"})});
    EXPECT_EQ(4, RunScan(*scanner));
    const std::string fav = Narrow(Favorites);
    const std::vector<std::string> expected = {
        "Text Adware|AdPopper shows adverts|Risk three|" + key + "|0|checked",
        "Text Adware|AdPopper shows adverts|Risk three|HKEY_LOCAL_MACHINE\\Software\\AdPopper|Run|0|checked",
        "Text Adware|AdPopper shows adverts|Risk three|" + fav + "\\adpopper.exe|1|checked",
        "Text Adware|AdPopper shows adverts|Risk three|" + fav + "\\AdPopper|2|checked",
    };
    EXPECT_EQ(expected, Rows());
}

TEST_F(SpyScanTest, RegistryEntryFormsAndRoots)
{
    CreateRegKey(HKEY_CURRENT_USER, L"Software\\Forms\\Whole");
    CreateRegKey(HKEY_CLASSES_ROOT, L"Forms.Toolbar\\CLSID");
    CreateRegKey(HKEY_USERS, L".DEFAULT\\Software\\Forms");
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Forms", L"Empty", L"");
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Forms", L"", L"default");
    {
        TRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, L"Software\\Forms", KEY_SET_VALUE));
        const DWORD one = 1;
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.Handle(), L"Flag", 0, REG_DWORD,
                                                reinterpret_cast<const BYTE*>(&one), sizeof one));
    }
    struct Case {
        std::string Entry;
        bool Found;
    };
    const Case cases[] = {
        {"HKEY_CURRENT_USER\\Software\\Forms\\Whole", true},
        {"HKEY_CURRENT_USER\\Software\\Forms\\Absent", false},
        {"HKEY_CLASSES_ROOT\\Forms.Toolbar\\CLSID", true},
        {"HKEY_USERS\\.DEFAULT\\Software\\Forms", true},
        {"HKEY_LOCAL_MACHINE\\Software\\Forms|Empty", true},  // an empty string value is present
        {"HKEY_LOCAL_MACHINE\\Software\\Forms|Flag", true},   // of any type
        {"HKEY_LOCAL_MACHINE\\Software\\Forms|", true},       // the key's default value
        {"HKEY_LOCAL_MACHINE\\Software\\Forms|Nothing", false},
        {"HKEY_LOCAL_MACHINE\\Software\\Forms|ignored|Flag", true}, // key before the first "|", value after the last
        {"HKEY_LOCAL_MACHINE\\Software\\Forms|Flag|ignored", false},
        {"HKEY_LOCAL_MACHINE\\Software\\Absent|Flag", false},
        {"hkey_local_machine\\Software\\Forms", false},       // root names are written in capitals
        {"Software\\Forms", false},                           // no root name: never found
        {"HKEY_CURRENT_USER", false},                         // a root alone is not a key of its own
        {"HKEY_CURRENT_USER\\", false},
    };
    std::vector<std::string> reg;
    for (const Case& c : cases)
        reg.push_back(c.Entry);
    auto scanner = MakeScanner({DefinitionText("Forms", "Spyware", "2", reg)});
    RunScan(*scanner);
    for (const Case& c : cases)
        EXPECT_EQ(c.Found ? 1 : 0, CountEntry(AnsiToWide(c.Entry))) << c.Entry;
}

TEST_F(SpyScanTest, KeyPathNamingTwoRootsIsFoundUnderTheUsersRoot)
{
    // "HKEY_USERS\DoubleRoot\HKEY_LOCAL_MACHINE": under the users root the subkey starts after
    // "HKEY_USERS"; under the local-machine root it starts at character 19 ("oot\HKEY_LOCAL_MACHINE").
    const std::string entry = "HKEY_USERS\\DoubleRoot\\HKEY_LOCAL_MACHINE";
    CreateRegKey(HKEY_LOCAL_MACHINE, L"oot\\HKEY_LOCAL_MACHINE");
    auto scanner = MakeScanner({DefinitionText("Double", "Trojan", "5", {entry})});
    EXPECT_EQ(0, RunScan(*scanner)) << "the users root decides";

    CreateRegKey(HKEY_USERS, L"DoubleRoot\\HKEY_LOCAL_MACHINE");
    EXPECT_EQ(1, RunScan(*scanner));
    ASSERT_EQ(1, List.Count());
    EXPECT_EQ(AnsiToWide(entry), Entry(0));
    EXPECT_EQ(L"Risk five", List.SubItem(0, 2));

    // The removal deletes the key where it was found, never at the other root the entry names.
    EXPECT_EQ(1, RunRepair(*scanner));
    EXPECT_FALSE(RegKeyExists(HKEY_USERS, L"DoubleRoot\\HKEY_LOCAL_MACHINE"));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, L"oot\\HKEY_LOCAL_MACHINE"));
    EXPECT_TRUE(RegKeyExists(HKEY_USERS, L"DoubleRoot"));
}

TEST_F(SpyScanTest, AMacroThatFindsNoFolderNamesNoPath)
{
    // With no common desktop and no profile folder on record, "%common_desktopdirectory%\\WinFixer.lnk"
    // would become "\\WinFixer.lnk": the root of whatever drive is current. The current drive here is a
    // scratch folder of the test's own.
    ScratchFolder current(L"current-drive");
    wchar_t letter = 0;
    for (const wchar_t candidate : std::wstring(L"PQRSTUVWXY"))
        if (MapUnixDrive(candidate, current.Path())) {
            letter = candidate;
            break;
        }
    ASSERT_NE(letter, 0) << "no drive letter could be mapped";
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryW((std::wstring(1, letter) + L":\\").c_str()));
    const std::wstring planted = current.MakeFile(L"WinFixer.lnk", 10);
    ASSERT_TRUE(FileExists(L"\\WinFixer.lnk"));

    const std::string key = PresentKey("Fixer");
    auto scanner = MakeScanner({DefinitionText("Fixer", "Adware", "2", {key},
                                               {"%common_desktopdirectory%\\WinFixer.lnk", "%profile%\\WinFixer.lnk"})});
    EXPECT_EQ(1, RunScan(*scanner)) << "the key alone";
    EXPECT_EQ(0, CountEntry(L"\\WinFixer.lnk"));
    RunRepair(*scanner);
    EXPECT_TRUE(PathExists(planted));

    SetCurrentDirectoryW(saved);
    EXPECT_TRUE(UnmapUnixDrive(letter));
}

TEST_F(SpyScanTest, CompanyNameDecidesWhetherAFileIsListed)
{
    struct Case {
        const wchar_t* Library;
        bool Listed;
    };
    const Case cases[] = {
        {L"spytest_plain.dll", true},  // no version information: empty company name
        {L"spytest_ms.dll", false},    // "Microsoft Corporation"
        {L"spytest_other.dll", true},  // another company
    };
    const std::string key = PresentKey("Toolbar");
    auto scanner = MakeScanner({DefinitionText("Toolbar", "Hijacker", "4", {key}, {"%favorites%\\toolbar.dll"})});
    const std::wstring target = Favorites + L"\\toolbar.dll";
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.Library));
        CopyTestLibrary(c.Library, target);
        EXPECT_EQ(c.Listed ? 2 : 1, RunScan(*scanner));
        EXPECT_EQ(c.Listed ? 1 : 0, CountEntry(target));
        EXPECT_EQ(1, CountEntry(AnsiToWide(key))) << "the registry row is listed either way";
    }
    EXPECT_EQ(L"Microsoft Corporation", FileVersionText(ExeFolder() + L"spytest_ms.dll", 1)) << "test library";
}

TEST_F(SpyScanTest, FileAndFolderNamedByTwoDefinitionsAreListedOnceButARegistryKeyTwice)
{
    const std::string key = PresentKey("Shared");
    Files->MakeFile(L"Favorites\\shared.exe", 5);
    Files->MakeFolder(L"Favorites\\Shared");
    auto scanner = MakeScanner({
        DefinitionText("First", "Adware", "2", {key}, {"%favorites%\\shared.exe"}, {"%favorites%\\Shared"}),
        DefinitionText("Second", "Trojan", "5", {key}, {"%favorites%\\shared.exe"}, {"%favorites%\\Shared"}),
    });
    EXPECT_EQ(4, RunScan(*scanner)) << testing::PrintToString(Rows());
    EXPECT_EQ(2, CountEntry(AnsiToWide(key)));
    const std::wstring file = Favorites + L"\\shared.exe";
    const std::wstring folder = Favorites + L"\\Shared";
    ASSERT_EQ(1, CountEntry(file));
    ASSERT_EQ(1, CountEntry(folder));
    for (int i = 0; i < List.Count(); ++i)
        if (Entry(i) == file || Entry(i) == folder)
            EXPECT_EQ(L"Text Adware", List.Caption(i)) << "listed under the first definition";
}

TEST_F(SpyScanTest, FolderEntryAlreadyListedAsAFolderOfTheSameDefinitionIsNotRepeated)
{
    const std::string key = PresentKey("Repeat");
    Files->MakeFolder(L"Favorites\\Repeat");
    auto scanner = MakeScanner(
        {DefinitionText("Repeat", "Adware", "1", {key}, {}, {"%favorites%\\Repeat", "%favorites%\\Repeat"})});
    EXPECT_EQ(2, RunScan(*scanner));
    EXPECT_EQ(1, CountEntry(Favorites + L"\\Repeat"));
}

TEST_F(SpyScanTest, PathsOutsideTheCodePageAreFoundWide)
{
    // The folders the macros expand to stay wide, so a name the 8-bit code page cannot hold is found.
    const std::wstring odd = Files->MakeFolder(L"\x0416\x03A9\x4E2D");
    SetUserShellFolder(L"Favorites", odd);
    const std::wstring file = Files->MakeFile(L"\x0416\x03A9\x4E2D\\bar.exe", 3);
    const std::string key = PresentKey("Wide");
    auto scanner = MakeScanner({DefinitionText("Wide", "Adware", "1", {key}, {"%favorites%\\bar.exe"})});
    EXPECT_EQ(2, RunScan(*scanner));
    ASSERT_EQ(1, CountEntry(file)) << testing::PrintToString(Rows());
    EXPECT_EQ(2, RunRepair(*scanner));
    EXPECT_FALSE(PathExists(file));
}

TEST_F(SpyScanTest, CategoryAndRiskTexts)
{
    struct Case {
        std::string Category, Risk;
        std::wstring Caption, RiskText;
    };
    const Case cases[] = {
        {"Adware", "1", L"Text Adware", L"Risk one"},
        {"Hijacker", "2", L"Text Hijacker", L"Risk two"},
        {"Homepage Hijacker", "3", L"Text Homepage", L"Risk three"},
        {"Key Logger", "4", L"Text Key Logger", L"Risk four"},
        {"Spyware", "5", L"Text Spyware", L"Risk five"},
        {"Trojan", " 5", L"Text Trojan", L"Risk five"},
        {"Backdoor", "+2", L"Text Backdoor", L"Risk two"},
        // No text of their own: the category word itself, an empty risk level.
        {"adware", "0", L"adware", L""},
        {"Dialer", "6", L"Dialer", L""},
        {"Trojan", "-1", L"Text Trojan", L""},
    };
    std::vector<std::string> definitions;
    for (size_t i = 0; i < std::size(cases); ++i)
        definitions.push_back(DefinitionText("Def" + std::to_string(i), cases[i].Category, cases[i].Risk,
                                             {PresentKey("Def" + std::to_string(i))}));
    auto scanner = MakeScanner(definitions);
    ASSERT_EQ(static_cast<int>(std::size(cases)), RunScan(*scanner));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].Category + " / " + cases[i].Risk);
        EXPECT_EQ(cases[i].Caption, List.Caption(static_cast<int>(i)));
        EXPECT_EQ(cases[i].RiskText, List.SubItem(static_cast<int>(i), 2));
        EXPECT_EQ(AnsiToWide("Def" + std::to_string(i) + " shows adverts"), List.SubItem(static_cast<int>(i), 1));
    }
}

TEST_F(SpyScanTest, MainValuesMayHoldEqualsSignsAndKeysAreTakenInFileOrder)
{
    const std::string key = PresentKey("Order");
    const std::string text = "[Info]\r\nVersion=1\r\nName=Order\r\n\r\n[Main]\r\nKind=Spyware\r\n"
                             "Text=Sends a=b pairs home\r\nLevel=4\r\n\r\n[Reg]\r\n" + key + "=\r\n";
    auto scanner = MakeScanner({text});
    ASSERT_EQ(1, RunScan(*scanner));
    EXPECT_EQ(L"Text Spyware", List.Caption(0));
    EXPECT_EQ(L"Sends a=b pairs home", List.SubItem(0, 1));
    EXPECT_EQ(L"Risk four", List.SubItem(0, 2));
}

TEST_F(SpyScanTest, BadRiskOrShortMainSectionRaisesWhenAFindingIsListedAndKeepsEarlierRows)
{
    const std::string good = PresentKey("Good");
    const std::string bad = PresentKey("Bad");
    const std::string shortMain = "[Info]\r\nVersion=1\r\nName=Short\r\n\r\n[Main]\r\nCategory=Adware\r\n"
                                  "Description=two entries only\r\n\r\n[Reg]\r\n" + bad + "=\r\n";
    struct Case {
        const char* Name;
        std::string Definition;
    };
    const Case cases[] = {
        {"risk not a number", DefinitionText("Bad", "Adware", "high", {bad})},
        {"risk with trailing blank", DefinitionText("Bad", "Adware", "3 ", {bad})},
        {"two Main entries", shortMain},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto scanner = MakeScanner({DefinitionText("Good", "Adware", "3", {good}), c.Definition});
        EXPECT_THROW(RunScan(*scanner), Exception);
        EXPECT_EQ(1, List.Count()) << "the rows listed before stay";
    }
    // The same definitions without any finding raise nothing.
    auto quiet = MakeScanner({DefinitionText("Bad", "Adware", "high", {"HKEY_CURRENT_USER\\Software\\Absent"}),
                              shortMain.substr(0, shortMain.find("[Reg]"))});
    EXPECT_EQ(0, RunScan(*quiet));
}

TEST_F(SpyScanTest, DefinitionShorterThanThreeLinesIsScannedWithAnEmptyName)
{
    auto scanner = MakeScanner({"[Reg]\r\nHKEY_CURRENT_USER\\Software\\Absent=\r\n", ""});
    EXPECT_EQ(0, RunScan(*scanner));
}

TEST_F(SpyScanTest, ProgressOfTheDefinitionsPass)
{
    struct Case {
        int Definitions;
        std::vector<int> Positions; // after the reset to 0
    };
    const Case cases[] = {
        {1, {55}},               // one definition: the whole way at once, no division by zero
        {2, {0, 55}},
        {3, {0, 27, 55}},
        {5, {0, 13, 27, 41, 55}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Definitions);
        std::vector<std::string> definitions;
        for (int i = 0; i < c.Definitions; ++i)
            definitions.push_back(DefinitionText("P" + std::to_string(i), "Adware", "1", {}));
        auto scanner = MakeScanner(definitions);
        ProgressRecorder recorder(Progress.Handle());
        RunScan(*scanner);
        ASSERT_GE(recorder.Positions.size(), c.Positions.size() + 2);
        EXPECT_EQ(0, recorder.Positions.front()) << "the scan starts from 0";
        const std::vector<int> pass(recorder.Positions.begin() + 1,
                                    recorder.Positions.begin() + 1 + static_cast<long>(c.Positions.size()));
        EXPECT_EQ(c.Positions, pass);
        EXPECT_EQ(100, recorder.Positions.back()) << "55 for the definitions and 45 for the cookies";
        EXPECT_EQ(100, Progress.Position());
    }
}

namespace {

// Sets the scanner's stop flag when the status label is given a caption naming a definition, as
// the "Stop Scan" click does while the scan processes messages.
struct StopAt {
    TSpyScan* Scanner;
    std::wstring Marker;
};

LRESULT CALLBACK StopOnCaption(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* stop = reinterpret_cast<StopAt*>(data);
    if (message == WM_SETTEXT && lParam && std::wstring(reinterpret_cast<const wchar_t*>(lParam)).find(stop->Marker) !=
                                               std::wstring::npos)
        stop->Scanner->Stopped = 1;
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

TEST_F(SpyScanTest, StopDuringTheDefinitionsPassEndsItAndStillAppliesTheIgnoreList)
{
    const std::string first = PresentKey("First");
    const std::string ignored = PresentKey("Ignored");
    const std::string second = PresentKey("Second");
    auto scanner = MakeScanner({
        DefinitionText("First", "Adware", "1", {first, ignored}),
        DefinitionText("Second", "Adware", "1", {second}),
        DefinitionText("Third", "Adware", "1", {second}),
    });
    WriteIgnoreIni("[Spyware]\r\nText Adware=" + ignored + "\r\n");
    StopAt stop{scanner.get(), L"Second"};
    SetWindowSubclass(Status.Handle(), StopOnCaption, 2, reinterpret_cast<DWORD_PTR>(&stop));
    const int32_t found = RunScan(*scanner);
    RemoveWindowSubclass(Status.Handle(), StopOnCaption, 2);
    EXPECT_EQ(1, found);
    EXPECT_EQ(std::vector<std::string>{"Text Adware|First shows adverts|Risk one|" + first + "|0|checked"}, Rows());
}

TEST_F(SpyScanTest, IgnoreListRemovesEveryMatchingRow)
{
    const std::string key = PresentKey("Twice");
    const std::string kept = PresentKey("Kept");
    auto scanner = MakeScanner({
        DefinitionText("One", "Adware", "1", {key, kept}),
        DefinitionText("Two", "Adware", "1", {key}),
        DefinitionText("Three", "Trojan", "1", {key}),
    });
    EXPECT_EQ(4, RunScan(*scanner));
    // Name before the first "=", value after the last; the Trojan row has another caption.
    WriteIgnoreIni("[Registry]\r\nText Adware=" + kept + "\r\n[Spyware]\r\nText Adware=note=" + key +
                   "\r\ntext adware=" + kept + "\r\nText Adware=" + kept + "x\r\n");
    EXPECT_EQ(2, RunScan(*scanner));
    EXPECT_EQ((std::vector<std::string>{
                  "Text Adware|One shows adverts|Risk one|" + kept + "|0|checked",
                  "Text Trojan|Three shows adverts|Risk one|" + key + "|0|checked",
              }),
              Rows());
}

TEST_F(SpyScanTest, TrackingCookiesMatchEveryRuleAndOnlyLowerCaseTxtFiles)
{
    const std::string host = "adserve" + Pid() + ".trackerhub.test";
    TestCookie cookie("Cookie:tester@" + host + "/");
    TestCookie other("Cookie:tester@plain" + Pid() + ".example.test/");
    TestCookie capital("Cookie:tester@capital" + Pid() + ".trackerhub.test/", "TXT");
    const std::string rules = "TRACKERHUB.TEST=Tracker hub network\r\n"
                              "adserve" + Pid() + "=Ad server of the hub\r\n"
                              "=matches nothing\r\n"
                              "no equals sign at all\r\n"
                              "capital" + Pid() + "=Capital files\r\n";
    ASSERT_EQ(".TXT", capital.LocalFile().substr(capital.LocalFile().size() - 4));
    auto scanner = MakeScanner({}, rules);
    RunScan(*scanner);
    std::vector<std::string> mine;
    for (const std::string& row : Rows())
        if (row.find(Pid()) != std::string::npos)
            mine.push_back(row);
    const std::string url = cookie.Url();
    EXPECT_EQ((std::vector<std::string>{
                  "Tracking Cookie|Tracker hub network|Risk two|" + url + "|3|checked",
                  "Tracking Cookie|Ad server of the hub|Risk two|" + url + "|3|checked",
              }),
              mine);
    EXPECT_TRUE(cookie.Exists()) << "a scan only lists";
}
