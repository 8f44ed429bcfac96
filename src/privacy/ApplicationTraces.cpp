#include "privacy/ApplicationTraces.h"

#include "common/AppFrame.h"
#include "privacy/PrivacyCollectors.h"
#include "privacy/PrivacyItems.h"
#include "privacy/PrivacyPlatform.h"

#include <algorithm>

namespace {

constexpr TApplicationBase kAppData = TApplicationBase::AppData;
constexpr TApplicationBase kDrive = TApplicationBase::Drive;
constexpr const wchar_t* kFirstFolder = nullptr;

TApplicationEntry Folder(TApplicationBase base, const wchar_t* path)
{
    return {TApplicationWork::ListFolder, base, path};
}

TApplicationEntry Tree(TApplicationBase base, const wchar_t* path)
{
    return {TApplicationWork::ListFolderTree, base, path};
}

TApplicationEntry File(TApplicationBase base, const wchar_t* path)
{
    return {TApplicationWork::ListFile, base, path};
}

TApplicationEntry Key(const wchar_t* path)
{
    return {TApplicationWork::CheckKey, TApplicationBase::CurrentUser, path};
}

TApplicationEntry Value(const wchar_t* keyAndValue)
{
    return {TApplicationWork::CheckValue, TApplicationBase::CurrentUser, keyAndValue};
}

// The entries are written exactly as the applications name them, blanks included: the InfoPath
// "Save As\File Name " key ends in one.
const std::vector<TApplicationRow> kApplicationRows = {
    {L"office", kFirstFolder, {
        Folder(kAppData, L"\\Microsoft\\Office\\Recent"),
        Key(L"\\Software\\Microsoft\\Office\\8.0\\Excel\\Recent File List"),
        Key(L"\\Software\\Microsoft\\Office\\8.0\\Project\\Recent File List"),
        Key(L"\\Software\\Microsoft\\Office\\8.0\\PowerPoint\\Recent File List"),
        Key(L"\\Software\\Microsoft\\Office\\8.0\\PowerPoint\\Recent Folder List"),
        Key(L"\\Software\\Microsoft\\Office\\8.0\\Common\\Internet\\LocationOfComponents"),
        Key(L"\\Software\\Microsoft\\Office\\8.0\\Access\\Settings"),
        Key(L"\\Software\\Microsoft\\Office\\10.0\\PowerPoint\\Recent File List"),
        Key(L"\\Software\\Microsoft\\Office\\10.0\\Excel\\Recent Files"),
        Key(L"\\Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\Recent File List"),
        Key(L"\\Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\Recent Page List"),
        Key(L"\\Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\Recent Web List"),
        Key(L"\\Software\\Microsoft\\Office\\10.0\\Word\\Recent Templates"),
        Key(L"\\Software\\Microsoft\\Office\\10.0\\Access\\Settings"),
        Value(L"\\Software\\Microsoft\\Office\\10.0\\Common\\Internet|UseRWHlinkNavigation"),
        Value(L"\\Software\\Microsoft\\Office\\10.0\\Word\\Data|Settings"),
        Key(L"\\Software\\Microsoft\\Office\\11.0\\Excel\\Recent Files"),
        Key(L"\\Software\\Microsoft\\Office\\11.0\\Common\\Open Find\\Microsoft Office Word\\Settings\\Save As\\File Name MRU"),
        Key(L"\\Software\\Microsoft\\Office\\11.0\\PowerPoint\\Recent File List"),
        Key(L"\\Software\\Microsoft\\Office\\11.0\\Publisher\\Recent File List"),
        Key(L"\\Software\\Microsoft\\Office\\11.0\\InfoPath\\Recent File List"),
        Key(L"\\Software\\Microsoft\\Office\\11.0\\Common\\Internet\\Server Cache"),
        Key(L"\\Software\\Microsoft\\MSPaper 11.0\\Persist File Name"),
        Key(L"\\Software\\Microsoft\\MSPaper 11.0\\Recent File List"),
        Value(L"\\Software\\Microsoft\\Office\\11.0\\Common\\Internet|UseRWHlinkNavigation"),
        Value(L"\\Software\\Microsoft\\Office\\11.0\\Word\\Data|Settings"),
        Value(L"\\Software\\Microsoft\\Office\\11.0\\Visio\\Application|LastFile1"),
        Value(L"\\Software\\Microsoft\\Office\\11.0\\Visio\\Application|LastFile2"),
        Value(L"\\Software\\Microsoft\\Office\\11.0\\Visio\\Application|LastFile3"),
        Value(L"\\Software\\Microsoft\\Office\\11.0\\Visio\\Application|LastFile4"),
        Value(L"\\Software\\Microsoft\\Office\\11.0\\Visio\\Application|LastFile5"),
        Value(L"\\Software\\Microsoft\\Office\\11.0\\Visio\\Application|LastFile6"),
        Value(L"\\Software\\Microsoft\\Office\\11.0\\Visio\\Application|LastFile7"),
        Value(L"\\Software\\Microsoft\\Office\\11.0\\Visio\\Application|LastFile8"),
        Value(L"\\Software\\Microsoft\\Office\\11.0\\Outlook\\Contact|QuickFindMRU"),
        Value(L"\\Software\\Microsoft\\Office\\11.0\\Outlook\\Contact|StripSearchMRU"),
        Value(L"\\Software\\Microsoft\\Office\\11.0\\Outlook\\Preferences|LocationMRU"),
        Key(L"\\Software\\Microsoft\\Office\\12.0\\Common\\Open Find\\Microsoft Office Word\\Settings\\Save As\\File Name MRU"),
        Key(L"\\Software\\Microsoft\\Office\\12.0\\Word\\File MRU"),
        Key(L"\\Software\\Microsoft\\Office\\12.0\\Excel\\File MRU"),
        Key(L"\\Software\\Microsoft\\Office\\12.0\\PowerPoint\\File MRU"),
        Key(L"\\Software\\Microsoft\\Office\\12.0\\Common\\Open Find\\Microsoft Office PowerPoint\\Settings\\Save As\\File Name"),
        Key(L"\\Software\\Microsoft\\Office\\12.0\\Common\\Open Find\\Microsoft Office InfoPath\\Settings\\Open\\File Name MRU"),
        Key(L"\\Software\\Microsoft\\Office\\12.0\\Common\\Open Find\\Microsoft Office InfoPath\\Settings\\Save As\\File Name "),
        Key(L"\\Software\\Microsoft\\Office\\12.0\\Common\\Open Find\\Microsoft Office Excel\\Settings\\Save As\\File Name MRU"),
        Key(L"\\Software\\Microsoft\\Office\\12.0\\Common\\Open Find\\Microsoft Office Publisher\\Settings\\Save As\\File Name"),
        Key(L"\\Software\\Microsoft\\Office\\12.0\\Publisher\\Recent File List"),
        Key(L"\\Software\\Microsoft\\Office\\12.0\\InfoPath\\Recent File List"),
        Value(L"\\Software\\Microsoft\\Office\\12.0\\Access\\Settings|MRU1"),
        Value(L"\\Software\\Microsoft\\Office\\12.0\\Access\\Settings|MRU2"),
        Value(L"\\Software\\Microsoft\\Office\\12.0\\Access\\Settings|MRU3"),
        Value(L"\\Software\\Microsoft\\Office\\12.0\\Access\\Settings|MRU4"),
        Value(L"\\Software\\Microsoft\\Office\\12.0\\Access\\Settings|MRU5"),
        Value(L"\\Software\\Microsoft\\Office\\12.0\\Access\\Settings|MRU6"),
        Value(L"\\Software\\Microsoft\\Office\\12.0\\Access\\Settings|MRU7"),
        Value(L"\\Software\\Microsoft\\Office\\12.0\\Access\\Settings|MRU8"),
    }},
    {L"vb", L"Visual Basic", {
        Key(L"\\Software\\Microsoft\\Visual Basic\\5.0\\RecentFiles"),
        Key(L"\\Software\\Microsoft\\Visual Basic\\6.0\\RecentFiles"),
    }},
    {L"delphi", L"Delphi", {
        Key(L"\\Software\\Borland\\Delphi\\5.0\\Closed Files"),
        Key(L"\\Software\\Borland\\Delphi\\5.0\\Closed Projects"),
        Key(L"\\Software\\Borland\\Delphi\\6.0\\Closed Files"),
        Key(L"\\Software\\Borland\\Delphi\\6.0\\Closed Projects"),
        Key(L"\\Software\\Borland\\Delphi\\7.0\\Closed Files"),
        Key(L"\\Software\\Borland\\Delphi\\7.0\\Closed Projects"),
    }},
    {L"reader", L"Acrobat Reader", {
        Tree(kAppData, L"\\Adobe\\Acrobat\\8.0\\Cache"),
        Key(L"\\Software\\Adobe\\Acrobat Reader\\5.0\\AVGeneral\\cRecentFiles"),
        Key(L"\\Software\\Adobe\\Acrobat Reader\\6.0\\AVGeneral\\cRecentFiles"),
        Key(L"\\Software\\Adobe\\Acrobat Reader\\7.0\\AVGeneral\\cRecentFiles"),
        Key(L"\\Software\\Adobe\\Acrobat Reader\\8.0\\AVGeneral\\cRecentFiles"),
    }},
    {L"photoshop", L"Photoshop", {
        Key(L"\\Software\\Adobe\\Photoshop\\6.0\\VisitedDirs"),
        Key(L"\\Software\\Adobe\\Photoshop\\7.0\\VisitedDirs"),
        Key(L"\\Software\\Adobe\\Photoshop\\8.0\\VisitedDirs"),
        Key(L"\\Software\\Adobe\\MediaBrowser\\MRU\\Photoshop\\FileList"),
    }},
    {L"flash", L"Flash", {
        Tree(kAppData, L"\\Macromedia\\Flash Player"),
        Key(L"\\Software\\Macromedia\\Flash 4\\Recent File List"),
        Key(L"\\Software\\Macromedia\\Flash 5\\Recent File List"),
        Key(L"\\Software\\Macromedia\\Flash 6\\Recent File List"),
        Key(L"\\Software\\Macromedia\\Flash 7\\Recent File List"),
        Key(L"\\Software\\Macromedia\\Flash 8\\Recent File List"),
    }},
    {L"media", L"MediaPlayer", {
        Key(L"\\Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList"),
        Key(L"\\Software\\Microsoft\\MediaPlayer\\Player\\RecentURLList"),
    }},
    {L"real", kFirstFolder, {
        Folder(kAppData, L"\\Real\\RealPlayer\\History"),
        Folder(kAppData, L"\\Real\\RealOne Player\\History"),
        File(kAppData, L"\\Real\\RealOne Player\\cookies.txt"),
        File(kAppData, L"\\Real\\RealOne Player\\ctd.dat"),
        File(kAppData, L"\\Real\\RealOne Player\\realplayer.ste"),
        File(kAppData, L"\\Real\\RealPlayer\\cookies.txt"),
        File(kAppData, L"\\Real\\RealPlayer\\ctd.dat"),
        File(kAppData, L"\\Real\\RealPlayer\\realplayer.ste"),
        File(kDrive, L"\\Program Files\\Common Files\\Real\\Update_OB\\RealPlayer-log.txt"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentClips1"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentClips2"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentClips3"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentClips4"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentClips5"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentClips6"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentClips7"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentClips8"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentSkins1"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentSkins2"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentSkins3"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentSkins4"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentSkins5"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentSkins6"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentSkins7"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\MostRecentSkins8"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\LastOpenFileDir"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\OpenLocationClips1"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\OpenLocationClips2"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\OpenLocationClips3"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\OpenLocationClips4"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\OpenLocationClips5"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\OpenLocationClips6"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\OpenLocationClips7"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\8.0\\Preferences\\MostRecentClips1"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\8.0\\Preferences\\MostRecentClips2"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\8.0\\Preferences\\MostRecentClips3"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\8.0\\Preferences\\MostRecentClips4"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\8.0\\Preferences\\MostRecentClips5"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\8.0\\Preferences\\MostRecentClips6"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\8.0\\Preferences\\MostRecentClips7"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\8.0\\Preferences\\MostRecentClips8"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\8.0\\Preferences\\LastOpenFileDir"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\ResumePlayback"),
        Key(L"\\Software\\RealNetworks\\RealPlayer\\8.0\\Preferences\\ResumePlayback"),
    }},
    {L"quicktime", L"QuickTime", {
        Key(L"\\Software\\Apple Computer, Inc.\\QuickTime\\Recent Movies"),
    }},
    {L"getright", L"GetRight", {
        Key(L"\\Software\\Headlight\\GetRight\\MRU"),
        Key(L"\\Software\\Headlight\\GetRight\\TypedURLS"),
        Key(L"\\Software\\Headlight\\GetRight\\Recent File List"),
    }},
    {L"plus", L"Download Accelerator", {
        Folder(kDrive, L"\\Program Files\\DAP\\Temp"),
        Folder(kDrive, L"\\Program Files\\DAP\\Log"),
        Key(L"\\SOFTWARE\\SpeedBit\\Download Accelerator\\FileList"),
        Key(L"\\Software\\SpeedBit\\Download Accelerator\\HistoryCombo"),
        Key(L"\\Software\\SpeedBit\\Download Accelerator\\ADS\\SecondMedia"),
    }},
    {L"morpheus", L"Morpheus", {
        Key(L"\\Software\\Morpheus\\Morpheus\\Recent File List"),
    }},
    {L"sun", L"Sun Java", {
        Tree(kAppData, L"\\Sun\\Java\\Deployment\\cache\\6.0"),
    }},
    {L"google", L"Google Toolbar", {
        Tree(kAppData, L"\\Google\\Local Search History"),
    }},
    {L"winrar", L"WinRAR", {
        Key(L"\\Software\\WinRAR\\ArcHistory"),
        Key(L"\\Software\\WinRAR\\DialogEditHistory\\Arcname"),
        Key(L"\\Software\\WinRAR\\DialogEditHistory\\ExtrPath"),
        Value(L"\\Software\\WinRAR\\General|LastFolder"),
    }},
    {L"winzip", L"WinZip", {
        Key(L"\\Software\\Nico Mak Computing\\WinZip\\filemenu"),
        Key(L"\\Software\\Nico Mak Computing\\WinZip\\extract"),
        Key(L"\\Software\\Nico Mak Computing\\WinZip\\rrs\\Opened"),
        Value(L"\\Software\\Nico Mak Computing\\WinZip\\directories|DefDir"),
        Value(L"\\Software\\Nico Mak Computing\\WinZip\\directories|ExtractTo"),
        Value(L"\\Software\\Nico Mak Computing\\WinZip\\directories|gzAddDir"),
        Value(L"\\Software\\Nico Mak Computing\\WinZip\\directories|zDefDir"),
        Value(L"\\Software\\Nico Mak Computing\\WinZip\\directories|AddDir"),
        Value(L"\\Software\\Nico Mak Computing\\WinZip\\directories|gzExtractTo"),
    }},
    {L"7zip", L"7-ZIP", {
        Key(L"\\SOFTWARE\\7-ZIP\\Compression\\ArcHistory"),
        Key(L"\\SOFTWARE\\7-ZIP\\Extraction\\PathHistory"),
        Value(L"\\Software\\7-Zip\\FM|CopyHistory"),
        Value(L"\\Software\\7-Zip\\FM|FolderHistory"),
        Value(L"\\Software\\7-Zip\\FM|PanelPath0"),
    }},
};

// The places the folder and file entries are built on, computed for every call.
struct TApplicationPlaces {
    std::wstring AppData;
    std::wstring Drive;

