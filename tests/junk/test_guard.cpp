// The folder guard of the junk walks: the rule as a table over scratch stand-ins for the protected
// folders, and the system's own protected folders on this machine.
#include "common/AppFrame.h"
#include "common/Paths.h"
#include "common/SystemFolders.h"
#include "junk/FolderGuard.h"
#include "junk/JunkWalk.h"
#include "support/ScratchFolder.h"
#include "support/UnixLinks.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace {

const char* VerdictName(TFolderVerdict verdict)
{
    switch (verdict) {
    case TFolderVerdict::Walk: return "walk";
    case TFolderVerdict::Root: return "root";
    case TFolderVerdict::HoldsProtected: return "holds";
    case TFolderVerdict::InsideProtected: return "inside";
    case TFolderVerdict::Unresolved: return "unresolved";
    case TFolderVerdict::Redirected: return "redirected";
    }
    return "?";
}

std::wstring ShortPath(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return length && length < MAX_PATH ? std::wstring(buffer) : std::wstring();
}

std::wstring Upper(std::wstring text)
{
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

} // namespace

TEST(JunkFolderGuard, DriveAndShareRoots)
{
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"C:", true},
        {L"C:\\", true},
        {L"c:\\\\", true},
        {L"C:/", true},
        {L"\\", true},
        {L"\\\\server\\share", true},
        {L"\\\\server\\share\\", true},
        {L"\\\\server", true},
        {L"\\\\?\\C:\\", true},
        {L"\\\\.\\C:", true},
        {L"\\\\?\\UNC\\server\\share\\", true},
        {L"C:\\Temp", false},
        {L"\\\\server\\share\\Temp", false},
        {L"\\\\?\\C:\\Temp", false},
        {L"\\\\?\\UNC\\server\\share\\Temp", false},
        {L"Temp", false},
        {L"", false},
    };
    for (const auto& [path, root] : cases)
        EXPECT_EQ(IsDriveOrShareRoot(path), root) << testing::PrintToString(std::wstring(path));
}

TEST(JunkFolderGuard, FolderForDisplay)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Temp\\", L"C:\\Temp"},
        {L"C:\\Temp\\\\", L"C:\\Temp"},
        {L"C:\\", L"C:\\"},
        {L"C:", L"C:\\"},
        {L"\\\\server\\share\\", L"\\\\server\\share"},
        {L"C:\\Temp", L"C:\\Temp"},
    };
    for (const auto& [given, shown] : cases)
        EXPECT_EQ(FolderForDisplay(given), shown) << testing::PrintToString(std::wstring(given));
}

class JunkFolderGuardTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* folder : {L"Drive\\sub", L"Sys\\WindowsFolder\\System32", L"Sys\\WindowsFolder\\Fonts",
                                      L"Sys\\WindowsFolder\\Temp\\sub", L"Sys\\WindowsFolder\\Temp\\Mine\\x",
                                      L"Program Files Folder\\App\\cache", L"Profile\\Local\\Temp",
                                      L"Profile\\Documents Folder\\Letters", L"Elsewhere"})
            Root.MakeFolder(folder);
        Folders.Roots = {Root / L"Drive"};
        Folders.Kept = {Root / L"Sys\\WindowsFolder\\System32", Root / L"Profile", Root / L"Profile\\Local"};
        Folders.Sealed = {Root / L"Sys\\WindowsFolder", Root / L"Program Files Folder",
                          Root / L"Profile\\Documents Folder"};
        Folders.Open = {Root / L"Sys\\WindowsFolder\\Temp"};
    }

    struct Case {
        std::wstring Folder;
        TFolderVerdict Verdict;
        std::wstring Protected; // empty for none
    };

    void Expect(const TFolderGuard& guard, const std::vector<Case>& cases)
    {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::PrintToString(c.Folder));
            ASSERT_FALSE(c.Folder.empty()) << "a stand-in's short or linked name could not be made";
            const TFolderCheck check = guard.Check(c.Folder);
            EXPECT_STREQ(VerdictName(check.Verdict), VerdictName(c.Verdict));
            EXPECT_EQ(check.Protected, c.Protected);
            EXPECT_EQ(check.Folder, c.Folder);
        }
    }

    ScratchFolder Root{L"guard"};
    TProtectedFolders Folders;
};

