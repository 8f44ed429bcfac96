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

bool IsSwitchOn(const TSettings& settings, const wchar_t* key)
{
    return settings.SwitchOn(*FindSettingRule(kJunkSection, key));
}

std::wstring Below(const std::wstring& folder, const wchar_t* path)
{
    return folder.empty() ? std::wstring() : WithBackslash(folder) + path;
}

// The drive root a folder lies on ("C:\"); empty for a network path.
std::wstring DriveOf(const std::wstring& folder)
{
    return folder.size() >= 2 && folder[1] == L':' ? folder.substr(0, 2) + L"\\" : std::wstring();
}

std::wstring WindowsTemp(const std::wstring& windowsFolder)
{
    return WithBackslash(windowsFolder) + L"temp";
}

} // namespace

TJunkSettings ReadJunkSettings(const TSettings& settings)
{
    TJunkSettings junk;
    junk.IECache = IsSwitchOn(settings, L"IE Cache");
    junk.TempFile = IsSwitchOn(settings, L"TempFile");
    junk.Recycle = IsSwitchOn(settings, L"Recycle");
    junk.RemoveDay = settings.Number(*FindSettingRule(kJunkSection, L"RemoveDay"));
    for (int i = 0; i < kJunkSwitchCount; ++i)
        junk.Switches[static_cast<size_t>(i)] = IsSwitchOn(settings, kJunkSwitches[i].Key);
    return junk;
}

TJunkSettings ReadJunkSettings(const std::wstring& iniPath)
{
    return ReadJunkSettings(TSettings(iniPath));
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
    return {WindowsFolder(), SystemDriveRoot(), ShellFolder(CSIDL_COMMON_APPDATA), ShellFolder(CSIDL_LOCAL_APPDATA),
            ProcessIsElevated};
}

std::vector<TJunkRoot> SwitchRoots(const TJunkPlaces& places)
{
    const std::wstring& windows = places.WindowsFolder;
    const std::wstring wer = Below(places.ProgramData, L"Microsoft\\Windows\\WER\\");
    const std::vector<TJunkRoot> all = {
        {TJunkArea::WindowsUpdate, Below(windows, L"SoftwareDistribution\\Download"), TFileRule::Any, true, true, {}},
        {TJunkArea::DeliveryOptimization,
         Below(windows, L"ServiceProfiles\\NetworkService\\AppData\\Local\\Microsoft\\Windows\\DeliveryOptimization\\Cache"),
         TFileRule::Any, true, true, {}},
        {TJunkArea::ErrorReports, wer.empty() ? wer : wer + L"ReportArchive", TFileRule::Any, true, true, {}},
        {TJunkArea::ErrorReports, wer.empty() ? wer : wer + L"ReportQueue", TFileRule::Any, true, true, {}},
        {TJunkArea::CrashDumps, Below(places.LocalAppData, L"CrashDumps"), TFileRule::Dump, true, false, {}},
        {TJunkArea::CrashDumps, Below(windows, L"Minidump"), TFileRule::Dump, false, true, {}},
        // The complete memory dump lies in the Windows folder itself: one named file, never a walk.
        {TJunkArea::CrashDumps, windows, TFileRule::Dump, false, true, L"MEMORY.DMP"},
        {TJunkArea::Thumbnails, Below(places.LocalAppData, L"Microsoft\\Windows\\Explorer"), TFileRule::IconCache, false,
         false, {}},
    };
    std::vector<TJunkRoot> roots;
    for (const TJunkRoot& root : all)
        if (!root.Folder.empty()) roots.push_back(root);
    return roots;
}

