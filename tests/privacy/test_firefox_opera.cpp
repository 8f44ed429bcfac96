// Firefox and Opera: the profile that profiles.ini names (as stored) or the Opera entry listed last,
// their files and caches, what is left alone while Firefox runs, and profiles or caches that would lead
// elsewhere.
#include "PrivacyFixture.h"

#include "common/CodePage.h"
#include "common/FileFind.h"
#include "common/Kelvor_Routine.h"
#include "privacy/BrowserTraces.h"
#include "privacy/Processes.h"
#include "support/UnixLinks.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <set>

namespace {

std::wstring FileLine(const std::wstring& path, int size)
{
    return path + L"   " + std::to_wstring(size) + L" bytes";
}

// A Firefox profile's files below a folder (relative to the scratch root), each of its own size.
struct TFirefoxFiles {
    std::wstring Cookies, Downloads, History, Forms, CacheFile, CacheFolder, DeepCacheFile;
};

class PrivacyBrowsers : public PrivacyTest {
protected:
    std::wstring FirefoxFolder() const { return AppData + L"\\Mozilla\\Firefox"; }

    void WriteProfilesIni(const std::string& text)
    {
        WriteIniFile(Root.MakeFolder(L"AppData\\Mozilla\\Firefox") + L"\\profiles.ini", text);
    }

    static std::string ProfilesIni(const std::string& path)
    {
        return "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=" + path +
               "\r\n";
    }

    TFirefoxFiles MakeFirefoxFiles(const std::wstring& folder) const
    {
        return {Root.MakeFile(folder + L"\\cookies.txt", 10),
                Root.MakeFile(folder + L"\\downloads.rdf", 11),
                Root.MakeFile(folder + L"\\history.dat", 12),
                Root.MakeFile(folder + L"\\formhistory.dat", 13),
                Root.MakeFile(folder + L"\\Cache\\1A2B3C4Dd01", 14),
                Root.MakeFolder(folder + L"\\Cache\\0"),
                Root.MakeFile(folder + L"\\Cache\\0\\5E6F7A8Bd01", 15)};
    }

    // The five Firefox categories' lines for a profile folder as the sweeper names it.
    static std::set<std::wstring> FirefoxLines(const std::wstring& profile)
    {
        return {FileLine(profile + L"\\cookies.txt", 10),   FileLine(profile + L"\\downloads.rdf", 11),
                FileLine(profile + L"\\history.dat", 12),   FileLine(profile + L"\\formhistory.dat", 13),
                FileLine(profile + L"\\Cache\\1A2B3C4Dd01", 14), profile + L"\\Cache\\0   0 bytes"};
    }

    // The Opera profile files below a base folder (relative to the scratch root), in the order the
    // sweeper looks at them.
    std::vector<std::wstring> MakeOperaFiles(const std::wstring& base) const
    {
        std::vector<std::wstring> files;
        for (const wchar_t* name : {L"cookies4.dat", L"global.dat", L"opera.dir", L"download.dat", L"vlink4.dat",
                                    L"sessions\\autosave.win"})
            files.push_back(Root.MakeFile(base + L"\\profile\\" + name, 20));
        return files;
    }