    // Empty when its base is unknown: an entry is never taken relative to the current drive.
    std::wstring Location(const TApplicationEntry& entry) const
    {
        const std::wstring& base = Base(entry);
        return base.empty() ? std::wstring() : base + entry.Path;
    }
    // The folder the entry lies below: links below it are refused.
    const std::wstring& Base(const TApplicationEntry& entry) const { return entry.Base == kAppData ? AppData : Drive; }
};

std::wstring RowSubject(const TApplicationRow& row, const TApplicationPlaces& places)
{
    if (row.Subject)
        return row.Subject;
    const auto folder = std::find_if(row.Entries.begin(), row.Entries.end(), [](const TApplicationEntry& entry) {
        return entry.Base != TApplicationBase::CurrentUser;
    });
    return folder == row.Entries.end() ? std::wstring() : places.Location(*folder).substr(0, kSubjectLength);
}

void Collect(TPrivacyCollector& collect, const TApplicationEntry& entry, const TApplicationPlaces& places)
{
    const std::wstring location = places.Location(entry);
    switch (entry.Work) {
    case TApplicationWork::ListFolder: collect.ListFolder(location, TWalkRoot::Other, places.Base(entry)); break;
    case TApplicationWork::ListFolderTree: collect.ListFolderTree(location, TWalkRoot::Other, places.Base(entry)); break;
    case TApplicationWork::ListFile: collect.ListFile(location, TWalkRoot::Other, places.Base(entry)); break;
    case TApplicationWork::CheckKey: collect.CheckKey(entry.Path); break;
    case TApplicationWork::CheckValue: collect.CheckValue(entry.Path); break;
    }
}

} // namespace

