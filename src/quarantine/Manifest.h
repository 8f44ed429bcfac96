#pragma once
// The manifest of a quarantine run: what the removal took, and where from, written and flushed before
// the first item is moved, with a line appended after each item. A run interrupted half-way can still
// be restored from it; a line that does not parse is reported and skipped.
//
// UTF-8 text, one record per line; fields are separated by tabs, each "key=value", with "%", tab,
// carriage return and line feed written as %25, %09, %0D and %0A:
//   Quillmar Brisfold quarantine 1
//   run      name=20260105-093000  started=<FILETIME, UTC>  undo=<the run's registry undo file>
//   item     n=1  kind=file  path=...  real=...  size=...  sha256=...  ...
//   done     n=1  sha256=<of the file as the quarantine holds it>
//   left     n=2  outcome=in use
//   restored n=1
#include <windows.h>

#include <string>
#include <vector>

enum class TItemKind { File, Folder, Key, Value, Cookie };

struct TQuarantineItem {
    int Number = 0;
    TItemKind Kind = TItemKind::File;
    std::wstring Path; // as the removal listed it
    std::wstring Real; // File, Folder: its final path then, where it goes back to
    ULONGLONG Size = 0;
    ULONGLONG Created = 0, Accessed = 0, Written = 0; // FILETIME values
    DWORD Attributes = 0;
    std::wstring Sha256;
    std::wstring Sddl;        // its own security descriptor
    bool OtherVolume = false; // copied in, not moved
    std::wstring Root, Key, Value; // Key, Value: where the run's undo file holds it
    std::wstring Definition, Risk;

    // What the lines after it say.
    bool Done = false;
    std::wstring DoneSha256;
    bool Left = false;
    std::wstring LeftText;
    bool Restored = false;

    // Its file in the run's folder: a name that cannot run.
    std::wstring PlaceName() const { return std::to_wstring(Number) + L".quarantined"; }
    // The SHA-256 a restored file must have.
    const std::wstring& ExpectedSha256() const { return DoneSha256.empty() ? Sha256 : DoneSha256; }
    bool Restorable() const { return Kind != TItemKind::Cookie; }
};

struct TManifest {
    std::wstring Name;
    ULONGLONG Started = 0;
    std::wstring UndoFile;
    std::vector<TQuarantineItem> Items;
    // "line 7: ..." for each line that was skipped.
    std::vector<std::wstring> Damaged;

    TQuarantineItem* Find(int number);
};

inline constexpr wchar_t kManifestName[] = L"Manifest.txt";

// The first lines: the format's line and the run line.
std::wstring ManifestHead(const TManifest& manifest);
std::wstring ItemLine(const TQuarantineItem& item);
std::wstring DoneLine(int number, const std::wstring& sha256);
std::wstring LeftLine(int number, const std::wstring& text);
std::wstring RestoredLine(int number);

// False when the text is no manifest (no first line or run line): the run cannot be read.
bool ParseManifest(const std::wstring& text, TManifest& manifest, std::wstring& error);
bool ReadManifest(const std::wstring& path, TManifest& manifest, std::wstring& error);

// Writes the text as a new file (never replacing one), flushed to the disk; false with the reason.
bool CreateManifestFile(const std::wstring& path, const std::wstring& text, std::wstring& error);
// Appends the text to the file and flushes it.
bool AppendToManifest(const std::wstring& path, const std::wstring& text, std::wstring& error);

const wchar_t* ItemKindName(TItemKind kind);
