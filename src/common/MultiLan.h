#pragma once
// Language texts addressed by section and position, read from Language\<name>.lng.
#include "common/Types.h"

#include <optional>
#include <string>
#include <vector>

class TSettings;

// A section that the program reads and the highest position that any of its readers uses.
struct TSectionNeed {
    const wchar_t* Section;
    int HighestLine;
};

// A section that neither the selected file nor an English file can fill up to its highest position.
struct TSectionShortage {
    std::wstring File; // the selected language file
    bool FileExists = false;
    std::wstring Section;
    int Needed = 0; // lines
    int Found = 0;
};

class TMultiLan {
public:
    // needs: the sections the program reads; a section shorter than its need takes its missing lines,
    // at the end, from the English file's same section.
    TMultiLan(const std::wstring& settingsFile, const std::wstring& programFolder,
              std::vector<TSectionNeed> needs = {});
    // The language that the settings name (a policy's over Main.ini's).
    TMultiLan(const TSettings& settings, const std::wstring& programFolder, std::vector<TSectionNeed> needs = {});

    // The texts of the section in file order, completed from the English file where they fall short;
    // empty when no file has the section.
    TWideStrings GetSection(const std::wstring& section) const;
    // Raises Exception("List index out of bounds (n)") when no file has the line.
    std::wstring GetLine(const std::wstring& section, int position) const;
    // The first needed section that stays short after completion.
    std::optional<TSectionShortage> FirstShortage() const;

    std::wstring SettingsFile;
    std::wstring LanguageFile;
    std::wstring LanguageName;
    // The language that the settings name when it has no file; English is used instead.
    std::wstring MissingLanguage;

private:
    TWideStrings ReadSection(const std::wstring& section, size_t needed) const;
    size_t Needed(const std::wstring& section) const;
    // Where English is looked for: the settings folder's Language folder, then the program's own.
    std::vector<std::wstring> FallbackFiles() const;

    std::wstring ProgramFolder_;
    std::vector<TSectionNeed> Needs_;
};

// The built-in English message for a section that cannot be filled: names the file and the section.
std::wstring ShortageMessage(const TSectionShortage& shortage);

// Index into a list of texts the way the language lists are indexed: out of range raises an Exception.
const std::wstring& TextAt(const TWideStrings& texts, int position);
