#pragma once
// What the findings menu and the two option dialogs share: their language lines (section
// "M_Options"), the places they work on, and how a change to an INI file that failed is told.
#include "common/IniFile.h"
#include "common/Types.h"

#include <windows.h>

#include <functional>
#include <string>

inline constexpr wchar_t kOptionSection[] = L"M_Options";

// Positions in section "M_Options".
namespace OptionText {
enum : int {
    CheckAll = 0,
    UncheckAll = 1,
    CheckSelected = 2,
    UncheckSelected = 3,
    IgnoreItem = 4,
    OpenLocation = 5,
    Copy = 6,
    CannotIgnore = 7,    // followed by the rows
    CannotWrite = 8,     // %s the file; followed by the system's reason
    LineWouldBeLost = 9, // %s the file; followed by the section and the line
    CannotStore = 10,    // %s the file; followed by the text
    SettingsMenu = 11,
    IgnoredItemsMenu = 12,
    SettingsCaption = 13,
    JunkGroup = 14,
    TempFile = 15,
    IECache = 16,
    Recycle = 17,
    RemoveDayLabel = 18,
    RemoveDayUnit = 19,
    RegistryGroup = 20,
    FirstRegistrySwitch = 21, // 17 lines, in the order of kRegistrySwitches
    LanguageGroup = 38,
    LanguageLabel = 39,
    LanguageNote = 40,
    Ok = 41,
    Cancel = 42,
    RemoveDayRange = 43,
    IgnoredCaption = 44,
    SectionColumn = 45,
    ItemColumn = 46,
    Remove = 47,
    Close = 48,
    RemovedNote = 49,
    SpywareSection = 50,
    RegistrySection = 51,
    CookieSection = 52,
    SectionTooLarge = 53, // %s the file
    Last = SectionTooLarge
};
}

// The program's own things that the options work with.
struct TOptionsContext {
    TWideStrings Texts;         // section "M_Options"
    std::wstring ProgramFolder; // holds Language\*.lng; ends in a backslash
    std::wstring LanguageName;  // the language in use
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)> ShowMessage;

    const std::wstring& Text(int position) const;
    // Tells the user why a change to the file failed; true when it was done.
    bool Report(HWND owner, const std::wstring& file, const TIniChange& change) const;
    void Tell(HWND owner, const std::wstring& text, UINT icon = MB_ICONWARNING) const;
};
