// The removal deletes only what the scan listed: the list the program writes for Ravenwick.dll, the
// result the library writes back, and what happens to both.
#include "JunkFixture.h"

#include "common/AppFrame.h"
#include "common/ExpectedPath.h"
#include "common/IniFile.h"
#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "common/SystemFolders.h"
#include "junk/JunkList.h"
#include "junk/RemovalCalls.h"

#include <oleauto.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

// The UTF-16 bytes of a text, with the byte-order mark in front when asked.
std::string Utf16Bytes(const std::wstring& text, bool byteOrderMark = true)
{
    const std::wstring all = byteOrderMark ? std::wstring(1, wchar_t(0xFEFF)) + text : text;
    return std::string(reinterpret_cast<const char*>(all.data()), all.size() * sizeof(wchar_t));
}

std::wstring ReadUtf16(const std::wstring& path)
{
    const THandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    std::wstring text(4096, L'\0');
    DWORD read = 0;
    if (!file || !ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr))
        return {};
    text.resize(read / sizeof(wchar_t));
    return text;
}

} // namespace

TEST_F(JunkTest, RemovalDeletesOnlyWhatTheScanListed)
{
    struct TCase {
        const wchar_t* Name;
        std::map<std::wstring, std::wstring> AtScan, AtRepair;
        double Age; // of the file the scan did not list
        bool ArrivesAfterScan;
    } cases[] = {
        // Archive tools keep a document's old date when they unpack it into the temporary folder.
        {L"unpacked after the scan", {{L"Recycle", L"0"}}, {{L"Recycle", L"0"}}, 30, true},
        {L"RemoveDay lowered after the scan",
         {{L"Recycle", L"0"}, {L"RemoveDay", L"10"}},
         {{L"Recycle", L"0"}, {L"RemoveDay", L"0"}},
         5,
         false},
        {L"TempFile switched on after the scan", {{L"Recycle", L"0"}, {L"TempFile", L"0"}}, {{L"Recycle", L"0"}}, 30,
         false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.Name)));
        WriteSettings(c.AtScan);
        const std::wstring page = Root.MakeFile(L"Cache\\a.htm", 100);
        const std::wstring document = Root / L"Temp\\Unpacked\\report.doc";
        if (!c.ArrivesAfterScan) Root.MakeFile(L"Temp\\Unpacked\\report.doc", 100, c.Age);
        auto thread = RunScan();
        ASSERT_EQ(Listed(), std::vector<std::wstring>{page});
        if (c.ArrivesAfterScan) Root.MakeFile(L"Temp\\Unpacked\\report.doc", 100, c.Age);
        WriteSettings(c.AtRepair);

        RepairAndWait(*thread);
        EXPECT_FALSE(PathExists(page));
        EXPECT_TRUE(PathExists(document));
        EXPECT_EQ(thread->LastRepair.Count(TOutcome::Removed), 1);
        EXPECT_EQ(thread->LastRepair.Total(), 1);
        EXPECT_TRUE(DeleteFileW(document.c_str()));
    }
}

