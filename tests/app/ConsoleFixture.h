#pragma once
// The console mode against the scratch machine of AppFixture, its two streams kept.
#include "AppFixture.h"

#include "app/ConsoleReport.h"

#include <string>
#include <vector>

class ConsoleFixture : public AppFixture {
protected:
    // "/scan", with "/repair" when asked, through the stand-ins.
    int Run(bool repair);
    // The console mode with these options.
    int RunOptions(const TConsoleOptions& options);

    std::wstring Out, Err;
    std::vector<DWORD> Pauses; // what the scanners asked to pause
};
