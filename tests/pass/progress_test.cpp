#include "pass/progress.h"

#include <gtest/gtest.h>

namespace parlavo {
namespace {

TEST(DurationText, RoundsHalfToEvenAndNamesEachUnit) {
    const struct {
        float seconds;
        const char* text;
    } cases[] = {
        {0.0f, ""},
        {1.0f, " 1 sec"},
        {2.5f, " 2 secs"},
        {59.6f, " 1 min"},
        {61.0f, " 1 min 1 sec"},
        {75.4f, " 1 min 15 secs"},
        {119.5f, " 2 mins"},
        {3599.4f, " 59 mins 59 secs"},
        {3725.0f, "1 hr 2 mins 5 secs"},
        {7322.5f, "2 hrs 2 mins 2 secs"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(durationText(c.seconds), c.text) << "for " << c.seconds << " seconds";
    }
}

TEST(Title, CountsEntriesLeftOfTheEnglishKeysAndAddsTheEstimate) {
    Progress progress;
    progress.total = 20;
    progress.answered = 8;
    progress.keyCount = 345;
    progress.remainingSeconds = 75.4f;
    EXPECT_EQ(titleText(progress),
              "Parlavo v1.11  (12 of 345 need translating)  Time to completion:  1 min 15 secs");

    progress.answered = 20;
    progress.remainingSeconds = 0;
    EXPECT_EQ(titleText(progress), "Parlavo v1.11  (0 of 345 need translating)  Time to completion: ");
}

} // namespace
} // namespace parlavo
