#include "spyware/SpywareScan.h"

#include "common/CodePage.h"
#include "common/Exception.h"
#include "common/ExpectedPath.h"
#include "common/Extinifiles.h"
#include "common/IniFile.h"
#include "common/Kelvor_Routine.h"
#include "common/Paths.h"
#include "common/SafeDelete.h"
#include "common/SystemFolders.h"
#include "common/TextLines.h"
#include "common/UrlCache.h"
#include "spyware/PathMacros.h"
#include "spyware/RegistryEntry.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/MessagePump.h"
#include "ui/ProgressBar.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <set>

namespace {

// Lines of the "M_SpywareScan" texts.
constexpr int kCookieRiskText = 4;
constexpr int kCookieItemText = 6;
// How often the definitions pass handles messages between moves of the bar.
constexpr ULONGLONG kPumpEveryMs = 30;

TAnsiStrings ExtractLines(TZLBArchive& archive, int index)
{
    TMemoryStream stream;
    archive.ExtractStream(stream, index);
    stream.Seek(0);
    return SplitLines(stream.Text());
}

TAnsiStrings ExtractLines(TZLBArchive& archive, const std::string& name)
{
    TMemoryStream stream;
    archive.ExtractStreamByName(stream, name);
    stream.Seek(0);
    return SplitLines(stream.Text());
}

// A decimal integer with optional leading blanks and sign, as the definitions write numbers;
// anything else is a conversion error.
int32_t ToInteger(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i == text.size())
        throw Exception("'" + text + "' is not a valid integer value");
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            throw Exception("'" + text + "' is not a valid integer value");
        value = value * 10 + (text[i] - '0');
        if (value > int64_t(INT_MAX) + 1)
            throw Exception("'" + text + "' is not a valid integer value");
    }
    value = negative ? -value : value;
    if (value > INT_MAX)
        throw Exception("'" + text + "' is not a valid integer value");
    return static_cast<int32_t>(value);
}

} // namespace

TSpyScan::TSpyScan(const std::wstring& archivePath, const TWideStrings& texts) : Texts(texts)
{
    Archive = std::make_unique<TZLBArchive>();
    Archive->OpenArchive(archivePath);

    MainLines = ExtractLines(*Archive, "Main.db");
    if (MainLines.size() < 3)
        throw Exception("List index out of bounds (2)");
    FirstDefinition = ToInteger(LineValue(MainLines[2]));
    const int count = Archive->FileCount();
    // A first definition outside the archive would leave a negative number of definitions.
    if (FirstDefinition < 0 || FirstDefinition > count)
        throw Exception("The definition database names a first definition (" + std::to_string(FirstDefinition) +
                        ") outside its " + std::to_string(count) + " files, please reinstall the program.");

    Definitions.resize(static_cast<size_t>(count - FirstDefinition));
    for (int j = 0; j < count - FirstDefinition; ++j)
        Definitions[static_cast<size_t>(j)] = ExtractLines(*Archive, FirstDefinition + j);

    CookieRules = ExtractLines(*Archive, "TrackingCookie.db");
}

TSpyScan::~TSpyScan() = default;

std::wstring TSpyScan::Text(int line) const
{
    return line >= 0 && static_cast<size_t>(line) < Texts.size() ? Texts[static_cast<size_t>(line)] : std::wstring();
}

std::wstring TSpyScan::CategoryText(const std::string& category) const
{
    static const char* const words[] = {"Adware", "Hijacker", "Homepage Hijacker", "Key Logger",
                                        "Spyware", "Trojan", "Backdoor"};
    for (int i = 0; i < 7; ++i)
        if (category == words[i])
            return Text(8 + i);
    // No text of its own: the word itself tells the user more than an empty name.
    return AnsiToWide(category);
}

std::wstring TSpyScan::RiskText(int32_t risk) const
{
    // Risk 5 is line 1, risk 1 line 5; other values have no text.
    return risk >= 1 && risk <= 5 ? Text(6 - risk) : std::wstring();
}

bool TSpyScan::KeepGoing()
{
    ProcessMessages();
    return !Stopped;
}

LPARAM TSpyScan::Record(TSpyFinding finding)
{
    Findings_.push_back(std::move(finding));
    return static_cast<LPARAM>(Findings_.size());
}

TSpyFinding TSpyScan::FindingOfRow(const TListView& list, int row) const
{
    const LPARAM data = list.Data(row);
    if (data > 0 && static_cast<size_t>(data) <= Findings_.size())
        return Findings_[static_cast<size_t>(data) - 1];
    // A row this scan did not add names nothing the removal may act on: its text is never parsed.
    return {};
}

