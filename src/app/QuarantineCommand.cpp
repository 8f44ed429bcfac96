#include "app/QuarantineCommand.h"

#include "common/Kelvor_Routine.h"
#include "common/TextCompare.h"
#include "quarantine/Quarantine.h"

#include <optional>

namespace {

const wchar_t kNewLine[] = L"\r\n";
const wchar_t kUsage[] = L"Brisfold: /quarantine list | restore RUN [ITEM] | purge DAYS";

std::optional<int> Number(const std::wstring& text, int largest)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of(L"0123456789") != std::wstring::npos)
        return std::nullopt;
    const int number = std::stoi(text);
    return number <= largest ? std::optional<int>(number) : std::nullopt;
}

std::wstring ItemLineText(const TRunEntry& run, const TQuarantineItem& item)
{
    return L"    " + std::to_wstring(item.Number) + L"  " + item.Path + L": " + ItemStateText(run, item) + kNewLine;
}

int List(const TQuarantine& quarantine, const std::function<void(const std::wstring&)>& out,
         const std::function<void(const std::wstring&)>& err)
{
    std::vector<std::wstring> problems;
    const std::vector<TRunEntry> runs = quarantine.Runs(&problems);
    std::wstring text;
    int readable = 0;
    for (const TRunEntry& run : runs) {
        text += run.Name;
        if (!run.Readable) {
            text += L": cannot be read: " + run.Problem + kNewLine;
            continue;
        }
        ++readable;
        text += L"  " + std::to_wstring(run.Manifest.Items.size()) + L" items, " + FormatSize(int64_t(run.Bytes)) +
                L", " + run.Folder + kNewLine;
        for (const TQuarantineItem& item : run.Manifest.Items)
            text += ItemLineText(run, item);
        for (const std::wstring& damaged : run.Manifest.Damaged)
            text += L"    skipped " + damaged + kNewLine;
    }
    if (runs.empty())
        text += std::wstring(L"The quarantine holds no runs.") + kNewLine;
    out(text);
    for (const std::wstring& problem : problems)
        err(L"Brisfold: " + problem + kNewLine);
    return readable == 0 && (!problems.empty() || !runs.empty()) ? 2 : 0;
}

int Restore(const TQuarantine& quarantine, const std::vector<std::wstring>& arguments,
            const std::function<void(const std::wstring&)>& out, const std::function<void(const std::wstring&)>& err)
{
    if (arguments.size() < 2 || arguments.size() > 3) {
        err(std::wstring(L"Brisfold: /quarantine restore needs the name of a run (see /quarantine list), and may "
                         L"name one of its items.") +
            kNewLine);
        return 2;
    }
    std::wstring problem;
    const std::optional<TRunEntry> run = quarantine.FindRun(arguments[1], problem);
    if (!run) {
        err(L"Brisfold: nothing was restored: " + problem + kNewLine);
        return 2;
    }
    int number = 0;
    if (arguments.size() == 3) {
        // An item by its number in the list, or by its path.
        std::optional<int> given = Number(arguments[2], 1000000);
        for (const TQuarantineItem& item : run->Manifest.Items)
            if (!given && SameText(item.Path, arguments[2]))
                given = item.Number;
        if (!given || *given == 0) {
            err(L"Brisfold: nothing was restored: the run " + run->Name + L" has no item " + arguments[2] + kNewLine);
            return 2;
        }
        number = *given;
    }
    const TRestoreResult restored = quarantine.Restore(*run, number);
    if (!restored.Read) {
        err(L"Brisfold: nothing was restored: " + restored.Problem + kNewLine);
        return 2;
    }
    std::wstring text = L"Restored from quarantine run " + run->Name + L":" + kNewLine;
    for (const TItemResult& item : restored.Items)
        text += L"    " + std::to_wstring(item.Number) + L"  " + item.Path + L": " + item.Text + kNewLine;
    for (const std::wstring& skipped : restored.Skipped)
        text += L"    not restored, the manifest's " + skipped + kNewLine;
    out(text);
    return restored.AllRestored() && restored.Skipped.empty() ? 0 : 3;
}

int Purge(const TQuarantine& quarantine, const std::vector<std::wstring>& arguments,
          const std::function<void(const std::wstring&)>& out, const std::function<void(const std::wstring&)>& err)
{
    const std::optional<int> days = arguments.size() == 2 ? Number(arguments[1], 36500) : std::nullopt;
    if (!days) {
        err(std::wstring(L"Brisfold: /quarantine purge needs a number of days from 0 to 36500: the runs older than "
                         L"that are deleted.") +
            kNewLine);
        return 2;
    }
    const TPurgeResult purged = quarantine.Purge(*days);
    std::wstring text = L"Purged " + std::to_wstring(purged.Runs) + L" quarantine runs older than " +
                        std::to_wstring(*days) + L" days." + kNewLine;
    for (const std::wstring& left : purged.NotPurged)
        text += L"    not purged: " + left + kNewLine;
    out(text);
    return purged.NotPurged.empty() ? 0 : 3;
}

} // namespace

int RunQuarantineCommand(const std::vector<std::wstring>& arguments, const TQuarantinePlaces& places,
                         const std::function<void(const std::wstring&)>& out,
                         const std::function<void(const std::wstring&)>& err)
{
    const TQuarantine quarantine(places);
    const std::wstring verb = arguments.empty() ? std::wstring() : arguments[0];
    if (SameText(verb, L"list") && arguments.size() == 1)
        return List(quarantine, out, err);
    if (SameText(verb, L"restore"))
        return Restore(quarantine, arguments, out, err);
    if (SameText(verb, L"purge"))
        return Purge(quarantine, arguments, out, err);
    err(std::wstring(kUsage) + kNewLine);
    return 2;
}
