#include "junk/JunkWalk.h"

#include "common/DataFolders.h"
#include "common/FileFind.h"
#include "common/IniFile.h"
#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "common/SafeDelete.h"
#include "common/SystemFolders.h"
#include "common/TextCompare.h"

#include <shlobj.h>
#include <winnetwk.h>

#include <algorithm>
#include <utility>

namespace {

constexpr int kCsidlInternetCache = 0x20;
constexpr int64_t kTicksPerDay = 10'000'000LL * 60 * 60 * 24;

int64_t FileTimeTicks(const FILETIME& t)
{
    return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
}

bool IsSwitchOn(const TIniFile& ini, const wchar_t* key)
{
    return ini.ReadString(kJunkSection, key, L"1") == L"1";
}

std::wstring WindowsTemp(const std::wstring& windowsFolder)
{
    return WithBackslash(windowsFolder) + L"temp";
}

} // namespace

TJunkSettings ReadJunkSettings(const std::wstring& iniPath)
{
    const TIniFile ini(iniPath);
    TJunkSettings settings;
    settings.IECache = IsSwitchOn(ini, L"IE Cache");
    settings.TempFile = IsSwitchOn(ini, L"TempFile");
    settings.Recycle = IsSwitchOn(ini, L"Recycle");
    settings.RemoveDay = std::clamp(ini.ReadInteger(kJunkSection, L"RemoveDay", 2), 0, kMaxRemoveDay);
    return settings;
}

std::wstring NetworkUserTag()
{
    // Size first, then the name.
    DWORD length = 0;
    std::wstring name;
    wchar_t probe[1] = {};
    DWORD status = WNetGetUserW(nullptr, probe, &length);
    if (status == ERROR_MORE_DATA && length > 0) {
        std::wstring buffer(length, L'\0');
        if (WNetGetUserW(nullptr, buffer.data(), &length) == NO_ERROR) name = buffer.c_str();
    } else if (status == NO_ERROR) {
        name = probe;
    }
    return name + L"@";
}

std::wstring InternetCacheFolder()
{
    return ShellFolder(kCsidlInternetCache);
}

TJunkPlaces SystemJunkPlaces()
{
    return {WindowsFolder(), SystemDriveRoot()};
}

std::vector<std::wstring> TemporaryFolders(const TJunkPlaces& places)
{
    std::vector<std::wstring> folders{TempFolder()};
    if (!places.WindowsFolder.empty()) folders.push_back(WindowsTemp(places.WindowsFolder));
    return folders;
}

TProtectedFolders ProtectedFolders(const TJunkPlaces& places)
{
    TProtectedFolders folders;
    const std::wstring windows = WindowsFolder();
    const std::wstring appData = ShellFolder(CSIDL_APPDATA);
    const std::wstring localAppData = ShellFolder(CSIDL_LOCAL_APPDATA);
    folders.Roots = {places.RecycleDrive};
    folders.Kept = {SystemFolder(), SystemFolder32(), ShellFolder(CSIDL_COMMON_APPDATA), ShellFolder(CSIDL_PROFILE),
                    appData, localAppData};
    folders.Sealed = {windows, ShellFolder(CSIDL_PROGRAM_FILES), ProgramFilesFolder32(),
                      ShellFolder(CSIDL_DESKTOPDIRECTORY), ShellFolder(CSIDL_PERSONAL), ShellFolder(CSIDL_MYPICTURES),
                      ShellFolder(CSIDL_MYMUSIC), ShellFolder(CSIDL_MYVIDEO), ShellFolder(CSIDL_FAVORITES),
                      ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY), ShellFolder(CSIDL_COMMON_DOCUMENTS),
                      ShellFolder(CSIDL_COMMON_MUSIC), ShellFolder(CSIDL_COMMON_PICTURES),
                      ShellFolder(CSIDL_COMMON_VIDEO)};
    for (const std::vector<std::wstring>& data : {UserDataFolders(), PublicDataFolders()})
        folders.Sealed.insert(folders.Sealed.end(), data.begin(), data.end());
    folders.Open = {WindowsTemp(windows)};
    folders.Homes = {appData, localAppData};
    // A stand-in Windows folder (tests) is guarded beside the real one.
    if (!places.WindowsFolder.empty() && places.WindowsFolder != windows) {
        folders.Sealed.push_back(places.WindowsFolder);
        folders.Open.push_back(WindowsTemp(places.WindowsFolder));
    }
    return folders;
}

