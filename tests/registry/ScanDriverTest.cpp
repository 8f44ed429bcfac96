// The scan driver: category switches, the progress plan, the ignore list and the list it fills.
#include "RegistryFixture.h"

#include "registry/FindingRecorder.h"

namespace {

class ScanDriver : public RegistryFixture {
protected:
    // Class keys that the progress plan counts, none of them a finding.
    void PlantClassKeys(int count)
    {
        for (int i = 0; i < count; ++i)
            CreateRegKey(HKEY_CLASSES_ROOT, L"CLSID\\{K" + std::to_wstring(i) + L"}");
    }
    // One finding: HKEY_CLASSES_ROOT\CLSID\<name>\ProgID, an empty program identifier.
    void PlantFinding(const std::wstring& name)
    {
        SetDefaultText(HKEY_CLASSES_ROOT, L"CLSID\\" + name + L"\\ProgID", L"");
    }
    void AllSwitches(const std::wstring& value)
    {
        std::vector<std::wstring> lines;
        for (const wchar_t* key : kRegistryCategories)
            lines.push_back(std::wstring(key) + L"=" + value);
        WriteRegistryOptions(lines);
    }
};

} // namespace

TEST_F(ScanDriver, EverySwitchOffStepsOnlyTheMargin)
{
    // E = the entries counted + 21; the margin R = E × 0.05 rounded, a half to the even neighbour.
    // The root classes counted are CLSID and the fixture's sentinel.
    const struct {
        int Entries;
        int Margin;
    } cases[] = {{23, 1}, {30, 2}, {49, 2}, {50, 2}, {51, 3}, {60, 3}, {70, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Entries);
        FreshRegistry();
        PlantClassKeys(c.Entries - 23);
        CreateRegKey(HKEY_CLASSES_ROOT, L"CLSID");
        AllSwitches(L"0");
        auto scanner = MakeScanner();
        List.AddItem(L"left over", {L"a", L"b", L"c"}, 0, true);
        BarWatch bar(Progress.Handle());
        EXPECT_EQ(RunScan(*scanner), 0);
        EXPECT_EQ(List.Count(), 0) << "the list is cleared";
        EXPECT_EQ(bar.Steps, 1 + c.Margin);
        const int planned = c.Entries + c.Margin;
        ASSERT_GE(bar.Maxima.size(), 2u);
        EXPECT_EQ(bar.Maxima[bar.Maxima.size() - 2], planned) << "the plan";
        EXPECT_EQ(bar.Maxima.back(), 100) << "then 100 at the end";
        EXPECT_TRUE(ListView_GetExtendedListViewStyle(List.Handle()) & LVS_EX_CHECKBOXES);
    }
}

TEST_F(ScanDriver, ProgressPlanCoversEveryStepOfTheChecks)
{
    PlantClassKeys(30);
    PlantFinding(L"{F1}");
    CreateRegKey(HKEY_CLASSES_ROOT, L"TypeLib\\{T1}");
    SetRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls", L"C:\\a.dll", L"");
    CreateRegKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\.txt");
    auto scanner = MakeScanner();
    EXPECT_EQ(scanner->CountComEntries(), 32);
    EXPECT_EQ(scanner->CountSharedDllValues(), 1);
    EXPECT_EQ(scanner->CountRootClasses(), 3) << "CLSID, TypeLib and the fixture's sentinel";
    EXPECT_EQ(scanner->CountMachineClasses(), 1);
    BarWatch bar(Progress.Handle());
    EXPECT_EQ(RunScan(*scanner), 2) << "all switches at their defaults";
    EXPECT_EQ(RowKeys(), (std::vector<std::wstring>{L"HKEY_CLASSES_ROOT\\CLSID\\{F1}\\ProgID",
                                                    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.txt"}));
    const int steps = 32 + 1 + 3 + 1 + 21;
    const int margin = 3; // 58 × 0.05 = 2.9
    ASSERT_GE(bar.Maxima.size(), 2u);
    EXPECT_EQ(bar.Maxima[bar.Maxima.size() - 2], steps + margin);
    // One step per class and library key, shared DLL value, root class and machine class; one for
    // each of the sixteen checks that step once (the deep scan is off); then the margin and one.
    EXPECT_EQ(bar.Steps, 32 + 1 + 3 + 1 + 16 + margin + 1);
    EXPECT_LE(bar.Steps, steps + margin) << "the bar never runs past its end";
}

TEST_F(ScanDriver, SwitchTextsAreTrimmedAndMustBeOneExactly)
{
    PlantFinding(L"{F1}");
    const struct {
        const wchar_t* Line;
        int Found;
    } cases[] = {{L"Active=1 ", 1}, {L"Active= 1", 1}, {L"Active=01", 0}, {L"Active=", 0},
                 {L"Active=yes", 0}, {L"Active=0", 0},  {L"", 1}}; // absent: the default, on
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.Line));
        // Every other category off.
        std::vector<std::wstring> lines{c.Line};
        for (const wchar_t* key : kRegistryCategories)
            if (std::wstring(key) != L"Active")
                lines.push_back(std::wstring(key) + L"=0");
        WriteRegistryOptions(lines);
        auto scanner = MakeScanner();
        EXPECT_EQ(RunScan(*scanner), c.Found);
        EXPECT_EQ(List.Count(), c.Found);
    }
}

