// Whom the quarantine's folders may belong to and who may write into them, judged on real security
// descriptors (their SDDL form) the way the system hands them out.
#include "quarantine/FolderTrust.h"
#include "quarantine/FolderWalk.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kOtherUser[] = L"S-1-5-21-1-2-3-1001";

} // namespace

TEST(FolderTrust, EachFolderIsJudgedByItsOwnerAndWhoMayWrite)
{
    const TFolderTrust machine({L"SY", L"BA"});
    const TFolderTrust user({L"SY", L"BA", kOtherUser});
    struct TCase {
        const TFolderTrust* Trust;
        std::wstring Sddl;
        const wchar_t* Refusal; // nullptr: the folder may be used
    };
    const TCase cases[] = {
        {&machine, L"O:BAG:SYD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", nullptr},
        {&machine, L"O:SYG:SYD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", nullptr},
        {&machine, L"O:BAD:(A;OICIIO;GA;;;CO)(A;OICI;FA;;;BA)", nullptr},
        {&machine, L"O:BAD:(D;OICI;FA;;;WD)(A;OICI;FA;;;BA)", nullptr},
        {&machine, std::wstring(L"O:") + kOtherUser + L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)",
         L"it is owned by S-1-5-21-1-2-3-1001"},
        {&user, std::wstring(L"O:") + kOtherUser + L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;" + kOtherUser + L")", nullptr},
        // What ProgramData gives a folder a standard user makes there: Users may add to it.
        {&machine, L"O:BAD:AI(A;OICIID;FA;;;SY)(A;OICIID;FA;;;BA)(A;CIID;DCLCRPCR;;;BU)(A;OICIID;0x1200a9;;;BU)",
         L"it lets S-1-5-32-545 write to it"},
        {&machine, L"O:BAD:(A;;0x100002;;;WD)(A;OICI;FA;;;BA)", L"it lets S-1-1-0 write to it"},
        {&machine, L"O:BAD:(A;OICIIO;FA;;;AU)(A;OICI;FA;;;BA)", L"it lets S-1-5-11 write to it"},
        {&machine, L"O:BAD:(A;;WD;;;IU)(A;OICI;FA;;;BA)", L"it lets S-1-5-4 write to it"},
        {&machine, L"O:BAD:(A;;GW;;;WD)", L"it lets S-1-1-0 write to it"},
        {&machine, L"not a descriptor", L"its security descriptor cannot be read"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Sddl));
        const std::optional<std::wstring> verdict = JudgeFolderSddl(c.Sddl, *c.Trust);
        if (c.Refusal)
            EXPECT_EQ(std::optional<std::wstring>(c.Refusal), verdict);
        else
            EXPECT_EQ(std::nullopt, verdict);
    }
}

TEST(FolderTrust, AFolderWithoutAnAccessListIsOpenToEveryone)
{
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size));
    ASSERT_TRUE(SetSecurityDescriptorOwner(&descriptor, administrators, FALSE));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE));
    EXPECT_EQ(std::optional<std::wstring>(L"it has no access list, so everyone may write to it"),
              JudgeFolderSecurity(&descriptor, TFolderTrust({L"SY", L"BA"})));
}

TEST(FolderTrust, TheAccessListOfWhatTheQuarantineMakesIsProtected)
{
    const TFolderTrust trust({L"SY", L"BA", kOtherUser});
    EXPECT_EQ(std::wstring(L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;") + kOtherUser + L")", trust.FolderSddl());
    EXPECT_EQ(std::wstring(L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;") + kOtherUser + L")", trust.FileSddl());
    EXPECT_EQ(std::nullopt, JudgeFolderSddl(std::wstring(L"O:BA") + trust.FolderSddl(), trust));
}

TEST(FolderWalk, OnlyPlainFullPathsSplitIntoSingleNames)
{
    struct TCase {
        const wchar_t* Path;
        const wchar_t* Root; // nullptr: refused
        size_t Steps;
    };
    const TCase cases[] = {
        {L"C:\\Program Files\\Pest\\pest.exe", L"C:\\", 3},
        {L"\\\\server\\share\\folder\\pest.exe", L"\\\\server\\share\\", 2},
        {L"c:\\x", L"c:\\", 1},
        {L"C:\\", nullptr, 0},
        {L"C:\\Pest\\", nullptr, 0},
        {L"C:Pest\\pest.exe", nullptr, 0},
        {L"\\Pest\\pest.exe", nullptr, 0},
        {L"Pest\\pest.exe", nullptr, 0},
        {L"C:\\Pest\\..\\Windows\\x.exe", nullptr, 0},
        {L"C:\\Pest\\.\\x.exe", nullptr, 0},
        {L"C:\\Pest\\\\x.exe", nullptr, 0},
        {L"C:\\Pest\\x.exe:stream", nullptr, 0},
        {L"C:\\Pest\\x*.exe", nullptr, 0},
        {L"C:\\Pest.\\x.exe", nullptr, 0},
        {L"C:\\Pest \\x.exe", nullptr, 0},
        {L"C:\\Pest/x.exe", nullptr, 0},
        {L"C:\\Pest\\x\x01.exe", nullptr, 0},
        {L"\\\\?\\C:\\Pest\\x.exe", nullptr, 0},
        {L"\\\\.\\PhysicalDrive0\\x", nullptr, 0},
        {L"\\\\server\\share", nullptr, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.Path)));
        const std::optional<TPlainPath> plain = SplitPlainPath(c.Path);
        ASSERT_EQ(c.Root != nullptr, plain.has_value());
        if (plain) {
            EXPECT_EQ(c.Root, plain->Root);
            EXPECT_EQ(c.Steps, plain->Steps.size());
        }
    }
}
