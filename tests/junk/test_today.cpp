// The switches of today's Windows end to end: update downloads, delivery optimisation, error reports,
// crash dumps and thumbnails, found by the scan in stand-in Windows, ProgramData and local
// application-data folders and removed by the real removal library from the scan's list.
#include "JunkFixture.h"

#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "junk/JunkWalk.h"
#include "support/UnixLinks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

const wchar_t kDownload[] = L"WindowsFolder\\SoftwareDistribution\\Download";
const wchar_t kDelivery[] = L"WindowsFolder\\ServiceProfiles\\NetworkService\\AppData\\Local\\Microsoft\\Windows\\"
                            L"DeliveryOptimization\\Cache";
const wchar_t kArchive[] = L"ProgramData\\Microsoft\\Windows\\WER\\ReportArchive";
const wchar_t kQueue[] = L"ProgramData\\Microsoft\\Windows\\WER\\ReportQueue";
const wchar_t kUserDumps[] = L"LocalAppData\\CrashDumps";
const wchar_t kMinidump[] = L"WindowsFolder\\Minidump";
const wchar_t kExplorer[] = L"LocalAppData\\Microsoft\\Windows\\Explorer";

std::wstring In(const wchar_t* folder, const wchar_t* name)
{
    return std::wstring(folder) + L"\\" + name;
}

// Every switch of today's Windows off but those given; the old walks off, RemoveDay as given.
std::map<std::wstring, std::wstring> OnlySwitches(const std::set<std::wstring>& on, const wchar_t* removeDay = L"365")
{
    std::map<std::wstring, std::wstring> values = {
        {L"IE Cache", L"0"}, {L"TempFile", L"0"}, {L"Recycle", L"0"}, {L"RemoveDay", removeDay}};
    for (const TJunkSwitch& s : kJunkSwitches) values[s.Key] = on.count(s.Key) ? L"1" : L"0";
    return values;
}

std::set<std::wstring> AllSwitchKeys()
{
    std::set<std::wstring> keys;
    for (const TJunkSwitch& s : kJunkSwitches) keys.insert(s.Key);
    return keys;
}

bool HasLine(const std::vector<std::wstring>& lines, const std::wstring& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

} // namespace

