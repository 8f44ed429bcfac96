#pragma once
// The ignore sections of Ignore.ini, and how a row of a findings list becomes a line of its section
// in exactly the form its scanner matches.
#include <string>

class TListView;

struct TIgnoreFields {
    std::wstring Name;
    std::wstring Value;
    bool operator==(const TIgnoreFields&) const = default;
};

struct TIgnoreFormat {
    const wchar_t* Section;
    int NameColumn;  // the list column that gives the line's name (0: the row caption)
    int ValueColumn; // and its value
    // How the scanner reads a line: the value follows the last "="; the name ends at the first "="
    // (spyware: item names never hold one) or at the last (registry: key names may).
    bool NameEndsAtLastEquals;
};

// "Spyware": Item Name=Entry. "Registry": Registry Key=Registry Value.
inline constexpr TIgnoreFormat kSpywareIgnore{L"Spyware", 0, 3, false};
inline constexpr TIgnoreFormat kRegistryIgnore{L"Registry", 1, 2, true};

// Every section of Ignore.ini, with the language line ("M_Options") of its title.
struct TIgnoreSection {
    const wchar_t* Name;
    int TitleText;
};
extern const TIgnoreSection kIgnoreSections[3];

TIgnoreFields SplitIgnoreLine(const TIgnoreFormat& format, const std::wstring& line);
TIgnoreFields RowFields(const TIgnoreFormat& format, const TListView& list, int row);
inline std::wstring IgnoreLine(const TIgnoreFields& fields) { return fields.Name + L"=" + fields.Value; }
// True when the row's line, stored through the INI service and read back by the scanner, gives the
// row's fields again: not so for a name or value with "=" where the scanner splits, or with blanks
// at either end (the service trims them).
bool CanIgnore(const TIgnoreFormat& format, const TIgnoreFields& fields);
