// Ravenwick.dll: removes the junk files that the scanner lists, with the switches, folders and rules
// of the settings file handed to CreateDll, and empties the recycle bin of the drive the scanner
// measured. It shows nothing, and no error or exception leaves it: the program never hears of its
// failures.
#include "common/SafeDelete.h"
#include "junk/JunkWalk.h"
#include "junk/RemovalCalls.h"

#include <shellapi.h>

#include <mutex>
#include <string>
#include <vector>

namespace {

struct TState {
    std::wstring SettingsFile;
    std::wstring WindowsStandIn;
    std::wstring DriveStandIn;
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
    const TJunkSettings settings = ReadJunkSettings(state.SettingsFile);
    TJunkPlaces places = SystemJunkPlaces();
    if (!state.WindowsStandIn.empty()) places.WindowsFolder = state.WindowsStandIn;
    if (!state.DriveStandIn.empty()) places.RecycleDrive = state.DriveStandIn;
    const TStopFlag never{0};

    // The whole list first, then the deletions: the walks never see a folder change under them.
    // The walks refuse the protected folders just as the scan does, so nothing the scan did not list
    // is reached here.
    std::vector<std::wstring> files;
    TJunkWalker walker(NetworkUserTag(), settings.RemoveDay, never, ProtectedFolders(places),
                       [&files](TJunkArea, const std::wstring& path, int64_t) { files.push_back(path); });
    walker.WalkAll(settings, InternetCacheFolder(), places);
    // A file in use fails to delete and stays where it is; a link is refused by the safe routine.
    // Nothing is reported back by design: the program looks at the listed files again afterwards.
    for (const std::wstring& file : files) (void)DeleteFileSafe(file);

    // Only the bin the scan measured. Without a drive the call would empty every drive's bin.
    if (settings.Recycle && !places.RecycleDrive.empty()) {
        const TEmptyRecycleBin emptyBin = state.EmptyBin ? state.EmptyBin : SHEmptyRecycleBinW;
        (void)emptyBin(nullptr, places.RecycleDrive.c_str(), SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
        // What the shell left in the measured bin folder (Wine's shell empties the Unix trash instead).
        if (RecycleBinHoldsItems(places.RecycleDrive)) EmptyRecycleBinFolder(places.RecycleDrive);
    }
}

} // namespace

extern "C" void WINAPI CreateDll(BSTR* text, const wchar_t* iniPath)
{
    (void)text; // left empty
    try {
        std::lock_guard<std::mutex> lock(StateLock);
        State.SettingsFile = iniPath ? iniPath : L"";
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

extern "C" void WINAPI UseStandIns(const wchar_t* windowsFolder, const wchar_t* recycleDrive, TEmptyRecycleBin emptyBin)
{
    try {
        std::lock_guard<std::mutex> lock(StateLock);
        State.WindowsStandIn = windowsFolder ? windowsFolder : L"";
        State.DriveStandIn = recycleDrive ? recycleDrive : L"";
        State.EmptyBin = emptyBin;
    } catch (...) {
    }
}
