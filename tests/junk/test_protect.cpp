// Protected folders end to end: the scan and the real removal library with the temporary folder
// pointed at scratch stand-ins for a drive root, the documents and the Windows folder.
#include "JunkFixture.h"

#include "junk/FolderGuard.h"
#include "support/ShellFolders.h"

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