TEST_F(JunkTest, EachSwitchListsItsFilesAndTheRemovalDeletesThem)
{
    struct Case {
        const wchar_t* Key;
        const wchar_t* Name; // its name in the test's texts
        std::vector<std::wstring> Junk;
        std::vector<std::wstring> Kept; // beside the junk, but not of its kind
    };
    const std::vector<Case> cases = {
        {L"WindowsUpdate", L"Update", {In(kDownload, L"a1b2c3\\windows10.0-kb5031356.cab"), In(kDownload, L"x.esd")},
         {L"WindowsFolder\\SoftwareDistribution\\ReportingEvents.log"}},
        {L"DeliveryOptimization", L"Delivery", {In(kDelivery, L"0a\\1b2c3d4e5f")}, {}},
        {L"ErrorReports", L"Reports",
         {In(kArchive, L"AppCrash_app.exe_1\\Report.wer"), In(kQueue, L"NonCritical_x_2\\memory.hdmp")},
         {L"ProgramData\\Microsoft\\Windows\\WER\\Temp\\keep.tmp"}},
        {L"CrashDumps", L"Dumps",
         {In(kUserDumps, L"app.exe.4120.dmp"), In(kUserDumps, L"Old\\tool.exe.88.DMP"), In(kMinidump, L"121026-01.dmp"),
          L"WindowsFolder\\MEMORY.DMP"},
         {In(kUserDumps, L"notes.txt"), In(kMinidump, L"Sub\\deep.dmp"), In(kMinidump, L"readme.txt"),
          L"WindowsFolder\\other.dmp", L"WindowsFolder\\MEMORY.DMP.bak"}},
        {L"Thumbnails", L"Thumbnails",
         {In(kExplorer, L"thumbcache_256.db"), In(kExplorer, L"iconcache_16.db"), In(kExplorer, L"THUMBCACHE_IDX.DB")},
         {In(kExplorer, L"ExplorerStartupLog.etl"), In(kExplorer, L"thumbcache.db"), In(kExplorer, L"Sub\\thumbcache_32.db")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.Key)));
        for (const bool on : {false, true}) {
            SCOPED_TRACE(on ? "on" : "off");
            // Written a moment ago: RemoveDay does not apply to these switches.
            std::set<std::wstring> junk, kept;
            for (const std::wstring& file : c.Junk) junk.insert(Root.MakeFile(file, 2048));
            for (const std::wstring& file : c.Kept) kept.insert(Root.MakeFile(file, 2048));
            WriteSettings(OnlySwitches(on ? std::set<std::wstring>{c.Key} : std::set<std::wstring>{}));

            auto thread = RunScan();
            const std::wstring count = junk.size() == 1 ? L"1 file" : std::to_wstring(junk.size()) + L" files";
            const std::wstring line =
                std::wstring(c.Name) + L": " + count + L", " + FormatSizeZero(2048 * static_cast<int64_t>(junk.size()));
            if (on) {
                EXPECT_EQ(ListedUnder(Root.Path()), junk);
                EXPECT_TRUE(HasLine(Listed(), line)) << testing::PrintToString(Listed());
                EXPECT_EQ(thread->JunkCount, static_cast<int32_t>(junk.size()));
                EXPECT_EQ(thread->TotalBytes, 2048 * static_cast<int64_t>(junk.size()));
                EXPECT_EQ(thread->SizeText, FormatSizeZero(thread->TotalBytes));
            } else {
                EXPECT_EQ(Listed(), std::vector<std::wstring>{});
                EXPECT_EQ(thread->JunkCount, 0);
            }

            RepairAndWait(*thread);
            for (const std::wstring& file : junk) EXPECT_EQ(PathExists(file), !on) << testing::PrintToString(file);
            for (const std::wstring& file : kept) EXPECT_TRUE(PathExists(file)) << testing::PrintToString(file);
            if (on) EXPECT_EQ(thread->LastRepair.Count(TOutcome::Removed), static_cast<int>(junk.size()));
            for (const std::wstring& file : kept) DeleteFileW(file.c_str());
            for (const std::wstring& file : junk) DeleteFileW(file.c_str());
        }
    }
}

TEST_F(JunkTest, DefaultsTurnOnErrorReportsAndCrashDumpsOnly)
{
    WriteSettings({});
    const TJunkSettings settings = ReadJunkSettings(Root / L"AppData\\Kelvor\\Dornique\\Main.ini");
    std::set<std::wstring> on;
    for (int i = 0; i < kJunkSwitchCount; ++i)
        if (settings.Switches[static_cast<size_t>(i)]) on.insert(kJunkSwitches[i].Key);
    EXPECT_EQ(on, (std::set<std::wstring>{L"ErrorReports", L"CrashDumps"}));

    // Only exactly "1" turns a switch on.
    WriteSettings({{L"ErrorReports", L"yes"}, {L"Thumbnails", L"1"}, {L"CrashDumps", L" 1"}});
    const TJunkSettings written = ReadJunkSettings(Root / L"AppData\\Kelvor\\Dornique\\Main.ini");
    EXPECT_FALSE(written.On(TJunkArea::ErrorReports));
    EXPECT_TRUE(written.On(TJunkArea::Thumbnails));
    EXPECT_FALSE(written.On(TJunkArea::WindowsUpdate));
}

