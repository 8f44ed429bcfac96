#include "quarantine/SecurityText.h"

#include "common/Handles.h"

#include <aclapi.h>
#include <sddl.h>

namespace {

constexpr SECURITY_INFORMATION kKept = OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION |
                                       DACL_SECURITY_INFORMATION;

// While it lives, the process may give an item any owner, as an administrator's restore gives an item
// back to the user who owned it; a process without the privilege is left as it was.
class TRestorePrivilege {
public:
    TRestorePrivilege()
    {
        HANDLE raw = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw))
            return;
        Token_.Reset(raw);
        TOKEN_PRIVILEGES wanted{};
        wanted.PrivilegeCount = 1;
        wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (!LookupPrivilegeValueW(nullptr, SE_RESTORE_NAME, &wanted.Privileges[0].Luid))
            return;
        DWORD size = sizeof Previous_;
        Adjusted_ = AdjustTokenPrivileges(Token_.Get(), FALSE, &wanted, sizeof Previous_, &Previous_, &size) &&
                    GetLastError() == ERROR_SUCCESS;
    }
    ~TRestorePrivilege()
    {
        if (Adjusted_)
            AdjustTokenPrivileges(Token_.Get(), FALSE, &Previous_, 0, nullptr, nullptr);
    }
    TRestorePrivilege(const TRestorePrivilege&) = delete;
    TRestorePrivilege& operator=(const TRestorePrivilege&) = delete;

private:
    THandle Token_;
    TOKEN_PRIVILEGES Previous_{};
    bool Adjusted_ = false;
};

struct TLocalDescriptor {
    PSECURITY_DESCRIPTOR Descriptor = nullptr;
    ~TLocalDescriptor()
    {
        if (Descriptor)
            LocalFree(Descriptor);
    }
};

} // namespace

std::wstring SecuritySddl(HANDLE item)
{
    TLocalDescriptor read;
    if (GetSecurityInfo(item, SE_FILE_OBJECT, kKept, nullptr, nullptr, nullptr, nullptr, &read.Descriptor) !=
        ERROR_SUCCESS)
        return {};
    wchar_t* text = nullptr;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(read.Descriptor, SDDL_REVISION_1, kKept, &text, nullptr))
        return {};
    std::wstring sddl = text;
    LocalFree(text);
    return sddl;
}

DWORD ApplySddl(HANDLE item, const std::wstring& sddl)
{
    TLocalDescriptor parsed;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &parsed.Descriptor,
                                                              nullptr))
        return GetLastError();
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(parsed.Descriptor, &control, &revision);
    PSID owner = nullptr, group = nullptr;
    BOOL defaulted = FALSE, present = FALSE;
    PACL acl = nullptr;
    GetSecurityDescriptorOwner(parsed.Descriptor, &owner, &defaulted);
    GetSecurityDescriptorGroup(parsed.Descriptor, &group, &defaulted);
    if (!GetSecurityDescriptorDacl(parsed.Descriptor, &present, &acl, &defaulted) || !present)
        return ERROR_INVALID_SECURITY_DESCR; // an item without an access list would be open to everyone
    SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION | ((control & SE_DACL_PROTECTED)
                                                                 ? PROTECTED_DACL_SECURITY_INFORMATION
                                                                 : UNPROTECTED_DACL_SECURITY_INFORMATION);
    // The owner goes back where the process may give it (its own account, or as an administrator the
    // Administrators); else the item keeps the owner it has, with its access list back.
    if (owner || group) {
        const TRestorePrivilege privilege;
        const SECURITY_INFORMATION whole = what | (owner ? OWNER_SECURITY_INFORMATION : 0) |
                                           (group ? GROUP_SECURITY_INFORMATION : 0);
        if (SetSecurityInfo(item, SE_FILE_OBJECT, whole, owner, group, acl, nullptr) == ERROR_SUCCESS)
            return ERROR_SUCCESS;
    }
    return SetSecurityInfo(item, SE_FILE_OBJECT, what, nullptr, nullptr, acl, nullptr);
}
