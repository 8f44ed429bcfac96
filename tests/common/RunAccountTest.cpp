// Who the program runs as: service and system accounts have no interactive user behind them.
#include "common/RunAccount.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TSid {
    explicit TSid(WELL_KNOWN_SID_TYPE type)
    {
        DWORD size = sizeof Bytes;
        EXPECT_TRUE(CreateWellKnownSid(type, nullptr, Bytes, &size)) << "error " << GetLastError();
    }
    // S-1-5-21-1-2-3-1000: an ordinary local account.
    TSid()
    {
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        PSID sid = nullptr;
        EXPECT_TRUE(AllocateAndInitializeSid(&nt, 5, SECURITY_NT_NON_UNIQUE, 1, 2, 3, 1000, 0, 0, 0, &sid));
        CopySid(sizeof Bytes, Bytes, sid);
        FreeSid(sid);
    }
    PSID Get() { return Bytes; }
    BYTE Bytes[SECURITY_MAX_SID_SIZE] = {};
};

} // namespace

TEST(RunAccount, ServiceAndSystemAccountsHaveNoInteractiveUser)
{
    TSid system(WinLocalSystemSid), localService(WinLocalServiceSid), networkService(WinNetworkServiceSid);
    TSid person, interactive(WinInteractiveSid), users(WinBuiltinUsersSid), service(WinServiceSid),
        batch(WinBatchSid);
    struct TCase {
        const char* Name;
        PSID User;
        std::vector<PSID> Groups;
        bool Expected;
    };
    const TCase cases[] = {
        {"LocalSystem", system.Get(), {}, true},
        {"LocalService", localService.Get(), {users.Get()}, true},
        {"NetworkService", networkService.Get(), {}, true},
        {"a person at the console", person.Get(), {interactive.Get(), users.Get()}, false},
        {"a person's scheduled task", person.Get(), {batch.Get(), users.Get()}, false},
        {"a service running as a user account", person.Get(), {service.Get(), users.Get()}, true},
        {"no user at all", nullptr, {}, false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(IsServiceIdentity(c.User, c.Groups), c.Expected) << c.Name;
}

TEST(RunAccount, TheTestRunsAsAnInteractiveUserOnAMachineWithAName)
{
    EXPECT_FALSE(RunsWithoutInteractiveUser());
    EXPECT_FALSE(ComputerName().empty());
}
