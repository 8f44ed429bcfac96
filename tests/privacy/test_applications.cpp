// The seventeen applications: the table's shape, each application's traces found and removed beside
// neighbours that stay, keys versus values, names matched exactly, the Windows folder's drive, and
// nothing at all when no application is there.
#include "PrivacyFixture.h"

#include "common/Kelvor_Routine.h"
#include "common/Registry.h"
#include "privacy/ApplicationTraces.h"
#include "privacy/PrivacyCategories.h"

#include <shlobj.h>

#include <cwchar>
#include <map>
#include <set>

namespace {

const std::wstring kCurrentUser = L"HKEY_CURRENT_USER";

// Every key (with a trailing "\") and value ("key|name=type:data") below the key, for comparing the
// registry before and after.
void Snapshot(const std::wstring& path, std::set<std::wstring>& entries)
{
    TRegKey key;
    if (key.Open(HKEY_CURRENT_USER, path, KEY_READ) != ERROR_SUCCESS)
        return;
    entries.insert(path + L"\\");
    for (const TRegNamedValue& value : key.Values())
        entries.insert(path + L"|" + value.Name + L"=" + std::to_wstring(value.Value.Type) + L":" + value.Value.Text());
    for (const std::wstring& name : key.SubKeyNames())
        Snapshot(path.empty() ? name : path + L"\\" + name, entries);
}

std::set<std::wstring> RegistrySnapshot()
{
    std::set<std::wstring> entries;
    Snapshot(L"", entries);
    return entries;
}

// "key|name" -> its parts.
std::pair<std::wstring, std::wstring> SplitValue(const std::wstring& keyAndValue)
{
    const size_t bar = keyAndValue.find(L'|');
    return {keyAndValue.substr(0, bar), keyAndValue.substr(bar + 1)};
}

class PrivacyApplications : public PrivacyTest {
protected:
    // "%AppData%\..." or "%Drive%\..." -> the scratch path.
    std::wstring Place(const std::wstring& path) const
    {
        for (const auto& [name, base] : {std::pair{L"%AppData%", AppData}, std::pair{L"%Drive%", Drive.Name()}})
            if (path.rfind(name, 0) == 0)
                return base + path.substr(std::wcslen(name));
        return path;
    }
    std::wstring MakeFileAt(const std::wstring& place, uint64_t size) const
    {
        const std::wstring path = Place(place);
        const size_t slash = path.find_last_of(L'\\');
        EXPECT_TRUE(SHCreateDirectoryExW(nullptr, path.substr(0, slash).c_str(), nullptr) == ERROR_SUCCESS ||
                    FolderExists(path.substr(0, slash)));
        WriteTextFile(path, std::string(size, 'm'));
        return path;
    }
};

TEST_F(PrivacyApplications, TheTableHasEveryKeyValueFolderAndFileOfEachApplication)
{
    struct TShape {
        const wchar_t* Key;
        int Keys, Values, Folders, Trees, Files;
    } shapes[] = {
        {L"office", 32, 23, 1, 0, 0}, {L"vb", 2, 0, 0, 0, 0},        {L"delphi", 6, 0, 0, 0, 0},
        {L"reader", 4, 0, 0, 1, 0},   {L"photoshop", 4, 0, 0, 0, 0}, {L"flash", 5, 0, 0, 1, 0},
        {L"media", 2, 0, 0, 0, 0},    {L"real", 35, 0, 2, 0, 7},     {L"quicktime", 1, 0, 0, 0, 0},
        {L"getright", 3, 0, 0, 0, 0}, {L"plus", 3, 0, 2, 0, 0},      {L"morpheus", 1, 0, 0, 0, 0},
        {L"sun", 0, 0, 0, 1, 0},      {L"google", 0, 0, 0, 1, 0},    {L"winrar", 3, 1, 0, 0, 0},
        {L"winzip", 3, 6, 0, 0, 0},   {L"7zip", 2, 3, 0, 0, 0},
    };
    const std::vector<TApplicationRow>& rows = ApplicationRows();
    ASSERT_EQ(rows.size(), std::size(shapes));
    for (size_t i = 0; i < rows.size(); ++i) {
        const TApplicationRow& row = rows[i];
        SCOPED_TRACE(testing::PrintToString(row.Key));
        EXPECT_EQ(std::wstring(row.Key), shapes[i].Key);
        // The rows are the category table's positions 16 to 32, in order.
        EXPECT_EQ(std::wstring(row.Key), kPrivacyCategories[15 + i].Key);
        std::map<TApplicationWork, int> counts;
        std::set<std::wstring> distinct;
        bool registrySeen = false;
        for (const TApplicationEntry& entry : row.Entries) {
            ++counts[entry.Work];
            distinct.insert(entry.Path);
            const bool registry = entry.Base == TApplicationBase::CurrentUser;
            EXPECT_EQ(registry, entry.Work == TApplicationWork::CheckKey || entry.Work == TApplicationWork::CheckValue);
            EXPECT_FALSE(registrySeen && !registry) << "folders and files come before the registry work";
            registrySeen = registrySeen || registry;
            EXPECT_EQ(entry.Path[0], L'\\') << testing::PrintToString(entry.Path);
            if (entry.Work == TApplicationWork::CheckValue)
                EXPECT_NE(std::wstring(entry.Path).find(L'|'), std::wstring::npos) << testing::PrintToString(entry.Path);
        }
        EXPECT_EQ(distinct.size(), row.Entries.size()) << "an entry written twice";
        EXPECT_EQ(counts[TApplicationWork::CheckKey], shapes[i].Keys);
        EXPECT_EQ(counts[TApplicationWork::CheckValue], shapes[i].Values);
        EXPECT_EQ(counts[TApplicationWork::ListFolder], shapes[i].Folders);
        EXPECT_EQ(counts[TApplicationWork::ListFolderTree], shapes[i].Trees);
        EXPECT_EQ(counts[TApplicationWork::ListFile], shapes[i].Files);
    }
}

TEST_F(PrivacyApplications, WithNoApplicationThereNothingIsListedAndNothingCreated)
{
    // Neighbours of the applications' entries, none of them a trace.
    SetRegString(HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\11.0\\Word\\Options", L"AutoSave", L"1");
    SetRegString(HKEY_CURRENT_USER, L"Software\\WinRAR\\General", L"VerInfo", L"6.0");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Nico Mak Computing\\WinZip\\directories", L"Flags", L"0");
    Root.MakeFile(L"AppData\\Microsoft\\Office\\Templates\\Normal.dot", 10);
    Root.MakeFile(L"Drive\\Program Files\\DAP\\dap.exe", 10);
    const std::set<std::wstring> before = RegistrySnapshot();
    const std::wstring selection = std::wstring(15, L'0') + std::wstring(17, L'1'); // positions 16 to 32

    EXPECT_EQ(RunScan(selection), 0);
    EXPECT_EQ(ListedLines(), std::vector<std::wstring>{});
    EXPECT_EQ(Memo.Line(1), L"Items found: 0");
    EXPECT_EQ(Memo.Line(3), L"Space used: 0 bytes");
    EXPECT_EQ(RegistrySnapshot(), before) << "looking for a key must not create it";
}

TEST_F(PrivacyApplications, EachApplicationListsItsOwnTracesAndARepairLeavesTheirNeighbours)
{
    struct TCase {
        int Position;
        std::vector<std::wstring> Keys;   // each created with one value, and listed whole
        std::vector<std::wstring> Values; // "key|name", listed
        std::vector<std::wstring> Files;  // "%AppData%\..." or "%Drive%\...", listed
        std::vector<std::wstring> Kept;   // "key|name" values and files that are not traces
    } cases[] = {
        {16,
         {L"\\Software\\Microsoft\\Office\\11.0\\Excel\\Recent Files",
          L"\\Software\\Microsoft\\Office\\12.0\\Word\\File MRU"},
         {L"\\Software\\Microsoft\\Office\\11.0\\Word\\Data|Settings",
          L"\\Software\\Microsoft\\Office\\11.0\\Outlook\\Preferences|LocationMRU"},
         {L"%AppData%\\Microsoft\\Office\\Recent\\report.doc.LNK"},
         {L"\\Software\\Microsoft\\Office\\11.0\\Word\\Data|Toolbars",
          L"\\Software\\Microsoft\\Office\\11.0\\Excel\\Options|Font", L"%AppData%\\Microsoft\\Office\\Templates\\x.dot"}},
        {17, {L"\\Software\\Microsoft\\Visual Basic\\6.0\\RecentFiles"}, {}, {},
         {L"\\Software\\Microsoft\\Visual Basic\\6.0|InstallDir"}},
        {18, {L"\\Software\\Borland\\Delphi\\7.0\\Closed Files", L"\\Software\\Borland\\Delphi\\5.0\\Closed Projects"}, {}, {},
         {L"\\Software\\Borland\\Delphi\\7.0\\Globals|Splash"}},
        {19, {L"\\Software\\Adobe\\Acrobat Reader\\8.0\\AVGeneral\\cRecentFiles"}, {},
         {L"%AppData%\\Adobe\\Acrobat\\8.0\\Cache\\Search\\index.dat"},
         {L"\\Software\\Adobe\\Acrobat Reader\\8.0\\AVGeneral|bExpandBookmarks"}},
        {20, {L"\\Software\\Adobe\\MediaBrowser\\MRU\\Photoshop\\FileList"}, {}, {},
         {L"\\Software\\Adobe\\MediaBrowser\\MRU\\Bridge\\FileList|File0"}},
        {21, {L"\\Software\\Macromedia\\Flash 8\\Recent File List"}, {},
         {L"%AppData%\\Macromedia\\Flash Player\\#SharedObjects\\X2Y\\site\\settings.sol"}, {}},
        {22,
         {L"\\Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList",
          L"\\Software\\Microsoft\\MediaPlayer\\Player\\RecentURLList"},
         {}, {}, {L"\\Software\\Microsoft\\MediaPlayer\\Player\\Settings|Volume"}},
        {23,
         {L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentClips1",
          L"\\Software\\RealNetworks\\RealPlayer\\8.0\\Preferences\\ResumePlayback"},
         {},
         {L"%AppData%\\Real\\RealPlayer\\History\\clip.rm", L"%AppData%\\Real\\RealOne Player\\History\\clip.ram",
          L"%AppData%\\Real\\RealOne Player\\ctd.dat", L"%AppData%\\Real\\RealPlayer\\realplayer.ste",
          L"%Drive%\\Program Files\\Common Files\\Real\\Update_OB\\RealPlayer-log.txt"},
         {L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\Volume|Value", L"%AppData%\\Real\\RealPlayer\\prefs.txt",
          L"%Drive%\\Program Files\\Common Files\\Real\\Update_OB\\setup.log"}},
        {24, {L"\\Software\\Apple Computer, Inc.\\QuickTime\\Recent Movies"}, {}, {}, {}},
        {25, {L"\\Software\\Headlight\\GetRight\\TypedURLS", L"\\Software\\Headlight\\GetRight\\MRU"}, {}, {},
         {L"\\Software\\Headlight\\GetRight\\Options|Connections"}},
        {26, {L"\\SOFTWARE\\SpeedBit\\Download Accelerator\\FileList"}, {},
         {L"%Drive%\\Program Files\\DAP\\Temp\\part1.tmp", L"%Drive%\\Program Files\\DAP\\Log\\today.log"},
         {L"%Drive%\\Program Files\\DAP\\dap.exe"}},
        {27, {L"\\Software\\Morpheus\\Morpheus\\Recent File List"}, {}, {}, {}},
        {28, {}, {}, {L"%AppData%\\Sun\\Java\\Deployment\\cache\\6.0\\12\\3f1e-5a2b.idx"},
         {L"%AppData%\\Sun\\Java\\Deployment\\deployment.properties"}},
        {29, {}, {}, {L"%AppData%\\Google\\Local Search History\\history.xml"}, {}},
        {30, {L"\\Software\\WinRAR\\ArcHistory", L"\\Software\\WinRAR\\DialogEditHistory\\ExtrPath"},
         {L"\\Software\\WinRAR\\General|LastFolder"}, {},
         {L"\\Software\\WinRAR\\General|VerInfo", L"\\Software\\WinRAR\\DialogEditHistory\\Find|0"}},
        // The folders key exists, but only one of its six values is set: the others list nothing.
        {31, {L"\\Software\\Nico Mak Computing\\WinZip\\filemenu"},
         {L"\\Software\\Nico Mak Computing\\WinZip\\directories|DefDir"}, {},
         {L"\\Software\\Nico Mak Computing\\WinZip\\directories|Flags"}},
        {32, {L"\\SOFTWARE\\7-ZIP\\Compression\\ArcHistory"},
         {L"\\Software\\7-Zip\\FM|FolderHistory", L"\\Software\\7-Zip\\FM|PanelPath0"}, {},
         {L"\\Software\\7-Zip\\FM|ListMode", L"\\Software\\7-Zip|Path"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Position);
        std::set<std::wstring> expected;
        for (const std::wstring& key : c.Keys) {
            SetRegString(HKEY_CURRENT_USER, key, L"File1", L"C:\\Documents\\plan.txt");
            expected.insert(kCurrentUser + key);
        }
        for (const std::wstring& value : c.Values) {
            const auto [key, name] = SplitValue(value);
            SetRegString(HKEY_CURRENT_USER, key, name, L"C:\\Documents");
            expected.insert(kCurrentUser + key + L"\\" + name);
        }
        for (const std::wstring& file : c.Files)
            expected.insert(MakeFileAt(file, 7) + L"   7 bytes");
        for (const std::wstring& kept : c.Kept) {
            if (kept[0] == L'%')
                MakeFileAt(kept, 5);
            else
                SetRegString(HKEY_CURRENT_USER, SplitValue(kept).first, SplitValue(kept).second, L"kept");
        }

        EXPECT_EQ(RunScan(Selection({c.Position})), static_cast<int32_t>(expected.size()));
        EXPECT_EQ(AsSet(ListedLines()), expected);
        RunRepair();
        EXPECT_TRUE(Scanner->LastRepair.AllDone());
        EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), static_cast<int>(expected.size()));
        for (const std::wstring& key : c.Keys)
            EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, key)) << testing::PrintToString(key);
        for (const std::wstring& value : c.Values)
            EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, SplitValue(value).first, SplitValue(value).second))
                << testing::PrintToString(value);
        for (const std::wstring& file : c.Files)
            EXPECT_FALSE(FileExists(Place(file))) << testing::PrintToString(file);
        for (const std::wstring& kept : c.Kept)
            EXPECT_TRUE(kept[0] == L'%' ? FileExists(Place(kept))
                                        : RegValueExists(HKEY_CURRENT_USER, SplitValue(kept).first,
                                                         SplitValue(kept).second))
                << testing::PrintToString(kept);
    }
}

