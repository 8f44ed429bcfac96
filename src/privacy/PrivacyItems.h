#pragma once
// What the privacy scan lists: one typed record per trace, and the recorder that is the only writer of
// the scan's results. Each record keeps its kind and its parts as they were found, so that the repair
// never has to guess from a display text what to delete.
#include "common/KeptEntries.h"
#include "common/Types.h"
#include "junk/FolderGuard.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TUrlCacheRecord;

enum class TPrivacyItemKind {
    File,        // a file: deleted, or scheduled for the next restart when in use
    FolderEntry, // a sub-folder shown by a one-level listing: never deleted
    Key,         // a key below HKEY_CURRENT_USER, deleted with everything below it
    Value,       // one value of a key below HKEY_CURRENT_USER
    CacheEntry,  // a cookie or history entry of the URL cache, removed through the cache by its exact URL
    Database,    // rows of a browser's database, deleted by its category's cleaning; the file stays
};

// What the repair does with a browser database item.
enum class TDatabaseJob {
    None,
    ChromiumHistory,   // visits, search terms, segments, pages that are not bookmarked
    ChromiumFavicons,  // icons of the pages removed
    ChromiumSideTable, // every row of a history side database (its meta table stays)
    ChromiumDownloads, // the download list
    ChromiumCookies,   // cookies of hosts that the keep-list does not keep
    ChromiumFormData,  // autofill entries
    ChromiumPasswords, // saved logins
    FirefoxHistory,     // visits, pages nothing refers to, their annotations, origins and icons
    FirefoxCookies,     // cookies of hosts that the keep-list does not keep
    FirefoxFormHistory, // every row of formhistory.sqlite
    FirefoxLogins,      // the saved logins of logins.db
};

// The browser an item belongs to, for the rules that depend on it running.
struct TBrowserOwner {
    std::wstring Name;    // for the report ("Google Chrome")
    std::wstring Process; // its executable ("chrome.exe"); empty: no browser
    std::wstring Root;    // the browser's folder: nothing outside it is touched
    // Left alone while the browser runs (its databases and session files); cache files are not.
    bool HeldWhileRunning = false;
    // A file the browser holds without sharing while it runs (Firefox's parent.lock); empty: none.
    std::wstring LockFile;
};

struct TPrivacyItem {
    TPrivacyItemKind Kind = TPrivacyItemKind::File;
    // The report's line, and the item's path as text (a file path, HKEY_CURRENT_USER\key or
    // HKEY_CURRENT_USER\key/value, a cache entry's local file or, without one, its URL); restart
    // deletions are remembered by it.
    std::wstring Line;
    std::wstring Path;
    // File and FolderEntry: the full path; CacheEntry: the local file name (empty for none).
    std::wstring File;
    // File: the path it must resolve to when it is deleted (see ExpectedPath).
    std::wstring Expected;
    // Key and Value: the key below HKEY_CURRENT_USER, with a leading backslash; Value: the value name.
    std::wstring Key;
    std::wstring ValueName;
    // CacheEntry: the source URL exactly as the cache returned it (8-bit).
    std::string Url;
    int64_t Size = 0;
    // Files and databases of today's browsers; Database: File is the database, Profile its folder.
    TBrowserOwner Owner;
    TDatabaseJob Job = TDatabaseJob::None;
    std::wstring Profile;
    // The position of the category that listed it (0: none).
    int Category = 0;
};

// Where the item lives, as the lists compare entries; a database item is some rows of its file.
std::optional<TEntryPlace> PrivacyItemPlace(const TPrivacyItem& item);

// "n bytes" up to 1024 bytes, "x.xx KB" up to 1 MB, "x.xx M" above (64-bit sizes).
std::wstring PrivacySizeText(int64_t bytes);
// The most of a path or name that the status line shows.
inline constexpr size_t kSubjectLength = 60;
// The last component of a path (after its last "\" or ":"), cut to maxLength characters; the status
// line shows it.
std::wstring LastPathComponent(const std::wstring& path, size_t maxLength = kSubjectLength);

class TPrivacyRecorder {
public:
    void Clear();

    void AddFile(const std::wstring& path, const std::wstring& expected, int64_t size);
    void AddFolderEntry(const std::wstring& path, int64_t size);
    // keyPath below HKEY_CURRENT_USER, with or without its leading backslash. The root itself is
    // never an item: an empty key path records nothing.
    void AddKey(const std::wstring& keyPath);
    void AddValue(const std::wstring& keyPath, const std::wstring& valueName);
    // A cookie or a visited page of the URL cache: shown by its local file, or by its URL without one.
    void AddCacheEntry(const TUrlCacheRecord& record);
    // A folder the guard refused: no item, a line of the report. A folder refused twice is listed once.
    void AddRefusal(TFolderCheck check);
    // A browser database whose rows the repair deletes; line is what the report shows after the path.
    void AddDatabase(const std::wstring& path, const std::wstring& what, TDatabaseJob job, const std::wstring& profile,
                     const TBrowserOwner& owner);
    // Files added while the scope lives belong to that browser.
    class TOwnerScope {
    public:
        TOwnerScope(TPrivacyRecorder& recorder, const TBrowserOwner& owner);
        ~TOwnerScope();
        TOwnerScope(const TOwnerScope&) = delete;
        TOwnerScope& operator=(const TOwnerScope&) = delete;

    private:
        TPrivacyRecorder& Recorder_;
        TBrowserOwner Previous_;
    };
    // A line that the report shows after the items (a keep-list entry that is ignored, ...), once.
    void AddNote(const std::wstring& note);
    // Items added from now on belong to the category at this position.
    void SetCategory(int position) { Category_ = position; }
    const TWideStrings& Notes() const { return Notes_; }

    const std::vector<TPrivacyItem>& Items() const { return Items_; }
    const std::vector<TFolderCheck>& Refusals() const { return Refusals_; }
    // Every listed item counts once.
    int32_t FoundCount() const { return static_cast<int32_t>(Items_.size()); }
    int64_t TotalBytes() const { return TotalBytes_; }
    // The source URLs of the listed cache entries, in listing order.
    TAnsiStrings CacheUrls() const;

private:
    void Add(TPrivacyItem item);
    std::vector<TPrivacyItem> Items_;
    std::vector<TFolderCheck> Refusals_;
    TWideStrings Notes_;
    TBrowserOwner Owner_;
    int Category_ = 0;
    int64_t TotalBytes_ = 0;
};
