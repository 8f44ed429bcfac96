#pragma once
// The junk-file scanner: a worker thread that lists browser-cache files and old temporary files and
// sizes the recycle bin; its removal is handed to Ravenwick.dll.
#include "common/Types.h"
#include "ui/Thread.h"

#include <cstdint>
#include <string>

class TLabel;
class TProgressBar;
class TMemo;

class TempThread : public TThread {
public:
    TempThread(TLabel& statusLabel, TProgressBar& progressBar, TMemo& memo, const TWideStrings& texts);

    void Repair(TLabel& statusLabel);

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

protected:
    void Execute() override;
};
