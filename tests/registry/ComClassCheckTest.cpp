// COM class registrations: which server, icon and program-identifier subkeys are findings.
#include "RegistryFixture.h"

#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "common/SafeDelete.h"
#include "common/SystemFolders.h"
#include "registry/ClassesView.h"

namespace {

class ComClasses : public RegistryFixture {
protected:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        OnlyComAndTypeLibraries();
        Present = Files->MakeFile(L"present.exe", 10);
        Missing = *Files / L"missing.dll";
        MissingExe = *Files / L"missing.exe";
    }
    // HKEY_CLASSES_ROOT\CLSID\<name>\<sub> (below Wow6432Node for the 32-bit view) with a default value.
    void Class(const std::wstring& name, const std::wstring& sub, const std::wstring& data, bool view32 = false)
    {
        SetDefaultText(HKEY_CLASSES_ROOT, (view32 ? L"Wow6432Node\\CLSID\\" : L"CLSID\\") + name + L"\\" + sub, data);
    }
    std::wstring Present, Missing, MissingExe;
};

} // namespace

TEST_F(ComClasses, WhichSubkeysAreFindings)
{
    const std::wstring clsid = L"HKEY_CLASSES_ROOT\\CLSID\\";
    Class(L"{C01}", L"InprocServer32", L"gone.dll"); // bare name: no drive, never judged
    Class(L"{C02}", L"InprocServer32", Missing);
    Class(L"{C03}", L"InprocServer32", Missing);
    SetRegString(HKEY_CLASSES_ROOT, L"CLSID\\{C03}\\InprocServer32", L"ThreadingModel", L"Both");
    Class(L"{C04}", L"DefaultIcon", MissingExe + L",1");
    SetRegString(HKEY_CLASSES_ROOT, L"CLSID\\{C04}\\DefaultIcon", L"Other", L"x");
    Class(L"{C05}", L"DefaultIcon", Present + L",1"); // cut after ".exe" before the file test
    Class(L"{C06}", L"LocalServer32", L"\"" + Present + L"\" /automation");
    Class(L"{C07}", L"LocalServer32", MissingExe + L" C:\\file.txt"); // a second colon
    Class(L"{C08}", L"InprocServer32", L"%SystemRoot%\\brisfold-missing.dll");
    Class(L"{C09}", L"InprocServer32", L"%systemroot%\\brisfold-missing.dll");
    Class(L"{C10}", L"ProgID", L"");
    SetRegString(HKEY_CLASSES_ROOT, L"CLSID\\{C10}\\ProgID", L"Other", L"x");
    Class(L"{C11}", L"ProgID", L"");
    CreateRegKey(HKEY_CLASSES_ROOT, L"CLSID\\{C11}\\ProgID\\A");
    CreateRegKey(HKEY_CLASSES_ROOT, L"CLSID\\{C11}\\ProgID\\B");
    Class(L"{C12}", L"VersionIndependentProgID", L"Foo.Bar");
    CreateRegKey(HKEY_CLASSES_ROOT, L"CLSID\\{C13}\\Implemented Categories");
    SetRegValue(HKEY_CLASSES_ROOT, L"CLSID\\{C14}\\InprocServer32", L"", REG_DWORD, {1, 0, 0, 0});
    Class(L"{C15}", L"InprocServer32", L"Z:\\server\\missing.dll");
    Class(L"{C16}", L"InprocServer32", L"E:\\missing.dll");
    Class(L"{C17}", L"ToolboxBitmap32", L"  " + Missing + L", 1  ");
    Class(L"{C18}", L"InprocServer32", L"\"" + Missing + L"\"");
    // Empty, with a single subkey and only its default value: still a finding.
    Class(L"{C19}", L"ProgID", L"");
    CreateRegKey(HKEY_CLASSES_ROOT, L"CLSID\\{C19}\\ProgID\\Only");

    auto scanner = MakeScanner();
    // Z: is a network drive and E: a removable one; everything else is fixed.
    std::vector<std::wstring> asked;
    scanner->Hooks.DriveType = [&](const std::wstring& root) {
        asked.push_back(root);
        return root == L"Z:\\" ? UINT(DRIVE_REMOTE) : root == L"E:\\" ? UINT(DRIVE_REMOVABLE) : UINT(DRIVE_FIXED);
    };
    EXPECT_EQ(RunScan(*scanner), 8);
    const std::wstring expandedData = L"%SystemRoot%\\brisfold-missing.dll";
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          Row(L"Text 2", clsid + L"{C02}\\InprocServer32", L"N/A", Missing, 4),
                          Row(L"Text 2", clsid + L"{C03}\\InprocServer32", L"", Missing, 4),
                          Row(L"Text 3", clsid + L"{C04}\\DefaultIcon", L"", MissingExe + L",1", 4),
                          Row(L"Text 2", clsid + L"{C08}\\InprocServer32", L"N/A", expandedData, 4),
                          Row(L"Text 1", clsid + L"{C10}\\ProgID", L"N/A", L"", 4),
                          Row(L"Text 2", clsid + L"{C17}\\ToolboxBitmap32", L"N/A", Missing + L", 1", 4),
                          Row(L"Text 2", clsid + L"{C18}\\InprocServer32", L"N/A", L"\"" + Missing + L"\"", 4),
                          Row(L"Text 1", clsid + L"{C19}\\ProgID", L"N/A", L"", 4),
                      }));
    EXPECT_NE(std::find(asked.begin(), asked.end(), L"Z:\\"), asked.end()) << "the network drive was asked about";
    EXPECT_EQ(Status.Caption(), L"Scanning Text 2");

    // The backup text: a key line and the default value with the data escaped, or the key line alone.
    const TWideStrings& lines = scanner->BackupLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], L"[" + clsid + L"{C02}\\InprocServer32]");
    EXPECT_EQ(lines[1], L"@=\"" + EscapeBackslashes(Missing) + L"\"");
    EXPECT_NE(std::find(lines.begin(), lines.end(), L"[" + clsid + L"{C10}\\ProgID]"), lines.end());
    EXPECT_EQ(lines.size(), 14u) << "six findings with a value line, two key lines alone";

    // The typed findings name what Repair deletes.
    const auto& findings = scanner->Findings();
    ASSERT_EQ(findings.size(), 8u);
    EXPECT_EQ(findings[0].Kind, TFindingKind::Key);
    EXPECT_EQ(Narrow(findings[0].KeyPath), "CLSID\\{C02}\\InprocServer32");
    EXPECT_EQ(findings[1].Kind, TFindingKind::Value);
    EXPECT_EQ(findings[1].ValueName, L"");
    EXPECT_EQ(findings[0].Root, HKEY_CLASSES_ROOT);
    EXPECT_EQ(findings[0].View, 0u);
}

