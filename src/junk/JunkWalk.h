#pragma once
// What counts as a junk file, and the walks that find them. The scanner lists what these walks report
// and the removal library deletes it, so both share this one unit.
#include "common/Types.h"
#include "junk/FolderGuard.h"

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
// RemoveDay lies between 0 and this many days.
inline constexpr int kMaxRemoveDay = 365;

// A missing file or key gives the default (all on, 2 days); RemoveDay is clamped to 0..kMaxRemoveDay,
// since the file is anyone's to edit and a negative age would list files written a moment ago.
TJunkSettings ReadJunkSettings(const std::wstring& iniPath);

// The network user name followed by "@" (only "@" without a name): cookie files carry it.
std::wstring NetworkUserTag();
// The shell's folder of temporary Internet files.
std::wstring InternetCacheFolder();

// The places of the machine the junk rules depend on. The scan and the removal take the system's;
// tests put scratch stand-ins in, so that no test can reach the machine's own Windows folder or bin.
struct TJunkPlaces {
    std::wstring WindowsFolder; // protected; its "temp" is walked
    std::wstring RecycleDrive;  // the drive root whose recycle bin is measured and emptied ("C:\")
};
// The Windows folder and the system folder's drive.
TJunkPlaces SystemJunkPlaces();

// The temporary folders walked by the age rule: the user's one, then the Windows folder's "temp".
std::vector<std::wstring> TemporaryFolders(const TJunkPlaces& places);
// The system's protected folders: the Windows, system and program folders, ProgramData, the profile,
// the application-data folders, the user's data folders and the Public folders; the Windows folder
// and drive of places are added (a test's stand-ins are protected besides the real ones, never
// instead of them).
TProtectedFolders ProtectedFolders(const TJunkPlaces& places);

// Name rules; plain case-sensitive substring tests on the file name.
bool IsCacheJunkName(const std::wstring& name, const std::wstring& userTag);
bool IsTempJunkName(const std::wstring& name, const std::wstring& userTag);
// Whole days between two times, whichever comes first (fractions dropped).
int64_t WholeDaysBetween(const FILETIME& a, const FILETIME& b);

enum class TJunkArea { Cache, Temp };

// Called for every junk file in the order found: its area, full path, the path it must resolve to when
// it is deleted (see ExpectedPath: the walked folder as it resolves, then the names as listed) and size.
using TJunkSink = std::function<void(TJunkArea area, const std::wstring& path, const std::wstring& expected,
                                     int64_t size)>;

// The recursive walks. Folder and file links are never entered nor reported: a link inside a
// temporary folder must not make its target junk. A folder the guard refuses is not walked at all.
class TJunkWalker {
public:
    TJunkWalker(std::wstring userTag, int removeDay, const TStopFlag& stopped, const TProtectedFolders& protectedFolders,
                TJunkSink sink);

    void WalkCache(const std::wstring& folder);
    void WalkTemp(const std::wstring& folder);
    // The cache walk and the temporary walks that the settings switch on, in that order.
    void WalkAll(const TJunkSettings& settings, const std::wstring& cacheFolder, const TJunkPlaces& places);

    // The folders the guard refused, in the order they came.
    const std::vector<TFolderCheck>& Skipped() const { return Skipped_; }

private:
    // Walks the folder, in the guard's plain form, when the guard lets it be walked; else notes the refusal.
    void WalkRoot(const std::wstring& folder, TJunkArea area);
    void Walk(const std::wstring& folder, const std::wstring& expected, TJunkArea area);
    void TestFile(const std::wstring& folder, const std::wstring& expected, const WIN32_FIND_DATAW& data,
                  TJunkArea area);

    std::wstring UserTag_;
    int RemoveDay_;
    const TStopFlag& Stopped_;
    TFolderGuard Guard_;
    TJunkSink Sink_;
    std::vector<TFolderCheck> Skipped_;
};

// The current user's recycle-bin folder on a drive root such as "C:\": "$Recycle.Bin\<the user's
// SID>". Since Windows 7 every user's bin is a folder of its own there, and "Recycled" or "RECYCLER" are
// ordinary folders. Empty when it does not exist or either step is a link.
std::wstring RecycleBinFolder(const std::wstring& driveRoot);
// Its size in bytes, 0 without a recycle-bin folder.
int64_t RecycleBinSize(const std::wstring& driveRoot);
// True while the bin holds a deleted item: any entry but the folder settings ("desktop.ini") that an
// empty bin keeps.
bool RecycleBinHoldsItems(const std::wstring& driveRoot);
// Deletes what the user's bin folder still holds, every entry but its own folder settings; links are
// neither entered nor followed. For Wine only, whose shell empties the Unix trash, not this folder.
void EmptyRecycleBinFolder(const std::wstring& driveRoot);
