#pragma once
// The JSON report of a console command (the layout docs/report.schema.json describes), as UTF-8 text.
// Every text goes from UTF-16 to UTF-8 with invalid sequences replaced by U+FFFD, so that writing it
// never fails whatever names the machine holds.
#include "app/RunRecord.h"

#include <string>

std::string ReportJson(const TRunRecord& record);

// The outcome as the report names it: "removed", "alreadyGone", "inUse", "scheduled", "refused",
// "failed", "pending", "notRemoved", "notReached".
const char* OutcomeId(TOutcome outcome);
