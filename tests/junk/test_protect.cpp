// Protected folders end to end: the scan and the real removal library with the temporary folder
// pointed at scratch stand-ins for a drive root, the documents and the Windows folder.
#include "JunkFixture.h"

#include "junk/FolderGuard.h"
#include "junk/JunkWalk.h"
#include "support/ShellFolders.h"
#include "support/UnixLinks.h"

#include <gtest/gtest.h>

TEST_F(JunkTest, ProtectedFoldersSurviveScanAndRemoval)
{
    WriteSettings({{L"IE Cache", L"0"}, {L"Recycle", L"0"}});
    const std::wstring documents = Root.MakeFolder(L"Documents");
    SetUserShellFolder(L"Personal", documents);
    const std::wstring letters = Root.MakeFolder(L"Documents\\Letters");
    const std::wstring fonts = Root.MakeFolder(L"WindowsFolder\\Fonts");
    // Old enough for any "RemoveDay" the age rule would take.
    const std::vector<std::wstring> sentinels = {
        Root.MakeFile(L"Drive\\old.tmp", 10, 30),
        Root.MakeFile(L"Drive\\Folder\\older.tmp", 10, 30),
        Root.MakeFile(L"Documents\\letter.txt", 10, 30),
        Root.MakeFile(L"Documents\\Letters\\old.doc", 10, 30),
        Root.MakeFile(L"WindowsFolder\\system.ini", 10, 30),
        Root.MakeFile(L"WindowsFolder\\Fonts\\old.fon", 10, 30),
    };
    const std::wstring drive = FolderForDisplay(Drive);
    struct Case {
        std::wstring Temp;
        std::wstring Line;
    };
    const std::vector<Case> cases = {
        {Drive, L"Skipped " + drive + L": root."},
        {documents, L"Skipped " + documents + L": holds " + documents + L"."},
        {letters, L"Skipped " + letters + L": inside " + documents + L"."},
        {Windows, L"Skipped " + Windows + L": holds " + Windows + L"."},
        {fonts, L"Skipped " + fonts + L": inside " + Windows + L"."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Temp));
        SetEnvironmentVariableW(L"TMP", c.Temp.c_str());
        SetEnvironmentVariableW(L"TEMP", c.Temp.c_str());
        // The Windows folder's temp is walked on purpose, also when the Windows folder is refused.
        const std::wstring junk = Root.MakeFile(L"WindowsFolder\\temp\\setup.log", 10, 30);

        auto thread = RunScan();
        EXPECT_EQ(Memo.Line(4), L"");
        EXPECT_EQ(Listed(), (std::vector<std::wstring>{c.Line, junk}));
        EXPECT_EQ(thread->JunkCount, 1);

        RepairAndWait(*thread);
        EXPECT_FALSE(PathExists(junk));
        for (const std::wstring& file : sentinels) EXPECT_TRUE(PathExists(file)) << testing::PrintToString(file);
    }
}

TEST_F(JunkTest, CacheFolderIsGuardedToo)
{
    WriteSettings({{L"Recycle", L"0"}});
    SetUserShellFolder(L"Cache", Root.MakeFolder(L"WindowsFolder\\Cache"));
    Root.MakeFile(L"WindowsFolder\\Cache\\a.htm", 10);
    SetEnvironmentVariableW(L"TMP", Drive.c_str());
    SetEnvironmentVariableW(L"TEMP", Drive.c_str());
    TWideStrings texts = Texts();
    texts[5] = L"Drive %s left alone";
    texts[7] = L"%s is in %s";
    RunScan(texts);
    const std::wstring drive = FolderForDisplay(Drive);
    // The cache walk comes first, then the temporary walks.
    EXPECT_EQ(Listed(), (std::vector<std::wstring>{Windows + L"\\Cache is in " + Windows, L"Drive " + drive + L" left alone"}));
}

TEST_F(JunkTest, RemovalEmptiesOnlyTheBinThatWasMeasured)
{
    for (const wchar_t* recycle : {L"1", L"0"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(recycle)));
        RemoveTree(Root / L"Drive");
        Root.MakeFile(Bin + L"\\$R1.txt", 3000);
        WriteSettings({{L"IE Cache", L"0"}, {L"TempFile", L"0"}, {L"Recycle", recycle}});
        const size_t before = EmptiedBins().size();

        auto thread = RunScan();
        RepairAndWait(*thread);
        const std::vector<std::wstring> calls = EmptiedBins();
        const std::vector<std::wstring> made(calls.begin() + static_cast<std::ptrdiff_t>(before), calls.end());
        if (recycle == std::wstring(L"1")) {
            EXPECT_EQ(thread->RecycleBytes, 3000);
            // The drive the scan measured, never null (which would empty every drive's bin).
            EXPECT_EQ(made, std::vector<std::wstring>{Drive});
            EXPECT_EQ(thread->LastRepair.Count(TOutcome::Removed), 1);
            EXPECT_TRUE(thread->LastRepair.AllDone());
        } else {
            EXPECT_TRUE(made.empty()) << made.size() << " calls";
            EXPECT_EQ(thread->LastRepair.Total(), 0);
        }
    }
}

