#pragma once
// INI reader over 8-bit text lines held in memory (the definition texts).
// A section ends at the first empty line or line starting with "["; headers match without regard to case.
#include "common/Types.h"

#include <string>

class TExtIniFile {
public:
    // Answers only while a file named sourceFile exists.
    TExtIniFile(const std::wstring& sourceFile, const TAnsiStrings& lines);
    // Answers only if sourceExists: for a caller that checked the file once for many readers, where
    // asking the file system at every lookup would cost more than the lookups.
    TExtIniFile(const TAnsiStrings& lines, bool sourceExists);

    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue);
    // Appends the key names of the section to target (which is not cleared).
    void ReadSection(const std::string& section, TAnsiStrings& target) const;

    std::wstring SourceFile;
    TAnsiStrings TextLines;
    std::string LastValue;

private:
    enum class TSource { AskEachTime, There, Gone };
    TSource Source_ = TSource::AskEachTime;
    // Index range [first, last) of the section's body, or first == last when absent.
    bool FindSection(const std::string& section, size_t& first, size_t& last) const;
};
