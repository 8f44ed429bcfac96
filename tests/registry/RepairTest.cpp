// Repair: what each checked row deletes, what it refuses, its pacing and its report.
#include "RegistryFixture.h"

#include "common/Kelvor_Routine.h"

#include <algorithm>
#include <chrono>
#include <numeric>

namespace {

const std::wstring kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class Repair : public RegistryFixture {
protected:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        OnlyComAndTypeLibraries();
        Missing = *Files / L"missing.dll";
    }
    // CLSID\<name>\ProgID with an empty default: a key finding.
    void EmptyProgId(const std::wstring& name)
    {
        SetDefaultText(HKEY_CLASSES_ROOT, L"CLSID\\" + name + L"\\ProgID", L"");
    }
    // CLSID\<name>\InprocServer32 naming a missing file, with a second value: a finding of the default value.
    void MissingServerWithModel(const std::wstring& name)
    {
        SetDefaultText(HKEY_CLASSES_ROOT, L"CLSID\\" + name + L"\\InprocServer32", Missing);
        SetRegString(HKEY_CLASSES_ROOT, L"CLSID\\" + name + L"\\InprocServer32", L"ThreadingModel", L"Both");
    }
    // Shows the recorder's findings as a scan would, all checked.
    void ShowFindings(TScanRegistry& scanner)
    {
        List.Clear();
        scanner.Recorder.FillList(List, {});
        List.SetAllChecked(true);
    }
    std::wstring Missing;
};

const TFindingRecorder::TWhere kUser{HKEY_CURRENT_USER, 0, L"HKEY_CURRENT_USER\\"};
const TFindingRecorder::TWhere kMachine{HKEY_LOCAL_MACHINE, 0, L"HKEY_LOCAL_MACHINE\\"};

} // namespace

TEST_F(Repair, DeletesWhatTheFindingNamesWhateverTheRowsTextsSay)
{
    EmptyProgId(L"{K1}");
    MissingServerWithModel(L"{V1}");
    auto scanner = MakeScanner();
    ASSERT_EQ(RunScan(*scanner), 2);
    const int keyRow = RowOfKey(L"HKEY_CLASSES_ROOT\\CLSID\\{K1}\\ProgID");
    const int valueRow = RowOfKey(L"HKEY_CLASSES_ROOT\\CLSID\\{V1}\\InprocServer32");
    ASSERT_GE(keyRow, 0);
    ASSERT_GE(valueRow, 0);
    // Texts that a parser of the row would read the other way round.
    List.SetSubItem(keyRow, 2, L"Value");
    List.SetSubItem(keyRow, 1, L"HKEY_BOGUS");
    List.SetSubItem(valueRow, 2, L"  N/A  ");

    RunRepair(*scanner);
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{K1}\\ProgID")) << "the key finding deletes the key";
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{K1}"));
    // The default value only: the key and its other value stay.
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{V1}\\InprocServer32"));
    EXPECT_FALSE(RegValueExists(HKEY_CLASSES_ROOT, L"CLSID\\{V1}\\InprocServer32", L""));
    EXPECT_TRUE(RegValueExists(HKEY_CLASSES_ROOT, L"CLSID\\{V1}\\InprocServer32", L"ThreadingModel"));
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Removed), 2);
    EXPECT_TRUE(scanner->LastRepair.AllDone());
    EXPECT_EQ(Status.Caption(), L"Repairing");
    EXPECT_EQ(Progress.Max(), 100);
}

TEST_F(Repair, AValueNamedLikeTheWholeKeyMarkerDeletesOnlyThatValue)
{
    SetRegString(HKEY_LOCAL_MACHINE, kRun, L"N/A", L"C:\\gone.exe");
    SetRegString(HKEY_LOCAL_MACHINE, kRun, L"Other", L"C:\\other.exe");
    auto scanner = MakeScanner();
    scanner->Recorder.Reset();
    scanner->Recorder.AddValue(kMachine, kRun, L"N/A", L"Text 16", L"C:\\gone.exe", 5, {L"HKEY_LOCAL_MACHINE\\" + kRun});
    ShowFindings(*scanner);
    ASSERT_EQ(List.SubItem(0, 2), L"N/A");
    RunRepair(*scanner);
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, kRun, L"N/A"));
    EXPECT_TRUE(RegValueExists(HKEY_LOCAL_MACHINE, kRun, L"Other"));
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Removed), 1);
}

