// Ravenwick.dll: removes the junk files that the scanner lists, with the switches, folders and rules
// of the settings file handed to CreateDll, and empties the recycle bin. It shows nothing, and no
// error or exception leaves it: the program never hears of its failures.
#include "common/SafeDelete.h"
#include "junk/JunkWalk.h"

#include <windows.h>
#include <oleauto.h>
#include <shellapi.h>

#include <mutex>
#include <string>
#include <vector>

namespace {

std::mutex SettingsLock;
std::wstring SettingsFile;

std::wstring TakeSettingsFile()
{
    std::lock_guard<std::mutex> lock(SettingsLock);
    return SettingsFile;
}

void RemoveJunk(const std::wstring& settingsFile)
{
    const TJunkSettings settings = ReadJunkSettings(settingsFile);
    const TStopFlag never{0};

    // The whole list first, then the deletions: the walks never see a folder change under them.
    std::vector<std::wstring> files;
    TJunkWalker walker(NetworkUserTag(), settings.RemoveDay, never,
                       [&files](TJunkArea, const std::wstring& path, int64_t) { files.push_back(path); });
    if (settings.IECache) walker.WalkCache(InternetCacheFolder());
    if (settings.TempFile) {
        for (const std::wstring& folder : TemporaryFolders()) walker.WalkTemp(folder);
    }
    // A file in use fails to delete and stays where it is; a link is refused by the safe routine.
    // Nothing is reported back by design: the program looks at the listed files again afterwards.
    for (const std::wstring& file : files) (void)DeleteFileSafe(file);

    if (settings.Recycle)
        SHEmptyRecycleBinW(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
}

} // namespace

// text: a string variable of the caller that may receive a text (left empty here);
// iniPath: the full path of the settings file whose "Junk File Removal" section rules the removal.
extern "C" void WINAPI CreateDll(BSTR* text, const wchar_t* iniPath)
{
    try {
        std::lock_guard<std::mutex> lock(SettingsLock);
        SettingsFile = iniPath ? iniPath : L"";
    } catch (...) {
    }
}

// The start routine of the removal thread; its argument is always null.
extern "C" DWORD WINAPI RepairTFile(void*)
{
    try {
        const std::wstring settingsFile = TakeSettingsFile();
        // Without the settings file of CreateDll there is no way to know what the user asked for.
        if (!settingsFile.empty()) RemoveJunk(settingsFile);
    } catch (...) {
    }
    return 0;
}
