#pragma once
// A junk-file scene: scratch registry with the application-data and cache shell folders pointed at
// scratch folders, the temporary folder redirected through TMP/TEMP, a scratch Windows folder, a
// scratch drive root (for the recycle bin), scratch ProgramData and local application-data folders
// handed to the scanner and to the removal library as stand-ins, an elevation query of the test's
// choosing (elevated unless a test says otherwise), a fake in place of the call that empties the bin, a Main.ini of the test's choosing, and
// hidden controls for the scanner thread. Nothing a scan or repair here walks lies outside Root.
#include "common/Handles.h"
#include "junk/TempFileThread.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "ui/Label.h"
#include "ui/LineList.h"
#include "ui/ProgressBar.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class JunkTest : public ::testing::Test {
public:
    // While set, the fake that stands in for SHEmptyRecycleBinW empties a bin below the scratch root
    // (and only there); otherwise it leaves the bin as it is.
    static inline std::atomic<bool> FakeBinEmpties{true};

protected:
    void SetUp() override;
    void TearDown() override;

    // Writes Main.ini's "Junk File Removal" section; an empty map leaves no Main.ini at all.
    void WriteSettings(const std::map<std::wstring, std::wstring>& values);
    // Creates, starts and waits for a scanner thread on the hidden controls; the passes its wait
    // took go to WaitPasses.
    std::unique_ptr<TempThread> RunScan(const TWideStrings& texts = Texts());
    // The scans' interval between status changes: 0 follows every fifth file.
    DWORD UpdateEveryMs = 0;
    // Asserts that the removal can reach nothing outside Root, runs the repair and waits until the
    // removal library's thread has ended.
    void RepairAndWait(TempThread& thread);
    // Fails the test when the removal could reach anything outside Root.
    void ExpectRemovalConfinedToRoot(const TempThread& thread);
    // The memo's lines after the summary and the empty line (line 6 on): the skipped folders, then
    // the files.
    std::vector<std::wstring> Listed() const;
    // The listed files below one of this test's folders.
    std::set<std::wstring> ListedUnder(const std::wstring& folder) const;

    static TWideStrings Texts()
    {
        return {L"Junk files:", L"%d junk files", L"Total size: %s", L"Removing junk...", L"No library",
                L"Skipped %s: root.", L"Skipped %s: holds %s.", L"Skipped %s: inside %s.", L"Skipped %s: unresolved.",
                L"Update", L"Delivery", L"Reports", L"Dumps", L"Thumbnails", L"%s: %d files, %s", L"%s: %s needs admin.",
                L"%s: unreadable, needs admin.", L"Skipped %s: leads to %s.", L"%s: 1 file, %s"};
    }

    // The roots handed to the fake that stands in for SHEmptyRecycleBinW, in call order.
    static std::vector<std::wstring> EmptiedBins();
    // The tests' variant of the removal library (with UseStandIns), beside the test program; every scan
    // of the fixture repairs through it.
    static std::wstring StandInLibrary();

    ScratchRegistry Registry;
    ScratchFolder Root{L"junk"};
    std::wstring AppData, Cache, Temp, Outside, Drive, Windows, WindowsTemp;
    // Stand-ins for ProgramData and the local application-data folder.
    std::wstring ProgramData, LocalAppData;
    // What the scanner's elevation query answers.
    bool Elevated = true;
    // The current user's recycle-bin folder on the scratch drive, relative to Root (Wine has none of
    // its own: the test makes it), and its full path.
    std::wstring Bin, BinFolder;
    int WaitPasses = 0;

    HWND Host = nullptr;
    TLabel Label;
    TProgressBar Bar;
    TLineList Memo;
    // Runs on the user-interface thread whenever the scanner sets the status label.
    std::function<void(TempThread&, const std::wstring&)> OnStatus;
    std::vector<std::wstring> StatusTexts;
    std::vector<int> BarMaxima;

private:
    static LRESULT CALLBACK LabelHook(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK BarHook(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    TempThread* Running_ = nullptr;
    std::wstring SavedTmp_, SavedTemp_;
    TModule Library_;
};

// A file whose size is set without writing its bytes (a sparse file on the Unix side).
std::wstring MakeSparseFile(const std::wstring& path, uint64_t size, double ageDays = 0);
