// Checks of the shipped Def.dbd (the one next to the test program): every definition well formed,
// no entry that would remove a system folder or a generic registry key, and nothing found on a
// clean machine.
#include "SpyScanFixture.h"

#include "common/AppFrame.h"
#include "common/CodePage.h"
#include "common/Extinifiles.h"
#include "common/IniFile.h"
#include "common/SystemFolders.h"
#include "common/TextLines.h"
#include "spyware/PathMacros.h"
#include "spyware/archive/ZLIBArchive.h"
#include "ui/Create.h"

#include <shlobj.h>

#include <algorithm>
#include <set>

namespace {

const char* const kCategories[] = {"Adware", "Hijacker", "Homepage Hijacker", "Key Logger",
                                   "Spyware", "Trojan", "Backdoor"};
const char* const kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
const wchar_t* const kMacros[] = {
    L"%program_files%", L"programfilesdir+", L"%programs%", L"%windows%", L"%system%", L"%systemdrive%",
    L"systemroot+", L"%common_programs%", L"commonprograms+", L"%startmenu%", L"%common_startmenu%",
    L"%desktopdirectory%", L"desktopdir+", L"%favorites%", L"%common_favorites%", L"%common_desktopdirectory%",
    L"startupfolder+", L"%profile%", L"profilepath+"};

// Keys that hold other programs' entries too: a definition may name a value in them, never the
// whole key.
const char* const kGenericKeyNames[] = {
    "Software", "Microsoft", "Windows", "Windows NT", "CurrentVersion", "Run", "RunOnce", "RunOnceEx",
    "RunServices", "RunServicesOnce", "Explorer", "Policies", "Classes", "CLSID", "Interface", "TypeLib",
    "AppID", "Internet Explorer", "Main", "Toolbar", "Browser Helper Objects", "ShellExecuteHooks",
    "Uninstall", "Winlogon", "Notify", "Services", "CurrentControlSet", "ControlSet001", "Control",
    "Extensions", "SearchScopes", "SharedTaskScheduler", "ShellServiceObjectDelayLoad", "Shell Extensions",
    "Approved", "URLSearchHooks", "Settings", "Installer", "Internet Settings", "Zones", "Domains",
    "Protocols", "Handler", "Filter", "MenuExt", "Search", "User Agent", "Post Platform", "Shell Folders",
    "User Shell Folders", "Explorer Bars", "ActiveX Compatibility", "Code Store Database",
    "Distribution Units", "SharedDLLs", "App Paths", "Ext", "Stats", "PreApproved", "Styles", "Desktop",
    "Components", "Active Setup", "Installed Components", ".DEFAULT", "SYSTEM",
    "SOFTWARE", "Wow6432Node", "Environment", "Network", "Printers", "Control Panel", "Drivers32",
    "AppInit_DLLs", "Image File Execution Options", "Shell", "open", "command", "exefile", "txtfile",
    "htmlfile", "http", "https", "Winsock2", "Parameters", "Tcpip", "Protocol_Catalog9", "Namespace_Catalog5"};

std::wstring NormalFolder(std::wstring path)
{
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    if (path.size() == 2 && path[1] == L':')
        path += L'\\';
    CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

// Every folder that a definition must never name as a whole: the Windows and system folders,
// Program Files, the user's and the all-users shell folders, their parents, and the drive roots.
std::set<std::wstring> SystemFolders()
{
    TAppFrame frame;
    std::set<std::wstring> folders;
    auto add = [&](const std::wstring& path) {
        if (path.empty())
            return;
        std::wstring folder = NormalFolder(path);
        folders.insert(folder);
        // The parents of system folders (C:\users, C:\users\jo, ...) are just as precious.
        for (size_t slash = folder.rfind(L'\\'); slash != std::wstring::npos && slash > 2;
             slash = folder.rfind(L'\\', slash - 1))
            folders.insert(folder.substr(0, slash));
    };
    add(WindowsFolder());
    add(SystemFolder());
    add(TempFolder());
    add(SystemFolder().substr(0, 3) + L"Program Files");
    for (int kind = 0; kind <= 14; ++kind)
        add(frame.GetUserFolder(kind));
    for (int kind = 0; kind <= 4; ++kind)
        add(frame.GetCommonFolder(kind));
    for (int csidl = 0; csidl <= 0x3b; ++csidl)
        add(frame.GetSpecialFolder(csidl));
    for (wchar_t drive = L'A'; drive <= L'Z'; ++drive)
        folders.insert(std::wstring(1, drive) + L":\\");
    return folders;
}

const std::set<std::string>& GenericKeyNames()
{
    static const std::set<std::string> names = [] {
        std::set<std::string> upper;
        for (const char* name : kGenericKeyNames)
            upper.insert(AsciiUpper(name));
        return upper;
    }();
    return names;
}

std::string RegistryEntryProblem(const std::string& entry)
{
    const std::string keyPath = entry.substr(0, entry.find('|'));
    int roots = 0;
    bool leading = false;
    for (const char* root : kRootNames) {
        for (size_t at = keyPath.find(root); at != std::string::npos; at = keyPath.find(root, at + 1)) {
            ++roots;
            leading |= at == 0 && keyPath.size() > strlen(root) && keyPath[strlen(root)] == '\\';
        }
    }
    if (!leading)
        return "no root name and backslash at the start";
    if (roots != 1)
        return "more than one root name";
    const std::string subKey = keyPath.substr(keyPath.find('\\') + 1);
    if (subKey.empty() || subKey.back() == '\\' || subKey.find("\\\\") != std::string::npos)
        return "an empty key path part";
    if (entry.find('|') != std::string::npos) {
        if (entry.find('|') != entry.rfind('|'))
            return "more than one '|'";
        if (entry.substr(entry.rfind('|') + 1).empty())
            return "a value entry without a value name";
        return {};
    }
    // Below the classes root a program's own key (a ProgID) stands right below the root; below
    // the others only the system's own keys do.
    if (keyPath.rfind("HKEY_CLASSES_ROOT", 0) != 0 && subKey.find('\\') == std::string::npos)
        return "a whole key right below the root";
    // A key is generic when every part of its path is (SOFTWARE\Microsoft\...\Run); one part of the
    // program's own (SOFTWARE\Crawler\Toolbar) makes it the program's key.
    for (size_t start = 0; start <= subKey.size();) {
        const size_t slash = std::min(subKey.find('\\', start), subKey.size());
        if (!GenericKeyNames().count(AsciiUpper(subKey.substr(start, slash - start))))
            return {};
        start = slash + 1;
    }
    return "a generic whole key";
}

std::string PathProblem(const std::string& text, bool file, const std::set<std::wstring>& systemFolders,
                        const TAppFrame& frame)
{
    const std::wstring path = AnsiToWide(text);
    // What follows the last macro must be a backslash and a name.
    size_t end = 0;
    bool hasMacro = false;
    for (const wchar_t* macro : kMacros)
        for (size_t at = path.find(macro); at != std::wstring::npos; at = path.find(macro, at + 1)) {
            end = std::max(end, at + wcslen(macro));
            hasMacro = true;
        }
    if (!hasMacro && !(path.size() >= 3 && path[1] == L':' && path[2] == L'\\'))
        return "neither a macro nor a full path";
    const std::wstring rest = path.substr(hasMacro ? end : 2);
    if (rest.size() < 2 || rest[0] != L'\\' || rest.find_first_not_of(L'\\') == std::wstring::npos)
        return "no file or folder name after the folder";
    if (rest.find(L'%') != std::wstring::npos || rest.find(L'+') != std::wstring::npos)
        return "an unknown or misspelt macro";
    if (path.find(L"\\\\") != std::wstring::npos || path.back() == L'\\')
        return "an empty path part";
    const std::wstring expanded = ExpandPathMacros(path, frame);
    if (systemFolders.count(NormalFolder(expanded)))
        return "a system folder";
    // The removal takes a name without extension for a folder.
    if (file && expanded.substr(expanded.rfind(L'\\') + 1).find(L'.') == std::wstring::npos)
        return "a file name without extension";
    return {};
}

// What is wrong with one definition text; empty when it is well formed.
std::vector<std::string> DefinitionProblems(const TAnsiStrings& lines, const std::set<std::wstring>& systemFolders,
                                            const TAppFrame& frame)
{
    std::vector<std::string> problems;
    const std::wstring own = ExeFolder() + L"test_spyware.exe";
    TExtIniFile ini(own, lines);
    if (lines.size() < 3 || LineValue(lines[2]).empty())
        problems.push_back("no display name on line 3");
    TAnsiStrings keys;
    ini.ReadSection("Main", keys);
    if (keys.size() < 3) {
        problems.push_back("fewer than three Main entries");
    } else {
        const std::string category = ini.ReadString("Main", keys[0], "");
        if (std::find(std::begin(kCategories), std::end(kCategories), category) == std::end(kCategories))
            problems.push_back("unknown category '" + category + "'");
        if (ini.ReadString("Main", keys[1], "").empty())
            problems.push_back("no description");
        const std::string risk = ini.ReadString("Main", keys[2], "");
        if (!(risk.size() == 1 && risk[0] >= '1' && risk[0] <= '5'))
            problems.push_back("risk '" + risk + "' outside 1 to 5");
    }
    TAnsiStrings reg;
    ini.ReadSection("Reg", reg);
    if (reg.empty())
        problems.push_back("no registry entry: the definition can never list anything");
    for (const std::string& entry : reg)
        if (const std::string problem = RegistryEntryProblem(entry); !problem.empty())
            problems.push_back("[Reg] " + entry + ": " + problem);
    for (const char* section : {"File", "Folder"}) {
        TAnsiStrings paths;
        ini.ReadSection(section, paths);
        for (const std::string& path : paths)
            if (const std::string problem = PathProblem(path, section[1] == 'i', systemFolders, frame);
                !problem.empty())
                problems.push_back(std::string("[") + section + "] " + path + ": " + problem);
    }
    return problems;
}

std::vector<std::string> CookieRuleProblems(const TAnsiStrings& rules)
{
    std::vector<std::string> problems;
    std::vector<std::string> patterns;
    for (const std::string& line : rules) {
        if (line.empty())
            continue;
        const std::string name = LineName(line);
        if (name.size() < 5 || name.find('.') == std::string::npos)
            problems.push_back(line + ": not a distinctive domain");
        if (line.find('=') != line.rfind('=') || LineValue(line).empty() || line.find('=') == std::string::npos)
            problems.push_back(line + ": not domain=description");
        patterns.push_back(AsciiUpper(name));
    }
    for (size_t i = 0; i < patterns.size(); ++i)
        for (size_t j = 0; j < patterns.size(); ++j)
            if (i != j && !patterns[i].empty() && patterns[j].find(patterns[i]) != std::string::npos)
                problems.push_back(patterns[i] + " is part of " + patterns[j] + ": one cookie would be listed twice");
    return problems;
}

struct Definition {
    std::string Name; // stored file name
    TAnsiStrings Lines;
};

class DefinitionsCheck : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        TZLBArchive archive;
        ASSERT_TRUE(archive.OpenArchive(WideToAnsi(ExeFolder() + L"Def.dbd"))) << "Def.dbd next to the tests";
        archive.CheckCRC = true;
        TMemoryStream main;
        archive.ExtractStreamByName(main, "Main.db");
        MainLines = SplitLines(main.Text());
        TMemoryStream cookies;
        archive.ExtractStreamByName(cookies, "TrackingCookie.db");
        CookieLines = SplitLines(cookies.Text());
        Count = archive.FileCount();
        Defs.clear();
        for (int i = 2; i < Count; ++i) {
            TArchiveFileEntry entry;
            archive.GetFileEntry(i, entry);
            TMemoryStream stream;
            archive.ExtractStream(stream, i);
            Defs.push_back({EntryFullName(entry), SplitLines(stream.Text())});
        }
    }

