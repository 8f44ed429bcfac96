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

std::vector<std::wstring> ExtensionCuts(const std::wstring& text)
{
    static const wchar_t* const kExtensions[] = {L".exe", L".dll", L".ocx", L".ax", L".cpl", L".ico"};
    const std::wstring lower = Lower(text);
    std::vector<std::wstring> cuts;
    for (size_t end = 1; end <= text.size(); ++end) {
        // A name ends here: at the end, or before a quote, a blank or a comma.
        if (end < text.size() && text[end] != L'"' && text[end] != L' ' && text[end] != L',')
            continue;
        for (const wchar_t* extension : kExtensions) {
            const size_t length = std::char_traits<wchar_t>::length(extension);
            if (end >= length && lower.compare(end - length, length, extension) == 0) {
                cuts.push_back(text.substr(0, end));
                break;
            }
        }
    }
    return cuts;
}

std::wstring CutAtKnownExtension(const std::wstring& text)
{
    const std::vector<std::wstring> cuts = ExtensionCuts(text);
    return cuts.empty() ? text : cuts.front();
}

std::vector<std::wstring> PrefixesAtBlanks(const std::wstring& text)
{
    std::vector<std::wstring> prefixes;
    for (size_t at = text.find(L' '); at != std::wstring::npos; at = text.find(L' ', at + 1))
        if (at > 0 && text[at - 1] != L' ')
            prefixes.push_back(text.substr(0, at));
    return prefixes;
}

std::wstring ResolveSystemForms(const std::wstring& text, const std::wstring& windowsFolder)
{
    const auto startsWith = [&text](const wchar_t* prefix) {
        const size_t length = std::char_traits<wchar_t>::length(prefix);
        return text.size() >= length && CompareStringOrdinal(text.c_str(), static_cast<int>(length), prefix,
                                                             static_cast<int>(length), TRUE) == CSTR_EQUAL;
    };
    const std::wstring windows = windowsFolder.empty() || windowsFolder.back() != L'\\' ? windowsFolder
                                                                                        : windowsFolder.substr(0, windowsFolder.size() - 1);
    if (startsWith(L"\\SystemRoot\\"))
        return windows.empty() ? text : windows + text.substr(11);
    if (startsWith(L"System32\\") || startsWith(L"SysWOW64\\"))
        return windows.empty() ? text : windows + L"\\" + text;
    for (const wchar_t* device : {L"\\??\\", L"\\\\?\\", L"\\\\.\\", L"\\DosDevices\\"}) {
        if (!startsWith(device))
            continue;
        const std::wstring rest = text.substr(std::char_traits<wchar_t>::length(device));
        return rest.size() >= 3 && IsDriveLetter(rest[0]) && rest[1] == L':' && rest[2] == L'\\' ? rest : text;
    }
    return text;
}

TCommandProgram ProgramOfCommand(const std::wstring& command)
{
    TCommandProgram program;
    const std::wstring text = TrimText(command);
    if (text.empty())
        return program;
    if (text.front() == L'"') {
        const size_t close = text.find(L'"', 1);
        const std::wstring quoted = close == std::wstring::npos ? std::wstring() : TrimText(text.substr(1, close - 1));
        if (quoted.empty())
            return program;
        program.Candidates = {quoted};
    } else {
        if (CountQuotes(text) % 2 != 0)
            return program;
        // An argument in quotes ends the program part.
        const std::wstring head = TrimText(text.substr(0, text.find(L'"')));
        program.Candidates = PrefixesAtBlanks(head);
        program.Candidates.push_back(head);
    }
    program.Parsed = true;
    return program;
}

bool LacksExtension(const std::wstring& path)
{
    const size_t name = path.find_last_of(L"\\/:");
    return path.find(L'.', name == std::wstring::npos ? 0 : name + 1) == std::wstring::npos;
}

bool IsFullLocalPath(const std::wstring& text)
{
    return text.size() >= 3 && IsDriveLetter(text[0]) && text[1] == L':' && text[2] == L'\\';
}

bool IsBareName(const std::wstring& text)
{
    return !text.empty() && text.find_first_of(L"\\/:%\"") == std::wstring::npos;
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
