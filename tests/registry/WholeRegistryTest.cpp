// Around a repair the whole registry changes by exactly the checked rows, and /restore brings every
// one of them back; also with a real user's registry.
#include "RegistryFixture.h"

#include "app/ConsoleReport.h"
#include "common/SystemFolders.h"
#include "registry/UndoFile.h"

#include <algorithm>
#include <chrono>

namespace {

std::wstring Lower(std::wstring text)
{
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS};
const char* const kRootNames[] = {"HKCR", "HKLM", "HKCU", "HKU"};

class WholeRegistry : public RegistryFixture {
protected:
    // Findings of every check family, in both views where a key has a 32-bit twin, and entries that
    // are fine. With every category on they make kPlantedFindings rows.
    static constexpr int kPlantedFindings = 20;
    void PlantFindings()
    {
        const std::wstring missing = *Files / L"missing.dll";
        SetDefaultText(HKEY_CLASSES_ROOT, L"CLSID\\{W1}\\InprocServer32", missing);
        SetDefaultText(HKEY_CLASSES_ROOT, L"CLSID\\{W2}\\InprocServer32", missing);
        SetRegString(HKEY_CLASSES_ROOT, L"CLSID\\{W2}\\InprocServer32", L"ThreadingModel", L"Apartment");
        SetDefaultText(HKEY_CLASSES_ROOT, L"CLSID\\{W3}\\ProgID", L"");
        SetRegValue(HKEY_CLASSES_ROOT, L"CLSID\\{W3}\\ProgID\\Sub", L"bin", REG_BINARY, {1, 2, 3});
        SetDefaultText(HKEY_CLASSES_ROOT, L"Wow6432Node\\CLSID\\{W4}\\LocalServer32", *Files / L"gone32.exe");
        SetDefaultText(HKEY_CLASSES_ROOT, L"TypeLib\\{L1}\\1.0\\0\\win32", *Files / L"gone.tlb");
        SetDefaultText(HKEY_CLASSES_ROOT, L"TypeLib\\{L1}\\1.0\\HELPDIR", *Files / L"nohelp");
        SetDefaultText(HKEY_CLASSES_ROOT, L"CLSID\\{OK}\\InprocServer32", Files->MakeFile(L"present.dll", 4));
        SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Vendor", L"v", L"1");
        SetRegString(HKEY_USERS, L"S-1-5-18\\Software\\Vendor", L"v", L"1");

        const std::wstring gone = *Files / L"gone.exe";
        const std::wstring present = Files->MakeFile(L"present.exe", 4);
        const std::wstring version = L"Software\\Microsoft\\Windows\\CurrentVersion\\";
        SetDefaultText(HKEY_LOCAL_MACHINE, version + L"App Paths\\gone.exe", gone);
        SetDefaultText(HKEY_LOCAL_MACHINE, version + L"App Paths\\present.exe", present);
        SetRegString(HKEY_LOCAL_MACHINE, version + L"Run", L"Gone", gone);
        SetRegString(HKEY_LOCAL_MACHINE, version + L"Run", L"Empty", L"");
        SetRegString(HKEY_LOCAL_MACHINE, version + L"Run", L"Present", present);
        SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", L"Gone32",
                     *Files / L"gone32.exe");
        SetRegString(HKEY_LOCAL_MACHINE, version + L"Uninstall\\{App}", L"DisplayName", L"App");
        SetRegString(HKEY_LOCAL_MACHINE, version + L"Uninstall\\{App}", L"DisplayIcon", gone + L",0");
        SetRegValue(HKEY_LOCAL_MACHINE, version + L"SharedDlls", *Files / L"gone.dll", REG_DWORD, {1, 0, 0, 0});
        SetRegValue(HKEY_LOCAL_MACHINE, version + L"SharedDlls", present, REG_DWORD, {1, 0, 0, 0});
        CreateRegKey(HKEY_CURRENT_USER, L"Software\\EmptyVendor");
        // Listed by the sound check and by the deep scan, which passes over paths with a hyphen (such as
        // the scratch folder's).
        SetDefaultText(HKEY_CURRENT_USER, L"AppEvents\\Schemes\\Apps\\.Default\\Beep\\.Current",
                       L"C:\\BrisfoldGone\\gone.wav");
        CreateRegKey(HKEY_CLASSES_ROOT, L".brisfoldgone");
        CreateRegKey(HKEY_CURRENT_USER, version + L"Explorer\\FileExts\\.gone");
        CreateRegKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\EmptyClass");
        SetRegString(HKEY_CURRENT_USER, L"Software\\Vendor\\Recent", L"Last", L"C:\\BrisfoldGone\\gone.txt");
        SetRegString(HKEY_CURRENT_USER, L"Software\\Vendor\\Recent", L"First", SystemFolder() + L"\\notepad.exe");
        SetRegValue(HKEY_CURRENT_USER, version + L"Explorer\\StreamMRU", L"a", REG_BINARY, {1, 2});
    }

