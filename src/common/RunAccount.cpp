#include "common/RunAccount.h"

#include "common/Handles.h"

#include <iterator>

namespace {

// The token's information of one class, size first; empty when it cannot be read.
std::vector<BYTE> TokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind)
{
    DWORD size = 0;
    GetTokenInformation(token, kind, nullptr, 0, &size);
    if (size == 0)
        return {};
    std::vector<BYTE> data(size);
    if (!GetTokenInformation(token, kind, data.data(), size, &size))
        return {};
    return data;
}

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type)
{
    return sid && IsValidSid(sid) && IsWellKnownSid(sid, type);
}

THandle ProcessToken()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    return THandle(token);
}

} // namespace

bool IsServiceIdentity(PSID user, const std::vector<PSID>& groups)
{
    for (WELL_KNOWN_SID_TYPE account : {WinLocalSystemSid, WinLocalServiceSid, WinNetworkServiceSid})
        if (IsWellKnown(user, account))
            return true;
    for (PSID group : groups)
        if (IsWellKnown(group, WinServiceSid))
            return true;
    return false;
}

bool RunsWithoutInteractiveUser()
{
    const THandle token = ProcessToken();
    if (!token)
        return false;
    const std::vector<BYTE> user = TokenInformation(token.Get(), TokenUser);
    const std::vector<BYTE> groups = TokenInformation(token.Get(), TokenGroups);
    if (user.size() < sizeof(TOKEN_USER))
        return false;
    std::vector<PSID> enabled;
    if (groups.size() >= sizeof(TOKEN_GROUPS)) {
        const auto* list = reinterpret_cast<const TOKEN_GROUPS*>(groups.data());
        for (DWORD i = 0; i < list->GroupCount; ++i)
            if (list->Groups[i].Attributes & SE_GROUP_ENABLED)
                enabled.push_back(list->Groups[i].Sid);
    }
    return IsServiceIdentity(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid, enabled);
}

std::wstring ComputerName()
{
    for (COMPUTER_NAME_FORMAT format : {ComputerNameDnsHostname, ComputerNameNetBIOS}) {
        DWORD size = 0;
        GetComputerNameExW(format, nullptr, &size);
        if (size == 0)
            continue;
        std::wstring name(size, L'\0');
        if (GetComputerNameExW(format, name.data(), &size)) {
            name.resize(size);
            if (!name.empty())
                return name;
        }
    }
    // The system keeps the names in the registry; where they cannot be read there, the environment
    // still carries the NetBIOS name.
    wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 2] = {};
    const DWORD length = GetEnvironmentVariableW(L"COMPUTERNAME", buffer, static_cast<DWORD>(std::size(buffer)));
    return length < std::size(buffer) ? std::wstring(buffer, length) : std::wstring();
}
