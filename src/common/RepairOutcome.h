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
    Kept,       // left on purpose: it is, lies inside or holds an entry the user unticked in a list
};

inline constexpr int kOutcomeCount = 10;
// The outcomes every report line counts, even when none happened; the rest only when they did.
inline constexpr int kAlwaysCountedOutcomes = 6;

// "removed", "already gone", "in use", "scheduled for restart", "refused", "failed",
// "removal pending (held open)", "not removed", "not reached", "kept".
const wchar_t* OutcomeName(TOutcome outcome);
// Removed, already gone or scheduled: the item will not be there after the next restart.
bool OutcomeDone(TOutcome outcome);
// Why an item ends with the outcome, in general terms: what a report says when no more exact reason
// is known.
const wchar_t* OutcomeReason(TOutcome outcome);

// The outcomes of one scanner's last repair: a count per outcome and the items that are still there.
class TRepairReport {
public:
    struct TItem {
        std::wstring Text;
        TOutcome Outcome;
        std::wstring Reason; // where the outcome alone does not say why, or empty
        std::wstring List;   // Kept: the list the user unticked the entry in
    };

    void Clear();
    void Add(const std::wstring& item, TOutcome outcome, const std::wstring& reason = {});
    // An item kept because of what the user unticked in list: not a failure, yet named in the report.
    void Keep(const std::wstring& item, const std::wstring& list);
    int Count(TOutcome outcome) const { return Counts_[static_cast<size_t>(outcome)]; }
    int Total() const;
    // True when no item was left, refused or failed (kept items are the user's choice).
    bool AllDone() const;
    // The items that were not removed (in use and left, refused, failed), in repair order.
    const std::vector<TItem>& Left() const { return Left_; }
    // Every item, in repair order.
    const std::vector<TItem>& Items() const { return Items_; }
    // The items kept because the user unticked them (or what they hold) in some list, in repair order.
    const std::vector<TItem>& Kept() const { return Kept_; }
    // Set once a repair has run (a report of nothing repaired differs from no repair).
    bool Ran = false;

private:
    std::array<int, kOutcomeCount> Counts_{};
    std::vector<TItem> Left_;
    std::vector<TItem> Items_;
    std::vector<TItem> Kept_;
};
