#pragma once
// The pause that paces a scanner's progress display so that the user can follow it. Every scanner
// takes one as its Pause member: the program's window keeps the real one, tests that do not look at
// the pacing put in one that returns at once, and the console leaves it empty (nobody watches a bar).
#include <windows.h>

#include <algorithm>
#include <functional>

using TPause = std::function<void(DWORD milliseconds)>;

inline TPause SystemPause()
{
    return [](DWORD milliseconds) { Sleep(milliseconds); };
}

// However many items a scan or repair goes through, its pauses together stay within this: the pacing
// is there for the eye, and a long list must not spend most of its time asleep.
constexpr DWORD kPacingBudgetMs = 1000;

// Paces a known number of progress steps: each step pauses what it asks for, but never more than its
// share of the budget, and all steps together never more than the budget.
class TPacedSteps {
public:
    TPacedSteps(const TPause& pause, int steps, DWORD budgetMs = kPacingBudgetMs)
        : Pause_(pause), Share_(steps > 0 ? budgetMs / static_cast<DWORD>(steps) : budgetMs), Left_(budgetMs)
    {
    }

    void Step(DWORD wantedMs)
    {
        const DWORD milliseconds = std::min({wantedMs, Share_, Left_});
        if (milliseconds == 0 || !Pause_)
            return;
        Left_ -= milliseconds;
        Pause_(milliseconds);
    }

private:
    const TPause& Pause_;
    DWORD Share_;
    DWORD Left_;
};
