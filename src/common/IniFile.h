#pragma once
// The settings and ignore files, read and written through the system's INI service on every call.
#include "common/Types.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// What became of a change to an INI file. Nothing at all is written unless it is Done.
struct TIniChange {
    enum class TStatus {
        Done,
        NotWritable, // the file (or its folder) cannot be written: Error says why
        LineNotKept, // a line of Section would not come back as it stands (Text)
        NotStorable, // an 8-bit file cannot hold Text
        SectionTooLarge, // Section could not be read whole: written back, the rest would be lost
    };
    TStatus Status = TStatus::Done;
    uint32_t Error = 0;
    std::wstring Section;
    std::wstring Text;
    bool Done() const { return Status == TStatus::Done; }
};

struct TIniEntry {
    std::wstring Section;
    std::wstring Key;
    std::wstring Value;
};

class TIniFile {
public:
    explicit TIniFile(std::wstring fileName) : FileName(std::move(fileName)) {}

    std::wstring ReadString(const std::wstring& section, const std::wstring& key, const std::wstring& defaultValue) const;
    int ReadInteger(const std::wstring& section, const std::wstring& key, int defaultValue) const;
    // The section's lines as name=value, in file order (comments dropped by the service). complete,
    // when given, tells whether the section fitted within ReadCap.
    TWideStrings ReadSectionLines(const std::wstring& section, bool* complete = nullptr) const;
    // The key names of the section, in file order.
    TWideStrings ReadSectionKeys(const std::wstring& section) const;

    // Makes the file ready for the writes below and says whether they can succeed: 0, or the system's
    // error code (a file held open without write sharing, a read-only file, a folder that cannot be
    // made). A missing file is created first, with its folders, as UTF-16 with a byte-order mark: the
    // service would create it in the 8-bit code page, where names outside it are lost. Nothing is
    // written when the file cannot be; a caller that writes several keys asks once, before the first.
    uint32_t PrepareWrite() const;
    // True when the file is UTF-16 with its byte-order mark: then it keeps every text as it is, an
    // 8-bit one only what its code page holds.
    bool IsUnicodeFile() const;
    bool WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) const;
    // Replaces the section's lines by lines (name=value, names may repeat), in order. An empty list
    // removes the section. The service keeps only lines that LineSurvivesIni accepts: a caller that
    // rewrites a section it has read asks that of every line first.
    bool WriteSectionLines(const std::wstring& section, const TWideStrings& lines) const;

    // Rewrites one section whose keys may repeat: edit gets the lines as the service reads them and
    // changes the list; the section is written back whole. Lines without "=" would be lost on the
    // way, so a section holding one is not rewritten.
    TIniChange EditSection(const std::wstring& section, const std::function<void(TWideStrings& lines)>& edit) const;
    // Writes each key (the first of its name in its section); all of them, or none.
    TIniChange WriteEntries(const std::vector<TIniEntry>& entries) const;

    std::wstring FileName;
    // The most characters one read asks the service for (a section beyond it is read cut).
    size_t ReadCap = size_t(1) << 24;
};

// The per-user settings folder: application data + "\Kelvor\Dornique\" (with trailing backslash).
std::wstring SettingsFolderPath();
std::wstring MainIniPath();
std::wstring IgnoreIniPath();

// A number as the INI readers take it: decimal, nothing else on the line, within int.
std::optional<int> WholeNumber(const std::wstring& text);

// Name and value of a key=value line: text before the first "=", text after the last "=".
std::wstring LineName(const std::wstring& line);
std::wstring LineValue(const std::wstring& line);
std::string LineName(const std::string& line);
std::string LineValue(const std::string& line);

// How the INI service stores name=value: the name ends at the first "=", and blanks around the name
// and the value, and a line that starts with ";" or "[", do not come back as written. True when the
// line reads back exactly as given.
bool LineSurvivesIni(const std::wstring& line);
