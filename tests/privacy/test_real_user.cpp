// A real user's HKEY_CURRENT_USER (the shared test data), imported into the scratch registry: its typed
// addresses and form stores, its recent documents, Run history and archivers' histories are listed, and
// a repair removes exactly what was listed.
#include "PrivacyFixture.h"

#include "common/Registry.h"
#include "common/SystemFolders.h"
#include "registry/UndoFile.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

// "key path|value name" -> type and data.
using TValueMap = std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>>;

// Every value below the key.
void CollectValues(const std::wstring& path, TValueMap& values)
{
    TRegKey key;
    if (key.Open(HKEY_CURRENT_USER, path, KEY_READ) != ERROR_SUCCESS)
        return;
    for (TRegNamedValue& value : key.Values())
        values.emplace(path + L"|" + value.Name, std::pair{value.Value.Type, std::move(value.Value.Data)});
    for (const std::wstring& name : key.SubKeyNames())
        CollectValues(path.empty() ? name : path + L"\\" + name, values);
}

TValueMap AllValues()
{
    TValueMap values;
    CollectValues(L"", values);
    return values;
}

std::wstring RealUserExport()
{
    const std::wstring program = ProgramFileName();
    return program.substr(0, program.find_last_of(L'\\')) + L"\\testdata\\real-user-hkcu.reg";
}

class PrivacyRealUser : public PrivacyTest {
protected:
    void ImportRealUser()
    {
        // Imported with the program's own reader of registry export files.
        std::vector<TUndoKey> keys;
        std::wstring error;
        ASSERT_TRUE(ReadUndoFile(RealUserExport(), keys, error)) << testing::PrintToString(error);
        const TRestoreReport import = RestoreUndoKeys(keys);
        EXPECT_TRUE(import.Failures.empty()) << testing::PrintToString(import.Failures.front());
        ASSERT_GT(import.Values, 10000);
    }
};

