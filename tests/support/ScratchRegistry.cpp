#include "support/ScratchRegistry.h"

#include "support/ScratchFolder.h"

#include "common/Registry.h"
#include "common/SafeDelete.h"

#include <gtest/gtest.h>

#include <sddl.h>

namespace {

const HKEY kRoots[4] = {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS};
const wchar_t* const kNames[4] = {L"HKCR", L"HKLM", L"HKCU", L"HKU"};

// Wine names the current user's hive by the user's SID; read it from the process token.
std::wstring UserSid()
{
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    BYTE buffer[256];
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
    CloseHandle(token);
    wchar_t* sid = nullptr;
    ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid);
    std::wstring text = sid;
    LocalFree(sid);
    return text;
}

} // namespace

ScratchRegistry::ScratchRegistry()
    : Base_(L"Software\\BrisfoldScratch-" + TestProgramName())
{
    // What a crashed earlier run of this test program may have left.
    (void)DeleteRegTreeSafe(HKEY_CURRENT_USER, Base_, 0, TLinkPolicy::RemoveLinks);
    for (int i = 0; i < 4; ++i) {
        const LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, (Base_ + L"\\" + kNames[i]).c_str(), 0, nullptr, 0,
                                               KEY_ALL_ACCESS, nullptr, &Keys_[i], nullptr);
        EXPECT_EQ(ERROR_SUCCESS, status) << "scratch key " << i;
    }
    // Override only once every scratch key exists: HKEY_CURRENT_USER itself is redirected last.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ERROR_SUCCESS, RegOverridePredefKey(kRoots[i], Keys_[i]));
}

ScratchRegistry::~ScratchRegistry()
{
    for (int i = 0; i < 4; ++i)
        RegOverridePredefKey(kRoots[i], nullptr);
    for (HKEY key : Keys_)
        if (key)
            RegCloseKey(key);
    EXPECT_EQ(TOutcome::Removed, DeleteRegTreeSafe(HKEY_CURRENT_USER, Base_, 0, TLinkPolicy::RemoveLinks));
}

std::wstring ScratchRegistry::BackingPath(HKEY root) const
{
    for (int i = 0; i < 4; ++i)
        if (kRoots[i] == root)
            return Base_ + L"\\" + kNames[i];
    return {};
}

void ScratchRegistry::MakeCurrentUserLink(const std::wstring& linkPath, const std::wstring& targetPath) const
{
    MakeLink(HKEY_CURRENT_USER, linkPath, targetPath);
}

void ScratchRegistry::MakeLink(HKEY root, const std::wstring& linkPath, const std::wstring& targetPath) const
{
    // A link names its target by the absolute kernel path: the scratch key that stands in for the root.
    const std::wstring target = L"\\Registry\\User\\" + UserSid() + L"\\" + BackingPath(root) + L"\\" + targetPath;
    const size_t slash = linkPath.find_last_of(L'\\');
    if (slash != std::wstring::npos)
        CreateRegKey(root, linkPath.substr(0, slash));
    HKEY link = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root, linkPath.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                                             KEY_ALL_ACCESS, nullptr, &link, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK,
                                            reinterpret_cast<const BYTE*>(target.c_str()),
                                            static_cast<DWORD>(target.size() * sizeof(wchar_t))));
    RegCloseKey(link);
}

void SetRegString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value)
{
    TRegKey created;
    ASSERT_EQ(ERROR_SUCCESS, created.Create(root, key, KEY_ALL_ACCESS)) << "creating " << testing::PrintToString(key);
    if (!name.empty() || !value.empty())
        ASSERT_EQ(ERROR_SUCCESS, created.WriteString(name, value));
}

void CreateRegKey(HKEY root, const std::wstring& key)
{
    TRegKey created;
    ASSERT_EQ(ERROR_SUCCESS, created.Create(root, key, KEY_ALL_ACCESS)) << "creating " << testing::PrintToString(key);
}

bool RegKeyExists(HKEY root, const std::wstring& key)
{
    TRegKey opened;
    return opened.Open(root, key, KEY_READ) == ERROR_SUCCESS;
}

bool RegValueExists(HKEY root, const std::wstring& key, const std::wstring& name)
{
    TRegKey opened;
    return opened.Open(root, key, KEY_READ) == ERROR_SUCCESS && opened.ValueExists(name);
}
