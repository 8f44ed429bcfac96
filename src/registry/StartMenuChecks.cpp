// Rules of the start-menu checks: menu-order entries of program folders that are gone, and empty
// start-menu order keys.
#include "common/AppFrame.h"
#include "registry/EntryKey.h"
#include "registry/KeyCheck.h"

bool KeyRules::ProgramsFolders(TCheckWalk& walk)
{
    TRegKey shellFolders;
    std::wstring programs;
    if (shellFolders.Open(HKEY_CURRENT_USER, kShellFoldersKey, KEY_READ) == ERROR_SUCCESS)
        shellFolders.ReadString(L"Programs", programs);
    // Without the full path of the user's program menu on a fixed drive there is nothing to compare an
    // entry with: a relative folder, or one on a share that is not there now, would make every entry
    // look gone.
    if (!walk.Judge().FixedDrive(programs))
        return false;
    // The program menus of "Administrator" and "All Users" beside the user's: the user's name is
    // what follows "Settings\" (the first eight characters of the path when that is absent).
    const size_t settings = programs.find(L"Settings\\");
    const size_t cut = (settings == std::wstring::npos ? 0 : settings + 1) + 8;
    const std::wstring prefix = programs.substr(0, cut);
    const std::wstring rest = cut < programs.size() ? programs.substr(cut) : std::wstring();
    const size_t slash = rest.find(L'\\');
    const std::wstring tail = slash == std::wstring::npos ? rest : rest.substr(slash);
    walk.Folders = {programs + L"\\", prefix + L"Administrator" + tail + L"\\", prefix + L"All Users" + tail + L"\\"};
    return true;
}

void KeyRules::MenuOrderFolder(TCheckWalk& walk, const TCheckEntry& entry)
{
    for (const std::wstring& folder : walk.Folders)
        if (walk.Judge().Folder(folder + entry.Name))
            return;
    walk.ReportKey(entry.Name, L"", {});
}

void KeyRules::StartMenuOrderEntry(TCheckWalk& walk, const TCheckEntry& entry)
{
    TRegKey menu;
    TRegValue stored;
    DWORD subKeys = 0;
    DWORD values = 0;
    if (!OpenEntryKey(walk.Key().Handle(), entry.Name, menu) || menu.ReadValue(L"", stored) != ERROR_SUCCESS ||
        !stored.IsText() || !menu.Counts(subKeys, values))
        return;
    // An empty default value is one of the key's values, so no key holds this: the check lists
    // nothing, as it is defined.
    if (stored.Text().empty() && subKeys == 0 && values == 0)
        walk.ReportKey(entry.Name, L"", {});
}
