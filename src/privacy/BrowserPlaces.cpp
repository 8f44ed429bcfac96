#include "privacy/BrowserPlaces.h"

#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "common/SafeDelete.h"

// Where the file system really finds the path lies inside root: no link on the way leads elsewhere.
bool ResolvesInside(const std::wstring& root, const std::wstring& path)
{
    const std::wstring real = FinalPath(path, FILE_FLAG_BACKUP_SEMANTICS);
    const std::wstring realRoot = FinalPath(root, FILE_FLAG_BACKUP_SEMANTICS);
    return !real.empty() && !realRoot.empty() && PathIsAtOrBelow(real, realRoot);
}

// A relative path that leaves its folder.
bool ClimbsOut(const std::wstring& relative)
{
    if (relative.empty())
        return false;
    if (relative.front() == L'\\' || relative.front() == L'/' || relative.find(L':') != std::wstring::npos)
        return true;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find_first_of(L"\\/", start);
        if (end == std::wstring::npos)
            end = relative.size();
        const std::wstring step = relative.substr(start, end - start);
        if (step.find(L"..") != std::wstring::npos && step.find_first_not_of(L". ") == std::wstring::npos)
            return true;
        start = end + 1;
    }
    return false;
}

bool PlainFileInside(const std::wstring& root, const std::wstring& path)
{
    return FileExists(path) && !IsLink(path) && ResolvesInside(root, path);
}

bool PlainFolderInside(const std::wstring& root, const std::wstring& path)
{
    return FolderExists(path) && !IsLink(path) && ResolvesInside(root, path);
}
