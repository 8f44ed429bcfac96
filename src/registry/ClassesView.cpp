#include "registry/ClassesView.h"

#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "common/Registry.h"

std::vector<TClassesView> ClassesViews(const std::wstring& key)
{
    std::vector<TClassesView> views{{0, L"HKEY_CLASSES_ROOT\\"}};
    if (IsSeparate32BitKey(HKEY_CLASSES_ROOT, key))
        views.push_back({KEY_WOW64_32KEY, L"HKEY_CLASSES_ROOT\\Wow6432Node\\"});
    return views;
}

bool OpenClassesKey(TRegKey& key, const TClassesView& view, const std::wstring& path)
{
    if (view.ThirtyTwoBit())
        return key.Open(HKEY_CLASSES_ROOT, path, KEY_READ | KEY_WOW64_32KEY) == ERROR_SUCCESS;
    return key.OpenOrCreate(HKEY_CLASSES_ROOT, path) == ERROR_SUCCESS;
}

bool FileSeen(const std::wstring& path, bool thirtyTwoBit)
{
    return FileExists(path) || (thirtyTwoBit && FileExists(PathFor32BitView(path)));
}

bool FolderSeen(const std::wstring& path, bool thirtyTwoBit)
{
    return FolderExists(path) || (thirtyTwoBit && FolderExists(PathFor32BitView(path)));
}
