#include "BrowserFixture.h"

#include "common/Handles.h"
#include "privacy/PrivacyCategories.h"
#include "support/ShellFolders.h"

void PrivacyBrowserTest::SetUp()
{
    PrivacyTest::SetUp();
    LocalAppData = Root.MakeFolder(L"LocalAppData");
    SetUserShellFolder(L"Local AppData", LocalAppData);
    MakeScanner();
}

std::wstring PrivacyBrowserTest::AllPositions(std::initializer_list<int> positions)
{
    std::wstring selection(kPrivacyCategoryCount, L'0');
    for (int position : positions)
        selection[static_cast<size_t>(position - 1)] = L'1';
    return selection;
}

void PrivacyBrowserTest::WriteFile(const std::wstring& path, const std::string& bytes) const
{
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    for (size_t slash = folder.find(L'\\', 3);; slash = folder.find(L'\\', slash + 1)) {
        CreateDirectoryW(folder.substr(0, slash).c_str(), nullptr);
        if (slash == std::wstring::npos)
            break;
    }
    WriteTextFile(path, bytes);
}

std::string PrivacyBrowserTest::FileBytes(const std::wstring& path)
{
    const THandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return "(missing)";
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read)
        bytes.append(buffer, read);
    return bytes;
}

std::vector<std::wstring> PrivacyBrowserTest::LinesWith(const std::wstring& text) const
{
    std::vector<std::wstring> found;
    for (const std::wstring& line : ListedLines())
        if (line.find(text) != std::wstring::npos)
            found.push_back(line);
    return found;
}

std::map<std::wstring, std::string> PrivacyBrowserTest::Snapshot(const std::vector<std::wstring>& paths)
{
    std::map<std::wstring, std::string> bytes;
    for (const std::wstring& path : paths)
        bytes[path] = FileBytes(path);
    return bytes;
}

void PrivacyBrowserTest::ExpectUnchanged(const std::map<std::wstring, std::string>& before)
{
    for (const auto& [path, bytes] : before)
        EXPECT_EQ(FileBytes(path), bytes) << testing::PrintToString(path) << " changed";
}