TEST_F(JunkTest, TheListIsHeldWhileTheRemovalRunsAndBothTracesGoOnceRead)
{
    // No settings folder yet: writing the list makes it.
    const std::wstring settings = SettingsFolderPath();
    ASSERT_FALSE(PathExists(settings));
    const std::wstring page = Root.MakeFile(L"Cache\\Content.IE5\\X1\\a.htm", 100);
    auto thread = RunScan();
    ASSERT_EQ(thread->JunkCount, 1);
    const std::wstring expected = ExpectedPath(Cache, page);
    ASSERT_FALSE(expected.empty());

    ASSERT_NO_FATAL_FAILURE(ExpectRemovalConfinedToRoot(*thread));
    ASSERT_TRUE(thread->Repair(Label));
    const std::wstring list = JunkListPath(settings);
    EXPECT_NE(list.find(L" " + std::to_wstring(GetCurrentProcessId()) + L"."), std::wstring::npos)
        << "one list per process";
    // Held without write sharing: nothing can change it while the library may read it.
    SetLastError(0xdeadbeef);
    const THandle writer(CreateFileW(list.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(writer);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    const std::wstring text = ReadUtf16(list);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text[0], wchar_t(0xFEFF));
    EXPECT_NE(text.find(L"\r\n" + page + L"\t" + expected + L"\r\n"), std::wstring::npos)
        << testing::PrintToString(text);

    EXPECT_TRUE(thread->CompleteRepairReport(60000));
    EXPECT_FALSE(PathExists(page));
    EXPECT_EQ(thread->LastRepair.Count(TOutcome::Removed), 1);
    // Both are traces of the user's files.
    EXPECT_FALSE(PathExists(list));
    EXPECT_FALSE(PathExists(JunkResultPath(settings)));
}

TEST_F(JunkTest, WithoutAReadableListTheLibraryDeletesNothing)
{
    WriteSettings({{L"Recycle", L"0"}, {L"IE Cache", L"0"}});
    for (const std::wstring& place : {TempFolder(), InternetCacheFolder()})
        ASSERT_TRUE(PathIsAtOrBelow(place, Root.Path())) << testing::PrintToString(place);
    const TModule library(LoadLibraryW(StandInLibrary().c_str()));
    ASSERT_TRUE(library);
    const auto createDll = reinterpret_cast<TCreateDll>(GetProcAddress(library.Get(), kCreateDllName));
    const auto repair = reinterpret_cast<LPTHREAD_START_ROUTINE>(GetProcAddress(library.Get(), kRepairTFileName));
    ASSERT_TRUE(createDll && repair);
    const std::wstring settings = SettingsFolderPath();
    const std::wstring file = Temp + L"\\old.tmp";

    struct TCase {
        const wchar_t* Name;
        bool Removes;
        // The list's path and bytes, given the id the library handed out and the expected path.
        std::function<std::pair<std::wstring, std::string>(const std::wstring& id, const std::wstring& expected)> List;
    } cases[] = {
        {L"as the program writes it", true,
         [&](const std::wstring& id, const std::wstring& expected) {
             return std::pair{JunkListPath(settings), Utf16Bytes(id + L"\r\n" + file + L"\t" + expected + L"\r\n" + id + L"\r\n")};
         }},
        {L"missing", false, [&](const std::wstring&, const std::wstring&) { return std::pair{std::wstring(), std::string()}; }},
        {L"without its byte-order mark", false,
         [&](const std::wstring& id, const std::wstring& expected) {
             return std::pair{JunkListPath(settings),
                              Utf16Bytes(id + L"\r\n" + file + L"\t" + expected + L"\r\n" + id + L"\r\n", false)};
         }},
        {L"cut short after the files", false,
         [&](const std::wstring& id, const std::wstring& expected) {
             return std::pair{JunkListPath(settings), Utf16Bytes(id + L"\r\n" + file + L"\t" + expected + L"\r\n")};
         }},
        {L"cut inside its last line", false,
         [&](const std::wstring& id, const std::wstring& expected) {
             return std::pair{JunkListPath(settings), Utf16Bytes(id + L"\r\n" + file + L"\t" + expected + L"\r\n" + id)};
         }},
        {L"of another removal", false,
         [&](const std::wstring&, const std::wstring& expected) {
             const std::wstring other = L"{00000000-0000-0000-0000-000000000000}";
             return std::pair{JunkListPath(settings),
                              Utf16Bytes(other + L"\r\n" + file + L"\t" + expected + L"\r\n" + other + L"\r\n")};
         }},
        {L"of another process", false,
         [&](const std::wstring& id, const std::wstring& expected) {
             return std::pair{JunkListPath(settings, GetCurrentProcessId() + 4),
                              Utf16Bytes(id + L"\r\n" + file + L"\t" + expected + L"\r\n" + id + L"\r\n")};
         }},
        {L"naming the file by a relative path", false,
         [&](const std::wstring& id, const std::wstring& expected) {
             return std::pair{JunkListPath(settings),
                              Utf16Bytes(id + L"\r\nTemp\\old.tmp\t" + expected + L"\r\n" + id + L"\r\n")};
         }},
        {L"without the file's expected path", false,
         [&](const std::wstring& id, const std::wstring&) {
             return std::pair{JunkListPath(settings), Utf16Bytes(id + L"\r\n" + file + L"\t\r\n" + id + L"\r\n")};
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.Name)));
        Root.MakeFile(L"Temp\\old.tmp", 10, 30);
        BSTR text = nullptr;
        createDll(&text, MainIniPath().c_str());
        ASSERT_NE(text, nullptr) << "the library hands out the id of the removal";
        const std::wstring id = text;
        SysFreeString(text);
        const auto [path, bytes] = c.List(id, ExpectedPath(Temp, file));
        if (!path.empty()) WriteTextFile(path, bytes);
        EXPECT_EQ(repair(nullptr), 0u);
        EXPECT_EQ(PathExists(file), !c.Removes);
        if (!path.empty()) EXPECT_TRUE(DeleteFileW(path.c_str()));
        DeleteFileW(JunkResultPath(settings).c_str());
        DeleteFileW(file.c_str());
    }
}

TEST_F(JunkTest, ListLinesThatNameNoFullPathAreSkipped)
{
    const std::wstring list = Root / L"list.txt";
    const std::wstring id = L"{11111111-2222-3333-4444-555555555555}";
    const std::vector<std::pair<std::wstring, bool>> lines = {
        {L"C:\\Temp\\a.tmp\tC:\\Temp\\a.tmp", true},
        {L"\\\\server\\share\\Temp\\b.tmp\t\\\\server\\share\\Temp\\b.tmp", true},
        {L"Temp\\c.tmp\tC:\\Temp\\c.tmp", false},
        {L"\\Temp\\d.tmp\tC:\\Temp\\d.tmp", false},
        {L"C:Temp\\e.tmp\tC:\\Temp\\e.tmp", false},
        {L"C:\\Temp\\..\\Windows\\f.tmp\tC:\\Windows\\f.tmp", false},
        {L"C:\\Temp\\g.tmp\tC:\\Temp\\..\\g.tmp", false},
        {L"\\\\?\\C:\\Temp\\h.tmp\tC:\\Temp\\h.tmp", false},
        {L"\\\\server\\share\tC:\\Temp\\i.tmp", false},
        {L"\tC:\\Temp\\j.tmp", false},
        {L"C:\\Temp\\k.tmp\t", false},
        {L"", false},
    };
    std::wstring text = id + L"\r\n";
    std::vector<std::wstring> kept;
    for (const auto& [line, valid] : lines) {
        text += line + L"\r\n";
        if (valid) kept.push_back(line.substr(0, line.find(L'\t')));
    }
    WriteTextFile(list, Utf16Bytes(text + id + L"\r\n"));
    std::vector<TJunkListEntry> entries;
    ASSERT_TRUE(ReadJunkList(list, id, entries));
    std::vector<std::wstring> paths;
    for (const TJunkListEntry& entry : entries) paths.push_back(entry.Path);
    EXPECT_EQ(paths, kept);
    EXPECT_FALSE(ReadJunkList(list, L"", entries)) << "no id, no list";
    EXPECT_TRUE(entries.empty());
}
