#include "common/RepairOutcome.h"

#include <gtest/gtest.h>

TEST(RepairReport, CountsEachOutcomeAndKeepsWhatWasLeft)
{
    TRepairReport report;
    EXPECT_FALSE(report.Ran);
    report.Add(L"a", TOutcome::Removed);
    report.Add(L"b", TOutcome::AlreadyGone);
    report.Add(L"c", TOutcome::Scheduled);
    EXPECT_TRUE(report.AllDone());
    report.Add(L"d", TOutcome::InUse);
    report.Add(L"e", TOutcome::Refused);
    report.Add(L"f", TOutcome::Failed);
    EXPECT_TRUE(report.Ran);
    EXPECT_FALSE(report.AllDone());
    EXPECT_EQ(6, report.Total());
    for (TOutcome outcome : {TOutcome::Removed, TOutcome::AlreadyGone, TOutcome::Scheduled, TOutcome::InUse,
                             TOutcome::Refused, TOutcome::Failed})
        EXPECT_EQ(1, report.Count(outcome)) << OutcomeName(outcome);
    ASSERT_EQ(3u, report.Left().size());
    EXPECT_EQ(L"d", report.Left()[0].Text);
    EXPECT_EQ(TOutcome::Failed, report.Left()[2].Outcome);
    report.Clear();
    EXPECT_EQ(0, report.Total());
    EXPECT_TRUE(report.Left().empty());
}
