#pragma once
// The registry fixer: lists invalid or empty registry entries and deletes the checked ones.
#include "common/RepairOutcome.h"
#include "common/Types.h"

#include <cstdint>
#include <string>

class TLabel;
class TProgressBar;
class TListView;

class TScanRegistry {
public:
    explicit TScanRegistry(const TWideStrings& texts);

    int32_t Scan(TLabel& status, TProgressBar& progress, TListView& list);
    void Repair(TListView& list, TLabel& status, TProgressBar& progress, TWideStrings& repairLog);

    TWideStrings Texts;
    int32_t FirstImageIndex = 0;
    int32_t SecondImageIndex = 0;
    std::wstring ScanPrefix;
    std::wstring RepairPrefix;
    TStopFlag Stopped{0};
    // What the last Repair did with each checked row.
    TRepairReport LastRepair;
};
