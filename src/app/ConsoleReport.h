#pragma once
// "/scan" and "/scan /repair": the start-up and one scan without any window on screen, reported as
// plain text. Exit codes: 0 nothing found; 1 found (and, with /repair, every listed item removed or
// scheduled); 2 start-up error, or an error that ended the scan or the repair; 3 found and repaired,
// but some listed item was left, refused or failed.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class TForm1;
class TW_Details;

struct TConsoleOptions {
    bool Scan = false;
    bool Repair = false;
    // Empty: the program's own folder.
    std::wstring ProgramFolder;
};

// Recognises "/scan" and "/repair" (also with "-", any case) among the arguments after the program name.
TConsoleOptions ParseCommandLine(const std::vector<std::wstring>& arguments);

// The result lines, the rows of both list views with their check state, the privacy report and the
// junk-file list.
std::wstring ScanReport(TForm1& form, TW_Details& details);

// Runs the console mode; out and err receive whole lines of text.
int RunConsoleReport(const TConsoleOptions& options, const std::function<void(const std::wstring&)>& out,
                     const std::function<void(const std::wstring&)>& err);

// Writes text to a standard handle: wide to a console, UTF-8 to a file or pipe.
void WriteStd(DWORD which, const std::wstring& text);
