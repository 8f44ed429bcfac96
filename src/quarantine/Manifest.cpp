#include "quarantine/Manifest.h"

#include "common/CodePage.h"
#include "common/Handles.h"
#include "common/HexDigit.h"
#include "common/SystemError.h"
#include "quarantine/FolderWalk.h"

#include <algorithm>
#include <cwchar>
#include <map>
#include <optional>

namespace {

const wchar_t kFormatLine[] = L"Quillmar Brisfold quarantine 1";
const wchar_t kNewLine[] = L"\r\n";
// Far more than any run writes; a larger file is not one of ours.
constexpr LONGLONG kMaxManifestBytes = 64LL << 20;

struct TKindName {
    TItemKind Kind;
    const wchar_t* Name;
};
constexpr TKindName kKindNames[] = {
    {TItemKind::File, L"file"},   {TItemKind::Folder, L"folder"}, {TItemKind::Key, L"key"},
    {TItemKind::Value, L"value"}, {TItemKind::Cookie, L"cookie"},
};

std::wstring Escaped(const std::wstring& text)
{
    std::wstring out;
    for (wchar_t c : text) {
        switch (c) {
        case L'%': out += L"%25"; break;
        case L'\t': out += L"%09"; break;
        case L'\r': out += L"%0D"; break;
        case L'\n': out += L"%0A"; break;
        default: out += c;
        }
    }
    return out;
}

std::optional<std::wstring> Unescaped(const std::wstring& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size() || HexDigitValue(text[i + 1]) < 0 || HexDigitValue(text[i + 2]) < 0)
            return std::nullopt;
        out += static_cast<wchar_t>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
        i += 2;
    }
    return out;
}

class TLineWriter {
public:
    explicit TLineWriter(const wchar_t* kind) : Text_(kind) {}
    TLineWriter& Field(const wchar_t* key, const std::wstring& value)
    {
        Text_ += L'\t';
        Text_ += key;
        Text_ += L'=';
        Text_ += Escaped(value);
        return *this;
    }
    TLineWriter& Number(const wchar_t* key, ULONGLONG value) { return Field(key, std::to_wstring(value)); }
    std::wstring Line() const { return Text_ + kNewLine; }

private:
    std::wstring Text_;
};

// The fields of one line; a field without "=", a bad escape or a key given twice makes it unreadable.
struct TFields {
    std::wstring Kind;
    std::map<std::wstring, std::wstring> Values;
    std::wstring Problem;

    const std::wstring* Get(const wchar_t* key) const
    {
        const auto found = Values.find(key);
        return found == Values.end() ? nullptr : &found->second;
    }
    std::wstring Text(const wchar_t* key) const
    {
        const std::wstring* value = Get(key);
        return value ? *value : std::wstring();
    }
    // A decimal number of at most 20 digits that fits; nothing for anything else.
    std::optional<ULONGLONG> Number(const wchar_t* key) const
    {
        const std::wstring* value = Get(key);
        if (!value || value->empty() || value->size() > 20 || value->find_first_not_of(L"0123456789") != std::wstring::npos)
            return std::nullopt;
        ULONGLONG number = 0;
        for (wchar_t c : *value) {
            const ULONGLONG digit = static_cast<ULONGLONG>(c - L'0');
            if (number > (~0ULL - digit) / 10)
                return std::nullopt;
            number = number * 10 + digit;
        }
        return number;
    }
};

TFields SplitFields(const std::wstring& line)
{
    TFields fields;
    size_t at = 0;
    for (bool first = true; at <= line.size(); first = false) {
        const size_t end = std::min(line.find(L'\t', at), line.size());
        const std::wstring part = line.substr(at, end - at);
        at = end + 1;
        if (first) {
            fields.Kind = part;
            continue;
        }
        const size_t equals = part.find(L'=');
        const std::optional<std::wstring> value =
            equals == std::wstring::npos ? std::nullopt : Unescaped(part.substr(equals + 1));
        if (!value) {
            fields.Problem = L"a field that is not key=value";
            break;
        }
        if (!fields.Values.emplace(part.substr(0, equals), *value).second) {
            fields.Problem = L"a field given twice";
            break;
        }
    }
    return fields;
}

std::optional<TItemKind> KindFromName(const std::wstring& name)
{
    for (const TKindName& entry : kKindNames)
        if (name == entry.Name)
            return entry.Kind;
    return std::nullopt;
}

