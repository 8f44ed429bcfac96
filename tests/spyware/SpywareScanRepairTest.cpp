// The removal of the checked rows: registry values and keys, files (also in use), folders, cookies,
// and links that must never lead to their targets.
#include "SpyScanFixture.h"

#include "common/CodePage.h"
#include "support/UnixLinks.h"

#include <chrono>

namespace {

std::string Pid() { return std::to_string(GetCurrentProcessId()); }

class SpyScanRepair : public SpyScanTest {
protected:
    void SetUp() override
    {
        SpyScanTest::SetUp();
        Scanner = MakeScanner({});
    }
    std::unique_ptr<TSpyScan> Scanner;
};

} // namespace

TEST_F(SpyScanRepair, ValueOrWholeKey)
{
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Pest", L"Run", L"pest.exe");
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Pest", L"Keep", L"x");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Pest\\Deep\\Deeper", L"v", L"x");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Pester", L"v", L"x");
    auto scanner = MakeScanner(
        {DefinitionText("Pest", "Adware", "2", {"HKEY_LOCAL_MACHINE\\Software\\Pest|Run", "HKEY_CURRENT_USER\\Software\\Pest"})});
    ASSERT_EQ(2, RunScan(*scanner));
    EXPECT_EQ(2, RunRepair(*scanner));
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, L"Software\\Pest", L"Run"));
    EXPECT_TRUE(RegValueExists(HKEY_LOCAL_MACHINE, L"Software\\Pest", L"Keep")) << "only the value goes";
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\Pest")) << "the key goes with its subkeys";
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\Pester"));
    EXPECT_EQ(7, List.ImageIndex(0));
    EXPECT_EQ(7, List.ImageIndex(1));
    EXPECT_EQ(2, List.Count()) << "rows are neither deleted";
    EXPECT_TRUE(List.Checked(0) && List.Checked(1)) << "nor unchecked";
}

TEST_F(SpyScanRepair, ARowTheScanDidNotAddIsRefused)
{
    // The removal acts on what the scan found, never on a row's text.
    const std::wstring file = Files->MakeFile(L"pest.exe", 10);
    SetRegString(HKEY_CURRENT_USER, L"Software\\Pest", L"Run", L"x");
    AddRow(L"HKEY_CURRENT_USER\\Software\\Pest");
    AddRow(L"HKEY_CURRENT_USER\\Software\\Pest|Run");
    AddRow(file, true, 1);
    EXPECT_EQ(3, RunRepair(*Scanner));
    EXPECT_EQ(3, Scanner->LastRepair.Count(TOutcome::Refused));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Pest", L"Run"));
    EXPECT_TRUE(PathExists(file));
}

TEST_F(SpyScanRepair, UncheckedRowsAreLeftAloneAndNotCounted)
{
    const std::wstring file = Files->MakeFile(L"pest.exe", 10);
    SetRegString(HKEY_CURRENT_USER, L"Software\\Pest", L"Run", L"x");
    TestCookie cookie("Cookie:tester@unchecked" + Pid() + ".trackerhub.test/");
    AddRow(L"HKEY_CURRENT_USER\\Software\\Pest", false, 0);
    AddRow(file, false, 1);
    AddRow(AnsiToWide(cookie.Url()), false, 3);
    EXPECT_EQ(0, RunRepair(*Scanner));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\Pest"));
    EXPECT_TRUE(PathExists(file));
    EXPECT_TRUE(cookie.Exists());
    EXPECT_EQ((std::vector<int>{0, 1, 3}),
              (std::vector<int>{List.ImageIndex(0), List.ImageIndex(1), List.ImageIndex(2)}));
}

