#pragma once
// The undo file of a registry repair: a registry-export text ("Windows Registry Editor Version 5.00",
// UTF-16LE with a byte-order mark) that brings back exactly what the repair deleted. Data whose text
// form would not come back byte for byte is written as hex(N) raw bytes. The reader here restores
// such a file itself, also where a system tool would stumble over it.
#include "common/Registry.h"

#include <windows.h>

#include <string>
#include <vector>

enum class TExportResult {
    Added,      // the key (or value) is in the text now
    Missing,    // nothing there to save (and so nothing to delete)
    Unreadable, // some part could not be read: deleting it could not be undone
    Unwritable, // a name that the format cannot hold (a line break or a null in it)
};

class TUndoWriter {
public:
    // The key root\path (opened without redirection) with all its values and everything below it.
    TExportResult AddKeyTree(HKEY root, const std::wstring& path);
    // One value of the key root\path.
    TExportResult AddValue(HKEY root, const std::wstring& path, const std::wstring& valueName);

    bool Empty() const { return Body_.empty(); }
    // The whole text: header, then the keys in the order they were added.
    std::wstring Text() const;

private:
    TExportResult AddTree(HKEY root, const std::wstring& path, const TRegKey& key, std::wstring& text, int depth);
    std::wstring Body_;
};

// The line of one value ("name"=... or @=...) as the export format writes it, continuation lines
// included; false when the name cannot be written.
bool ExportValueLine(const std::wstring& name, const TRegValue& value, std::wstring& line);

// The folder of the registry fixer's undo files below the user's application-data folder.
std::wstring UndoFolder(const std::wstring& appDataFolder);

// Writes text as a new file in folder (created when missing), named after the local date and time;
// an existing file is never replaced. On success path names the file; otherwise error says why and
// no file is left behind.
bool WriteUndoFile(const std::wstring& folder, const std::wstring& text, std::wstring& path, std::wstring& error);

// One key of an undo file with the values to set in it.
struct TUndoKey {
    HKEY Root = nullptr;
    std::wstring Path;
    std::wstring Text; // as written in the file
    std::vector<TRegNamedValue> Values;
};

// Parses the text of an export file; on an error (with its line number) keys is left empty.
bool ParseUndoText(const std::wstring& text, std::vector<TUndoKey>& keys, std::wstring& error);
// Reads and parses a file (UTF-16LE with a byte-order mark).
bool ReadUndoFile(const std::wstring& path, std::vector<TUndoKey>& keys, std::wstring& error);

struct TRestoreReport {
    int Keys = 0;
    int Values = 0;
    // What could not be written, one text each.
    std::vector<std::wstring> Failures;
};
// Creates every key and sets every value as the file holds it; nothing is deleted. A key that a
// registry link lies on the way to (at any step, the system's own links aside) is not written.
TRestoreReport RestoreUndoKeys(const std::vector<TUndoKey>& keys);
