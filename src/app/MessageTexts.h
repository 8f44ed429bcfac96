#pragma once
// The lines of language section "Message" that the scan run and the main window use, by name.
inline constexpr wchar_t kMessageSection[] = L"Message";

// Positions in section "Message".
namespace MessageText {
enum : int {
    NothingFound = 0,   // a row's result line when it found nothing
    OneFound = 1,       // %d the count (1)
    SomeFound = 2,      // %d the count
    JunkFound = 3,      // %s the size text
    Repaired = 4,       // a row after its repair
    FirstRowTitle = 11, // 4 lines: the main window's row titles, in row order
    ScanPrefix = 15,    // the status line's prefix during a scan
    RegistryRepair = 16, // the registry fixer's status text during a repair
    PrivacyRepair = 17, // the privacy sweeper's status prefix during a repair
    NotRemoved = 18,    // %d the number of items a repair left (more than one)
    OneNotRemoved = 19, // %d the one item a repair left
    NoInteractiveUser = 20, // a per-user row that did not run: the program runs as a service or system account
    StopAndClose = 21,  // the question when the main window is closed during a scan
    LeftCaption = 22,   // the list a red line opens after a repair: its caption,
    LeftIntro = 23,     // the line above the list,
    LeftItemColumn = 24, // its two columns
    LeftWhyColumn = 25,
    LeftClose = 26,     // and its button
    FirstOutcome = 27,  // 27 to 36: the outcomes of a repair, in the order of TOutcome
    LastOutcome = 36,
    Last = LastOutcome
};
}
