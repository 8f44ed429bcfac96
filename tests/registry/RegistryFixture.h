#pragma once
// Shared pieces of the registry fixer tests: scratch registry roots and folders, the application-data
// folder pointed at a scratch folder, a hidden window with the label, bar and list the scanner drives,
// a scanner that does not pause, and whole-tree snapshots of the registry.
#include "common/Registry.h"
#include "registry/RegistryScan.h"

#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/ProgressBar.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// Texts of section "M_RegistryScan": "Text 0" ... "Text 21", one per line the scanner uses.
TWideStrings RegistryTexts();
std::string Narrow(const std::wstring& text);

// Every message the progress bar is sent: positions given, steps taken, ranges set.
class BarWatch {
public:
    explicit BarWatch(HWND bar);
    ~BarWatch();
    std::vector<int> Positions;
    std::vector<int> Maxima;
    int Steps = 0;

private:
    HWND Bar_;
};

// A registry tree as it is: every key (path below the snapshot's root)
// with its values (name -> type and bytes).
struct RegTree {
    std::map<std::wstring, std::map<std::wstring, TRegValue>> Keys;
};
RegTree Snapshot(HKEY root, const std::wstring& path = L"");
// Readable differences: "- key", "+ key", "- key : value", "+ key : value", "~ key : value".
std::vector<std::string> Differences(const RegTree& before, const RegTree& after);

// Writes a value of any type and bytes.
void SetRegValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type,
                 const std::vector<BYTE>& bytes);
std::vector<BYTE> TextBytes(const std::wstring& text, bool terminated = true);
// Sets the key's default value to a text (an empty text too, unlike SetRegString).
void SetDefaultText(HKEY root, const std::wstring& key, const std::wstring& text);

class RegistryFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A scanner as the shell sets it up, whose Repair does not pause. Throws (failing the test before
    // anything is scanned or deleted) unless the roots and the data folder are the scratch ones.
    std::unique_ptr<TScanRegistry> MakeScanner();
    // The same, asking about drives as if Z: were a network drive, E: a removable one and every other
    // drive a fixed one.
    std::unique_ptr<TScanRegistry> MakeScannerWithDrives();
    // Replaces the scratch registry by a new, empty one (the data folder pointed at the scratch again).
    void FreshRegistry();
    int32_t RunScan(TScanRegistry& scanner) { return scanner.Scan(Status, Progress, List); }
    void RunRepair(TScanRegistry& scanner) { scanner.Repair(List, Status, Progress, RepairLog); }

    // Writes Main.ini with section "RegistryOpt" holding these lines (and nothing else).
    void WriteRegistryOptions(const std::vector<std::wstring>& lines);
    // Only these categories of "RegistryOpt" on ("Active", "App", ...), every other one off.
    void OnlyCategories(const std::vector<std::wstring>& keys);
    // Only the COM and type library category on.
    void OnlyComAndTypeLibraries() { OnlyCategories({L"Active"}); }
    // Runs the action when the scanner next pumps window messages.
    void AtNextPump(std::function<void()> action);
    void WriteIgnoreIni(const std::wstring& registrySectionLines);

    // The rows as "item|key|value|data|image|checked".
    std::vector<std::string> Rows() const;
    // The keys of the rows (column 1), in order.
    std::vector<std::wstring> RowKeys() const;
    int RowOfKey(const std::wstring& keyText) const;

    std::unique_ptr<ScratchRegistry> Registry;
    std::unique_ptr<ScratchFolder> Files;
    std::wstring AppData;
    std::wstring Dornique; // AppData\Kelvor\Dornique\ (with backslash)
    HWND Host = nullptr;
    TLabel Status;
    TProgressBar Progress;
    TListView List;
    TWideStrings RepairLog;

private:
    static LRESULT CALLBACK PumpHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data);
    std::function<void()> PumpAction_;
};

// A row as Rows() shows it, checked.
std::string Row(const std::wstring& item, const std::wstring& key, const std::wstring& value,
                const std::wstring& data, int image);
// The categories of "RegistryOpt" in their order.
extern const wchar_t* const kRegistryCategories[17];
