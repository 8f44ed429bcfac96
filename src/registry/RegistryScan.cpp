#include "registry/RegistryScan.h"

#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/ProgressBar.h"

// The registry checks are not part of this build yet: the scanner keeps its contract with the main
// window and reports no findings.
TScanRegistry::TScanRegistry(const TWideStrings& texts) : Texts(texts) {}

int32_t TScanRegistry::Scan(TLabel& status, TProgressBar& progress, TListView& list)
{
    list.Clear();
    progress.SetPosition(0);
    return 0;
}

void TScanRegistry::Repair(TListView& list, TLabel& status, TProgressBar& progress, TWideStrings& repairLog)
{
    status.SetCaption(RepairPrefix);
}
