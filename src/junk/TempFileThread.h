#pragma once
// The junk-file scanner: a worker thread that lists browser-cache files and old temporary files and
// sizes the recycle bin; its removal is handed to Ravenwick.dll.
#include "common/Types.h"
#include "ui/Thread.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TLabel;
class TProgressBar;
class TMemo;

class TempThread : public TThread {
public:
    TempThread(TLabel& statusLabel, TProgressBar& progressBar, TMemo& memo, const TWideStrings& texts);

    ~TempThread() override;

    void Repair(TLabel& statusLabel);
    // The removal library's thread started by the last Repair, handed to the caller (who closes it),
    // for a caller that must wait for the removal; nullptr when none was started or already taken.
    HANDLE TakeRemovalThread();
    // Keeps the window alive until Finished is set, sleeping while no message is waiting.
    void WaitUntilFinished();

    TLabel& StatusLabel;
    TProgressBar& ProgressBar;
    std::wstring CachePath;
    std::wstring CurrentFile;
    std::wstring UserTag;
    TMemo& Memo;
    TWideStrings Texts;
    std::atomic<unsigned char> Finished{0};
    int32_t JunkCount = 0;
    // Sizes are 64-bit: a junk total of 2 GiB or more must not wrap.
    int64_t TotalBytes = 0;
    int64_t CacheBytes = 0;
    int64_t TempBytes = 0;
    int64_t RecycleBytes = 0;
    std::wstring SizeText;
    TStopFlag Stopped{0};
    std::wstring ScanPrefix;
    // Drive root whose recycle-bin folder is sized; the system folder's drive ("C:\" and the like).
    std::wstring RecycleDrive;
    // Set by Repair when Ravenwick.dll was loaded and its thread started.
    bool RemovalStarted = false;

protected:
    void Execute() override;

private:
    void Scan();
    void ListFile(bool inCache, const std::wstring& path, int64_t size);
    void FlushLines();
    void RunOnUiThread(const std::function<void()>& call);

    std::vector<std::wstring> PendingLines_; // worker side: memo lines not yet handed over
    HANDLE RemovalThread_ = nullptr;
};
