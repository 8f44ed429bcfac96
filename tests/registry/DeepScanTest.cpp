// The deep value scan: text values below the current user's and every user's keys whose name or data
// is a full local path that is gone.
#include "RegistryFixture.h"

#include "common/SystemFolders.h"
#include "registry/DeepScan.h"
#include "registry/UndoFile.h"
#include "support/ShellFolders.h"

namespace {

// No hyphen in these: a path with one is never judged.
const std::wstring kGoneFile = L"C:\\BrisfoldGone\\gone.txt";
const std::wstring kGoneFolder = L"C:\\BrisfoldGone\\Folder";

UINT NetworkZ(const std::wstring& root) { return root == L"Z:\\" ? UINT(DRIVE_REMOTE) : UINT(DRIVE_FIXED); }

class DeepScan : public RegistryFixture {
protected:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        OnlyCategories({L"Openscan"});
    }
    std::vector<std::string> SortedRows() const
    {
        std::vector<std::string> rows = Rows();
        std::sort(rows.begin(), rows.end());
        return rows;
    }
};

std::string DeepRow(const std::wstring& key, const std::wstring& value, const std::wstring& data)
{
    return Row(L"Text 21", key, value, data, 4);
}

} // namespace

TEST(DeepScanPaths, IsMissingPath)
{
    const TPathJudge judge(NetworkZ, true);
    const std::wstring system = SystemFolder();
    const struct {
        std::wstring Text;
        bool Missing;
    } cases[] = {
        {kGoneFile, true},
        {kGoneFolder, true},
        {L"C:\\BrisfoldGone\\app.exe run", true}, // cut after the program
        {system + L"\\notepad.exe", false},
        {system, false},
        {L"C:\\", false},
        {L"C:", false},
        {L"C:\\Brisfold-Gone\\gone.txt", false},
        {L"C:\\BrisfoldGone\\a,b.txt", false},
        {L"C:\\BrisfoldGone\\a;b.txt", false},
        {L"C:\\BrisfoldGone\\%x%.txt", false},
        {L"C:\\BrisfoldGone/gone.txt", false},
        {L"C:\\BrisfoldGone\\a|b.txt", false},
        {L"C:\\BrisfoldGone\\x.txt C:\\y.txt", false}, // a second colon
        {L"C:relative.txt", false},
        {L"gone.txt", false},
        {L"\\\\server\\share\\gone.txt", false},
        {L"Z:\\share\\gone.txt", false},             // a network drive
        {L"C:\\BrisfoldGone\\report.docx", false},   // a dot, but not a three-character extension
        {L"C:\\BrisfoldGone\\Folder.Name\\x", false},
        {L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsMissingPath(c.Text, judge), c.Missing) << Narrow(c.Text);
}

TEST(DeepScanPaths, ExcludedKeyFamiliesWhateverTheCase)
{
    const struct {
        const wchar_t* Path;
        bool Excluded;
    } cases[] = {
        {L"Software\\Classes\\.txt", true},
        {L"SOFTWARE\\CLASSES\\txtfile\\shell\\open\\command", true},
        {L"S-1-5-21-1-2-3-1000_Classes\\Applications", true},
        {L"S-1-5-21-1-2-3-1000_Classes", true},
        {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", true},
        {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", true},
        {L"software\\microsoft\\windows\\currentversion\\explorer\\fileexts\\.txt", true},
        {L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", true},
        {L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICacheOther", false},
        {L"Software\\Vendor", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsExcludedDeepKey(c.Path), c.Excluded) << Narrow(c.Path);
}

TEST_F(DeepScan, ValuesThatNameMissingPaths)
{
    const std::wstring notepad = SystemFolder() + L"\\notepad.exe";
    SetRegString(HKEY_CURRENT_USER, L"Software\\Vendor", L"Last", kGoneFile);
    SetRegString(HKEY_CURRENT_USER, L"Software\\Vendor", L"Folder", L"C:\\BRISFOLDGONE\\FOLDER");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Vendor", L"Tool", notepad);
    SetRegString(HKEY_CURRENT_USER, L"Software\\Vendor", L"Hyphen", L"C:\\Brisfold-Gone\\gone.txt");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Vendor", L"Comma", L"C:\\BrisfoldGone\\a,b.txt");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Vendor", L"Semicolon", L"C:\\BrisfoldGone;D:\\x");
    SetRegValue(HKEY_CURRENT_USER, L"Software\\Vendor", L"Expandable", REG_EXPAND_SZ, TextBytes(kGoneFile));
    // A cache-like key whose value names are the paths.
    SetRegString(HKEY_CURRENT_USER, L"Software\\Vendor\\Cache", L"C:\\BrisfoldGone\\cached.dat", L"1");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Vendor\\Cache", notepad, L"1");
    // Families of another kind of path, in any case.
    SetRegString(HKEY_CURRENT_USER, L"SOFTWARE\\CLASSES\\txtfile", L"Icon", kGoneFile);
    SetRegString(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                 L"Personal", kGoneFolder);
    SetRegString(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", kGoneFile, L"Gone");
    SetRegString(HKEY_CURRENT_USER, L"", L"RootValue", kGoneFile); // the roots' own values are not tested
    SetRegString(HKEY_USERS, L"S-1-5-18\\Software\\Vendor", L"Last", kGoneFile);

    auto scanner = MakeScanner();
    BarWatch bar(Progress.Handle());
    EXPECT_EQ(RunScan(*scanner), 4);
    EXPECT_EQ(scanner->DeepCount, 4);
    std::vector<std::string> expected{
        DeepRow(L"HKEY_CURRENT_USER\\Software\\Vendor", L"Folder", L"C:\\BRISFOLDGONE\\FOLDER"),
        DeepRow(L"HKEY_CURRENT_USER\\Software\\Vendor", L"Last", kGoneFile),
        DeepRow(L"HKEY_CURRENT_USER\\Software\\Vendor\\Cache", L"C:\\BrisfoldGone\\cached.dat", L"1"),
        DeepRow(L"HKEY_USERS\\S-1-5-18\\Software\\Vendor", L"Last", kGoneFile),
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(SortedRows(), expected);
    EXPECT_EQ(Status.Caption(), L"Scanning Text 19");
    EXPECT_EQ(bar.Steps, 2 + 1 + 1) << "one per root, the margin and one";
    // Name and data escaped.
    const TWideStrings& lines = scanner->BackupLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), L"\"C:\\\\BrisfoldGone\\\\cached.dat\"=\"1\""), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), L"[HKEY_USERS\\S-1-5-18\\Software\\Vendor]"), lines.end());
}

TEST_F(DeepScan, TheCurrentUserIsListedOnceUnderEachRoot)
{
    // As on Windows: the current user's keys are also a key below HKEY_USERS.
    TRegKey user;
    ASSERT_EQ(ERROR_SUCCESS, user.Create(HKEY_USERS, L"S-1-5-21-7-7-7-1000", KEY_ALL_ACCESS));
    ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, user.Handle()));
    SetRegString(HKEY_CURRENT_USER, L"BrisfoldScratchSentinel", L"scratch", L"1");
    SetUserShellFolder(L"AppData", AppData);
    OnlyCategories({L"Openscan"});
    SetRegString(HKEY_CURRENT_USER, L"Software\\Vendor", L"Last", kGoneFile);

    auto scanner = MakeScanner();
    EXPECT_EQ(RunScan(*scanner), 2);
    EXPECT_EQ(RowKeys(), (std::vector<std::wstring>{L"HKEY_CURRENT_USER\\Software\\Vendor",
                                                    L"HKEY_USERS\\S-1-5-21-7-7-7-1000\\Software\\Vendor"}));
    const auto& findings = scanner->Findings();
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(findings[0].HiveRoot, findings[1].HiveRoot) << "one value where it lives";
    EXPECT_EQ(findings[0].HivePath, findings[1].HivePath);

    const RegTree before = Snapshot(HKEY_USERS);
    RunRepair(*scanner);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Removed), 1);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::AlreadyGone), 1);
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Vendor", L"Last"));
    std::vector<TUndoKey> keys;
    std::wstring error;
    ASSERT_TRUE(ReadUndoFile(scanner->LastUndoFile, keys, error)) << Narrow(error);
    EXPECT_TRUE(RestoreUndoKeys(keys).Failures.empty());
    EXPECT_EQ(Differences(before, Snapshot(HKEY_USERS)), std::vector<std::string>{});
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
}

