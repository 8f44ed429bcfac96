#include "PrivacyFixture.h"

#include "common/CodePage.h"
#include "common/MultiLan.h"
#include "common/Paths.h"
#include "common/Registry.h"
#include "common/SystemFolders.h"
#include "common/UrlCache.h"
#include "support/ShellFolders.h"
#include "ui/Create.h"
#include "ui/MessagePump.h"

#include <commctrl.h>

namespace {

std::wstring ProgramFolder()
{
    const std::wstring path = ProgramFileName();
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

TMultiLan ShippedLanguage()
{
    return TMultiLan(L"C:\\no-such-folder\\Main.ini", ProgramFolder());
}

} // namespace

void SetRegValue(const std::wstring& key, const std::wstring& name, DWORD type, const std::vector<BYTE>& data)
{
    TRegKey created;
    ASSERT_EQ(ERROR_SUCCESS, created.Create(HKEY_CURRENT_USER, key, KEY_ALL_ACCESS));
    ASSERT_EQ(ERROR_SUCCESS, created.WriteValue(name, TRegValue{type, data}));
}

std::vector<BYTE> TextBytes(const std::wstring& text)
{
    const auto* raw = reinterpret_cast<const BYTE*>(text.c_str());
    return {raw, raw + (text.size() + 1) * sizeof(wchar_t)};
}

std::set<std::wstring> AsSet(const std::vector<std::wstring>& lines)
{
    return {lines.begin(), lines.end()};
}

TWideStrings PrivacyTest::ShippedTexts()
{
    return ShippedLanguage().GetSection(L"M_PrivacyScan");
}

void PrivacyTest::SetUp()
{
    AppData = Root.MakeFolder(L"AppData");
    Cookies = Root.MakeFolder(L"UserCookies");
    History = Root.MakeFolder(L"UserHistory");
    Recent = Root.MakeFolder(L"Recent");
    Cache = Root.MakeFolder(L"Cache");
    ASSERT_FALSE(Drive.Name().empty());
    Root.MakeFolder(L"Drive\\Windows");
    WindowsDir = Drive.Name() + L"\\Windows";
    Outside = Root.MakeFolder(L"Outside");
    for (const auto& [name, path] : {std::pair{L"AppData", AppData}, std::pair{L"Cookies", Cookies},
                                     std::pair{L"History", History}, std::pair{L"Recent", Recent},
                                     std::pair{L"Cache", Cache}})
        SetUserShellFolder(name, path);

    InitControls();
    Host = CreateHostWindow();
    ASSERT_NE(Host, nullptr);
    Status.Create({.Parent = Host, .Left = 8, .Top = 8, .Width = 400, .Height = 16});
    Progress.Create({.Parent = Host, .Left = 8, .Top = 30, .Width = 400, .Height = 17});
    Memo.Create({.Parent = Host, .Left = 8, .Top = 60, .Width = 600, .Height = 300,
                 .Style = ES_READONLY | WS_VSCROLL | WS_HSCROLL});
    SetWindowSubclass(Status.Handle(), StatusHook, 1, reinterpret_cast<DWORD_PTR>(this));
    MakeScanner();
}

void PrivacyTest::TearDown()
{
    Scanner.reset();
    RemoveWindowSubclass(Status.Handle(), StatusHook, 1);
    DestroyWindow(Host);
    ProcessMessages();
}

LRESULT CALLBACK PrivacyTest::StatusHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data)
{
    auto* self = reinterpret_cast<PrivacyTest*>(data);
    if (message == WM_SETTEXT) {
        const std::wstring text = reinterpret_cast<const wchar_t*>(lParam);
        self->StatusTexts.push_back(text);
        if (self->OnStatus)
            self->OnStatus(text);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void PrivacyTest::MakeScanner()
{
    const TMultiLan language = ShippedLanguage();
    Scanner = std::make_unique<TPrivacyScanner>(language.GetSection(L"M_PrivacyScan"));
    Scanner->ScanPrefix = language.GetLine(L"Message", 15) + L" ";
    Scanner->RepairPrefix = language.GetLine(L"Message", 17);
    Scanner->Pause = [this](DWORD milliseconds) {
        Pauses.push_back(milliseconds);
        if (RealPauses)
            Sleep(milliseconds);
    };
    Scanner->Platform.PlatformId = [this] { return PlatformId; };
    Scanner->Platform.WindowsFolder = [this] { return WindowsDir; };
    const std::string tag = Tag;
    Scanner->Platform.CacheEntryInScope = [tag](const TUrlCacheRecord& record) {
        return record.SourceUrl.find(tag) != std::string::npos;
    };
}

int32_t PrivacyTest::RunScan(const std::wstring& selection)
{
    Pauses.clear();
    StatusTexts.clear();
    return Scanner->Scan(Status, Progress, selection, Memo);
}

std::vector<std::wstring> PrivacyTest::UnconfinedItems() const
{
    // HKEY_CURRENT_USER as this process sees it must be the scratch key (asked of a key below it: the
    // root itself answers as a predefined handle).
    TRegKey software;
    const bool redirected = software.Open(HKEY_CURRENT_USER, L"Software", KEY_READ) == ERROR_SUCCESS &&
                            software.KernelName().find(Registry.BackingPath(HKEY_CURRENT_USER)) != std::wstring::npos;
    std::vector<std::wstring> outside;
    for (const TPrivacyItem& item : Scanner->Findings.Items()) {
        bool inside = false;
        switch (item.Kind) {
        case TPrivacyItemKind::File:
        case TPrivacyItemKind::FolderEntry:
        case TPrivacyItemKind::Database:
            inside = PathIsAtOrBelow(item.File, Root.Path()) || PathIsAtOrBelow(item.File, Drive.Name());
            break;
        case TPrivacyItemKind::Key:
        case TPrivacyItemKind::Value: inside = redirected; break;
        case TPrivacyItemKind::CacheEntry: inside = item.Url.find(Tag) != std::string::npos; break;
        }
        if (!inside)
            outside.push_back(item.Path);
    }
    return outside;
}

void PrivacyTest::RunRepair()
{
    ASSERT_EQ(UnconfinedItems(), std::vector<std::wstring>{}) << "a repair must stay in the scratch area";
    StatusTexts.clear();
    Scanner->Repair(Status, Progress);
}

std::vector<std::wstring> PrivacyTest::ListedLines() const
{
    const auto& lines = Memo.Lines();
    return lines.size() > 6 ? std::vector<std::wstring>(lines.begin() + 6, lines.end()) : std::vector<std::wstring>();
}

std::vector<std::wstring> PrivacyTest::ItemPaths() const
{
    std::vector<std::wstring> paths;
    for (const TPrivacyItem& item : Scanner->Findings.Items())
        paths.push_back(item.Path);
    return paths;
}

std::wstring PrivacyTest::Selection(std::initializer_list<int> positions)
{
    std::wstring selection(32, L'0');
    for (int position : positions)
        selection[static_cast<size_t>(position - 1)] = L'1';
    return selection;
}

std::string PrivacyTest::CookieUrl(const std::string& site) const
{
    return "Cookie:tester@" + site + "." + Tag + ".test/";
}

void PrivacyTest::WriteIgnoreIni(const std::string& text)
{
    WriteIniFile(Root.MakeFolder(L"AppData\\Kelvor\\Dornique") + L"\\Ignore.ini", text);
}

void PrivacyTest::WriteIniFile(const std::wstring& path, const std::string& text)
{
    WriteTextFile(path, text);
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str()); // drop cached copies
}