TEST_F(Repair, UncheckedRowsAreNotTouchedAndEveryCheckedRowIsReported)
{
    for (const wchar_t* name : {L"{A}", L"{B}", L"{C}"})
        EmptyProgId(name);
    auto scanner = MakeScanner();
    ASSERT_EQ(RunScan(*scanner), 3);
    List.SetChecked(1, false);
    RunRepair(*scanner);
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{A}\\ProgID"));
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{B}\\ProgID"));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{C}\\ProgID"));
    EXPECT_EQ(scanner->LastRepair.Total(), 2);
    EXPECT_TRUE(scanner->LastRepair.Ran);
    // A key deleted since the scan is already gone.
    ASSERT_EQ(RunScan(*scanner), 1);
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CLASSES_ROOT, L"CLSID\\{B}\\ProgID"));
    RunRepair(*scanner);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::AlreadyGone), 1);
    EXPECT_TRUE(scanner->LastRepair.AllDone());
}

TEST_F(Repair, PacingAndProgress)
{
    const struct {
        int Rows;
        std::vector<int> RowPositions;
    } cases[] = {{1, {}}, {3, {0, 50, 100}}, {250, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Rows);
        for (int i = 0; i < c.Rows; ++i)
            EmptyProgId(L"{P" + std::to_wstring(i) + L"}");
        auto scanner = MakeScanner();
        std::vector<DWORD> pauses;
        scanner->Pause = [&](DWORD ms) { pauses.push_back(ms); };
        ASSERT_EQ(RunScan(*scanner), c.Rows);
        BarWatch bar(Progress.Handle());
        RunRepair(*scanner);
        // Ten opening pauses sharing the second with one 10 ms pause per position the rows move the bar
        // to: at most 101 of them however many rows there are.
        const size_t rowSteps = static_cast<size_t>(std::min(c.Rows, 101));
        const DWORD share = kPacingBudgetMs / static_cast<DWORD>(10 + rowSteps);
        std::vector<DWORD> expected(10, std::min<DWORD>(150, share));
        expected.insert(expected.end(), rowSteps, std::min<DWORD>(10, share));
        EXPECT_EQ(pauses, expected);
        EXPECT_LE(std::accumulate(pauses.begin(), pauses.end(), DWORD{0}), kPacingBudgetMs);
        // Position 0, ten opening steps of 10, then each position the rows reach unless there is only one.
        EXPECT_EQ(bar.Positions.front(), 0);
        if (c.Rows == 250) {
            ASSERT_EQ(bar.Positions.size(), 11u + 101u);
            EXPECT_EQ(bar.Positions.back(), 100);
        } else {
            ASSERT_EQ(bar.Positions.size(), 11 + c.RowPositions.size());
            EXPECT_EQ(std::vector<int>(bar.Positions.begin() + 11, bar.Positions.end()), c.RowPositions);
        }
        EXPECT_EQ(bar.Maxima.back(), 100);
        EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Removed), c.Rows);
        FreshRegistry();
    }
}

TEST_F(Repair, RealPacingTakesTheOpeningAnimation)
{
    EmptyProgId(L"{R1}");
    auto scanner = MakeScanner();
    scanner->Pause = SystemPause();
    ASSERT_EQ(RunScan(*scanner), 1);
    const auto start = std::chrono::steady_clock::now();
    RunRepair(*scanner);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_GE(elapsed.count(), 900 - 16) << "ten opening pauses of 90 ms";
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{R1}\\ProgID"));
}

TEST_F(Repair, RowsThroughRegistryLinksAreRefused)
{
    SetRegString(HKEY_CURRENT_USER, L"Software\\Target\\Child", L"v", L"1");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Holder\\Plain", L"v", L"1");
    Registry->MakeCurrentUserLink(L"Software\\Link", L"Software\\Target");
    Registry->MakeCurrentUserLink(L"Software\\Holder\\Inner", L"Software\\Target");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Free", L"v", L"1");

    auto scanner = MakeScanner();
    scanner->Recorder.Reset();
    const std::wstring user = L"HKEY_CURRENT_USER\\";
    scanner->Recorder.AddKey(kUser, L"Software\\Link", L"is a link", L"", 4, {user + L"Software\\Link"});
    scanner->Recorder.AddKey(kUser, L"Software\\Link\\Child", L"below one", L"", 4, {user + L"Software\\Link\\Child"});
    scanner->Recorder.AddValue(kUser, L"Software\\Link\\Child", L"v", L"value below one", L"", 4,
                               {user + L"Software\\Link\\Child"});
    scanner->Recorder.AddKey(kUser, L"Software\\Holder", L"holds one", L"", 4, {user + L"Software\\Holder"});
    scanner->Recorder.AddKey(kUser, L"Software\\Free", L"no link", L"", 4, {user + L"Software\\Free"});
    ShowFindings(*scanner);
    RunRepair(*scanner);

    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Refused), 4);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Removed), 1);
    EXPECT_FALSE(scanner->LastRepair.AllDone());
    ASSERT_EQ(scanner->LastRepair.Left().size(), 4u);
    EXPECT_EQ(scanner->LastRepair.Left()[0].Text, L"HKEY_CURRENT_USER\\Software\\Link");
    EXPECT_EQ(scanner->LastRepair.Left()[2].Text, L"HKEY_CURRENT_USER\\Software\\Link\\Child, value \"v\"");
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\Target\\Child", L"v"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\Holder\\Plain"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\Free"));
}

