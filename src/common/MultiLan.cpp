#include "common/MultiLan.h"

#include "common/Exception.h"
#include "common/IniFile.h"

namespace {

std::wstring JoinFolder(const std::wstring& folder, const std::wstring& tail)
{
    if (!folder.empty() && folder.back() == L'\\')
        return folder + tail;
    return folder + L"\\" + tail;
}

std::wstring FolderOf(const std::wstring& path)
{
    const size_t at = path.find_last_of(L"\\/");
    return at == std::wstring::npos ? std::wstring() : path.substr(0, at);
}

} // namespace

TMultiLan::TMultiLan(const std::wstring& settingsFile, const std::wstring& programFolder)
    : SettingsFile(settingsFile),
      LanguageName(TIniFile(settingsFile).ReadString(L"Main", L"Language", L"English"))
{
    LanguageFile = JoinFolder(programFolder, L"Language\\" + LanguageName + L".lng");
}

std::wstring TMultiLan::FallbackFile() const
{
    return JoinFolder(FolderOf(SettingsFile), L"Language\\English.lng");
}

TWideStrings TMultiLan::GetSection(const std::wstring& section) const
{
    TWideStrings lines = TIniFile(LanguageFile).ReadSectionLines(section);
    if (lines.empty())
        lines = TIniFile(FallbackFile()).ReadSectionLines(section);
    for (std::wstring& line : lines)
        line = LineValue(line);
    return lines;
}

std::wstring TMultiLan::GetLine(const std::wstring& section, int position) const
{
    return TextAt(GetSection(section), position);
}

const std::wstring& TextAt(const TWideStrings& texts, int position)
{
    if (position < 0 || static_cast<size_t>(position) >= texts.size())
        throw Exception("List index out of bounds (" + std::to_string(position) + ")");
    return texts[static_cast<size_t>(position)];
}
