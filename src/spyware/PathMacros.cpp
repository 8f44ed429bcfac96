#include "spyware/PathMacros.h"

#include "common/Paths.h"
#include "common/SystemFolders.h"

#include <shlobj.h>

#include <functional>

namespace {

std::wstring ProgramFilesFolder()
{
    // The drive root of the system folder, not the shell's Program Files folder.
    return SystemDriveRoot() + L"Program Files";
}

} // namespace

std::wstring ExpandPathMacros(const std::wstring& path, const TAppFrame& folders, TPathView view, std::wstring* root)
{
    struct TMacro {
        const wchar_t* Name;
        std::function<std::wstring()> Folder;
        bool HasTwin = false; // a folder that 32-bit programs see elsewhere
    };
    const bool wow = view == TPathView::Wow32;
    const std::function<std::wstring()> programFiles = wow ? ProgramFilesFolder32 : ProgramFilesFolder;
    const std::function<std::wstring()> system = wow ? SystemFolder32 : SystemFolder;
    const TMacro macros[] = {
        {L"%program_files%", programFiles, true},
        {L"programfilesdir+", programFiles, true},
        {L"%programs%", programFiles, true},
        {L"%windows%", WindowsFolder},
        {L"%system%", system, true},
        {L"%systemdrive%", system, true},
        {L"systemroot+", system, true},
        {L"%common_programs%", [&] { return folders.GetCommonFolder(kCommonPrograms); }},
        {L"commonprograms+", [&] { return folders.GetCommonFolder(kCommonPrograms); }},
        {L"%startmenu%", [&] { return folders.GetUserFolder(kUserStartMenu); }},
        {L"%common_startmenu%", [&] { return folders.GetCommonFolder(kCommonStartMenu); }},
        {L"%desktopdirectory%", [&] { return folders.GetSpecialFolder(CSIDL_DESKTOP); }},
        {L"desktopdir+", [&] { return folders.GetSpecialFolder(CSIDL_DESKTOP); }},
        {L"%favorites%", [&] { return folders.GetUserFolder(kUserFavorites); }},
        {L"%common_favorites%", [&] { return folders.GetCommonFolder(kCommonFavorites); }},
        {L"%common_desktopdirectory%", [&] { return folders.GetCommonFolder(kCommonDesktop); }},
        {L"startupfolder+", [&] { return folders.GetUserFolder(kUserStartup); }},
        {L"%profile%", [&] { return folders.GetUserFolder(kUserProfile); }},
        {L"profilepath+", [&] { return folders.GetUserFolder(kUserProfile); }},
    };
    std::wstring result = path;
    if (root)
        *root = path.size() >= 3 && path[1] == L':' && path[2] == L'\\' ? path.substr(0, 3) : std::wstring();
    for (const TMacro& macro : macros) {
        // Look a folder up only when its macro is used: the lookups are made anew for every path.
        if (result.find(macro.Name) == std::wstring::npos)
            continue;
        const std::wstring folder = macro.Folder();
        if (wow && macro.HasTwin && folder.empty())
            return {}; // no 32-bit side: no twin
        if (root && path.rfind(macro.Name, 0) == 0)
            *root = folder;
        ReplaceAll(result, macro.Name, folder);
    }
    return result;
}
