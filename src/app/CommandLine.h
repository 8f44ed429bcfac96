#pragma once
// The command line of Brisfold.exe and BrisfoldCmd.exe, and the usage text that names every option and
// exit status. Fleet tools start the program unattended: a command line it does not understand ends
// it at once with the usage and status 2, never with a window that nobody will close.
#include "quarantine/QuarantinePlaces.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class TScanRun;

// The exit statuses of the console commands.
inline constexpr int kStatusNothingFound = 0; // /restore: everything restored
inline constexpr int kStatusFound = 1;        // with /repair: every listed item removed
inline constexpr int kStatusError = 2;        // start-up error, bad command line, or an error that ended the command
inline constexpr int kStatusLeft = 3;         // something was left in place, refused or failed
// The repair is complete once the computer restarts: items were scheduled for the next restart and
// nothing else was left (the status installers and management tools read as "restart to complete").
inline constexpr int kStatusRestart = 3010;

struct TConsoleOptions {
    bool Scan = false;
    bool Repair = false;
    // Empty: the program's own folder.
    std::wstring ProgramFolder;
    bool Restore = false;
    std::wstring RestoreFile; // the argument after /restore (empty when none follows)
    bool Quarantine = false;
    std::vector<std::wstring> QuarantineArguments; // the words after /quarantine, up to the next option
    // The quarantine's places for /quarantine (tests only: scratch places); the system's when empty.
    std::optional<TQuarantinePlaces> QuarantinePlaces;
    std::wstring ReportFile;  // the argument after /report: the JSON report's path
    bool Quiet = false;       // only the summary line on standard output
    bool Help = false;        // /?
    // Why the command line cannot be carried out (an unknown option, a missing file name); empty when
    // it can.
    std::wstring Error;
    // Puts stand-ins into the scan run before its start-up (tests only: scratch places). The console
    // runs every scanner and repair unpaced whatever it sets.
    std::function<void(TScanRun& run)> PrepareRun;

    // True when the program runs as a console command rather than with its window.
    bool Console() const { return Scan || Restore || Quarantine || Help || !Error.empty(); }
};

// Recognises "/scan", "/repair", "/restore FILE", "/quarantine list|restore RUN [ITEM]|purge DAYS",
// "/report FILE", "/quiet" and "/?" (also with "-", any case) among the arguments after the program name;
// anything else sets Error.
TConsoleOptions ParseCommandLine(const std::vector<std::wstring>& arguments);

// Every option and every exit status; program is the file name to show ("BrisfoldCmd.exe").
std::wstring UsageText(const std::wstring& program);
