// Ravenwick.dll: removes the junk files that the scan listed and that the rules of the settings file
// handed to CreateDll still call junk, and empties the recycle bin the scan measured. It shows nothing,
// and no error or exception leaves it; what it did with each file goes into the result file that the
// program reads (see JunkList.h).
#include "common/Paths.h"
#include "common/SafeDelete.h"
#include "common/SystemFolders.h"
#include "junk/JunkList.h"
#include "junk/JunkWalk.h"
#include "junk/RemovalCalls.h"

#include <shellapi.h>

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

struct TState {
    std::wstring SettingsFile;
    std::wstring RemovalId; // handed out by the last CreateDll; the list must carry it
    std::wstring WindowsStandIn;
    std::wstring DriveStandIn;
    std::wstring ProgramDataStandIn;
    std::wstring LocalAppDataStandIn;
    TEmptyRecycleBin EmptyBin = nullptr;
};

std::mutex StateLock;
TState State;

TState TakeState()
{
    std::lock_guard<std::mutex> lock(StateLock);
    return State;
}

void RemoveJunk(const TState& state)
{
    const std::wstring folder = ParentFolder(state.SettingsFile);
    if (folder.empty()) return;
    // No readable list of this removal: nothing at all is deleted, the bin included.
    std::vector<TJunkListEntry> listed;
    if (!ReadJunkList(JunkListPath(folder), state.RemovalId, listed)) return;
    TJunkResultWriter results;
    results.Open(JunkResultPath(folder));
    std::unordered_map<std::wstring, std::wstring> expectedOf;
    for (TJunkListEntry& entry : listed) expectedOf.emplace(std::move(entry.Path), std::move(entry.Expected));

    const TJunkSettings settings = ReadJunkSettings(state.SettingsFile);
    TJunkPlaces places = SystemJunkPlaces();
    if (!state.WindowsStandIn.empty()) places.WindowsFolder = state.WindowsStandIn;
    if (!state.DriveStandIn.empty()) places.RecycleDrive = state.DriveStandIn;
    if (!state.ProgramDataStandIn.empty()) places.ProgramData = state.ProgramDataStandIn;
    if (!state.LocalAppDataStandIn.empty()) places.LocalAppData = state.LocalAppDataStandIn;
    const TStopFlag never{0};

    // The whole walk first, then the deletions: the walks never see a folder change under them. A
    // file goes only when the scan listed it and the rules still call it junk; the gate then deletes
    // it only where the scan found it.
    std::vector<std::wstring> files;
    TJunkWalker walker(NetworkUserTag(), settings.RemoveDay, never, ProtectedFolders(places),
                       [&](const TJunkFile& file) {
                           if (expectedOf.count(file.Path)) files.push_back(file.Path);
                       });
    walker.WalkAll(settings, InternetCacheFolder(), places);
    for (const std::wstring& file : files) results.Add(file, DeleteFileSafe(file, expectedOf[file]));

    // Only the bin the scan measured and listed. Without a drive the call would empty every drive's bin.
    const std::wstring bin = RecycleBinFolder(places.RecycleDrive);
    if (settings.Recycle && !bin.empty() && expectedOf.count(bin)) {
        const TEmptyRecycleBin emptyBin = state.EmptyBin ? state.EmptyBin : SHEmptyRecycleBinW;
        (void)emptyBin(nullptr, places.RecycleDrive.c_str(), SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
        // On Windows the shell empties the caller's own bin. Wine's shell empties the Unix trash instead
        // of the measured folder, which is then emptied here (the user's own only, as on Windows).
        if (RunsUnderWine() && RecycleBinHoldsItems(places.RecycleDrive)) EmptyRecycleBinFolder(places.RecycleDrive);
    }
}

} // namespace

// Hands out the id of this removal in text (when the caller's variable is empty): the program writes
// it into the list, and the removal takes no other list.
extern "C" void WINAPI CreateDll(BSTR* text, const wchar_t* iniPath)
{
    try {
        const std::wstring id = NewRemovalId();
        std::lock_guard<std::mutex> lock(StateLock);
        State.SettingsFile = iniPath ? iniPath : L"";
        State.RemovalId = text && !*text ? id : std::wstring();
        if (!State.RemovalId.empty()) *text = SysAllocString(id.c_str());
    } catch (...) {
    }
}

// The start routine of the removal thread; its argument is always null.
extern "C" DWORD WINAPI RepairTFile(void*)
{
    try {
        const TState state = TakeState();
        // Without the settings file of CreateDll there is no way to know what the user asked for.
        if (!state.SettingsFile.empty()) RemoveJunk(state);
    } catch (...) {
    }
    return 0;
}

#ifdef RAVENWICK_STAND_INS
// The tests' variant only: the shipped library does not have this call.
extern "C" void WINAPI UseStandIns(const wchar_t* windowsFolder, const wchar_t* recycleDrive,
                                   const wchar_t* programData, const wchar_t* localAppData, TEmptyRecycleBin emptyBin)
{
    try {
        std::lock_guard<std::mutex> lock(StateLock);
        State.WindowsStandIn = windowsFolder ? windowsFolder : L"";
        State.DriveStandIn = recycleDrive ? recycleDrive : L"";
        State.ProgramDataStandIn = programData ? programData : L"";
        State.LocalAppDataStandIn = localAppData ? localAppData : L"";
        State.EmptyBin = emptyBin;
    } catch (...) {
    }
}
#endif
