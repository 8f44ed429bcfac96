// Rules of the checks on installed software: empty software keys, installer folders and uninstall
// entries.
#include "common/Kelvor_Routine.h"
#include "common/TextCompare.h"
#include "registry/ClassesView.h"
#include "registry/EntryKey.h"
#include "registry/KeyCheck.h"

namespace {

// Keys the system itself keeps below Software, empty or not: other programs expect to find them
// there, so an empty one is no leftover. "Registered Applications" is Wine's name for the key.
const wchar_t* const kSystemKeys[] = {L"Clients", L"Microsoft", L"Policies", L"RegisteredApplications",
                                      L"Registered Applications", L"Wow6432Node"};

bool IsSystemKey(const std::wstring& name)
{
    // "Classes" as written; in any other case it is judged like every key.
    if (name == L"Classes")
        return true;
    for (const wchar_t* key : kSystemKeys)
        if (SameText(name, key))
            return true;
    return false;
}

} // namespace

void KeyRules::EmptySoftwareKey(TCheckWalk& walk, const TCheckEntry& entry)
{
    if (IsSystemKey(entry.Name))
        return;
    TRegKey key;
    DWORD subKeys = 0;
    DWORD values = 0;
    if (!OpenEntryKey(walk.Key().Handle(), entry.Name, key) || !key.Counts(subKeys, values) || subKeys != 0 ||
        values != 0)
        return;
    walk.ReportKey(entry.Name, L"", {}, std::nullopt, &key);
}

void KeyRules::InstallerFolder(TCheckWalk& walk, const TCheckEntry& entry)
{
    const std::wstring& folder = entry.Name;
    if (!walk.Judge().FixedDrive(folder) || walk.Judge().Folder(folder))
        return;
    walk.ReportValue(L"", folder, L"",
                     {.Form = TBackupForm::NamedText, .Name = folder, .EscapeName = true,
                      .Data = entry.Value->Text(), .EscapeData = true});
}

void KeyRules::UninstallEntry(TCheckWalk& walk, const TCheckEntry& entry)
{
    TRegKey program;
    TRegKey::TContents contents;
    if (!OpenEntryContents(walk.Key().Handle(), entry.Name, program, contents))
        return;
    const std::vector<TRegNamedValue>& values = contents.Values;
    // An entry of nothing but its default value: listed when that is an empty text.
    if (contents.SubKeys.empty() && (values.empty() || (values.size() == 1 && TrimText(values[0].Name).empty()))) {
        if (!values.empty() && values[0].Name.empty() && values[0].Value.IsText() &&
            TrimText(values[0].Value.Text()).empty())
            walk.ReportKey(entry.Name, L"", {}, std::nullopt, &program);
        return;
    }
    for (const TRegNamedValue& value : values) {
        if (!value.Value.IsText() || HoldsNull(value.Name))
            continue;
        const std::wstring raw = value.Value.Text();
        const std::wstring unquoted = RemoveQuotes(raw);
        std::wstring target = walk.Judge().Resolved(ExpandSystemRoot(unquoted, walk.WindowsFolder()));
        if (!HasDrivePathForm(target) || !walk.Judge().FixedDrive(target))
            continue;
        // Whatever exists at the path, as written or cut, is not missing, whether or not its name ends
        // like a file's.
        if (walk.Judge().PathPresent(target, true))
            continue;
        target = CutAtKnownExtension(target);
        // Without an extension the text is taken for a folder only when it has no dot and at most
        // one pair of quotes.
        if (!HasExtensionMark(target, false) && (target.find(L'.') != std::wstring::npos || CountQuotes(raw) > 2))
            continue;
        const bool quoted = !raw.empty() && raw.front() == L'"';
        walk.ReportValue(entry.Name, value.Name, raw,
                         {.Form = quoted ? TBackupForm::QuotedNamed : TBackupForm::NamedText, .Name = value.Name,
                          .Data = quoted ? unquoted : raw, .EscapeData = true},
                         std::nullopt, &program);
    }
}
