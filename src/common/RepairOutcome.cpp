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
    }
    return L"failed";
}

bool OutcomeDone(TOutcome outcome)
{
    return outcome == TOutcome::Removed || outcome == TOutcome::AlreadyGone || outcome == TOutcome::Scheduled;
}

void TRepairReport::Clear()
{
    Counts_.fill(0);
    Left_.clear();
    Ran = false;
}

void TRepairReport::Add(const std::wstring& item, TOutcome outcome, const std::wstring& reason)
{
    Ran = true;
    ++Counts_[static_cast<size_t>(outcome)];
    if (!OutcomeDone(outcome))
        Left_.push_back({item, outcome, reason});
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