// The cache folder set to the documents or the Windows folder in a form the system opens as that
// folder: the cache walk would list everything there, whatever its age. (The forms Wine's shell does
// not hand on, stream suffixes and device names, are judged in the guard's own tests.)
TEST_F(JunkTest, CacheFolderInAnyFormOfAProtectedFolderIsRefused)
{
    WriteSettings({{L"TempFile", L"0"}, {L"Recycle", L"0"}});
    const std::wstring documents = Root.MakeFolder(L"Documents");
    SetUserShellFolder(L"Personal", documents);
    const std::vector<std::wstring> sentinels = {
        Root.MakeFile(L"Documents\\letter.txt", 10),
        Root.MakeFile(L"Documents\\Letters\\old.doc", 10),
        Root.MakeFile(L"WindowsFolder\\system.ini", 10),
        Root.MakeFile(L"WindowsFolder\\Fonts\\old.fon", 10),
    };
    struct Case {
        std::wstring Cache;
        std::wstring Line;
    };
    const std::wstring nt = L"\\??\\" + documents;
    const std::wstring letters = L"\\\\?\\" + documents + L"\\Letters";
    const std::wstring windows = L"\\\\.\\" + Windows + L"\\";
    const std::wstring fonts = L"\\??\\" + Windows + L"\\Fonts";
    const std::wstring dotted = Windows + L"\\Fonts. ";
    const std::vector<Case> cases = {
        {nt, L"Skipped " + nt + L": holds " + documents + L"."},
        {letters, L"Skipped " + letters + L": inside " + documents + L"."},
        {windows, L"Skipped " + FolderForDisplay(windows) + L": holds " + Windows + L"."},
        {fonts, L"Skipped " + fonts + L": inside " + Windows + L"."},
        {dotted, L"Skipped " + dotted + L": inside " + Windows + L"."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Cache));
        SetUserShellFolder(L"Cache", c.Cache);
        ASSERT_EQ(InternetCacheFolder(), c.Cache) << "the shell hands the cache folder on as written";
        auto thread = RunScan();
        EXPECT_EQ(Listed(), std::vector<std::wstring>{c.Line});
        EXPECT_EQ(thread->JunkCount, 0);
        // The removal library walks with the same guard: two repairs show it (each takes its paced seconds).
        if (c.Cache == nt || c.Cache == windows)
            RepairAndWait(*thread);
        for (const std::wstring& file : sentinels) EXPECT_TRUE(PathExists(file)) << testing::PrintToString(file);
    }

    // A form that names no drive path is refused as such; only scanned, as no test repairs outside
    // the forms that its confinement check can read.
    if (!RunningUnderWine()) return;
    const std::wstring unixForm = WineUnixDevicePath(documents);
    SetUserShellFolder(L"Cache", unixForm);
    ASSERT_TRUE(PathExists(unixForm + L"\\letter.txt")) << "Wine opens the device form";
    auto thread = RunScan();
    EXPECT_EQ(Listed(), std::vector<std::wstring>{L"Skipped " + unixForm + L": unresolved."});
    EXPECT_EQ(thread->JunkCount, 0);
}

// The user's data folders that a temporary folder must never be, and the Public folders.
TEST_F(JunkTest, DataAndPublicFoldersSurviveScanAndRemoval)
{
    WriteSettings({{L"IE Cache", L"0"}, {L"Recycle", L"0"}});
    const struct {
        const wchar_t* Value; // in the user's or the machine's "User Shell Folders"
        bool Machine;
        const wchar_t* Folder;
    } folders[] = {
        {L"{4C5C32FF-BB9D-43B0-B5B4-2D72E54EAAA4}", false, L"Saved Games"},
        {L"{56784854-C6CB-462B-8169-88E350ACB882}", false, L"Contacts"},
        {L"{BFB9D5E0-C6A9-404C-B2B2-AE6DB6AF4968}", false, L"Links"},
        {L"{7D1D3A04-DEBB-4115-95CF-2F29DA2920DA}", false, L"Searches"},
        {L"OneDrive", false, L"OneDrive"},
        {L"Public", true, L"Public"},
        {L"Common Documents", true, L"Public\\Documents"},
        {L"Common Desktop", true, L"Public\\Desktop"},
    };
    std::vector<std::wstring> sentinels;
    for (const auto& f : folders) {
        const std::wstring folder = Root.MakeFolder(f.Folder);
        if (f.Machine)
            SetCommonShellFolder(f.Value, folder);
        else
            SetUserShellFolder(f.Value, folder);
        sentinels.push_back(Root.MakeFile(std::wstring(f.Folder) + L"\\kept.txt", 10, 30));
        sentinels.push_back(Root.MakeFile(std::wstring(f.Folder) + L"\\Sub\\kept.txt", 10, 30));
    }
    const std::wstring junk = Root.MakeFile(L"WindowsFolder\\temp\\setup.log", 10, 30);
    for (const auto& f : folders) {
        for (const std::wstring& temp : {Root / f.Folder, Root / f.Folder + L"\\Sub"}) {
            SCOPED_TRACE(testing::PrintToString(temp));
            SetEnvironmentVariableW(L"TMP", temp.c_str());
            SetEnvironmentVariableW(L"TEMP", temp.c_str());
            auto thread = RunScan();
            const std::vector<std::wstring> listed = Listed();
            ASSERT_EQ(listed.size(), 2u);
            EXPECT_EQ(listed[0].rfind(L"Skipped " + temp + L": ", 0), 0u) << testing::PrintToString(listed[0]);
            EXPECT_EQ(listed[1], junk);
            EXPECT_EQ(thread->JunkCount, 1);
            // The removal library walks with the same guard: one repair of each kind of folder shows it
            // (a repair takes its paced seconds).
            if (temp == Root / L"Saved Games" || temp == Root / L"Public\\Documents\\Sub") {
                RepairAndWait(*thread);
                EXPECT_FALSE(PathExists(junk));
                Root.MakeFile(L"WindowsFolder\\temp\\setup.log", 10, 30);
            }
            for (const std::wstring& file : sentinels) EXPECT_TRUE(PathExists(file)) << testing::PrintToString(file);
        }
    }
}
