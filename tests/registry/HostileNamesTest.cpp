// Names and values a registry may hold that ordinary tools do not make: names beyond the basic plane
// and lone surrogates (any UTF-16), names with a null inside, and very long values.
#include "RegistryFixture.h"

#include "common/SystemFolders.h"
#include "registry/UndoFile.h"

#include <winternl.h>

extern "C" NTSTATUS NTAPI NtCreateKey(PHANDLE key, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes, ULONG index,
                                      PUNICODE_STRING keyClass, ULONG options, PULONG disposition);
extern "C" NTSTATUS NTAPI NtOpenKey(PHANDLE key, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes);
extern "C" NTSTATUS NTAPI NtDeleteKey(HANDLE key);
extern "C" NTSTATUS NTAPI NtSetValueKey(HANDLE key, PUNICODE_STRING name, ULONG index, ULONG type, PVOID data,
                                        ULONG size);

namespace {

const std::wstring kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kGoneFile = L"C:\\BrisfoldGone\\gone.txt";

UNICODE_STRING Counted(const std::wstring& text)
{
    UNICODE_STRING counted;
    counted.Buffer = const_cast<wchar_t*>(text.data());
    counted.Length = counted.MaximumLength = static_cast<USHORT>(text.size() * sizeof(wchar_t));
    return counted;
}

// Opens the key below root\parent whose name the native calls take whole, nulls included.
OBJECT_ATTRIBUTES NativeName(const TRegKey& base, UNICODE_STRING& counted)
{
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &counted, OBJ_CASE_INSENSITIVE, base.Handle(), nullptr);
    return attributes;
}

// A key so named, removed again when the test ends, however it ends: the registry's own tree
// deletion takes names only up to the first null, so the scratch registry could not go otherwise.
class NativeKey {
public:
    NativeKey(HKEY root, const std::wstring& parent, const std::wstring& name) : Name_(name)
    {
        EXPECT_EQ(ERROR_SUCCESS, Parent_.Create(root, parent, KEY_ALL_ACCESS));
        Delete(); // what a crashed run left
        UNICODE_STRING counted = Counted(Name_);
        OBJECT_ATTRIBUTES attributes = NativeName(Parent_, counted);
        HANDLE key = nullptr;
        EXPECT_EQ(NtCreateKey(&key, KEY_ALL_ACCESS, &attributes, 0, nullptr, 0, nullptr), 0);
        CloseHandle(key);
    }
    ~NativeKey() { Delete(); }

private:
    void Delete()
    {
        UNICODE_STRING counted = Counted(Name_);
        OBJECT_ATTRIBUTES attributes = NativeName(Parent_, counted);
        HANDLE key = nullptr;
        if (NtOpenKey(&key, DELETE, &attributes) == 0) {
            EXPECT_EQ(NtDeleteKey(key), 0);
            CloseHandle(key);
        }
    }
    TRegKey Parent_;
    std::wstring Name_;
};

void NativeValue(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& text)
{
    TRegKey opened;
    ASSERT_EQ(ERROR_SUCCESS, opened.Create(root, key, KEY_ALL_ACCESS));
    UNICODE_STRING counted = Counted(name);
    std::wstring data = text;
    ASSERT_EQ(NtSetValueKey(opened.Handle(), &counted, 0, REG_SZ, data.data(),
                            static_cast<ULONG>((data.size() + 1) * sizeof(wchar_t))),
              0);
}

class HostileNames : public RegistryFixture {};

} // namespace

