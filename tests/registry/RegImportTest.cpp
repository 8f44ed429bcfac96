// An undo file is an ordinary registry export: the system's own import tool reads it back. This test
// works in the prefix's real HKEY_CURRENT_USER (a child process does not see redirected roots), below
// a key of its own that it removes before and after.
#include "RegistryFixture.h"

#include "common/Handles.h"
#include "common/SafeDelete.h"
#include "common/SystemFolders.h"
#include "registry/UndoFile.h"

namespace {

std::vector<BYTE> Raw(std::initializer_list<int> bytes)
{
    std::vector<BYTE> raw;
    for (int b : bytes)
        raw.push_back(static_cast<BYTE>(b));
    return raw;
}

// Runs a command line and returns its exit code (or -1 when it did not end within a minute).
int RunCommand(std::wstring commandLine)
{
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return -2;
    THandle thread(process.hThread);
    THandle child(process.hProcess);
    if (WaitForSingleObject(child.Get(), 60000) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(child.Get(), &code);
    return static_cast<int>(code);
}

} // namespace

TEST(RegImport, TheSystemImportToolRestoresAnUndoFile)
{
    const std::wstring key = L"Software\\BrisfoldRegImport-" + TestProgramName();
    ASSERT_FALSE(RegKeyExists(HKEY_CURRENT_USER, L"BrisfoldScratchSentinel")) << "this test needs the real roots";
    (void)DeleteRegTreeSafe(HKEY_CURRENT_USER, key); // what a crashed run left

    std::vector<BYTE> longBinary(3000);
    for (size_t i = 0; i < longBinary.size(); ++i)
        longBinary[i] = static_cast<BYTE>(i * 13);
    // Every kind of value but string-typed data that is empty or of odd size, which the system tool of
    // Wine 8 cannot read.
    const struct {
        const wchar_t* Name;
        DWORD Type;
        std::vector<BYTE> Bytes;
    } values[] = {
        {L"", REG_SZ, TextBytes(L"default")},
        {L"plain", REG_SZ, TextBytes(L"C:\\path \"quoted\" [x] =y")},
        {L"embedded null", REG_SZ, TextBytes(std::wstring(L"a\0b", 3))},
        {L"unterminated", REG_SZ, TextBytes(L"abc", false)},
        {L"empty text", REG_SZ, TextBytes(L"")},
        {L"expand", REG_EXPAND_SZ, TextBytes(L"%SystemRoot%\\x.dll")},
        {L"multi", REG_MULTI_SZ, TextBytes(std::wstring(L"a\0b\0", 4))},
        {L"qword", REG_QWORD, Raw({1, 2, 3, 4, 5, 6, 7, 8})},
        {L"none", REG_NONE, Raw({1, 2, 3})},
        {L"dword", REG_DWORD, Raw({0x0a, 0, 0, 0})},
        {L"short dword", REG_DWORD, Raw({1, 2, 3})},
        {L"long binary", REG_BINARY, longBinary},
        {L"empty binary", REG_BINARY, {}},
        {L"a\\b\"c", REG_SZ, TextBytes(L"escaped name")},
    };
    for (const auto& value : values) {
        SetRegValue(HKEY_CURRENT_USER, key, value.Name, value.Type, value.Bytes);
        SetRegValue(HKEY_CURRENT_USER, key + L"\\Nested", value.Name, value.Type, value.Bytes);
    }
    CreateRegKey(HKEY_CURRENT_USER, key + L"\\Nested\\Empty");
    const RegTree before = Snapshot(HKEY_CURRENT_USER, key);

    TUndoWriter writer;
    ASSERT_EQ(writer.AddKeyTree(HKEY_CURRENT_USER, key), TExportResult::Added);
    ScratchFolder folder(L"import");
    std::wstring file, error;
    ASSERT_TRUE(WriteUndoFile(folder.Path(), writer.Text(), file, error)) << Narrow(error);
    ASSERT_EQ(TOutcome::Removed, DeleteRegTreeSafe(HKEY_CURRENT_USER, key));
    ASSERT_FALSE(RegKeyExists(HKEY_CURRENT_USER, key));

    EXPECT_EQ(RunCommand(L"\"" + SystemFolder() + L"\\reg.exe\" import \"" + file + L"\""), 0);
    EXPECT_EQ(Differences(before, Snapshot(HKEY_CURRENT_USER, key)), std::vector<std::string>{});
    EXPECT_EQ(TOutcome::Removed, DeleteRegTreeSafe(HKEY_CURRENT_USER, key));
}