TEST_F(Repair, AFailedDeletionIsReportedAndTheOtherRowsGoOn)
{
    // Wine enforces no registry rights: the refusal of the system is injected.
    for (const wchar_t* name : {L"{A}", L"{B}", L"{C}"})
        EmptyProgId(name);
    auto scanner = MakeScanner();
    scanner->Hooks.Remove = [](const TRegFinding& finding) {
        return finding.KeyPath == L"CLSID\\{B}\\ProgID" ? TOutcome::Failed : TScanRegistry::RemoveFinding(finding);
    };
    ASSERT_EQ(RunScan(*scanner), 3);
    RunRepair(*scanner);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Failed), 1);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Removed), 2);
    ASSERT_EQ(scanner->LastRepair.Left().size(), 1u);
    EXPECT_EQ(scanner->LastRepair.Left()[0].Text, L"HKEY_CLASSES_ROOT\\CLSID\\{B}\\ProgID");
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{C}\\ProgID"));
}

TEST_F(Repair, NothingIsDeletedWhenTheUndoFileCannotBeWritten)
{
    EmptyProgId(L"{A}");
    MissingServerWithModel(L"{B}");
    auto scanner = MakeScanner();
    ASSERT_EQ(RunScan(*scanner), 2);
    // A file where the undo folder belongs.
    std::wstring folder = scanner->BackupFolder();
    folder.pop_back();
    ASSERT_TRUE(RemoveDirectoryW(folder.c_str()));
    WriteTextFile(folder, "in the way");
    RunRepair(*scanner);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Failed), 2);
    EXPECT_TRUE(scanner->LastUndoFile.empty());
    EXPECT_NE(scanner->LastUndoError.find(L"could not be created"), std::wstring::npos)
        << Narrow(scanner->LastUndoError);
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{A}\\ProgID"));
    EXPECT_TRUE(RegValueExists(HKEY_CLASSES_ROOT, L"CLSID\\{B}\\InprocServer32", L""));
}

TEST_F(Repair, RowsWhoseNamesTheUndoFileCannotHoldAreRefused)
{
    EmptyProgId(L"{A}");
    EmptyProgId(L"{B}");
    SetRegString(HKEY_CLASSES_ROOT, L"CLSID\\{A}\\ProgID", L"line\nbreak", L"x");
    auto scanner = MakeScanner();
    ASSERT_EQ(RunScan(*scanner), 2);
    RunRepair(*scanner);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Refused), 1);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Removed), 1);
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{A}\\ProgID"));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{B}\\ProgID"));
}

TEST_F(Repair, ARowOfNoScanIsRefused)
{
    EmptyProgId(L"{A}");
    auto scanner = MakeScanner();
    ASSERT_EQ(RunScan(*scanner), 1);
    List.AddItem(L"foreign", {L"HKEY_CLASSES_ROOT\\CLSID\\{A}", L"N/A", L""}, 4, true);
    RunRepair(*scanner);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Refused), 1);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Removed), 1);
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{A}"));
}

TEST_F(Repair, BackupLinesGoToTheCallerOnlyWhenEnabled)
{
    EmptyProgId(L"{A}");
    auto scanner = MakeScanner();
    ASSERT_EQ(RunScan(*scanner), 1);
    const TWideStrings lines = scanner->BackupLines();
    RunRepair(*scanner);
    EXPECT_TRUE(RepairLog.empty());
    EmptyProgId(L"{A}");
    ASSERT_EQ(RunScan(*scanner), 1);
    scanner->BackupEnabled = 1;
    RunRepair(*scanner);
    EXPECT_EQ(RepairLog, lines);
    EXPECT_EQ(RepairLog, (TWideStrings{L"[HKEY_CLASSES_ROOT\\CLSID\\{A}\\ProgID]"}));
}
