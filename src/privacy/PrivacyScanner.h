#pragma once
// The privacy sweeper: lists traces of use in the ticked categories and deletes them on repair.
#include "common/RepairOutcome.h"
#include "common/Types.h"

#include <cstdint>
#include <string>

class TLabel;
class TProgressBar;
class TMemo;

class TPrivacyScanner {
public:
    explicit TPrivacyScanner(const TWideStrings& texts);

    int32_t Scan(TLabel& status, TProgressBar& progress, const std::wstring& selection, TMemo& memo);
    void Repair(TLabel& status, TProgressBar& progress);

    TWideStrings Texts;
    std::wstring ScanPrefix;
    std::wstring RepairPrefix;
    TStopFlag Stopped{0};
    // What the last Repair did with each listed item.
    TRepairReport LastRepair;
};
