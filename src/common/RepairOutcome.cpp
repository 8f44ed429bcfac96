#include "common/RepairOutcome.h"

const wchar_t* OutcomeName(TOutcome outcome)
{
    switch (outcome) {
    case TOutcome::Removed: return L"removed";
    case TOutcome::AlreadyGone: return L"already gone";
    case TOutcome::InUse: return L"in use";
    case TOutcome::Scheduled: return L"scheduled for restart";
    case TOutcome::Refused: return L"refused";
    case TOutcome::Failed: return L"failed";
    case TOutcome::Pending: return L"removal pending (held open)";
    case TOutcome::NotRemoved: return L"not removed";
    case TOutcome::NotReached: return L"not reached";
    case TOutcome::Kept: return L"kept";
    }
    return L"failed";
}

bool OutcomeDone(TOutcome outcome)
{
    return outcome == TOutcome::Removed || outcome == TOutcome::AlreadyGone || outcome == TOutcome::Scheduled;
}

const wchar_t* OutcomeReason(TOutcome outcome)
{
    switch (outcome) {
    case TOutcome::Removed: return L"deleted";
    case TOutcome::AlreadyGone: return L"nothing was there any more";
    case TOutcome::InUse: return L"another program holds it; left in place";
    case TOutcome::Scheduled: return L"in use; deleted at the next restart";
    case TOutcome::Refused: return L"a link, or not where the scan found it, or a protected place; not touched";
    case TOutcome::Failed: return L"the deletion did not succeed (rights, or a folder not empty)";
    case TOutcome::Pending: return L"another program holds it open; it goes when that program lets go";
    case TOutcome::NotRemoved: return L"the deletion was taken, yet the path now names something else";
    case TOutcome::NotReached: return L"the removal never came to it";
    case TOutcome::Kept: return L"the user unticked it, or what it lies in or holds, in a list";
    }
    return L"";
}

void TRepairReport::Clear()
{
    Counts_.fill(0);
    Left_.clear();
    Items_.clear();
    Kept_.clear();
    Ran = false;
}

void TRepairReport::Add(const std::wstring& item, TOutcome outcome, const std::wstring& reason)
{
    Ran = true;
    ++Counts_[static_cast<size_t>(outcome)];
    TItem entry{item, outcome, reason};
    if (outcome == TOutcome::Kept)
        Kept_.push_back(entry);
    else if (!OutcomeDone(outcome))
        Left_.push_back(entry);
    Items_.push_back(std::move(entry));
}

void TRepairReport::Keep(const std::wstring& item, const std::wstring& list)
{
    Ran = true;
    ++Counts_[static_cast<size_t>(TOutcome::Kept)];
    TItem entry{item, TOutcome::Kept, {}, list};
    Kept_.push_back(entry);
    Items_.push_back(std::move(entry));
}

int TRepairReport::Total() const
{
    int total = 0;
    for (int count : Counts_)
        total += count;
    return total;
}

bool TRepairReport::AllDone() const
{
    return Left_.empty();
}