bool IsCacheJunkName(const std::wstring& name, const std::wstring& userTag)
{
    const auto has = [&name](const std::wstring& part) { return name.find(part) != std::wstring::npos; };
    return !(has(L".dat") || has(userTag) || has(L".ico") || has(L"desktop.ini"));
}

bool IsTempJunkName(const std::wstring& name, const std::wstring& userTag)
{
    return name.find(L"index.dat") == std::wstring::npos && name.find(userTag) == std::wstring::npos;
}

int64_t WholeDaysBetween(const FILETIME& a, const FILETIME& b)
{
    int64_t difference = FileTimeTicks(a) - FileTimeTicks(b);
    if (difference < 0) difference = -difference;
    return difference / kTicksPerDay;
}

TJunkWalker::TJunkWalker(std::wstring userTag, int removeDay, const TStopFlag& stopped,
                         const TProtectedFolders& protectedFolders, TJunkSink sink)
    : UserTag_(std::move(userTag)), RemoveDay_(removeDay), Stopped_(stopped), Guard_(protectedFolders),
      Sink_(std::move(sink))
{
}

// An empty folder name (no such shell folder) walks nothing; it would otherwise become "\", the
// root of the current drive. The walk lists the folder the guard judged, in the guard's form. That
// folder is the root of what the walk lists: it may be reached through a link, and is resolved once
// here; nothing below it may be a link.
void TJunkWalker::WalkRoot(const std::wstring& folder, TJunkArea area)
{
    if (folder.empty()) return;
    TFolderCheck check = Guard_.Check(folder, TWalkRoot::Named);
    if (check.Verdict != TFolderVerdict::Walk) {
        Skipped_.push_back(std::move(check));
        return;
    }
    // A folder that cannot be resolved could not be told from a link at removal: nothing is listed.
    const std::wstring expected = ResolvedPath(WithBackslash(check.Plain));
    if (!expected.empty()) Walk(WithBackslash(check.Plain), expected, area);
}

void TJunkWalker::WalkCache(const std::wstring& folder) { WalkRoot(folder, TJunkArea::Cache); }

void TJunkWalker::WalkTemp(const std::wstring& folder) { WalkRoot(folder, TJunkArea::Temp); }

void TJunkWalker::WalkAll(const TJunkSettings& settings, const std::wstring& cacheFolder, const TJunkPlaces& places)
{
    if (settings.IECache) WalkCache(cacheFolder);
    if (settings.TempFile) {
        for (const std::wstring& folder : TemporaryFolders(places)) WalkTemp(folder);
    }
}

void TJunkWalker::Walk(const std::wstring& folder, const std::wstring& expected, TJunkArea area)
{
    WIN32_FIND_DATAW data;
    const TFindHandle find = FindFirstEntry(folder + L"*", data);
    if (!find) return;
    do {
        if (Stopped_.load(std::memory_order_relaxed) == 1) return;
        if (IsDotEntry(data.cFileName)) continue;
        // A junction or folder link is left alone: its target lies outside the junk folders.
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            Walk(folder + data.cFileName + L'\\', ExpectedChild(expected, data.cFileName), area);
        else
            TestFile(folder, expected, data, area);
    } while (FindNextFileW(find.Get(), &data));
}