TEST_F(ScanDriver, IgnoreLinesSplitAtTheLastEqualsSign)
{
    OnlyComAndTypeLibraries();
    PlantFinding(L"{F1}");
    PlantFinding(L"{a=b}");
    const std::wstring f1 = L"HKEY_CLASSES_ROOT\\CLSID\\{F1}\\ProgID";
    const std::wstring ab = L"HKEY_CLASSES_ROOT\\CLSID\\{a=b}\\ProgID";
    const struct {
        std::wstring Lines;
        std::vector<std::wstring> Shown;
    } cases[] = {
        {L"", {ab, f1}},
        {f1 + L"=N/A", {ab}},
        {f1 + L"=n/a", {ab, f1}}, // case matters
        {ab + L"=N/A", {f1}},     // the key's own "=" stays in the left part
        {L"x=" + ab + L"=N/A", {ab, f1}},
        {f1 + L"=N/A\r\n" + ab + L"=N/A", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.Lines));
        WriteIgnoreIni(c.Lines);
        auto scanner = MakeScanner();
        EXPECT_EQ(RunScan(*scanner), static_cast<int>(c.Shown.size()));
        std::vector<std::wstring> shown;
        for (int i = 0; i < List.Count(); ++i)
            shown.push_back(List.SubItem(i, 1));
        EXPECT_EQ(shown, c.Shown);
        EXPECT_EQ(scanner->Findings().size(), 2u) << "ignored findings stay in the findings";
        for (int i = 0; i < List.Count(); ++i)
            EXPECT_TRUE(List.Checked(i));
    }
}

TEST_F(ScanDriver, OneIgnoreLineHidesEveryFindingItNames)
{
    TFindingRecorder recorder;
    recorder.Reset();
    const TFindingRecorder::TWhere where{HKEY_CURRENT_USER, 0, L"HKEY_CURRENT_USER\\"};
    recorder.AddKey(where, L"Software\\Foo", L"item", L"", 4, {L"HKEY_CURRENT_USER\\Software\\Foo"});
    recorder.AddKey(where, L"Software\\Foo", L"other item", L"", 5, {L"HKEY_CURRENT_USER\\Software\\Foo"});
    recorder.AddKey(where, L"Software\\Bar", L"item", L"", 4, {L"HKEY_CURRENT_USER\\Software\\Bar"});
    EXPECT_EQ(recorder.FillList(List, {L"HKEY_CURRENT_USER\\Software\\Foo=N/A"}), 2);
    ASSERT_EQ(List.Count(), 1);
    EXPECT_EQ(List.SubItem(0, 1), L"HKEY_CURRENT_USER\\Software\\Bar");
    EXPECT_EQ(recorder.RowFinding(List, 0), &recorder.Findings()[2]);
    // A row that the recorder did not fill names no finding.
    List.AddItem(L"foreign", {L"HKEY_CURRENT_USER\\Software\\Foo", L"N/A", L""}, 4, true);
    EXPECT_EQ(recorder.RowFinding(List, 1), nullptr);
}

TEST_F(ScanDriver, StopEndsTheCheckAtItsNextEntryAndKeepsWhatWasFound)
{
    OnlyComAndTypeLibraries();
    for (int i = 0; i < 5; ++i)
        PlantFinding(L"{F" + std::to_wstring(i) + L"}");
    auto scanner = MakeScanner();
    // Stop while the third class key is looked at: the message pump runs once per key.
    int entries = 0;
    TScanRegistry* target = scanner.get();
    struct Hook {
        static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
        {
            if (m == PBM_STEPIT) {
                auto* state = reinterpret_cast<std::pair<int*, TScanRegistry*>*>(data);
                if (++*state->first == 3)
                    state->second->Stopped = 1;
            }
            return DefSubclassProc(w, m, wp, lp);
        }
    };
    std::pair<int*, TScanRegistry*> state{&entries, target};
    SetWindowSubclass(Progress.Handle(), Hook::Proc, 2, reinterpret_cast<DWORD_PTR>(&state));
    EXPECT_EQ(RunScan(*scanner), 3);
    RemoveWindowSubclass(Progress.Handle(), Hook::Proc, 2);
    EXPECT_EQ(List.Count(), 3);
    EXPECT_EQ(scanner->Stopped, 1) << "the stop stays asked for";
}

TEST_F(ScanDriver, ResetMakesTheBackupFolders)
{
    auto scanner = MakeScanner();
    EXPECT_EQ(scanner->BackupFolder(), AppData + L"\\Kelvor\\Dornique\\Backup\\Registry\\");
    scanner->Stopped = 1;
    scanner->ResetFindings();
    EXPECT_EQ(scanner->Stopped, 0);
    EXPECT_TRUE(PathExists(scanner->BackupFolder()));
}
