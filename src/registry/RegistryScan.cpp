#include "registry/RegistryScan.h"
#include "registry/UndoFile.h"

#include "common/IniFile.h"
#include "common/Kelvor_Routine.h"
#include "common/MultiLan.h"
#include "common/Paths.h"
#include "common/Registry.h"
#include "common/Settings.h"
#include "registry/ClassesView.h"
#include "registry/RegistrySwitches.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/MessagePump.h"
#include "ui/ProgressBar.h"

namespace {

using TCheck = int32_t (TScanRegistry::*)(TLabel&, TProgressBar&);

// A check of a category: one of the scanner's own walks, or a row of the key-check table.
struct TCategoryCheck {
    constexpr TCategoryCheck() = default;
    constexpr TCategoryCheck(TCheck own) : Own(own) {}
    constexpr TCategoryCheck(TKeyCheckId row) : Row(row), IsRow(true) {}

    TCheck Own = nullptr;
    TKeyCheckId Row{};
    bool IsRow = false;
};

// The checks of each category, in the order of kRegistrySwitches.
struct TCategory {
    TCategoryCheck Checks[4];
};

using enum TKeyCheckId;

const TCategory kCategories[] = {
    {{&TScanRegistry::ScanComClasses, &TScanRegistry::ScanTypeLibraries}}, // Active
    {{ScanAppPaths}}, // App
    {{&TScanRegistry::ScanFileTypes}}, // Filetypes
    {{ScanFonts}}, // Fonts
    {{ScanHelpFiles, ScanHtmlHelpFiles}}, // Help
    {{ScanFileDialogHistory, ScanOpenSaveHistory}}, // History
    {{ScanSharedDlls}}, // Shared
    {{ScanMenuOrderFolders}}, // Shortcut
    {{ScanUserSoftwareKeys, ScanMachineSoftwareKeys, ScanInstallerFolders, ScanUninstallEntries}}, // Software
    {{ScanSoundEvents}}, // Sounds
    {{ScanStartMenuOrder}}, // Startmenu
    {{ScanRunEntries}}, // Startup
    {{ScanMuiCache}}, // Mui
    {{&TScanRegistry::ScanFileExtensions}}, // Fileextend
    {{&TScanRegistry::ScanEmptyClasses}}, // Classes
    {{&TScanRegistry::ScanDeep}}, // Openscan
    {{ScanDrivers32}}, // System: the one check that never steps the bar
};
static_assert(std::size(kCategories) == kRegistrySwitchCount);

// Steps of the checks that step once, beside the four counted enumerations.
constexpr int32_t kSingleSteps = 21;

// E × 0.05 rounded to the nearest integer, a half to the even neighbour.
int32_t Margin(int32_t steps)
{
    const int32_t whole = steps / 20;
    const int32_t rest = steps % 20;
    if (rest > 10 || (rest == 10 && whole % 2 != 0))
        return whole + 1;
    return whole;
}

int32_t SubKeyCount(HKEY root, const std::wstring& path, REGSAM view = 0)
{
    TRegKey key;
    DWORD subKeys = 0;
    DWORD values = 0;
    if (key.Open(root, path, KEY_READ | view) != ERROR_SUCCESS || !key.Counts(subKeys, values))
        return 0;
    return static_cast<int32_t>(subKeys);
}

} // namespace

TScanRegistry::TScanRegistry(const TWideStrings& texts) : Texts(texts) {}

const std::wstring& TScanRegistry::Text(int line) const { return TextAt(Texts, line); }

std::wstring TScanRegistry::DataFolder() const { return Folders.AppDataFolder; }

std::wstring TScanRegistry::BackupFolder() const
{
    return UndoFolder(DataFolder());
}

bool TScanRegistry::KeepGoing()
{
    ProcessMessages();
    return Stopped == 0;
}

void TScanRegistry::ResetFindings()
{
    Stopped = 0;
    Recorder.Reset();
    // Without a data folder the folders would land in the root of the current drive.
    if (DataFolder().empty())
        return;
    static_cast<void>(CreateFolderChain(BackupFolder())); // a failure shows when the undo file is written
}