TEST_F(ComClasses, RealDriveQueryJudgesTheSystemDrive)
{
    Class(L"{D1}", L"InprocServer32", Missing);
    Class(L"{D2}", L"InprocServer32", SystemFolder() + L"\\ole32.dll");
    auto scanner = MakeScanner();
    EXPECT_EQ(RunScan(*scanner), 1);
    EXPECT_EQ(RowOfKey(L"HKEY_CLASSES_ROOT\\CLSID\\{D1}\\InprocServer32"), 0);
}

TEST_F(ComClasses, ThirtyTwoBitViewJudgesPathsAsThirtyTwoBitProgramsSeeThem)
{
    // A file that only the 32-bit side holds, planted in the system's 32-bit folder for this test.
    const std::wstring wowFolder = SystemFolder32();
    ASSERT_FALSE(wowFolder.empty()) << "a 64-bit system has a 32-bit system folder";
    const std::wstring fileName = L"brisfold-" + TestProgramName() + L"-only32.dll";
    const std::wstring wowFile = wowFolder + L"\\" + fileName;
    (void)DeleteFileSafe(wowFile); // what a crashed run left
    WriteTextFile(wowFile, "32");
    const std::wstring asWritten = SystemFolder() + L"\\" + fileName;
    ASSERT_FALSE(FileExists(asWritten));

    Class(L"{W1}", L"InprocServer32", asWritten, true);                          // lies in SysWOW64
    Class(L"{W2}", L"InprocServer32", SystemFolder() + L"\\ole32.dll", true);      // only in System32
    Class(L"{W3}", L"InprocServer32", L"C:\\Program Files\\BrisfoldGone\\gone.dll", true);
    Class(L"{W1}", L"InprocServer32", asWritten); // the 64-bit view: System32 is System32
    ASSERT_EQ(ClassesViews(L"CLSID").size(), 2u);

    auto scanner = MakeScanner();
    EXPECT_EQ(RunScan(*scanner), 2);
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          Row(L"Text 2", L"HKEY_CLASSES_ROOT\\CLSID\\{W1}\\InprocServer32", L"N/A", asWritten, 4),
                          Row(L"Text 2", L"HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{W3}\\InprocServer32", L"N/A",
                              L"C:\\Program Files\\BrisfoldGone\\gone.dll", 4),
                      }));
    ASSERT_EQ(scanner->Findings().size(), 2u);
    EXPECT_TRUE(scanner->Findings()[1].ThirtyTwoBit);
    EXPECT_FALSE(scanner->Findings()[0].ThirtyTwoBit);
    EXPECT_EQ(Narrow(scanner->Findings()[1].KeyPath), "Wow6432Node\\CLSID\\{W3}\\InprocServer32");

    // Repair deletes each where it lives; the other view's key of the same name stays.
    Class(L"{W3}", L"InprocServer32", L"C:\\native.dll");
    RunRepair(*scanner);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Removed), 2);
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, L"Wow6432Node\\CLSID\\{W3}\\InprocServer32"));
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{W3}\\InprocServer32"));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{W1}\\InprocServer32"));
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, L"Wow6432Node\\CLSID\\{W1}\\InprocServer32"));
    EXPECT_EQ(TOutcome::Removed, DeleteFileSafe(wowFile));
}

TEST_F(ComClasses, NoThirtyTwoBitTwinNoSecondWalk)
{
    Class(L"{N1}", L"InprocServer32", Missing);
    ASSERT_EQ(ClassesViews(L"CLSID").size(), 1u);
    auto scanner = MakeScanner();
    EXPECT_EQ(RunScan(*scanner), 1);
    EXPECT_EQ(scanner->CountComEntries(), 1) << "the one class key, counted once";
}
