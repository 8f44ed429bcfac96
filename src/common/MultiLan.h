#pragma once
// Language texts addressed by section and position, read from Language\<name>.lng.
#include "common/Types.h"

#include <string>

class TMultiLan {
public:
    TMultiLan(const std::wstring& settingsFile, const std::wstring& programFolder);

    // The texts of the section in file order; empty when neither the selected nor the fallback file has it.
    TWideStrings GetSection(const std::wstring& section) const;
    // Raises Exception("List index out of bounds (n)") when the section has no such line.
    std::wstring GetLine(const std::wstring& section, int position) const;

    std::wstring SettingsFile;
    std::wstring LanguageFile;
    std::wstring LanguageName;

private:
    std::wstring FallbackFile() const;
};

// Index into a list of texts the way the language lists are indexed: out of range raises an Exception.
const std::wstring& TextAt(const TWideStrings& texts, int position);