    static inline TAnsiStrings MainLines;
    static inline TAnsiStrings CookieLines;
    static inline int Count = 0;
    static inline std::vector<Definition> Defs;
};

} // namespace

TEST_F(DefinitionsCheck, HeaderAndOrder)
{
    ASSERT_GE(MainLines.size(), 3u);
    EXPECT_EQ("2", LineValue(MainLines[2]));
    TSpyScan scanner(ExeFolder() + L"Def.dbd", ScannerTexts());
    EXPECT_EQ(2, scanner.FirstDefinition);
    EXPECT_EQ(static_cast<size_t>(Count - 2), scanner.Definitions.size());
    ASSERT_GE(Defs.size(), 50u) << "the whole database is shipped";
    for (const Definition& def : Defs)
        EXPECT_EQ(".def", def.Name.substr(def.Name.size() - 4)) << def.Name << " stands among the definitions";
    for (size_t i = 1; i < Defs.size(); ++i)
        EXPECT_LT(Defs[i - 1].Name, Defs[i].Name) << "definitions are packed sorted by name";
}

TEST_F(DefinitionsCheck, ShippedDefinitionsAreWellFormed)
{
    const std::set<std::wstring> system = SystemFolders();
    const TAppFrame frame;
    for (const Definition& def : Defs)
        EXPECT_EQ(std::vector<std::string>{}, DefinitionProblems(def.Lines, system, frame)) << def.Name;
    EXPECT_EQ(std::vector<std::string>{}, CookieRuleProblems(CookieLines));
    EXPECT_GE(CookieLines.size(), 10u);
}

