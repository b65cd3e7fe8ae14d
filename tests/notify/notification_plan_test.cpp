// Acknowledge until it changes, as one table: what was told, what the
// reports give now, and what must be sent and kept.
#include "notify/notification_plan.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

const DriveIdentity kDrive{"TEST MODEL", "SERIAL1"};
const DriveIdentity kOther{"TEST MODEL", "SERIAL2"};

NotifiedWarning Told(WarningKind kind, int id, std::optional<std::int64_t> value,
                     const DriveIdentity& drive = kDrive) {
    return {drive.model, drive.serial, kind, id, value};
}

CurrentWarning Now(WarningKind kind, int id, std::int64_t value,
                   const DriveIdentity& drive = kDrive, WarningLevel level = WarningLevel::Warning,
                   const std::string& text = "") {
    DriveWarning warning;
    warning.level = level;
    warning.text = text;
    warning.kind = kind;
    warning.attributeId = id;
    warning.value = value;
    return {drive, warning};
}

struct PlanCase {
    const char* name;
    std::optional<NotifiedWarning> told;
    CurrentWarning now;
    bool sent;
    std::int64_t valueKept; // the value the state holds afterwards (when nothing fails)
};

const PlanCase kCases[] = {
    {"new counter", std::nullopt, Now(WarningKind::Counter, 197, 8), true, 8},
    {"same counter", Told(WarningKind::Counter, 197, 8), Now(WarningKind::Counter, 197, 8), false,
     8},
    {"rising counter", Told(WarningKind::Counter, 197, 8), Now(WarningKind::Counter, 197, 9), true,
     9},
    {"falling counter keeps what was told", Told(WarningKind::Counter, 5, 8),
     Now(WarningKind::Counter, 5, 7), false, 8},
    {"hotter", Told(WarningKind::Temperature, 194, 60), Now(WarningKind::Temperature, 194, 61),
     true, 61},
    {"cooler", Told(WarningKind::Temperature, 194, 65), Now(WarningKind::Temperature, 194, 61),
     false, 65},
    {"further below threshold", Told(WarningKind::BelowThreshold, 5, 20),
     Now(WarningKind::BelowThreshold, 5, 19), true, 19},
    {"back up but still below", Told(WarningKind::BelowThreshold, 5, 20),
     Now(WarningKind::BelowThreshold, 5, 21), false, 20},
    {"verdict told once", Told(WarningKind::Verdict, 255, 0), Now(WarningKind::Verdict, 255, 0),
     false, 0},
    {"other kind, same id", Told(WarningKind::Counter, 194, 70),
     Now(WarningKind::Temperature, 194, 70), true, 70},
    {"value told is unknown: told, and the value now is kept",
     Told(WarningKind::Counter, 197, std::nullopt), Now(WarningKind::Counter, 197, 9), false, 9},
    {"other drive, same warning", Told(WarningKind::Counter, 197, 8, kOther),
     Now(WarningKind::Counter, 197, 8), true, 8},
};

class PlanTable : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanTable, SendsOnlyNewOrWorse) {
    const PlanCase& c = GetParam();
    std::vector<NotifiedWarning> told;
    if (c.told) {
        told.push_back(*c.told);
    }
    const NotificationPlan plan = PlanNotifications({c.now}, told, {});
    ASSERT_EQ(plan.send.size(), c.sent ? 1u : 0u);
    const NotifiedWarning& held = c.sent ? plan.send[0].entry : plan.keep.at(0);
    EXPECT_EQ(held.value, c.valueKept);
    EXPECT_EQ(held.attributeId, c.now.warning.attributeId);
    EXPECT_EQ(held.serial, kDrive.serial);
    // Whatever the told entry of another warning was, it is gone now.
    EXPECT_EQ(plan.keep.size() + plan.send.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Notify, PlanTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<PlanCase>& info) {
                             std::string name = info.param.name;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

TEST(NotificationPlan, GoneWarningIsDropped) {
    const NotificationPlan plan = PlanNotifications(
        {}, {Told(WarningKind::Counter, 5, 3), Told(WarningKind::Verdict, 255, 0)}, {});
    EXPECT_TRUE(plan.send.empty());
    EXPECT_TRUE(plan.keep.empty());
}

TEST(NotificationPlan, UnreadDriveKeepsWhatWasTold) {
    const NotificationPlan plan = PlanNotifications(
        {}, {Told(WarningKind::Counter, 5, 3), Told(WarningKind::Counter, 5, 4, kOther)}, {kDrive});
    ASSERT_EQ(plan.keep.size(), 1u);
    EXPECT_EQ(plan.keep[0].serial, kDrive.serial);
    EXPECT_EQ(plan.keep[0].value, 3);
}

TEST(NotificationPlan, WorseValueCarriesWhatWasTold) {
    const NotificationPlan plan = PlanNotifications({Now(WarningKind::Counter, 197, 9)},
                                                    {Told(WarningKind::Counter, 197, 8)}, {});
    ASSERT_EQ(plan.send.size(), 1u);
    ASSERT_TRUE(plan.send[0].told.has_value());
    EXPECT_EQ(plan.send[0].told->value, 8);
}

TEST(NotificationPlan, DriveInTwoReportsIsToldOnce) {
    const CurrentWarning warning = Now(WarningKind::Counter, 197, 8);
    EXPECT_EQ(PlanNotifications({warning, warning}, {}, {}).send.size(), 1u);
}

// Two drives with news, one of them in two reports: one notification each,
// every current warning of the drive listed, failing ones first.
TEST(NotificationPlan, OneNotificationPerDriveWorstFirst) {
    const std::string a = "TEST MODEL (SERIAL1): ";
    const std::vector<CurrentWarning> current{
        Now(WarningKind::Counter, 197, 8, kDrive, WarningLevel::Warning, a + "197 が 8 です"),
        Now(WarningKind::Temperature, 194, 61, kOther, WarningLevel::Warning, "温度"),
        Now(WarningKind::Verdict, 255, 0, kDrive, WarningLevel::Failing,
            a + "ドライブ自身の判定が FAILED です"),
        Now(WarningKind::Counter, 197, 8, kDrive, WarningLevel::Warning, a + "197 が 8 です"),
        Now(WarningKind::Counter, 5, 1, kDrive, WarningLevel::Warning, a + "5 が 1 です")};
    // The counter of 5 was told already: it is listed but is no news.
    const NotificationPlan plan =
        PlanNotifications(current, {Told(WarningKind::Counter, 5, 1)}, {});
    const std::vector<DriveNews> news = GroupByDrive(plan, current);
    ASSERT_EQ(news.size(), 2u);
    EXPECT_EQ(news[0].send.size(), 2u);
    const DesktopNotification first = MakeDriveNotification(news[0].identity, news[0].warnings);
    EXPECT_TRUE(first.critical);
    // No catalog is set up here: the titles are the source's English.
    EXPECT_EQ(first.summary, "Disk failure warning: TEST MODEL (SERIAL1)");
    EXPECT_EQ(first.body, "ドライブ自身の判定が FAILED です\n197 が 8 です\n5 が 1 です");
    const DesktopNotification second = MakeDriveNotification(news[1].identity, news[1].warnings);
    EXPECT_FALSE(second.critical);
    EXPECT_EQ(second.summary, "Disk warning: TEST MODEL (SERIAL2)");
    EXPECT_EQ(second.body, "温度");
}

} // namespace
