// Every kind of registry finding carries the language line of the check that found it: one small
// planted entry per check family, one finding, its item name by position in "M_RegistryScan".
#include "RegistryFixture.h"

#include "common/AppFrame.h"
#include "common/IniFile.h"
#include "common/SystemFolders.h"
#include "registry/RegistryTexts.h"
#include "support/ShellFolders.h"

#include <ostream>

namespace {

const std::wstring kVersion = L"Software\\Microsoft\\Windows\\CurrentVersion\\";
const std::wstring kExplorer = kVersion + L"Explorer\\";

class FindingLabels;

// The finding a planted entry gives: its key column and its value column ("N/A" for a whole key).
struct TPlanted {
    std::wstring Key;
    std::wstring Value;
};

struct TLabelCase {
    const char* Name;
    // The one "RegistryOpt" category switched on.
    const wchar_t* Category;
    int Line;
    // The English wording of that line, so that the positions of the language file are held too.
    const wchar_t* English;
    TPlanted (*Plant)(FindingLabels& test);
};

void PrintTo(const TLabelCase& c, std::ostream* out) { *out << c.Name; }

class FindingLabels : public RegistryFixture, public testing::WithParamInterface<TLabelCase> {
public:
    std::wstring Gone(const std::wstring& name) const { return *Files / name; }
    std::wstring Folder(const std::wstring& name) const { return Files->MakeFolder(name); }
};

// "M_RegistryScan" of a shipped language file, as the program reads its lines.
TWideStrings LanguageLines(const wchar_t* language)
{
    const std::wstring program = ProgramFileName();
    const std::wstring file = program.substr(0, program.rfind(L'\\')) + L"\\Language\\" + language + L".lng";
    TWideStrings lines = TIniFile(file).ReadSectionLines(L"M_RegistryScan");
    for (std::wstring& line : lines)
        line = LineValue(line);
    return lines;
}

const TLabelCase kCases[] = {
    {"ComServerNamingAGoneFile", L"Active", RegText::ComEntry, L"Invalid ActiveX/COM entry",
     [](FindingLabels& t) -> TPlanted {
         // Only its default value: the whole subkey is the finding, and it is not empty.
         SetDefaultText(HKEY_CLASSES_ROOT, L"CLSID\\{1AB}\\InprocServer32", t.Gone(L"gone.dll"));
         return {L"HKEY_CLASSES_ROOT\\CLSID\\{1AB}\\InprocServer32", L"N/A"};
     }},
    {"ComServerWithMoreValues", L"Active", RegText::ComEntry, L"Invalid ActiveX/COM entry",
     [](FindingLabels& t) -> TPlanted {
         SetDefaultText(HKEY_CLASSES_ROOT, L"CLSID\\{1AB}\\LocalServer32", t.Gone(L"gone.exe"));
         SetRegString(HKEY_CLASSES_ROOT, L"CLSID\\{1AB}\\LocalServer32", L"ThreadingModel", L"Both");
         return {L"HKEY_CLASSES_ROOT\\CLSID\\{1AB}\\LocalServer32", L""};
     }},
    {"ComDefaultIcon", L"Active", RegText::ComIcon, L"Invalid COM default icon",
     [](FindingLabels& t) -> TPlanted {
         SetDefaultText(HKEY_CLASSES_ROOT, L"CLSID\\{1AB}\\DefaultIcon", t.Gone(L"gone.exe") + L",1");
         return {L"HKEY_CLASSES_ROOT\\CLSID\\{1AB}\\DefaultIcon", L"N/A"};
     }},
    {"ComEmptySubkey", L"Active", RegText::EmptyKey, L"Empty registry key",
     [](FindingLabels&) -> TPlanted {
         SetDefaultText(HKEY_CLASSES_ROOT, L"CLSID\\{1AB}\\ProgID", L"");
         return {L"HKEY_CLASSES_ROOT\\CLSID\\{1AB}\\ProgID", L"N/A"};
     }},
    {"TypeLibraryFile", L"Active", RegText::ComEntry, L"Invalid ActiveX/COM entry",
     [](FindingLabels& t) -> TPlanted {
         SetDefaultText(HKEY_CLASSES_ROOT, L"TypeLib\\{2CD}\\1.0\\0\\win32", t.Gone(L"gone.tlb"));
         return {L"HKEY_CLASSES_ROOT\\TypeLib\\{2CD}\\1.0\\0", L"N/A"};
     }},
    {"TypeLibraryHelpFolder", L"Active", RegText::ComEntry, L"Invalid ActiveX/COM entry",
     [](FindingLabels& t) -> TPlanted {
         SetDefaultText(HKEY_CLASSES_ROOT, L"TypeLib\\{2CD}\\1.0\\HELPDIR", t.Gone(L"nohelp"));
         return {L"HKEY_CLASSES_ROOT\\TypeLib\\{2CD}\\1.0\\HELPDIR", L"N/A"};
     }},
    {"TypeLibraryEmptyKey", L"Active", RegText::EmptyKey, L"Empty registry key",
     [](FindingLabels&) -> TPlanted {
         SetDefaultText(HKEY_CLASSES_ROOT, L"TypeLib\\{2CD}\\1.0\\HELPDIR", L"");
         return {L"HKEY_CLASSES_ROOT\\TypeLib\\{2CD}\\1.0\\HELPDIR", L"N/A"};
     }},
    {"ApplicationPath", L"App", RegText::AppPath, L"Invalid application path",
     [](FindingLabels& t) -> TPlanted {
         SetDefaultText(HKEY_LOCAL_MACHINE, kVersion + L"App Paths\\gone.exe", t.Gone(L"gone.exe"));
         return {L"HKEY_LOCAL_MACHINE\\" + kVersion + L"App Paths\\gone.exe", L""};
     }},
    {"FileTypeIcon", L"Filetypes", RegText::FileTypeIcon, L"Invalid file type icon",
     [](FindingLabels& t) -> TPlanted {
         SetDefaultText(HKEY_CLASSES_ROOT, L"GoneIcon\\DefaultIcon", t.Gone(L"gone.exe") + L",1");
         return {L"HKEY_CLASSES_ROOT\\GoneIcon", L"N/A"};
     }},
    {"FileTypeCommand", L"Filetypes", RegText::FileTypeCommand, L"Invalid file type command",
     [](FindingLabels& t) -> TPlanted {
         const std::wstring command = L"\"" + t.Gone(L"gone.exe") + L"\" \"%1\"";
         SetDefaultText(HKEY_CLASSES_ROOT, L"GoneVerb\\shell\\open\\command", command);
         return {L"HKEY_CLASSES_ROOT\\GoneVerb\\shell\\open\\command", L""};
     }},
    {"FileTypeEmptyShell", L"Filetypes", RegText::FileTypeCommand, L"Invalid file type command",
     [](FindingLabels&) -> TPlanted {
         CreateRegKey(HKEY_CLASSES_ROOT, L"NoVerbs\\shell");
         SetDefaultText(HKEY_CLASSES_ROOT, L"NoVerbs\\DefaultIcon", SystemFolder() + L"\\notepad.exe");
         return {L"HKEY_CLASSES_ROOT\\NoVerbs\\shell", L"N/A"};
     }},
    {"FileTypeEmptyKey", L"Filetypes", RegText::EmptyKey, L"Empty registry key",
     [](FindingLabels&) -> TPlanted {
         CreateRegKey(HKEY_CLASSES_ROOT, L".brisfoldempty");
         return {L"HKEY_CLASSES_ROOT\\.brisfoldempty", L"N/A"};
     }},
    {"Font", L"Fonts", RegText::Font, L"Invalid font entry",
     [](FindingLabels& t) -> TPlanted {
         const std::wstring fonts = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
         SetRegString(HKEY_LOCAL_MACHINE, fonts, L"Gone (TrueType)", t.Gone(L"gone.ttf"));
         return {L"HKEY_LOCAL_MACHINE\\" + fonts, L"Gone (TrueType)"};
     }},
    {"HelpFile", L"Help", RegText::HelpFile, L"Invalid help file",
     [](FindingLabels& t) -> TPlanted {
         SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\Help", L"gone.hlp", t.Folder(L"help"));
         return {L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\Help\\", L"gone.hlp"};
     }},
    {"HtmlHelpFile", L"Help", RegText::HelpFile, L"Invalid help file",
     [](FindingLabels& t) -> TPlanted {
         SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\Html Help", L"gone.chm",
                      t.Folder(L"help"));
         return {L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\Html Help\\", L"gone.chm"};
     }},
    {"FileDialogHistory", L"History", RegText::FileHistory, L"Obsolete file history entry",
     [](FindingLabels&) -> TPlanted {
         SetRegString(HKEY_CURRENT_USER, kExplorer + L"ComDlg32\\LastVisitedMRU", L"a", L"notepad.exe");
         return {L"HKEY_CURRENT_USER\\" + kExplorer + L"ComDlg32\\LastVisitedMRU", L"a"};
     }},
    {"OpenSaveHistory", L"History", RegText::FileHistory, L"Obsolete file history entry",
     [](FindingLabels&) -> TPlanted {
         SetRegString(HKEY_CURRENT_USER, kExplorer + L"ComDlg32\\OpenSaveMRU\\txt", L"a", L"C:\\notes.txt");
         return {L"HKEY_CURRENT_USER\\" + kExplorer + L"ComDlg32\\OpenSaveMRU\\txt", L"a"};
     }},
    {"SharedDll", L"Shared", RegText::SharedDll, L"Invalid shared DLL",
     [](FindingLabels& t) -> TPlanted {
         SetRegValue(HKEY_LOCAL_MACHINE, kVersion + L"SharedDlls", t.Gone(L"gone.dll"), REG_DWORD, {1, 0, 0, 0});
         return {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls",
                 t.Gone(L"gone.dll")};
     }},
    {"MenuOrderFolder", L"Shortcut", RegText::MenuOrder, L"Obsolete menu order entry",
     [](FindingLabels& t) -> TPlanted {
         const std::wstring programs = t.Folder(L"Documents and Settings\\User\\Start Menu\\Programs");
         SetRegString(HKEY_CURRENT_USER, kShellFoldersKey, L"Programs", programs);
         const std::wstring order = kExplorer + L"MenuOrder\\Start Menu\\Programs\\";
         SetRegValue(HKEY_CURRENT_USER, order + L"Uninstalled", L"Order", REG_BINARY, {8, 0});
         return {L"HKEY_CURRENT_USER\\" + order + L"Uninstalled", L"N/A"};
     }},
    {"EmptyUserSoftwareKey", L"Software", RegText::EmptyKey, L"Empty registry key",
     [](FindingLabels&) -> TPlanted {
         CreateRegKey(HKEY_CURRENT_USER, L"Software\\Left Behind");
         return {L"HKEY_CURRENT_USER\\Software\\Left Behind", L"N/A"};
     }},
    {"EmptyMachineSoftwareKey", L"Software", RegText::EmptyKey, L"Empty registry key",
     [](FindingLabels&) -> TPlanted {
         CreateRegKey(HKEY_LOCAL_MACHINE, L"Software\\Left Behind");
         return {L"HKEY_LOCAL_MACHINE\\Software\\Left Behind", L"N/A"};
     }},
    {"InstallerFolder", L"Software", RegText::InstallerFolder, L"Invalid installer folder",
     [](FindingLabels& t) -> TPlanted {
         SetRegString(HKEY_LOCAL_MACHINE, kVersion + L"Installer\\Folders", t.Gone(L"removed\\"), L"");
         return {L"HKEY_LOCAL_MACHINE\\" + kVersion + L"Installer\\Folders\\", t.Gone(L"removed\\")};
     }},
    {"UninstallEntry", L"Software", RegText::Uninstall, L"Obsolete uninstall entry",
     [](FindingLabels& t) -> TPlanted {
         SetRegString(HKEY_LOCAL_MACHINE, kVersion + L"Uninstall\\Gone", L"UninstallString",
                      L"\"" + t.Gone(L"gone.exe") + L"\" /uninstall");
         return {L"HKEY_LOCAL_MACHINE\\" + kVersion + L"Uninstall\\Gone", L"UninstallString"};
     }},
    {"SoundEvent", L"Sounds", RegText::Sound, L"Invalid sound event",
     [](FindingLabels& t) -> TPlanted {
         const std::wstring scheme = L"AppEvents\\Schemes\\Apps\\.Default\\Beep\\.Current";
         SetDefaultText(HKEY_CURRENT_USER, scheme, t.Gone(L"gone.wav"));
         return {L"HKEY_CURRENT_USER\\" + scheme, L""};
     }},
    // The start-menu order check is left out: as it is defined (an empty default value and no values at
    // all), no key gives it a finding.
    {"RunEntry", L"Startup", RegText::Startup, L"Invalid startup program",
     [](FindingLabels& t) -> TPlanted {
         SetRegString(HKEY_LOCAL_MACHINE, kVersion + L"Run", L"Gone", t.Gone(L"gone.exe"));
         return {L"HKEY_LOCAL_MACHINE\\" + kVersion + L"Run", L"Gone"};
     }},
    {"MuiCacheEntry", L"Mui", RegText::MuiCache, L"Obsolete MUI cache entry",
     [](FindingLabels& t) -> TPlanted {
         const std::wstring mui = L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";
         SetRegString(HKEY_CURRENT_USER, mui, t.Gone(L"gone.exe"), L"Gone Program");
         return {L"HKEY_CURRENT_USER\\" + mui + L"\\", t.Gone(L"gone.exe")};
     }},
    {"EmptyFileExtension", L"Fileextend", RegText::FileExtension, L"Invalid file extension",
     [](FindingLabels&) -> TPlanted {
         CreateRegKey(HKEY_CURRENT_USER, kExplorer + L"FileExts\\.brisfoldgone");
         return {L"HKEY_CURRENT_USER\\" + kExplorer + L"FileExts\\.brisfoldgone", L"N/A"};
     }},
    {"EmptyClass", L"Classes", RegText::EmptyKey, L"Empty registry key",
     [](FindingLabels&) -> TPlanted {
         CreateRegKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\BrisfoldEmpty");
         return {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\BrisfoldEmpty", L"N/A"};
     }},
    {"DeepValue", L"Openscan", RegText::DeepValue, L"Invalid path in a user value",
     [](FindingLabels&) -> TPlanted {
         // No hyphen in it: a path with one is never judged.
         SetRegString(HKEY_CURRENT_USER, L"Software\\Tool", L"Last", L"C:\\BrisfoldGone\\last.txt");
         return {L"HKEY_CURRENT_USER\\Software\\Tool", L"Last"};
     }},
    {"Driver", L"System", RegText::Driver, L"Invalid driver entry",
     [](FindingLabels&) -> TPlanted {
         const std::wstring drivers = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
         SetRegString(HKEY_LOCAL_MACHINE, drivers, L"midi9", L"");
         return {L"HKEY_LOCAL_MACHINE\\" + drivers + L"\\", L"midi9"};
     }},
};

} // namespace

TEST_P(FindingLabels, TheFindingCarriesItsChecksLine)
{
    const TLabelCase& c = GetParam();
    OnlyCategories({c.Category});
    const TPlanted planted = c.Plant(*this);
    auto scanner = MakeScanner();
    ASSERT_EQ(RunScan(*scanner), 1) << "rows: " << testing::PrintToString(Rows());

    const TRegFinding& finding = scanner->Findings().front();
    EXPECT_EQ(Narrow(finding.KeyText), Narrow(planted.Key));
    EXPECT_EQ(Narrow(finding.ValueText), Narrow(planted.Value));
    EXPECT_EQ(Narrow(finding.ItemName), "Text " + std::to_string(c.Line));
    // The list row, which the window, the console report and the JSON report read, says the same.
    ASSERT_EQ(List.Count(), 1);
    EXPECT_EQ(Narrow(List.Caption(0)), "Text " + std::to_string(c.Line));

    const TWideStrings english = LanguageLines(L"English");
    ASSERT_LT(static_cast<size_t>(c.Line), english.size());
    EXPECT_EQ(Narrow(english[static_cast<size_t>(c.Line)]), Narrow(c.English));
}

INSTANTIATE_TEST_SUITE_P(EveryCheck, FindingLabels, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<TLabelCase>& info) { return std::string(info.param.Name); });

// Both shipped languages have every line a finding or a status line uses, each with its own text.
TEST(FindingLabelLines, BothLanguagesHaveEveryLine)
{
    for (const wchar_t* language : {L"English", L"German"}) {
        SCOPED_TRACE(Narrow(language));
        const TWideStrings lines = LanguageLines(language);
        ASSERT_GT(lines.size(), static_cast<size_t>(RegText::Last));
        for (int line = 0; line <= RegText::Last; ++line)
            EXPECT_FALSE(lines[static_cast<size_t>(line)].empty()) << "line " << line;
    }
}
