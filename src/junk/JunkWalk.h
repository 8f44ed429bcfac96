#pragma once
// What counts as a junk file, and the walks that find them. The scanner lists what these walks report
// and the removal library deletes it, so both share this one unit.
#include "common/Types.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Section "Junk File Removal" of Main.ini. A switch is on only when its value is exactly "1".
struct TJunkSettings {
    bool IECache = true;
    bool TempFile = true;
    bool Recycle = true;
    int RemoveDay = 2;
};

inline constexpr wchar_t kJunkSection[] = L"Junk File Removal";

// A missing file or key gives the default (all on, 2 days).
TJunkSettings ReadJunkSettings(const std::wstring& iniPath);

// The network user name followed by "@" (only "@" without a name): cookie files carry it.
std::wstring NetworkUserTag();
// The shell's folder of temporary Internet files (through the 8-bit code page, as the cache reports it).
std::wstring InternetCacheFolder();
// The temporary folders walked by the age rule: the user's one, then the Windows folder's "temp".
std::vector<std::wstring> TemporaryFolders();

// Name rules; plain case-sensitive substring tests on the file name.
bool IsCacheJunkName(const std::wstring& name, const std::wstring& userTag);
bool IsTempJunkName(const std::wstring& name, const std::wstring& userTag);
// Whole days between two times, whichever comes first (fractions dropped).
int64_t WholeDaysBetween(const FILETIME& a, const FILETIME& b);

enum class TJunkArea { Cache, Temp };

// Called for every junk file in the order found: its area, full path and size.
using TJunkSink = std::function<void(TJunkArea area, const std::wstring& path, int64_t size)>;

// Tells the plain files of one folder from file links. Under Wine a file link looks like a plain file
// in the listing; only the path it resolves to tells. The folder's own resolved path is asked once.
class TLinkProbe {
public:
    explicit TLinkProbe(std::wstring folder); // with trailing backslash
    // False for a link, a file that is gone, and whatever cannot be told apart.
    bool IsPlainFile(const std::wstring& name);

private:
    std::wstring Folder_;
    std::wstring FolderFinal_;
    bool FolderKnown_ = false;
};

// The recursive walks. Folder and file links are never entered nor reported: a link inside a
// temporary folder must not make its target junk.
class TJunkWalker {
public:
    TJunkWalker(std::wstring userTag, int removeDay, const TStopFlag& stopped, TJunkSink sink);

    void WalkCache(const std::wstring& folder);
    void WalkTemp(const std::wstring& folder);

private:
    void Walk(const std::wstring& folder, TJunkArea area);
    void TestFile(TLinkProbe& probe, const std::wstring& folder, const WIN32_FIND_DATAW& data, TJunkArea area);

    std::wstring UserTag_;
    int RemoveDay_;
    const TStopFlag& Stopped_;
    TJunkSink Sink_;
};

// The recycle-bin folder of a drive root such as "C:\": "RECYCLER" (NT family), "Recycled" (9x family)
// or "$Recycle.Bin" (Vista on), the first that exists; empty when none exists.
std::wstring RecycleBinFolder(const std::wstring& driveRoot);
// Its size in bytes, 0 without a recycle-bin folder.
int64_t RecycleBinSize(const std::wstring& driveRoot);
