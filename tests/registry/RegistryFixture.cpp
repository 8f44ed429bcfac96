#include "RegistryFixture.h"

#include "support/ScannerControls.h"

#include "registry/RegistryTexts.h"

#include "common/CodePage.h"
#include "common/Registry.h"
#include "support/ShellFolders.h"
#include "ui/Create.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

TWideStrings RegistryTexts()
{
    TWideStrings texts;
    for (int i = 0; i <= RegText::Last; ++i)
        texts.push_back(L"Text " + std::to_wstring(i));
    return texts;
}

std::string Narrow(const std::wstring& text) { return WideToUtf8(text); }

namespace {

LRESULT CALLBACK WatchBar(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* watch = reinterpret_cast<BarWatch*>(data);
    if (message == PBM_SETPOS)
        watch->Positions.push_back(static_cast<int>(wParam));
    else if (message == PBM_STEPIT)
        ++watch->Steps;
    else if (message == PBM_SETRANGE32)
        watch->Maxima.push_back(static_cast<int>(lParam));
    return DefSubclassProc(window, message, wParam, lParam);
}

void SnapshotInto(const TRegKey& key, const std::wstring& path, RegTree& tree)
{
    auto& values = tree.Keys[path];
    for (TRegNamedValue& value : key.Values())
        values[value.Name] = std::move(value.Value);
    for (const std::wstring& name : key.SubKeyNames()) {
        TRegKey child;
        // Links are not entered: a snapshot describes what a deletion may touch.
        if (child.Open(key.Handle(), name, KEY_READ, REG_OPTION_OPEN_LINK) != ERROR_SUCCESS) {
            ADD_FAILURE() << "cannot open " << Narrow(path + L"\\" + name);
            continue;
        }
        if (IsLinkKey(child.Handle()))
            tree.Keys[(path.empty() ? L"" : path + L"\\") + name + L" (link)"];
        else
            SnapshotInto(child, path.empty() ? name : path + L"\\" + name, tree);
    }
}

} // namespace

BarWatch::BarWatch(HWND bar) : Bar_(bar) { SetWindowSubclass(Bar_, WatchBar, 1, reinterpret_cast<DWORD_PTR>(this)); }

BarWatch::~BarWatch() { RemoveWindowSubclass(Bar_, WatchBar, 1); }

RegTree Snapshot(HKEY root, const std::wstring& path)
{
    RegTree tree;
    TRegKey key;
    if (key.Open(root, path, KEY_READ) == ERROR_SUCCESS)
        SnapshotInto(key, L"", tree);
    return tree;
}

std::vector<std::string> Differences(const RegTree& before, const RegTree& after)
{
    std::vector<std::string> lines;
    for (const auto& [key, values] : before.Keys) {
        const auto found = after.Keys.find(key);
        if (found == after.Keys.end()) {
            lines.push_back("- " + Narrow(key));
            continue;
        }
        for (const auto& [name, value] : values) {
            const auto other = found->second.find(name);
            if (other == found->second.end())
                lines.push_back("- " + Narrow(key) + " : " + Narrow(name));
            else if (other->second.Type != value.Type || other->second.Data != value.Data)
                lines.push_back("~ " + Narrow(key) + " : " + Narrow(name));
        }
        for (const auto& [name, value] : found->second)
            if (!values.count(name))
                lines.push_back("+ " + Narrow(key) + " : " + Narrow(name));
    }
    for (const auto& [key, values] : after.Keys)
        if (!before.Keys.count(key))
            lines.push_back("+ " + Narrow(key));
    return lines;
}

void SetRegValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type,
                 const std::vector<BYTE>& bytes)
{
    TRegKey created;
    ASSERT_EQ(ERROR_SUCCESS, created.Create(root, key, KEY_ALL_ACCESS)) << Narrow(key);
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(created.Handle(), name.c_str(), 0, type,
                                            bytes.empty() ? nullptr : bytes.data(), static_cast<DWORD>(bytes.size())))
        << Narrow(key) << " : " << Narrow(name);
}

std::vector<BYTE> TextBytes(const std::wstring& text, bool terminated)
{
    std::vector<BYTE> bytes((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
    std::memcpy(bytes.data(), text.c_str(), bytes.size());
    return bytes;
}

namespace {

const wchar_t kSentinel[] = L"BrisfoldScratchSentinel";
const HKEY kScratchRoots[] = {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS};

} // namespace

void RegistryFixture::FreshRegistry()
{
    // One redirection at a time: the old one is undone before the new one is made.
    Registry.reset();
    Registry = std::make_unique<ScratchRegistry>();
    // Not empty, so that no check lists it.
    for (HKEY root : kScratchRoots)
        SetRegString(root, kSentinel, L"scratch", L"1");
    SetUserShellFolder(L"AppData", AppData);
}

void SetDefaultText(HKEY root, const std::wstring& key, const std::wstring& text)
{
    SetRegValue(root, key, L"", REG_SZ, TextBytes(text));
}

void RegistryFixture::SetUp()
{
    Files = std::make_unique<ScratchFolder>(L"reg");
    AppData = Files->MakeFolder(L"AppData");
    FreshRegistry();
    Dornique = AppData + L"\\Kelvor\\Dornique\\";

    Host = CreateScannerControls(Status, Progress, List,
                                 {{L"       Item Name", 150}, {L"Registry Key", 450}, {L"Registry Value", 100}, {L"Data", 100}});
}

void RegistryFixture::TearDown()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) // what a check that does not pump left
        ;
    if (Host)
        DestroyWindow(Host);
    Files.reset();
    Registry.reset();
}

