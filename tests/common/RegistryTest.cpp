// The registry key accessor: typed reads, one-pass value enumeration, the two registry views.
#include "common/KeyLocation.h"
#include "common/Registry.h"
#include "common/SafeDelete.h"
#include "support/ScratchRegistry.h"

#include <gtest/gtest.h>

class RegistryKey : public testing::Test {
protected:
    ScratchRegistry Registry;
};

namespace {

void SetRaw(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type, const std::string& bytes)
{
    TRegKey created;
    ASSERT_EQ(ERROR_SUCCESS, created.Create(root, key, KEY_ALL_ACCESS));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(created.Handle(), name.c_str(), 0, type,
                                            reinterpret_cast<const BYTE*>(bytes.data()),
                                            static_cast<DWORD>(bytes.size())));
}

} // namespace

TEST_F(RegistryKey, ValuesComeWithTypeAndRawBytes)
{
    SetRegString(HKEY_CURRENT_USER, L"Software\\Typed", L"text", L"C:\\a.exe");
    SetRaw(HKEY_CURRENT_USER, L"Software\\Typed", L"odd", REG_SZ, std::string("a\0b", 3));
    SetRaw(HKEY_CURRENT_USER, L"Software\\Typed", L"number", REG_DWORD, std::string("\x0a\0\0\0", 4));
    SetRaw(HKEY_CURRENT_USER, L"Software\\Typed", L"", REG_BINARY, std::string(300, '\x7f'));

    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, L"\\Software\\Typed"));
    TRegValue value;
    ASSERT_EQ(ERROR_SUCCESS, key.ReadValue(L"odd", value));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.Type);
    EXPECT_EQ(3u, value.Data.size()) << "odd sizes are kept as stored";
    ASSERT_EQ(ERROR_SUCCESS, key.ReadValue(L"number", value));
    EXPECT_EQ(10u, value.Dword());
    std::wstring text;
    EXPECT_EQ(ERROR_INVALID_DATATYPE, key.ReadString(L"number", text));
    EXPECT_EQ(ERROR_SUCCESS, key.ReadString(L"text", text));
    EXPECT_EQ(L"C:\\a.exe", text);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.ReadValue(L"missing", value));

    const auto values = key.Values();
    ASSERT_EQ(4u, values.size());
    int seen = 0;
    for (const TRegNamedValue& entry : values) {
        if (entry.Name.empty()) {
            EXPECT_EQ(static_cast<DWORD>(REG_BINARY), entry.Value.Type);
            EXPECT_EQ(300u, entry.Value.Data.size());
            ++seen;
        } else if (entry.Name == L"text") {
            EXPECT_EQ(L"C:\\a.exe", entry.Value.Text());
            ++seen;
        }
    }
    EXPECT_EQ(2, seen);
    DWORD subKeys = 9, count = 9;
    EXPECT_TRUE(key.Counts(subKeys, count));
    EXPECT_EQ(0u, subKeys);
    EXPECT_EQ(4u, count);
}

TEST_F(RegistryKey, OpenOrCreateReadsWhatExistsAndCreatesWhatIsMissing)
{
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\There", L"v", L"1");
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.OpenOrCreate(HKEY_LOCAL_MACHINE, L"\\Software\\There"));
    // Opened for reading only: writing through it is refused.
    EXPECT_NE(ERROR_SUCCESS, key.WriteString(L"w", L"2"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\NotThere"));
    ASSERT_EQ(ERROR_SUCCESS, key.OpenOrCreate(HKEY_LOCAL_MACHINE, L"Software\\NotThere"));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\NotThere"));
}

TEST_F(RegistryKey, ThirtyTwoBitViewIsSeparateOnlyWhereItRedirects)
{
    // A key with a Wow6432Node child redirects the 32-bit view below it, as on 64-bit Windows.
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Vendor32", L"v", L"32");
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Vendor32", L"v", L"64");
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Only64", L"v", L"64");

    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, L"Software\\Vendor32", KEY_READ | KEY_WOW64_32KEY));
    std::wstring text;
    ASSERT_EQ(ERROR_SUCCESS, key.ReadString(L"v", text));
    EXPECT_EQ(L"32", text);
    EXPECT_NE(std::wstring::npos, key.KernelName().find(L"Wow6432Node")) << testing::PrintToString(key.KernelName());

    EXPECT_TRUE(IsSeparate32BitKey(HKEY_LOCAL_MACHINE, L"Software\\Vendor32"));
    EXPECT_FALSE(IsSeparate32BitKey(HKEY_LOCAL_MACHINE, L"Software\\Only64")) << "no 32-bit key there";
    // Not below a redirected key: both views open the same key.
    SetRegString(HKEY_CURRENT_USER, L"Software\\Shared", L"v", L"1");
    EXPECT_FALSE(IsSeparate32BitKey(HKEY_CURRENT_USER, L"Software\\Shared"));

    // Deleting in the 32-bit view leaves the 64-bit key alone.
    EXPECT_EQ(TOutcome::Removed, DeleteRegTreeSafe(HKEY_LOCAL_MACHINE, L"Software\\Vendor32", KEY_WOW64_32KEY));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\Vendor32"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Vendor32"));
}