TEST_F(PrivacyApplications, OlderAccessSettingsGoWholeWhileOffice2007LosesOnlyItsRecentFiles)
{
    const std::wstring access8 = L"Software\\Microsoft\\Office\\8.0\\Access\\Settings";
    const std::wstring access10 = L"Software\\Microsoft\\Office\\10.0\\Access\\Settings";
    const std::wstring access12 = L"Software\\Microsoft\\Office\\12.0\\Access\\Settings";
    SetRegString(HKEY_CURRENT_USER, access8, L"MRU1", L"C:\\db.mdb");
    SetRegString(HKEY_CURRENT_USER, access8 + L"\\Window", L"Left", L"10");
    SetRegString(HKEY_CURRENT_USER, access10, L"Startup", L"1");
    for (const wchar_t* name : {L"MRU1", L"MRU2", L"MRU8", L"MRU9", L"MRUFlags1", L"Startup"})
        SetRegString(HKEY_CURRENT_USER, access12, name, L"x");

    EXPECT_EQ(RunScan(Selection({16})), 5);
    EXPECT_EQ(AsSet(ListedLines()),
              (std::set<std::wstring>{kCurrentUser + L"\\" + access8, kCurrentUser + L"\\" + access10,
                                      kCurrentUser + L"\\" + access12 + L"\\MRU1", kCurrentUser + L"\\" + access12 + L"\\MRU2",
                                      kCurrentUser + L"\\" + access12 + L"\\MRU8"}));
    RunRepair();
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, access8)) << "with its subkeys";
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, access10));
    TRegKey kept;
    ASSERT_EQ(ERROR_SUCCESS, kept.Open(HKEY_CURRENT_USER, access12));
    const std::vector<std::wstring> names = kept.ValueNames();
    EXPECT_EQ(std::set<std::wstring>(names.begin(), names.end()),
              (std::set<std::wstring>{L"MRU9", L"MRUFlags1", L"Startup"}));
}

