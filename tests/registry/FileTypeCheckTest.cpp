// File types below HKEY_CLASSES_ROOT (empty keys, default icons, shell keys and verb commands),
// per-user extension keys that carry nothing, and empty machine class keys.
#include "RegistryFixture.h"

#include "common/Kelvor_Routine.h"
#include "common/SafeDelete.h"
#include "ui/Create.h"

namespace {

const std::wstring kClasses = L"HKEY_CLASSES_ROOT\\";
const std::wstring kFileExts = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";

class FileTypes : public RegistryFixture {
protected:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        Present = Files->MakeFile(L"present.exe", 4);
        Missing = *Files / L"missing.exe";
        ExistingFolder = Files->MakeFolder(L"Tools");
    }
    std::wstring Present, Missing, ExistingFolder;
};

} // namespace

TEST_F(FileTypes, WhichClassKeysAreFindings)
{
    OnlyCategories({L"Filetypes"});
    // Keys with nothing in them.
    SetDefaultText(HKEY_CLASSES_ROOT, L".named", L"txtfile");
    CreateRegKey(HKEY_CLASSES_ROOT, L".empty");
    SetDefaultText(HKEY_CLASSES_ROOT, L".emptydefault", L"");
    SetRegString(HKEY_CLASSES_ROOT, L".othervalue", L"Content Type", L"text/plain");
    SetRegValue(HKEY_CLASSES_ROOT, L".number", L"", REG_DWORD, {1, 0, 0, 0});
    CreateRegKey(HKEY_CLASSES_ROOT, L".number\\shell"); // passed over whole: its default is no text
    // Default icons.
    SetDefaultText(HKEY_CLASSES_ROOT, L"IconOnly\\DefaultIcon", Missing + L",1");
    SetDefaultText(HKEY_CLASSES_ROOT, L"IconTwoValues\\DefaultIcon", Missing);
    SetRegString(HKEY_CLASSES_ROOT, L"IconTwoValues\\DefaultIcon", L"Size", L"32");
    CreateRegKey(HKEY_CLASSES_ROOT, L"IconTwoValues\\CLSID");
    SetDefaultText(HKEY_CLASSES_ROOT, L"IconPresent\\DefaultIcon", L"\"" + Present + L"\",0");
    SetDefaultText(HKEY_CLASSES_ROOT, L"IconShare\\DefaultIcon", L"Z:\\icons\\gone.ico");
    SetDefaultText(HKEY_CLASSES_ROOT, L"IconNoExtension\\DefaultIcon", *Files / L"gone,3");
    CreateRegKey(HKEY_CLASSES_ROOT, L"IconEmpty\\DefaultIcon");
    CreateRegKey(HKEY_CLASSES_ROOT, L"IconEmpty\\CLSID");
    SetDefaultText(HKEY_CLASSES_ROOT, L"IconFolder\\DefaultIcon", ExistingFolder);
    // Shell keys.
    CreateRegKey(HKEY_CLASSES_ROOT, L"ShellEmpty\\shell");
    SetDefaultText(HKEY_CLASSES_ROOT, L"ShellEmpty\\DefaultIcon", Present);
    SetDefaultText(HKEY_CLASSES_ROOT, L".shellext", L"");
    CreateRegKey(HKEY_CLASSES_ROOT, L".shellext\\Shell");
    SetDefaultText(HKEY_CLASSES_ROOT, L".shellnamed", L"namedfile");
    CreateRegKey(HKEY_CLASSES_ROOT, L".shellnamed\\shell");
    // Verb commands.
    const std::wstring verbs = L"Verbs\\shell\\";
    SetDefaultText(HKEY_CLASSES_ROOT, verbs + L"open\\command", L"\"" + Missing + L"\" \"%1\"");
    SetDefaultText(HKEY_CLASSES_ROOT, verbs + L"edit\\command", L"\"" + Present + L"\" \"%1\"");
    SetDefaultText(HKEY_CLASSES_ROOT, verbs + L"explore\\command", ExistingFolder);
    SetDefaultText(HKEY_CLASSES_ROOT, verbs + L"print\\command", Missing + L" C:\\file.txt"); // a second colon
    SetDefaultText(HKEY_CLASSES_ROOT, verbs + L"tool\\command", *Files / L"tool %1");
    SetDefaultText(HKEY_CLASSES_ROOT, verbs + L"script\\command", *Files / L"run.cmd %1"); // a dot, no mark
    SetDefaultText(HKEY_CLASSES_ROOT, verbs + L"share\\command", L"Z:\\gone.exe %1");
    SetDefaultText(HKEY_CLASSES_ROOT, verbs + L"rundll\\command", L"rundll32.exe gone.dll,Entry %1");
    SetDefaultText(HKEY_CLASSES_ROOT, verbs + L"quotes\\command", L"\"" + *Files / L"tool" + L"\" \"%1\" \"%2\"");

    auto scanner = MakeScannerWithDrives();
    EXPECT_EQ(RunScan(*scanner), 9);
    std::vector<std::string> rows = Rows();
    std::sort(rows.begin(), rows.end());
    std::vector<std::string> expected{
        Row(L"Text 1", kClasses + L".empty", L"N/A", L"", 4),
        Row(L"Text 1", kClasses + L".emptydefault", L"N/A", L"", 4),
        // All the class key holds: the whole class key goes.
        Row(L"Text 11", kClasses + L"IconOnly", L"N/A", Missing + L",1", 5),
        Row(L"Text 11", kClasses + L"IconTwoValues\\DefaultIcon", L"", Missing, 5),
        Row(L"Text 11", kClasses + L"IconEmpty\\DefaultIcon", L"N/A", L"", 4),
        Row(L"Text 12", kClasses + L"ShellEmpty\\shell", L"N/A", L"", 4),
        Row(L"Text 12", kClasses + L".shellext", L"N/A", L"", 4),
        Row(L"Text 12", kClasses + verbs + L"open\\command", L"", L"\"" + Missing + L"\" \"%1\"", 5),
        Row(L"Text 12", kClasses + verbs + L"tool\\command", L"", *Files / L"tool %1", 5),
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(Status.Caption(), L"Scanning Text 11");

    // The key line names the default-icon key even where the whole class key is listed.
    const TWideStrings& lines = scanner->BackupLines();
    const auto at = std::find(lines.begin(), lines.end(), L"[" + kClasses + L"IconOnly\\DefaultIcon]");
    ASSERT_NE(at, lines.end());
    ASSERT_NE(at + 1, lines.end());
    EXPECT_EQ(*(at + 1), L"@=\"" + EscapeBackslashes(Missing) + L",1\"");
    EXPECT_NE(std::find(lines.begin(), lines.end(), L"[" + kClasses + L".shellext\\Shell]"), lines.end());

    // Repair deletes the class key that held only the broken icon, and only the default value where
    // the icon key holds more.
    RunRepair(*scanner);
    EXPECT_TRUE(scanner->LastRepair.AllDone());
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, L"IconOnly"));
    EXPECT_TRUE(RegValueExists(HKEY_CLASSES_ROOT, L"IconTwoValues\\DefaultIcon", L"Size"));
    EXPECT_FALSE(RegValueExists(HKEY_CLASSES_ROOT, L"IconTwoValues\\DefaultIcon", L""));
}