TEST_F(JunkTest, RefusedPlacesSurviveEverySwitchAndAnyTemporaryFolder)
{
    WriteSettings([] {
        auto values = OnlySwitches(AllSwitchKeys(), L"0");
        values[L"TempFile"] = L"1";
        return values;
    }());
    const std::wstring winSxS = Root.MakeFolder(L"WindowsFolder\\WinSxS");
    const std::wstring installer = Root.MakeFolder(L"WindowsFolder\\Installer");
    const std::wstring catroot = Root.MakeFolder(L"WindowsFolder\\System32\\catroot2");
    const std::wstring dataStore = Root.MakeFolder(L"WindowsFolder\\SoftwareDistribution\\DataStore");
    const std::wstring prefetch = Root.MakeFolder(L"WindowsFolder\\Prefetch");
    const std::wstring defender = Root.MakeFolder(L"ProgramData\\Microsoft\\Windows Defender");
    const std::wstring windowsOld = Root.MakeFolder(L"Drive\\Windows.old");
    // Old enough for RemoveDay 0, and of every kind the switches take.
    const std::vector<std::wstring> sentinels = {
        Root.MakeFile(L"WindowsFolder\\WinSxS\\amd64_x\\component.dll", 10, 30),
        Root.MakeFile(L"WindowsFolder\\WinSxS\\crash.dmp", 10, 30),
        Root.MakeFile(L"WindowsFolder\\Installer\\1a2b3c.msi", 10, 30),
        Root.MakeFile(L"WindowsFolder\\System32\\catroot2\\edb.log", 10, 30),
        Root.MakeFile(L"WindowsFolder\\SoftwareDistribution\\DataStore\\DataStore.edb", 10, 30),
        Root.MakeFile(L"WindowsFolder\\SoftwareDistribution\\DataStore\\Logs\\edb.chk", 10, 30),
        Root.MakeFile(L"WindowsFolder\\Prefetch\\APP.EXE-1A2B3C4D.pf", 10, 30),
        Root.MakeFile(L"ProgramData\\Microsoft\\Windows Defender\\Definitions\\mpavbase.vdm", 10, 30),
        Root.MakeFile(L"ProgramData\\Microsoft\\Windows Defender\\Support\\MPLog.dmp", 10, 30),
        Root.MakeFile(L"Drive\\Windows.old\\Windows\\MEMORY.DMP", 10, 30),
        Root.MakeFile(L"Drive\\Windows.old\\Users\\thumbcache_256.db", 10, 30),
        // The Windows folder holds MEMORY.DMP, and nothing else of it is taken.
        Root.MakeFile(L"WindowsFolder\\other.dmp", 10, 30),
        Root.MakeFile(L"WindowsFolder\\system.ini", 10, 30),
    };
    struct Case {
        std::wstring Temp;
        std::wstring Line;
    };
    const std::vector<Case> cases = {
        {winSxS, L"Skipped " + winSxS + L": holds " + winSxS + L"."},
        {installer, L"Skipped " + installer + L": holds " + installer + L"."},
        {catroot, L"Skipped " + catroot + L": holds " + catroot + L"."},
        {dataStore + L"\\Logs", L"Skipped " + dataStore + L"\\Logs: inside " + dataStore + L"."},
        {prefetch, L"Skipped " + prefetch + L": holds " + prefetch + L"."},
        {defender + L"\\Definitions", L"Skipped " + defender + L"\\Definitions: inside " + defender + L"."},
        {windowsOld, L"Skipped " + windowsOld + L": holds " + windowsOld + L"."},
        {Root / L"WindowsFolder\\SoftwareDistribution", L"Skipped " + (Root / L"WindowsFolder\\SoftwareDistribution") +
                                                            L": holds " + Windows + L"\\SoftwareDistribution\\DataStore."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Temp));
        SetEnvironmentVariableW(L"TMP", c.Temp.c_str());
        SetEnvironmentVariableW(L"TEMP", c.Temp.c_str());
        // The walked places beside the refused ones still go.
        const std::vector<std::wstring> junk = {
            Root.MakeFile(In(kDownload, L"u.cab"), 10, 30),     Root.MakeFile(In(kDelivery, L"piece"), 10, 30),
            Root.MakeFile(In(kArchive, L"r\\Report.wer"), 10, 30), Root.MakeFile(In(kQueue, L"q\\Report.wer"), 10, 30),
            Root.MakeFile(In(kUserDumps, L"a.dmp"), 10, 30),    Root.MakeFile(In(kMinidump, L"m.dmp"), 10, 30),
            Root.MakeFile(L"WindowsFolder\\MEMORY.DMP", 10, 30), Root.MakeFile(In(kExplorer, L"thumbcache_96.db"), 10, 30),
        };

        auto thread = RunScan();
        const std::vector<std::wstring> listed = Listed();
        ASSERT_FALSE(listed.empty());
        EXPECT_EQ(listed.front(), c.Line);
        EXPECT_EQ(ListedUnder(Root.Path()), std::set<std::wstring>(junk.begin(), junk.end()));

        RepairAndWait(*thread);
        for (const std::wstring& file : junk) EXPECT_FALSE(PathExists(file)) << testing::PrintToString(file);
        for (const std::wstring& file : sentinels) EXPECT_TRUE(PathExists(file)) << testing::PrintToString(file);
    }
}

