// Type-library registrations whose library file or help folder is gone, or which are left empty.
#include "common/Registry.h"
#include "common/TextCompare.h"
#include "registry/ClassesView.h"
#include "registry/RegistryScan.h"
#include "registry/RegistryTexts.h"
#include "ui/Label.h"

namespace {

// No subkeys, and no values or only the default one.
bool HoldsNothingElse(const std::vector<std::wstring>& subKeys, const std::vector<std::wstring>& values)
{
    return subKeys.empty() && (values.empty() || (values.size() == 1 && values[0].empty()));
}

} // namespace

int32_t TScanRegistry::ScanTypeLibraries(TLabel& status, TProgressBar& progress)
{
    status.SetCaption(ScanPrefix + Text(RegText::ComEntry));
    return WalkClassesEntries(L"TypeLib", progress, &TScanRegistry::CheckLibrary);
}

int32_t TScanRegistry::CheckLibrary(const TClassesView& view, const TPathJudge& judge, HKEY libraries,
                                    const std::wstring& name)
{
    TRegKey library;
    if (library.Open(libraries, name, KEY_READ) != ERROR_SUCCESS)
        return 0;
    int32_t found = 0;
    for (const std::wstring& version : library.SubKeyNames()) {
        TRegKey versionKey;
        if (versionKey.Open(library.Handle(), version, KEY_READ) == ERROR_SUCCESS)
            found += CheckLibraryGroup(view, judge, versionKey, view.Prefix + L"TypeLib\\" + name + L"\\" + version);
    }
    return found;
}

// The keys below one version: locale keys (holding the platform keys) and the flags and help-folder
// keys, all walked alike.
int32_t TScanRegistry::CheckLibraryGroup(const TClassesView& view, const TPathJudge& judge, const TRegKey& versionKey,
                                         const std::wstring& versionPath)
{
    const TFindingRecorder::TWhere where = ClassesWhere(view);
    int32_t found = 0;
    for (const std::wstring& groupName : versionKey.SubKeyNames()) {
        TRegKey group;
        if (group.Open(versionKey.Handle(), groupName, KEY_READ) != ERROR_SUCCESS)
            continue; // a key that cannot be read is never judged empty
        const std::vector<std::wstring> platforms = group.SubKeyNames();
        const std::vector<std::wstring> groupValues = group.ValueNames();
        const std::wstring groupPath = versionPath + L"\\" + groupName;
        const std::wstring groupText = where.DisplayRoot + groupPath;

        for (const std::wstring& platform : platforms) {
            if (!SameText(platform, L"win32"))
                continue;
            TRegKey win32;
            if (win32.Open(group.Handle(), platform, KEY_READ) != ERROR_SUCCESS)
                continue;
            TRegValue stored;
            if (win32.ReadValue(L"", stored) != ERROR_SUCCESS || !stored.IsText())
                continue;
            if (!HoldsNothingElse(win32.SubKeyNames(), win32.ValueNames()))
                continue;
            const std::wstring file = stored.Text();
            const std::wstring reported = platforms.size() < 2 ? groupPath : groupPath + L"\\" + platform;
            const std::wstring keyLine = groupText + L"\\" + platform;
            if (file.empty()) {
                Recorder.AddKey(where, reported, Text(RegText::ComEntry), L"", FirstImageIndex, {keyLine});
                ++found;
                continue;
            }
            // A "win32" entry names a 32-bit library, as a 32-bit program sees it, in either view.
            if (!EndsInDotAndThree(file) || !HasDrivePathForm(file) || !judge.FixedDrive(file) || judge.File(file, true))
                continue;
            Recorder.AddKey(where, reported, Text(RegText::ComEntry), file, SecondImageIndex,
                             {.KeyPath = keyLine, .Form = TBackupForm::DefaultText, .Data = file, .EscapeData = true});
            ++found;
        }
        if (!platforms.empty())
            continue;

        TRegValue stored;
        if (group.ReadValue(L"", stored) != ERROR_SUCCESS || !stored.IsText())
            continue;
        const std::wstring data = stored.Text();
        if (data.empty()) {
            if (!groupValues.empty() && !(groupValues.size() == 1 && groupValues[0].empty()))
                continue;
            Recorder.AddKey(where, groupPath, Text(RegText::EmptyKey), L"", FirstImageIndex, {groupText});
            ++found;
            continue;
        }
        const std::wstring target = judge.Resolved(RemoveQuotes(ExpandSystemRoot(data, judge.WindowsFolder())));
        if (!judge.FixedDrive(target) || !HasDrivePathForm(target) || judge.PathPresent(target, false))
            continue;
        // Whatever exists at the path is not missing, whether or not its name ends like a file's.
        if (judge.Folder(target))
            continue;
        if (!HasExtensionMark(target, false) && (target.find(L'.') != std::wstring::npos || CountQuotes(data) > 2))
            continue;
        // A help folder is part of the library's registration: it carries the library's line.
        Recorder.AddKey(where, groupPath, Text(RegText::ComEntry), target, SecondImageIndex,
                         {.KeyPath = groupText, .Form = TBackupForm::DefaultText, .Data = target, .EscapeData = true});
        ++found;
    }
    return found;
}
