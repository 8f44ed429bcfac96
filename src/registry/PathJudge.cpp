#include "registry/PathJudge.h"

#include "common/SystemFolders.h"

#include <cwctype>

TPathJudge::TPathJudge(TDriveTypeQuery driveType, bool thirtyTwoBit, TAttributesQuery attributes)
    : DriveType_(std::move(driveType)), Attributes_(std::move(attributes)), WindowsFolder_(::WindowsFolder()),
      ThirtyTwoBit_(thirtyTwoBit)
{
}

UINT TPathJudge::DriveType(const std::wstring& root) const
{
    const wchar_t letter = static_cast<wchar_t>(std::towupper(root.empty() ? L'?' : root[0]));
    if (!DriveType_)
        return DRIVE_UNKNOWN;
    if (letter < L'A' || letter > L'Z')
        return DriveType_(root);
    const int drive = letter - L'A';
    if (!Asked_[drive]) {
        DriveTypes_[drive] = DriveType_(root);
        Asked_[drive] = true;
    }
    return DriveTypes_[drive];
}

bool TPathJudge::FixedDrive(const std::wstring& text) const
{
    return PassesFixedDriveTest(text, [this](const std::wstring& root) { return DriveType(root); });
}

std::wstring TPathJudge::Place32(const std::wstring& path) const
{
    std::wstring mapped = Folders32_.Map(path);
    return mapped == path ? std::wstring() : mapped;
}

DWORD TPathJudge::Attributes(const std::wstring& path) const
{
    if (path != LastPath_) {
        LastPath_ = path;
        const TPathAttributes answer = Attributes_ ? Attributes_(path) : QueryPathAttributes(path);
        // A text the file system cannot read as a name names nothing either.
        const bool gone = answer.Error == ERROR_FILE_NOT_FOUND || answer.Error == ERROR_PATH_NOT_FOUND ||
                          answer.Error == ERROR_INVALID_NAME || answer.Error == ERROR_BAD_PATHNAME ||
                          answer.Error == ERROR_DIRECTORY;
        LastAttributes_ = answer.Attributes != INVALID_FILE_ATTRIBUTES ? answer.Attributes
                          : gone                                        ? INVALID_FILE_ATTRIBUTES
                                                                        : kUnknownKind;
    }
    return LastAttributes_;
}

bool TPathJudge::File(const std::wstring& path, bool thirtyTwoBit) const
{
    const auto isFile = [](DWORD attributes) {
        return attributes == kUnknownKind ||
               (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0);
    };
    if (isFile(Attributes(path)))
        return true;
    const std::wstring other = thirtyTwoBit ? Place32(path) : std::wstring();
    return !other.empty() && isFile(Attributes(other));
}

bool TPathJudge::Folder(const std::wstring& path, bool thirtyTwoBit) const
{
    const auto isFolder = [](DWORD attributes) {
        return attributes == kUnknownKind ||
               (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    };
    if (isFolder(Attributes(path)))
        return true;
    const std::wstring other = thirtyTwoBit ? Place32(path) : std::wstring();
    return !other.empty() && isFolder(Attributes(other));
}