TEST_F(JunkTest, LinksInsideTheSwitchesFoldersAreNeverFollowed)
{
    if (!RunningUnderWine()) GTEST_SKIP() << "links are made with /bin/ln";
    WriteSettings(OnlySwitches(AllSwitchKeys()));
    const std::wstring secret = Root.MakeFile(L"Outside\\secret.dmp", 10);
    const std::wstring secretFolder = Root.MakeFolder(L"Outside\\Folder");
    const std::wstring inFolder = Root.MakeFile(L"Outside\\Folder\\thumbcache_1.db", 10);
    std::vector<std::wstring> links;
    for (const wchar_t* folder : {kDownload, kDelivery, kArchive, kQueue, kUserDumps, kMinidump, kExplorer}) {
        Root.MakeFolder(folder);
        links.push_back(Root / In(folder, L"thumbcache_9.db"));
        ASSERT_TRUE(MakeUnixSymlink(secret, links.back()));
        ASSERT_TRUE(MakeUnixSymlink(secretFolder, Root / In(folder, L"Linked")));
    }
    ASSERT_TRUE(MakeUnixSymlink(secret, Root / L"WindowsFolder\\MEMORY.DMP"));

    auto thread = RunScan();
    EXPECT_EQ(ListedUnder(Root.Path()), std::set<std::wstring>{});
    EXPECT_EQ(thread->JunkCount, 0);
    RepairAndWait(*thread);
    EXPECT_TRUE(PathExists(secret));
    EXPECT_TRUE(PathExists(inFolder));
}

TEST_F(JunkTest, ASwitchFolderThatIsALinkIsRefused)
{
    if (!RunningUnderWine()) GTEST_SKIP() << "links are made with /bin/ln";
    WriteSettings(OnlySwitches({L"WindowsUpdate", L"Thumbnails"}));
    // The download folder leads into the component store, the thumbnail folder into the user's
    // documents beside it.
    const std::wstring component = Root.MakeFile(L"WindowsFolder\\WinSxS\\x86_y\\thumbcache_1.db", 10);
    const std::wstring documents = Root.MakeFolder(L"Outside\\Documents");
    const std::wstring letter = Root.MakeFile(L"Outside\\Documents\\thumbcache_2.db", 10);
    Root.MakeFolder(L"WindowsFolder\\SoftwareDistribution");
    Root.MakeFolder(L"LocalAppData\\Microsoft\\Windows");
    ASSERT_TRUE(MakeUnixSymlink(Root / L"WindowsFolder\\WinSxS", Root / kDownload));
    ASSERT_TRUE(MakeUnixSymlink(documents, Root / kExplorer));

    auto thread = RunScan();
    const std::vector<std::wstring> listed = Listed();
    ASSERT_EQ(listed.size(), 2u) << testing::PrintToString(listed);
    EXPECT_EQ(listed[0].rfind(L"Skipped " + (Root / kDownload) + L":", 0), 0u) << testing::PrintToString(listed[0]);
    EXPECT_EQ(listed[1].rfind(L"Skipped " + (Root / kExplorer) + L":", 0), 0u) << testing::PrintToString(listed[1]);
    EXPECT_EQ(thread->JunkCount, 0);
    RepairAndWait(*thread);
    EXPECT_TRUE(PathExists(component));
    EXPECT_TRUE(PathExists(letter));
    RemoveUnixLink(Root / kDownload);
    RemoveUnixLink(Root / kExplorer);
}