    std::wstring FirstStatus(const std::wstring& subject) const { return Scanner->ScanPrefix + subject; }
};

TEST_F(PrivacyBrowsers, TheFirstProfileIsUsedAsStoredAndItsCacheOneLevelDeep)
{
    WriteProfilesIni(ProfilesIni("Profiles/ab12.default") + "\r\n[Profile1]\r\nName=work\r\nIsRelative=1\r\n"
                                                             "Path=Profiles/cd34.work\r\n");
    const TFirefoxFiles files = MakeFirefoxFiles(L"AppData\\Mozilla\\Firefox\\Profiles\\ab12.default");
    const TFirefoxFiles other = MakeFirefoxFiles(L"AppData\\Mozilla\\Firefox\\Profiles\\cd34.work");
    // The profile's path is read as stored, forward slash and all, and its files are listed and deleted
    // under the one form the folder guard judged.
    const std::wstring profile = FirefoxFolder() + L"\\Profiles\\ab12.default";

    EXPECT_EQ(RunScan(Selection({6, 7, 8, 9, 10})), 6);
    EXPECT_EQ(AsSet(ListedLines()), FirefoxLines(profile));

    RunRepair();
    for (const std::wstring& gone : {files.Cookies, files.Downloads, files.History, files.Forms, files.CacheFile})
        EXPECT_FALSE(FileExists(gone)) << testing::PrintToString(gone);
    EXPECT_TRUE(FileExists(files.DeepCacheFile)) << "the cache's sub-folders are listed, never emptied";
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), 5);
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Refused), 1);
    for (const std::wstring& kept : {other.Cookies, other.History, other.CacheFile})
        EXPECT_TRUE(FileExists(kept)) << "only the first profile is looked at: " << testing::PrintToString(kept);
}

TEST_F(PrivacyBrowsers, WithoutAFirstProfileTheFilesAreLookedForInTheFirefoxFolder)
{
    MakeFirefoxFiles(L"AppData\\Mozilla\\Firefox");
    const char* const inis[] = {
        nullptr, // no profiles.ini
        "[Profile1]\r\nPath=Profiles/cd34.work\r\n",
        "[Profile0]\r\nName=default\r\n",
        "[Profile0]\r\nPath=\r\n",
    };
    for (const char* ini : inis) {
        SCOPED_TRACE(ini ? ini : "(no profiles.ini)");
        if (ini)
            WriteProfilesIni(ini);
        EXPECT_EQ(RunScan(Selection({6, 7, 8, 9, 10})), 6);
        EXPECT_EQ(AsSet(ListedLines()), FirefoxLines(FirefoxFolder()));
    }
}

TEST_F(PrivacyBrowsers, AProfilePathLeadingOutOfTheFirefoxFolderListsNothing)
{
    // A whole profile outside, where a crafted profiles.ini may point.
    const TFirefoxFiles outside = MakeFirefoxFiles(L"Outside\\prof");
    MakeFirefoxFiles(L"AppData\\Mozilla\\prof");
    std::vector<std::string> paths = {
        "../../../Outside/prof",
        "Profiles/../../../../Outside/prof",
        "..\\..\\..\\Outside\\prof",
        "../prof",
        "Profiles/.../../../prof",
        WideToAnsi(Root / L"Outside\\prof"),
        WideToAnsi(Root.Path().substr(2) + L"\\Outside\\prof"), // from the current drive's root
        "/" + WideToAnsi(Root.Path().substr(3) + L"\\Outside\\prof"),
        WideToAnsi(L"\\\\?\\" + Root.Path() + L"\\Outside\\prof"),
    };
    if (RunningUnderWine()) {
        Root.MakeFolder(L"AppData\\Mozilla\\Firefox\\Profiles");
        ASSERT_TRUE(MakeUnixSymlink(Root / L"Outside\\prof", FirefoxFolder() + L"\\Profiles\\linked.default"));
        paths.push_back("Profiles/linked.default");
    }
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        WriteProfilesIni(ProfilesIni(path));
        EXPECT_EQ(RunScan(Selection({6, 7, 8, 9, 10})), 0);
        EXPECT_EQ(ListedLines(), std::vector<std::wstring>{});
        RunRepair();
    }
    for (const std::wstring& kept : {outside.Cookies, outside.Downloads, outside.History, outside.Forms,
                                     outside.CacheFile, outside.DeepCacheFile})
        EXPECT_TRUE(FileExists(kept)) << testing::PrintToString(kept);
    if (RunningUnderWine())
        EXPECT_TRUE(RemoveUnixLink(FirefoxFolder() + L"\\Profiles\\linked.default"));
}

