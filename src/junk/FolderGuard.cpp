#include "junk/FolderGuard.h"

#include "common/FormatText.h"
#include "common/Paths.h"
#include "common/PlainPath.h"
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

void AddForm(std::vector<std::wstring>& forms, const std::wstring& form)
{
    if (!form.empty() && std::none_of(forms.begin(), forms.end(), [&](const std::wstring& f) { return SamePath(f, form); }))
        forms.push_back(form);
}

// The forms a folder is compared in: its plain full path, its long form, and the path the file system
// resolves it to when it exists (a link resolves to its target). The first is the long form. Empty when
// the folder cannot be resolved to a plain full path.
std::vector<std::wstring> ComparableForms(const std::wstring& folder)
{
    const std::wstring longPath = LongFullPath(folder);
    if (longPath.empty())
        return {};
    std::vector<std::wstring> forms{longPath};
    AddForm(forms, PlainFullPath(folder));
    AddForm(forms, PlainFullPath(FinalPath(longPath, FILE_FLAG_BACKUP_SEMANTICS)));
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

// Inside, and not the same folder in any form.
bool AnyFormStrictlyBelow(const std::vector<std::wstring>& paths, const std::vector<std::wstring>& folders)
{
    return AnyFormAtOrBelow(paths, folders) && !AnyFormAtOrBelow(folders, paths);
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
      Open_(Resolve(folders.Open)), Homes_(Resolve(folders.Homes)), Refused_(Resolve(folders.Refused)),
      Exact_(Resolve(folders.Exact))
{
}

std::vector<TFolderGuard::TEntry> TFolderGuard::Resolve(const std::vector<std::wstring>& folders)
{
    // A listed folder that cannot be resolved protects nothing it could be compared with.
    std::vector<TEntry> entries;
    for (const std::wstring& folder : folders) {
        std::vector<std::wstring> forms = ComparableForms(folder);
        if (!forms.empty())
            entries.push_back({folder, std::move(forms)});
    }
    return entries;
}

bool TFolderGuard::IsRoot(const std::vector<std::wstring>& forms) const
{
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

// A folder inside a sealed one is walked when it lies inside an open folder that lies inside that
// sealed folder; a named root also where it lies inside an application-data folder that the sealed
// folder holds (never where the two are one folder: that is the sealed folder itself).
// Every form of the folder is the exact folder as listed: a link there, which resolves elsewhere, is
// not that folder.
bool TFolderGuard::IsExact(const std::vector<std::wstring>& forms) const
{
    return std::any_of(Exact_.begin(), Exact_.end(), [&](const TEntry& exact) {
        return std::all_of(forms.begin(), forms.end(),
                           [&](const std::wstring& form) { return SamePath(form, exact.Forms.front()); });
    });
}

bool TFolderGuard::LetThrough(const std::vector<std::wstring>& forms, const TEntry& sealed, TWalkRoot root) const
{
    if (root == TWalkRoot::Exact) return IsExact(forms);
    const auto opens = [&](const TEntry& entry) {
        return AnyFormAtOrBelow(forms, entry.Forms) && AnyFormStrictlyBelow(entry.Forms, sealed.Forms);
    };
    return std::any_of(Open_.begin(), Open_.end(), opens) ||
           (root == TWalkRoot::Named && std::any_of(Homes_.begin(), Homes_.end(), opens));
}

TFolderCheck TFolderGuard::Check(const std::wstring& folder, TWalkRoot root) const
{
    TFolderCheck check;
    check.Folder = folder;
    const std::vector<std::wstring> forms = ComparableForms(folder);
    if (IsDriveOrShareRoot(folder) || IsRoot(forms)) {
        check.Verdict = TFolderVerdict::Root;
        return check;
    }
    if (forms.empty()) {
        check.Verdict = TFolderVerdict::Unresolved;
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
    // What no cleaner may touch is refused before anything can let it through.
    for (const TEntry& refused : Refused_) {
        if (AnyFormAtOrBelow(refused.Forms, forms) || AnyFormAtOrBelow(forms, refused.Forms)) {
            check.Verdict = AnyFormAtOrBelow(refused.Forms, forms) ? TFolderVerdict::HoldsProtected
                                                                   : TFolderVerdict::InsideProtected;
            check.Protected = refused.Listed;
            return check;
        }
    }
    // A fixed folder of the system is that folder itself or nothing: a link there (or on the way) that
    // leads elsewhere was put there by someone, and the walk would clean wherever it leads.
    if (root == TWalkRoot::Exact && !IsExact(forms)) {
        const bool named = std::any_of(Exact_.begin(), Exact_.end(),
                                       [&](const TEntry& exact) { return SamePath(forms.front(), exact.Forms.front()); });
        if (named) {
            check.Verdict = TFolderVerdict::Redirected;
            check.Protected = forms.back();
            return check;
        }
        // Only the listed folders pass by name; anything else is judged as any folder.
        root = TWalkRoot::Other;
    }
    for (const TEntry& sealed : Sealed_) {
        if (AnyFormAtOrBelow(forms, sealed.Forms) && !LetThrough(forms, sealed, root)) {
            check.Verdict = TFolderVerdict::InsideProtected;
            check.Protected = sealed.Listed;
            return check;
        }
    }
    check.Plain = forms.front();
    return check;
}

std::wstring RefusalLine(const TRefusalTexts& texts, const TFolderCheck& check)
{
    const std::wstring folder = FolderForDisplay(check.Folder);
    switch (check.Verdict) {
    case TFolderVerdict::Root:
        return FormatText(texts.Root, {folder});
    case TFolderVerdict::HoldsProtected:
        return FormatText(texts.Holds, {folder, FolderForDisplay(check.Protected)});
    case TFolderVerdict::InsideProtected:
        return FormatText(texts.Inside, {folder, FolderForDisplay(check.Protected)});
    case TFolderVerdict::Redirected:
        if (!texts.Redirected.empty()) return FormatText(texts.Redirected, {folder, FolderForDisplay(check.Protected)});
        break;
    case TFolderVerdict::Unresolved:
    case TFolderVerdict::Walk:
        break;
    }
    return FormatText(texts.Unresolved, {folder});
}
