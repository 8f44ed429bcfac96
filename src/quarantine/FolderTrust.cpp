#include "quarantine/FolderTrust.h"

#include "common/ExpectedPath.h"
#include "common/SystemFolders.h"

#include <sddl.h>

namespace {

// The rights that let someone change what a folder holds or who may: add or remove entries, delete or
// rename the folder, or rewrite its access list or owner.
constexpr ACCESS_MASK kWriteRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                                     WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL | MAXIMUM_ALLOWED;

const wchar_t kCreatorOwner[] = L"S-1-3-0";

std::vector<BYTE> SidBytes(const std::wstring& text)
{
    PSID sid = nullptr;
    if (!ConvertStringSidToSidW(text.c_str(), &sid))
        return {};
    std::vector<BYTE> bytes(static_cast<const BYTE*>(sid), static_cast<const BYTE*>(sid) + GetLengthSid(sid));
    LocalFree(sid);
    return bytes;
}

std::wstring SidText(PSID sid)
{
    wchar_t* text = nullptr;
    if (!sid || !ConvertSidToStringSidW(sid, &text))
        return L"an unreadable account";
    std::wstring result = text;
    LocalFree(text);
    return result;
}

bool SameSid(PSID sid, const std::wstring& text)
{
    const std::vector<BYTE> other = SidBytes(text);
    return !other.empty() && EqualSid(sid, const_cast<BYTE*>(other.data()));
}

} // namespace

TFolderTrust::TFolderTrust(const std::vector<std::wstring>& sids) : Texts_(sids)
{
    for (const std::wstring& text : sids)
        if (std::vector<BYTE> bytes = SidBytes(text); !bytes.empty())
            Sids_.push_back(std::move(bytes));
}

TFolderTrust TFolderTrust::ForPlace(TQuarantinePlace place)
{
    std::vector<std::wstring> sids = {L"SY", L"BA"};
    // Wine gives every file the prefix's one user as owner and makes its access list up from the Unix
    // mode: there is no other account that could have made the folder.
    if (place == TQuarantinePlace::User || FileLinksLookPlain())
        if (const std::wstring user = CurrentUserSid(); !user.empty())
            sids.push_back(user);
    return TFolderTrust(sids);
}

bool TFolderTrust::Trusted(PSID sid) const
{
    for (const std::vector<BYTE>& trusted : Sids_)
        if (EqualSid(sid, const_cast<BYTE*>(trusted.data())))
            return true;
    return false;
}

std::wstring TFolderTrust::FolderSddl() const
{
    std::wstring sddl = L"D:P";
    for (const std::wstring& sid : Texts_)
        sddl += L"(A;OICI;FA;;;" + sid + L")";
    return sddl;
}

std::wstring TFolderTrust::FileSddl() const
{
    std::wstring sddl = L"D:P";
    for (const std::wstring& sid : Texts_)
        sddl += L"(A;;FA;;;" + sid + L")";
    return sddl;
}

std::optional<std::wstring> JudgeFolderSecurity(PSECURITY_DESCRIPTOR descriptor, const TFolderTrust& trust)
{
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!descriptor || !GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || !owner)
        return L"its owner cannot be read";
    if (!trust.Trusted(owner))
        return L"it is owned by " + SidText(owner);
    BOOL present = FALSE;
    PACL acl = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted))
        return L"its access list cannot be read";
    if (!present || !acl)
        return std::wstring(L"it has no access list, so everyone may write to it");
    for (DWORD index = 0; index < acl->AceCount; ++index) {
        void* raw = nullptr;
        if (!GetAce(acl, index, &raw))
            return L"its access list cannot be read";
        const auto* header = static_cast<const ACE_HEADER*>(raw);
        if (header->AceType == ACCESS_DENIED_ACE_TYPE || header->AceType == SYSTEM_AUDIT_ACE_TYPE ||
            header->AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE)
            continue; // takes rights away, or grants none
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE)
            return L"its access list holds an entry of a kind this program does not judge (" +
                   std::to_wstring(header->AceType) + L")";
        const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
        PSID sid = const_cast<DWORD*>(&ace->SidStart);
        // What a creator would own inside: only the trusted can create there.
        if ((ace->Mask & kWriteRights) == 0 || trust.Trusted(sid) || SameSid(sid, kCreatorOwner))
            continue;
        return L"it lets " + SidText(sid) + L" write to it";
    }
    return std::nullopt;
}

std::optional<std::wstring> JudgeFolderSddl(const std::wstring& sddl, const TFolderTrust& trust)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return std::wstring(L"its security descriptor cannot be read");
    const std::optional<std::wstring> verdict = JudgeFolderSecurity(descriptor, trust);
    LocalFree(descriptor);
    return verdict;
}