    std::map<HKEY, RegTree> SnapshotAll() const
    {
        std::map<HKEY, RegTree> trees;
        for (HKEY root : kRoots)
            trees[root] = Snapshot(root);
        return trees;
    }

    std::vector<std::string> AllDifferences(const std::map<HKEY, RegTree>& before,
                                            const std::map<HKEY, RegTree>& after) const
    {
        std::vector<std::string> lines;
        for (size_t i = 0; i < std::size(kRoots); ++i)
            for (const std::string& line : Differences(before.at(kRoots[i]), after.at(kRoots[i])))
                lines.push_back(line.substr(0, 2) + kRootNames[i] + "\\" + line.substr(2));
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    // What deleting the checked rows removes, in the form of Differences: each row's key where it
    // lives, as the snapshot names it (registry names compare without regard to case).
    std::vector<std::string> CheckedRowsRemove(const TScanRegistry& scanner,
                                               const std::map<HKEY, RegTree>& before) const
    {
        std::vector<std::string> lines;
        for (int row = 0; row < List.Count(); ++row) {
            if (!List.Checked(row))
                continue;
            const TRegFinding* finding = scanner.Recorder.RowFinding(List, row);
            if (!finding || !finding->HiveRoot) {
                ADD_FAILURE() << "row " << row << " has no finding with a known place";
                continue;
            }
            const size_t index =
                std::find(std::begin(kRoots), std::end(kRoots), finding->HiveRoot) - std::begin(kRoots);
            const std::string root = kRootNames[index];
            const std::wstring path = Lower(finding->HivePath);
            for (const auto& [key, values] : before.at(finding->HiveRoot).Keys) {
                const std::wstring lower = Lower(key);
                if (finding->Kind == TFindingKind::Value) {
                    if (lower == path && values.count(finding->ValueName))
                        lines.push_back("- " + root + "\\" + Narrow(key) + " : " + Narrow(finding->ValueName));
                } else if (lower == path || lower.rfind(path + L"\\", 0) == 0) {
                    lines.push_back("- " + root + "\\" + Narrow(key));
                }
            }
        }
        std::sort(lines.begin(), lines.end());
        lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
        return lines;
    }

    // Scans, repairs with one row unchecked, compares the registry, restores with /restore and compares
    // again. A negative count: at least the planted findings, whatever else the registry holds.
    void RepairAndRestore(int expectedFindings)
    {
        auto scanner = MakeScanner();
        const int found = RunScan(*scanner);
        if (expectedFindings >= 0)
            ASSERT_EQ(found, expectedFindings);
        else
            ASSERT_GE(found, kPlantedFindings);
        ASSERT_GE(List.Count(), 2);
        List.SetChecked(1, false);
        const auto before = SnapshotAll();
        const std::vector<std::string> expected = CheckedRowsRemove(*scanner, before);
        ASSERT_FALSE(expected.empty());

        RunRepair(*scanner);
        EXPECT_EQ(scanner->LastRepair.Total(), List.Count() - 1);
        EXPECT_TRUE(scanner->LastRepair.AllDone());
        EXPECT_EQ(AllDifferences(before, SnapshotAll()), expected);

        ASSERT_FALSE(scanner->LastUndoFile.empty()) << Narrow(scanner->LastUndoError);
        TConsoleOptions options;
        options.Restore = true;
        options.RestoreFile = scanner->LastUndoFile;
        std::wstring out, err;
        const int code = RunConsoleReport(options, [&](const std::wstring& t) { out += t; },
                                          [&](const std::wstring& t) { err += t; });
        EXPECT_EQ(code, 0) << Narrow(err);
        EXPECT_NE(out.find(L"Restored from " + scanner->LastUndoFile), std::wstring::npos) << Narrow(out);
        EXPECT_EQ(AllDifferences(before, SnapshotAll()), std::vector<std::string>{});
    }
};

std::wstring ExeFolder()
{
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring path(buffer, length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

} // namespace

TEST_F(WholeRegistry, TheDifferenceIsExactlyTheCheckedRows)
{
    PlantFindings();
    WriteRegistryOptions({L"Openscan=1"});
    RepairAndRestore(kPlantedFindings);
}

TEST_F(WholeRegistry, ARealUsersRegistry)
{
    const std::wstring file = ExeFolder() + L"testdata\\real-user-hkcu.reg";
    std::vector<TUndoKey> keys;
    std::wstring error;
    ASSERT_TRUE(ReadUndoFile(file, keys, error)) << Narrow(error);
    EXPECT_GT(keys.size(), 5000u);
    const TRestoreReport imported = RestoreUndoKeys(keys);
    ASSERT_TRUE(imported.Failures.empty()) << Narrow(imported.Failures.front());
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, L"AppEvents\\EventLabels\\.Default"));
    // The values the system's import tool cannot take, as the file's notes describe them.
    SetRegValue(HKEY_CURRENT_USER, L"Software\\Odd", L"odd", REG_SZ, {0x41, 0, 0x42});
    SetRegValue(HKEY_CURRENT_USER, L"Software\\Odd", L"empty", REG_EXPAND_SZ, {});
    PlantFindings();
    WriteRegistryOptions({L"Openscan=1"});
    RepairAndRestore(-1);
}