bool IsSha256(const std::wstring& text)
{
    return text.size() == 64 && text.find_first_not_of(L"0123456789abcdef") == std::wstring::npos;
}

// An item line; the text of its problem when it cannot be used.
std::wstring ReadItem(const TFields& fields, TQuarantineItem& item)
{
    const std::optional<ULONGLONG> number = fields.Number(L"n");
    if (!number || *number == 0 || *number > 1000000)
        return L"an item without a number";
    item.Number = static_cast<int>(*number);
    const std::optional<TItemKind> kind = KindFromName(fields.Text(L"kind"));
    if (!kind)
        return L"an item of an unknown kind";
    item.Kind = *kind;
    item.Path = fields.Text(L"path");
    item.Real = fields.Text(L"real");
    item.Sha256 = fields.Text(L"sha256");
    item.Sddl = fields.Text(L"sddl");
    item.OtherVolume = fields.Text(L"volume") == L"other";
    item.Root = fields.Text(L"root");
    item.Key = fields.Text(L"key");
    item.Value = fields.Text(L"value");
    item.Definition = fields.Text(L"definition");
    item.Risk = fields.Text(L"risk");
    if (item.Path.empty())
        return L"an item without its path";
    if (item.Kind == TItemKind::File || item.Kind == TItemKind::Folder) {
        const std::optional<ULONGLONG> attributes = fields.Number(L"attributes");
        if (item.Real.empty() || !attributes || *attributes > 0xFFFFFFFFULL)
            return L"a file or folder without its place or attributes";
        item.Attributes = static_cast<DWORD>(*attributes);
        item.Created = fields.Number(L"created").value_or(0);
        item.Accessed = fields.Number(L"accessed").value_or(0);
        item.Written = fields.Number(L"written").value_or(0);
    }
    if (item.Kind == TItemKind::File) {
        const std::optional<ULONGLONG> size = fields.Number(L"size");
        if (!size || !IsSha256(item.Sha256))
            return L"a file without its size or SHA-256";
        item.Size = *size;
    }
    if ((item.Kind == TItemKind::Key || item.Kind == TItemKind::Value) && (item.Root.empty() || item.Key.empty()))
        return L"a registry entry without its key";
    return {};
}

} // namespace

TQuarantineItem* TManifest::Find(int number)
{
    for (TQuarantineItem& item : Items)
        if (item.Number == number)
            return &item;
    return nullptr;
}

const wchar_t* ItemKindName(TItemKind kind)
{
    for (const TKindName& entry : kKindNames)
        if (entry.Kind == kind)
            return entry.Name;
    return L"file";
}

std::wstring ManifestHead(const TManifest& manifest)
{
    return std::wstring(kFormatLine) + kNewLine +
           TLineWriter(L"run").Field(L"name", manifest.Name).Number(L"started", manifest.Started)
               .Field(L"undo", manifest.UndoFile).Line();
}

std::wstring ItemLine(const TQuarantineItem& item)
{
    TLineWriter line(L"item");
    line.Number(L"n", static_cast<ULONGLONG>(item.Number)).Field(L"kind", ItemKindName(item.Kind)).Field(L"path", item.Path);
    switch (item.Kind) {
    case TItemKind::File:
        line.Number(L"size", item.Size).Field(L"sha256", item.Sha256)
            .Field(L"volume", item.OtherVolume ? L"other" : L"same");
        [[fallthrough]];
    case TItemKind::Folder:
        line.Field(L"real", item.Real).Number(L"attributes", item.Attributes).Number(L"created", item.Created)
            .Number(L"accessed", item.Accessed).Number(L"written", item.Written).Field(L"sddl", item.Sddl);
        break;
    case TItemKind::Key:
    case TItemKind::Value:
        line.Field(L"root", item.Root).Field(L"key", item.Key);
        if (item.Kind == TItemKind::Value)
            line.Field(L"value", item.Value);
        break;
    case TItemKind::Cookie:
        line.Field(L"restorable", L"no");
        break;
    }
    return line.Field(L"definition", item.Definition).Field(L"risk", item.Risk).Line();
}

std::wstring DoneLine(int number, const std::wstring& sha256)
{
    TLineWriter line(L"done");
    line.Number(L"n", static_cast<ULONGLONG>(number));
    if (!sha256.empty())
        line.Field(L"sha256", sha256);
    return line.Line();
}

