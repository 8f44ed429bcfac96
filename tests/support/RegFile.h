#pragma once
// Imports a registry export file (.reg, "Windows Registry Editor Version 5.00": UTF-16 with a byte-order
// mark, or 8-bit text) with RegCreateKeyExW and RegSetValueExW, below the roots it names as this process
// sees them, so a ScratchRegistry receives it. Every value type is written as its raw bytes, also the
// odd-sized and empty string data that regedit cannot take.
#include <string>
#include <vector>

struct TRegImport {
    int Keys = 0;
    int Values = 0;
    // "line n: what" for every line that could not be taken.
    std::vector<std::string> Errors;
};

TRegImport ImportRegFile(const std::wstring& path);
