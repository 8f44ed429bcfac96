#include "junk/JunkList.h"

#include "common/Paths.h"

#include <objbase.h>

#include <array>

namespace {

constexpr wchar_t kByteOrderMark = 0xFEFF;
const wchar_t kLineEnd[] = L"\r\n";
// A list of half a million files of ordinary length; anything larger is no list the program wrote.
constexpr LONGLONG kMaxListBytes = 256LL << 20;

std::wstring Folder(const std::wstring& settingsFolder)
{
    return WithBackslash(settingsFolder);
}

bool WriteAll(HANDLE file, const std::wstring& text)
{
    const auto* bytes = reinterpret_cast<const BYTE*>(text.data());
    size_t left = text.size() * sizeof(wchar_t);
    while (left > 0) {
        const DWORD chunk = left > (1u << 24) ? (1u << 24) : static_cast<DWORD>(left);
        DWORD done = 0;
        if (!WriteFile(file, bytes, chunk, &done, nullptr) || done != chunk)
            return false;
        bytes += done;
        left -= done;
    }
    return true;
}

// The whole text of a UTF-16 file that starts with its byte-order mark (the mark left out); false for
// anything else. Opened so that the writer may still hold it.
bool ReadUtf16File(const std::wstring& path, std::wstring& text)
{
    text.clear();
    const THandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart < 2 || size.QuadPart > kMaxListBytes ||
        size.QuadPart % 2 != 0)
        return false;
    std::wstring content(static_cast<size_t>(size.QuadPart / 2), L'\0');
    auto* bytes = reinterpret_cast<BYTE*>(content.data());
    size_t left = static_cast<size_t>(size.QuadPart);
    while (left > 0) {
        DWORD done = 0;
        if (!ReadFile(file.Get(), bytes, static_cast<DWORD>(left), &done, nullptr) || done == 0)
            return false;
        bytes += done;
        left -= done;
    }
    if (content[0] != kByteOrderMark)
        return false;
    text = content.substr(1);
    return true;
}

std::vector<std::wstring> SplitLines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) {
            lines.push_back(text.substr(start)); // a line without its end: the file was cut
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

} // namespace

std::wstring JunkListPath(const std::wstring& settingsFolder, DWORD processId)
{
    return Folder(settingsFolder) + L"Junk list " + std::to_wstring(processId) + L".txt";
}

std::wstring JunkResultPath(const std::wstring& settingsFolder, DWORD processId)
{
    return Folder(settingsFolder) + L"Junk result " + std::to_wstring(processId) + L".txt";
}

std::wstring NewRemovalId()
{
    GUID guid{};
    std::array<wchar_t, 40> text{};
    if (FAILED(CoCreateGuid(&guid)) || StringFromGUID2(guid, text.data(), static_cast<int>(text.size())) == 0) {
        // Without a GUID the clock and the process still tell one removal from another.
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        return std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(now.QuadPart);
    }
    return text.data();
}

bool IsListablePath(const std::wstring& path)
{
    if (!IsFullyQualifiedPath(path) || path.find(L"..") != std::wstring::npos ||
        path.find_first_of(L"\t\r\n") != std::wstring::npos)
        return false;
    // Something below the drive root or the share, never the root itself.
    const size_t rootEnd = path[0] == L'\\' ? path.find(L'\\', path.find(L'\\', 2) + 1) : 2;
    return path.size() > rootEnd + 1;
}

bool TJunkListFile::Write(const std::wstring& path, const std::wstring& removalId,
                          const std::vector<TJunkListEntry>& entries)
{
    File_.Reset();
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || !CreateFolderChain(path.substr(0, slash)))
        return false;
    THandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    std::wstring text(1, kByteOrderMark);
    text += removalId + kLineEnd;
    for (const TJunkListEntry& entry : entries)
        text += entry.Path + L'\t' + entry.Expected + kLineEnd;
    text += removalId + kLineEnd;
    if (!WriteAll(file.Get(), text) || !FlushFileBuffers(file.Get()))
        return false;
    File_ = std::move(file);
    return true;
}

bool ReadJunkList(const std::wstring& path, const std::wstring& removalId, std::vector<TJunkListEntry>& entries)
{
    entries.clear();
    std::wstring text;
    if (removalId.empty() || !ReadUtf16File(path, text))
        return false;
    // Every line, the last one included, ends in CR LF: a text cut inside a line is no list.
    if (text.size() < 2 || text.compare(text.size() - 2, 2, kLineEnd) != 0)
        return false;
    const std::vector<std::wstring> lines = SplitLines(text);
    if (lines.size() < 2 || lines.front() != removalId || lines.back() != removalId)
        return false;
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        const std::wstring& line = lines[i];
        const size_t tab = line.find(L'\t');
        if (tab == std::wstring::npos)
            continue;
        TJunkListEntry entry{line.substr(0, tab), line.substr(tab + 1)};
        if (IsListablePath(entry.Path) && IsListablePath(entry.Expected))
            entries.push_back(std::move(entry));
    }
    return true;
}

bool TJunkResultWriter::Open(const std::wstring& path)
{
    File_.Reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (File_ && !WriteAll(File_.Get(), std::wstring(1, kByteOrderMark)))
        File_.Reset();
    return File_.Valid();
}

void TJunkResultWriter::Add(const std::wstring& file, TOutcome outcome)
{
    // Written straight to the file: what the program reads is what was done so far.
    if (File_)
        (void)WriteAll(File_.Get(), std::wstring(OutcomeName(outcome)) + L'\t' + file + kLineEnd);
}

std::map<std::wstring, TOutcome> ReadJunkResults(const std::wstring& path)
{
    std::map<std::wstring, TOutcome> results;
    std::wstring text;
    if (!ReadUtf16File(path, text))
        return results;
    // A line still being written when the file was read is left out.
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, kLineEnd) != 0)
        text.erase(text.rfind(kLineEnd) == std::wstring::npos ? 0 : text.rfind(kLineEnd) + 2);
    for (const std::wstring& line : SplitLines(text)) {
        const size_t tab = line.find(L'\t');
        if (tab == std::wstring::npos)
            continue;
        const std::wstring name = line.substr(0, tab);
        for (int i = 0; i < kOutcomeCount; ++i) {
            const auto outcome = static_cast<TOutcome>(i);
            if (name == OutcomeName(outcome)) {
                results[line.substr(tab + 1)] = outcome;
                break;
            }
        }
    }
    return results;
}
