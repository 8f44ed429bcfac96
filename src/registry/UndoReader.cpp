// Reading an undo file back and restoring what it holds.
#include "registry/UndoFile.h"

#include "common/Handles.h"
#include "common/HexDigit.h"
#include "common/KeyLocation.h"

#include <cstring>

namespace {

const wchar_t kHeader[] = L"Windows Registry Editor Version 5.00";
// An undo file is a few megabytes at most; anything far larger is not one of ours.
constexpr LONGLONG kMaxFileBytes = 1LL << 30;

struct TLine {
    std::wstring Text;
    size_t Number; // from 1
};

std::vector<TLine> SplitLines(const std::wstring& text)
{
    std::vector<TLine> lines;
    size_t number = 1;
    for (size_t at = 0; at <= text.size();) {
        size_t end = text.find(L'\n', at);
        if (end == std::wstring::npos)
            end = text.size();
        size_t stop = end;
        if (stop > at && text[stop - 1] == L'\r')
            --stop;
        lines.push_back({text.substr(at, stop - at), number++});
        at = end + 1;
    }
    return lines;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring TrimLeft(const std::wstring& text)
{
    size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    return text.substr(at);
}

std::wstring TrimRight(std::wstring text)
{
    while (!text.empty() && IsBlank(text.back()))
        text.pop_back();
    return text;
}

class TParser {
public:
    explicit TParser(const std::wstring& text) : Lines_(SplitLines(text))
    {
        if (!Lines_.empty() && !Lines_[0].Text.empty() && Lines_[0].Text[0] == wchar_t(0xFEFF))
            Lines_[0].Text.erase(0, 1);
    }

    bool Run(std::vector<TUndoKey>& keys, std::wstring& error)
    {
        try {
            Parse(keys);
            return true;
        } catch (const std::wstring& message) {
            keys.clear();
            error = message;
            return false;
        }
    }

private:
    [[noreturn]] void Fail(const std::wstring& message) const
    {
        throw L"line " + std::to_wstring(Lines_[At_].Number) + L": " + message;
    }

    void Parse(std::vector<TUndoKey>& keys)
    {
        while (At_ < Lines_.size() && TrimRight(Lines_[At_].Text).empty())
            ++At_;
        if (At_ == Lines_.size() || TrimRight(Lines_[At_].Text) != kHeader)
            throw std::wstring(L"not a registry export file (the first line is not \"") + kHeader + L"\")";
        for (++At_; At_ < Lines_.size(); ++At_) {
            const std::wstring line = TrimLeft(Lines_[At_].Text);
            if (line.empty() || line[0] == L';')
                continue;
            if (line[0] == L'[')
                keys.push_back(ParseKey(line));
            else if (line[0] == L'@' || line[0] == L'"') {
                if (keys.empty())
                    Fail(L"a value before the first key");
                keys.back().Values.push_back(ParseValue(line));
            } else
                Fail(L"neither a key nor a value: " + line.substr(0, 60));
        }
    }

    TUndoKey ParseKey(const std::wstring& line) const
    {
        const size_t close = line.rfind(L']');
        if (close == std::wstring::npos || !TrimRight(line.substr(close + 1)).empty())
            Fail(L"a key line must end with \"]\"");
        const std::wstring text = line.substr(1, close - 1);
        if (!text.empty() && text[0] == L'-')
            Fail(L"the file asks to delete a key; an undo file only brings keys back");
        const size_t slash = text.find(L'\\');
        TUndoKey key;
        key.Root = RootFromName(text.substr(0, slash));
        if (!key.Root)
            Fail(L"unknown root key in \"" + text.substr(0, 80) + L"\"");
        key.Path = slash == std::wstring::npos ? std::wstring() : text.substr(slash + 1);
        key.Text = text;
        return key;
    }

    // A quoted text starting at line[at] (the opening quote); at ends after the closing quote.
    std::wstring QuotedText(const std::wstring& line, size_t& at) const
    {
        std::wstring text;
        for (++at; at < line.size(); ++at) {
            const wchar_t c = line[at];
            if (c == L'"') {
                ++at;
                return text;
            }
            if (c == L'\\') {
                if (at + 1 == line.size() || (line[at + 1] != L'\\' && line[at + 1] != L'"'))
                    Fail(L"a backslash in quotes must be followed by a backslash or a quote");
                text += line[++at];
                continue;
            }
            text += c;
        }
        Fail(L"a quoted text without its closing quote");
    }

    TRegNamedValue ParseValue(const std::wstring& line)
    {
        TRegNamedValue value;
        size_t at = 0;
        if (line[0] == L'@')
            at = 1;
        else
            value.Name = QuotedText(line, at);
        if (at >= line.size() || line[at] != L'=')
            Fail(L"a value name must be followed by \"=\"");
        const std::wstring data = line.substr(at + 1);
        if (!data.empty() && data[0] == L'"') {
            size_t end = 0;
            const std::wstring text = QuotedText(data, end);
            if (!TrimRight(data.substr(end)).empty())
                Fail(L"text after the closing quote");
            value.Value.Type = REG_SZ;
            value.Value.Data.resize((text.size() + 1) * sizeof(wchar_t));
            std::memcpy(value.Value.Data.data(), text.c_str(), value.Value.Data.size());
        } else if (data.compare(0, 6, L"dword:") == 0) {
            ParseDword(TrimRight(data.substr(6)), value.Value);
        } else if (data.compare(0, 3, L"hex") == 0) {
            ParseHex(data, value.Value);
        } else if (TrimRight(data) == L"-") {
            Fail(L"the file asks to delete a value; an undo file only brings values back");
        } else {
            Fail(L"unknown kind of data: " + data.substr(0, 40));
        }
        return value;
    }

    void ParseDword(const std::wstring& digits, TRegValue& value) const
    {
        if (digits.empty() || digits.size() > 8)
            Fail(L"a dword needs one to eight hexadecimal digits");
        uint32_t number = 0;
        for (wchar_t c : digits) {
            const int digit = HexDigitValue(c);
            if (digit < 0)
                Fail(L"a dword needs one to eight hexadecimal digits");
            number = number << 4 | static_cast<uint32_t>(digit);
        }
        value.Type = REG_DWORD;
        value.Data = {BYTE(number), BYTE(number >> 8), BYTE(number >> 16), BYTE(number >> 24)};
    }

    void ParseHex(const std::wstring& data, TRegValue& value)
    {
        size_t at = 3;
        value.Type = REG_BINARY;
        if (at < data.size() && data[at] == L'(') {
            const size_t close = data.find(L')', at);
            const std::wstring digits = close == std::wstring::npos ? L"" : data.substr(at + 1, close - at - 1);
            if (digits.empty() || digits.size() > 8)
                Fail(L"hex( must hold one to eight hexadecimal digits and a closing bracket");
            uint32_t type = 0;
            for (wchar_t c : digits) {
                if (HexDigitValue(c) < 0)
                    Fail(L"hex( must hold one to eight hexadecimal digits and a closing bracket");
                type = type << 4 | static_cast<uint32_t>(HexDigitValue(c));
            }
            value.Type = type;
            at = close + 1;
        }
        if (at >= data.size() || data[at] != L':')
            Fail(L"hex data must follow a colon");
        // The list may go on over continuation lines, each ending in a backslash.
        std::wstring list = TrimRight(data.substr(at + 1));
        while (!list.empty() && list.back() == L'\\') {
            list.pop_back();
            if (++At_ == Lines_.size())
                Fail(L"the file ends inside a hex list");
            list += TrimRight(TrimLeft(Lines_[At_].Text));
        }
        int high = -1;
        bool needComma = false;
        for (wchar_t c : list) {
            if (IsBlank(c))
                continue;
            if (c == L',') {
                if (high >= 0)
                    value.Data.push_back(static_cast<BYTE>(high));
                else if (!needComma)
                    Fail(L"an empty place in a hex list");
                high = -1;
                needComma = false;
                continue;
            }
            const int digit = HexDigitValue(c);
            if (digit < 0 || needComma)
                Fail(L"a hex list holds pairs of hexadecimal digits separated by commas");
            if (high < 0) {
                high = digit;
            } else {
                value.Data.push_back(static_cast<BYTE>(high << 4 | digit));
                high = -1;
                needComma = true;
            }
        }
        if (high >= 0)
            value.Data.push_back(static_cast<BYTE>(high));
    }

    std::vector<TLine> Lines_;
    size_t At_ = 0;
};

} // namespace

bool ParseUndoText(const std::wstring& text, std::vector<TUndoKey>& keys, std::wstring& error)
{
    keys.clear();
    return TParser(text).Run(keys, error);
}

bool ReadUndoFile(const std::wstring& path, std::vector<TUndoKey>& keys, std::wstring& error)
{
    keys.clear();
    THandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = L"the file cannot be opened (error " + std::to_wstring(GetLastError()) + L")";
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxFileBytes) {
        error = L"the file is too large to be an undo file";
        return false;
    }
    std::vector<BYTE> bytes(static_cast<size_t>(size.QuadPart));
    DWORD done = 0;
    if (!bytes.empty() && (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) ||
                           done != bytes.size())) {
        error = L"the file cannot be read (error " + std::to_wstring(GetLastError()) + L")";
        return false;
    }
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE || bytes.size() % 2 != 0) {
        error = L"not an undo file: it must be UTF-16 text with a byte-order mark";
        return false;
    }
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    std::memcpy(text.data(), bytes.data() + 2, bytes.size() - 2);
    return ParseUndoText(text, keys, error);
}

