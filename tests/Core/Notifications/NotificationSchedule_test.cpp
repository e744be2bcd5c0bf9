#include "Core/Notifications/NotificationSchedule.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

const QTimeZone berlin{QByteArrayLiteral("Europe/Berlin")};
const QTimeZone newYork{QByteArrayLiteral("America/New_York")};
const QTimeZone tokyo{QByteArrayLiteral("Asia/Tokyo")};

Date utc(int year, int month, int day, int hour, int minute, int second = 0)
{
    return Date::fromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc()));
}

Calendar::Components wallClock(int year, int month, int day, int hour, int minute)
{
    return Calendar::Components{year, month, day, hour, minute, 0, 1};
}

NotificationRequest request(const QString& identifier, std::optional<CalendarTrigger> trigger)
{
    return NotificationRequest{identifier, NotificationContent{QStringLiteral("t"), {}, identifier, {}, {}, true},
                               std::move(trigger)};
}

QStringList identifiers(const QList<NotificationRequest>& requests)
{
    QStringList ids;
    for (const NotificationRequest& r : requests)
        ids << r.identifier;
    return ids;
}

TEST(CalendarTriggerTest, FloatingComponentsFollowTheSystemZoneAndFixedOnesDoNot)
{
    const CalendarTrigger floating = CalendarTrigger::floating(wallClock(2026, 3, 10, 9, 0));
    EXPECT_EQ(floating.fireDate(berlin), utc(2026, 3, 10, 8, 0));
    EXPECT_EQ(floating.fireDate(newYork), utc(2026, 3, 10, 13, 0)); // daylight time began on 8 March
    EXPECT_EQ(floating.fireDate(tokyo), utc(2026, 3, 10, 0, 0));

    const CalendarTrigger fixed = CalendarTrigger::fixed(wallClock(2026, 3, 10, 9, 0), QTimeZone::utc());
    EXPECT_EQ(fixed.fireDate(berlin), utc(2026, 3, 10, 9, 0));
    EXPECT_EQ(fixed.fireDate(tokyo), utc(2026, 3, 10, 9, 0));

    // 02:30 does not exist in Berlin on the spring-forward day: it fires at 03:00 CEST.
    EXPECT_EQ(CalendarTrigger::floating(wallClock(2026, 3, 29, 2, 30)).fireDate(berlin), utc(2026, 3, 29, 1, 0));
    // 31 February names no day.
    EXPECT_FALSE(CalendarTrigger::floating(wallClock(2026, 2, 31, 9, 0)).fireDate(berlin));
}

TEST(CalendarTriggerTest, NextTriggerDateOnlyAfterNow)
{
    const CalendarTrigger trigger = CalendarTrigger::fixed(wallClock(2026, 5, 1, 12, 0), QTimeZone::utc());
    EXPECT_EQ(trigger.nextTriggerDate(utc(2026, 5, 1, 11, 59, 59), berlin), utc(2026, 5, 1, 12, 0));
    EXPECT_FALSE(trigger.nextTriggerDate(utc(2026, 5, 1, 12, 0), berlin));
    EXPECT_FALSE(trigger.nextTriggerDate(utc(2026, 6, 1, 0, 0), berlin));
}

TEST(NotificationScheduleTest, AddReplacesItsNamesakeAndRefusesTriggersInThePast)
{
    NotificationSchedule schedule;
    const Date now = utc(2026, 5, 1, 10, 0);
    const auto at = [](int hour) { return CalendarTrigger::fixed(wallClock(2026, 5, 1, hour, 0), QTimeZone::utc()); };

    EXPECT_TRUE(schedule.add(request("a", at(12)), now, berlin));
    EXPECT_TRUE(schedule.add(request("b", at(11)), now, berlin));
    EXPECT_TRUE(schedule.add(request("a", at(13)), now, berlin));
    EXPECT_EQ(identifiers(schedule.pending()), (QStringList{"b", "a"}));
    EXPECT_EQ(schedule.pending().last().trigger, at(13));

    // A request that can no longer fire is not kept, and its outdated namesake goes too.
    EXPECT_FALSE(schedule.add(request("a", at(9)), now, berlin));
    EXPECT_EQ(identifiers(schedule.pending()), QStringList{"b"});

    schedule.removeIfUnchanged(request("b", at(12)));
    EXPECT_EQ(identifiers(schedule.pending()), QStringList{"b"});
    schedule.removeIfUnchanged(request("b", at(11)));
    EXPECT_TRUE(schedule.isEmpty());
}

TEST(NotificationScheduleTest, TakesDueRequestsEarliestFirstAndKeepsTheRest)
{
    NotificationSchedule schedule;
    const Date now = utc(2026, 5, 1, 10, 0);
    schedule.add(request("noon", CalendarTrigger::fixed(wallClock(2026, 5, 1, 12, 0), QTimeZone::utc())), now, berlin);
    schedule.add(request("eleven", CalendarTrigger::fixed(wallClock(2026, 5, 1, 11, 0), QTimeZone::utc())), now,
                 berlin);
    schedule.add(request("later", CalendarTrigger::fixed(wallClock(2026, 5, 2, 0, 0), QTimeZone::utc())), now, berlin);
    schedule.add(request("now", std::nullopt), now, berlin);

    EXPECT_EQ(schedule.nextFireDate(berlin), now);
    EXPECT_EQ(identifiers(schedule.takeDue(now, berlin)), QStringList{"now"});
    EXPECT_EQ(schedule.nextFireDate(berlin), utc(2026, 5, 1, 11, 0));
    EXPECT_TRUE(schedule.takeDue(utc(2026, 5, 1, 10, 59, 59), berlin).isEmpty());

    EXPECT_EQ(identifiers(schedule.takeDue(utc(2026, 5, 1, 12, 30), berlin)), (QStringList{"eleven", "noon"}));
    EXPECT_EQ(identifiers(schedule.pending()), QStringList{"later"});

    schedule.remove({"later"});
    EXPECT_FALSE(schedule.nextFireDate(berlin));
}

TEST(NotificationScheduleTest, FloatingRequestsMoveWithTheTimeZone)
{
    NotificationSchedule schedule;
    const Date now = utc(2026, 7, 1, 6, 0);
    schedule.add(request("nine", CalendarTrigger::floating(wallClock(2026, 7, 1, 9, 0))), now, berlin);
    EXPECT_EQ(schedule.nextFireDate(berlin), utc(2026, 7, 1, 7, 0));

    // Travelling west puts nine o'clock later...
    EXPECT_EQ(schedule.nextFireDate(newYork), utc(2026, 7, 1, 13, 0));
    EXPECT_TRUE(schedule.takeDue(utc(2026, 7, 1, 7, 30), newYork).isEmpty());
    // ...and travelling east past it makes it due at once.
    EXPECT_EQ(identifiers(schedule.takeDue(utc(2026, 7, 1, 6, 0, 1), tokyo)), QStringList{"nine"});
}

} // namespace
} // namespace quorrin
