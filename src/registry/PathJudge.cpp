#include "registry/PathJudge.h"

#include "common/GrowingBuffer.h"
#include "common/Kelvor_Routine.h"
#include "common/Registry.h"
#include "common/SystemFolders.h"

#include <algorithm>
#include <cwctype>

namespace {

const wchar_t kAppPathsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

std::vector<std::wstring> SearchPathFolders()
{
    const std::wstring path = AskWithGrowingBuffer(
        [](wchar_t* buffer, DWORD size) { return GetEnvironmentVariableW(L"PATH", buffer, size); });
    std::vector<std::wstring> folders;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find(L';', start), path.size());
        const std::wstring folder = RemoveQuotes(TrimText(path.substr(start, end - start)));
        if (IsFullLocalPath(folder))
            folders.push_back(folder);
        start = end + 1;
    }
    return folders;
}

std::wstring Expanded(const std::wstring& text)
{
    const std::wstring expanded = AskWithGrowingBuffer(
        [&text](wchar_t* buffer, DWORD size) { return ExpandEnvironmentStringsW(text.c_str(), buffer, size); });
    return expanded.empty() ? text : expanded;
}

// Where the program names with ".exe" added where they have none.
void AddWithExe(std::vector<std::wstring>& to, const std::wstring& path)
{
    to.push_back(path);
    if (LacksExtension(path))
        to.push_back(path + L".exe");
}

} // namespace

TPathJudge::TPathJudge(TDriveTypeQuery driveType, bool thirtyTwoBit, TAttributesQuery attributes)
    : DriveType_(std::move(driveType)), Attributes_(std::move(attributes)), WindowsFolder_(::WindowsFolder()),
      ThirtyTwoBit_(thirtyTwoBit)
{
    SearchFolders_ = {SystemFolder(), WithBackslash(WindowsFolder_) + L"System", WindowsFolder_};
    for (std::wstring& folder : SearchPathFolders())
        SearchFolders_.push_back(std::move(folder));
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

std::wstring TPathJudge::Resolved(const std::wstring& text) const
{
    return ResolveSystemForms(text, WindowsFolder_);
}

bool TPathJudge::PathPresent(const std::wstring& text, bool folders) const
{
    std::vector<std::wstring> candidates{text};
    for (std::wstring& cut : ExtensionCuts(text))
        candidates.push_back(std::move(cut));
    return std::any_of(candidates.begin(), candidates.end(), [&](const std::wstring& candidate) {
        // A quote around the path is no part of it.
        const std::wstring path = RemoveQuotes(candidate);
        return File(path) || (folders && Folder(path));
    });
}

bool TPathJudge::BareNameFound(const std::wstring& name) const
{
    // App Paths first, in the user's and the machine's key, in each view a program of the entries uses.
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (const REGSAM view : {REGSAM{0}, REGSAM{KEY_WOW64_32KEY}}) {
            if (view != 0 && !ThirtyTwoBit_)
                continue;
            TRegKey key;
            std::wstring registered;
            if (key.Open(root, kAppPathsKey + name, KEY_READ | view) == ERROR_SUCCESS &&
                key.ReadString(L"", registered) == ERROR_SUCCESS && File(RemoveQuotes(Expanded(registered))))
                return true;
        }
    }
    return std::any_of(SearchFolders_.begin(), SearchFolders_.end(),
                       [&](const std::wstring& folder) { return File(WithBackslash(folder) + name); });
}

TPresence TPathJudge::Command(const std::wstring& command) const
{
    const TCommandProgram program = ProgramOfCommand(command);
    if (!program.Parsed)
        return TPresence::NotJudged;
    std::vector<std::wstring> paths, names;
    for (const std::wstring& candidate : program.Candidates) {
        const std::wstring resolved = Resolved(candidate);
        if (IsFullLocalPath(resolved))
            AddWithExe(paths, resolved);
        else if (IsBareName(resolved))
            AddWithExe(names, resolved);
    }
    if (paths.empty() && names.empty())
        return TPresence::NotJudged;
    // A program on a network or removable drive may just not be there now.
    if (!paths.empty() && !FixedDrive(paths.front()))
        return TPresence::NotJudged;
    const bool found = std::any_of(paths.begin(), paths.end(), [this](const std::wstring& p) { return File(p); }) ||
                       std::any_of(names.begin(), names.end(), [this](const std::wstring& n) { return BareNameFound(n); });
    return found ? TPresence::Present : TPresence::Missing;
}