TEST_F(RegistryKey, ALinkedThirtyTwoBitKeyIsNotSeparate)
{
    SetRegString(HKEY_CURRENT_USER, L"Software\\Real\\Child", L"v", L"1");
    CreateRegKey(HKEY_CURRENT_USER, L"Software\\Wow6432Node");
    Registry.MakeCurrentUserLink(L"Software\\Wow6432Node\\Real", L"Software\\Real");
    EXPECT_FALSE(IsSeparate32BitKey(HKEY_CURRENT_USER, L"Software\\Real"));
    EXPECT_EQ(TOutcome::Refused,
              RegDeletionBlocked(HKEY_CURRENT_USER, L"Software\\Real", KEY_WOW64_32KEY, TRegDeletion::Value));
    EXPECT_EQ(std::nullopt,
              RegDeletionBlocked(HKEY_CURRENT_USER, L"Software\\Real", KEY_WOW64_64KEY, TRegDeletion::Tree));
}

TEST_F(RegistryKey, ViewsOfTheClassesRootStayInsideItsRedirection)
{
    // Under Wine an explicit view on the classes root would open the machine's own classes; the
    // accessor names the 32-bit place instead, so the scratch root is what answers.
    SetRegString(HKEY_CLASSES_ROOT, L"CLSID\\{0B5F0B5F-0000-4000-8000-000000000001}", L"", L"64");
    SetRegString(HKEY_CLASSES_ROOT, L"Wow6432Node\\CLSID\\{0B5F0B5F-0000-4000-8000-000000000001}", L"", L"32");
    SetRegString(HKEY_CLASSES_ROOT, L".shared", L"", L"txtfile");
    struct Case {
        REGSAM View;
        const wchar_t* Expected;
    };
    for (const Case& c : {Case{0, L"64"}, Case{KEY_WOW64_64KEY, L"64"}, Case{KEY_WOW64_32KEY, L"32"}}) {
        TRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CLASSES_ROOT, L"CLSID\\{0B5F0B5F-0000-4000-8000-000000000001}",
                                          KEY_READ | c.View))
            << c.View;
        std::wstring text;
        EXPECT_EQ(ERROR_SUCCESS, key.ReadString(L"", text));
        EXPECT_EQ(c.Expected, text) << c.View;
        EXPECT_NE(std::wstring::npos, key.KernelName().find(L"BrisfoldScratch")) << "inside the scratch root";

        const TKeyLocation real =
            TKeyLocator().Locate(HKEY_CLASSES_ROOT, L"CLSID\\{0B5F0B5F-0000-4000-8000-000000000001}", c.View, key.Handle());
        ASSERT_TRUE(real.Found());
        EXPECT_EQ(HKEY_CLASSES_ROOT, real.Root);
        EXPECT_EQ(std::wstring(c.View == KEY_WOW64_32KEY ? L"HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\"
                                                         : L"HKEY_CLASSES_ROOT\\CLSID\\") +
                      L"{0B5F0B5F-0000-4000-8000-000000000001}",
                  real.Display());
    }
    EXPECT_TRUE(IsSeparate32BitKey(HKEY_CLASSES_ROOT, L"CLSID\\{0B5F0B5F-0000-4000-8000-000000000001}"));
    EXPECT_FALSE(IsSeparate32BitKey(HKEY_CLASSES_ROOT, L".shared")) << "a key both views share";
}

TEST_F(RegistryKey, TheLocatorNamesAThirtyTwoBitKeysPlace)
{
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Vendor32\\Sub", L"v", L"32");
    SetRegString(HKEY_LOCAL_MACHINE, L"Software\\Vendor32\\Sub", L"v", L"64");
    TRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, L"Software\\Vendor32\\Sub", KEY_READ | KEY_WOW64_32KEY));
    const TKeyLocation real =
        TKeyLocator().Locate(HKEY_LOCAL_MACHINE, L"Software\\Vendor32\\Sub", KEY_WOW64_32KEY, key.Handle());
    ASSERT_TRUE(real.Found());
    EXPECT_EQ(HKEY_LOCAL_MACHINE, real.Root);
    EXPECT_EQ(L"Software\\Wow6432Node\\Vendor32\\Sub", real.Path);
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Vendor32\\Sub", real.Display());
    EXPECT_FALSE(real.CrossesLink);
}
