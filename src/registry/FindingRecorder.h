#pragma once
// The only writer of the registry fixer's findings and backup lines, and of its list view's rows.
// A check hands over a typed finding and the backup entry that describes it; nothing else touches
// the lists.
#include "common/Types.h"
#include "registry/BackupLines.h"
#include "common/KeyLocation.h"
#include "registry/RegFinding.h"

#include <vector>

class TListView;

class TFindingRecorder {
public:
    // Forgets every finding and backup line, and reads the roots' names anew.
    void Reset();

    // Where a check reads: the root, the view it opens keys in, the key column's text before the path
    // ("HKEY_CLASSES_ROOT\"), and whether the entries belong to 32-bit programs.
    struct TWhere {
        HKEY Root;
        REGSAM View;
        std::wstring DisplayRoot;
        bool ThirtyTwoBit = false;
    };
    // A key as a finding names it: its path below the root, and the key column's text when that is not
    // the display root followed by the path (a check's own form, with a trailing backslash for one).
    struct TKeyName {
        std::wstring Path;
        std::wstring Text;
        // The key itself, where the check holds it open: its place is asked of it rather than found by
        // opening the path again.
        HKEY Opened = nullptr;
    };
    // A finding of the whole key root\path.
    void AddKey(const TWhere& where, const std::wstring& path, const std::wstring& itemName,
                const std::wstring& data, int32_t image, const TBackupEntry& backup);
    void AddKey(const TWhere& where, const TKeyName& key, const std::wstring& itemName, const std::wstring& data,
                int32_t image, const TBackupEntry& backup);
    // A finding of one value of the key root\path (an empty name is the default value).
    void AddValue(const TWhere& where, const std::wstring& path, const std::wstring& valueName,
                  const std::wstring& itemName, const std::wstring& data, int32_t image, const TBackupEntry& backup);
    void AddValue(const TWhere& where, const TKeyName& key, const std::wstring& valueName,
                  const std::wstring& itemName, const std::wstring& data, int32_t image, const TBackupEntry& backup);

    const std::vector<TRegFinding>& Findings() const { return Findings_; }
    const TWideStrings& BackupLines() const { return BackupLines_; }

    // Shows every finding that no ignore line names, checked, each row carrying its finding's number;
    // returns how many were left out.
    int FillList(TListView& list, const TWideStrings& ignoreLines) const;
    // The finding of a row filled by FillList; nullptr for any other row.
    const TRegFinding* RowFinding(const TListView& list, int row) const;

private:
    void Add(TFindingKind kind, const TWhere& where, const TKeyName& key, const std::wstring& valueName,
             const std::wstring& itemName, const std::wstring& data, int32_t image, const TBackupEntry& backup);

    std::vector<TRegFinding> Findings_;
    TWideStrings BackupLines_;
    TKeyLocator Locator_;
};

// An ignore line names a finding when, split at its last "=", its left part is the key text and its
// right part the value text (both exact; a line without "=" has an empty left part).
bool IgnoreLineNames(const std::wstring& line, const TRegFinding& finding);
