#include "junk/TempFileThread.h"

#include "common/AppFrame.h"
#include "common/FormatText.h"
#include "common/IniFile.h"
#include "common/Kelvor_Routine.h"
#include "common/MultiLan.h"
#include "common/Paths.h"
#include "junk/JunkWalk.h"
#include "ui/Label.h"
#include "ui/Memo.h"
#include "ui/MessagePump.h"
#include "ui/ProgressBar.h"

#include <oleauto.h>

#include <algorithm>
#include <exception>

namespace {

const std::wstring kDashes(56, L'-');
constexpr size_t kStatusTail = 31;
constexpr int kRepairSteps = 100;

using TCreateDll = void(WINAPI*)(BSTR* text, const wchar_t* iniPath);

} // namespace

TempThread::TempThread(TLabel& statusLabel, TProgressBar& progressBar, TMemo& memo, const TWideStrings& texts)
    : StatusLabel(statusLabel), ProgressBar(progressBar), Memo(memo), Texts(texts)
{
    UserTag = NetworkUserTag();
    RecycleDrive = SystemDriveRoot();
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
    if (RemovalThread_) CloseHandle(RemovalThread_);
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
    const TJunkSettings settings = ReadJunkSettings(MainIniPath());
    CachePath = InternetCacheFolder();

    RunOnUiThread([this] {
        Memo.Add(TextAt(Texts, 0));
        Memo.Add(kDashes);
        Memo.Add(L"");
        Memo.Add(L"");
        Memo.Add(L"");
    });

    TJunkWalker walker(UserTag, settings.RemoveDay, Stopped,
                       [this](TJunkArea area, const std::wstring& path, int64_t size) {
                           ListFile(area == TJunkArea::Cache, path, size);
                       });
    if (settings.IECache) walker.WalkCache(CachePath);
    if (settings.TempFile) {
        for (const std::wstring& folder : TemporaryFolders()) walker.WalkTemp(folder);
    }
    if (settings.Recycle) RecycleBytes = RecycleBinSize(RecycleDrive);

    // Lines, summary and the finished flag in one call: the message loop gets no chance to hand the
    // memo's text to its control in between, so the waiting window is released first.
    std::vector<std::wstring> lines;
    lines.swap(PendingLines_);
    RunOnUiThread([this, &lines] {
        for (const std::wstring& line : lines) Memo.Add(line);
        TotalBytes += RecycleBytes;
        SizeText = FormatSizeZero(TotalBytes);
        Memo.SetLine(2, FormatText(TextAt(Texts, 1), {int64_t{JunkCount}}));
        Memo.SetLine(3, FormatText(TextAt(Texts, 2), {SizeText}));
        ProgressBar.SetMax(100);
        ProgressBar.SetPosition(100);
        Memo.ScrollToEnd();
        Finished.store(1, std::memory_order_release);
    });
}

void TempThread::ListFile(bool inCache, const std::wstring& path, int64_t size)
{
    ++JunkCount;
    TotalBytes += size;
    (inCache ? CacheBytes : TempBytes) += size;
    CurrentFile = path;
    // The memo lines wait here and reach the memo in one go before the summary: the memo cannot be
    // looked at during a scan, and an edit control that is handed a growing text again and again
    // takes time quadratic in the number of lines. The memo ends up the same.
    PendingLines_.push_back(CurrentFile);
    if (JunkCount % 5 != 0) return;
    RunOnUiThread([this] {
        ProgressBar.SetMax(ProgressBar.Max() + 1);
        ProgressBar.SetPosition(ProgressBar.Position() + 1);
        const size_t tail = std::min(CurrentFile.size(), kStatusTail);
        StatusLabel.SetCaption(ScanPrefix + L" " + CurrentFile.substr(CurrentFile.size() - tail));
    });
}

void TempThread::FlushLines()
{
    if (PendingLines_.empty()) return;
    std::vector<std::wstring> lines;
    lines.swap(PendingLines_);
    RunOnUiThread([this, &lines] {
        for (const std::wstring& line : lines) Memo.Add(line);
    });
}

void TempThread::Repair(TLabel& statusLabel)
{
    RemovalStarted = false;
    // Loaded from the program's own folder only, never from the search path.
    HMODULE library = LoadLibraryExW((TAppFrame().ExeFolder + L"Ravenwick.dll").c_str(), nullptr,
                                     LOAD_WITH_ALTERED_SEARCH_PATH);
    auto createDll = library ? reinterpret_cast<TCreateDll>(GetProcAddress(library, "CreateDll")) : nullptr;
    auto repairFile =
        library ? reinterpret_cast<LPTHREAD_START_ROUTINE>(GetProcAddress(library, "RepairTFile")) : nullptr;
    const bool usable = createDll && repairFile;

    if (usable) {
        BSTR text = nullptr;
        createDll(&text, MainIniPath().c_str());
        SysFreeString(text);
    }
    statusLabel.SetCaption(TextAt(Texts, 3));
    if (usable) {
        // The library stays loaded: its thread runs on after this returns.
        HANDLE thread = CreateThread(nullptr, 0, repairFile, nullptr, 0, nullptr);
        if (thread) {
            if (RemovalThread_) CloseHandle(RemovalThread_);
            RemovalThread_ = thread;
            RemovalStarted = true;
        }
    } else if (library) {
        FreeLibrary(library);
    }

    ProgressBar.SetPosition(0);
    ProgressBar.SetMin(0);
    ProgressBar.SetMax(100);
    ProgressBar.SetStep(1);
    const int pause = 10 * std::min(JunkCount / 500 + 3, 120);
    for (int step = 0; step < kRepairSteps; ++step) {
        Sleep(static_cast<DWORD>(pause));
        ProcessMessages();
        ProgressBar.StepIt();
    }
}

HANDLE TempThread::TakeRemovalThread()
{
    HANDLE thread = RemovalThread_;
    RemovalThread_ = nullptr;
    return thread;
}

void TempThread::WaitUntilFinished()
{
    while (Finished.load(std::memory_order_acquire) == 0) {
        ProcessMessages();
        if (Finished.load(std::memory_order_acquire) != 0) break;
        // Wakes for any message, the worker's calls included, instead of spinning.
        MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}
