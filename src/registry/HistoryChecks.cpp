// Rules of the history checks: every entry of the file-dialog and open/save lists is listed, so that
// the whole history goes.
#include "registry/EntryKey.h"
#include "registry/KeyCheck.h"

namespace {

// Text data is escaped where it is a drive path.
TBackupEntry TextBackup(const std::wstring& name, const std::wstring& data)
{
    return {.Form = TBackupForm::NamedText, .Name = name, .Data = data,
            .EscapeData = data.size() > 1 && data[1] == L':'};
}

} // namespace

void KeyRules::FileDialogEntry(TCheckWalk& walk, const TCheckEntry& entry)
{
    const TRegValue& value = *entry.Value;
    TBackupEntry backup;
    switch (value.Type) {
    case REG_BINARY:
        backup = {.Form = TBackupForm::Binary, .Name = entry.Name, .Bytes = value.Data};
        break;
    case REG_DWORD:
        backup = {.Form = TBackupForm::Dword, .Name = entry.Name, .Number = value.Dword()};
        break;
    case REG_SZ:
    case REG_EXPAND_SZ:
        backup = TextBackup(entry.Name, value.Text());
        break;
    default:
        backup.Form = TBackupForm::Nothing; // the export lines describe no other type
        break;
    }
    walk.ReportValue(L"", entry.Name, L"", backup);
}

void KeyRules::OpenSaveGroup(TCheckWalk& walk, const TCheckEntry& entry)
{
    TRegKey group;
    if (!OpenEntryKey(walk.Key().Handle(), entry.Name, group))
        return;
    for (const TRegNamedValue& value : group.Values()) {
        if (!value.Value.IsText() || HoldsNull(value.Name))
            continue;
        const std::wstring data = value.Value.Text();
        walk.ReportValue(entry.Name, value.Name, data, TextBackup(value.Name, data), std::nullopt, &group);
    }
}
