// The file-type walk: every key directly below HKEY_CLASSES_ROOT (extensions and class keys alike),
// its default icon, its "shell" key and the commands of its verbs.
#include "common/Kelvor_Routine.h"
#include "common/TextCompare.h"
#include "registry/ClassesView.h"
#include "registry/EntryKey.h"
#include "registry/RegistryScan.h"
#include "registry/RegistryTexts.h"
#include "ui/Label.h"
#include "ui/ProgressBar.h"

namespace {

const TFindingRecorder::TWhere kClasses{HKEY_CLASSES_ROOT, 0, L"HKEY_CLASSES_ROOT\\"};

// A default value read as text: an absent one reads as empty. False when it is of another type.
bool DefaultText(const TRegKey& key, std::wstring& text)
{
    text.clear();
    TRegValue stored;
    if (key.ReadValue(L"", stored) != ERROR_SUCCESS)
        return true;
    if (!stored.IsText())
        return false;
    text = stored.Text();
    return true;
}

// No values, or only the default one.
bool OnlyDefault(const std::vector<std::wstring>& values)
{
    return values.empty() || (values.size() == 1 && values[0].empty());
}

} // namespace

int32_t TScanRegistry::ScanFileTypes(TLabel& status, TProgressBar& progress)
{
    status.SetCaption(ScanPrefix + Text(RegText::FileTypeIcon));
    // The classes both kinds of program share: a command may name a 32-bit program's file.
    const TPathJudge judge(Hooks.DriveType, true, Hooks.Attributes);
    TRegKey classes;
    if (classes.OpenOrCreate(HKEY_CLASSES_ROOT, L"") != ERROR_SUCCESS)
        return 0;
    int32_t found = 0;
    for (const std::wstring& name : classes.SubKeyNames()) {
        if (!KeepGoing())
            break;
        progress.StepIt();
        found += CheckFileType(judge, classes, name);
    }
    return found;
}

int32_t TScanRegistry::CheckFileType(const TPathJudge& judge, const TRegKey& classes, const std::wstring& name)
{
    TRegKey type;
    std::wstring typeDefault;
    if (!OpenEntryKey(classes.Handle(), name, type) || !DefaultText(type, typeDefault))
        return 0;
    const std::vector<std::wstring> subKeys = type.SubKeyNames();
    if (subKeys.empty()) {
        if (!typeDefault.empty() || !OnlyDefault(type.ValueNames()))
            return 0;
        // A class key that holds nothing: no command or icon of it is wrong, the key is empty.
        Recorder.AddKey(kClasses, name, Text(RegText::EmptyKey), L"", FirstImageIndex,
                        {kClasses.DisplayRoot + name});
        return 1;
    }
    int32_t found = 0;
    for (const std::wstring& sub : subKeys) {
        if (!KeepGoing())
            break;
        // A finding of the default icon or the shell key names the class key itself when that is all
        // the class key holds.
        const std::wstring reported = subKeys.size() == 1 ? name : name + L"\\" + sub;
        if (SameText(sub, L"DefaultIcon"))
            found += CheckDefaultIcon(judge, type, name, sub, reported);
        else if (SameText(sub, L"shell"))
            found += CheckShell(judge, type, name, sub, reported, typeDefault);
    }
    return found;
}

int32_t TScanRegistry::CheckDefaultIcon(const TPathJudge& judge, const TRegKey& type, const std::wstring& name,
                                        const std::wstring& sub, const std::wstring& reported)
{
    TRegKey icon;
    std::wstring raw;
    if (!OpenEntryKey(type.Handle(), sub, icon) || !DefaultText(icon, raw))
        return 0;
    const std::vector<std::wstring> subKeys = icon.SubKeyNames();
    const std::vector<std::wstring> values = icon.ValueNames();
    const std::wstring keyLine = kClasses.DisplayRoot + name + L"\\" + sub;
    std::wstring target = judge.Resolved(RemoveQuotes(ExpandSystemRoot(raw, judge.WindowsFolder())));
    if (TrimText(target).empty() && subKeys.empty() && values.empty()) {
        Recorder.AddKey(kClasses, reported, Text(RegText::FileTypeIcon), L"", FirstImageIndex, {keyLine});
        return 1;
    }
    if (!HasDrivePathForm(target) || !judge.FixedDrive(target) || judge.PathPresent(target, true))
        return 0;
    target = CutAtKnownExtension(target);
    // Without an extension, a text with a dot or a comma is not taken for a path.
    if (!HasExtensionMark(target, false) && target.find_first_of(L".,") != std::wstring::npos)
        return 0;
    const TBackupEntry backup{.KeyPath = keyLine, .Form = TBackupForm::DefaultText, .Data = raw, .EscapeData = true};
    if (values.size() < 2)
        Recorder.AddKey(kClasses, reported, Text(RegText::FileTypeIcon), raw, SecondImageIndex, backup);
    else
        Recorder.AddValue(kClasses, name + L"\\" + sub, L"", Text(RegText::FileTypeIcon), raw, SecondImageIndex,
                          backup);
    return 1;
}

int32_t TScanRegistry::CheckShell(const TPathJudge& judge, const TRegKey& type, const std::wstring& name,
                                  const std::wstring& sub, const std::wstring& reported,
                                  const std::wstring& typeDefault)
{
    TRegKey shell;
    std::wstring shellDefault;
    if (!OpenEntryKey(type.Handle(), sub, shell) || !DefaultText(shell, shellDefault))
        return 0;
    const std::vector<std::wstring> verbs = shell.SubKeyNames();
    // An empty shell key; below an extension key only when the extension names no class either.
    const bool extension = !name.empty() && name.front() == L'.';
    if (TrimText(shellDefault).empty() && verbs.empty() && shell.ValueNames().empty() &&
        (!extension || TrimText(typeDefault).empty())) {
        Recorder.AddKey(kClasses, reported, Text(RegText::FileTypeCommand), L"", FirstImageIndex,
                        {kClasses.DisplayRoot + name + L"\\" + sub});
        return 1;
    }
    int32_t found = 0;
    for (const std::wstring& verb : verbs) {
        TRegKey verbKey;
        TRegKey command;
        TRegValue stored;
        if (!OpenEntryKey(shell.Handle(), verb, verbKey) || !OpenEntryKey(verbKey.Handle(), L"command", command) ||
            command.ReadValue(L"", stored) != ERROR_SUCCESS || !stored.IsText())
            continue;
        const std::wstring raw = stored.Text();
        const std::wstring expanded = ExpandSystemRoot(raw, judge.WindowsFolder());
        std::wstring target = judge.Resolved(RemoveQuotes(expanded));
        if (!HasDrivePathForm(target) || !judge.FixedDrive(target))
            continue;
        // A verb's command is run as a command line: its program part counts, not its arguments, and
        // one the system could not parse is no finding.
        if (judge.Command(expanded) != TPresence::Missing || judge.PathPresent(target, true))
            continue;
        target = CutAtKnownExtension(target);
        if (!HasExtensionMark(target, false) && (target.find(L'.') != std::wstring::npos || CountQuotes(raw) > 2))
            continue;
        const std::wstring path = name + L"\\" + sub + L"\\" + verb + L"\\command";
        Recorder.AddValue(kClasses, path, L"", Text(RegText::FileTypeCommand), raw, SecondImageIndex,
                          {.KeyPath = kClasses.DisplayRoot + path, .Form = TBackupForm::DefaultText, .Data = raw,
                           .EscapeData = true});
        ++found;
    }
    return found;
}