TEST_F(PrivacyApplications, FileNameKeysMatchOnlyTheNameAsWritten)
{
    const std::wstring openFind = L"Software\\Microsoft\\Office\\12.0\\Common\\Open Find\\";
    struct TCase {
        const wchar_t* Key; // below Open Find
        bool Listed;
    } cases[] = {
        {L"Microsoft Office InfoPath\\Settings\\Save As\\File Name ", true}, // with its trailing blank
        {L"Microsoft Office InfoPath\\Settings\\Save As\\File Name", false},
        {L"Microsoft Office Publisher\\Settings\\Save As\\File Name", true},
        {L"Microsoft Office Publisher\\Settings\\Save As\\File Name MRU", false},
        {L"Microsoft Office PowerPoint\\Settings\\Save As\\File Name", true},
        {L"Microsoft Office Excel\\Settings\\Save As\\File Name", false},
        {L"Microsoft Office Excel\\Settings\\Save As\\File Name MRU", true},
    };
    std::set<std::wstring> expected;
    for (const TCase& c : cases) {
        SetRegString(HKEY_CURRENT_USER, openFind + c.Key, L"Value", L"x");
        if (c.Listed)
            expected.insert(kCurrentUser + L"\\" + openFind + c.Key);
    }
    // The key names are kept as given, blanks included.
    ASSERT_TRUE(RegKeyExists(HKEY_CURRENT_USER, openFind + cases[0].Key));
    EXPECT_EQ(RunScan(Selection({16})), 4);
    EXPECT_EQ(AsSet(ListedLines()), expected);
    RunRepair();
    for (const TCase& c : cases)
        EXPECT_EQ(RegKeyExists(HKEY_CURRENT_USER, openFind + c.Key), !c.Listed) << testing::PrintToString(c.Key);
}