TEST_F(JunkFolderGuardTable, RefusesRootsProtectedFoldersAndWhatHoldsThem)
{
    using V = TFolderVerdict;
    const std::wstring windows = Root / L"Sys\\WindowsFolder";
    const std::wstring documents = Root / L"Profile\\Documents Folder";
    const TFolderGuard guard(Folders);
    Expect(guard, {
        {L"C:\\", V::Root, L""},
        {L"\\\\server\\share\\", V::Root, L""},
        {Root / L"Drive", V::Root, L""},
        {Root / L"Drive\\", V::Root, L""},
        {Root / L"Sys\\..\\Drive", V::Root, L""},
        {Root / L"Drive\\sub", V::Walk, L""},
        {windows, V::HoldsProtected, Root / L"Sys\\WindowsFolder"},
        {windows + L"\\", V::HoldsProtected, Root / L"Sys\\WindowsFolder"},
        {Upper(windows), V::HoldsProtected, Root / L"Sys\\WindowsFolder"},
        {Root / L"Sys", V::HoldsProtected, Root / L"Sys\\WindowsFolder"},
        {Root.Path(), V::HoldsProtected, Root / L"Sys\\WindowsFolder"},
        {windows + L"\\System32", V::HoldsProtected, Root / L"Sys\\WindowsFolder\\System32"},
        {windows + L"\\Temp\\..", V::HoldsProtected, Root / L"Sys\\WindowsFolder"},
        {windows + L"\\Fonts", V::InsideProtected, Root / L"Sys\\WindowsFolder"},
        {windows + L"\\Temp\\..\\Fonts", V::InsideProtected, Root / L"Sys\\WindowsFolder"},
        {windows + L"\\Temp", V::Walk, L""},
        {windows + L"\\TEMP\\", V::Walk, L""},
        {windows + L"\\Temp\\sub", V::Walk, L""},
        {Root / L"Program Files Folder\\App\\cache", V::InsideProtected, Root / L"Program Files Folder"},
        {Root / L"Profile", V::HoldsProtected, Root / L"Profile\\Documents Folder"},
        {Root / L"Profile\\Local", V::HoldsProtected, Root / L"Profile\\Local"},
        {Root / L"Profile\\Local\\Temp", V::Walk, L""},
        {documents + L"\\Letters", V::InsideProtected, Root / L"Profile\\Documents Folder"},
        {documents + L"\\Letters\\..\\..\\Local\\Temp", V::Walk, L""},
        {Root / L"Elsewhere", V::Walk, L""},
    });
}

TEST_F(JunkFolderGuardTable, OpenFolderExemptsFromItsOwnSealedFolderOnly)
{
    using V = TFolderVerdict;
    // A document folder that a user put inside the Windows folder's temp.
    const std::wstring temp = Root / L"Sys\\WindowsFolder\\Temp";
    Folders.Sealed.push_back(temp + L"\\Mine");
    Expect(TFolderGuard(Folders), {
        {temp, V::HoldsProtected, temp + L"\\Mine"},
        {temp + L"\\Mine\\x", V::InsideProtected, temp + L"\\Mine"},
        {temp + L"\\sub", V::Walk, L""},
    });
}

TEST_F(JunkFolderGuardTable, ShortNamesDoNotSlipThrough)
{
    using V = TFolderVerdict;
    const std::wstring windows = ShortPath(Root / L"Sys\\WindowsFolder");
    const std::wstring letters = ShortPath(Root / L"Profile\\Documents Folder\\Letters");
    ASSERT_NE(windows, Root / L"Sys\\WindowsFolder") << "no short name differs from the long one";
    const TFolderGuard guard(Folders);
    Expect(guard, {
        {windows, V::HoldsProtected, Root / L"Sys\\WindowsFolder"},
        {windows + L"\\Fonts", V::InsideProtected, Root / L"Sys\\WindowsFolder"},
        {windows + L"\\Temp", V::Walk, L""},
        {letters, V::InsideProtected, Root / L"Profile\\Documents Folder"},
        {ShortPath(Root / L"Drive"), V::Root, L""},
    });
    // Protected folders listed by their short names protect just the same.
    TProtectedFolders shortFolders = Folders;
    shortFolders.Sealed = {windows};
    Expect(TFolderGuard(shortFolders), {
        {Root / L"Sys\\WindowsFolder\\Fonts", V::InsideProtected, windows},
    });
}