TEST(RestoreSwitch, CommandLine)
{
    const TConsoleOptions options = ParseCommandLine({L"/restore", L"C:\\a b\\undo.reg"});
    EXPECT_TRUE(options.Restore);
    EXPECT_FALSE(options.Scan);
    EXPECT_EQ(options.RestoreFile, L"C:\\a b\\undo.reg");
    EXPECT_TRUE(ParseCommandLine({L"-RESTORE", L"x"}).Restore);
    EXPECT_TRUE(ParseCommandLine({L"/restore"}).RestoreFile.empty());

    std::wstring out, err;
    auto run = [&](const TConsoleOptions& o) {
        out.clear();
        err.clear();
        return RunConsoleReport(o, [&](const std::wstring& t) { out += t; }, [&](const std::wstring& t) { err += t; });
    };
    EXPECT_EQ(run(ParseCommandLine({L"/restore"})), 2);
    EXPECT_NE(err.find(L"needs the name of an undo file"), std::wstring::npos) << Narrow(err);
    EXPECT_EQ(run(ParseCommandLine({L"/restore", L"C:\\no such folder\\undo.reg"})), 2);
    EXPECT_NE(err.find(L"nothing was restored"), std::wstring::npos) << Narrow(err);
    // Only the summary line, which names the error.
    EXPECT_EQ(out.rfind(L"Brisfold: nothing was restored from C:\\no such folder\\undo.reg: ", 0), 0u) << Narrow(out);
    EXPECT_EQ(out.find(L"\r\n"), out.size() - 2) << Narrow(out);
    EXPECT_EQ(out.substr(out.size() - 12), L"(status 2)\r\n") << Narrow(out);
}

TEST_F(WholeRegistry, ADamagedUndoFileRestoresNothing)
{
    const std::wstring file = *Files / L"damaged.reg";
    const std::wstring text = L"\xFEFFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Good]\r\n"
                              L"\"v\"=\"1\"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Bad]\r\n\"v\"=hex:zz\r\n";
    WriteTextFile(file, std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
    const auto before = SnapshotAll();
    TConsoleOptions options;
    options.Restore = true;
    options.RestoreFile = file;
    std::wstring out, err;
    EXPECT_EQ(RunConsoleReport(options, [&](const std::wstring& t) { out += t; },
                               [&](const std::wstring& t) { err += t; }),
              2);
    EXPECT_NE(err.find(L"line 7"), std::wstring::npos) << Narrow(err);
    EXPECT_EQ(AllDifferences(before, SnapshotAll()), std::vector<std::string>{});
}