TEST_F(PrivacyBrowsers, WhileFirefoxRunsOnlyItsCookiesAndDownloadsAreListed)
{
    WriteProfilesIni(ProfilesIni("Profiles/ab12.default"));
    MakeFirefoxFiles(L"AppData\\Mozilla\\Firefox\\Profiles\\ab12.default");
    const std::wstring profile = FirefoxFolder() + L"\\Profiles\\ab12.default";
    const std::set<std::wstring> all = FirefoxLines(profile);
    const std::set<std::wstring> cookiesAndDownloads = {FileLine(profile + L"\\cookies.txt", 10),
                                                        FileLine(profile + L"\\downloads.rdf", 11)};
    const std::wstring firefoxFile = Root / L"Outside\\firefox.exe";
    // Whether Firefox runs is asked by each category when it comes: Firefox starts or ends when the
    // status line shows a category's subject.
    struct TCase {
        const char* Name;
        bool RunningAtStart;
        std::wstring ChangeAt; // status subject at which Firefox starts or ends; empty: never
        std::set<std::wstring> Listed;
    } cases[] = {
        {"running throughout", true, L"", cookiesAndDownloads},
        {"started at the download history", false, L"downloads.rdf", cookiesAndDownloads},
        {"ended at the history", true, (profile + L"\\history.dat").substr(0, 60), all},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::unique_ptr<StandInProcess> firefox;
        if (c.RunningAtStart)
            firefox = std::make_unique<StandInProcess>(firefoxFile);
        bool changed = false;
        OnStatus = [&](const std::wstring& text) {
            if (changed || c.ChangeAt.empty() || text != FirstStatus(c.ChangeAt))
                return;
            changed = true;
            if (firefox)
                firefox.reset();
            else
                firefox = std::make_unique<StandInProcess>(firefoxFile);
        };
        RunScan(Selection({6, 7, 8, 9, 10}));
        OnStatus = nullptr;
        EXPECT_EQ(AsSet(ListedLines()), c.Listed);
        const bool cacheShown =
            std::find(StatusTexts.begin(), StatusTexts.end(), FirstStatus(AppData.substr(0, 60))) != StatusTexts.end();
        EXPECT_EQ(cacheShown, c.Listed == all) << "the cache's status line is passed over while Firefox runs";
        firefox.reset();
        EXPECT_FALSE(FirefoxRuns());
    }
}

TEST_F(PrivacyBrowsers, OperaUsesTheEntryItsFolderListsLast)
{
    for (const wchar_t* name : {L"Opera", L"Opera 9.5", L"Opera Next", L"Opera Beta"})
        MakeOperaFiles(std::wstring(L"AppData\\Opera\\") + name);
    // Whatever order the file system lists them in, the last entry is the profile.
    std::wstring last;
    WIN32_FIND_DATAW entry;
    const TFindHandle find = FindFirstEntry(AppData + L"\\Opera\\*.*", entry);
    ASSERT_TRUE(find.Valid());
    do
        if (!IsDotEntry(entry.cFileName))
            last = entry.cFileName;
    while (FindNextFileW(find.Get(), &entry));
    const std::wstring base = AppData + L"\\Opera\\" + last;
    EXPECT_EQ(FindOperaFolder(AppData), base);

    EXPECT_EQ(RunScan(Selection({11, 12})), 6);
    // The cookies, then the history files in their order.
    std::vector<std::wstring> expected;
    for (const wchar_t* name : {L"cookies4.dat", L"global.dat", L"opera.dir", L"download.dat", L"vlink4.dat",
                                L"sessions\\autosave.win"})
        expected.push_back(FileLine(base + L"\\profile\\" + name, 20));
    EXPECT_EQ(ListedLines(), expected);
    EXPECT_EQ(FindOperaFolder(L""), L"");
    EXPECT_EQ(FindOperaFolder(Root / L"NoSuchAppData"), L"");
}