TEST_F(JunkFolderGuardTable, LinksAreJudgedByWhereTheyLead)
{
    using V = TFolderVerdict;
    if (!RunningUnderWine()) GTEST_SKIP() << "links are made through Wine";
    const std::wstring link = Root / L"Elsewhere\\windows-link";
    ASSERT_TRUE(MakeUnixSymlink(Root / L"Sys\\WindowsFolder", link));
    const TFolderGuard guard(Folders);
    Expect(guard, {
        {link, V::HoldsProtected, Root / L"Sys\\WindowsFolder"},
        {link + L"\\Fonts", V::InsideProtected, Root / L"Sys\\WindowsFolder"},
        {link + L"\\Temp", V::Walk, L""},
    });
    RemoveUnixLink(link);
}

// The device of a drive letter as the system names it ("\Device\HarddiskVolume1" for "C:").
std::wstring DeviceOf(wchar_t letter)
{
    const wchar_t drive[] = {letter, L':', 0};
    wchar_t target[1024] = {};
    return QueryDosDeviceW(drive, target, 1024) ? std::wstring(target) : std::wstring();
}

TEST_F(JunkFolderGuardTable, EveryFormOfAFolderIsJudgedAsThatFolder)
{
    using V = TFolderVerdict;
    const std::wstring windows = Root / L"Sys\\WindowsFolder";
    const std::wstring documents = Root / L"Profile\\Documents Folder";
    const std::wstring device = DeviceOf(windows[0]);
    ASSERT_FALSE(device.empty());
    const std::wstring afterDrive = windows.substr(2); // "\BrisfoldTest-...\Sys\WindowsFolder"
    const std::wstring server = L"\\\\server\\share";
    const TFolderGuard guard(Folders);
    Expect(guard, {
        {L"\\??\\" + windows, V::HoldsProtected, windows},
        {L"\\??\\" + windows + L"\\Fonts", V::InsideProtected, windows},
        {L"\\\\?\\" + windows, V::HoldsProtected, windows},
        {L"\\\\.\\" + windows + L"\\Fonts", V::InsideProtected, windows},
        {L"\\??\\" + documents + L"\\Letters", V::InsideProtected, documents},
        {L"\\DosDevices\\" + windows, V::HoldsProtected, windows},
        {L"\\GLOBAL??\\" + documents, V::HoldsProtected, documents},
        // The device forms are judged by the drive letter the system maps to that device.
        {L"\\\\?\\GLOBALROOT" + device + afterDrive, V::HoldsProtected, windows},
        {L"\\\\?\\GLOBALROOT" + device + afterDrive + L"\\Fonts", V::InsideProtected, windows},
        {L"\\\\?\\GLOBALROOT\\??\\" + windows, V::HoldsProtected, windows},
        {device + afterDrive + L"\\Fonts", V::InsideProtected, windows},
        {L"\\\\?\\GLOBALROOT" + device + L"\\", V::Root, L""},
        // A folder's stream is the folder itself.
        {windows + L"::$INDEX_ALLOCATION", V::HoldsProtected, windows},
        {windows + L":$I30:$INDEX_ALLOCATION", V::HoldsProtected, windows},
        {windows + L"\\Fonts::$INDEX_ALLOCATION", V::InsideProtected, windows},
        {documents + L"::$INDEX_ALLOCATION\\Letters", V::InsideProtected, documents},
        // Trailing dots and blanks of a name are dropped when the system opens it.
        {windows + L".", V::HoldsProtected, windows},
        {windows + L". . ", V::HoldsProtected, windows},
        {windows + L"..\\Fonts", V::InsideProtected, windows},
        {documents + L" \\Letters", V::InsideProtected, documents},
        {windows + L"/Fonts/", V::InsideProtected, windows},
        {windows + L"\\\\Fonts", V::InsideProtected, windows},
        {L"\\\\?\\UNC\\server\\share\\", V::Root, L""},
        {L"\\??\\UNC\\server\\share", V::Root, L""},
        {server + L"\\.", V::Root, L""},
        {server + L"\\x\\..", V::Root, L""},
        {L"\\\\?\\" + windows.substr(0, 2), V::Root, L""},
        {windows + L"\\Temp::$INDEX_ALLOCATION", V::Walk, L""},
        {L"\\??\\" + windows + L"\\Temp", V::Walk, L""},
    });
}

