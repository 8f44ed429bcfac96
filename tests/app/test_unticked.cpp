// What the user unticks in any list of the details window stays, whichever scanner would remove it: the
// same entry, one inside it, or one that holds it; and a privacy category unticked after the scan.
#include "AppFixture.h"

#include "privacy/PrivacyScanner.h"
#include "registry/RegistryScan.h"
#include "spyware/SpywareScan.h"
#include "support/ShellFolders.h"

namespace {

class UntickedEntries : public AppFixture {};

const wchar_t kVisited[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedMRU";
const wchar_t kStreams[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StreamMRU";

// The row of list whose text in column equals text (and whose value column equals value, when given).
int RowOf(const TListView& list, int column, const std::wstring& text, const wchar_t* value = nullptr)
{
    for (int row = 0; row < list.Count(); ++row)
        if (list.SubItem(row, column) == text && (!value || list.SubItem(row, 2) == value))
            return row;
    return -1;
}

std::vector<std::wstring> KeptTexts(const TRepairReport& report, const std::wstring& list)
{
    std::vector<std::wstring> texts;
    for (const TRepairReport::TItem& item : report.Kept()) {
        EXPECT_EQ(item.List, list) << testing::PrintToString(item.Text);
        texts.push_back(item.Text);
    }
    return texts;
}

TEST_F(UntickedEntries, NoListRemovesWhatAnotherListKeeps)
{
    // Both file-dialog histories are listed value by value by the registry row; the spyware definition
    // names the whole first key and one value of the second.
    SetRegString(HKEY_CURRENT_USER, kVisited, L"a", L"C:\\kept.txt");
    SetRegString(HKEY_CURRENT_USER, kVisited, L"b", L"C:\\gone.txt");
    SetRegString(HKEY_CURRENT_USER, kStreams, L"c", L"C:\\stream.txt");
    const std::string visited(std::begin(kVisited), std::end(kVisited) - 1);
    const std::string streams(std::begin(kStreams), std::end(kStreams) - 1);
    WriteDefinitionEntries("HKEY_CURRENT_USER\\" + visited + "=\r\nHKEY_CURRENT_USER\\" + streams + "|c=\r\n");
    StartProgram();
    ScanNow();
    // Only scratch keys are at stake.
    ASSERT_FALSE(Registry.BackingPath(HKEY_CURRENT_USER).empty());

    TListView& spy = Details->SpyListView;
    TListView& reg = Details->RegListView;
    const std::wstring visitedText = L"HKEY_CURRENT_USER\\" + std::wstring(kVisited);
    const std::wstring streamsText = L"HKEY_CURRENT_USER\\" + std::wstring(kStreams);
    const int spyKey = RowOf(spy, 3, visitedText);
    const int spyValue = RowOf(spy, 3, streamsText + L"|c");
    const int regA = RowOf(reg, 1, visitedText, L"a");
    const int regB = RowOf(reg, 1, visitedText, L"b");
    const int regC = RowOf(reg, 1, streamsText, L"c");
    ASSERT_TRUE(spyKey >= 0 && spyValue >= 0) << testing::PrintToString(spy.SubItem(0, 3));
    ASSERT_TRUE(regA >= 0 && regB >= 0 && regC >= 0) << reg.Count();
    // The user keeps value a in the registry list and the spyware row of value c.
    reg.SetChecked(regA, false);
    spy.SetChecked(spyValue, false);

    Form->TntButton3Click();

    // The spyware key holds the kept value a: it stays, and so does a. The registry row of c is the
    // entry the spyware list keeps. The ticked value b goes.
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, kVisited, L"a"));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kVisited, L"b"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, kStreams, L"c"));
    EXPECT_EQ(KeptTexts(Form->Run.SpyScanner->LastRepair, L"Registry Fix"),
              std::vector<std::wstring>{visitedText});
    EXPECT_EQ(KeptTexts(Form->Run.RegScanner->LastRepair, L"Spyware Removal"),
              std::vector<std::wstring>{streamsText + L", value \"c\""});
    EXPECT_EQ(Form->Run.RegScanner->LastRepair.Count(TOutcome::Removed), 1);
    // Keeping what the user chose is no failure: both rows read as repaired.
    EXPECT_EQ(Form->LP1.Caption(), Lng(L"Message", 4));
    EXPECT_EQ(Form->LP2.Caption(), Lng(L"Message", 4));
}

TEST_F(UntickedEntries, APrivacyCategoryUntickedAfterTheScanIsNotErased)
{
    const std::wstring recent = Folder / L"Recent";
    const std::wstring shortcut = Folder.MakeFile(L"Recent\\letter.lnk", 100);
    const wchar_t runMru[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
    SetRegString(HKEY_CURRENT_USER, runMru, L"a", L"notepad\\1");
    WriteDefinitions(0);
    StartProgram();
    TCheckTree& tree = Details->RzCheckTree1;
    const int recentNode = 17, runNode = 18; // "Recent Document" and the Run history, both ticked by default
    ASSERT_EQ(tree.State(recentNode), TCheckState::Checked);
    ASSERT_EQ(tree.State(runNode), TCheckState::Checked);
    ScanNow();
    // The privacy row repairs only the scratch folder's files.
    ASSERT_EQ(Form->Run.FolderInfo->GetUserFolder(kUserRecent), recent);
    const auto& items = Form->Run.PrivScanner->Findings.Items();
    ASSERT_TRUE(std::any_of(items.begin(), items.end(), [&](const TPrivacyItem& item) { return item.File == shortcut; }));

    tree.SetChecked(recentNode, false);
    Form->TntButton3Click();

    EXPECT_TRUE(PathExists(shortcut));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, runMru, L"a"));
    const std::vector<std::wstring> kept = KeptTexts(Form->Run.PrivScanner->LastRepair, L"Privacy Sweep");
    EXPECT_NE(std::find(kept.begin(), kept.end(), shortcut), kept.end()) << testing::PrintToString(kept);
}

} // namespace