TEST_F(SpyScanRepair, FilesAndFolders)
{
    const std::wstring file = Files->MakeFile(L"Favorites\\pest.dll", 10);
    const std::wstring noExtensionFile = Files->MakeFile(L"Favorites\\Pest\\pestdata", 10);
    const std::wstring empty = Files->MakeFolder(L"Favorites\\Empty");
    const std::wstring dotted = Files->MakeFolder(L"Favorites\\Pest 1.0");
    const std::wstring full = Files->MakeFolder(L"Favorites\\Full");
    Files->MakeFile(L"Favorites\\Full\\other.txt", 1);
    const std::wstring readOnly = Files->MakeFile(L"Favorites\\pestro.dll", 10);
    ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    auto scanner = MakeScanner({DefinitionText(
        "Pest", "Adware", "2", {PresentKey("Pest")},
        {"%favorites%\\pest.dll", "%favorites%\\Pest\\pestdata", "%favorites%\\pestro.dll", "%favorites%\\Absent\\gone.exe"},
        {"%favorites%\\Empty", "%favorites%\\Pest 1.0", "%favorites%\\Full"})});
    ASSERT_EQ(7, RunScan(*scanner));
    EXPECT_EQ(7, RunRepair(*scanner));
    EXPECT_FALSE(PathExists(file));
    EXPECT_FALSE(PathExists(noExtensionFile)) << "a file without an extension is still a file";
    EXPECT_FALSE(PathExists(readOnly)) << "a read-only file is no file in use";
    EXPECT_FALSE(PathExists(empty));
    EXPECT_FALSE(PathExists(dotted)) << "a folder with a dot in its name is still a folder";
    EXPECT_TRUE(PathExists(full)) << "only empty folders are removed";
    EXPECT_TRUE(PathExists(full + L"\\other.txt"));
    EXPECT_EQ(1, scanner->LastRepair.Count(TOutcome::Failed));
    for (int i = 0; i < List.Count(); ++i)
        EXPECT_EQ(7, List.ImageIndex(i)) << i;
}

TEST_F(SpyScanRepair, FileInUseIsLeftButCounted)
{
    const std::wstring file = Files->MakeFile(L"Favorites\\busy.exe", 10);
    HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    auto scanner = MakeScanner({DefinitionText("Busy", "Adware", "2", {PresentKey("Busy")}, {"%favorites%\\busy.exe"})});
    ASSERT_EQ(2, RunScan(*scanner));
    EXPECT_EQ(2, RunRepair(*scanner));
    CloseHandle(held);
    EXPECT_TRUE(PathExists(file));
    EXPECT_EQ(1, scanner->LastRepair.Count(TOutcome::InUse));
    EXPECT_EQ(7, List.ImageIndex(1));
}

TEST_F(SpyScanRepair, AFolderThatHeldAListedFileGoesOnceTheFileHasGone)
{
    const std::string key = PresentKey("Nest");
    const std::wstring folder = Files->MakeFolder(L"Favorites\\Nest");
    const std::wstring file = Files->MakeFile(L"Favorites\\Nest\\nest.exe", 10);
    auto scanner = MakeScanner(
        {DefinitionText("Nest", "Adware", "2", {key}, {"%favorites%\\Nest\\nest.exe"}, {"%favorites%\\Nest"})});
    ASSERT_EQ(3, RunScan(*scanner));
    EXPECT_EQ(3, RunRepair(*scanner));
    EXPECT_FALSE(PathExists(file));
    // The folder row came first, while the file was still in it; the next scan would not list the
    // folder again (its key is gone), so it is tried once more after the files.
    EXPECT_FALSE(PathExists(folder));
    EXPECT_TRUE(scanner->LastRepair.AllDone());
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\SpyTest\\Nest"));
    EXPECT_EQ(0, RunScan(*scanner));
}

TEST_F(SpyScanRepair, TrackingCookieRowRemovesItsCacheEntry)
{
    TestCookie cookie("Cookie:tester@remove" + Pid() + ".trackerhub.test/");
    TestCookie kept("Cookie:tester@keep" + Pid() + ".trackerhub.test/");
    auto scanner = MakeScanner({}, "remove" + Pid() + "=Remove me\r\nkeep" + Pid() + "=Keep me\r\n");
    RunScan(*scanner);
    for (int i = 0; i < List.Count(); ++i)
        List.SetChecked(i, Entry(i) == AnsiToWide(cookie.Url()));
    EXPECT_EQ(1, RunRepair(*scanner));
    EXPECT_FALSE(cookie.Exists());
    EXPECT_TRUE(kept.Exists());
}

TEST_F(SpyScanRepair, LinksNeverLeadToTheirTargets)
{
    ScratchFolder elsewhere(L"precious");
    const std::wstring targetFile = elsewhere.MakeFile(L"document.doc", 10);
    const std::wstring targetFolder = elsewhere.MakeFolder(L"EmptyAlbum");
    const std::wstring fileLink = Favorites + L"\\pest.exe";
    const std::wstring folderLink = Favorites + L"\\PestFolder";
    ASSERT_TRUE(MakeUnixSymlink(targetFile, fileLink));
    ASSERT_TRUE(MakeUnixSymlink(targetFolder, folderLink));

    SetRegString(HKEY_CURRENT_USER, L"Software\\Target\\Child", L"data", L"precious");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Target", L"top", L"precious");
    Registry->MakeCurrentUserLink(L"Software\\Pest", L"Software\\Target");
    ASSERT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Pest", L"top")) << "the link resolves";

    // Found through the links as a scan would find them.
    const std::string key = "HKEY_CURRENT_USER\\Software\\Pest";
    auto scanner = MakeScanner({DefinitionText("Linked", "Trojan", "5", {key + "|top", key}, {"%favorites%\\pest.exe"},
                                               {"%favorites%\\PestFolder"})});
    ASSERT_EQ(4, RunScan(*scanner));
    EXPECT_EQ(4, RunRepair(*scanner));

    EXPECT_TRUE(PathExists(targetFile));
    EXPECT_TRUE(PathExists(targetFolder));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Target", L"top"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Target\\Child", L"data"));
    // A link key is refused, never deleted: other programs may reach their keys through it.
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\Pest"));
    EXPECT_EQ(4, scanner->LastRepair.Count(TOutcome::Refused));
    RemoveUnixLink(fileLink);
    RemoveUnixLink(folderLink);
}

