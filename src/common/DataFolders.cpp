#include "common/DataFolders.h"

#include "common/GrowingBuffer.h"
#include "common/Registry.h"

#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

namespace {

const wchar_t kUserShellFoldersKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

struct TDataFolder {
    const wchar_t* ValueName; // in the "User Shell Folders" key
    const KNOWNFOLDERID* Id;
};

const TDataFolder kUserDataFolders[] = {
    {L"Desktop", &FOLDERID_Desktop},
    {L"Personal", &FOLDERID_Documents},
    {L"My Pictures", &FOLDERID_Pictures},
    {L"My Music", &FOLDERID_Music},
    {L"My Video", &FOLDERID_Videos},
    {L"Favorites", &FOLDERID_Favorites},
    {L"{374DE290-123F-4565-9164-39C4925E467B}", &FOLDERID_Downloads},
    {L"{4C5C32FF-BB9D-43B0-B5B4-2D72E54EAAA4}", &FOLDERID_SavedGames},
    {L"{56784854-C6CB-462B-8169-88E350ACB882}", &FOLDERID_Contacts},
    {L"{BFB9D5E0-C6A9-404C-B2B2-AE6DB6AF4968}", &FOLDERID_Links},
    {L"{7D1D3A04-DEBB-4115-95CF-2F29DA2920DA}", &FOLDERID_SavedSearches},
    {L"{A52BBA46-E9E1-435F-B3D9-28DAA648C0F6}", &FOLDERID_SkyDrive},
    {L"OneDrive", nullptr},
};

const TDataFolder kPublicDataFolders[] = {
    {L"Public", &FOLDERID_Public},
    {L"Common Desktop", &FOLDERID_PublicDesktop},
    {L"Common Documents", &FOLDERID_PublicDocuments},
    {L"{3D644C9B-1FB8-4F30-9B45-F670235F79C0}", &FOLDERID_PublicDownloads},
    {L"CommonMusic", &FOLDERID_PublicMusic},
    {L"CommonPictures", &FOLDERID_PublicPictures},
    {L"CommonVideo", &FOLDERID_PublicVideos},
};

// The value as the shell reads it: an expandable one with its variables filled in.
std::wstring ShellFolderValue(const TRegKey& key, const wchar_t* name)
{
    TRegValue value;
    if (key.ReadValue(name, value) != ERROR_SUCCESS || !value.IsText())
        return {};
    const std::wstring text = value.Text();
    if (value.Type != REG_EXPAND_SZ)
        return text;
    return AskWithGrowingBuffer([&text](wchar_t* buffer, DWORD size) {
        return ExpandEnvironmentStringsW(text.c_str(), buffer, size);
    });
}

template <size_t N>
std::vector<std::wstring> DataFolders(HKEY root, const TDataFolder (&table)[N])
{
    std::vector<std::wstring> folders;
    TRegKey key;
    const bool opened = key.Open(root, kUserShellFoldersKey, KEY_READ) == ERROR_SUCCESS;
    for (const TDataFolder& folder : table) {
        if (opened)
            folders.push_back(ShellFolderValue(key, folder.ValueName));
        if (folder.Id)
            folders.push_back(KnownFolder(*folder.Id));
    }
    std::erase(folders, std::wstring());
    return folders;
}

} // namespace

std::wstring KnownFolder(REFKNOWNFOLDERID id)
{
    using TGetKnownFolderPath = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
    const auto call = reinterpret_cast<TGetKnownFolderPath>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"shell32.dll"), "SHGetKnownFolderPath")));
    PWSTR path = nullptr;
    if (!call || FAILED(call(id, KF_FLAG_DONT_VERIFY, nullptr, &path)))
        return {};
    std::wstring folder = path ? path : L"";
    CoTaskMemFree(path);
    return folder;
}

std::vector<std::wstring> UserDataFolders()
{
    return DataFolders(HKEY_CURRENT_USER, kUserDataFolders);
}

std::vector<std::wstring> PublicDataFolders()
{
    return DataFolders(HKEY_LOCAL_MACHINE, kPublicDataFolders);
}
