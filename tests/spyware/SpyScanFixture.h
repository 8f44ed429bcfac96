#pragma once
// Shared pieces of the scanner tests: scratch registry and folders, the shell folders pointed at
// them, a hidden window with the three controls the scanner drives, test archives, and cookies in
// the real URL cache.
#include "spyware/SpywareScan.h"

#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "support/UrlCacheEntries.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/ProgressBar.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

// Texts of section "M_SpywareScan", each telling where it comes from.
TWideStrings ScannerTexts();

// A definition file: display name on line 3, "Main" with category, description and risk, then the
// "Reg", "File" and "Folder" sections (each omitted when empty).
std::string DefinitionText(const std::string& name, const std::string& category, const std::string& risk,
                           const std::vector<std::string>& reg, const std::vector<std::string>& files = {},
                           const std::vector<std::string>& folders = {});

// Writes an archive: Main.db (FirstDefinition=2), TrackingCookie.db, then the definitions in order.
void WriteDefinitionArchive(const std::wstring& path, const std::vector<std::string>& definitions,
                            const std::string& cookieRules = "");
// Writes an archive of exactly these files, in this order.
void WriteArchiveFiles(const std::wstring& path, const std::vector<std::pair<std::string, std::string>>& files);

// The folder of the test program (with trailing backslash).
std::wstring ExeFolder();
// Copies one of the version-resource libraries ("spytest_plain.dll", "spytest_ms.dll",
// "spytest_other.dll") to target.
void CopyTestLibrary(const std::wstring& library, const std::wstring& target);

// Records every position the progress bar is given.
class ProgressRecorder {
public:
    explicit ProgressRecorder(HWND bar);
    ~ProgressRecorder();
    std::vector<int> Positions;

private:
    HWND Bar_;
};

// A cookie in the system's URL cache, created with a local .txt file (or another extension) and
// removed again; a left-over entry of the same URL is removed first.
class TestCookie : public TestCacheEntry {
public:
    explicit TestCookie(const std::string& url, const std::string& extension = "txt")
        : TestCacheEntry(url, COOKIE_CACHE_ENTRY, "id\n1234\n" + url + "\n", extension)
    {
    }
};

class SpyScanTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the archive into the scratch folder and creates a scanner on it, with the icon
    // indices the shell sets and RemovedImage 7.
    std::unique_ptr<TSpyScan> MakeScanner(const std::vector<std::string>& definitions,
                                          const std::string& cookieRules = "");
    int32_t RunScan(TSpyScan& scanner) { return scanner.Scan(Status, Progress, List); }
    int32_t RunRepair(TSpyScan& scanner) { return scanner.Repair(Status, Progress, List); }

    // The rows as "caption|description|risk|entry|image|checked" lines.
    std::vector<std::string> Rows() const;
    std::wstring Entry(int row) const { return List.SubItem(row, 3); }
    // The rows whose Entry is entry.
    int CountEntry(const std::wstring& entry) const;
    void AddRow(const std::wstring& entry, bool checked = true, int image = 0);

    // A present registry key for a definition to hit: HKEY_CURRENT_USER\Software\SpyTest\<name>.
    std::string PresentKey(const std::string& name);
    // Writes Ignore.ini into the settings folder of the redirected application-data folder.
    void WriteIgnoreIni(const std::string& text);

    // Where a repair keeps what it removes: scratch folders, never the prefix's own.
    TQuarantinePlaces ScratchQuarantine() const;

    std::unique_ptr<ScratchRegistry> Registry;
    std::unique_ptr<ScratchFolder> Files;
    std::unique_ptr<ScratchFolder> QuarantineFolders;
    std::wstring AppData;
    std::wstring Favorites;
    HWND Host = nullptr;
    TLabel Status;
    TProgressBar Progress;
    TListView List;
};

std::string Narrow(const std::wstring& text);
