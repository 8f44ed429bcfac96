#include "registry/PathJudge.h"

#include "common/Kelvor_Routine.h"

TPathJudge::TPathJudge(TDriveTypeQuery driveType, bool thirtyTwoBit)
    : DriveType_(std::move(driveType)), WindowsFolder_(::WindowsFolder()), ThirtyTwoBit_(thirtyTwoBit)
{
}

std::wstring TPathJudge::Place32(const std::wstring& path) const
{
    std::wstring mapped = Folders32_.Map(path);
    return mapped == path ? std::wstring() : mapped;
}

bool TPathJudge::File(const std::wstring& path, bool thirtyTwoBit) const
{
    if (FileExists(path))
        return true;
    if (!thirtyTwoBit)
        return false;
    const std::wstring other = Place32(path);
    return !other.empty() && FileExists(other);
}

bool TPathJudge::Folder(const std::wstring& path, bool thirtyTwoBit) const
{
    if (FolderExists(path))
        return true;
    if (!thirtyTwoBit)
        return false;
    const std::wstring other = Place32(path);
    return !other.empty() && FolderExists(other);
}