namespace {

// Opens the key at root\path for writing, making the steps that are missing. Writing through a
// registry link would put the entries wherever its maker chose (for an administrator's restore, any
// key of the machine): the key is reached one step at a time from where its nearest existing
// ancestor really lies (the system's own links resolved by the locator), each step opened as itself,
// and a link at any step is refused. ERROR_SUCCESS, or the error; link tells a refused link.
LSTATUS OpenForRestore(HKEY root, const std::wstring& path, TRegKey& key, bool& link)
{
    link = false;
    const std::vector<std::wstring> steps = KeySteps(path);
    const TKeyLocator locator;
    size_t existing = steps.size();
    TKeyLocation place = locator.Locate(root, JoinedKeySteps(steps, existing), 0);
    while (!place.Found() && existing > 0)
        place = locator.Locate(root, JoinedKeySteps(steps, --existing), 0);
    if (!place.Found())
        place = {root, L""};
    if (place.CrossesLink) {
        link = true;
        return ERROR_ACCESS_DENIED;
    }
    std::vector<std::wstring> walk = KeySteps(place.Path);
    walk.insert(walk.end(), steps.begin() + static_cast<std::ptrdiff_t>(existing), steps.end());
    key.Close();
    if (walk.empty())
        return key.Open(place.Root, L"", KEY_READ | KEY_WRITE);
    for (size_t i = 0; i < walk.size(); ++i) {
        const REGSAM access = i + 1 == walk.size() ? KEY_READ | KEY_WRITE
                                                   : KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_CREATE_SUB_KEY;
        const HKEY parent = key.IsOpen() ? key.Handle() : place.Root;
        TRegKey next;
        LSTATUS status = next.Open(parent, walk[i], access, REG_OPTION_OPEN_LINK);
        if (status == ERROR_FILE_NOT_FOUND) {
            // Made as a plain key; looked at again as itself, in case a link took the name meanwhile.
            TRegKey made;
            status = made.Create(parent, walk[i], access);
            if (status == ERROR_SUCCESS)
                status = next.Open(parent, walk[i], access, REG_OPTION_OPEN_LINK);
        }
        if (status != ERROR_SUCCESS)
            return status;
        if (IsLinkKey(next.Handle())) {
            link = true;
            return ERROR_ACCESS_DENIED;
        }
        key = std::move(next);
    }
    return ERROR_SUCCESS;
}

} // namespace

TRestoreReport RestoreUndoKeys(const std::vector<TUndoKey>& keys)
{
    TRestoreReport report;
    for (const TUndoKey& entry : keys) {
        TRegKey key;
        bool link = false;
        const LSTATUS status = OpenForRestore(entry.Root, entry.Path, key, link); // the place itself: no view flag
        if (link) {
            report.Failures.push_back(L"[" + entry.Text +
                                      L"]: a registry link lies on the way; nothing was written through it");
            continue;
        }
        if (status != ERROR_SUCCESS) {
            report.Failures.push_back(L"[" + entry.Text + L"]: error " + std::to_wstring(status));
            continue;
        }
        ++report.Keys;
        for (const TRegNamedValue& value : entry.Values) {
            const LSTATUS written = key.WriteValue(value.Name, value.Value);
            if (written == ERROR_SUCCESS)
                ++report.Values;
            else
                report.Failures.push_back(L"[" + entry.Text + L"] \"" + value.Name + L"\": error " +
                                          std::to_wstring(written));
        }
    }
    return report;
}