std::unique_ptr<TScanRegistry> RegistryFixture::MakeScanner()
{
    for (HKEY root : kScratchRoots)
        if (!RegKeyExists(root, kSentinel))
            throw std::runtime_error("a registry root is not the scratch one: nothing is scanned");
    auto scanner = std::make_unique<TScanRegistry>(RegistryTexts());
    if (scanner->Folders.AppDataFolder != AppData)
        throw std::runtime_error("the data folder is not the scratch one: nothing is scanned");
    scanner->FirstImageIndex = 4;
    scanner->SecondImageIndex = 5;
    scanner->ScanPrefix = L"Scanning ";
    scanner->RepairPrefix = L"Repairing";
    scanner->Pause = [](DWORD) {};
    return scanner;
}

std::unique_ptr<TScanRegistry> RegistryFixture::MakeScannerWithDrives()
{
    auto scanner = MakeScanner();
    scanner->Hooks.DriveType = [](const std::wstring& root) {
        return root == L"Z:\\" ? UINT(DRIVE_REMOTE) : root == L"E:\\" ? UINT(DRIVE_REMOVABLE) : UINT(DRIVE_FIXED);
    };
    return scanner;
}

void RegistryFixture::WriteRegistryOptions(const std::vector<std::wstring>& lines)
{
    CreateDirectoryW((AppData + L"\\Kelvor").c_str(), nullptr);
    CreateDirectoryW(Dornique.c_str(), nullptr);
    std::string text = "[RegistryOpt]\r\n";
    for (const std::wstring& line : lines)
        text += Narrow(line) + "\r\n";
    WriteTextFile(Dornique + L"Main.ini", text);
}

const wchar_t* const kRegistryCategories[17] = {
    L"Active",    L"App",     L"Filetypes", L"Fonts",     L"Help", L"History",    L"Shared",  L"Shortcut", L"Software",
    L"Sounds", L"Startmenu", L"Startup",   L"Mui",       L"Fileextend", L"Classes", L"Openscan", L"System"};

void RegistryFixture::OnlyCategories(const std::vector<std::wstring>& keys)
{
    std::vector<std::wstring> lines;
    for (const wchar_t* key : kRegistryCategories)
        lines.push_back(key + std::wstring(std::find(keys.begin(), keys.end(), key) != keys.end() ? L"=1" : L"=0"));
    WriteRegistryOptions(lines);
}

LRESULT CALLBACK RegistryFixture::PumpHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data)
{
    auto* fixture = reinterpret_cast<RegistryFixture*>(data);
    if (message == WM_APP + 7 && fixture->PumpAction_) {
        const std::function<void()> action = std::move(fixture->PumpAction_);
        fixture->PumpAction_ = nullptr;
        action();
        return 0;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void RegistryFixture::AtNextPump(std::function<void()> action)
{
    PumpAction_ = std::move(action);
    SetWindowSubclass(Host, PumpHook, 7, reinterpret_cast<DWORD_PTR>(this));
    PostMessageW(Host, WM_APP + 7, 0, 0);
}

std::string Row(const std::wstring& item, const std::wstring& key, const std::wstring& value,
                const std::wstring& data, int image)
{
    return Narrow(item + L"|" + key + L"|" + value + L"|" + data) + "|" + std::to_string(image) + "|checked";
}

void RegistryFixture::WriteIgnoreIni(const std::wstring& registrySectionLines)
{
    CreateDirectoryW((AppData + L"\\Kelvor").c_str(), nullptr);
    CreateDirectoryW(Dornique.c_str(), nullptr);
    WriteTextFile(Dornique + L"Ignore.ini", "[Registry]\r\n" + Narrow(registrySectionLines) + "\r\n");
}

std::vector<std::string> RegistryFixture::Rows() const { return ListRows(List); }

std::vector<std::wstring> RegistryFixture::RowKeys() const
{
    std::vector<std::wstring> keys;
    for (int i = 0; i < List.Count(); ++i)
        keys.push_back(List.SubItem(i, 1));
    return keys;
}

int RegistryFixture::RowOfKey(const std::wstring& keyText) const
{
    for (int i = 0; i < List.Count(); ++i)
        if (List.SubItem(i, 1) == keyText)
            return i;
    return -1;
}
