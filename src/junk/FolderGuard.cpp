#include "junk/FolderGuard.h"

#include "common/GrowingBuffer.h"
#include "common/Paths.h"
#include "common/SafeDelete.h"

#include <windows.h>

#include <algorithm>

namespace {

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// "\\?\C:\x" -> "C:\x", "\\?\UNC\server\share" -> "\\server\share", "\\.\C:" -> "C:".
std::wstring WithoutDevicePrefix(const std::wstring& path)
{
    if (StartsWith(path, L"\\\\?\\UNC\\"))
        return L"\\\\" + path.substr(8);
    if (StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\"))
        return path.substr(4);
    return path;
}

std::wstring WithBackslashes(std::wstring path)
{
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return PathIsAtOrBelow(a, b) && PathIsAtOrBelow(b, a);
}

// The forms a folder is compared in: its full long path, and the path the file system resolves it
// to when it exists (a link resolves to its target, a short name to the long one).
std::vector<std::wstring> ComparableForms(const std::wstring& folder)
{
    const std::wstring given = FolderForDisplay(WithoutDevicePrefix(WithBackslashes(folder)));
    std::wstring full = AskWithGrowingBuffer(
        [&given](wchar_t* buffer, DWORD size) { return GetFullPathNameW(given.c_str(), size, buffer, nullptr); });
    full = FolderForDisplay(full.empty() ? given : full);
    const std::wstring longPath =
        AskWithGrowingBuffer([&full](wchar_t* buffer, DWORD size) { return GetLongPathNameW(full.c_str(), buffer, size); });
    std::vector<std::wstring> forms{longPath.empty() ? full : FolderForDisplay(longPath)};
    const std::wstring final = WithoutDevicePrefix(FinalPath(forms[0], FILE_FLAG_BACKUP_SEMANTICS));
    if (!final.empty())
        forms.push_back(FolderForDisplay(final));
    return forms;
}

bool AnyFormAtOrBelow(const std::vector<std::wstring>& paths, const std::vector<std::wstring>& folders)
{
    for (const std::wstring& path : paths)
        for (const std::wstring& folder : folders)
            if (PathIsAtOrBelow(path, folder))
                return true;
    return false;
}

} // namespace

bool IsDriveOrShareRoot(const std::wstring& path)
{
    if (path.empty())
        return false;
    std::wstring plain = WithoutDevicePrefix(WithBackslashes(path));
    while (!plain.empty() && plain.back() == L'\\')
        plain.pop_back();
    if (plain.empty())
        return true; // "\": the root of the current drive
    if (plain.size() == 2 && plain[1] == L':')
        return true;
    if (!StartsWith(plain, L"\\\\"))
        return false;
    // A network path is a share root while it names no more than the server and the share.
    int parts = 0;
    size_t at = 2;
    while (at < plain.size()) {
        const size_t next = std::min(plain.find(L'\\', at), plain.size());
        if (next > at)
            ++parts;
        at = next + 1;
    }
    return parts <= 2;
}

std::wstring FolderForDisplay(const std::wstring& folder)
{
    std::wstring text = folder;
    while (text.size() > 1 && (text.back() == L'\\' || text.back() == L'/'))
        text.pop_back();
    // A drive root keeps its backslash: "C:" alone names the drive's current folder.
    if (!text.empty() && text.back() == L':')
        text += L'\\';
    return text;
}

TFolderGuard::TFolderGuard(const TProtectedFolders& folders)
    : Roots_(Resolve(folders.Roots)), Kept_(Resolve(folders.Kept)), Sealed_(Resolve(folders.Sealed)),
      Open_(Resolve(folders.Open))
{
}

std::vector<TFolderGuard::TEntry> TFolderGuard::Resolve(const std::vector<std::wstring>& folders)
{
    std::vector<TEntry> entries;
    for (const std::wstring& folder : folders)
        if (!folder.empty())
            entries.push_back({folder, ComparableForms(folder)});
    return entries;
}

bool TFolderGuard::IsRoot(const std::wstring& folder, const std::vector<std::wstring>& forms) const
{
    if (IsDriveOrShareRoot(folder))
        return true;
    for (const std::wstring& form : forms) {
        if (IsDriveOrShareRoot(form))
            return true;
        for (const TEntry& root : Roots_)
            for (const std::wstring& rootForm : root.Forms)
                if (SamePath(form, rootForm))
                    return true;
    }
    return false;
}

TFolderCheck TFolderGuard::Check(const std::wstring& folder) const
{
    TFolderCheck check;
    check.Folder = folder;
    const std::vector<std::wstring> forms = ComparableForms(folder);
    if (IsRoot(folder, forms)) {
        check.Verdict = TFolderVerdict::Root;
        return check;
    }
    for (const std::vector<TEntry>* list : {&Sealed_, &Kept_}) {
        for (const TEntry& entry : *list) {
            if (AnyFormAtOrBelow(entry.Forms, forms)) {
                check.Verdict = TFolderVerdict::HoldsProtected;
                check.Protected = entry.Listed;
                return check;
            }
        }
    }
    for (const TEntry& sealed : Sealed_) {
        if (!AnyFormAtOrBelow(forms, sealed.Forms))
            continue;
        // Walked on purpose: inside an open folder that lies inside this sealed one.
        const bool open = std::any_of(Open_.begin(), Open_.end(), [&](const TEntry& entry) {
            return AnyFormAtOrBelow(forms, entry.Forms) && AnyFormAtOrBelow(entry.Forms, sealed.Forms);
        });
        if (!open) {
            check.Verdict = TFolderVerdict::InsideProtected;
            check.Protected = sealed.Listed;
            return check;
        }
    }
    return check;
}
