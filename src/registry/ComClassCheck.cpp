// COM class registrations whose server, icon or program-identifier subkey names a file that is gone
// or is left empty.
#include "common/Kelvor_Routine.h"
#include "common/Registry.h"
#include "registry/ClassesView.h"
#include "registry/RegistryScan.h"
#include "ui/Label.h"
#include "ui/ProgressBar.h"

#include <cwctype>

namespace {

// Lines of the "M_RegistryScan" texts.
constexpr int kEmptyKeyText = 1;
constexpr int kComText = 2;
constexpr int kDefaultIconText = 3;

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

bool IsCheckedSubkey(const std::wstring& lowerName)
{
    static const wchar_t* const kNames[] = {L"inprocserver32", L"inprocserver",  L"toolboxbitmap32",
                                            L"localserver32",  L"defaulticon",   L"versionindependentprogid",
                                            L"progid"};
    for (const wchar_t* name : kNames)
        if (lowerName == name)
            return true;
    return false;
}

} // namespace

int32_t TScanRegistry::ScanComClasses(TLabel& status, TProgressBar& progress)
{
    status.SetCaption(ScanPrefix + Text(kComText));
    const std::wstring windowsFolder = WindowsFolder();
    int32_t found = 0;
    for (const TClassesView& view : ClassesViews(L"CLSID")) {
        TRegKey classes;
        if (!OpenClassesKey(classes, view, L"CLSID"))
            continue; // neither there nor creatable: nothing to judge
        for (const std::wstring& name : classes.SubKeyNames()) {
            if (!KeepGoing())
                return found;
            progress.StepIt();
            found += CheckClass(view, classes.Handle(), name, windowsFolder);
        }
    }
    return found;
}

int32_t TScanRegistry::CheckClass(const TClassesView& view, HKEY classes, const std::wstring& name,
                                  const std::wstring& windowsFolder)
{
    TRegKey classKey;
    if (classKey.Open(classes, name, KEY_READ) != ERROR_SUCCESS)
        return 0;
    const TFindingRecorder::TWhere where = ClassesWhere(view);
    int32_t found = 0;
    for (const std::wstring& subName : classKey.SubKeyNames()) {
        const std::wstring lower = Lower(subName);
        if (!IsCheckedSubkey(lower))
            continue;
        // A key that cannot be read is never judged empty.
        TRegKey sub;
        if (sub.Open(classKey.Handle(), subName, KEY_READ) != ERROR_SUCCESS)
            continue;
        const std::vector<std::wstring> subKeys = sub.SubKeyNames();
        const std::vector<std::wstring> values = sub.ValueNames();
        TRegValue stored;
        if (sub.ReadValue(L"", stored) != ERROR_SUCCESS || !stored.IsText())
            continue;
        const std::wstring data = TrimBlanks(stored.Text());
        const std::wstring path = view.Prefix + L"CLSID\\" + name + L"\\" + subName;
        const std::wstring keyText = where.DisplayRoot + path;

        if (data.empty()) {
            if (!subKeys.empty() && !(subKeys.size() == 1 && !values.empty() && TrimBlanks(values[0]).empty()))
                continue;
            Recorder.AddKey(where, path, Text(kEmptyKeyText), L"", FirstImageIndex, {keyText});
            ++found;
            continue;
        }
        const std::wstring target = RemoveQuotes(ExpandSystemRoot(data, windowsFolder));
        if (!HasDrivePathForm(target) || !HasExtensionMark(target, true) ||
            !PassesFixedDriveTest(target, Hooks.DriveType) ||
            FileSeen(CutAtKnownExtension(target), view.ThirtyTwoBit()))
            continue;
        const TBackupEntry backup{.KeyPath = keyText, .Form = TBackupForm::DefaultText, .Data = data,
                                  .EscapeData = true};
        if (values.size() < 2)
            Recorder.AddKey(where, path, Text(kEmptyKeyText), data, FirstImageIndex, backup);
        else
            Recorder.AddValue(where, path, L"", Text(lower == L"defaulticon" ? kDefaultIconText : kComText), data,
                               FirstImageIndex, backup);
        ++found;
    }
    return found;
}
