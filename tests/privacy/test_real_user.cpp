// A real user's HKEY_CURRENT_USER (the shared test data), imported into the scratch registry: its typed
// addresses and form stores are listed, and a repair removes exactly those values.
#include "PrivacyFixture.h"

#include "common/Kelvor_Routine.h"
#include "common/Registry.h"
#include "registry/UndoFile.h"

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

using PrivacyRealUser = PrivacyTest;

TEST_F(PrivacyRealUser, TypedAddressesAndFormHistoryAreListedAndOnlyTheyAreRemoved)
{
    // Imported with the program's own reader of registry export files.
    std::vector<TUndoKey> keys;
    std::wstring error;
    ASSERT_TRUE(ReadUndoFile(RealUserExport(), keys, error)) << testing::PrintToString(error);
    const TRestoreReport import = RestoreUndoKeys(keys);
    EXPECT_TRUE(import.Failures.empty()) << testing::PrintToString(import.Failures.front());
    ASSERT_GT(import.Values, 10000);

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

} // namespace
