#pragma once
// What counts as a junk file, and the walks that find them. The scanner lists what these walks report
// and the removal library deletes it, so both share this one unit.
#include "common/Settings.h"
#include "common/SystemFolders.h"
#include "common/Types.h"
#include "junk/FolderGuard.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What a junk file was found as: the browser cache, the temporary folders, or one of the switches of
// today's Windows (kJunkSwitches, in the same order).
enum class TJunkArea { Cache, Temp, WindowsUpdate, DeliveryOptimization, ErrorReports, CrashDumps, Thumbnails };

// The switches of today's Windows: their Main.ini keys and defaults. Each walks fixed folders of the
// system by their exact names; RemoveDay does not apply to them.
struct TJunkSwitch {
    TJunkArea Area;
    const wchar_t* Key;
    bool Default;
};
inline constexpr TJunkSwitch kJunkSwitches[] = {
    {TJunkArea::WindowsUpdate, L"WindowsUpdate", false},
    {TJunkArea::DeliveryOptimization, L"DeliveryOptimization", false},
    {TJunkArea::ErrorReports, L"ErrorReports", true},
    {TJunkArea::CrashDumps, L"CrashDumps", true},
    {TJunkArea::Thumbnails, L"Thumbnails", false},
};
inline constexpr int kJunkSwitchCount = static_cast<int>(std::size(kJunkSwitches));
// The position of an area in kJunkSwitches; -1 for the cache and the temporary folders.
constexpr int JunkSwitchIndex(TJunkArea area)
{
    return static_cast<int>(area) - static_cast<int>(TJunkArea::WindowsUpdate);
}
constexpr bool JunkSwitchesFollowAreas()
{
    for (int i = 0; i < kJunkSwitchCount; ++i)
        if (JunkSwitchIndex(kJunkSwitches[i].Area) != i) return false;
    return JunkSwitchIndex(TJunkArea::Thumbnails) == kJunkSwitchCount - 1;
}
static_assert(JunkSwitchesFollowAreas(), "kJunkSwitches lists one row per switch area, in TJunkArea's order");

constexpr std::array<bool, kJunkSwitchCount> DefaultJunkSwitches()
{
    std::array<bool, kJunkSwitchCount> on{};
    for (int i = 0; i < kJunkSwitchCount; ++i) on[static_cast<size_t>(i)] = kJunkSwitches[i].Default;
    return on;
}

// Section "Junk File Removal" of Main.ini. A switch is on only when its value is exactly "1"; a missing
// one takes its default.
struct TJunkSettings {
    bool IECache = true;
    bool TempFile = true;
    bool Recycle = true;
    int RemoveDay = 2;
    // By position in kJunkSwitches.
    std::array<bool, kJunkSwitchCount> Switches = DefaultJunkSwitches();

    bool On(TJunkArea area) const
    {
        const int index = JunkSwitchIndex(area);
        return index >= 0 && index < kJunkSwitchCount && Switches[static_cast<size_t>(index)];
    }
};

// A missing file or key gives the default (all on, 2 days); a policy value overrides Main.ini's.
// RemoveDay is clamped to 0..kMaxRemoveDay (TSettings::Number); a policy value outside it is ignored.
TJunkSettings ReadJunkSettings(const TSettings& settings);
// Main.ini at iniPath under the system's policy values.
TJunkSettings ReadJunkSettings(const std::wstring& iniPath);

// The network user name followed by "@" (only "@" without a name): cookie files carry it.
std::wstring NetworkUserTag();
// The shell's folder of temporary Internet files.
std::wstring InternetCacheFolder();

// The places of the machine the junk rules depend on. The scan and the removal take the system's;
// tests put scratch stand-ins in, so that no test can reach the machine's own Windows folder or bin.
// An empty place is walked nowhere.
struct TJunkPlaces {
    std::wstring WindowsFolder; // protected; its "temp" and a few folders inside are walked
    std::wstring RecycleDrive;  // the drive root whose recycle bin is measured and emptied ("C:\")
    std::wstring ProgramData;   // the machine's application data: its error reports
    std::wstring LocalAppData;  // the user's local application data: crash dumps and thumbnails
    // Whether this process may remove what only an administrator may (the system's answer unless a
    // test puts another in).
    std::function<bool()> Elevated = ProcessIsElevated;
};
// The Windows folder, the system folder's drive, ProgramData and the local application-data folder.
TJunkPlaces SystemJunkPlaces();