TEST_F(PrivacyApplications, LocationsOnTheWindowsDriveNeedADriveLetter)
{
    const std::wstring log = Root.MakeFile(L"Drive\\Program Files\\DAP\\Log\\today.log", 9);
    const std::wstring clip = Root.MakeFile(L"AppData\\Real\\RealPlayer\\History\\clip.rm", 8);
    struct TCase {
        std::wstring Windows;
        bool DriveListed;
    } cases[] = {
        {WindowsDir, true},
        {Drive.Name() + L"\\WINNT\\", true},
        {L"", false},
        {L"\\\\server\\share\\Windows", false}, // no drive: not the current drive's root either
        {L"Windows", false},
        {L"\\Windows", false},
    };
    // The current drive is the one where the files lie: a location taken from "\Program Files\..."
    // alone would find them.
    wchar_t current[MAX_PATH] = {};
    ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, current), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW((Drive.Name() + L"\\").c_str()));
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Windows));
        const std::wstring windows = c.Windows;
        Scanner->Platform.WindowsFolder = [windows] { return windows; };
        std::set<std::wstring> expected = {clip + L"   8 bytes"};
        if (c.DriveListed)
            expected.insert(Drive.Name() + L"\\Program Files\\DAP\\Log\\today.log   9 bytes");
        RunScan(Selection({23, 26}));
        EXPECT_EQ(AsSet(ListedLines()), expected);
    }
    EXPECT_TRUE(SetCurrentDirectoryW(current));
    EXPECT_TRUE(FileExists(log));
    EXPECT_EQ(WindowsDrive(L"c:\\windows"), L"c:");
    EXPECT_EQ(WindowsDrive(L"1:\\windows"), L"");
}

TEST_F(PrivacyApplications, StatusLineNamesEachApplication)
{
    struct TCase {
        int Position;
        std::wstring Subject;
    } cases[] = {
        {16, (AppData + L"\\Microsoft\\Office\\Recent").substr(0, 60)},
        {17, L"Visual Basic"},
        {18, L"Delphi"},
        {19, L"Acrobat Reader"},
        {20, L"Photoshop"},
        {21, L"Flash"},
        {22, L"MediaPlayer"},
        {23, (AppData + L"\\Real\\RealPlayer\\History").substr(0, 60)},
        {24, L"QuickTime"},
        {25, L"GetRight"},
        {26, L"Download Accelerator"},
        {27, L"Morpheus"},
        {28, L"Sun Java"},
        {29, L"Google Toolbar"},
        {30, L"WinRAR"},
        {31, L"WinZip"},
        {32, L"7-ZIP"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Position);
        RunScan(Selection({c.Position}));
        EXPECT_EQ(StatusTexts, (std::vector<std::wstring>{L"", Scanner->ScanPrefix + c.Subject}));
    }
}

} // namespace
