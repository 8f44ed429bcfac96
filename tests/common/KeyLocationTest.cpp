// The program's one key locator: the system's own links are followed, every other link is located
// where it lies.
#include "common/KeyLocation.h"
#include "common/Registry.h"
#include "common/SafeDelete.h"
#include "support/ScratchRegistry.h"

#include <gtest/gtest.h>

namespace {

class KeyLocator : public testing::Test {
protected:
    ScratchRegistry Registry;
    TKeyLocator Locator;
};

} // namespace

TEST_F(KeyLocator, AKeyNamedThroughTheSystemsOwnLinkIsTheKeyItLeadsTo)
{
    // Under Wine CurrentControlSet is a plain key; a scratch link stands in for the one Windows keeps.
    SetRegString(HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet001\\Services\\Pest", L"ImagePath", L"pest.sys");
    Registry.MakeLink(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet", L"SYSTEM\\ControlSet001");
    const TKeyLocation place = Locator.Locate(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\Pest", 0);
    ASSERT_TRUE(place.Found());
    EXPECT_EQ(HKEY_LOCAL_MACHINE, place.Root);
    EXPECT_EQ(L"SYSTEM\\ControlSet001\\Services\\Pest", place.Path);
    EXPECT_FALSE(place.CrossesLink);
    // The gate then reaches it without a link on the way, and never through the link.
    EXPECT_EQ(std::nullopt, RegDeletionBlocked(place.Root, place.Path, 0, TRegDeletion::Tree));
    EXPECT_EQ(TOutcome::Refused,
              RegDeletionBlocked(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\Pest", 0, TRegDeletion::Tree));
}

TEST_F(KeyLocator, AnyOtherLinkIsLocatedWhereItLies)
{
    SetRegString(HKEY_CURRENT_USER, L"Software\\Target\\Toolbar\\Child", L"data", L"precious");
    Registry.MakeCurrentUserLink(L"Software\\Crawler", L"Software\\Target");
    for (const bool opened : {false, true}) {
        TRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, L"Software\\Crawler\\Toolbar", KEY_READ));
        const TKeyLocation place =
            Locator.Locate(HKEY_CURRENT_USER, L"Software\\Crawler\\Toolbar", 0, opened ? key.Handle() : nullptr);
        ASSERT_TRUE(place.Found());
        EXPECT_EQ(HKEY_CURRENT_USER, place.Root);
        EXPECT_EQ(L"Software\\Crawler\\Toolbar", place.Path) << "never the link's target";
        EXPECT_TRUE(place.CrossesLink);
        EXPECT_EQ(L"HKEY_CURRENT_USER\\Software\\Crawler\\Toolbar", place.Display());
    }
    // A key reached without any link is named as written.
    const TKeyLocation plain = Locator.Locate(HKEY_CURRENT_USER, L"\\Software\\Target\\Toolbar\\", 0);
    EXPECT_EQ(L"Software\\Target\\Toolbar", plain.Path);
    EXPECT_FALSE(plain.CrossesLink);
    EXPECT_FALSE(Locator.Locate(HKEY_CURRENT_USER, L"Software\\Missing", 0).Found());
}

TEST_F(KeyLocator, ThirtyTwoBitClassesAreLocatedThroughTheirLink)
{
    // Wine keeps HKLM\Software\Wow6432Node\Classes as a link to HKLM\Software\Classes\Wow6432Node; the
    // 32-bit classes are listed and removed where that link leads.
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Wow6432Node\\CLSID\\{5EB0C1A5-0000-4000-8000-000000000032}",
                 L"", L"32");
    CreateRegKey(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node");
    Registry.MakeLink(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Classes", L"Software\\Classes\\Wow6432Node");
    const TKeyLocation place = Locator.Locate(
        HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Classes\\CLSID\\{5EB0C1A5-0000-4000-8000-000000000032}", 0);
    ASSERT_TRUE(place.Found());
    EXPECT_EQ(L"Software\\Classes\\Wow6432Node\\CLSID\\{5EB0C1A5-0000-4000-8000-000000000032}", place.Path);
    EXPECT_FALSE(place.CrossesLink);
    EXPECT_EQ(TOutcome::Removed, DeleteRegTreeSafe(place.Root, place.Path));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Wow6432Node\\CLSID"));
}
