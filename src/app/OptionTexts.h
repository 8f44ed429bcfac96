#pragma once
// What the findings menu and the option dialogs share: their language lines (section
// "M_Options"), the places they work on, and how a change to an INI file that failed is told.
#include "common/IniFile.h"
#include "common/Settings.h"
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
    UndoMenu = 54,
    UndoCaption = 55,
    DateColumn = 56,
    RepairColumn = 57,
    ItemsColumn = 58,
    SizeColumn = 59,
    SpywareRemoval = 60, // also the settings dialog's group
    RegistryRepair = 61,
    Restore = 62,
    Delete = 63,
    NotRestorable = 64,
    QuarantineSize = 65,   // %s the size
    ConfirmDelete = 66,    // %s the repair's date
    AllRestored = 67,      // %s the repair's date
    NotAllRestored = 68,   // %s the repair's date; followed by the items
    Unreadable = 69,
    KeepQuarantineLabel = 70,
    KeepQuarantineUnit = 71,
    QuarantineDaysRange = 72,
    NotAllDeleted = 73, // followed by what stayed
    FirstJunkSwitch = 74, // 5 lines, in the order of kJunkSwitches
    SetByAdministrator = 79, // beside a setting that a policy sets
    IgnoreSelected = 80,     // the findings menu's "Ignore" for several rows
    Last = IgnoreSelected
};
}

// The program's own things that the options work with.
struct TOptionsContext {
    TWideStrings Texts;         // section "M_Options"
    std::wstring ProgramFolder; // holds Language\*.lng; ends in a backslash
    std::wstring LanguageName;  // the language in use
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)> ShowMessage;
    TPolicyRoots PolicyRoots; // where the policy values over Main.ini are read

    const std::wstring& Text(int position) const;
    // Tells the user why a change to the file failed; true when it was done.
    bool Report(HWND owner, const std::wstring& file, const TIniChange& change) const;
    void Tell(HWND owner, const std::wstring& text, UINT icon = MB_ICONWARNING) const;
};
