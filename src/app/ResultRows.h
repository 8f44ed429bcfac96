#pragma once
// The main window's four module rows, in scan order: what each shows and which details page lists
// its findings. The window lays its rows out from this table and the console report names them by it.
#include <windows.h>

#include <array>

// The rows, in the order the scan and the repair run them.
enum TRow : int { kSpywareRow, kRegistryRow, kPrivacyRow, kJunkRow };
inline constexpr int kRowCount = 4;

struct TResultRow {
    const wchar_t* Title; // English, for the reports; the window shows the language's
    const wchar_t* Icon; // picture resource
    int Top;             // of the title, the icon and the result line (96-DPI units)
    int DetailsPage;     // the details window's page of the row's findings
    // Cleans the traces of the user the program runs for: not run without an interactive user.
    bool PerUser;
};

extern const std::array<TResultRow, kRowCount> kResultRows;

// Colours of the rows' texts: the titles, the descriptions, and a result line that needs the user
// (something found, something left) or not (nothing found, repaired).
inline constexpr COLORREF kTitleColor = RGB(0, 0, 128);
inline constexpr COLORREF kDescriptionColor = RGB(128, 128, 128);
inline constexpr COLORREF kFoundColor = RGB(255, 0, 0);
inline constexpr COLORREF kCleanColor = RGB(0, 128, 0);