TEST_F(DeepScan, AStopEndsTheWalkAfterTheCurrentValue)
{
    // Each value on a drive of its own, so that the drive asked about tells which value is judged.
    const struct {
        const wchar_t* Key;
        const wchar_t* Name;
        const wchar_t* Path;
    } values[] = {{L"Software\\A", L"v1", L"C:\\BrisfoldGone\\v1.txt"},
                  {L"Software\\A", L"v2", L"D:\\BrisfoldGone\\v2.txt"},
                  {L"Software\\A", L"v3", L"E:\\BrisfoldGone\\v3.txt"},
                  {L"Software\\B", L"v1", L"F:\\BrisfoldGone\\v1.txt"}};
    for (const auto& value : values)
        SetRegString(HKEY_CURRENT_USER, value.Key, value.Name, value.Path);
    auto scanner = MakeScanner();
    // The data is judged in lower case.
    std::wstring asked;
    scanner->Hooks.DriveType = [&](const std::wstring& root) {
        asked += root.substr(0, 1);
        if (root == L"d:\\")
            scanner->Stopped = 1; // while the second value is judged
        return UINT(DRIVE_FIXED);
    };
    EXPECT_EQ(RunScan(*scanner), 2);
    EXPECT_EQ(scanner->DeepCount, 2);
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          Row(L"Text 21", L"HKEY_CURRENT_USER\\Software\\A", L"v1", L"C:\\BrisfoldGone\\v1.txt", 4),
                          Row(L"Text 21", L"HKEY_CURRENT_USER\\Software\\A", L"v2", L"D:\\BrisfoldGone\\v2.txt", 4),
                      }));
    EXPECT_EQ(Narrow(asked), "cd") << "nothing more is judged";
}

TEST_F(DeepScan, RegistryLinksAreNeverEnteredSoACycleEnds)
{
    SetRegString(HKEY_CURRENT_USER, L"Software\\Real", L"Last", kGoneFile);
    Registry->MakeCurrentUserLink(L"Software\\Real\\Loop", L"Software\\Real");   // a cycle
    Registry->MakeCurrentUserLink(L"Software\\Alias", L"Software\\Real");        // a second way in
    Registry->MakeCurrentUserLink(L"Software\\Dangling", L"Software\\NoSuchKey");
    auto scanner = MakeScanner();
    EXPECT_EQ(RunScan(*scanner), 1);
    EXPECT_EQ(RowKeys(), (std::vector<std::wstring>{L"HKEY_CURRENT_USER\\Software\\Real"}));
}