int32_t TSpyScan::Scan(TLabel& status, TProgressBar& progress, TListView& list)
{
    list.Clear();
    Findings_.clear();
    progress.SetPosition(0);
    int32_t found = ScanDefinitions(status, progress, list);
    found += ScanCookies(status, progress, list);
    found -= ApplyIgnoreList(list);
    return found;
}

int32_t TSpyScan::ScanDefinitions(TLabel& status, TProgressBar& progress, TListView& list)
{
    const int start = progress.Position();
    const int n = static_cast<int>(Definitions.size());
    // The definitions are read only while the program's own file is there; asked once per scan.
    const bool ownFileThere = GetFileAttributesW(ProgramFileName().c_str()) != INVALID_FILE_ATTRIBUTES;
    int32_t added = 0;
    // File and folder rows are listed once, whichever definitions name them.
    std::set<std::wstring> listedPaths;

    int shown = -1;
    ULONGLONG pumped = 0;
    for (int i = 0; i < n; ++i) {
        if (Stopped)
            break;
        TExtIniFile ini(Definitions[static_cast<size_t>(i)], ownFileThere);
        // With one definition the bar goes the whole way at once. The bar and the status line change
        // only where the bar moves: repainting them for each of thousands of definitions cost more than
        // all the definitions' probes.
        const int position = n > 1 ? start + (i * 55) / (n - 1) : start + 55;
        const TAnsiStrings& lines = Definitions[static_cast<size_t>(i)];
        const std::string displayName = lines.size() > 2 ? LineValue(lines[2]) : std::string();
        if (position != shown) {
            shown = position;
            progress.SetPosition(position);
            status.SetCaption(ScanPrefix + L" " + AnsiToWide(displayName));
            pumped = 0;
        }
        // Messages (a "Stop Scan" click among them) are handled where the bar moves and at least every
        // few hundredths of a second in between.
        const ULONGLONG now = GetTickCount64();
        if (now - pumped >= kPumpEveryMs) {
            ProcessMessages();
            pumped = now;
        }

        TAnsiStrings regKeys, fileKeys, folderKeys, mainKeys;
        ini.ReadSection("Reg", regKeys);
        ini.ReadSection("File", fileKeys);
        ini.ReadSection("Folder", folderKeys);
        ini.ReadSection("Main", mainKeys);

        // Caption, description and risk of this definition's rows, read when the first row is added.
        bool haveTexts = false;
        std::wstring caption, description, risk;
        auto addRow = [&](const std::wstring& entry, int32_t image, TSpyFinding finding) {
            if (!haveTexts) {
                if (mainKeys.size() < 3)
                    throw Exception("List index out of bounds (" + std::to_string(mainKeys.size()) + ")");
                caption = CategoryText(ini.ReadString("Main", mainKeys[0], ""));
                description = AnsiToWide(ini.ReadString("Main", mainKeys[1], ""));
                risk = RiskText(ToInteger(ini.ReadString("Main", mainKeys[2], "")));
                haveTexts = true;
            }
            finding.Definition = AnsiToWide(displayName);
            finding.Risk = risk;
            list.AddItem(caption, {description, risk, entry}, image, true, Record(std::move(finding)));
            ++added;
        };

        int hits = 0;
        // Messages are pumped above; asking for them at every key cost as much as the probes themselves.
        for (const std::string& key : regKeys) {
            if (Stopped)
                return added;
            const TRegistryEntry entry = ParseRegistryEntry(AnsiToWide(key));
            // The native key, and its 32-bit twin where 32-bit programs keep theirs apart.
            for (const TRegistryHit& hit : FindRegistryEntry(entry)) {
                addRow(hit.Display, RegistryImage, {TSpyFinding::TKind::Registry, entry, hit});
                ++hits;
            }
        }

        auto scanPaths = [&](const TAnsiStrings& keys, bool folders) {
            for (const std::string& key : keys) {
                if (Stopped)
                    return false;
                if (hits == 0)
                    continue;
                // The definition texts are 8-bit; the folders they expand to stay wide, so that a
                // path outside the code page is still found and removed. Program Files and the system
                // folder are looked at in their 32-bit twins too.
                const std::wstring macroPath = AnsiToWide(key);
                std::wstring nativeRoot, twinRoot;
                const std::wstring native = ExpandPathMacros(macroPath, Folders_, TPathView::Native, &nativeRoot);
                const std::wstring twin = ExpandPathMacros(macroPath, Folders_, TPathView::Wow32, &twinRoot);
                const std::pair<std::wstring, std::wstring> views[] = {
                    {native, nativeRoot}, {twin == native ? std::wstring() : twin, twinRoot}};
                for (const auto& [path, root] : views) {
                    // A macro that looks nothing up leaves a path such as "\\X.lnk", which would name
                    // the root of whatever drive is current.
                    if (!IsFullyQualifiedPath(path))
                        continue;
                    if (folders) {
                        if (!FolderExists(path))
                            continue;
                    } else {
                        if (!FileExists(path) || FileVersionText(path, 1) == L"Microsoft Corporation")
                            continue;
                    }
                    if (!listedPaths.insert(path).second)
                        continue;
                    TSpyFinding finding;
                    finding.Kind = folders ? TSpyFinding::TKind::Folder : TSpyFinding::TKind::File;
                    finding.Path = path;
                    finding.Expected = ExpectedPath(root, path);
                    addRow(path, folders ? FolderImage : FileImage, std::move(finding));
                }
            }
            return true;
        };
        if (!scanPaths(fileKeys, false) || !scanPaths(folderKeys, true))
            return added;
    }
    return added;
}