TEST_F(JunkFolderGuardTable, WhatCannotBeResolvedToAPlainFullPathIsRefused)
{
    using V = TFolderVerdict;
    const std::wstring windows = Root / L"Sys\\WindowsFolder";
    const std::wstring unixWindows = WineUnixDevicePath(windows);
    if (!RunningUnderWine()) GTEST_SKIP() << "Wine's device form of Unix paths";
    const TFolderGuard guard(Folders);
    Expect(guard, {
        {L"Sys\\WindowsFolder", V::Unresolved, L""},
        {L"Fonts", V::Unresolved, L""},
        {L"..\\Fonts", V::Unresolved, L""},
        {windows.substr(0, 2) + windows.substr(3), V::Unresolved, L""}, // "C:BrisfoldTest-...": drive-relative
        {windows.substr(2), V::Unresolved, L""},                           // "\BrisfoldTest-...": root-relative
        {unixWindows, V::Unresolved, L""},
        {L"\\\\.\\pipe\\brisfold", V::Unresolved, L""},
        {L"\\\\?\\GLOBALROOT\\Device\\BrisfoldNoSuchDevice\\Windows", V::Unresolved, L""},
        {L"\\\\?\\Volume{00000000-0000-0000-0000-0000000000ff}\\Windows", V::Unresolved, L""},
        {L"\\\\?\\\\\\?\\" + windows, V::Unresolved, L""},
        {windows + L"\\...", V::Unresolved, L""},
        {windows + L"\\. .\\Fonts", V::Unresolved, L""},
        {windows + L"\\Font*", V::Unresolved, L""},
        {windows + L"\\Fonts?", V::Unresolved, L""},
        {L"\\SystemRoot\\Fonts", V::Unresolved, L""},
    });
}

TEST_F(JunkFolderGuardTable, TheCurrentDirectoryDecidesNothing)
{
    using V = TFolderVerdict;
    const std::wstring windows = Root / L"Sys\\WindowsFolder";
    // Read against the current directory, "\\??\\C:\\..." would be a folder below it, and "Fonts" the
    // current directory's own folder of that name.
    const std::wstring elsewhere = Root / L"Elsewhere";
    Root.MakeFolder(L"Elsewhere\\Fonts");
    wchar_t saved[MAX_PATH] = {};
    ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, saved), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(elsewhere.c_str()));
    const TFolderGuard guard(Folders);
    const TFolderCheck nt = guard.Check(L"\\??\\" + windows);
    const TFolderCheck relative = guard.Check(L"Fonts");
    const TFolderCheck plain = guard.Check(windows + L"\\Temp\\.\\sub\\");
    SetCurrentDirectoryW(saved);
    EXPECT_STREQ(VerdictName(nt.Verdict), VerdictName(V::HoldsProtected));
    EXPECT_STREQ(VerdictName(relative.Verdict), VerdictName(V::Unresolved));
    EXPECT_STREQ(VerdictName(plain.Verdict), VerdictName(V::Walk));
    EXPECT_EQ(plain.Plain, windows + L"\\Temp\\sub") << "what the walk lists is what was judged";
}

TEST_F(JunkFolderGuardTable, AFolderLetThroughIsWalkedInItsLongForm)
{
    const std::wstring temp = Root / L"Sys\\WindowsFolder\\Temp\\sub";
    const std::wstring shortTemp = ShortPath(temp);
    ASSERT_FALSE(shortTemp.empty());
    ASSERT_NE(shortTemp, temp);
    const TFolderGuard guard(Folders);
    for (const std::wstring& form : {shortTemp, L"\\??\\" + shortTemp + L"\\", L"\\\\?\\" + temp + L"::$INDEX_ALLOCATION"}) {
        const TFolderCheck check = guard.Check(form);
        EXPECT_STREQ(VerdictName(check.Verdict), "walk") << testing::PrintToString(form);
        EXPECT_EQ(check.Plain, temp) << testing::PrintToString(form);
    }
}

