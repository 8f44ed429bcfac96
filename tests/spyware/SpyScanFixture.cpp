#include "SpyScanFixture.h"

#include "support/ScannerControls.h"

#include "ArchiveWriter.h"
#include "common/CodePage.h"
#include "support/ShellFolders.h"
#include "ui/Create.h"

#include <commctrl.h>
#include <wininet.h>

#include <fstream>

TWideStrings ScannerTexts()
{
    return {L"Scanning",       L"Risk five",        L"Risk four",         L"Risk three",
            L"Risk two",       L"Risk one",         L"Tracking Cookie",   L"(unused)",
            L"Text Adware",    L"Text Hijacker",    L"Text Homepage",     L"Text Key Logger",
            L"Text Spyware",   L"Text Trojan",      L"Text Backdoor",     L"Removing threats"};
}

std::string Narrow(const std::wstring& text) { return WideToUtf8(text); }

std::string DefinitionText(const std::string& name, const std::string& category, const std::string& risk,
                           const std::vector<std::string>& reg, const std::vector<std::string>& files,
                           const std::vector<std::string>& folders)
{
    std::string text = "[Info]\r\nVersion=1\r\nName=" + name + "\r\n\r\n[Main]\r\nCategory=" + category +
                       "\r\nDescription=" + name + " shows adverts\r\nRisk=" + risk + "\r\n";
    auto section = [&](const char* title, const std::vector<std::string>& keys) {
        if (keys.empty())
            return;
        text += std::string("\r\n[") + title + "]\r\n";
        for (const std::string& key : keys)
            text += key + "=\r\n";
    };
    section("Reg", reg);
    section("File", files);
    section("Folder", folders);
    return text;
}

void WriteArchiveFiles(const std::wstring& path, const std::vector<std::pair<std::string, std::string>>& files)
{
    std::vector<TArchiveInput> inputs;
    for (const auto& [name, content] : files)
        inputs.push_back(TArchiveInput{"", name, content, false});
    const std::string bytes = WriteArchive(inputs, true);
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << Narrow(path);
}

void WriteDefinitionArchive(const std::wstring& path, const std::vector<std::string>& definitions,
                            const std::string& cookieRules)
{
    std::vector<std::pair<std::string, std::string>> files = {
        {"Main.db", "[Main]\r\nVersion=20080115\r\nFirstDefinition=2\r\n"},
        {"TrackingCookie.db", cookieRules},
    };
    for (size_t i = 0; i < definitions.size(); ++i)
        files.emplace_back("Threat" + std::to_string(i) + ".def", definitions[i]);
    WriteArchiveFiles(path, files);
}

std::wstring ExeFolder()
{
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring path(buffer, length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

void CopyTestLibrary(const std::wstring& library, const std::wstring& target)
{
    ASSERT_TRUE(CopyFileW((ExeFolder() + library).c_str(), target.c_str(), FALSE))
        << Narrow(library) << " -> " << Narrow(target) << ", error " << GetLastError();
}

namespace {

LRESULT CALLBACK RecordPositions(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    if (message == PBM_SETPOS)
        reinterpret_cast<ProgressRecorder*>(data)->Positions.push_back(static_cast<int>(wParam));
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

ProgressRecorder::ProgressRecorder(HWND bar) : Bar_(bar)
{
    SetWindowSubclass(Bar_, RecordPositions, 1, reinterpret_cast<DWORD_PTR>(this));
}

ProgressRecorder::~ProgressRecorder() { RemoveWindowSubclass(Bar_, RecordPositions, 1); }

void SpyScanTest::SetUp()
{
    Registry = std::make_unique<ScratchRegistry>();
    Files = std::make_unique<ScratchFolder>(L"spy");
    QuarantineFolders = std::make_unique<ScratchFolder>(L"spy-quarantine");
    AppData = Files->MakeFolder(L"AppData");
    Favorites = Files->MakeFolder(L"Favorites");
    SetUserShellFolder(L"AppData", AppData);
    SetUserShellFolder(L"Favorites", Favorites);

    Host = CreateScannerControls(Status, Progress, List,
                                 {{L"Item Name", 100}, {L"Description", 100}, {L"Risk Level", 60}, {L"Entry", 200}});
    Progress.SetMin(0);
    Progress.SetMax(1000);
}

void SpyScanTest::TearDown()
{
    if (Host)
        DestroyWindow(Host);
    Files.reset();
    QuarantineFolders.reset();
    Registry.reset();
}

TQuarantinePlaces SpyScanTest::ScratchQuarantine() const
{
    TQuarantinePlaces places = SystemQuarantinePlaces();
    places.MachineBase = QuarantineFolders->MakeFolder(L"ProgramData");
    places.UserBase = QuarantineFolders->MakeFolder(L"LocalAppData");
    places.Elevated = [] { return false; };
    return places;
}

std::unique_ptr<TSpyScan> SpyScanTest::MakeScanner(const std::vector<std::string>& definitions,
                                                   const std::string& cookieRules)
{
    const std::wstring path = *Files / L"Def.dbd";
    WriteDefinitionArchive(path, definitions, cookieRules);
    auto scanner = std::make_unique<TSpyScan>(path, ScannerTexts());
    scanner->ScanPrefix = L"Scanning";
    scanner->RepairPrefix = L"Removing threats";
    scanner->RegistryImage = 0;
    scanner->FileImage = 1;
    scanner->FolderImage = 2;
    scanner->CookieImage = 3;
    scanner->RemovedImage = 7;
    // Only the pacing test waits as the program does.
    scanner->Pause = [](DWORD) {};
    scanner->Quarantine = ScratchQuarantine();
    return scanner;
}

std::vector<std::string> SpyScanTest::Rows() const { return ListRows(List); }

int SpyScanTest::CountEntry(const std::wstring& entry) const
{
    int count = 0;
    for (int i = 0; i < List.Count(); ++i)
        count += List.SubItem(i, 3) == entry;
    return count;
}

void SpyScanTest::AddRow(const std::wstring& entry, bool checked, int image)
{
    List.AddItem(L"Text Adware", {L"test row", L"Risk three", entry}, image, checked);
}

std::string SpyScanTest::PresentKey(const std::string& name)
{
    CreateRegKey(HKEY_CURRENT_USER, L"Software\\SpyTest\\" + AnsiToWide(name));
    return "HKEY_CURRENT_USER\\Software\\SpyTest\\" + name;
}

void SpyScanTest::WriteIgnoreIni(const std::string& text)
{
    const std::wstring folder = Files->MakeFolder(L"AppData\\Kelvor\\Dornique");
    std::ofstream out((folder + L"\\Ignore.ini").c_str(), std::ios::binary | std::ios::trunc);
    out << text;
}
