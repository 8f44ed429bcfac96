#include "common/Extinifiles.h"

#include "common/TextLines.h"

#include <windows.h>

namespace {

bool IsBlank(const std::string& text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) > ' ')
            return false;
    return true;
}

} // namespace

TExtIniFile::TExtIniFile(const std::wstring& sourceFile, const TAnsiStrings& lines)
    : SourceFile(sourceFile), TextLines(lines)
{
    // An empty last line gives every section an end.
    if (TextLines.empty() || !TextLines.back().empty())
        TextLines.emplace_back();
}

TExtIniFile::TExtIniFile(const TAnsiStrings& lines, bool sourceExists) : TExtIniFile(std::wstring(), lines)
{
    Source_ = sourceExists ? TSource::There : TSource::Gone;
}

bool TExtIniFile::FindSection(const std::string& section, size_t& first, size_t& last) const
{
    if (Source_ == TSource::Gone ||
        (Source_ == TSource::AskEachTime && GetFileAttributesW(SourceFile.c_str()) == INVALID_FILE_ATTRIBUTES))
        return false;
    const std::string header = AsciiUpper("[" + section + "]");
    for (size_t i = 0; i < TextLines.size(); ++i) {
        if (AsciiUpper(TextLines[i]) != header)
            continue;
        first = i + 1;
        last = first;
        while (last < TextLines.size() && !TextLines[last].empty() && TextLines[last][0] != '[')
            ++last;
        return true;
    }
    return false;
}

std::string TExtIniFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue)
{
    LastValue.clear();
    size_t first = 0;
    size_t last = 0;
    if (FindSection(section, first, last)) {
        const std::string wanted = AsciiUpper(key + "=");
        for (size_t i = first; i < last; ++i) {
            const std::string& line = TextLines[i];
            if (AsciiUpper(line.substr(0, wanted.size())) == wanted)
                LastValue = line.substr(wanted.size());
        }
    }
    return IsBlank(LastValue) ? defaultValue : LastValue;
}

void TExtIniFile::ReadSection(const std::string& section, TAnsiStrings& target) const
{
    size_t first = 0;
    size_t last = 0;
    if (!FindSection(section, first, last))
        return;
    for (size_t i = first; i < last; ++i) {
        const size_t at = TextLines[i].find('=');
        if (at != std::string::npos)
            target.push_back(TextLines[i].substr(0, at));
    }
}
