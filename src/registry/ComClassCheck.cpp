// COM class registrations whose server, icon or program-identifier subkey names a file that is gone
// or is left empty.
#include "common/Kelvor_Routine.h"
#include "common/Registry.h"
#include "common/TextCompare.h"
#include "registry/ClassesView.h"
#include "registry/RegistryScan.h"
#include "registry/RegistryTexts.h"
#include "ui/Label.h"

#include <algorithm>

namespace {

bool IsCheckedSubkey(const std::wstring& name)
{
    static const wchar_t* const kNames[] = {L"InprocServer32", L"InprocServer",  L"ToolboxBitmap32",
                                            L"LocalServer32",  L"DefaultIcon",   L"VersionIndependentProgID",
                                            L"ProgID"};
    for (const wchar_t* known : kNames)
        if (SameText(name, known))
            return true;
    return false;
}

} // namespace

int32_t TScanRegistry::ScanComClasses(TLabel& status, TProgressBar& progress)
{
    status.SetCaption(ScanPrefix + Text(RegText::ComEntry));
    return WalkClassesEntries(L"CLSID", progress, &TScanRegistry::CheckClass);
}

int32_t TScanRegistry::CheckClass(const TClassesView& view, const TPathJudge& judge, HKEY classes,
                                  const std::wstring& name)
{
    TRegKey classKey;
    if (classKey.Open(classes, name, KEY_READ) != ERROR_SUCCESS)
        return 0;
    const TFindingRecorder::TWhere where = ClassesWhere(view);
    int32_t found = 0;
    for (const std::wstring& subName : classKey.SubKeyNames()) {
        if (!IsCheckedSubkey(subName))
            continue;
        // A key that cannot be read is never judged empty.
        TRegKey sub;
        if (sub.Open(classKey.Handle(), subName, KEY_READ) != ERROR_SUCCESS)
            continue;
        const TRegKey::TContents contents = sub.Contents();
        const std::vector<TRegNamedValue>& values = contents.Values;
        const auto stored = std::find_if(values.begin(), values.end(), [](const TRegNamedValue& v) { return v.Name.empty(); });
        if (stored == values.end() || !stored->Value.IsText())
            continue;
        const std::wstring data = TrimText(stored->Value.Text());
        const std::wstring path = view.Prefix + L"CLSID\\" + name + L"\\" + subName;
        const TFindingRecorder::TKeyName key{path, where.DisplayRoot + path, sub.Handle()};

        if (data.empty()) {
            const std::vector<std::wstring>& subKeys = contents.SubKeys;
            if (!subKeys.empty() && !(subKeys.size() == 1 && !values.empty() && TrimText(values[0].Name).empty()))
                continue;
            Recorder.AddKey(where, key, Text(RegText::EmptyKey), L"", FirstImageIndex, {key.Text});
            ++found;
            continue;
        }
        const std::wstring target = judge.Resolved(RemoveQuotes(ExpandSystemRoot(data, judge.WindowsFolder())));
        if (!HasDrivePathForm(target) || !HasExtensionMark(target, true) || !judge.FixedDrive(target) ||
            judge.PathPresent(target, false))
            continue;
        const TBackupEntry backup{.KeyPath = key.Text, .Form = TBackupForm::DefaultText, .Data = data,
                                  .EscapeData = true};
        // Named as what it registers, whether the whole subkey goes (it holds nothing else) or its value.
        const std::wstring& item = Text(SameText(subName, L"DefaultIcon") ? RegText::ComIcon : RegText::ComEntry);
        if (values.size() < 2)
            Recorder.AddKey(where, key, item, data, FirstImageIndex, backup);
        else
            Recorder.AddValue(where, key, L"", item, data, FirstImageIndex, backup);
        ++found;
    }
    return found;
}
