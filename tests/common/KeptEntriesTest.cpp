// What the user unticked keeps an entry from every scanner: the same entry, one inside it, and one that
// holds it, across registry keys and values, files and folders, database rows and cookies.
#include "common/KeptEntries.h"
#include "common/RepairOutcome.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"

#include <gtest/gtest.h>

namespace {

class KeptEntries : public testing::Test {
protected:
    ScratchRegistry Registry;
    ScratchFolder Folder{L"kept"};
};

std::wstring KeptBy(const TKeptEntries& kept, const TEntryPlace& place)
{
    const std::wstring* list = kept.KeptBy(place);
    return list ? *list : L"(none)";
}

} // namespace

TEST_F(KeptEntries, RegistryKeysAndValues)
{
    SetRegString(HKEY_CURRENT_USER, L"Software\\Pest\\Run", L"Start", L"x");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Pest\\Run", L"Other", L"y");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Pest\\Data\\Deep", L"v", L"z");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Pestilence", L"v", L"z");
    SetRegString(HKEY_CURRENT_USER, L"Software\\Kept\\Inner", L"v", L"z");
    TKeptEntries kept;
    kept.Add(RegistryPlace(HKEY_CURRENT_USER, L"Software\\Pest\\Run", 0, L"Start"), L"Registry Fix");
    kept.Add(RegistryPlace(HKEY_CURRENT_USER, L"Software\\Kept"), L"Spyware Removal");

    struct Case {
        const wchar_t* Key;
        std::optional<std::wstring> Value;
        const wchar_t* Expected;
    } cases[] = {
        {L"Software\\Pest\\Run", L"Start", L"Registry Fix"},  // the same value
        {L"software\\PEST\\run", L"START", L"Registry Fix"},  // names compare without case
        {L"Software\\Pest\\Run", std::nullopt, L"Registry Fix"}, // the key that holds it
        {L"Software\\Pest", std::nullopt, L"Registry Fix"},   // a key further up
        {L"Software\\Pest\\Run", L"Other", L"(none)"},       // another value of the key
        {L"Software\\Pest\\Data", std::nullopt, L"(none)"},  // a sibling key
        {L"Software\\Pestilence", std::nullopt, L"(none)"},  // a name that only begins alike
        {L"Software\\Kept", std::nullopt, L"Spyware Removal"},
        {L"Software\\Kept\\Inner", std::nullopt, L"Spyware Removal"}, // lies inside a kept key
        {L"Software\\Kept\\Inner", L"v", L"Spyware Removal"},
        {L"Software\\Kept", L"", L"Spyware Removal"},          // the kept key's default value
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::wstring(c.Key) + L"|" + c.Value.value_or(L"(key)"));
        EXPECT_EQ(KeptBy(kept, RegistryPlace(HKEY_CURRENT_USER, c.Key, 0, c.Value)), c.Expected);
    }
    // A key that holds entries of both lists is kept by one of them.
    EXPECT_NE(KeptBy(kept, RegistryPlace(HKEY_CURRENT_USER, L"Software")), L"(none)");
    // Another root is another key, even under the same path.
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Pest\\Run", L"Start", L"x");
    EXPECT_EQ(KeptBy(kept, RegistryPlace(HKEY_LOCAL_MACHINE, L"Software\\Pest\\Run", 0, L"Start")), L"(none)");
}

TEST_F(KeptEntries, AKeyReachedThroughALinkIsTheKeyItNames)
{
    SetRegString(HKEY_CURRENT_USER, L"Software\\Target", L"v", L"1");
    Registry.MakeCurrentUserLink(L"Software\\Alias", L"Software\\Target");
    TKeptEntries kept;
    kept.Add(RegistryPlace(HKEY_CURRENT_USER, L"Software\\Target", 0, L"v"), L"Registry Fix");
    EXPECT_EQ(KeptBy(kept, RegistryPlace(HKEY_CURRENT_USER, L"Software\\Alias")), L"Registry Fix");
}

TEST_F(KeptEntries, FilesFoldersDatabaseRowsAndCookies)
{
    const std::wstring folder = Folder.MakeFolder(L"Pest\\Cache");
    const std::wstring file = Folder.MakeFile(L"Pest\\Cache\\page.dat", 10);
    const std::wstring database = Folder.MakeFile(L"Profile\\History", 10);
    const std::wstring other = Folder.MakeFile(L"Pest\\readme.txt", 10);
    TKeptEntries kept;
    kept.Add(FilePlace(file), L"Privacy Sweep");
    kept.Add(FilePlace(database, L"3"), L"Privacy Sweep");
    kept.Add(CookiePlace(L"Cookie:user@pest.example/"), L"Spyware Removal");

    struct Case {
        TEntryPlace Place;
        const wchar_t* Expected;
    } cases[] = {
        {FilePlace(file), L"Privacy Sweep"},
        {FilePlace(folder), L"Privacy Sweep"},           // holds the kept file
        {FilePlace(folder + L"\\"), L"Privacy Sweep"},   // a trailing backslash names the same folder
        {FilePlace(Folder.Path()), L"Privacy Sweep"},
        {FilePlace(other), L"(none)"},
        {FilePlace(database), L"Privacy Sweep"},         // the whole file holds the kept rows
        {FilePlace(database, L"3"), L"Privacy Sweep"},   // the same rows
        {FilePlace(database, L"4"), L"(none)"},          // other rows of the same file
        {CookiePlace(L"cookie:USER@pest.example/"), L"Spyware Removal"},
        {CookiePlace(L"Cookie:user@pest.example/x"), L"(none)"}, // cookies do not nest
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Place.Path + L"|" + c.Place.Part);
        EXPECT_EQ(KeptBy(kept, c.Place), c.Expected);
    }
    // A short name and the long one are the same file.
    wchar_t shortName[MAX_PATH] = {};
    if (GetShortPathNameW(file.c_str(), shortName, MAX_PATH) && file != shortName) {
        EXPECT_EQ(KeptBy(kept, FilePlace(shortName)), L"Privacy Sweep");
    }
    EXPECT_TRUE(TKeptEntries().Empty());
    EXPECT_EQ(KeptBy(TKeptEntries(), FilePlace(file)), L"(none)");
}

TEST(RepairReportKept, KeptItemsAreNamedWithTheirListAndAreNoFailure)
{
    TRepairReport report;
    report.Add(L"C:\\gone.exe", TOutcome::Removed);
    report.Keep(L"HKEY_CURRENT_USER\\Software\\Pest", L"Registry Fix");
    EXPECT_TRUE(report.Ran);
    EXPECT_TRUE(report.AllDone());
    EXPECT_EQ(report.Count(TOutcome::Kept), 1);
    EXPECT_EQ(report.Total(), 2);
    ASSERT_EQ(report.Kept().size(), 1u);
    EXPECT_EQ(report.Kept()[0].Text, L"HKEY_CURRENT_USER\\Software\\Pest");
    EXPECT_EQ(report.Kept()[0].List, L"Registry Fix");
    EXPECT_TRUE(report.Left().empty());
    EXPECT_STREQ(OutcomeName(TOutcome::Kept), L"kept");
}
