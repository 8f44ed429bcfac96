#include "junk/TempFileThread.h"

#include "common/AppFrame.h"
#include "common/FormatText.h"
#include "common/IniFile.h"
#include "common/Kelvor_Routine.h"
#include "common/MultiLan.h"
#include "common/Paths.h"
#include "common/SafeDelete.h"
#include "junk/JunkWalk.h"
#include "junk/RemovalCalls.h"
#include "ui/Application.h"
#include "ui/Label.h"
#include "ui/LineList.h"
#include "ui/MessagePump.h"
#include "ui/ProgressBar.h"

#include <algorithm>
#include <exception>

namespace {

const std::wstring kDashes(56, L'-');
constexpr size_t kStatusTail = 31;
constexpr int kRepairSteps = 100;
// "M_Temp" lines of the memo's heading, count and size, and of the status line during a removal.
constexpr int kTitleText = 0;
constexpr int kCountText = 1;
constexpr int kSizeText = 2;
constexpr int kRemovingText = 3;
// "M_Temp" lines of a folder the guard refused: a root; holds a protected folder; lies inside one;
// cannot be resolved.
constexpr int kSkippedRootText = 5;
constexpr int kSkippedHoldsText = 6;
constexpr int kSkippedInsideText = 7;
constexpr int kSkippedUnresolvedText = 8;
// "M_Temp" lines of the switches of today's Windows: their names, in the order of kJunkSwitches; a
// switch's size line (name, count, size); a switch held back for want of rights (name, size); the
// same when its size cannot be read (name).
constexpr int kFirstSwitchText = 9;
constexpr int kSwitchSizeText = kFirstSwitchText + kJunkSwitchCount;
constexpr int kSwitchAdminText = kSwitchSizeText + 1;
constexpr int kSwitchAdminUnreadableText = kSwitchSizeText + 2;
static_assert(kSwitchAdminUnreadableText == 16);
// "M_Temp" line of a switch's folder that a link leads elsewhere (folder, where it leads).
constexpr int kSkippedRedirectedText = 17;
// "M_Temp" size line of a switch that found one file (name, size).
constexpr int kSwitchOneFileText = 18;

} // namespace

TempThread::TempThread(TLabel& statusLabel, TProgressBar& progressBar, TLineList& memo, const TWideStrings& texts)
    : StatusLabel(statusLabel), ProgressBar(progressBar), Memo(memo), Texts(texts)
{
    UserTag = NetworkUserTag();
    Places = SystemJunkPlaces();
    LibraryPath = TAppFrame().ExeFolder + L"Ravenwick.dll";
    Memo.Clear();
    ProgressBar.SetPosition(0);
    ProgressBar.SetMin(0);
    ProgressBar.SetMax(100);
    ProgressBar.SetStep(1);
}

TempThread::~TempThread()
{
    // The worker uses this object's fields: it must have ended before they go.
    if (Running()) {
        Stopped = 1;
        WaitFor();
    }
    // The library's code runs on its thread: it stays loaded until that thread has ended, and so do the
    // list it reads and the result it writes.
    if (RemovalThread_ && WaitForSingleObject(RemovalThread_.Get(), 0) == WAIT_TIMEOUT) {
        Library_.Release();
        return;
    }
    if (RemovalList_.IsOpen()) {
        try {
            ReadRemovalResult(true);
        } catch (...) {
        }
    }
}

void TempThread::RunOnUiThread(const std::function<void()>& call)
{
    // An error inside the call ends the scan on the worker, whatever the thread class does with it.
    std::exception_ptr error;
    Synchronize([&call, &error] {
        try {
            call();
        } catch (...) {
            error = std::current_exception();
        }
    });
    if (error) std::rethrow_exception(error);
}

void TempThread::Execute()
{
    try {
        Scan();
    } catch (...) {
        // The scan ends here without a summary; the lines already found still reach the memo.
        try {
            FlushLines();
        } catch (...) {
        }
    }
    if (Finished.load(std::memory_order_acquire) != 0) return;
    try {
        RunOnUiThread([this] { Finished.store(1, std::memory_order_release); });
    } catch (...) {
        // Without a way to the user-interface thread the waiting window must still be released.
        Finished.store(1, std::memory_order_release);
    }
}