TEST_F(FileTypes, AClassKeyGoneDuringTheWalkIsNeitherListedNorMadeAgain)
{
    OnlyCategories({L"Filetypes", L"Classes"});
    SetDefaultText(HKEY_CLASSES_ROOT, L"Keeper", L"kept");
    CreateRegKey(HKEY_CLASSES_ROOT, L"Vanishing");
    SetDefaultText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Keeper", L"kept");
    auto scanner = MakeScanner();
    AtNextPump([] { ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CLASSES_ROOT, L"Vanishing")); });
    EXPECT_EQ(RunScan(*scanner), 0);
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, L"Vanishing"));
}

TEST_F(FileTypes, ExtensionKeysThatCarryNothing)
{
    OnlyCategories({L"Fileextend"});
    SetRegString(HKEY_CURRENT_USER, kFileExts + L".values", L"Application", L"notepad.exe"); // no subkeys
    CreateRegKey(HKEY_CURRENT_USER, kFileExts + L".oneempty\\OpenWithList");
    SetDefaultText(HKEY_CURRENT_USER, kFileExts + L".onedefault\\OpenWithList", L"");
    SetRegString(HKEY_CURRENT_USER, kFileExts + L".onevalue\\OpenWithList", L"a", L"notepad.exe");
    SetRegString(HKEY_CURRENT_USER, kFileExts + L".onedefaulttext\\OpenWithList", L"", L"x");
    SetRegValue(HKEY_CURRENT_USER, kFileExts + L".onenumber\\OpenWithList", L"", REG_DWORD, {0, 0, 0, 0});
    CreateRegKey(HKEY_CURRENT_USER, kFileExts + L".two\\OpenWithList");
    CreateRegKey(HKEY_CURRENT_USER, kFileExts + L".two\\OpenWithProgids");
    CreateRegKey(HKEY_CURRENT_USER, kFileExts + L".nested\\OpenWithList\\Inner");
    Registry->MakeCurrentUserLink(kFileExts + L".dangling", L"Software\\NoSuchKey");

    auto scanner = MakeScanner();
    EXPECT_EQ(RunScan(*scanner), 3);
    const std::wstring key = L"HKEY_CURRENT_USER\\" + kFileExts;
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          Row(L"Text 8", key + L".onedefault", L"N/A", L"", 4),
                          Row(L"Text 8", key + L".oneempty", L"N/A", L"", 4),
                          Row(L"Text 8", key + L".values", L"N/A", L"", 4),
                      }));
    // The key line names the empty subkey; the row deletes the extension key.
    EXPECT_EQ(scanner->BackupLines(), (TWideStrings{L"[" + key + L".onedefault\\OpenWithList]",
                                                    L"[" + key + L".oneempty\\OpenWithList]",
                                                    L"[" + key + L".values]"}));
    EXPECT_EQ(Status.Caption(), L"Scanning Text 8");
}

