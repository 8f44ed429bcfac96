#pragma once
// The lines of language section "M_PrivacyScan" by name.
#include "common/Types.h"

#include <cstdint>
#include <string>

enum TPrivacyText : int {
    kTitleText = 0,
    kCountText = 1,
    kSizeText = 2,
    kNoteText = 3,
    kPendingText = 6,
    // Today's browsers: what a database item removes.
    kHistoryPagesText = 7,   // "History: %s pages, %s visits"
    kHistoryVisitsText = 8,  // visits only: the Bookmarks file cannot be read
    kHistoryIconsText = 9,   // "History: icons of %s pages"
    kHistoryEntriesText = 10, // a side database's rows
    kDownloadsText = 11,
    kCookiesText = 12,
    kCookiesKeptText = 13,
    kFormDataText = 14,
    kPasswordsText = 15,
    kInUseText = 16,   // "in use: cleaned once %s is closed"
    kDamagedText = 17, // "cannot be read and stays as it is: %s"
    kKeepIgnoredText = 18,
    kDigitGroupText = 19, // the thousands separator of counts
    kHistoryName = 20,
    kDownloadsName = 21,
    kCookiesName = 22,
    kFormDataName = 23,
    kPasswordsName = 24,
    kFormHistoryText = 25,
    kFormHistoryName = 26,
    // A folder the guard refused: a root; holds a protected folder; lies inside one; cannot be resolved.
    kSkippedRootText = 27,
    kSkippedHoldsText = 28,
    kSkippedInsideText = 29,
    kSkippedUnresolvedText = 30,
    kLastPrivacyText = kSkippedUnresolvedText,
};

// A count with its digits grouped in threes ("1,234" with the separator ",").
std::wstring GroupDigits(int64_t count, const std::wstring& separator);
// The language line, or the English text when the list is short (a scanner made without texts).
std::wstring PrivacyText(const TWideStrings& texts, TPrivacyText line);
