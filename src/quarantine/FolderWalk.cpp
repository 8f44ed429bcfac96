#include "quarantine/FolderWalk.h"

#include "common/ExpectedPath.h"
#include "common/FileFind.h"
#include "common/SystemError.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <string_view>

namespace {

constexpr DWORD kFolderAccess = READ_CONTROL | FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_ADD_FILE |
                                FILE_ADD_SUBDIRECTORY | SYNCHRONIZE;
constexpr DWORD kReadOnlyAccess = READ_CONTROL | FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kAsItself = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;

bool IsSingleName(const std::wstring& name)
{
    if (name.empty() || name == L"." || name == L".." || name.back() == L'.' || name.back() == L' ')
        return false;
    for (wchar_t c : name)
        if (c < L' ' || std::wstring_view(L"*?<>\"|/:\\").find(c) != std::wstring_view::npos)
            return false;
    return true;
}

std::wstring ErrorText(DWORD error)
{
    const std::wstring message = SystemErrorText(error);
    return L"error " + std::to_wstring(error) + (message.empty() ? L"" : L", " + message);
}

TFolderWalk Ended(TFolderWalk::TStatus status, std::wstring reason)
{
    TFolderWalk walk;
    walk.Status = status;
    walk.Reason = std::move(reason);
    return walk;
}

bool MakeFolder(const std::wstring& path, const std::wstring& sddl)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!sddl.empty() &&
        !ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const bool made = CreateDirectoryW(LongPathForm(path).c_str(), descriptor ? &attributes : nullptr) ||
                      GetLastError() == ERROR_ALREADY_EXISTS;
    const DWORD error = GetLastError();
    if (descriptor)
        LocalFree(descriptor);
    SetLastError(error);
    return made;
}

// Opens one step (path) as itself and checks it against expected, its final path; the base of a walk
// (asItself false) as it resolves.
TFolderWalk OpenStep(const std::wstring& path, const std::wstring& expected, const TWalkRules& rules, bool asItself)
{
    const DWORD flags = asItself ? kAsItself : FILE_FLAG_BACKUP_SEMANTICS;
    const std::wstring form = LongPathForm(path);
    const DWORD attributes = GetFileAttributesW(form.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return Ended(TFolderWalk::TStatus::Missing, path + L" is not there");
        return Ended(TFolderWalk::TStatus::Failed, path + L" cannot be looked at (" + ErrorText(error) + L")");
    }
    if (asItself && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return Ended(TFolderWalk::TStatus::Refused, path + L" is a link");
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Ended(TFolderWalk::TStatus::Refused, path + L" is not a folder");
    TFolderWalk walk;
    walk.Handle.Reset(CreateFileW(form.c_str(), kFolderAccess, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr));
    if (!walk.Handle && GetLastError() == ERROR_ACCESS_DENIED)
        walk.Handle.Reset(CreateFileW(form.c_str(), kReadOnlyAccess, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr));
    if (!walk.Handle)
        return Ended(TFolderWalk::TStatus::Failed, path + L" cannot be opened (" + ErrorText(GetLastError()) + L")");
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(walk.Handle.Get(), &info) ||
        (asItself && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return Ended(TFolderWalk::TStatus::Refused, path + L" is a link");
    walk.Real = HandleFinalPath(walk.Handle.Get());
    // Under Wine a folder link shows only here: it resolves elsewhere.
    if (walk.Real.empty() || (!expected.empty() && walk.Real != expected))
        return Ended(TFolderWalk::TStatus::Refused, path + L" is a link");
    if (rules.Trust) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (GetSecurityInfo(walk.Handle.Get(), SE_FILE_OBJECT,
                            OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                            nullptr, nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
            return Ended(TFolderWalk::TStatus::Failed, L"the access list of " + path + L" cannot be read");
        const std::optional<std::wstring> verdict = JudgeFolderSecurity(descriptor, *rules.Trust);
        LocalFree(descriptor);
        if (verdict)
            return Ended(TFolderWalk::TStatus::Refused, path + L" cannot be trusted: " + *verdict);
    }
    walk.Status = TFolderWalk::TStatus::Reached;
    return walk;
}

} // namespace

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name)
{
    return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

TFolderWalk WalkFolders(const std::wstring& base, const std::vector<std::wstring>& steps, const TWalkRules& rules)
{
    // The base as it resolves now: only the steps below it are held to their names.
    TFolderWalk walk = OpenStep(base, L"", TWalkRules{}, false);
    if (!walk.Reached())
        return walk;
    for (const std::wstring& step : steps) {
        if (!IsSingleName(step))
            return Ended(TFolderWalk::TStatus::Refused, L"\"" + step + L"\" names no single folder");
        const std::wstring path = JoinPath(walk.Real, step);
        if (rules.CreateMissing && GetFileAttributesW(LongPathForm(path).c_str()) == INVALID_FILE_ATTRIBUTES &&
            (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND) &&
            !MakeFolder(path, rules.NewFolderSddl))
            return Ended(TFolderWalk::TStatus::Failed, path + L" cannot be made (" + ErrorText(GetLastError()) + L")");
        WIN32_FIND_DATAW listed;
        if (!FindFirstEntry(LongPathForm(path), listed))
            return Ended(TFolderWalk::TStatus::Missing, path + L" is not there");
        TFolderWalk next = OpenStep(path, JoinPath(walk.Real, listed.cFileName), rules, true);
        if (!next.Reached())
            return next;
        walk = std::move(next);
    }
    return walk;
}

std::optional<TPlainPath> SplitPlainPath(const std::wstring& path)
{
    TPlainPath plain;
    size_t at = 0;
    if (path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
        path[1] == L':' && path[2] == L'\\') {
        plain.Root = path.substr(0, 3);
        at = 3;
    } else if (path.compare(0, 2, L"\\\\") == 0 && path.compare(0, 4, L"\\\\?\\") != 0 &&
               path.compare(0, 4, L"\\\\.\\") != 0) {
        const size_t server = path.find(L'\\', 2);
        const size_t share = server == std::wstring::npos ? server : path.find(L'\\', server + 1);
        if (server == std::wstring::npos || share == std::wstring::npos || !IsSingleName(path.substr(2, server - 2)) ||
            !IsSingleName(path.substr(server + 1, share - server - 1)))
            return std::nullopt;
        plain.Root = path.substr(0, share + 1);
        at = share + 1;
    } else {
        return std::nullopt;
    }
    while (at < path.size()) {
        const size_t end = std::min(path.find(L'\\', at), path.size());
        const std::wstring step = path.substr(at, end - at);
        if (!IsSingleName(step))
            return std::nullopt;
        plain.Steps.push_back(step);
        at = end + 1;
    }
    if (plain.Steps.empty() || path.back() == L'\\')
        return std::nullopt;
    return plain;
}
