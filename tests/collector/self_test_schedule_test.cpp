// Which self-test a drive is due for on a day: one extended test a month,
// short ones weekly, on days taken from its serial number.

#include "collector/self_test_schedule.h"

#include <gtest/gtest.h>

namespace {

struct ScheduleCase {
    const char* serial;
    int longDay;      // day of the month of its extended test
    int shortWeekday; // 0 Sunday to 6 Saturday
};

TEST(ScheduledSelfTest, OneExtendedTestAMonthAndShortOnesWeeklyOnTheDrivesOwnDays) {
    // The days of FNV-1a of the serial: 1 + hash % 28, (hash / 28) % 7.
    const ScheduleCase cases[] = {
        {"WD-WCC4E1234567", 10, 1},
        {"S4EVNX0M", 25, 0},
    };
    for (const ScheduleCase& c : cases) {
        SCOPED_TRACE(c.serial);
        // A 31-day month whose first day is a Monday.
        int longTests = 0;
        int shortTests = 0;
        for (int day = 1; day <= 31; ++day) {
            const int weekday = day % 7;
            const std::string due = ScheduledSelfTest(c.serial, weekday, day);
            if (day == c.longDay) {
                EXPECT_EQ(due, "long") << day;
            } else if (weekday == c.shortWeekday) {
                EXPECT_EQ(due, "short") << day;
            } else {
                EXPECT_EQ(due, "") << day;
            }
            longTests += due == "long";
            shortTests += due == "short";
        }
        EXPECT_EQ(longTests, 1);
        EXPECT_GE(shortTests, 3);
    }
}

} // namespace
