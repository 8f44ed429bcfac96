// Loading the definitions at creation, and the path macros of file and folder entries.
#include "SpyScanFixture.h"

#include "common/AppFrame.h"
#include "common/CodePage.h"
#include "common/Exception.h"
#include "common/SystemFolders.h"
#include "spyware/PathMacros.h"
#include "support/ShellFolders.h"

#include <functional>

namespace {

class SpyScanLoad : public SpyScanTest {
protected:
    std::wstring Path() const { return *Files / L"Load.dbd"; }
    std::unique_ptr<TSpyScan> Load(const std::vector<std::pair<std::string, std::string>>& files)
    {
        WriteArchiveFiles(Path(), files);
        return std::make_unique<TSpyScan>(Path(), ScannerTexts());
    }
    static std::string MainDb(const std::string& third) { return "[Main]\r\nVersion=1\r\n" + third + "\r\n"; }
};

std::string RaisedText(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Exception& error) {
        return error.what();
    }
    return "(nothing raised)";
}

} // namespace

TEST_F(SpyScanLoad, EntriesFromFirstDefinitionOnAreTheDefinitionsInArchiveOrder)
{
    // Ten entries, FirstDefinition 2: entries 2 to 9, whatever their names; the two named files
    // are found wherever they stand.
    std::vector<std::pair<std::string, std::string>> files = {
        {"TrackingCookie.db", "doubleclick=Ad network\nstatcounter=Counter"},
        {"Main.db", MainDb("FirstDefinition=2")},
    };
    for (int i = 0; i < 8; ++i)
        files.emplace_back(i == 3 ? "Main.db.bak" : "Z" + std::to_string(9 - i) + ".txt",
                           "line 1\r\nline 2\rName=Threat " + std::to_string(i) + "\nlast");
    auto scanner = Load(files);
    EXPECT_EQ(2, scanner->FirstDefinition);
    ASSERT_EQ(8u, scanner->Definitions.size());
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ((TAnsiStrings{"line 1", "line 2", "Name=Threat " + std::to_string(i), "last"}),
                  scanner->Definitions[static_cast<size_t>(i)]);
    EXPECT_EQ((TAnsiStrings{"doubleclick=Ad network", "statcounter=Counter"}), scanner->CookieRules);
    EXPECT_EQ((TAnsiStrings{"[Main]", "Version=1", "FirstDefinition=2"}), scanner->MainLines);
    EXPECT_EQ(ScannerTexts(), scanner->Texts);
    EXPECT_EQ(10, scanner->Archive->FileCount()) << "the archive stays open";
}

TEST_F(SpyScanLoad, FirstDefinitionAtTheEndLoadsNoDefinitions)
{
    auto scanner = Load({{"Main.db", MainDb("x=2")}, {"TrackingCookie.db", ""}});
    EXPECT_TRUE(scanner->Definitions.empty());
    EXPECT_EQ(0, RunScan(*scanner));
}