// Key names keep the case of whoever created them first, so paths are compared without regard to case.
std::wstring Folded(std::wstring text)
{
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// Every key below the root and every value ("key|name"), case-folded.
void CollectEverything(const std::wstring& path, std::set<std::wstring>& keys, std::set<std::wstring>& values)
{
    TRegKey key;
    if (key.Open(HKEY_CURRENT_USER, path, KEY_READ) != ERROR_SUCCESS)
        return;
    keys.insert(Folded(path));
    for (const std::wstring& name : key.ValueNames())
        values.insert(Folded(path + L"|" + name));
    for (const std::wstring& name : key.SubKeyNames())
        CollectEverything(path.empty() ? name : path + L"\\" + name, keys, values);
}

bool AtOrBelowKey(const std::wstring& foldedPath, const std::wstring& foldedKey)
{
    return foldedPath.rfind(foldedKey, 0) == 0 &&
           (foldedPath.size() == foldedKey.size() || foldedPath[foldedKey.size()] == L'\\' ||
            foldedPath[foldedKey.size()] == L'|');
}

TEST_F(PrivacyRealUser, TypedAddressesAndFormHistoryAreListedAndOnlyTheyAreRemoved)
{
    ImportRealUser();
    const TValueMap before = AllValues();
    EXPECT_EQ(RunScan(Selection({1, 2, 3, 4, 5})), 1);
    // One typed address; the user's IntelliForms key is there but empty, and there is no protected storage.
    EXPECT_EQ(ListedLines(),
              std::vector<std::wstring>{L"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs\\url1"});

    RunRepair();
    EXPECT_TRUE(Scanner->LastRepair.AllDone());
    TValueMap expected = before;
    // Key names keep the case of whoever created them first (the scratch registry wrote "Software").
    const std::wstring typed = L"software\\microsoft\\internet explorer\\typedurls|url1";
    EXPECT_EQ(std::erase_if(expected,
                            [&](const auto& entry) {
                                return CompareStringOrdinal(entry.first.c_str(), -1, typed.c_str(), -1, TRUE) ==
                                       CSTR_EQUAL;
                            }),
              1u);
    const TValueMap after = AllValues();
    EXPECT_EQ(after.size(), expected.size());
    EXPECT_TRUE(after == expected) << "values other than the listed one changed";
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Internet Explorer\\TypedURLs"));
}

TEST_F(PrivacyRealUser, RecentDocumentsRunHistoryAndArchiverHistoriesAreListedAndOnlyTheyAreRemoved)
{
    ImportRealUser();
    std::set<std::wstring> keysBefore, valuesBefore;
    CollectEverything(L"", keysBefore, valuesBefore);

    const int32_t found = RunScan(Selection({14, 15, 30, 31, 32}));
    const std::vector<std::wstring> lines = ListedLines();
    const auto count = [&](const std::wstring& prefix) {
        return std::count_if(lines.begin(), lines.end(),
                             [&](const std::wstring& line) { return line.rfind(prefix, 0) == 0; });
    };
    const std::wstring explorer = L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
    // The user's data: 128 recent documents of the key itself and 125 in its 20 per-type subkeys; 19
    // Run entries, all of them strings.
    EXPECT_EQ(count(explorer + L"RecentDocs\\"), 253);
    EXPECT_EQ(count(explorer + L"RunMRU\\"), 19);
    EXPECT_EQ(count(explorer + L"RunMRU\\MRUList"), 1);
    // WinRAR's archive and name histories and last folder, 7-Zip's folder history and panel path; the
    // user has no WinZip, and of the other entries of the two archivers nothing.
    const std::set<std::wstring> archivers = {
        L"HKEY_CURRENT_USER\\Software\\WinRAR\\ArcHistory",
        L"HKEY_CURRENT_USER\\Software\\WinRAR\\DialogEditHistory\\Arcname",
        L"HKEY_CURRENT_USER\\Software\\WinRAR\\General\\LastFolder",
        L"HKEY_CURRENT_USER\\Software\\7-Zip\\FM\\FolderHistory",
        L"HKEY_CURRENT_USER\\Software\\7-Zip\\FM\\PanelPath0",
    };
    std::set<std::wstring> others;
    for (const std::wstring& line : lines)
        if (line.rfind(explorer, 0) != 0)
            others.insert(line);
    EXPECT_EQ(others, archivers);
    EXPECT_EQ(found, 253 + 19 + 5);

    // What the repair may take: the listed values, and everything in the listed keys.
    std::set<std::wstring> keysExpected = keysBefore, valuesExpected = valuesBefore;
    for (const TPrivacyItem& item : Scanner->Findings.Items()) {
        const std::wstring key = Folded(item.Key.substr(1));
        if (item.Kind == TPrivacyItemKind::Value) {
            EXPECT_EQ(valuesExpected.erase(Folded(item.Key.substr(1) + L"|" + item.ValueName)), 1u)
                << testing::PrintToString(item.Path);
            continue;
        }
        ASSERT_EQ(item.Kind, TPrivacyItemKind::Key) << testing::PrintToString(item.Path);
        EXPECT_GT(std::erase_if(valuesExpected, [&](const std::wstring& value) { return AtOrBelowKey(value, key); }), 0u);
        EXPECT_EQ(std::erase_if(keysExpected, [&](const std::wstring& path) { return AtOrBelowKey(path, key); }), 1u);
    }

    RunRepair();
    EXPECT_TRUE(Scanner->LastRepair.AllDone());
    EXPECT_EQ(Scanner->LastRepair.Count(TOutcome::Removed), found);
    std::set<std::wstring> keysAfter, valuesAfter;
    CollectEverything(L"", keysAfter, valuesAfter);
    EXPECT_EQ(valuesAfter.size(), valuesExpected.size());
    EXPECT_TRUE(valuesAfter == valuesExpected) << "values other than the listed ones changed";
    EXPECT_TRUE(keysAfter == keysExpected) << "keys other than the listed ones changed";
    // The recent-document and Run keys themselves stay, now empty of values.
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs\\.txt"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\WinRAR\\General", L"VerInfo"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, L"Software\\7-Zip\\FM", L"ListMode"));
}

} // namespace