std::vector<std::wstring> RefusedFolders(const TJunkPlaces& places)
{
    std::vector<std::wstring> folders;
    const auto add = [&folders](const std::wstring& folder) {
        if (!folder.empty()) folders.push_back(folder);
    };
    for (const std::wstring& windows : {WindowsFolder(), places.WindowsFolder}) {
        for (const wchar_t* inside : {L"WinSxS", L"Installer", L"System32\\catroot2", L"SoftwareDistribution\\DataStore",
                                      L"Prefetch"})
            add(Below(windows, inside));
        add(Below(DriveOf(windows), L"Windows.old"));
    }
    add(Below(SystemFolder(), L"catroot2"));
    add(Below(places.RecycleDrive, L"Windows.old"));
    for (const std::wstring& programData : {ShellFolder(CSIDL_COMMON_APPDATA), places.ProgramData})
        add(Below(programData, L"Microsoft\\Windows Defender"));
    return folders;
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
    // So are stand-ins for ProgramData and the local application data.
    for (const std::wstring& kept : {places.ProgramData, places.LocalAppData})
        if (!kept.empty()) folders.Kept.push_back(kept);
    folders.Refused = RefusedFolders(places);
    // The switches' folders are walked by their exact names, never the named file's folder.
    for (const TJunkRoot& root : SwitchRoots(places))
        if (root.Name.empty()) folders.Exact.push_back(root.Folder);
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

bool MatchesFileRule(const std::wstring& name, TFileRule rule)
{
    switch (rule) {
    case TFileRule::Any:
        return true;
    case TFileRule::Dump:
        return name.size() > 4 && EndsWithText(name, L".dmp");
    case TFileRule::IconCache:
        return (StartsWithText(name, L"thumbcache_") || StartsWithText(name, L"iconcache_")) &&
               EndsWithText(name, L".db") && name.find_first_of(L"*?") == std::wstring::npos;
    }
    return false;
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

// An empty folder name (no such shell folder) walks nothing; it would otherwise become "\\", the
// root of the current drive. The walk lists the folder the guard judged, in the guard's form. That
// folder is the root of what the walk lists: it may be reached through a link, and is resolved once
// here; nothing below it may be a link.
DWORD TJunkWalker::WalkRoot(const std::wstring& folder, const TRule& rule, TWalkRoot kind)
{
    if (folder.empty()) return 0;
    TFolderCheck check = Guard_.Check(folder, kind);
    if (check.Verdict != TFolderVerdict::Walk) {
        Skipped_.push_back(std::move(check));
        return 0;
    }
    // A folder that cannot be resolved could not be told from a link at removal: nothing is listed.
    const std::wstring expected = ResolvedPath(WithBackslash(check.Plain));
    if (expected.empty()) return GetLastError() == ERROR_ACCESS_DENIED ? ERROR_ACCESS_DENIED : 0;
    return Walk(WithBackslash(check.Plain), expected, rule);
}

void TJunkWalker::WalkCache(const std::wstring& folder) { WalkRoot(folder, {TJunkArea::Cache}, TWalkRoot::Named); }

void TJunkWalker::WalkTemp(const std::wstring& folder) { WalkRoot(folder, {TJunkArea::Temp}, TWalkRoot::Named); }

void TJunkWalker::WalkSwitchRoot(const TJunkRoot& root)
{
    if (Stopped_.load(std::memory_order_relaxed) == 1) return;
    if (!root.Name.empty()) {
        WalkNamedFile(root);
        return;
    }
    if (WalkRoot(root.Folder, {root.Area, root.Rule, root.Recursive, root.AdminOnly}, TWalkRoot::Exact) ==
        ERROR_ACCESS_DENIED)
        Unreadable_.push_back(root);
}

// One file by its name in a folder that is never walked (the Windows folder): no wildcard, so the
// search names at most that file, and only under its own long name.
void TJunkWalker::WalkNamedFile(const TJunkRoot& root)
{
    if (root.Folder.empty() || root.Name.find_first_of(L"*?\\/") != std::wstring::npos) return;
    const std::wstring folder = WithBackslash(root.Folder);
    WIN32_FIND_DATAW data;
    const TFindHandle find = FindFirstEntry(folder + root.Name, data);
    if (!find) {
        if (GetLastError() == ERROR_ACCESS_DENIED) Unreadable_.push_back(root);
        return;
    }
    if (!SameText(data.cFileName, root.Name) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    const std::wstring expected = ResolvedPath(folder);
    if (expected.empty()) return;
    TestFile(folder, expected, data, {root.Area, root.Rule, false, root.AdminOnly});
}

void TJunkWalker::WalkAll(const TJunkSettings& settings, const std::wstring& cacheFolder, const TJunkPlaces& places)
{
    if (settings.IECache) WalkCache(cacheFolder);
    if (settings.TempFile) {
        for (const std::wstring& folder : TemporaryFolders(places)) WalkTemp(folder);
    }
    for (const TJunkRoot& root : SwitchRoots(places))
        if (settings.On(root.Area)) WalkSwitchRoot(root);
}

DWORD TJunkWalker::Walk(const std::wstring& folder, const std::wstring& expected, const TRule& rule)
{
    WIN32_FIND_DATAW data;
    const TFindHandle find = FindFirstEntry(folder + L"*", data);
    if (!find) return GetLastError() == ERROR_ACCESS_DENIED ? ERROR_ACCESS_DENIED : 0;
    do {
        if (Stopped_.load(std::memory_order_relaxed) == 1) return 0;
        if (IsDotEntry(data.cFileName)) continue;
        // A junction or folder link is left alone: its target lies outside the junk folders.
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (rule.Recursive) Walk(folder + data.cFileName + L'\\', ExpectedChild(expected, data.cFileName), rule);
        } else {
            TestFile(folder, expected, data, rule);
        }
    } while (FindNextFileW(find.Get(), &data));
    return 0;
}

void TJunkWalker::TestFile(const std::wstring& folder, const std::wstring& expected, const WIN32_FIND_DATAW& data,
                           const TRule& rule)
{
    const std::wstring name = data.cFileName;
    if (rule.Area == TJunkArea::Cache) {
        if (!IsCacheJunkName(name, UserTag_)) return;
    } else if (rule.Area == TJunkArea::Temp) {
        if (!IsTempJunkName(name, UserTag_)) return;
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        if (WholeDaysBetween(data.ftLastWriteTime, now) <= RemoveDay_) return;
    } else if (!MatchesFileRule(name, rule.Files)) {
        return;
    }
    // The probe also tells that the file still exists: a file gone since the listing is skipped.
    const std::wstring path = folder + name;
    const std::wstring expectedFile = ExpectedChild(expected, data.cFileName);
    if (!IsPlainEntry(path, expectedFile, data.dwFileAttributes)) return;
    Sink_({rule.Area, path, expectedFile, FindDataSize(data), rule.AdminOnly});
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
