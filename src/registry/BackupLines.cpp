#include "registry/BackupLines.h"

#include "common/Paths.h"

#include <cwchar>

std::wstring EscapeBackslashes(const std::wstring& text)
{
    std::wstring escaped = text;
    ReplaceAll(escaped, L"\\", L"\\\\");
    return escaped;
}

std::wstring BinaryBytes(const std::vector<BYTE>& bytes)
{
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text;
    text.reserve(bytes.size() * 3 + bytes.size() / 25 * 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
        if (i + 1 == bytes.size())
            break;
        text += L',';
        if (i > 0 && i % 25 == 0)
            text += L"\\\r";
    }
    return text;
}

TWideStrings BackupLinesFor(const TBackupEntry& entry)
{
    if (entry.Form == TBackupForm::Nothing)
        return {};
    TWideStrings lines{L"[" + entry.KeyPath + L"]"};
    const std::wstring name = entry.EscapeName ? EscapeBackslashes(entry.Name) : entry.Name;
    const std::wstring data = entry.EscapeData ? EscapeBackslashes(entry.Data) : entry.Data;
    const std::wstring quotedName = L"\"" + name + L"\"=";
    switch (entry.Form) {
    case TBackupForm::Nothing:
    case TBackupForm::KeyOnly:
        break;
    case TBackupForm::DefaultText:
        lines.push_back(L"@=\"" + data + L"\"");
        break;
    case TBackupForm::NamedText:
        lines.push_back(quotedName + L"\"" + data + L"\"");
        break;
    case TBackupForm::QuotedNamed:
        lines.push_back(quotedName + L"\"\\\"" + data + L"\\\"\"");
        break;
    case TBackupForm::EmptyData:
        lines.push_back(quotedName + L"\"\"");
        break;
    case TBackupForm::Dword: {
        wchar_t digits[9];
        std::swprintf(digits, 9, L"%08X", static_cast<unsigned>(entry.Number));
        lines.push_back(quotedName + L"dword:" + digits);
        break;
    }
    case TBackupForm::Binary:
        lines.push_back(quotedName + L"hex:" + BinaryBytes(entry.Bytes));
        break;
    }
    return lines;
}