void TempThread::Scan()
{
    const TJunkSettings settings = ReadJunkSettings(TSettings(MainIniPath(), PolicyRoots));
    CachePath = InternetCacheFolder();

    RunOnUiThread([this] {
        Memo.Add(TextAt(Texts, kTitleText));
        Memo.Add(kDashes);
        Memo.Add(L"");
        Memo.Add(L"");
        Memo.Add(L"");
    });

    // Asked once: what an administrator alone may remove is measured but not listed without the rights.
    const bool elevated = !Places.Elevated || Places.Elevated();
    for (int i = 0; i < kJunkSwitchCount; ++i) Switches[static_cast<size_t>(i)].On = settings.Switches[static_cast<size_t>(i)];
    TJunkWalker walker(UserTag, settings.RemoveDay, Stopped, ProtectedFolders(Places), [this, elevated](const TJunkFile& file) {
        const int index = JunkSwitchIndex(file.Area);
        if (index < 0) {
            ListFile(file);
            return;
        }
        TSwitchTally& tally = Switches[static_cast<size_t>(index)];
        if (file.AdminOnly && !elevated) {
            ++tally.HeldCount;
            tally.HeldBytes += file.Size;
            return;
        }
        ++tally.Count;
        tally.Bytes += file.Size;
        ListFile(file);
    });
    walker.WalkAll(settings, CachePath, Places);
    TallySwitches(walker, elevated);
    const TRefusalTexts refusal{TextAt(Texts, kSkippedRootText), TextAt(Texts, kSkippedHoldsText),
                                TextAt(Texts, kSkippedInsideText), TextAt(Texts, kSkippedUnresolvedText),
                                TextAt(Texts, kSkippedRedirectedText)};
    for (const TFolderCheck& check : walker.Skipped()) PendingSkips_.push_back(RefusalLine(refusal, check));
    for (std::wstring& line : SwitchLines()) PendingSkips_.push_back(std::move(line));
    if (settings.Recycle) {
        RecycleBytes = RecycleBinSize(Places.RecycleDrive);
        if (RecycleBytes > 0) {
            RecycleFolder = RecycleBinFolder(Places.RecycleDrive);
            RecycleExpected_ = ResolvedPath(RecycleFolder);
        }
    }

    // Lines, summary and the finished flag in one call: the waiting window is released at once.
    RunOnUiThread([this] {
        HandLines();
        TotalBytes += RecycleBytes;
        SizeText = FormatSizeZero(TotalBytes);
        Memo.SetLine(2, FormatText(TextAt(Texts, kCountText), {int64_t{JunkCount}}));
        Memo.SetLine(3, FormatText(TextAt(Texts, kSizeText), {SizeText}));
        ProgressBar.SetMax(100);
        ProgressBar.SetPosition(100);
        Memo.ScrollToEnd();
        Finished.store(1, std::memory_order_release);
    });
}

void TempThread::TallySwitches(const TJunkWalker& walker, bool elevated)
{
    if (elevated) return;
    for (const TJunkRoot& root : SwitchRoots(Places)) {
        const int index = JunkSwitchIndex(root.Area);
        if (index >= 0 && root.AdminOnly && Switches[static_cast<size_t>(index)].On)
            Switches[static_cast<size_t>(index)].HeldBack = true;
    }
    for (const TJunkRoot& root : walker.Unreadable()) {
        const int index = JunkSwitchIndex(root.Area);
        if (index >= 0 && root.AdminOnly) Switches[static_cast<size_t>(index)].Unreadable = true;
    }
}

// A line for each switch that found something, and one for each switch held back for want of rights,
// in the order of kJunkSwitches.
std::vector<std::wstring> TempThread::SwitchLines() const
{
    std::vector<std::wstring> lines;
    for (int i = 0; i < kJunkSwitchCount; ++i) {
        const TSwitchTally& tally = Switches[static_cast<size_t>(i)];
        const std::wstring& name = TextAt(Texts, kFirstSwitchText + i);
        if (tally.Count == 1)
            lines.push_back(FormatText(TextAt(Texts, kSwitchOneFileText), {name, FormatSizeZero(tally.Bytes)}));
        else if (tally.Count > 1)
            lines.push_back(FormatText(TextAt(Texts, kSwitchSizeText), {name, int64_t{tally.Count}, FormatSizeZero(tally.Bytes)}));
        if (!tally.HeldBack) continue;
        if (tally.Unreadable)
            lines.push_back(FormatText(TextAt(Texts, kSwitchAdminUnreadableText), {name}));
        else
            lines.push_back(FormatText(TextAt(Texts, kSwitchAdminText), {name, FormatSizeZero(tally.HeldBytes)}));
    }
    return lines;
}

