#include "common/MultiLan.h"

#include "common/Exception.h"
#include "common/IniFile.h"
#include "common/Settings.h"
#include "common/Kelvor_Routine.h"
#include "common/TextCompare.h"

#include <windows.h>

#include <algorithm>

namespace {

const wchar_t kEnglish[] = L"English";

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

std::wstring LanguagePath(const std::wstring& folder, const std::wstring& name)
{
    return JoinFolder(folder, L"Language\\" + name + L".lng");
}

// A name from the settings is a file name, never a path that leads out of the Language folder.
bool IsPlainName(const std::wstring& name)
{
    return !name.empty() && name.find_first_of(L"\\/:") == std::wstring::npos && name != L"." && name != L"..";
}

} // namespace

TMultiLan::TMultiLan(const std::wstring& settingsFile, const std::wstring& programFolder,
                     std::vector<TSectionNeed> needs)
    : TMultiLan(TSettings(settingsFile), programFolder, std::move(needs))
{
}

TMultiLan::TMultiLan(const TSettings& settings, const std::wstring& programFolder, std::vector<TSectionNeed> needs)
    : SettingsFile(settings.IniPath()),
      LanguageName(settings.ReadString(kMainSection, L"Language", kEnglish)),
      ProgramFolder_(programFolder),
      Needs_(std::move(needs))
{
    LanguageFile = LanguagePath(programFolder, LanguageName);
    if (!SameText(LanguageName, kEnglish) && !(IsPlainName(LanguageName) && FileExists(LanguageFile))) {
        MissingLanguage = LanguageName;
        LanguageName = kEnglish;
        LanguageFile = LanguagePath(programFolder, LanguageName);
    }
}

std::vector<std::wstring> TMultiLan::FallbackFiles() const
{
    std::vector<std::wstring> files{LanguagePath(FolderOf(SettingsFile), kEnglish)};
    const std::wstring own = LanguagePath(ProgramFolder_, kEnglish);
    if (!SameText(own, files.front()))
        files.push_back(own);
    return files;
}

size_t TMultiLan::Needed(const std::wstring& section) const
{
    for (const TSectionNeed& need : Needs_)
        if (SameText(need.Section, section))
            return static_cast<size_t>(std::max(need.HighestLine + 1, 0));
    return 0;
}

TWideStrings TMultiLan::ReadSection(const std::wstring& section, size_t needed) const
{
    TWideStrings lines = TIniFile(LanguageFile).ReadSectionLines(section);
    // An empty section is completed like a short one: the English lines stand in for all of it.
    needed = std::max<size_t>(needed, 1);
    for (const std::wstring& file : FallbackFiles()) {
        if (lines.size() >= needed)
            break;
        if (SameText(file, LanguageFile))
            continue;
        const TWideStrings english = TIniFile(file).ReadSectionLines(section);
        // Only lines past the section's end: a line within it stands for the same text in any language.
        lines.insert(lines.end(), english.begin() + static_cast<ptrdiff_t>(std::min(lines.size(), english.size())),
                     english.end());
    }
    for (std::wstring& line : lines)
        line = LineValue(line);
    return lines;
}

TWideStrings TMultiLan::GetSection(const std::wstring& section) const
{
    return ReadSection(section, Needed(section));
}

std::wstring TMultiLan::GetLine(const std::wstring& section, int position) const
{
    const size_t needed = position < 0 ? 0 : static_cast<size_t>(position) + 1;
    return TextAt(ReadSection(section, std::max(Needed(section), needed)), position);
}

std::optional<TSectionShortage> TMultiLan::FirstShortage() const
{
    for (const TSectionNeed& need : Needs_) {
        const size_t needed = Needed(need.Section);
        const size_t found = GetSection(need.Section).size();
        if (found < needed)
            return TSectionShortage{LanguageFile, FileExists(LanguageFile), need.Section, static_cast<int>(needed),
                                    static_cast<int>(found)};
    }
    return std::nullopt;
}

std::wstring ShortageMessage(const TSectionShortage& shortage)
{
    std::wstring text = L"The language file \"" + shortage.File + L"\"";
    if (!shortage.FileExists)
        text += L" is missing, so the texts of its section [" + shortage.Section + L"] cannot be read.";
    else
        text += L" is incomplete: its section [" + shortage.Section + L"] has " + std::to_wstring(shortage.Found) +
                L" of the " + std::to_wstring(shortage.Needed) + L" lines that the program needs.";
    return text + L" Please reinstall the program.";
}

const std::wstring& TextAt(const TWideStrings& texts, int position)
{
    if (position < 0 || static_cast<size_t>(position) >= texts.size())
        throw Exception("List index out of bounds (" + std::to_string(position) + ")");
    return texts[static_cast<size_t>(position)];
}
