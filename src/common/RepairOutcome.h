#pragma once
// What happened to one listed item when it was to be removed. Every deletion routine and every
// scanner's repair speaks this one vocabulary, so that a failure is never reported as success.
#include <array>
#include <string>
#include <vector>

enum class TOutcome {
    Removed,     // deleted now
    AlreadyGone, // nothing was there any more
    InUse,       // in use and left in place
    Scheduled,   // in use, deletion scheduled for the next restart
    Refused,     // a link, or a protected place: deliberately not touched
    Failed,      // the deletion was tried and did not succeed (rights, not empty, ...)
    // Rarer outcomes, which a report names only when they happened:
    Pending,    // the deletion was taken, but another program holds the item open: it goes after that
    NotRemoved, // the deletion was taken, yet the path now names something else or cannot be reached
    NotReached, // the removal never came to it (the junk removal's result names no outcome for it)
};

inline constexpr int kOutcomeCount = 9;
// The outcomes every report line counts, even when none happened; the rest only when they did.
inline constexpr int kAlwaysCountedOutcomes = 6;

// "removed", "already gone", "in use", "scheduled for restart", "refused", "failed",
// "removal pending (held open)", "not removed", "not reached".
const wchar_t* OutcomeName(TOutcome outcome);
// Removed, already gone or scheduled: the item will not be there after the next restart.
bool OutcomeDone(TOutcome outcome);

// The outcomes of one scanner's last repair: a count per outcome and the items that are still there.
class TRepairReport {
public:
    struct TItem {
        std::wstring Text;
        TOutcome Outcome;
        std::wstring Reason; // where the outcome alone does not say why, or empty
    };

    void Clear();
    void Add(const std::wstring& item, TOutcome outcome, const std::wstring& reason = {});
    int Count(TOutcome outcome) const { return Counts_[static_cast<size_t>(outcome)]; }
    int Total() const;
    // True when no item was left, refused or failed.
    bool AllDone() const;
    // The items that were not removed (in use and left, refused, failed), in repair order.
    const std::vector<TItem>& Left() const { return Left_; }
    // Set once a repair has run (a report of nothing repaired differs from no repair).
    bool Ran = false;

private:
    std::array<int, kOutcomeCount> Counts_{};
    std::vector<TItem> Left_;
};