TEST_F(JunkTest, AFileInUseIsLeftInUse)
{
    WriteSettings(OnlySwitches({L"Thumbnails", L"WindowsUpdate"}));
    const std::wstring held = Root.MakeFile(In(kExplorer, L"thumbcache_32.db"), 100);
    const std::wstring free = Root.MakeFile(In(kExplorer, L"iconcache_32.db"), 100);
    const std::wstring download = Root.MakeFile(In(kDownload, L"update.cab"), 100);
    // As Explorer holds its caches: open without delete sharing.
    const HANDLE open = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);

    auto thread = RunScan();
    EXPECT_EQ(ListedUnder(Root.Path()), (std::set<std::wstring>{held, free, download}));
    RepairAndWait(*thread);
    EXPECT_TRUE(PathExists(held));
    EXPECT_FALSE(PathExists(free));
    EXPECT_FALSE(PathExists(download));
    ASSERT_EQ(thread->LastRepair.Left().size(), 1u);
    EXPECT_EQ(thread->LastRepair.Left()[0].Text, held);
    EXPECT_EQ(thread->LastRepair.Left()[0].Outcome, TOutcome::InUse);
    CloseHandle(open);
}

TEST_F(JunkTest, NotElevatedListsTheAdministratorSwitchesWithoutRepairingThem)
{
    Elevated = false;
    WriteSettings(OnlySwitches(AllSwitchKeys()));
    const std::vector<std::wstring> adminFiles = {
        Root.MakeFile(In(kDownload, L"u.cab"), 1024),      Root.MakeFile(In(kDelivery, L"piece"), 2048),
        Root.MakeFile(In(kArchive, L"r\\Report.wer"), 1024), Root.MakeFile(In(kQueue, L"q\\Report.wer"), 1024),
        Root.MakeFile(In(kMinidump, L"m.dmp"), 1024),      Root.MakeFile(L"WindowsFolder\\MEMORY.DMP", 2048),
    };
    const std::vector<std::wstring> userFiles = {
        Root.MakeFile(In(kUserDumps, L"a.dmp"), 1024),
        Root.MakeFile(In(kExplorer, L"thumbcache_96.db"), 3072),
    };

    auto thread = RunScan();
    const std::vector<std::wstring> listed = Listed();
    // A line per switch: what it listed, or that it needs an administrator, with the size it measured.
    const std::vector<std::wstring> lines(listed.begin(), listed.begin() + std::min<size_t>(6, listed.size()));
    EXPECT_EQ(lines, (std::vector<std::wstring>{
                         L"Update: 1.00 KB needs admin.",
                         L"Delivery: 2.00 KB needs admin.",
                         L"Reports: 2.00 KB needs admin.",
                         L"Dumps: 1 file, 1.00 KB",
                         L"Dumps: 3.00 KB needs admin.",
                         L"Thumbnails: 1 file, 3.00 KB",
                     }));
    EXPECT_EQ(ListedUnder(Root.Path()), std::set<std::wstring>(userFiles.begin(), userFiles.end()));
    // The total is what a repair can remove.
    EXPECT_EQ(thread->TotalBytes, 4096);
    EXPECT_EQ(thread->JunkCount, 2);
    EXPECT_TRUE(thread->Switches[JunkSwitchIndex(TJunkArea::WindowsUpdate)].HeldBack);
    EXPECT_FALSE(thread->Switches[JunkSwitchIndex(TJunkArea::Thumbnails)].HeldBack);

    RepairAndWait(*thread);
    for (const std::wstring& file : adminFiles) EXPECT_TRUE(PathExists(file)) << testing::PrintToString(file);
    for (const std::wstring& file : userFiles) EXPECT_FALSE(PathExists(file)) << testing::PrintToString(file);

    // Elevated, the same machine lists them all.
    Elevated = true;
    for (const std::wstring& file : userFiles) Root.MakeFile(file.substr(Root.Path().size() + 1), 10);
    auto elevated = RunScan();
    std::set<std::wstring> all(adminFiles.begin(), adminFiles.end());
    all.insert(userFiles.begin(), userFiles.end());
    EXPECT_EQ(ListedUnder(Root.Path()), all);
    for (const std::wstring& line : Listed()) EXPECT_EQ(line.find(L"needs admin"), std::wstring::npos) << line;
}
