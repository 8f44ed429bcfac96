#include "ConsoleFixture.h"

int ConsoleFixture::Run(bool repair)
{
    TConsoleOptions options{true, repair, ProgramDir};
    options.PrepareRun = [this](TScanRun& run) { UseStandIns(run); };
    return RunOptions(options);
}

int ConsoleFixture::RunOptions(const TConsoleOptions& options)
{
    Out.clear();
    Err.clear();
    return RunConsoleReport(options, [this](const std::wstring& t) { Out += t; },
                            [this](const std::wstring& t) { Err += t; });
}