int32_t TSpyScan::ScanCookies(TLabel& status, TProgressBar& progress, TListView& list)
{
    const int start = progress.Position();
    const int rowsBefore = list.Count();
    int k = 0;

    TAllUrlCacheEntries cache;
    TUrlCacheRecord record;
    while (cache.Next(record)) {
        const std::string& local = record.LocalFileName;
        if (local.size() >= 4 && local.compare(local.size() - 4, 4, ".txt") == 0) {
            CheckCookie(record, status, list);
            ++k;
            progress.SetPosition(start + (k * 45) / 500);
        }
        if (!KeepGoing())
            break;
    }
    progress.SetPosition(start + 45);
    return list.Count() - rowsBefore;
}

void TSpyScan::CheckCookie(const TUrlCacheRecord& record, TLabel& status, TListView& list)
{
    const size_t slash = record.LocalFileName.find_last_of("\\/:");
    const std::string fileName =
        slash == std::string::npos ? record.LocalFileName : record.LocalFileName.substr(slash + 1);
    status.SetCaption(ScanPrefix + L" " + AnsiToWide(fileName));
    status.Repaint();

    const std::string url = AsciiUpper(record.SourceUrl);
    for (const std::string& rule : CookieRules) {
        const std::string pattern = AsciiUpper(LineName(rule));
        if (pattern.empty() || url.find(pattern) == std::string::npos)
            continue;
        TSpyFinding finding;
        finding.Kind = TSpyFinding::TKind::Cookie;
        finding.CookieUrl = record.SourceUrl;
        list.AddItem(Text(kCookieItemText), {AnsiToWide(LineValue(rule)), Text(kCookieRiskText),
                                             AnsiToWide(record.SourceUrl)},
                     CookieImage, true, Record(std::move(finding)));
    }
}

int32_t TSpyScan::ApplyIgnoreList(TListView& list)
{
    int32_t removed = 0;
    const TWideStrings lines = TIniFile(IgnoreIniPath()).ReadSectionLines(L"Spyware");
    for (const std::wstring& line : lines) {
        const std::wstring name = LineName(line);
        const std::wstring value = LineValue(line);
        for (int row = list.Count() - 1; row >= 0; --row) {
            if (list.Caption(row) == name && list.SubItem(row, kEntryColumn) == value) {
                list.Delete(row);
                ++removed;
            }
        }
    }
    return removed;
}

std::vector<TEntryPlace> TSpyScan::UntickedPlaces(const TListView& list) const
{
    std::vector<TEntryPlace> places;
    for (int row = 0; row < list.Count(); ++row)
        if (!list.Checked(row))
            if (auto place = PlaceOf(FindingOfRow(list, row)))
                places.push_back(std::move(*place));
    return places;
}

std::optional<TEntryPlace> PlaceOf(const TSpyFinding& finding)
{
    switch (finding.Kind) {
    case TSpyFinding::TKind::Registry:
        if (!finding.Hit.Root)
            return std::nullopt;
        return RegistryPlace(finding.Hit.Root, finding.Hit.SubKey, finding.Hit.View,
                             finding.Entry.IsValue ? std::optional(finding.Entry.ValueName) : std::nullopt);
    case TSpyFinding::TKind::Folder:
    case TSpyFinding::TKind::File:
        return FilePlace(finding.Path);
    case TSpyFinding::TKind::Cookie:
        return CookiePlace(AnsiToWide(finding.CookieUrl));
    case TSpyFinding::TKind::None:
        break;
    }
    return std::nullopt;
}

