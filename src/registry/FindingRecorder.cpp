#include "registry/FindingRecorder.h"

#include "ui/ListView.h"

void TFindingRecorder::Reset()
{
    Findings_.clear();
    BackupLines_.clear();
    Locator_ = TKeyLocator();
}

void TFindingRecorder::AddKey(const TWhere& where, const std::wstring& path, const std::wstring& itemName,
                              const std::wstring& data, int32_t image, const TBackupEntry& backup)
{
    Add(TFindingKind::Key, where, {path, where.DisplayRoot + path}, L"", itemName, data, image, backup);
}

void TFindingRecorder::AddKey(const TWhere& where, const TKeyName& key, const std::wstring& itemName,
                              const std::wstring& data, int32_t image, const TBackupEntry& backup)
{
    Add(TFindingKind::Key, where, key, L"", itemName, data, image, backup);
}

void TFindingRecorder::AddValue(const TWhere& where, const std::wstring& path, const std::wstring& valueName,
                                const std::wstring& itemName, const std::wstring& data, int32_t image,
                                const TBackupEntry& backup)
{
    Add(TFindingKind::Value, where, {path, where.DisplayRoot + path}, valueName, itemName, data, image, backup);
}

void TFindingRecorder::AddValue(const TWhere& where, const TKeyName& key, const std::wstring& valueName,
                                const std::wstring& itemName, const std::wstring& data, int32_t image,
                                const TBackupEntry& backup)
{
    Add(TFindingKind::Value, where, key, valueName, itemName, data, image, backup);
}

void TFindingRecorder::Add(TFindingKind kind, const TWhere& where, const TKeyName& key,
                           const std::wstring& valueName, const std::wstring& itemName, const std::wstring& data,
                           int32_t image, const TBackupEntry& backup)
{
    TRegFinding finding;
    finding.Kind = kind;
    finding.Root = where.Root;
    finding.View = where.View;
    finding.KeyPath = key.Path;
    finding.ThirtyTwoBit = where.ThirtyTwoBit;
    finding.ValueName = valueName;
    // Findings of one key usually follow each other: the key is looked up once for them.
    if (Findings_.empty() || Findings_.back().Root != where.Root || Findings_.back().View != where.View ||
        Findings_.back().KeyPath != key.Path) {
        const TKeyLocation hive = Locator_.Locate(where.Root, key.Path, where.View, key.Opened);
        finding.HiveRoot = hive.Root;
        finding.HivePath = hive.Path;
    } else {
        finding.HiveRoot = Findings_.back().HiveRoot;
        finding.HivePath = Findings_.back().HivePath;
    }
    finding.ItemName = itemName;
    finding.KeyText = key.Text;
    finding.ValueText = kind == TFindingKind::Key ? std::wstring(kWholeKey) : valueName;
    finding.DataText = data;
    finding.ImageIndex = image;
    Findings_.push_back(std::move(finding));
    for (std::wstring& line : BackupLinesFor(backup))
        BackupLines_.push_back(std::move(line));
}

bool IgnoreLineNames(const std::wstring& line, const TRegFinding& finding)
{
    const size_t at = line.rfind(L'=');
    const std::wstring left = at == std::wstring::npos ? std::wstring() : line.substr(0, at);
    const std::wstring right = at == std::wstring::npos ? line : line.substr(at + 1);
    return left == finding.KeyText && right == finding.ValueText;
}

int TFindingRecorder::FillList(TListView& list, const TWideStrings& ignoreLines) const
{
    int ignored = 0;
    for (size_t i = 0; i < Findings_.size(); ++i) {
        const TRegFinding& finding = Findings_[i];
        bool named = false;
        for (const std::wstring& line : ignoreLines)
            if ((named = IgnoreLineNames(line, finding)))
                break;
        if (named) {
            ++ignored;
            continue;
        }
        // The row's data is the finding's number plus one, so that a row added by anyone else (0)
        // names no finding.
        list.AddItem(finding.ItemName, {finding.KeyText, finding.ValueText, finding.DataText}, finding.ImageIndex,
                     true, static_cast<LPARAM>(i + 1));
    }
    return ignored;
}

const TRegFinding* TFindingRecorder::RowFinding(const TListView& list, int row) const
{
    const LPARAM data = list.Data(row);
    if (data <= 0 || static_cast<size_t>(data) > Findings_.size())
        return nullptr;
    return &Findings_[static_cast<size_t>(data) - 1];
}
