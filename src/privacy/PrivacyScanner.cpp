#include "privacy/PrivacyScanner.h"

#include "ui/Label.h"
#include "ui/Memo.h"
#include "ui/ProgressBar.h"

// The privacy categories are not part of this build yet: the scanner keeps its contract with the
// main window and reports no findings.
TPrivacyScanner::TPrivacyScanner(const TWideStrings& texts) : Texts(texts) {}

int32_t TPrivacyScanner::Scan(TLabel& status, TProgressBar& progress, const std::wstring& selection, TMemo& memo)
{
    memo.Clear();
    return 0;
}

void TPrivacyScanner::Repair(TLabel& status, TProgressBar& progress)
{
    status.SetCaption(RepairPrefix);
}