void TJunkWalker::TestFile(const std::wstring& folder, const std::wstring& expected, const WIN32_FIND_DATAW& data,
                           TJunkArea area)
{
    const std::wstring name = data.cFileName;
    if (area == TJunkArea::Cache) {
        if (!IsCacheJunkName(name, UserTag_)) return;
    } else {
        if (!IsTempJunkName(name, UserTag_)) return;
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        if (WholeDaysBetween(data.ftLastWriteTime, now) <= RemoveDay_) return;
    }
    // The probe also tells that the file still exists: a file gone since the listing is skipped.
    const std::wstring path = folder + name;
    const std::wstring expectedFile = ExpectedChild(expected, data.cFileName);
    if (!IsPlainEntry(path, expectedFile, data.dwFileAttributes)) return;
    Sink_(area, path, expectedFile, FindDataSize(data));
}

std::wstring RecycleBinFolder(const std::wstring& driveRoot)
{
    const std::wstring sid = CurrentUserSid();
    if (driveRoot.empty() || sid.empty()) return {};
    // Only the bin's place and form make it one: any other folder of that name is the user's own.
    const std::wstring bins = WithBackslash(driveRoot) + L"$Recycle.Bin";
    const std::wstring own = bins + L"\\" + sid;
    if (!FolderExists(bins) || IsFolderLink(bins) || !FolderExists(own) || IsFolderLink(own)) return {};
    return own;
}

int64_t RecycleBinSize(const std::wstring& driveRoot)
{
    const std::wstring folder = RecycleBinFolder(driveRoot);
    return folder.empty() ? 0 : FolderSize(folder, true);
}

namespace {

bool IsFolderSettings(const wchar_t* name) { return SameText(name, L"desktop.ini"); }

// Visits the entries below folder (depth 0 = its own entries), deepest first, each with the path it
// must resolve to (expected: the folder's); a link is never entered. visit returns false to stop.
template <typename Visit>
bool VisitBin(const std::wstring& folder, const std::wstring& expected, int depth, Visit visit)
{
    WIN32_FIND_DATAW data;
    const TFindHandle find = FindFirstEntry(WithBackslash(folder) + L"*", data);
    if (!find) return true;
    do {
        if (IsDotEntry(data.cFileName)) continue;
        const std::wstring path = WithBackslash(folder) + data.cFileName;
        const std::wstring expectedPath = ExpectedChild(expected, data.cFileName);
        const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
            !VisitBin(path, expectedPath, depth + 1, visit))
            return false;
        if (!visit(path, expectedPath, data, isFolder, depth)) return false;
    } while (FindNextFileW(find.Get(), &data));
    return true;
}

// The bin's own folder settings, which an emptied bin keeps; a recycled folder's are its content.
bool IsBinSettings(const WIN32_FIND_DATAW& data, bool isFolder, int depth)
{
    return depth == 0 && !isFolder && IsFolderSettings(data.cFileName);
}

} // namespace

bool RecycleBinHoldsItems(const std::wstring& driveRoot)
{
    const std::wstring folder = RecycleBinFolder(driveRoot);
    if (folder.empty()) return false;
    bool holds = false;
    VisitBin(folder, {}, 0,
             [&](const std::wstring&, const std::wstring&, const WIN32_FIND_DATAW& data, bool isFolder, int depth) {
                 holds = depth == 0 && !IsBinSettings(data, isFolder, depth);
                 return !holds;
             });
    return holds;
}

void EmptyRecycleBinFolder(const std::wstring& driveRoot)
{
    const std::wstring folder = RecycleBinFolder(driveRoot);
    const std::wstring expected = folder.empty() ? std::wstring() : ResolvedPath(WithBackslash(folder));
    if (expected.empty()) return;
    // Entries come deepest first, so a recycled folder is empty when its turn comes. The bin folder
    // itself and its folder settings stay, as an emptied bin keeps them.
    VisitBin(folder, expected, 0,
             [](const std::wstring& path, const std::wstring& expectedPath, const WIN32_FIND_DATAW& data, bool isFolder,
                int depth) {
                 // What stays is seen by the report, which looks again.
                 if (isFolder)
                     (void)RemoveFolderSafe(path, expectedPath);
                 else if (!IsBinSettings(data, isFolder, depth))
                     (void)DeleteFileSafe(path, expectedPath);
                 return true;
             });
}