void TempThread::ListFile(const TJunkFile& file)
{
    ++JunkCount;
    TotalBytes += file.Size;
    if (file.Area == TJunkArea::Cache)
        CacheBytes += file.Size;
    else if (file.Area == TJunkArea::Temp)
        TempBytes += file.Size;
    CurrentFile = file.Path;
    Listed.push_back(file.Path);
    // Most files resolve to the path they were listed by: those keep no second copy.
    const bool same = !file.Expected.empty() && file.Expected == file.Path;
    ListedExpected.push_back(same ? std::wstring() : file.Expected);
    ExpectedIsPath_.push_back(same);
    ListedSize.push_back(file.Size);
    ListedArea.push_back(file.Area);
    // The page is handed the list itself once the scan is over: it cannot be looked at during a scan.
    if (JunkCount % 5 != 0) return;
    const ULONGLONG now = GetTickCount64();
    if (UpdateEveryMs > 0 && LastUpdate_ != 0 && now - LastUpdate_ < UpdateEveryMs) return;
    LastUpdate_ = now;
    RunOnUiThread([this] {
        ProgressBar.SetMax(ProgressBar.Max() + 1);
        ProgressBar.SetPosition(ProgressBar.Position() + 1);
        const size_t tail = std::min(CurrentFile.size(), kStatusTail);
        StatusLabel.SetCaption(ScanPrefix + L" " + CurrentFile.substr(CurrentFile.size() - tail));
    });
}

const std::wstring& TempThread::ExpectedOf(size_t index) const
{
    return ExpectedIsPath_[index] ? Listed[index] : ListedExpected[index];
}

// The refused folders' lines and the switches' lines come first, then the files in the order found,
// which the page shows from the list itself. On the user-interface thread; the worker has stopped
// adding to the list.
void TempThread::HandLines()
{
    for (const std::wstring& line : PendingSkips_) Memo.Add(line);
    PendingSkips_.clear();
    if (!LinesHanded_ && !Listed.empty()) Memo.ShareTail(ListedShared_);
    LinesHanded_ = true;
}

void TempThread::FlushLines()
{
    RunOnUiThread([this] { HandLines(); });
}

