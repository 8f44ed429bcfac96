#include "registry/UndoFile.h"

#include "common/Handles.h"
#include "common/Paths.h"
#include "common/SafeDelete.h"
#include "common/SystemError.h"

#include <cstring>
#include <cwchar>

namespace {

const wchar_t kHeader[] = L"Windows Registry Editor Version 5.00";
const wchar_t kNewLine[] = L"\r\n";
// The undo file names the place that holds each key, so nothing is redirected on the way there: in a
// 64-bit program that is no view flag at all.
constexpr REGSAM kNoRedirect = 0;
// Deeper than the registry lets keys nest.
constexpr int kMaxDepth = 512;
// Longest line before a hex list continues on the next one, as the system's own export writes it.
constexpr size_t kHexLineWidth = 76;

bool NameWritable(const std::wstring& name)
{
    return name.find_first_of(std::wstring(L"\r\n\0", 3)) == std::wstring::npos;
}

std::wstring QuoteEscaped(const std::wstring& text)
{
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        if (c == L'\\' || c == L'"')
            quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

// A string value comes back from its text form byte for byte only when it is exactly its text and
// one terminating null, and the text holds nothing an import would read differently.
bool TextFormExact(const TRegValue& value, std::wstring& text)
{
    if (value.Type != REG_SZ || value.Data.size() < 2 || value.Data.size() % 2 != 0)
        return false;
    const size_t chars = value.Data.size() / 2;
    text.assign(chars, L'\0');
    std::memcpy(text.data(), value.Data.data(), value.Data.size());
    if (text.back() != L'\0')
        return false;
    text.pop_back();
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c < L' ')
            return false;
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (low)
            return false;
        if (high) {
            if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return false;
            ++i;
        }
    }
    return true;
}

void AppendHex(std::wstring& line, const std::vector<BYTE>& bytes)
{
    static const wchar_t kDigits[] = L"0123456789abcdef";
    size_t width = line.size();
    for (size_t i = 0; i < bytes.size(); ++i) {
        line += kDigits[bytes[i] >> 4];
        line += kDigits[bytes[i] & 15];
        width += 2;
        if (i + 1 == bytes.size())
            break;
        line += L',';
        ++width;
        if (width >= kHexLineWidth) {
            line += L"\\\r\n  ";
            width = 2;
        }
    }
}

std::wstring KeyLine(HKEY root, const std::wstring& path)
{
    return L"[" + RootName(root) + (path.empty() ? L"" : L"\\" + path) + L"]";
}

TExportResult FromOpenStatus(LSTATUS status)
{
    return status == ERROR_FILE_NOT_FOUND ? TExportResult::Missing : TExportResult::Unreadable;
}

} // namespace

bool ExportValueLine(const std::wstring& name, const TRegValue& value, std::wstring& line)
{
    if (!NameWritable(name))
        return false;
    line = name.empty() ? std::wstring(L"@") : QuoteEscaped(name);
    line += L'=';
    std::wstring text;
    if (TextFormExact(value, text)) {
        line += QuoteEscaped(text);
    } else if (value.Type == REG_DWORD && value.Data.size() == 4) {
        wchar_t digits[16];
        std::swprintf(digits, 16, L"dword:%08x", static_cast<unsigned>(value.Dword()));
        line += digits;
    } else {
        wchar_t prefix[24];
        if (value.Type == REG_BINARY)
            std::swprintf(prefix, 24, L"hex:");
        else
            std::swprintf(prefix, 24, L"hex(%x):", static_cast<unsigned>(value.Type));
        line += prefix;
        AppendHex(line, value.Data);
    }
    return true;
}

TExportResult TUndoWriter::AddKeyTree(HKEY root, const std::wstring& path)
{
    TRegKey key;
    const LSTATUS status = key.Open(root, path, KEY_READ | kNoRedirect);
    if (status != ERROR_SUCCESS)
        return FromOpenStatus(status);
    std::wstring text;
    const TExportResult result = AddTree(root, path, key, text, 0);
    if (result == TExportResult::Added)
        Body_ += text;
    return result;
}

