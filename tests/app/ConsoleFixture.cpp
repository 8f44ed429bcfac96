#include "ConsoleFixture.h"

int ConsoleFixture::Run(bool repair)
{
    TConsoleOptions options{true, repair, ProgramDir};
    options.PrepareRun = [this](TScanRun& run) {
        UseStandIns(run);
        // The window's pacing, recorded: the console must never ask for it.
        run.Pause = [this](DWORD milliseconds) { Pauses.push_back(milliseconds); };
    };
    return RunOptions(options);
}

int ConsoleFixture::RunOptions(const TConsoleOptions& options)
{
    Out.clear();
    Err.clear();
    return RunConsoleReport(options, [this](const std::wstring& t) { Out += t; },
                            [this](const std::wstring& t) { Err += t; });
}