TEST_F(PrivacyBrowsers, TheOperaCacheIsWalkedToAllDepthsButNeverThroughALink)
{
    const std::wstring cache = Root.MakeFolder(L"AppData\\Opera\\Opera\\profile\\cache4");
    const std::set<std::wstring> listed = {
        FileLine(Root.MakeFile(L"AppData\\Opera\\Opera\\profile\\cache4\\opr00001.tmp", 30), 30),
        FileLine(Root.MakeFile(L"AppData\\Opera\\Opera\\profile\\cache4\\g_0001\\opr00002.tmp", 31), 31),
        FileLine(Root.MakeFile(L"AppData\\Opera\\Opera\\profile\\cache4\\g_0001\\sub\\opr00003.tmp", 32), 32),
    };
    const std::wstring keptInFolder = Root.MakeFile(L"Outside\\pictures\\holiday.jpg", 40);
    const std::wstring keptFile = Root.MakeFile(L"Outside\\letter.txt", 41);
    if (RunningUnderWine()) {
        ASSERT_TRUE(MakeUnixSymlink(Root / L"Outside\\pictures", cache + L"\\g_0002"));
        ASSERT_TRUE(MakeUnixSymlink(keptFile, cache + L"\\opr00004.tmp"));
    }
    EXPECT_EQ(RunScan(Selection({13})), 3);
    EXPECT_EQ(AsSet(ListedLines()), listed);
    RunRepair();
    EXPECT_TRUE(Scanner->LastRepair.AllDone());
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), 3);
    EXPECT_TRUE(FileExists(keptInFolder));
    EXPECT_TRUE(FileExists(keptFile));
    if (RunningUnderWine()) {
        EXPECT_TRUE(RemoveUnixLink(cache + L"\\g_0002"));
        EXPECT_TRUE(RemoveUnixLink(cache + L"\\opr00004.tmp"));
    }
}

TEST_F(PrivacyBrowsers, AnOperaProfileThatIsAFileOrALinkListsNothing)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "links are made with the Unix tools";
    // A whole Opera profile outside, where a link may lead.
    const std::vector<std::wstring> outside = MakeOperaFiles(L"Outside\\OperaProfile");
    const std::wstring outsideCache = Root.MakeFile(L"Outside\\OperaProfile\\profile\\cache4\\opr00001.tmp", 30);
    struct TCase {
        const char* Name;
        std::function<void()> Make;
        std::function<void()> Remove;
    } cases[] = {
        {"the entry is a file", [&] { Root.MakeFile(L"AppData\\Opera\\Opera", 5); },
         [&] { EXPECT_TRUE(DeleteFileW((AppData + L"\\Opera\\Opera").c_str())); }},
        {"the entry is a folder link",
         [&] { ASSERT_TRUE(MakeUnixSymlink(Root / L"Outside\\OperaProfile", AppData + L"\\Opera\\Opera")); },
         [&] { EXPECT_TRUE(RemoveUnixLink(AppData + L"\\Opera\\Opera")); }},
        {"its profile folder is a link",
         [&] {
             Root.MakeFolder(L"AppData\\Opera\\Opera");
             ASSERT_TRUE(MakeUnixSymlink(Root / L"Outside\\OperaProfile\\profile", AppData + L"\\Opera\\Opera\\profile"));
         },
         [&] { EXPECT_TRUE(RemoveUnixLink(AppData + L"\\Opera\\Opera\\profile")); }},
        {"its cache is a link",
         [&] {
             Root.MakeFolder(L"AppData\\Opera\\Opera\\profile");
             ASSERT_TRUE(MakeUnixSymlink(Root / L"Outside\\OperaProfile\\profile\\cache4",
                                         AppData + L"\\Opera\\Opera\\profile\\cache4"));
         },
         [&] { EXPECT_TRUE(RemoveUnixLink(AppData + L"\\Opera\\Opera\\profile\\cache4")); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Make();
        EXPECT_EQ(FindOperaFolder(AppData), AppData + L"\\Opera\\Opera");
        EXPECT_EQ(RunScan(Selection({11, 12, 13})), 0);
        EXPECT_EQ(ListedLines(), std::vector<std::wstring>{});
        c.Remove();
    }
    for (const std::wstring& kept : outside)
        EXPECT_TRUE(FileExists(kept)) << testing::PrintToString(kept);
    EXPECT_TRUE(FileExists(outsideCache));
}

} // namespace
