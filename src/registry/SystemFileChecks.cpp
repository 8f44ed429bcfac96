// Rules of the checks on system files: fonts, help files, sound events and multimedia drivers.
#include "common/Kelvor_Routine.h"
#include "common/TextCompare.h"
#include "registry/ClassesView.h"
#include "registry/EntryKey.h"
#include "registry/KeyCheck.h"

void KeyRules::Font(TCheckWalk& walk, const TCheckEntry& entry)
{
    // A bare font file name (the usual form, found in the Fonts folder) fails the drive test and is
    // never judged; a full path is tested as it stands.
    const std::wstring file = entry.Value->Text();
    if (file.empty() || !walk.Judge().FixedDrive(file) || walk.Judge().File(file))
        return;
    walk.ReportValue(L"", entry.Name, file,
                     {.Form = TBackupForm::NamedText, .Name = entry.Name, .Data = file, .EscapeData = true});
}

void KeyRules::HelpFile(TCheckWalk& walk, const TCheckEntry& entry)
{
    // The value's name is the help file, its data the folder that holds it. A folder on a network or
    // removable drive is not judged: it may just not be there now.
    const std::wstring folder = entry.Value->Text();
    const std::wstring file = folder + (!folder.empty() && folder.back() == L'\\' ? L"" : L"\\") + entry.Name;
    if (!walk.Judge().FixedDrive(file) || walk.Judge().File(file))
        return;
    walk.ReportValue(L"", entry.Name, file,
                     {.Form = TBackupForm::NamedText, .Name = entry.Name, .Data = folder, .EscapeData = true});
}

void KeyRules::SoundEvent(TCheckWalk& walk, const TCheckEntry& entry)
{
    TRegKey event;
    if (!OpenEntryKey(walk.Key().Handle(), entry.Name, event))
        return;
    for (const std::wstring& scheme : event.SubKeyNames()) {
        TRegKey schemeKey;
        TRegValue stored;
        if (!OpenEntryKey(event.Handle(), scheme, schemeKey) || schemeKey.ReadValue(L"", stored) != ERROR_SUCCESS ||
            !stored.IsText())
            continue;
        const std::wstring sound = TrimText(stored.Text());
        const std::wstring below = entry.Name + L"\\" + scheme;
        if (sound.empty()) {
            if (SameText(scheme, L"utopia0"))
                walk.ReportKey(below, L"", {}, std::nullopt, &schemeKey);
            continue;
        }
        const std::wstring target = walk.Judge().Resolved(RemoveQuotes(ExpandSystemRoot(sound, walk.WindowsFolder())));
        if (target.size() < 2 || target[1] != L':' || !HasExtensionMark(target, true) ||
            !walk.Judge().FixedDrive(target) || walk.Judge().PathPresent(target, false))
            continue;
        walk.ReportValue(below, L"", target, {.Form = TBackupForm::DefaultText, .Data = sound, .EscapeData = true},
                         std::nullopt, &schemeKey);
    }
}

void KeyRules::Driver32(TCheckWalk& walk, const TCheckEntry& entry)
{
    if (!entry.Value->Text().empty())
        return;
    walk.ReportValue(L"", entry.Name, L"", {.Form = TBackupForm::EmptyData, .Name = entry.Name});
}
