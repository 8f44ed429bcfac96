// Times the console report on the machine it runs on (the demo machine of scripts/bench-console.sh):
// three "/scan" runs, then one "/scan /repair". Each run's pacing pauses are timed, so that the
// scanners' own work (the run less its pauses) is printed beside it from the same run.
// Usage: bench_console <program folder>
#include "app/ConsoleReport.h"
#include "app/ScanRun.h"
#include "support/PeakWorkingSet.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using TClock = std::chrono::steady_clock;

double Seconds(TClock::duration d) { return std::chrono::duration<double>(d).count(); }

struct TTimedRun {
    double Total = 0;
    double Paused = 0;
    int Status = 0;
};

TTimedRun RunReport(const std::wstring& programFolder, bool repair)
{
    TTimedRun timed;
    TConsoleOptions options;
    options.Scan = true;
    options.Repair = repair;
    options.ProgramFolder = programFolder;
    // The pause the window would use, timed: whatever the console lets it sleep is counted.
    options.PrepareRun = [&timed](TScanRun& run) {
        run.Pause = [&timed](DWORD milliseconds) {
            const auto start = TClock::now();
            Sleep(milliseconds);
            timed.Paused += Seconds(TClock::now() - start);
        };
    };
    const auto start = TClock::now();
    timed.Status = RunConsoleReport(options, [](const std::wstring&) {}, [](const std::wstring& text) {
        fwprintf(stderr, L"%ls", text.c_str());
    });
    timed.Total = Seconds(TClock::now() - start);
    return timed;
}

void Print(const char* what, const TTimedRun& run)
{
    const double work = run.Total - run.Paused;
    printf("%-16s %7.2f s   paused %6.2f s   scanners' own work %6.2f s   ratio %5.2fx   (exit %d)\n", what,
           run.Total, run.Paused, work, work > 0 ? run.Total / work : 0.0, run.Status);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: bench_console <program folder>\n");
        return 2;
    }
    const std::wstring program = argv[1];
    for (int i = 1; i <= 3; ++i)
        Print(("/scan #" + std::to_string(i)).c_str(), RunReport(program, false));
    Print("/scan /repair", RunReport(program, true));
    printf("peak working set %.1f MiB\n", static_cast<double>(PeakWorkingSet()) / (1024.0 * 1024.0));
    return 0;
}
