#pragma once
// The language lines of the windows' own captions: the main window (section "M_Main"), the details
// window (section "M_Details") and its privacy tree (section "M_Tree", laid out in
// privacy/PrivacyCategories.h). The main window's row titles are section "Message" 11-14 and the
// details window's OK is section "M_Options" 41.
#include "common/Types.h"

#include <string>

inline constexpr wchar_t kMainWindowSection[] = L"M_Main";
inline constexpr wchar_t kDetailsSection[] = L"M_Details";
inline constexpr wchar_t kTreeSection[] = L"M_Tree";

// Positions in section "M_Main".
namespace MainText {
enum : int {
    Home = 0,
    Update = 1,
    FirstDescription = 2, // 4 lines, in row order
    Scanning = 6,
    Scanner = 7,
    StartScan = 8,
    Repair = 9,
    StopScan = 10,
    StartScanHint = 11,
    RepairHint = 12,
    StopScanHint = 13,
    Last = StopScanHint
};
}

// Positions in section "M_Details".
namespace DetailsText {
enum : int {
    Caption = 0, // the window's title
    SpywareHeader = 1,
    RegistryHeader = 2,
    ItemName = 3, // the first column of both lists
    Description = 4,
    RiskLevel = 5,
    Entry = 6,
    RegistryKey = 7,
    RegistryValue = 8,
    Data = 9,
    Last = Data
};
}

// A caption's line; empty where the texts stop short. Start-up checks every section the windows read,
// so that only happens when it failed and the window is never shown: creating it must not fail too.
inline std::wstring CaptionAt(const TWideStrings& texts, int position)
{
    return position >= 0 && static_cast<size_t>(position) < texts.size() ? texts[static_cast<size_t>(position)]
                                                                          : std::wstring();
}
