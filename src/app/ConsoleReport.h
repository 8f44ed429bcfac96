#pragma once
// "/scan" and "/scan /repair": the start-up and one scan without any window on screen, reported as
// plain text. Exit codes: 0 nothing found; 1 found (and, with /repair, every listed item removed or
// scheduled); 2 start-up error, or an error that ended the scan or the repair; 3 found and repaired,
// but some listed item was left, refused or failed.
// "/restore FILE": brings back what a registry repair's undo file holds. Exit codes: 0 everything
// restored; 2 the file cannot be read (nothing was written); 3 some key or value could not be written.
// "/quarantine ...": the spyware removal's quarantine (QuarantineCommand.h).
#include "quarantine/QuarantinePlaces.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class TScanRun;
class TW_Details;

struct TConsoleOptions {
    bool Scan = false;
    bool Repair = false;
    // Empty: the program's own folder.
    std::wstring ProgramFolder;
    bool Restore = false;
    std::wstring RestoreFile; // the argument after /restore (empty when none follows)
    bool Quarantine = false;
    std::vector<std::wstring> QuarantineArguments; // all that follows /quarantine
    // The quarantine's places for /quarantine (tests only: scratch places); the system's when empty.
    std::optional<TQuarantinePlaces> QuarantinePlaces;
    // Puts stand-ins into the scan run before its start-up (tests only: scratch places). The console
    // runs every scanner and repair unpaced whatever it sets.
    std::function<void(TScanRun& run)> PrepareRun;
};

// Recognises "/scan", "/repair", "/restore FILE" and "/quarantine ..." (also with "-", any case) among the
// arguments after the program name.
TConsoleOptions ParseCommandLine(const std::vector<std::wstring>& arguments);

// The result lines, the rows of both list views with their check state, the privacy report and the
// junk-file list.
std::wstring ScanReport(const TScanRun& run, TW_Details& details);

// Runs the console mode (/restore when asked, else the scan); out and err receive whole lines of text.
int RunConsoleReport(const TConsoleOptions& options, const std::function<void(const std::wstring&)>& out,
                     const std::function<void(const std::wstring&)>& err);

// Writes text to a standard handle: wide to a console, UTF-8 to a file or pipe.
void WriteStd(DWORD which, const std::wstring& text);