bool TempThread::Repair(TLabel& statusLabel, const TKeptEntries& kept)
{
    RemovalStarted = false;
    LastRepair.Clear();
    KeptBy_.assign(Listed.size(), std::wstring());
    BinKeptBy_.clear();
    if (!kept.Empty()) {
        for (size_t i = 0; i < Listed.size(); ++i)
            if (const std::wstring* list = kept.KeptBy(FilePlace(Listed[i]))) KeptBy_[i] = *list;
        if (!RecycleFolder.empty())
            if (const std::wstring* list = kept.KeptBy(FilePlace(RecycleFolder))) BinKeptBy_ = *list;
    }
    if (!Library_) {
        // A full path: the library is never looked for along the search path.
        Library_.Reset(LoadLibraryExW(LibraryPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    }
    auto createDll = Library_ ? reinterpret_cast<TCreateDll>(GetProcAddress(Library_.Get(), kCreateDllName)) : nullptr;
    auto repairFile =
        Library_ ? reinterpret_cast<LPTHREAD_START_ROUTINE>(GetProcAddress(Library_.Get(), kRepairTFileName)) : nullptr;
    if (!createDll || !repairFile) {
        AddListed(TOutcome::Failed);
        LastRepair.Ran = true;
        return false;
    }
    // A removal thread of an earlier repair must have ended before the library is asked again; what
    // it left for a report that was never made goes first.
    if (RemovalThread_) WaitProcessingSentMessages(RemovalThread_.Get());
    if (RemovalList_.IsOpen()) ReadRemovalResult(true);
    LastRepair.Clear();
    ResultRead_ = false;

    BSTR text = nullptr;
    createDll(&text, MainIniPath().c_str());
    const std::wstring removalId = text ? text : L"";
    SysFreeString(text);
    statusLabel.SetCaption(TextAt(Texts, kRemovingText));
    // Without its list the library would remove nothing: no thread then, and nothing is reached.
    if (WriteRemovalList(removalId)) {
        RemovalThread_.Reset(CreateThread(nullptr, 0, repairFile, nullptr, 0, nullptr));
        RemovalStarted = static_cast<bool>(RemovalThread_);
    }
    if (!RemovalStarted) {
        RemovalList_.Close();
        (void)DeleteFileSafe(JunkListPath(SettingsFolderPath())); // a trace of the user's files
        AddListed(TOutcome::NotReached);
        LastRepair.Ran = true;
    }

    ProgressBar.SetPosition(0);
    ProgressBar.SetMin(0);
    ProgressBar.SetMax(100);
    ProgressBar.SetStep(1);
    const int pause = 10 * std::min(JunkCount / 500 + 3, 120);
    TPacedSteps pacing(Pause, kRepairSteps);
    for (int step = 0; step < kRepairSteps; ++step) {
        pacing.Step(static_cast<DWORD>(pause));
        ProcessMessages();
        ProgressBar.StepIt();
    }
    return true;
}

bool TempThread::IsKept(size_t index) const
{
    return index < KeptBy_.size() && !KeptBy_[index].empty();
}

void TempThread::AddListed(TOutcome outcome)
{
    for (size_t i = 0; i < Listed.size(); ++i) {
        if (IsKept(i))
            LastRepair.Keep(Listed[i], KeptBy_[i]);
        else
            LastRepair.Add(Listed[i], outcome);
    }
}

bool TempThread::CompleteRepairReport(DWORD timeoutMs)
{
    bool ended = true;
    if (RemovalThread_) {
        const DWORD start = GetTickCount();
        for (;;) {
            const DWORD elapsed = GetTickCount() - start;
            HANDLE thread = RemovalThread_.Get();
            const DWORD result = elapsed >= timeoutMs
                                     ? WaitForSingleObject(thread, 0)
                                     : MsgWaitForMultipleObjects(1, &thread, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
            if (result == WAIT_OBJECT_0 || result == WAIT_FAILED) break;
            if (elapsed >= timeoutMs) {
                ended = false;
                break;
            }
            ProcessMessages();
        }
    }
    if (!RemovalStarted || ResultRead_) return ended; // the report is complete already
    ReadRemovalResult(ended);
    return ended;
}

bool TempThread::WriteRemovalList(const std::wstring& removalId)
{
    if (removalId.empty()) return false;
    const std::wstring folder = SettingsFolderPath();
    // A result of an earlier removal must not be read as this one's.
    if (!OutcomeDone(DeleteFileSafe(JunkResultPath(folder)))) return false;
    std::vector<TJunkListEntry> entries;
    entries.reserve(Listed.size() + 1);
    for (size_t i = 0; i < Listed.size(); ++i)
        if (!IsKept(i)) entries.push_back({Listed[i], ExpectedOf(i)});
    // The bin is emptied only when the scan measured it.
    if (!RecycleFolder.empty() && !RecycleExpected_.empty() && BinKeptBy_.empty())
        entries.push_back({RecycleFolder, RecycleExpected_});
    return RemovalList_.Write(JunkListPath(folder), removalId, entries);
}

void TempThread::ReadRemovalResult(bool finished)
{
    const std::wstring folder = SettingsFolderPath();
    const std::map<std::wstring, TOutcome> results = ReadJunkResults(JunkResultPath(folder));
    LastRepair.Clear();
    LastRepair.Ran = true;
    for (size_t i = 0; i < Listed.size(); ++i) {
        const std::wstring& file = Listed[i];
        const auto result = results.find(file);
        if (IsKept(i))
            LastRepair.Keep(file, KeptBy_[i]);
        else if (result != results.end())
            LastRepair.Add(file, result->second);
        else
            LastRepair.Add(file, GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES ? TOutcome::AlreadyGone
                                                                                           : TOutcome::NotReached);
    }
    if (RecycleBytes > 0) {
        // The folder measured and emptied: the current user's bin of the drive.
        const std::wstring bin = L"Recycle bin " + RecycleFolder;
        if (!BinKeptBy_.empty())
            LastRepair.Keep(bin, BinKeptBy_);
        else
            LastRepair.Add(bin, RecycleBinHoldsItems(Places.RecycleDrive) ? TOutcome::Failed : TOutcome::Removed);
    }
    // While the library still runs it may read the list and write the result: both stay until then.
    if (!finished) return;
    ResultRead_ = true;
    RemovalList_.Close();
    (void)DeleteFileSafe(JunkListPath(folder)); // traces of the user's files; if one stays, nothing else does
    (void)DeleteFileSafe(JunkResultPath(folder));
}

int TempThread::WaitUntilFinished()
{
    HANDLE worker = ThreadHandle();
    if (!worker) return 0; // never started: nothing would ever set the flag
    int passes = 0;
    for (;;) {
        // Once the program has been asked to quit, the pump only posts WM_QUIT again, which would end
        // every wait at once: from then on only the worker's calls (sent messages) are run.
        const bool quitting = Application().Terminated;
        if (quitting) {
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        } else {
            ProcessMessages();
        }
        if (Finished.load(std::memory_order_acquire) != 0) break;
        ++passes;
        // Sleeps until a message arrives that was not there at the last look, or the worker ends.
        const DWORD result =
            MsgWaitForMultipleObjectsEx(1, &worker, INFINITE, quitting ? QS_SENDMESSAGE : QS_ALLINPUT, 0);
        // An ended worker has set the flag on its way out; a failed wait must not hold the window.
        if (result != WAIT_OBJECT_0 + 1) break;
    }
    return passes;
}
