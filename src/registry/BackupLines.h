#pragma once
// The registry-export lines that describe one finding (the scanner's BackupLines).
#include "common/Types.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

enum class TBackupForm {
    Nothing,      // no line at all (a value of a type the text does not describe)
    KeyOnly,      // the key line alone
    DefaultText,  // @="data"
    NamedText,    // "name"="data"
    QuotedNamed,  // "name"="\"data\"" (data stored with its quotes; written without them)
    EmptyData,    // "name"=""
    Dword,        // "name"=dword:0000000A
    Binary,       // "name"=hex:0A,0B,...
};

struct TBackupEntry {
    std::wstring KeyPath; // display path written between the brackets
    TBackupForm Form = TBackupForm::KeyOnly;
    std::wstring Name;
    bool EscapeName = false;
    std::wstring Data;
    bool EscapeData = false;
    uint32_t Number = 0;
    std::vector<BYTE> Bytes;
};

// Every backslash doubled; nothing else changes.
std::wstring EscapeBackslashes(const std::wstring& text);
// Upper-case hexadecimal pairs separated by commas; after the comma that follows byte 25, 50, 75, ...
// (the first byte being byte 0) a backslash and a carriage return.
std::wstring BinaryBytes(const std::vector<BYTE>& bytes);
// The key line, then the value line of the entry's form (none for KeyOnly; no lines at all for Nothing).
TWideStrings BackupLinesFor(const TBackupEntry& entry);
