#include "registry/PathTests.h"

#include "common/Kelvor_Routine.h"

#include "common/Paths.h"

#include <cwctype>

namespace {

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

} // namespace

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring ExpandSystemRoot(std::wstring text, const std::wstring& windowsFolder)
{
    ReplaceAll(text, L"%SystemRoot%", windowsFolder);
    return text;
}

std::wstring RemoveQuotes(std::wstring text)
{
    std::erase(text, L'"');
    return text;
}

int CountQuotes(const std::wstring& text)
{
    int count = 0;
    for (wchar_t c : text)
        count += c == L'"';
    return count;
}

bool HasDrivePathForm(const std::wstring& text)
{
    return text.size() >= 2 && text[1] == L':' && text.find(L':', 2) == std::wstring::npos;
}

bool PassesFixedDriveTest(const std::wstring& text, const TDriveTypeQuery& driveType)
{
    if (text.size() < 3 || !IsDriveLetter(text[0]) || text[1] != L':' || text[2] != L'\\')
        return false;
    return driveType && driveType(text.substr(0, 3)) == DRIVE_FIXED;
}

std::wstring CutAtKnownExtension(const std::wstring& text)
{
    static const wchar_t* const kExtensions[] = {L".exe", L".dll", L".ocx", L".ax", L".cpl", L".ico"};
    const std::wstring lower = Lower(text);
    for (const wchar_t* extension : kExtensions) {
        const size_t at = lower.find(extension);
        if (at != std::wstring::npos)
            return text.substr(0, at + std::char_traits<wchar_t>::length(extension));
    }
    return text;
}

bool HasExtensionMark(const std::wstring& text, bool twoCharacters)
{
    const size_t length = CutAtKnownExtension(text).size();
    if (length >= 4 && text[length - 4] == L'.')
        return true;
    return twoCharacters && length >= 3 && text[length - 3] == L'.';
}

bool EndsInDotAndThree(const std::wstring& text)
{
    return text.size() >= 4 && text[text.size() - 4] == L'.';
}

TPathAttributes QueryPathAttributes(const std::wstring& path)
{
    TPathAttributes answer;
    answer.Attributes = GetFileAttributesW(path.c_str());
    if (answer.Attributes == INVALID_FILE_ATTRIBUTES)
        answer.Error = GetLastError();
    return answer;
}