TExportResult TUndoWriter::AddTree(HKEY root, const std::wstring& path, const TRegKey& key, std::wstring& text,
                                   int depth)
{
    if (!NameWritable(path))
        return TExportResult::Unwritable;
    if (depth > kMaxDepth)
        return TExportResult::Unreadable;
    DWORD subKeyCount = 0;
    DWORD valueCount = 0;
    if (!key.Counts(subKeyCount, valueCount))
        return TExportResult::Unreadable;
    text += KeyLine(root, path) + kNewLine;
    const std::vector<TRegNamedValue> values = key.Values();
    if (values.size() != valueCount)
        return TExportResult::Unreadable;
    for (const TRegNamedValue& value : values) {
        std::wstring line;
        if (!ExportValueLine(value.Name, value.Value, line))
            return TExportResult::Unwritable;
        text += line + kNewLine;
    }
    text += kNewLine;
    const std::vector<std::wstring> names = key.SubKeyNames();
    if (names.size() != subKeyCount)
        return TExportResult::Unreadable;
    for (const std::wstring& name : names) {
        TRegKey child;
        const LSTATUS status = child.Open(key.Handle(), name, KEY_READ | kNoRedirect);
        if (status == ERROR_FILE_NOT_FOUND)
            continue; // gone since it was listed: nothing of it to save or delete
        if (status != ERROR_SUCCESS)
            return TExportResult::Unreadable;
        const TExportResult result = AddTree(root, path + L"\\" + name, child, text, depth + 1);
        if (result != TExportResult::Added)
            return result;
    }
    return TExportResult::Added;
}

TExportResult TUndoWriter::AddValue(HKEY root, const std::wstring& path, const std::wstring& valueName)
{
    if (!NameWritable(path))
        return TExportResult::Unwritable;
    TRegKey key;
    const LSTATUS status = key.Open(root, path, KEY_READ | kNoRedirect);
    if (status != ERROR_SUCCESS)
        return FromOpenStatus(status);
    TRegValue value;
    const LSTATUS read = key.ReadValue(valueName, value);
    if (read != ERROR_SUCCESS)
        return FromOpenStatus(read);
    std::wstring line;
    if (!ExportValueLine(valueName, value, line))
        return TExportResult::Unwritable;
    Body_ += KeyLine(root, path) + kNewLine + line + kNewLine + kNewLine;
    return TExportResult::Added;
}

std::wstring TUndoWriter::Text() const
{
    return std::wstring(kHeader) + kNewLine + kNewLine + Body_;
}

namespace {

std::wstring SystemMessage(DWORD error)
{
    const std::wstring message = SystemErrorText(error);
    return L"error " + std::to_wstring(error) + (message.empty() ? L"" : L", " + message);
}

} // namespace

std::wstring UndoFolder(const std::wstring& appDataFolder)
{
    return appDataFolder + L"\\Kelvor\\Dornique\\Backup\\Registry\\";
}

bool WriteUndoFile(const std::wstring& folder, const std::wstring& text, std::wstring& path, std::wstring& error)
{
    path.clear();
    const std::wstring base = folder + (folder.empty() || folder.back() == L'\\' ? L"" : L"\\");
    if (!CreateFolderChain(base)) {
        error = L"the folder " + base + L" could not be created (" + SystemMessage(GetLastError()) + L")";
        return false;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t stamp[64];
    std::swprintf(stamp, 64, L"Registry %04u-%02u-%02u %02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    THandle file;
    std::wstring name;
    for (int attempt = 1; attempt <= 1000 && !file; ++attempt) {
        name = base + stamp + (attempt == 1 ? L"" : L" (" + std::to_wstring(attempt) + L")") + L".reg";
        file.Reset(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) {
            error = L"the file " + name + L" could not be created (" + SystemMessage(GetLastError()) + L")";
            return false;
        }
    }
    if (!file) {
        error = L"no free file name in " + base;
        return false;
    }
    std::wstring content(1, wchar_t(0xFEFF));
    content += text;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(content.data());
    size_t left = content.size() * sizeof(wchar_t);
    bool written = true;
    while (left > 0 && written) {
        const DWORD chunk = left > (1u << 24) ? (1u << 24) : static_cast<DWORD>(left);
        DWORD done = 0;
        written = WriteFile(file.Get(), bytes, chunk, &done, nullptr) && done == chunk;
        bytes += done;
        left -= done;
    }
    written = written && FlushFileBuffers(file.Get());
    const DWORD failure = GetLastError();
    file.Reset();
    if (!written) {
        // Half an undo file would promise what it cannot bring back.
        (void)DeleteFileSafe(name); // our own new file; if it stays, the error below still stands
        error = L"the file " + name + L" could not be written (" + SystemMessage(failure) + L")";
        return false;
    }
    path = name;
    return true;
}
