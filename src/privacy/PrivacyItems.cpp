#include "privacy/PrivacyItems.h"

#include "common/CodePage.h"
#include "common/Kelvor_Routine.h"
#include "common/UrlCache.h"

#include <algorithm>
#include <cstdio>

namespace {

const wchar_t kCurrentUser[] = L"HKEY_CURRENT_USER";
const wchar_t kLineGap[] = L"   "; // between a file's path and its size

std::wstring WithLeadingBackslash(const std::wstring& keyPath)
{
    return !keyPath.empty() && keyPath.front() == L'\\' ? keyPath : L"\\" + keyPath;
}

bool IsRootOnly(const std::wstring& keyPath)
{
    return keyPath.find_first_not_of(L'\\') == std::wstring::npos;
}

std::wstring TwoDecimals(double value, const wchar_t* unit)
{
    // A fixed point, not the system's decimal separator: the report's sizes read the same everywhere.
    wchar_t buffer[64];
    std::swprintf(buffer, std::size(buffer), L"%0.2f%ls", value, unit);
    return buffer;
}

} // namespace

std::wstring PrivacySizeText(int64_t bytes)
{
    constexpr int64_t kKilo = 1024;
    constexpr int64_t kMega = 1024 * 1024;
    if (bytes <= kKilo)
        return std::to_wstring(bytes) + L" bytes";
    if (bytes <= kMega)
        return TwoDecimals(static_cast<double>(bytes) / kKilo, L" KB");
    return TwoDecimals(static_cast<double>(bytes) / kMega, L" M");
}

std::wstring LastPathComponent(const std::wstring& path, size_t maxLength)
{
    const size_t at = path.find_last_of(L"\\:");
    const std::wstring last = at == std::wstring::npos ? path : path.substr(at + 1);
    return last.substr(0, maxLength);
}

std::optional<TEntryPlace> PrivacyItemPlace(const TPrivacyItem& item)
{
    // Keys are kept with a leading backslash; the registry wants them relative to the root.
    const auto below = [](const std::wstring& key) { return !key.empty() && key[0] == L'\\' ? key.substr(1) : key; };
    switch (item.Kind) {
    case TPrivacyItemKind::File:
    case TPrivacyItemKind::FolderEntry:
        return FilePlace(item.File);
    case TPrivacyItemKind::Key:
        return RegistryPlace(HKEY_CURRENT_USER, below(item.Key));
    case TPrivacyItemKind::Value:
        return RegistryPlace(HKEY_CURRENT_USER, below(item.Key), 0, item.ValueName);
    case TPrivacyItemKind::CacheEntry:
        return CookiePlace(AnsiToWide(item.Url));
    case TPrivacyItemKind::Database:
        return FilePlace(item.File, std::to_wstring(static_cast<int>(item.Job)));
    }
    return std::nullopt;
}

void TPrivacyRecorder::Clear()
{
    Items_.clear();
    Refusals_.clear();
    Notes_.clear();
    TotalBytes_ = 0;
    Owner_ = {};
    Category_ = 0;
}

TAnsiStrings TPrivacyRecorder::CacheUrls() const
{
    TAnsiStrings urls;
    for (const TPrivacyItem& item : Items_)
        if (item.Kind == TPrivacyItemKind::CacheEntry)
            urls.push_back(item.Url);
    return urls;
}

void TPrivacyRecorder::Add(TPrivacyItem item)
{
    TotalBytes_ += item.Size;
    item.Category = Category_;
    Items_.push_back(std::move(item));
}

void TPrivacyRecorder::AddFile(const std::wstring& path, const std::wstring& expected, int64_t size)
{
    Add({.Kind = TPrivacyItemKind::File, .Line = path + kLineGap + PrivacySizeText(size), .Path = path, .File = path,
         .Expected = expected, .Size = size, .Owner = Owner_});
}

void TPrivacyRecorder::AddFolderEntry(const std::wstring& path, int64_t size)
{
    Add({.Kind = TPrivacyItemKind::FolderEntry, .Line = path + kLineGap + PrivacySizeText(size), .Path = path,
         .File = path, .Size = size});
}

void TPrivacyRecorder::AddKey(const std::wstring& keyPath)
{
    if (IsRootOnly(keyPath))
        return;
    const std::wstring key = WithLeadingBackslash(keyPath);
    Add({.Kind = TPrivacyItemKind::Key, .Line = kCurrentUser + key, .Path = kCurrentUser + key, .Key = key});
}

void TPrivacyRecorder::AddValue(const std::wstring& keyPath, const std::wstring& valueName)
{
    const std::wstring key = WithLeadingBackslash(keyPath);
    Add({.Kind = TPrivacyItemKind::Value,
         .Line = kCurrentUser + key + L"\\" + valueName,
         .Path = kCurrentUser + key + L"/" + valueName,
         .Key = key,
         .ValueName = valueName});
}

void TPrivacyRecorder::AddCacheEntry(const TUrlCacheRecord& record)
{
    const std::wstring local = AnsiToWide(record.LocalFileName);
    const auto size = static_cast<int64_t>(record.Size);
    const std::wstring shown = local.empty() ? AnsiToWide(record.SourceUrl) : local;
    Add({.Kind = TPrivacyItemKind::CacheEntry, .Line = shown + kLineGap + FormatSize(size), .Path = shown,
         .File = local, .Url = record.SourceUrl, .Size = size});
}

void TPrivacyRecorder::AddRefusal(TFolderCheck check)
{
    const bool known = std::any_of(Refusals_.begin(), Refusals_.end(), [&check](const TFolderCheck& refused) {
        return refused.Folder == check.Folder && refused.Verdict == check.Verdict;
    });
    if (!known)
        Refusals_.push_back(std::move(check));
}

void TPrivacyRecorder::AddDatabase(const std::wstring& path, const std::wstring& what, TDatabaseJob job,
                                   const std::wstring& profile, const TBrowserOwner& owner)
{
    Add({.Kind = TPrivacyItemKind::Database, .Line = path + kLineGap + what, .Path = path, .File = path,
         .Owner = owner, .Job = job, .Profile = profile});
}

void TPrivacyRecorder::AddNote(const std::wstring& note)
{
    if (std::find(Notes_.begin(), Notes_.end(), note) == Notes_.end())
        Notes_.push_back(note);
}

TPrivacyRecorder::TOwnerScope::TOwnerScope(TPrivacyRecorder& recorder, const TBrowserOwner& owner)
    : Recorder_(recorder), Previous_(recorder.Owner_)
{
    Recorder_.Owner_ = owner;
}

TPrivacyRecorder::TOwnerScope::~TOwnerScope()
{
    Recorder_.Owner_ = Previous_;
}
