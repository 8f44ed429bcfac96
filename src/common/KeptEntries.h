#pragma once
// What the user unticked in any list of the details window. No scanner removes an entry that is one of
// them, lies inside one or holds one: a spyware key stays when the user kept one of its values in the
// registry list, and a folder stays when another list keeps a file inside it.
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <utility>

// Where an entry lives, in a form that compares across lists and scanners.
struct TEntryPlace {
    enum class TDomain { Registry, File, Cookie };
    TDomain Domain = TDomain::File;
    // Upper-cased: a key's name in the kernel's namespace (its root and path when it cannot be opened),
    // a full file path, a cookie's URL.
    std::wstring Path;
    // A value of the key, or some rows of the database file; Part names which (upper-cased).
    bool HasPart = false;
    std::wstring Part;
};

// A key, or a value of it: the key is named as the kernel names it, so that the merged classes root, a
// 32-bit view and the current user below HKEY_USERS all come out as the one key they are.
TEntryPlace RegistryPlace(HKEY root, const std::wstring& subKey, REGSAM view = 0,
                          const std::optional<std::wstring>& valueName = std::nullopt);
// A file or folder by its full long path; part: some rows of the file (a database), not the file.
TEntryPlace FilePlace(const std::wstring& path, const std::optional<std::wstring>& part = std::nullopt);
TEntryPlace CookiePlace(const std::wstring& url);

class TKeptEntries {
public:
    // list: the list the entry was unticked in, as the repair report names it.
    void Add(const TEntryPlace& place, const std::wstring& list);
    // The list that keeps an entry which place is, lies inside or holds; nullptr when none does.
    const std::wstring* KeptBy(const TEntryPlace& place) const;
    bool Empty() const { return Entries_.empty(); }

private:
    struct TKept {
        bool HasPart;
        std::wstring Part;
        std::wstring List;
    };
    using TKey = std::pair<int, std::wstring>; // domain, path
    std::multimap<TKey, TKept> Entries_;
};
