#pragma once
// "/scan" and "/scan /repair": the start-up and one scan without any window on screen, reported as
// plain text. Exit codes: 0 nothing found; 1 found (and, with /repair, every listed item removed);
// 2 start-up error, a command line not understood, or an error that ended the scan, the repair or the
// report; 3 found and repaired, but some listed item was left, refused or failed; 3010 repaired, with
// items scheduled for the next restart and nothing else left.
// "/restore FILE": brings back what a registry repair's undo file holds. Exit codes: 0 everything
// restored; 2 the file cannot be read (nothing was written); 3 some key or value could not be written.
// "/report FILE" writes the same as a JSON document; "/quiet" prints only the summary line, which is
// always the last line on standard output.
// "/quarantine ...": the spyware removal's quarantine (QuarantineCommand.h).
#include "app/CommandLine.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

class TScanRun;
class TW_Details;

// The result lines, the rows of both list views with their check state, the privacy report and the
// junk-file list.
std::wstring ScanReport(const TScanRun& run, TW_Details& details);

// Runs the console mode (the usage, /restore when asked, else the scan); out and err receive whole lines
// of text.
int RunConsoleReport(const TConsoleOptions& options, const std::function<void(const std::wstring&)>& out,
                     const std::function<void(const std::wstring&)>& err);

// Writes text to a standard handle: wide to a console, UTF-8 to a file or pipe.
void WriteStd(DWORD which, const std::wstring& text);