TEST_F(FileTypes, EmptyMachineClassKeys)
{
    OnlyCategories({L"Classes"});
    const std::wstring classes = L"SOFTWARE\\Classes\\";
    CreateRegKey(HKEY_LOCAL_MACHINE, classes + L"Empty");
    SetDefaultText(HKEY_LOCAL_MACHINE, classes + L"EmptyDefault", L""); // a value, even if empty
    CreateRegKey(HKEY_LOCAL_MACHINE, classes + L"WithKey\\Inner");
    auto scanner = MakeScanner();
    EXPECT_EQ(scanner->CountMachineClasses(), 3);
    BarWatch bar(Progress.Handle());
    EXPECT_EQ(RunScan(*scanner), 1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          Row(L"Text 1", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Empty", L"N/A", L"", 4)}));
    EXPECT_EQ(Status.Caption(), L"Scanning Text 1");
    EXPECT_EQ(bar.Steps, 3 + 1 + 1) << "one per class key, the margin and one";
}

TEST_F(FileTypes, WhereTheClassesRootShowsTheMachineClassesBothChecksListOneKey)
{
    // As under Wine: HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\Software\Classes.
    TRegKey machineClasses;
    ASSERT_EQ(ERROR_SUCCESS, machineClasses.Create(HKEY_LOCAL_MACHINE, L"Software\\Classes", KEY_ALL_ACCESS));
    ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CLASSES_ROOT, machineClasses.Handle()));
    SetRegString(HKEY_CLASSES_ROOT, L"BrisfoldScratchSentinel", L"scratch", L"1");
    CreateRegKey(HKEY_CLASSES_ROOT, L"Leftover");
    ASSERT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Leftover"));
    OnlyCategories({L"Filetypes", L"Classes"});

    auto scanner = MakeScanner();
    EXPECT_EQ(RunScan(*scanner), 2);
    EXPECT_EQ(RowKeys(), (std::vector<std::wstring>{L"HKEY_CLASSES_ROOT\\Leftover",
                                                    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Leftover"}));
    const auto& findings = scanner->Findings();
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(findings[0].HiveRoot, HKEY_LOCAL_MACHINE) << "both rows name the same key where it lives";
    EXPECT_EQ(findings[1].HiveRoot, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(Narrow(findings[0].HivePath), "Software\\Classes\\Leftover");
    EXPECT_EQ(Narrow(findings[1].HivePath), "Software\\Classes\\Leftover");

    RunRepair(*scanner);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Removed), 1);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::AlreadyGone), 1);
    EXPECT_TRUE(scanner->LastRepair.AllDone());
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Leftover"));
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
}

TEST(FileTypesInAPrefix, TheClassesRootIsTheMachineClassesAndOneRepairServesBothRows)
{
    // This test works in the prefix's real registry, on a key of its own only.
    ASSERT_FALSE(RegKeyExists(HKEY_CURRENT_USER, L"BrisfoldScratchSentinel")) << "this test needs the real roots";
    const std::wstring name = L"BrisfoldLeftover_" + TestProgramName();
    const std::wstring path = L"Software\\Classes\\" + name;
    (void)DeleteRegTreeSafe(HKEY_LOCAL_MACHINE, path); // what a crashed run left
    CreateRegKey(HKEY_LOCAL_MACHINE, path);
    ASSERT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, name)) << "Wine shows the machine's classes as the classes root";

    InitControls();
    const HWND host = CreateHostWindow();
    TControlArgs args;
    args.Parent = host;
    TLabel status;
    TProgressBar progress;
    status.Create(args);
    progress.Create(args);
    TScanRegistry scanner(RegistryTexts());
    scanner.Recorder.Reset();
    scanner.ScanFileTypes(status, progress);
    scanner.ScanEmptyClasses(status, progress);
    DestroyWindow(host);

    std::vector<const TRegFinding*> ours;
    for (const TRegFinding& finding : scanner.Findings())
        if (finding.KeyText.size() >= name.size() &&
            finding.KeyText.compare(finding.KeyText.size() - name.size(), name.size(), name) == 0)
            ours.push_back(&finding);
    ASSERT_EQ(ours.size(), 2u);
    EXPECT_EQ(ours[0]->KeyText, L"HKEY_CLASSES_ROOT\\" + name);
    EXPECT_EQ(ours[1]->KeyText, L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\" + name);
    for (const TRegFinding* finding : ours) {
        ASSERT_EQ(finding->HiveRoot, HKEY_LOCAL_MACHINE);
        ASSERT_EQ(finding->HivePath, path) << "only the test's own key is deleted";
        ASSERT_EQ(finding->Kind, TFindingKind::Key);
    }
    EXPECT_EQ(TScanRegistry::RemoveFinding(*ours[0]), TOutcome::Removed);
    EXPECT_EQ(TScanRegistry::RemoveFinding(*ours[1]), TOutcome::AlreadyGone);
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, path));
}
