// History lists: every entry of the file-dialog and open/save histories is listed.
#include "RegistryFixture.h"

namespace {

const std::wstring kExplorer = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
const std::wstring kUser = L"HKEY_CURRENT_USER\\";

class HistoryChecks : public RegistryFixture {
protected:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        OnlyCategories({L"History"});
    }
};

} // namespace

TEST_F(HistoryChecks, EveryValueOfTheFileDialogListsWithTheBackupLineOfItsType)
{
    const std::wstring visited = kExplorer + L"ComDlg32\\LastVisitedMRU";
    std::vector<BYTE> bytes(27);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<BYTE>(i);
    SetRegValue(HKEY_CURRENT_USER, visited, L"a", REG_BINARY, bytes);
    SetRegString(HKEY_CURRENT_USER, visited, L"b", L"C:\\Work\\report.doc");
    SetRegString(HKEY_CURRENT_USER, visited, L"MRUList", L"ba");
    SetRegValue(HKEY_CURRENT_USER, visited, L"n", REG_DWORD, {10, 0, 0, 0});
    SetRegValue(HKEY_CURRENT_USER, visited, L"m", REG_MULTI_SZ, TextBytes(std::wstring(L"x\0", 2)));
    SetRegValue(HKEY_CURRENT_USER, kExplorer + L"StreamMRU", L"0", REG_BINARY, {1});

    auto scanner = MakeScanner();
    EXPECT_EQ(RunScan(*scanner), 6);
    const std::wstring key = kUser + visited;
    const std::wstring stream = kUser + kExplorer + L"StreamMRU";
    EXPECT_EQ(RowKeys(), (std::vector<std::wstring>{key, key, key, key, key, stream}));
    EXPECT_EQ(Status.Caption(), L"Scanning Text 7");
    std::vector<std::wstring> names;
    for (const TRegFinding& finding : scanner->Findings()) {
        names.push_back(finding.ValueName);
        EXPECT_EQ(finding.Kind, TFindingKind::Value);
        EXPECT_EQ(finding.DataText, L"");
        EXPECT_EQ(finding.ImageIndex, 5);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"0", L"MRUList", L"a", L"b", L"m", L"n"}));

    // A multi-string value has no line of its own and no key line either.
    const TWideStrings& lines = scanner->BackupLines();
    EXPECT_EQ(lines.size(), 10u);
    const auto has = [&](const std::wstring& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
    EXPECT_TRUE(has(L"\"a\"=hex:00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,11,12,13,14,15,16,17,18,19,\\\r1A"));
    EXPECT_TRUE(has(L"\"b\"=\"C:\\\\Work\\\\report.doc\""));
    EXPECT_TRUE(has(L"\"MRUList\"=\"ba\""));
    EXPECT_TRUE(has(L"\"n\"=dword:0000000A"));
    EXPECT_TRUE(has(L"[" + stream + L"]"));
}

TEST_F(HistoryChecks, OpenSaveListsTheTextValuesOfEveryExtension)
{
    const std::wstring openSave = kExplorer + L"ComDlg32\\OpenSaveMRU";
    SetRegString(HKEY_CURRENT_USER, openSave + L"\\txt", L"a", L"C:\\notes.txt");
    SetRegString(HKEY_CURRENT_USER, openSave + L"\\txt", L"MRUList", L"a");
    SetRegValue(HKEY_CURRENT_USER, openSave + L"\\txt", L"bin", REG_BINARY, {1});
    SetRegString(HKEY_CURRENT_USER, openSave + L"\\*", L"a", L"report");
    SetRegString(HKEY_CURRENT_USER, openSave, L"own", L"C:\\x.txt"); // only the extension keys are read
    CreateRegKey(HKEY_CURRENT_USER, openSave + L"\\empty");

    auto scanner = MakeScanner();
    EXPECT_EQ(RunScan(*scanner), 3);
    const std::wstring key = kUser + openSave + L"\\";
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          Row(L"Text 7", key + L"*", L"a", L"report", 5),
                          Row(L"Text 7", key + L"txt", L"a", L"C:\\notes.txt", 5),
                          Row(L"Text 7", key + L"txt", L"MRUList", L"a", 5),
                      }));
    EXPECT_EQ(scanner->BackupLines()[3], L"\"a\"=\"C:\\\\notes.txt\"");
    EXPECT_EQ(scanner->BackupLines()[5], L"\"MRUList\"=\"a\"");

    // With no history at all, nothing.
    FreshRegistry();
    OnlyCategories({L"History"});
    EXPECT_EQ(RunScan(*MakeScanner()), 0);
}