int32_t TScanRegistry::WalkClassesEntries(const std::wstring& key, TProgressBar& progress, TEntryCheck check)
{
    int32_t found = 0;
    for (const TClassesView& view : ClassesViews(key)) {
        const TPathJudge judge(Hooks.DriveType, view.ThirtyTwoBit(), Hooks.Attributes);
        TRegKey entries;
        if (!OpenClassesKey(entries, view, key))
            continue; // neither there nor creatable: nothing to judge
        for (const std::wstring& name : entries.SubKeyNames()) {
            if (!KeepGoing())
                return found;
            progress.StepIt();
            found += (this->*check)(view, judge, entries.Handle(), name);
        }
    }
    return found;
}

int32_t TScanRegistry::CountComEntries() const
{
    int32_t count = 0;
    for (const wchar_t* key : {L"CLSID", L"TypeLib"})
        for (const TClassesView& view : ClassesViews(key))
            count += SubKeyCount(HKEY_CLASSES_ROOT, view.Prefix + key);
    return count;
}

int32_t TScanRegistry::CountSharedDllValues() const
{
    // The check steps once per value in each view it walks.
    const wchar_t* const path = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
    int32_t count = 0;
    for (REGSAM view : {REGSAM(0), REGSAM(KEY_WOW64_32KEY)}) {
        if (view && !IsSeparate32BitKey(HKEY_LOCAL_MACHINE, path))
            break;
        TRegKey key;
        DWORD subKeys = 0;
        DWORD values = 0;
        if (key.Open(HKEY_LOCAL_MACHINE, path, KEY_READ | view) == ERROR_SUCCESS && key.Counts(subKeys, values))
            count += static_cast<int32_t>(values);
    }
    return count;
}

int32_t TScanRegistry::CountRootClasses() const { return SubKeyCount(HKEY_CLASSES_ROOT, L""); }

int32_t TScanRegistry::CountMachineClasses() const { return SubKeyCount(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes"); }

bool RegistrySwitchOn(const TSettings& settings, int position)
{
    return settings.SwitchOn(kRegistrySwitches[position]);
}

int32_t TScanRegistry::Scan(TLabel& status, TProgressBar& progress, TListView& list)
{
    ResetFindings();
    const std::wstring dornique = DataFolder() + L"\\Kelvor\\Dornique\\";
    const TWideStrings ignoreLines = TIniFile(dornique + L"Ignore.ini").ReadSectionLines(L"Registry");
    const TSettings settings(dornique + L"Main.ini", PolicyRoots);
    bool on[std::size(kCategories)];
    for (size_t i = 0; i < std::size(kCategories); ++i)
        on[i] = RegistrySwitchOn(settings, static_cast<int>(i));

    list.Clear();
    int32_t result = 0;
    Stopped = 0;

    progress.SetPosition(0);
    progress.SetMin(0);
    const int32_t steps =
        CountComEntries() + CountSharedDllValues() + CountRootClasses() + CountMachineClasses() + kSingleSteps;
    const int32_t margin = Margin(steps);
    progress.SetMax(steps + margin);
    progress.SetStep(1);

    for (size_t i = 0; i < std::size(kCategories); ++i) {
        if (!on[i])
            continue;
        for (const TCategoryCheck& check : kCategories[i].Checks) {
            if (check.IsRow)
                result += RunKeyCheck(check.Row, status, progress);
            else if (check.Own)
                result += (this->*check.Own)(status, progress);
        }
    }

    for (int32_t k = 0; k <= margin; ++k)
        progress.StepIt();
    // While it redraws, the control lays itself out again after every change; once at the end will do.
    // The rows come checked.
    SendMessageW(list.Handle(), WM_SETREDRAW, FALSE, 0);
    result -= Recorder.FillList(list, ignoreLines);
    SendMessageW(list.Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list.Handle(), nullptr, TRUE);
    progress.SetMax(100);
    return result;
}