// A documents folder set to the profile seals the application data inside it: the folders scanners
// walk on purpose still pass where they lie inside an application-data folder, nothing else does.
TEST_F(JunkFolderGuardTable, NamedRootsPassOnlyInsideTheApplicationDataFolders)
{
    using V = TFolderVerdict;
    const std::wstring profile = Root / L"Profile";
    const std::wstring local = Root / L"Profile\\Local";
    Root.MakeFolder(L"Profile\\Local\\Microsoft\\History");
    Root.MakeFolder(L"Profile\\Letters");
    Folders.Sealed.push_back(profile);
    Folders.Homes = {local};
    const TFolderGuard guard(Folders);
    const struct {
        std::wstring Folder;
        TWalkRoot Kind;
        TFolderVerdict Verdict;
        std::wstring Protected;
    } cases[] = {
        {local + L"\\Temp", TWalkRoot::Named, V::Walk, L""},
        {local + L"\\Microsoft\\History", TWalkRoot::Named, V::Walk, L""},
        {L"\\??\\" + local + L"\\Temp", TWalkRoot::Named, V::Walk, L""},
        {local + L"\\Temp", TWalkRoot::Other, V::InsideProtected, profile},
        {profile + L"\\Letters", TWalkRoot::Named, V::InsideProtected, profile},
        {local, TWalkRoot::Named, V::HoldsProtected, local},
        {profile, TWalkRoot::Named, V::HoldsProtected, Root / L"Profile\\Documents Folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Folder));
        const TFolderCheck check = guard.Check(c.Folder, c.Kind);
        EXPECT_STREQ(VerdictName(check.Verdict), VerdictName(c.Verdict));
        EXPECT_EQ(check.Protected, c.Protected);
    }
    // An application-data folder that is the sealed folder itself opens nothing.
    Folders.Homes = {profile};
    EXPECT_STREQ(VerdictName(TFolderGuard(Folders).Check(profile + L"\\Letters", TWalkRoot::Named).Verdict),
                 VerdictName(V::InsideProtected));
}

// The system's own protected folders, without stand-ins: what must be refused on this machine is,
// and the real temporary and cache folders are still walked.
TEST(JunkFolderGuardOnThisMachine, RefusesTheSystemAndWalksTheJunkFolders)
{
    const TAppFrame frame;
    const TFolderGuard guard(ProtectedFolders(SystemJunkPlaces()));
    const std::wstring profile = frame.GetSpecialFolder(CSIDL_PROFILE);
    const std::wstring programFiles = frame.GetSpecialFolder(CSIDL_PROGRAM_FILES);
    ASSERT_FALSE(profile.empty());
    ASSERT_FALSE(programFiles.empty());
    const std::wstring refused[] = {
        SystemDriveRoot(),
        WindowsFolder(),
        SystemFolder(),
        WindowsFolder() + L"\\Fonts",
        programFiles,
        programFiles + L"\\Common Files",
        frame.GetSpecialFolder(CSIDL_COMMON_APPDATA),
        profile,
        profile.substr(0, profile.find_last_of(L'\\')),
        frame.GetSpecialFolder(CSIDL_APPDATA),
        frame.GetSpecialFolder(CSIDL_LOCAL_APPDATA),
        frame.GetSpecialFolder(CSIDL_PERSONAL),
        frame.GetSpecialFolder(CSIDL_PERSONAL) + L"\\Letters",
        frame.GetSpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Temp",
        frame.GetSpecialFolder(CSIDL_FAVORITES) + L"\\Links",
    };
    for (const std::wstring& folder : refused) {
        ASSERT_FALSE(folder.empty());
        const TFolderCheck check = guard.Check(folder);
        EXPECT_NE(check.Verdict, TFolderVerdict::Walk) << testing::PrintToString(folder);
    }
    const std::wstring walked[] = {TempFolder(), frame.GetSpecialFolder(CSIDL_INTERNET_CACHE), WindowsFolder() + L"\\temp"};
    for (const std::wstring& folder : walked) {
        ASSERT_FALSE(folder.empty());
        const TFolderCheck check = guard.Check(folder);
        EXPECT_STREQ(VerdictName(check.Verdict), "walk")
            << testing::PrintToString(folder) << " protected " << testing::PrintToString(check.Protected);
    }
}

TEST_F(JunkFolderGuardTable, ExactFoldersPassByTheirOwnNameAndRefusedOnesNever)
{
    using V = TFolderVerdict;
    const std::wstring windows = Root / L"Sys\\WindowsFolder";
    const std::wstring download = Root.MakeFolder(L"Sys\\WindowsFolder\\SoftwareDistribution\\Download\\sub");
    const std::wstring distribution = Root / L"Sys\\WindowsFolder\\SoftwareDistribution";
    const std::wstring exact = distribution + L"\\Download";
    const std::wstring store = Root.MakeFolder(L"Sys\\WindowsFolder\\SoftwareDistribution\\DataStore\\Logs");
    const std::wstring dataStore = distribution + L"\\DataStore";
    const std::wstring old = Root.MakeFolder(L"Elsewhere\\Windows.old\\Users");
    Folders.Exact = {exact, dataStore};
    Folders.Refused = {dataStore, Root / L"Elsewhere\\Windows.old"};
    const TFolderGuard guard(Folders);
    struct Case {
        std::wstring Folder;
        TWalkRoot Kind;
        TFolderVerdict Verdict;
        std::wstring Protected;
    };
    const std::vector<Case> cases = {
        {exact, TWalkRoot::Exact, V::Walk, L""},
        {exact + L"\\", TWalkRoot::Exact, V::Walk, L""},
        {Upper(exact), TWalkRoot::Exact, V::Walk, L""},
        // Only the folder itself passes by name, and only when it is walked as one.
        {download, TWalkRoot::Exact, V::InsideProtected, windows},
        {exact, TWalkRoot::Named, V::InsideProtected, windows},
        {exact, TWalkRoot::Other, V::InsideProtected, windows},
        // What holds a refused folder, the folder and what lies inside it, whatever lets it through.
        {distribution, TWalkRoot::Exact, V::HoldsProtected, windows + L"\\SoftwareDistribution\\DataStore"},
        {dataStore, TWalkRoot::Exact, V::HoldsProtected, dataStore},
        {store, TWalkRoot::Exact, V::InsideProtected, dataStore},
        {old, TWalkRoot::Named, V::InsideProtected, Root / L"Elsewhere\\Windows.old"},
        {Root / L"Elsewhere", TWalkRoot::Other, V::HoldsProtected, Root / L"Elsewhere\\Windows.old"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Folder) + " as " + std::to_string(static_cast<int>(c.Kind)));
        const TFolderCheck check = guard.Check(c.Folder, c.Kind);
        EXPECT_STREQ(VerdictName(check.Verdict), VerdictName(c.Verdict));
        EXPECT_EQ(check.Protected, c.Protected);
    }
}

TEST_F(JunkFolderGuardTable, AnExactFolderThatALinkLeadsElsewhereIsRedirected)
{
    if (!RunningUnderWine()) GTEST_SKIP() << "links are made with /bin/ln";
    const std::wstring exact = Root / L"Sys\\WindowsFolder\\Minidump";
    ASSERT_TRUE(MakeUnixSymlink(Root / L"Elsewhere", exact));
    Folders.Exact = {exact};
    const TFolderCheck check = TFolderGuard(Folders).Check(exact, TWalkRoot::Exact);
    EXPECT_STREQ(VerdictName(check.Verdict), VerdictName(TFolderVerdict::Redirected));
    EXPECT_EQ(check.Protected, Root / L"Elsewhere");
    const TRefusalTexts texts{L"", L"", L"", L"", L"%s leads to %s"};
    EXPECT_EQ(RefusalLine(texts, check), exact + L" leads to " + (Root / L"Elsewhere"));
    RemoveUnixLink(exact);
}
