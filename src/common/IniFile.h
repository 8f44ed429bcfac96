#pragma once
// The settings and ignore files, read through the system's INI service on every call.
#include "common/Types.h"

#include <string>

class TIniFile {
public:
    explicit TIniFile(std::wstring fileName) : FileName(std::move(fileName)) {}

    std::wstring ReadString(const std::wstring& section, const std::wstring& key, const std::wstring& defaultValue) const;
    int ReadInteger(const std::wstring& section, const std::wstring& key, int defaultValue) const;
    // The section's lines as name=value, in file order (comments dropped by the service).
    TWideStrings ReadSectionLines(const std::wstring& section) const;
    // The key names of the section, in file order.
    TWideStrings ReadSectionKeys(const std::wstring& section) const;

    std::wstring FileName;
};

// The per-user settings folder: application data + "\Kelvor\Dornique\" (with trailing backslash).
std::wstring SettingsFolderPath();
std::wstring MainIniPath();
std::wstring IgnoreIniPath();

// Name and value of a key=value line: text before the first "=", text after the last "=".
std::wstring LineName(const std::wstring& line);
std::wstring LineValue(const std::wstring& line);
std::string LineName(const std::string& line);
std::string LineValue(const std::string& line);
