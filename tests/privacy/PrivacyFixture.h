#pragma once
// A privacy-sweeper scene: a scratch registry, the shell folders the sweeper reads (application data,
// cookies, history, recent, cache) pointed at scratch folders, a scratch Windows folder on a drive
// letter of its own (some applications' files are looked for on the Windows folder's drive) and a
// chosen platform for restart deletions, the system's pending renames saved and restored, hidden controls, and
// a scanner made the shell's way with the shipped English texts. The URL cache cannot be redirected:
// the scanner only sees entries whose URL carries this run's tag.
#include "StandIns.h"
#include "privacy/PrivacyScanner.h"
#include "support/PendingRenames.h"
#include "support/ScratchDrive.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "support/UrlCacheEntries.h"
#include "ui/Label.h"
#include "ui/Memo.h"
#include "ui/ProgressBar.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <vector>

// Sets a value of any type below the redirected HKEY_CURRENT_USER, creating its key.
void SetRegValue(const std::wstring& key, const std::wstring& name, DWORD type, const std::vector<BYTE>& data);
// The text's UTF-16 bytes with their terminating null, as a string value holds them.
std::vector<BYTE> TextBytes(const std::wstring& text);
std::set<std::wstring> AsSet(const std::vector<std::wstring>& lines);

// A value to plant, and whether a category that lists only some types lists it.
struct TTypedValue {
    const wchar_t* Name;
    DWORD Type;
    std::vector<BYTE> Data;
    bool Listed;
};

class PrivacyTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The scanner is made after the shell folders are in place: its folder object reads them once.
    void MakeScanner();
    int32_t RunScan(const std::wstring& selection);
    // Repairs after asserting that every listed item lies in this test's scratch area.
    void RunRepair();
    // Items outside the scratch area (scratch folder and drive, redirected HKEY_CURRENT_USER, this run's
    // cache tag).
    std::vector<std::wstring> UnconfinedItems() const;

    // The report's item lines (after its six header lines).
    std::vector<std::wstring> ListedLines() const;
    std::vector<std::wstring> ItemPaths() const;
    // 32 characters with "1" at the given positions.
    static std::wstring Selection(std::initializer_list<int> positions);
    // "Cookie:tester@<site>.<tag>.test/"
    std::string CookieUrl(const std::string& site) const;
    void WriteIgnoreIni(const std::string& text);
    // Writes an INI file and makes the system's INI service forget any copy it keeps.
    static void WriteIniFile(const std::wstring& path, const std::string& text);

    static TWideStrings ShippedTexts();

    PendingRenames Renames; // before the registry: restored after the roots are given back
    ScratchRegistry Registry;
    ScratchFolder Root{L"privacy"};
    ScratchDrive Drive{Root.MakeFolder(L"Drive")}; // WindowsDir lies on it
    std::wstring AppData, Cookies, History, Recent, Cache, WindowsDir, Outside;
    std::string Tag = UniqueCacheTag();
    DWORD PlatformId = VER_PLATFORM_WIN32_NT;
    bool RealPauses = false;
    std::vector<DWORD> Pauses;

    HWND Host = nullptr;
    TLabel Status;
    TProgressBar Progress;
    TMemo Memo;
    std::unique_ptr<TPrivacyScanner> Scanner;
    // Every text the status label was given, and a hook run on each (from inside the scan or repair).
    std::vector<std::wstring> StatusTexts;
    std::function<void(const std::wstring&)> OnStatus;

private:
    static LRESULT CALLBACK StatusHook(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
};
