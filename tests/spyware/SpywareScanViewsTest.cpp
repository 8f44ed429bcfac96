// Traces of 32-bit programs on 64-bit Windows, found where they really are and removed only there;
// registry paths used exactly as written.
#include "SpyScanFixture.h"

#include "common/CodePage.h"
#include "common/Paths.h"
#include "common/Registry.h"

namespace {

std::string Narrow8(const std::wstring& text) { return WideToAnsi(text); }

class SpyScanViews : public SpyScanTest {
protected:
    // Rows as "entry|image".
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> rows;
        for (int i = 0; i < List.Count(); ++i)
            rows.push_back(Narrow(Entry(i)) + "|" + std::to_string(List.ImageIndex(i)));
        return rows;
    }
};

} // namespace

TEST_F(SpyScanViews, ThirtyTwoBitKeysAreFoundAtTheirRealPlace)
{
    // Only the 32-bit program's key exists for one vendor, both for the other, and the classes root
    // holds a 32-bit class.
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Pest32", L"Run", L"pest.exe");
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\PestBoth", L"Run", L"pest.exe");
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\PestBoth", L"Run", L"pest.exe");
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Neighbour", L"Keep", L"x");
    CreateRegKey(HKEY_CLASSES_ROOT, L"Wow6432Node\\CLSID\\{5EED5EED-0000-4000-8000-000000000032}");
    auto scanner = MakeScanner({DefinitionText(
        "Views", "Adware", "3",
        {"HKEY_LOCAL_MACHINE\\Software\\Pest32|Run", "HKEY_LOCAL_MACHINE\\Software\\PestBoth",
         "HKEY_CLASSES_ROOT\\CLSID\\{5EED5EED-0000-4000-8000-000000000032}"})});
    EXPECT_EQ(4, RunScan(*scanner));
    const std::vector<std::string> expected = {
        "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Pest32|Run|0",
        "HKEY_LOCAL_MACHINE\\Software\\PestBoth|0",
        "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\PestBoth|0",
        "HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{5EED5EED-0000-4000-8000-000000000032}|0",
    };
    EXPECT_EQ(expected, Entries());

    // The user keeps the native key: only the 32-bit rows go, each exactly where it was found.
    List.SetChecked(1, false);
    EXPECT_EQ(3, RunRepair(*scanner));
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Pest32", L"Run"));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Pest32")) << "only the value";
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\PestBoth"));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\PestBoth"));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Neighbour"));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, L"Wow6432Node\\CLSID\\{5EED5EED-0000-4000-8000-000000000032}"));
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, L"Wow6432Node\\CLSID"));
    EXPECT_EQ(3, scanner->LastRepair.Count(TOutcome::Removed));
}

TEST_F(SpyScanViews, AKeyBothViewsShareIsListedOnce)
{
    // The 32-bit place is a link to the native key, as many keys of a 64-bit system are.
    SetRegString(HKEY_CURRENT_USER, L"Software\\Shared\\Pest", L"Run", L"pest.exe");
    CreateRegKey(HKEY_CURRENT_USER, L"Software\\Wow6432Node");
    Registry->MakeCurrentUserLink(L"Software\\Wow6432Node\\Shared", L"Software\\Shared");
    auto scanner = MakeScanner({DefinitionText("Shared", "Adware", "3", {"HKEY_CURRENT_USER\\Software\\Shared\\Pest"})});
    EXPECT_EQ(1, RunScan(*scanner));
    EXPECT_EQ(std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\Shared\\Pest|0"}, Entries());
}

TEST_F(SpyScanViews, KeyPathsAreNeverCut)
{
    // A path whose first 255 characters end on a backslash: cut there, it would name its parent.
    const std::string parent = "Software\\" + std::string(244, 'P');
    const std::string entry = "HKEY_CURRENT_USER\\" + parent + "\\Tail";
    ASSERT_EQ('\\', ("\\" + parent + "\\Tail")[254]);
    CreateRegKey(HKEY_CURRENT_USER, AnsiToWide(parent + "\\Keep"));
    auto scanner = MakeScanner({DefinitionText("Long", "Trojan", "5", {entry})});
    EXPECT_EQ(0, RunScan(*scanner)) << "the parent is no finding";

    CreateRegKey(HKEY_CURRENT_USER, AnsiToWide(parent + "\\Tail"));
    ASSERT_EQ(1, RunScan(*scanner));
    EXPECT_EQ(1, RunRepair(*scanner));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, AnsiToWide(parent + "\\Tail")));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, AnsiToWide(parent + "\\Keep")));
}

TEST_F(SpyScanViews, FilesOfThirtyTwoBitProgramsAreFoundInProgramFilesX86)
{
    const std::wstring x86 = ProgramFilesFolder32();
    ASSERT_FALSE(x86.empty()) << "a 64-bit prefix has Program Files (x86)";
    // The test's own folder in the prefix's Program Files (x86), removed again afterwards (and
    // first, where a crashed run left it).
    const std::wstring folder = x86 + L"\\BrisfoldSpyTest-" + TestProgramName();
    RemoveTree(folder);
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring file = folder + L"\\pest32.exe";
    WriteTextFile(file, "MZ pest");
    const std::string name = Narrow8(folder.substr(x86.size() + 1));

    CreateRegKey(HKEY_CURRENT_USER, L"Software\\Pest32Files");
    auto scanner = MakeScanner({DefinitionText("Files32", "Adware", "3", {"HKEY_CURRENT_USER\\Software\\Pest32Files"},
                                               {"%program_files%\\" + name + "\\pest32.exe"},
                                               {"%program_files%\\" + name})});
    EXPECT_EQ(3, RunScan(*scanner));
    const std::vector<std::string> expected = {
        "HKEY_CURRENT_USER\\Software\\Pest32Files|0",
        Narrow(file) + "|1",
        Narrow(folder) + "|2",
    };
    EXPECT_EQ(expected, Entries());
    EXPECT_EQ(3, RunRepair(*scanner));
    EXPECT_FALSE(PathExists(file));
    // Rows are removed bottom-up, so the folder came first while it still held the file; it is
    // tried again once the file has gone.
    EXPECT_FALSE(PathExists(folder));
    EXPECT_EQ(3, scanner->LastRepair.Count(TOutcome::Removed));
}
