#pragma once
// A junk-file scene: scratch registry with the application-data and cache shell folders pointed at
// scratch folders, the temporary folder redirected through TMP/TEMP, a scratch drive root for the
// recycle bin, a Main.ini of the test's choosing, and hidden controls for the scanner thread.
#include "junk/TempFileThread.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "ui/Label.h"
#include "ui/Memo.h"
#include "ui/ProgressBar.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class JunkTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes Main.ini's "Junk File Removal" section; an empty map leaves no Main.ini at all.
    void WriteSettings(const std::map<std::wstring, std::wstring>& values);
    // Creates, starts and waits for a scanner thread on the hidden controls.
    std::unique_ptr<TempThread> RunScan(const TWideStrings& texts = Texts());
    // Runs the repair and waits until the removal library's thread has ended.
    void RepairAndWait(TempThread& thread);
    // The files the memo lists (lines 6 on).
    std::vector<std::wstring> Listed() const;
    // The listed files below one of this test's folders (the Windows folder's temp cannot be redirected).
    std::set<std::wstring> ListedUnder(const std::wstring& folder) const;

    static TWideStrings Texts() { return {L"Junk files:", L"%d junk files", L"Total size: %s", L"Removing junk..."}; }

    ScratchRegistry Registry;
    ScratchFolder Root{L"junk"};
    std::wstring AppData, Cache, Temp, Outside, Drive;

    HWND Host = nullptr;
    TLabel Label;
    TProgressBar Bar;
    TMemo Memo;
    // Runs on the user-interface thread whenever the scanner sets the status label.
    std::function<void(TempThread&, const std::wstring&)> OnStatus;
    std::vector<std::wstring> StatusTexts;
    std::vector<int> BarMaxima;

private:
    static LRESULT CALLBACK LabelHook(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK BarHook(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    TempThread* Running_ = nullptr;
    std::wstring SavedTmp_, SavedTemp_;
};

// A file whose size is set without writing its bytes (a sparse file on the Unix side).
std::wstring MakeSparseFile(const std::wstring& path, uint64_t size, double ageDays = 0);
