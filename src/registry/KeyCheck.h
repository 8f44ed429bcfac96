#pragma once
// The category checks that each walk one fixed key: one row of a table per check, walked by one
// routine (TScanRegistry::RunKeyCheck). A row gives the key, whether it is created when missing, what
// is enumerated, the value types considered, the language line, the image, the progress step, whether
// the check pumps messages, whether the key has a 32-bit twin, and the rule that makes a finding.
#include "common/Registry.h"
#include "registry/BackupLines.h"
#include "registry/FindingRecorder.h"
#include "registry/PathJudge.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TScanRegistry;
class TCheckWalk;

// The rows of the table, named as the checks they are.
enum class TKeyCheckId {
    ScanAppPaths,
    ScanFonts,
    ScanHelpFiles,
    ScanHtmlHelpFiles,
    ScanFileDialogHistory,
    ScanOpenSaveHistory,
    ScanSharedDlls,
    ScanMenuOrderFolders,
    ScanUserSoftwareKeys,
    ScanMachineSoftwareKeys,
    ScanInstallerFolders,
    ScanUninstallEntries,
    ScanSoundEvents,
    ScanStartMenuOrder,
    ScanRunEntries,
    ScanMuiCache,
    ScanDrivers32,
};

enum class TEntries { Values, SubKeys };
enum class TStep { Once, PerEntry, Never };
// What a row's second key is for: walked after the first, or walked instead of a first key that has
// no subkeys.
enum class TSecondKey { None, AlsoWalked, InsteadOfEmptyFirst };
enum class TImage { First, Second };

// Value types a row considers, as a mask of 1 << type; 0 takes every type.
inline constexpr unsigned kTextValues = 1u << REG_SZ | 1u << REG_EXPAND_SZ;
inline constexpr unsigned kPlainTextValues = 1u << REG_SZ;
inline constexpr unsigned kNumberValues = 1u << REG_DWORD;
inline constexpr unsigned kAnyValues = 0;

// One entry of the walked key: a value (with its type and data) or a subkey (Value is null).
struct TCheckEntry {
    const std::wstring& Name;
    const TRegValue* Value;
};

struct TKeyCheck {
    // The key as the check's findings show it: root name, path, and a trailing backslash where the
    // check writes one. Findings below it add their names after a backslash.
    const wchar_t* Key;
    bool Create;
    const wchar_t* SecondKey;
    bool SecondCreate;
    TSecondKey Second;
    TEntries Entries;
    unsigned Types;
    // The language line (registry/RegistryTexts.h) of the status line and of every finding.
    int Line;
    TStep Step;
    bool Pumps;
    TImage Image;
    // Walked in the 32-bit view too, where that is a key of its own.
    bool ThirtyTwoBitTwin;
    // Run once before the key is opened; false: nothing to judge, no entry is looked at.
    bool (*Prepare)(TCheckWalk& walk);
    void (*Rule)(TCheckWalk& walk, const TCheckEntry& entry);
};

const TKeyCheck& KeyCheck(TKeyCheckId id);

// What one walk of a row's key in one view offers its rule: the open key, the path tests of the
// view, and the way to report.
class TCheckWalk {
public:
    TCheckWalk(TScanRegistry& scanner, const TKeyCheck& row, const TPathJudge& judge);

    // The walked key, open for reading, and where it is.
    const TRegKey& Key() const { return *Key_; }
    const TPathJudge& Judge() const { return *Judge_; }
    const std::wstring& WindowsFolder() const { return Judge_->WindowsFolder(); }
    // Folders a check prepares for its rule (the menu-order check's program folders).
    std::vector<std::wstring> Folders;

    // A finding of the key below the walked one ("" for the walked key itself), or of one of its
    // values; the backup entry's key line is the finding's key. The image is the row's unless given.
    // A rule that holds the finding's key open hands it over (opened), so that its place need not be
    // found again.
    void ReportKey(const std::wstring& below, const std::wstring& data, TBackupEntry backup,
                   std::optional<TImage> image = std::nullopt, const TRegKey* opened = nullptr);
    void ReportValue(const std::wstring& below, const std::wstring& name, const std::wstring& data,
                     TBackupEntry backup, std::optional<TImage> image = std::nullopt,
                     const TRegKey* opened = nullptr);

    int32_t Found() const { return Found_; }

    // Set by the walking routine for each key it walks: the key, where it lies (its path below the
    // root and the key column's text) and how its paths are judged.
    void Walking(const TRegKey& key, const TFindingRecorder::TWhere& where, const std::wstring& path,
                 const std::wstring& display, const TPathJudge& judge);

private:
    void Report(TFindingKind kind, const std::wstring& below, const std::wstring& name, const std::wstring& data,
                TBackupEntry backup, std::optional<TImage> image, const TRegKey* opened);

    TScanRegistry& Scanner_;
    const TKeyCheck& Row_;
    const TPathJudge* Judge_;
    const TRegKey* Key_ = nullptr;
    TFindingRecorder::TWhere Where_{};
    std::wstring Path_;
    std::wstring Display_;
    int32_t Found_ = 0;
};

// The rules of the rows, one family of checks per file.
namespace KeyRules {
// Programs: their paths, run entries, the MUI cache, shared DLLs.
void AppPath(TCheckWalk& walk, const TCheckEntry& entry);
void RunEntry(TCheckWalk& walk, const TCheckEntry& entry);
void MuiCacheEntry(TCheckWalk& walk, const TCheckEntry& entry);
void SharedDll(TCheckWalk& walk, const TCheckEntry& entry);
// System files: fonts, help files, sounds, drivers.
void Font(TCheckWalk& walk, const TCheckEntry& entry);
void HelpFile(TCheckWalk& walk, const TCheckEntry& entry);
void SoundEvent(TCheckWalk& walk, const TCheckEntry& entry);
void Driver32(TCheckWalk& walk, const TCheckEntry& entry);
// History lists.
void FileDialogEntry(TCheckWalk& walk, const TCheckEntry& entry);
void OpenSaveGroup(TCheckWalk& walk, const TCheckEntry& entry);
// Installed software: empty software keys, installer folders, uninstall entries.
void EmptySoftwareKey(TCheckWalk& walk, const TCheckEntry& entry);
void InstallerFolder(TCheckWalk& walk, const TCheckEntry& entry);
void UninstallEntry(TCheckWalk& walk, const TCheckEntry& entry);
// The start menu.
bool ProgramsFolders(TCheckWalk& walk);
void MenuOrderFolder(TCheckWalk& walk, const TCheckEntry& entry);
void StartMenuOrderEntry(TCheckWalk& walk, const TCheckEntry& entry);
} // namespace KeyRules
