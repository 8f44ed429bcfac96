// Keys left with nothing: per-user extension keys below "Explorer\FileExts" and class keys directly
// below HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
#include "registry/EntryKey.h"
#include "registry/RegistryScan.h"
#include "registry/RegistryTexts.h"
#include "ui/Label.h"
#include "ui/ProgressBar.h"

namespace {

const wchar_t kFileExts[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
const wchar_t kMachineClasses[] = L"SOFTWARE\\Classes";

// The key holds a default value that is an empty text, or none, and nothing else. False also when
// it cannot be asked, or its default value is of another type.
bool HoldsNothing(const TRegKey& key)
{
    DWORD subKeys = 0;
    DWORD values = 0;
    if (!key.Counts(subKeys, values) || subKeys != 0 || values > 1)
        return false;
    if (values == 0)
        return true;
    TRegValue stored;
    return key.ReadValue(L"", stored) == ERROR_SUCCESS && stored.IsText() && stored.Text().empty();
}

} // namespace

int32_t TScanRegistry::ScanFileExtensions(TLabel& status, TProgressBar& progress)
{
    status.SetCaption(ScanPrefix + Text(RegText::FileExtension));
    progress.StepIt();
    const TFindingRecorder::TWhere where{HKEY_CURRENT_USER, 0, L"HKEY_CURRENT_USER\\"};
    TRegKey extensions;
    if (extensions.OpenOrCreate(HKEY_CURRENT_USER, kFileExts) != ERROR_SUCCESS)
        return 0;
    const std::wstring base = std::wstring(kFileExts) + L"\\";
    int32_t found = 0;
    for (const std::wstring& name : extensions.SubKeyNames()) {
        if (!KeepGoing())
            break;
        TRegKey extension;
        if (!OpenEntryKey(extensions.Handle(), name, extension))
            continue; // a key that cannot be read is never judged empty
        const std::vector<std::wstring> subKeys = extension.SubKeyNames();
        std::wstring keyLine = where.DisplayRoot + base + name;
        if (subKeys.size() == 1) {
            // Its one subkey (an "open with" list) holds nothing.
            TRegKey only;
            if (!OpenEntryKey(extension.Handle(), subKeys[0], only) || !HoldsNothing(only))
                continue;
            keyLine += L"\\" + subKeys[0];
        } else if (!subKeys.empty()) {
            continue;
        }
        Recorder.AddKey(where, base + name, Text(RegText::FileExtension), L"", FirstImageIndex, {keyLine});
        ++found;
    }
    return found;
}

int32_t TScanRegistry::ScanEmptyClasses(TLabel& status, TProgressBar& progress)
{
    status.SetCaption(ScanPrefix + Text(RegText::EmptyKey));
    const TFindingRecorder::TWhere where{HKEY_LOCAL_MACHINE, 0, L"HKEY_LOCAL_MACHINE\\"};
    TRegKey classes;
    if (classes.OpenOrCreate(HKEY_LOCAL_MACHINE, kMachineClasses) != ERROR_SUCCESS)
        return 0;
    const std::wstring base = std::wstring(kMachineClasses) + L"\\";
    int32_t found = 0;
    for (const std::wstring& name : classes.SubKeyNames()) {
        if (!KeepGoing())
            break;
        progress.StepIt();
        TRegKey key;
        DWORD subKeys = 0;
        DWORD values = 0;
        if (!OpenEntryKey(classes.Handle(), name, key) || !key.Counts(subKeys, values) || subKeys != 0 || values != 0)
            continue;
        Recorder.AddKey(where, base + name, Text(RegText::EmptyKey), L"", FirstImageIndex,
                        {where.DisplayRoot + base + name});
        ++found;
    }
    return found;
}
