// Type-library registrations: library files, help folders and empty keys.
#include "RegistryFixture.h"

#include "common/Paths.h"
#include "common/SafeDelete.h"
#include "common/SystemFolders.h"

namespace {

class TypeLibraries : public RegistryFixture {
protected:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        OnlyComAndTypeLibraries();
        Present = Files->MakeFile(L"present.tlb", 10);
        Missing = *Files / L"missing.tlb";
        HelpFolder = Files->MakeFolder(L"help");
        DottedFolder = Files->MakeFolder(L"Help.Net");
    }
    void Default(const std::wstring& path, const std::wstring& data)
    {
        SetDefaultText(HKEY_CLASSES_ROOT, path, data);
    }
    std::wstring Present, Missing, HelpFolder, DottedFolder;
};

std::string Row(const std::wstring& item, const std::wstring& key, const std::wstring& data, int image)
{
    return Narrow(item + L"|HKEY_CLASSES_ROOT\\" + key + L"|N/A|" + data) + "|" + std::to_string(image) + "|checked";
}

} // namespace

TEST_F(TypeLibraries, WhichEntriesAreFindings)
{
    const std::wstring wowFile = SystemFolder32() + L"\\brisfold-" + TestProgramName() + L"-only32.tlb";
    (void)DeleteFileSafe(wowFile);
    WriteTextFile(wowFile, "32");
    const std::wstring wowAsWritten = SystemFolder() + L"\\brisfold-" + TestProgramName() + L"-only32.tlb";

    Default(L"TypeLib\\{L01}\\1.0\\0\\win32", Missing); // the locale holds only win32: the whole locale
    Default(L"TypeLib\\{L02}\\1.0\\0\\win32", Missing); // beside win64: win32 alone
    Default(L"TypeLib\\{L02}\\1.0\\0\\win64", Missing);
    Default(L"TypeLib\\{L03}\\1.0\\0\\win32", Present);
    Default(L"TypeLib\\{L04}\\1.0\\0\\win32", Missing); // holds another value
    SetRegString(HKEY_CLASSES_ROOT, L"TypeLib\\{L04}\\1.0\\0\\win32", L"Other", L"x");
    Default(L"TypeLib\\{L05}\\1.0\\0\\win32", L"");
    Default(L"TypeLib\\{L06}\\1.0\\0\\win32", L"Z:\\libs\\missing.tlb"); // network drive
    Default(L"TypeLib\\{L07}\\1.0\\HELPDIR", *Files / L"nohelp");
    Default(L"TypeLib\\{L08}\\1.0\\HELPDIR", HelpFolder);
    Default(L"TypeLib\\{L09}\\1.0\\HELPDIR", *Files / L"old.help\\sub"); // a dot without an extension's place
    Default(L"TypeLib\\{L10}\\1.0\\HELPDIR", L"");
    Default(L"TypeLib\\{L11}\\1.0\\FLAGS", L"0");
    CreateRegKey(HKEY_CLASSES_ROOT, L"TypeLib\\{L12}");
    Default(L"TypeLib\\{L13}\\1.0\\HELPDIR", DottedFolder); // exists, though its name ends like a file's
    Default(L"TypeLib\\{L14}\\1.0\\HELPDIR", L"%SystemRoot%\\brisfold-nohelp");
    Default(L"TypeLib\\{L15}\\1.0\\0\\win32", Missing); // holds a subkey
    CreateRegKey(HKEY_CLASSES_ROOT, L"TypeLib\\{L15}\\1.0\\0\\win32\\sub");
    Default(L"TypeLib\\{L16}\\1.0\\0\\win32", wowAsWritten); // a 32-bit library found where 32-bit programs look
    Default(L"TypeLib\\{L17}\\1.0\\HELPDIR", L"\"" + Files->Path() + L"\\\"quoted\"\\gone\""); // more than two quotes
    Default(L"TypeLib\\{L18}\\1.0\\0\\Win32", Missing + L",1"); // not ending in a dot and three characters

    auto scanner = MakeScanner();
    scanner->Hooks.DriveType = [](const std::wstring& root) {
        return root == L"Z:\\" ? UINT(DRIVE_REMOTE) : UINT(DRIVE_FIXED);
    };
    EXPECT_EQ(RunScan(*scanner), 6);
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          Row(L"Text 2", L"TypeLib\\{L01}\\1.0\\0", Missing, 5),
                          Row(L"Text 2", L"TypeLib\\{L02}\\1.0\\0\\win32", Missing, 5),
                          Row(L"Text 2", L"TypeLib\\{L05}\\1.0\\0", L"", 4),
                          Row(L"Text 2", L"TypeLib\\{L07}\\1.0\\HELPDIR", *Files / L"nohelp", 5),
                          Row(L"Text 1", L"TypeLib\\{L10}\\1.0\\HELPDIR", L"", 4),
                          Row(L"Text 2", L"TypeLib\\{L14}\\1.0\\HELPDIR", WindowsFolder() + L"\\brisfold-nohelp", 5),
                      }));
    const TWideStrings& lines = scanner->BackupLines();
    ASSERT_GE(lines.size(), 5u);
    // The key line names the platform key even where the whole locale is reported.
    EXPECT_EQ(lines[0], L"[HKEY_CLASSES_ROOT\\TypeLib\\{L01}\\1.0\\0\\win32]");
    EXPECT_EQ(lines[1], L"@=\"" + EscapeBackslashes(Missing) + L"\"");
    EXPECT_EQ(lines[4], L"[HKEY_CLASSES_ROOT\\TypeLib\\{L05}\\1.0\\0\\win32]");
    EXPECT_EQ(Status.Caption(), L"Scanning Text 2");
    EXPECT_EQ(TOutcome::Removed, DeleteFileSafe(wowFile));
}

TEST_F(TypeLibraries, ThirtyTwoBitTwinIsWalkedWhereItIsAKeyOfItsOwn)
{
    Default(L"Wow6432Node\\TypeLib\\{T1}\\1.0\\0\\win32", Missing);
    Default(L"TypeLib\\{T1}\\1.0\\0\\win64", Present);
    auto scanner = MakeScanner();
    EXPECT_EQ(scanner->CountComEntries(), 2) << "one library key in each view";
    EXPECT_EQ(RunScan(*scanner), 1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{Row(L"Text 2", L"Wow6432Node\\TypeLib\\{T1}\\1.0\\0", Missing, 5)}));
}