TEST_F(DefinitionsCheck, CheckerCatchesMalformedDefinitions)
{
    const std::set<std::wstring> system = SystemFolders();
    const TAppFrame frame;
    const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Pest";
    struct Case {
        std::string Text;
        std::string Problem; // empty: well formed
    };
    const Case cases[] = {
        {DefinitionText("Pest", "Adware", "3", {key}, {"%windows%\\pest.exe"}, {"%program_files%\\Pest"}), ""},
        {DefinitionText("Pest", "Adware", "3", {"HKEY_CLASSES_ROOT\\Pest.Bar"}), ""},
        {DefinitionText("Pest", "Adware", "3", {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run|pest"}), ""},
        {"[D]\r\nId=x\r\nName=Pest\r\n\r\n[Main]\r\nCategory=Adware\r\nDescription=d\r\n\r\n[Reg]\r\n" + key + "=\r\n",
         "fewer than three Main entries"},
        {DefinitionText("Pest", "Adware", "6", {key}), "risk '6' outside 1 to 5"},
        {DefinitionText("Pest", "Adware", "x", {key}), "risk 'x' outside 1 to 5"},
        {DefinitionText("Pest", "adware", "3", {key}), "unknown category 'adware'"},
        {DefinitionText("Pest", "Adware", "3", {}), "no registry entry: the definition can never list anything"},
        {DefinitionText("Pest", "Adware", "3", {"SOFTWARE\\Pest"}), "no root name and backslash at the start"},
        {DefinitionText("Pest", "Adware", "3", {"HKEY_LOCAL_MACHINE"}), "no root name and backslash at the start"},
        {DefinitionText("Pest", "Adware", "3", {"HKEY_USERS\\x\\HKEY_LOCAL_MACHINE\\y"}), "more than one root name"},
        {DefinitionText("Pest", "Adware", "3", {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"}),
         "a generic whole key"},
        {DefinitionText("Pest", "Adware", "3", {"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Toolbar"}),
         "a generic whole key"},
        {DefinitionText("Pest", "Adware", "3", {"HKEY_LOCAL_MACHINE\\Pest"}), "a whole key right below the root"},
        {DefinitionText("Pest", "Adware", "3", {key + "|"}), "a value entry without a value name"},
        {DefinitionText("Pest", "Adware", "3", {key + "\\"}), "an empty key path part"},
        {DefinitionText("Pest", "Adware", "3", {key}, {"%windows%"}), "no file or folder name after the folder"},
        {DefinitionText("Pest", "Adware", "3", {key}, {"%system%\\"}), "no file or folder name after the folder"},
        {DefinitionText("Pest", "Adware", "3", {key}, {}, {"%program_files%"}), "no file or folder name after the folder"},
        {DefinitionText("Pest", "Adware", "3", {key}, {}, {"%windows%\\System32"}), "a system folder"},
        {DefinitionText("Pest", "Adware", "3", {key}, {}, {"C:\\"}), "no file or folder name after the folder"},
        {DefinitionText("Pest", "Adware", "3", {key}, {}, {"C:\\windows"}), "a system folder"},
        {DefinitionText("Pest", "Adware", "3", {key}, {}, {"%profile%\\Desktop"}), "a system folder"},
        {DefinitionText("Pest", "Adware", "3", {key}, {"%WINDOWS%\\pest.exe"}), "neither a macro nor a full path"},
        {DefinitionText("Pest", "Adware", "3", {key}, {"%windows%\\%sytem%\\pest.exe"}), "an unknown or misspelt macro"},
        {DefinitionText("Pest", "Adware", "3", {key}, {"%windows%\\pest"}), "a file name without extension"},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> problems = DefinitionProblems(SplitLines(c.Text), system, frame);
        if (c.Problem.empty()) {
            EXPECT_EQ(std::vector<std::string>{}, problems) << c.Text;
            continue;
        }
        bool named = false;
        for (const std::string& problem : problems)
            named |= problem.size() >= c.Problem.size() &&
                     problem.compare(problem.size() - c.Problem.size(), c.Problem.size(), c.Problem) == 0;
        EXPECT_TRUE(named) << "expected: " << c.Problem << "\ngot: " << testing::PrintToString(problems) << "\n"
                           << c.Text;
    }
    EXPECT_EQ(3u, CookieRuleProblems({"doubleclick.net=Ad network", "ad.doubleclick.net=Same network",
                                      "ads=short", "tracker.example=a=b"})
                      .size());
}

TEST_F(DefinitionsCheck, CleanMachineHasNoFindings)
{
    // The test's own prefix, without any redirection, stands for a freshly installed machine.
    TSpyScan scanner(ExeFolder() + L"Def.dbd", ScannerTexts());
    scanner.ScanPrefix = L"Scanning";
    InitControls();
    HWND host = CreateHostWindow();
    TControlArgs args;
    args.Parent = host;
    TLabel status;
    TProgressBar progress;
    TListView list;
    status.Create(args);
    progress.Create(args);
    list.Create(args);
    for (const wchar_t* column : {L"Item Name", L"Description", L"Risk Level", L"Entry"})
        list.AddColumn(column, 100);
    const int32_t found = scanner.Scan(status, progress, list);
    std::vector<std::string> rows;
    for (int i = 0; i < list.Count(); ++i)
        rows.push_back(Narrow(list.Caption(i) + L" " + list.SubItem(i, 3)));
    EXPECT_EQ(0, found) << testing::PrintToString(rows);
    DestroyWindow(host);
}
