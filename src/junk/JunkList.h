#pragma once
// The files between the program and its removal library. The removal deletes only what the scan
// listed: the program writes the scan's list into the settings folder before it starts the removal
// thread, and the library writes what it did with each file into a result file beside it, which the
// program reads once the thread has ended. Both are traces of the user's files: deleted once read.
//
// The list: UTF-16 with a byte-order mark; the first line is the id the library handed out for this
// removal (CreateDll), then one line per file, "full path<TAB>expected path" (the path as listed and
// the path the scan resolved for it, see ExpectedPath), and the id again as the last line, so that a
// list cut short is told from a whole one. The result: UTF-16 with a byte-order mark, one line per
// file the library came to, "outcome<TAB>full path", written as it goes.
#include "common/Handles.h"
#include "common/RepairOutcome.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

struct TJunkListEntry {
    std::wstring Path;
    std::wstring Expected;
};

// One list and one result per process, so that the window and BrisfoldCmd.exe never share one.
std::wstring JunkListPath(const std::wstring& settingsFolder, DWORD processId = GetCurrentProcessId());
std::wstring JunkResultPath(const std::wstring& settingsFolder, DWORD processId = GetCurrentProcessId());

// A fresh id for one removal (the library hands it out).
std::wstring NewRemovalId();

// The program's side of the list: written whole, then held open without write sharing until Close,
// so that nothing can change it while the library reads it.
class TJunkListFile {
public:
    // Creates the settings folder when it is missing. False (and no list) when it cannot be written.
    bool Write(const std::wstring& path, const std::wstring& removalId, const std::vector<TJunkListEntry>& entries);
    void Close() { File_.Reset(); }
    bool IsOpen() const { return File_.Valid(); }

private:
    THandle File_;
};

// The library's side: the entries of the list written for removalId. False, with no entries, when
// there is no readable list (missing, too large, no byte-order mark, cut short, another id): then
// nothing is deleted. A line whose path or expected path is empty, not fully qualified ("X:\..." or
// "\\server\share\..."), or holds "..", is skipped.
bool ReadJunkList(const std::wstring& path, const std::wstring& removalId, std::vector<TJunkListEntry>& entries);

// The library's result file; each line reaches the file when it is added.
class TJunkResultWriter {
public:
    bool Open(const std::wstring& path);
    void Add(const std::wstring& file, TOutcome outcome);

private:
    THandle File_;
};

// The outcome of each file the result names; a damaged or missing result names none.
std::map<std::wstring, TOutcome> ReadJunkResults(const std::wstring& path);

// A "full path" the list may name: fully qualified, below its drive root or share, and no "..".
bool IsListablePath(const std::wstring& path);