std::wstring LeftLine(int number, const std::wstring& text)
{
    return TLineWriter(L"left").Number(L"n", static_cast<ULONGLONG>(number)).Field(L"outcome", text).Line();
}

std::wstring RestoredLine(int number)
{
    return TLineWriter(L"restored").Number(L"n", static_cast<ULONGLONG>(number)).Line();
}

bool ParseManifest(const std::wstring& text, TManifest& manifest, std::wstring& error)
{
    manifest = TManifest{};
    std::vector<std::wstring> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find(L'\n', at);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(at, end - at);
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        lines.push_back(std::move(line));
        at = end + 1;
    }
    if (lines.empty() || lines[0] != kFormatLine) {
        error = L"it is not a quarantine manifest";
        return false;
    }
    const TFields run = lines.size() > 1 ? SplitFields(lines[1]) : TFields{};
    if (run.Kind != L"run" || !run.Problem.empty() || !run.Number(L"started")) {
        error = L"its run line is damaged";
        return false;
    }
    manifest.Name = run.Text(L"name");
    manifest.Started = *run.Number(L"started");
    manifest.UndoFile = run.Text(L"undo");
    for (size_t index = 2; index < lines.size(); ++index) {
        if (lines[index].empty())
            continue;
        const auto damaged = [&](const std::wstring& why) {
            manifest.Damaged.push_back(L"line " + std::to_wstring(index + 1) + L": " + why);
        };
        const TFields fields = SplitFields(lines[index]);
        if (!fields.Problem.empty()) {
            damaged(fields.Problem);
            continue;
        }
        if (fields.Kind == L"item") {
            TQuarantineItem item;
            if (const std::wstring problem = ReadItem(fields, item); !problem.empty())
                damaged(problem);
            else if (manifest.Find(item.Number))
                damaged(L"a second item numbered " + std::to_wstring(item.Number));
            else
                manifest.Items.push_back(std::move(item));
            continue;
        }
        const std::optional<ULONGLONG> number = fields.Number(L"n");
        TQuarantineItem* item = number && *number <= 1000000 ? manifest.Find(static_cast<int>(*number)) : nullptr;
        if (!item) {
            damaged(L"a line about no item of this run");
            continue;
        }
        if (fields.Kind == L"done") {
            const std::wstring sha256 = fields.Text(L"sha256");
            if (!sha256.empty() && !IsSha256(sha256)) {
                damaged(L"a SHA-256 that is none");
                continue;
            }
            item->Done = true;
            item->DoneSha256 = sha256;
        } else if (fields.Kind == L"left") {
            item->Left = true;
            item->LeftText = fields.Text(L"outcome");
        } else if (fields.Kind == L"restored") {
            item->Restored = true;
        } else {
            damaged(L"a line of an unknown kind");
        }
    }
    return true;
}

bool ReadManifest(const std::wstring& path, TManifest& manifest, std::wstring& error)
{
    THandle file(CreateFileW(LongPathForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        error = GetLastError() == ERROR_FILE_NOT_FOUND ? L"it has no manifest"
                                                       : L"its manifest cannot be opened (" +
                                                             SystemErrorText(GetLastError()) + L")";
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxManifestBytes) {
        error = L"its manifest is too large to be one";
        return false;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())) {
        error = L"its manifest cannot be read";
        return false;
    }
    return ParseManifest(Utf8ToWide(bytes), manifest, error);
}

namespace {

bool WriteAll(HANDLE file, const std::wstring& text, std::wstring& error)
{
    const std::string bytes = WideToUtf8(text);
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size() || !FlushFileBuffers(file)) {
        error = L"the manifest cannot be written (" + SystemErrorText(GetLastError()) + L")";
        return false;
    }
    return true;
}

} // namespace

bool CreateManifestFile(const std::wstring& path, const std::wstring& text, std::wstring& error)
{
    THandle file(CreateFileW(LongPathForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
    if (!file) {
        error = L"the manifest cannot be made (" + SystemErrorText(GetLastError()) + L")";
        return false;
    }
    return WriteAll(file.Get(), text, error);
}

bool AppendToManifest(const std::wstring& path, const std::wstring& text, std::wstring& error)
{
    THandle file(CreateFileW(LongPathForm(path).c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        error = L"the manifest cannot be opened (" + SystemErrorText(GetLastError()) + L")";
        return false;
    }
    return WriteAll(file.Get(), text, error);
}