// How the files of a walked folder are told to be junk.
enum class TFileRule {
    Any,        // every file
    Dump,       // "*.dmp"
    IconCache,  // "thumbcache_*.db" and "iconcache_*.db"
};

// A folder a switch walks (or, with Name set, the one file of that name in it: the folder itself is
// never walked then).
struct TJunkRoot {
    TJunkArea Area;
    std::wstring Folder;
    TFileRule Rule;
    bool Recursive;
    bool AdminOnly; // only an administrator may remove what lies there
    std::wstring Name;
};
// Every folder and named file of every switch, in the order of kJunkSwitches; those whose place is
// unknown are left out.
std::vector<TJunkRoot> SwitchRoots(const TJunkPlaces& places);
// The folders whose contents nothing of this program ever deletes, whatever any setting says: the
// component store, the installer cache, the catalog database, the update database, the prefetch
// folder, the antivirus's own folder and the previous Windows installation.
std::vector<std::wstring> RefusedFolders(const TJunkPlaces& places);

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
// The switches' rules compare without regard to case, as the file system does.
bool MatchesFileRule(const std::wstring& name, TFileRule rule);
// Whole days between two times, whichever comes first (fractions dropped).
int64_t WholeDaysBetween(const FILETIME& a, const FILETIME& b);

// A junk file as found: its area, full path, the path it must resolve to when it is deleted (see
// ExpectedPath: the walked folder as it resolves, then the names as listed), size, and whether only an
// administrator may remove it.
struct TJunkFile {
    TJunkArea Area;
    std::wstring Path;
    std::wstring Expected;
    int64_t Size;
    bool AdminOnly;
};
// Called for every junk file in the order found.
using TJunkSink = std::function<void(const TJunkFile& file)>;

// The recursive walks. Folder and file links are never entered nor reported: a link inside a
// temporary folder must not make its target junk. A folder the guard refuses is not walked at all.
class TJunkWalker {
public:
    TJunkWalker(std::wstring userTag, int removeDay, const TStopFlag& stopped, const TProtectedFolders& protectedFolders,
                TJunkSink sink);

    void WalkCache(const std::wstring& folder);
    void WalkTemp(const std::wstring& folder);
    // One folder or named file of a switch.
    void WalkSwitchRoot(const TJunkRoot& root);
    // The cache walk, the temporary walks and the switches' walks that the settings switch on, in that
    // order.
    void WalkAll(const TJunkSettings& settings, const std::wstring& cacheFolder, const TJunkPlaces& places);

    // The folders the guard refused, in the order they came.
    const std::vector<TFolderCheck>& Skipped() const { return Skipped_; }
    // The switches' folders that could not be listed for want of rights, in the order they came.
    const std::vector<TJunkRoot>& Unreadable() const { return Unreadable_; }

private:
    struct TRule {
        TJunkArea Area;
        TFileRule Files = TFileRule::Any;
        bool Recursive = true;
        bool AdminOnly = false;
    };
    // Walks the folder, in the guard's plain form, when the guard lets it be walked; else notes the
    // refusal. Returns the error of listing the folder itself (0 when it was listed).
    DWORD WalkRoot(const std::wstring& folder, const TRule& rule, TWalkRoot kind);
    void WalkNamedFile(const TJunkRoot& root);
    DWORD Walk(const std::wstring& folder, const std::wstring& expected, const TRule& rule);
    void TestFile(const std::wstring& folder, const std::wstring& expected, const WIN32_FIND_DATAW& data,
                  const TRule& rule);

    std::wstring UserTag_;
    int RemoveDay_;
    const TStopFlag& Stopped_;
    TFolderGuard Guard_;
    TJunkSink Sink_;
    std::vector<TFolderCheck> Skipped_;
    std::vector<TJunkRoot> Unreadable_;
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