const std::vector<TApplicationRow>& ApplicationRows()
{
    return kApplicationRows;
}

std::vector<std::wstring> ApplicationDriveFolders(const std::wstring& windowsFolder)
{
    const std::wstring drive = WindowsDrive(windowsFolder);
    std::vector<std::wstring> folders;
    if (drive.empty())
        return folders;
    for (const TApplicationRow& row : kApplicationRows)
        for (const TApplicationEntry& entry : row.Entries) {
            if (entry.Base != kDrive)
                continue;
            const std::wstring path = drive + entry.Path;
            folders.push_back(entry.Work == TApplicationWork::ListFile ? path.substr(0, path.find_last_of(L'\\')) : path);
        }
    return folders;
}

std::wstring WindowsDrive(const std::wstring& windowsFolder)
{
    const std::wstring drive = windowsFolder.substr(0, windowsFolder.find(L'\\'));
    if (drive.size() != 2 || drive[1] != L':')
        return {};
    const wchar_t letter = drive[0];
    return (letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z') ? drive : std::wstring();
}

void ScanApplication(TCategoryContext& context, const std::wstring& key)
{
    if (context.Collect.Stopped())
        return;
    const TApplicationPlaces places{context.Folders.AppDataFolder, WindowsDrive(context.Platform.WindowsFolder())};
    const auto row = std::find_if(kApplicationRows.begin(), kApplicationRows.end(),
                                  [&](const TApplicationRow& candidate) { return key == candidate.Key; });
    if (row == kApplicationRows.end())
        return;
    context.ShowSubject(RowSubject(*row, places));
    for (const TApplicationEntry& entry : row->Entries) {
        if (context.Collect.Stopped())
            return;
        Collect(context.Collect, entry, places);
    }
}
