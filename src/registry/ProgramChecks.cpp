// Rules of the checks on programs: application paths, run entries, the MUI cache and shared DLLs.
#include "common/Paths.h"
#include "registry/EntryKey.h"
#include "registry/KeyCheck.h"

#include <algorithm>

void KeyRules::AppPath(TCheckWalk& walk, const TCheckEntry& entry)
{
    TRegKey program;
    TRegValue stored;
    if (!OpenEntryKey(walk.Key().Handle(), entry.Name, program) || program.ReadValue(L"", stored) != ERROR_SUCCESS ||
        !stored.IsText())
        return;
    const std::wstring raw = stored.Text();
    std::wstring target = ExpandSystemRoot(raw, walk.WindowsFolder());
    if (!target.empty() && target.front() == L'"')
        target = RemoveQuotes(target);
    target = walk.Judge().Resolved(target);
    ReplaceAll(target, L"%ProgramFiles%", walk.WindowsFolder().substr(0, 3) + L"Program Files");
    // The path as written, not cut: an application path names the program alone.
    if (!walk.Judge().FixedDrive(target) || !HasDrivePathForm(target) || walk.Judge().File(target))
        return;
    walk.ReportValue(entry.Name, L"", target, {.Form = TBackupForm::DefaultText, .Data = raw, .EscapeData = true},
                     std::nullopt, &program);
}

void KeyRules::RunEntry(TCheckWalk& walk, const TCheckEntry& entry)
{
    const std::wstring raw = entry.Value->Text();
    if (raw.empty()) {
        walk.ReportValue(L"", entry.Name, L"", {.Form = TBackupForm::EmptyData, .Name = entry.Name}, TImage::First);
        return;
    }
    // Judged as the system runs it: the program part, whatever the arguments name. Not expanded: a
    // command that begins with "%SystemRoot%" names no program that could be judged.
    if (walk.Judge().Command(raw) != TPresence::Missing)
        return;
    const std::wstring target = RemoveQuotes(raw);
    walk.ReportValue(L"", entry.Name, target,
                     {.Form = TBackupForm::NamedText, .Name = entry.Name, .Data = raw, .EscapeData = true});
}

void KeyRules::MuiCacheEntry(TCheckWalk& walk, const TCheckEntry& entry)
{
    // A name that begins with "@" names a resource: "@<program>,<number>".
    std::wstring program = entry.Name;
    if (!program.empty() && program.front() == L'@') {
        const size_t comma = program.find(L',');
        program = comma == std::wstring::npos ? std::wstring() : program.substr(1, std::min<size_t>(comma - 1, 255));
    }
    const std::wstring target = walk.Judge().Resolved(RemoveQuotes(ExpandSystemRoot(program, walk.WindowsFolder())));
    if (!walk.Judge().FixedDrive(target) || !HasDrivePathForm(target) || walk.Judge().PathPresent(target, false))
        return;
    const std::wstring data = entry.Value->Text();
    walk.ReportValue(L"", entry.Name, data,
                     {.Form = TBackupForm::NamedText, .Name = entry.Name, .EscapeName = true, .Data = data});
}

void KeyRules::SharedDll(TCheckWalk& walk, const TCheckEntry& entry)
{
    // A count of 0 is a finding even where the file is there: nothing uses it any more.
    const uint32_t count = entry.Value->Dword();
    if (!walk.Judge().FixedDrive(entry.Name) || (count != 0 && walk.Judge().File(entry.Name)))
        return;
    walk.ReportValue(L"", entry.Name, std::to_wstring(static_cast<int32_t>(count)),
                     {.Form = TBackupForm::Dword, .Name = entry.Name, .EscapeName = true, .Number = count});
}
