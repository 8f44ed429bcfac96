#include "app/CommandLine.h"

#include "common/Settings.h"
#include "common/TextCompare.h"

namespace {

bool IsSwitch(const std::wstring& argument)
{
    return argument.size() >= 2 && (argument[0] == L'/' || argument[0] == L'-');
}

bool SameSwitch(const std::wstring& argument, const wchar_t* name)
{
    return IsSwitch(argument) && SameText(argument.substr(1), name);
}

// The argument after a switch that takes a file; empty (with the error set) when none follows.
std::wstring FileAfter(const std::vector<std::wstring>& arguments, size_t& i, TConsoleOptions& options)
{
    if (i + 1 < arguments.size() && !IsSwitch(arguments[i + 1]))
        return arguments[++i];
    if (options.Error.empty())
        options.Error = arguments[i] + L" needs a file name after it";
    return {};
}

// The switches that only make sense beside another one.
void CheckCombination(TConsoleOptions& options)
{
    if (!options.Error.empty() || options.Help)
        return;
    if (int(options.Scan) + int(options.Restore) + int(options.Quarantine) > 1)
        options.Error = L"only one of /scan, /restore and /quarantine can be given";
    else if (options.Repair && !options.Scan)
        options.Error = L"/repair goes with /scan";
    else if ((!options.ReportFile.empty() || options.Quiet) && !options.Scan && !options.Restore && !options.Quarantine)
        options.Error = std::wstring(options.Quiet ? L"/quiet" : L"/report") + L" goes with /scan, /restore or /quarantine";
}

} // namespace

TConsoleOptions ParseCommandLine(const std::vector<std::wstring>& arguments)
{
    TConsoleOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (SameSwitch(argument, L"scan")) {
            options.Scan = true;
        } else if (SameSwitch(argument, L"repair")) {
            options.Repair = true;
        } else if (SameSwitch(argument, L"restore")) {
            options.Restore = true;
            // /restore without a file is told by the restore itself, as it always was.
            if (i + 1 < arguments.size() && !IsSwitch(arguments[i + 1]))
                options.RestoreFile = arguments[++i];
        } else if (SameSwitch(argument, L"quarantine")) {
            // Its words (list, restore RUN [ITEM], purge DAYS) run up to the next option; the quarantine
            // command itself tells what it cannot carry out.
            options.Quarantine = true;
            while (i + 1 < arguments.size() && !IsSwitch(arguments[i + 1]))
                options.QuarantineArguments.push_back(arguments[++i]);
        } else if (SameSwitch(argument, L"report")) {
            options.ReportFile = FileAfter(arguments, i, options);
        } else if (SameSwitch(argument, L"quiet")) {
            options.Quiet = true;
        } else if (SameSwitch(argument, L"?") || SameSwitch(argument, L"help")) {
            options.Help = true;
        } else if (options.Error.empty()) {
            options.Error = L"unknown option " + argument;
        }
    }
    CheckCombination(options);
    return options;
}

std::wstring UsageText(const std::wstring& program)
{
    const std::wstring nl = L"\r\n";
    return L"Usage: " + program + L" [/scan [/repair] | /restore FILE | /quarantine COMMAND] [/report FILE] [/quiet] [/?]" +
           nl + nl +
           L"  /scan          scan without a window and print what was found" + nl +
           L"  /repair        with /scan: remove everything found and print what became of each item" + nl +
           L"  /restore FILE  bring back the registry entries that a repair saved in the undo file FILE" + nl +
           L"  /quarantine list" + nl +
           L"                 list the quarantine runs of the spyware removal and the items each holds" + nl +
           L"  /quarantine restore RUN [ITEM]" + nl +
           L"                 put back what the run RUN holds, or only its item ITEM (a number or a path)" + nl +
           L"  /quarantine purge DAYS" + nl +
           L"                 delete the quarantine runs older than DAYS days" + nl +
           L"  /report FILE   also write the report as a JSON document (UTF-8) into FILE, replacing it whole" + nl +
           L"  /quiet         print only the summary line; errors still go to standard error" + nl +
           L"  /?             print this text" + nl + nl +
           L"Without options Brisfold.exe opens its window and scans." + nl +
           L"The last line printed is always one summary line, e.g." + nl +
           L"  Brisfold: 4 scanners found 147 items, 142 removed, 5 left (status 3)" + nl + nl +
           L"Exit status:" + nl +
           L"  0     nothing was found (/restore, /quarantine: everything was restored, listed or purged)" + nl +
           L"  1     something was found (with /repair: every listed item was removed)" + nl +
           L"  2     start-up error, a command line not understood, or an error that ended the command" + nl +
           L"  3     with /repair: something was left in place, refused or failed (/restore: an entry was not" + nl +
           L"        written; /quarantine: something was not restored or not purged)" + nl +
           L"  3010  with /repair: the repair completes at the next restart (items scheduled for it, nothing" + nl +
           L"        else left)" + nl + nl +
           L"Administrators set the settings of Main.ini as policy values: the key HKLM (or HKCU)\\" + kPolicyKey +
           L"\\<section>, a value named after the setting (REG_DWORD for switches and numbers, REG_SZ for texts)." +
           nl;
}