TEST_F(SpyScanLoad, LoadingFailuresRaise)
{
    struct Case {
        const char* Name;
        std::vector<std::pair<std::string, std::string>> Files;
        std::string Message;
    };
    const std::string notFound = "File not found in archive, please reinstall the program.";
    const Case cases[] = {
        {"no Main.db", {{"TrackingCookie.db", ""}, {"A.def", ""}}, notFound},
        {"no TrackingCookie.db", {{"Main.db", MainDb("FirstDefinition=1")}, {"A.def", ""}}, notFound},
        {"not a number", {{"Main.db", MainDb("FirstDefinition=two")}, {"TrackingCookie.db", ""}},
         "'two' is not a valid integer value"},
        {"Main.db too short", {{"Main.db", "[Main]\r\nFirstDefinition=2\r\n"}, {"TrackingCookie.db", ""}},
         "List index out of bounds (2)"},
        {"beyond the entries", {{"Main.db", MainDb("FirstDefinition=3")}, {"TrackingCookie.db", ""}},
         "The definition database names a first definition (3) outside its 2 files, please reinstall the program."},
        {"negative", {{"Main.db", MainDb("FirstDefinition=-1")}, {"TrackingCookie.db", ""}},
         "The definition database names a first definition (-1) outside its 2 files, please reinstall the program."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteArchiveFiles(Path(), c.Files);
        EXPECT_EQ(c.Message, RaisedText([&] { TSpyScan scanner(Path(), ScannerTexts()); }));
    }
    EXPECT_EQ("Archive file missed, please reinstall the program.",
              RaisedText([&] { TSpyScan scanner(*Files / L"Absent.dbd", ScannerTexts()); }));
}

TEST_F(SpyScanLoad, ArchiveInAFolderOutsideTheCodePageOpens)
{
    const std::wstring folder = Files->MakeFolder(L"\x4E2D\x6587");
    WriteDefinitionArchive(folder + L"\\Def.dbd", {DefinitionText("A", "Adware", "1", {})});
    TSpyScan scanner(folder + L"\\Def.dbd", ScannerTexts());
    EXPECT_EQ(1u, scanner.Definitions.size());
}

TEST_F(SpyScanLoad, PathMacrosExpandInOrderWithExactCase)
{
    const std::wstring windows = WindowsFolder();
    const std::wstring system = SystemFolder();
    const std::wstring programFiles = system.substr(0, 3) + L"Program Files";
    const std::wstring user = UserName();
    SetUserShellFolder(L"Start Menu", L"U:\\Start Menu");
    SetUserShellFolder(L"Startup", L"U:\\Start Menu\\Programs\\Startup");
    SetUserShellFolder(L"Desktop", *Files / L"Desktop");
    SetUserShellFolder(L"Cookies", L"P:\\Profiles\\" + user + L"\\Cookies");
    SetCommonShellFolder(L"Common Programs", L"C:\\All\\Programs");
    SetCommonShellFolder(L"Common Start Menu", L"C:\\All\\Start Menu");
    SetCommonShellFolder(L"Common Favorites", L"C:\\All\\Favorites");
    SetCommonShellFolder(L"Common Desktop", L"C:\\All\\Desktop");
    Files->MakeFolder(L"Desktop");
    TAppFrame folders;
    const std::wstring desktop = folders.GetSpecialFolder(0x0000);
    ASSERT_FALSE(desktop.empty());

    struct Case {
        std::wstring Path, Expanded;
    };
    const Case cases[] = {
        {L"%program_files%\\Bar\\bar.exe", programFiles + L"\\Bar\\bar.exe"},
        {L"programfilesdir+\\Bar", programFiles + L"\\Bar"},
        {L"%programs%\\Bar", programFiles + L"\\Bar"},
        {L"%program_files%\\A;%program_files%\\B", programFiles + L"\\A;" + programFiles + L"\\B"},
        {L"%windows%\\bar.dll", windows + L"\\bar.dll"},
        {L"%WINDOWS%\\bar.dll", L"%WINDOWS%\\bar.dll"},
        {L"%system%\\bar.dll", system + L"\\bar.dll"},
        {L"%systemdrive%\\bar.dll", system + L"\\bar.dll"},
        {L"systemroot+\\bar.dll", system + L"\\bar.dll"},
        {L"%common_programs%\\Bar", L"C:\\All\\Programs\\Bar"},
        {L"commonprograms+\\Bar", L"C:\\All\\Programs\\Bar"},
        {L"%startmenu%\\Bar.lnk", L"U:\\Start Menu\\Bar.lnk"},
        {L"%common_startmenu%\\Bar.lnk", L"C:\\All\\Start Menu\\Bar.lnk"},
        {L"%desktopdirectory%\\Bar.lnk", desktop + L"\\Bar.lnk"},
        {L"desktopdir+\\Bar.lnk", desktop + L"\\Bar.lnk"},
        {L"%favorites%\\Bar.url", Favorites + L"\\Bar.url"},
        {L"%common_favorites%\\Bar.url", L"C:\\All\\Favorites\\Bar.url"},
        {L"%common_desktopdirectory%\\Bar.lnk", L"C:\\All\\Desktop\\Bar.lnk"},
        {L"startupfolder+\\Bar.lnk", L"U:\\Start Menu\\Programs\\Startup\\Bar.lnk"},
        {L"%profile%\\Bar", L"P:\\Profiles\\" + user + L"\\Bar"},
        {L"profilepath+\\Bar", L"P:\\Profiles\\" + user + L"\\Bar"},
        {L"C:\\Plain\\bar.exe", L"C:\\Plain\\bar.exe"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Narrow(c.Expanded), Narrow(ExpandPathMacros(c.Path, folders))) << Narrow(c.Path);
    EXPECT_EQ(Narrow(desktop), Narrow(*Files / L"Desktop")) << "desktop is redirected";
}

TEST_F(SpyScanLoad, MissingShellFolderValueMakesTheMacroDisappear)
{
    TAppFrame folders;
    EXPECT_EQ(L"\\Bar.lnk", ExpandPathMacros(L"%common_startmenu%\\Bar.lnk", folders));
    EXPECT_EQ(L"\\Bar.lnk", ExpandPathMacros(L"startupfolder+\\Bar.lnk", folders));
}