TEST_F(HostileNames, AnyUtf16NameComesBackUnchangedThroughListRepairAndUndoFile)
{
    OnlyCategories({L"Software", L"Startup", L"Openscan"});
    const std::wstring emptyKey = L"Software\\Empty\xD83C\xDF0E";            // a pair beyond the basic plane
    const std::wstring runName = L"Gone\xD83C\xDF0F";
    const std::wstring vendor = L"Software\\Vendor\xD83C\xDF0D\\Recent";
    const std::wstring loneName = L"Last\xD83C";                             // a lone high surrogate
    CreateRegKey(HKEY_CURRENT_USER, emptyKey);
    SetRegString(HKEY_LOCAL_MACHINE, kRun, runName, *Files / L"gone.exe");
    SetRegString(HKEY_CURRENT_USER, vendor, loneName, kGoneFile);

    auto scanner = MakeScanner();
    ASSERT_EQ(RunScan(*scanner), 3);
    const RegTree userBefore = Snapshot(HKEY_CURRENT_USER);
    const RegTree machineBefore = Snapshot(HKEY_LOCAL_MACHINE);
    const std::vector<std::wstring> keys{L"HKEY_CURRENT_USER\\" + emptyKey, L"HKEY_LOCAL_MACHINE\\" + kRun,
                                         L"HKEY_CURRENT_USER\\" + vendor};
    EXPECT_EQ(RowKeys(), keys);
    EXPECT_EQ(List.SubItem(1, 2), runName);
    EXPECT_EQ(List.SubItem(2, 2), loneName);
    EXPECT_EQ(scanner->Findings()[2].ValueName, loneName);
    EXPECT_EQ(scanner->BackupLines()[0], L"[" + keys[0] + L"]");

    RunRepair(*scanner);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Removed), 3);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, emptyKey));
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, kRun, runName));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, vendor, loneName));

    std::vector<TUndoKey> undo;
    std::wstring error;
    ASSERT_TRUE(ReadUndoFile(scanner->LastUndoFile, undo, error)) << Narrow(error);
    EXPECT_TRUE(RestoreUndoKeys(undo).Failures.empty());
    EXPECT_EQ(Differences(userBefore, Snapshot(HKEY_CURRENT_USER)), std::vector<std::string>{});
    EXPECT_EQ(Differences(machineBefore, Snapshot(HKEY_LOCAL_MACHINE)), std::vector<std::string>{});
}

TEST_F(HostileNames, NamesWithANullInsideAreNeverJudged)
{
    // Every call that takes a name would read these only up to the null and reach another key or
    // value: "Classes" (never listed) and "Last" (a file that exists).
    OnlyCategories({L"Software", L"Openscan"});
    const std::wstring shadow(L"Classes\0Shadow", 14);
    CreateRegKey(HKEY_CURRENT_USER, L"Software\\Classes");
    const NativeKey shadowKey(HKEY_CURRENT_USER, L"Software", shadow);
    SetRegString(HKEY_CURRENT_USER, L"Software\\Vendor", L"Last", SystemFolder() + L"\\notepad.exe");
    NativeValue(HKEY_CURRENT_USER, L"Software\\Vendor", std::wstring(L"Last\0Shadow", 11), kGoneFile);
    const RegTree before = Snapshot(HKEY_CURRENT_USER);

    auto scanner = MakeScanner();
    EXPECT_EQ(RunScan(*scanner), 0);
    EXPECT_EQ(Differences(before, Snapshot(HKEY_CURRENT_USER)), std::vector<std::string>{});
}

TEST_F(HostileNames, AVeryLongValueIsJudgedListedRepairedAndRestored)
{
    OnlyCategories({L"Startup", L"Openscan"});
    const std::wstring longPath = L"C:\\" + std::wstring(1 << 20, L'a') + L".exe";
    SetRegString(HKEY_LOCAL_MACHINE, kRun, L"Long", longPath);
    SetRegValue(HKEY_CURRENT_USER, L"Software\\Vendor", L"Blob", REG_BINARY, std::vector<BYTE>(8 << 20, 0x43));
    SetRegString(HKEY_CURRENT_USER, L"Software\\Vendor", L"LongText", std::wstring(1 << 20, L'x'));

    auto scanner = MakeScanner();
    ASSERT_EQ(RunScan(*scanner), 1);
    const RegTree before = Snapshot(HKEY_LOCAL_MACHINE);
    ASSERT_EQ(scanner->Findings().size(), 1u);
    EXPECT_EQ(scanner->Findings()[0].DataText, longPath);
    EXPECT_EQ(List.SubItem(0, 3).substr(0, 1000), longPath.substr(0, 1000));
    RunRepair(*scanner);
    EXPECT_EQ(scanner->LastRepair.Count(TOutcome::Removed), 1);
    std::vector<TUndoKey> undo;
    std::wstring error;
    ASSERT_TRUE(ReadUndoFile(scanner->LastUndoFile, undo, error)) << Narrow(error);
    EXPECT_TRUE(RestoreUndoKeys(undo).Failures.empty());
    EXPECT_EQ(Differences(before, Snapshot(HKEY_LOCAL_MACHINE)), std::vector<std::string>{});
}
