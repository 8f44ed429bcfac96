#include "support/RegFile.h"

#include "common/CodePage.h"
#include "common/Registry.h"

#include <fstream>
#include <iterator>

namespace {

std::wstring FileText(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::wstring text((bytes.size() - 2) / 2, L'\0');
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                           (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
        return text;
    }
    return AnsiToWide(bytes);
}

// The logical lines: a line ending in a backslash continues on the next one (long hex data).
std::vector<std::wstring> LogicalLines(const std::wstring& text, std::vector<int>& numbers)
{
    std::vector<std::wstring> lines;
    std::wstring current;
    int number = 0;
    bool continued = false;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        if (continued)
            line.erase(0, line.find_first_not_of(L' '));
        else
            numbers.push_back(number);
        // Only hex data is continued; a quoted text ends in its quote.
        continued = !line.empty() && line.back() == L'\\' && (current + line).find(L"=hex") != std::wstring::npos;
        current += continued ? line.substr(0, line.size() - 1) : line;
        if (!continued) {
            lines.push_back(current);
            current.clear();
        }
    }
    return lines;
}

// A quoted text from at (which holds the opening quote); at ends after the closing quote.
bool Quoted(const std::wstring& line, size_t& at, std::wstring& text)
{
    text.clear();
    for (++at; at < line.size(); ++at) {
        if (line[at] == L'"') {
            ++at;
            return true;
        }
        if (line[at] == L'\\' && at + 1 < line.size())
            ++at;
        text += line[at];
    }
    return false;
}

bool HexBytes(const std::wstring& text, std::vector<BYTE>& bytes)
{
    bytes.clear();
    size_t at = 0;
    while (at < text.size()) {
        if (text[at] == L',' || text[at] == L' ') {
            ++at;
            continue;
        }
        size_t used = 0;
        const unsigned long value = std::stoul(text.substr(at, 2), &used, 16);
        if (used != 2)
            return false;
        bytes.push_back(static_cast<BYTE>(value));
        at += 2;
    }
    return true;
}

bool ParseData(const std::wstring& data, TRegValue& value)
{
    value = {};
    if (!data.empty() && data[0] == L'"') {
        size_t at = 0;
        std::wstring text;
        if (!Quoted(data, at, text))
            return false;
        value.Type = REG_SZ;
        const auto* raw = reinterpret_cast<const BYTE*>(text.c_str());
        value.Data.assign(raw, raw + (text.size() + 1) * sizeof(wchar_t));
        return true;
    }
    if (data.rfind(L"dword:", 0) == 0) {
        if (data.size() != 14)
            return false;
        const unsigned long number = std::stoul(data.substr(6), nullptr, 16);
        value.Type = REG_DWORD;
        for (int i = 0; i < 4; ++i)
            value.Data.push_back(static_cast<BYTE>(number >> (8 * i)));
        return true;
    }
    if (data.rfind(L"hex:", 0) == 0) {
        value.Type = REG_BINARY;
        return HexBytes(data.substr(4), value.Data);
    }
    if (data.rfind(L"hex(", 0) == 0) {
        const size_t close = data.find(L"):");
        if (close == std::wstring::npos)
            return false;
        value.Type = std::stoul(data.substr(4, close - 4), nullptr, 16);
        return HexBytes(data.substr(close + 2), value.Data);
    }
    return false;
}

} // namespace

TRegImport ImportRegFile(const std::wstring& path)
{
    TRegImport result;
    std::vector<int> numbers;
    const std::vector<std::wstring> lines = LogicalLines(FileText(path), numbers);
    TRegKey key;
    auto fail = [&](size_t i, const std::string& what) {
        result.Errors.push_back("line " + std::to_string(numbers[i]) + ": " + what);
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::wstring& line = lines[i];
        if (line.empty() || line[0] == L';' || line.rfind(L"Windows Registry Editor", 0) == 0)
            continue;
        if (line[0] == L'[') {
            key.Close();
            const size_t close = line.rfind(L']');
            const std::wstring name = line.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
            const size_t slash = name.find(L'\\');
            const HKEY root = RootFromName(name.substr(0, slash));
            if (!root || slash == std::wstring::npos) {
                fail(i, "key outside the known roots");
                continue;
            }
            if (key.Create(root, name.substr(slash + 1), KEY_ALL_ACCESS) != ERROR_SUCCESS)
                fail(i, "key not created");
            else
                ++result.Keys;
            continue;
        }
        std::wstring valueName;
        size_t at = 0;
        if (line[0] == L'@')
            at = 1;
        else if (line[0] != L'"' || !Quoted(line, at, valueName)) {
            fail(i, "unreadable value name");
            continue;
        }
        TRegValue value;
        try {
            if (at >= line.size() || line[at] != L'=' || !ParseData(line.substr(at + 1), value)) {
                fail(i, "unreadable value data");
                continue;
            }
        } catch (const std::exception&) {
            fail(i, "unreadable number");
            continue;
        }
        if (!key.IsOpen() || key.WriteValue(valueName, value) != ERROR_SUCCESS)
            fail(i, "value not written");
        else
            ++result.Values;
    }
    return result;
}