TEST_F(SpyScanRepair, NothingIsDeletedThroughAFolderLinkBelowTheMacroFolder)
{
    // The program's folder was made a link after the definitions were written: neither it nor the file
    // of the same name behind it is the pest's.
    ScratchFolder elsewhere(L"precious");
    const std::wstring precious = elsewhere.MakeFile(L"Hotbar\\Bin\\HotbarSA.exe", 10);
    const std::wstring link = Favorites + L"\\Hotbar";
    ASSERT_TRUE(MakeUnixSymlink(elsewhere / L"Hotbar", link));
    const std::string key = PresentKey("Hotbar");
    auto scanner = MakeScanner({DefinitionText("Hotbar", "Adware", "3", {key}, {"%favorites%\\Hotbar\\Bin\\HotbarSA.exe"},
                                               {"%favorites%\\Hotbar"})});
    ASSERT_EQ(3, RunScan(*scanner));
    EXPECT_EQ(3, RunRepair(*scanner));
    EXPECT_TRUE(PathExists(precious));
    EXPECT_EQ(2, scanner->LastRepair.Count(TOutcome::Refused));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\SpyTest\\Hotbar"));
    RemoveUnixLink(link);
}

TEST_F(SpyScanRepair, NothingIsDeletedBelowARegistryLinkOnTheWay)
{
    // A definition's key with its subkey, reached through HKCU\\Software\\Crawler made a link.
    SetRegString(HKEY_CURRENT_USER, L"Software\\Target\\Toolbar\\Child", L"data", L"precious");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Target\\Toolbar", L"top", L"precious");
    Registry->MakeCurrentUserLink(L"Software\\Crawler", L"Software\\Target");
    const std::string key = "HKEY_CURRENT_USER\\Software\\Crawler\\Toolbar";
    auto scanner = MakeScanner({DefinitionText("Crawler", "Adware", "3", {key, key + "|top"})});
    ASSERT_EQ(2, RunScan(*scanner));
    EXPECT_EQ(2, RunRepair(*scanner));
    EXPECT_EQ(2, scanner->LastRepair.Count(TOutcome::Refused));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Target\\Toolbar", L"top"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Target\\Toolbar\\Child", L"data"));
}

TEST_F(SpyScanRepair, AKeyNamedThroughTheSystemsOwnLinkIsRemovedWhereItLies)
{
    // A scratch link stands in for the CurrentControlSet that Windows keeps (under Wine a plain key).
    SetRegString(HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet001\\Services\\PestSvc", L"ImagePath", L"pest.sys");
    Registry->MakeLink(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet", L"SYSTEM\\ControlSet001");
    auto scanner = MakeScanner(
        {DefinitionText("PestSvc", "Trojan", "5", {"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\PestSvc"})});
    ASSERT_EQ(1, RunScan(*scanner));
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\PestSvc", Entry(0)) << "shown as written";
    EXPECT_EQ(1, RunRepair(*scanner));
    EXPECT_TRUE(scanner->LastRepair.AllDone());
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet001\\Services\\PestSvc"));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet001\\Services"));
}

TEST_F(SpyScanRepair, TenPacedStepsEvenWithNothingChecked)
{
    AddRow(L"HKEY_CURRENT_USER\\Software\\Nothing", false);
    ProgressRecorder recorder(Progress.Handle());
    Scanner->Pause = SystemPause();
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(0, RunRepair(*Scanner));
    const auto elapsed = std::chrono::steady_clock::now() - begin;
    EXPECT_EQ((std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90}), recorder.Positions);
    EXPECT_GE(elapsed, std::chrono::milliseconds(900));
    EXPECT_EQ(L"Removing threats", Status.Caption());
}
