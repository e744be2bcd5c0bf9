#include "Core/Time/Calendar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quorrin {
namespace {

Calendar zone(const char* id)
{
    const QTimeZone timeZone{QByteArray(id)};
    EXPECT_TRUE(timeZone.isValid()) << id;
    return Calendar(timeZone);
}

Date utc(int year, int month, int day, int hour, int minute, int second = 0)
{
    return Date::fromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc()));
}

Calendar::Components local(int year, int month, int day, int hour, int minute, int second = 0)
{
    return Calendar::Components{year, month, day, hour, minute, second, 1};
}

struct ResolveCase {
    const char* zone;
    Calendar::Components local;
    Date expected;
};

TEST(CalendarTest, ResolvesLocalTimesIncludingGapsAndOverlaps)
{
    const ResolveCase cases[] = {
        {"UTC", local(2024, 7, 1, 12, 0), utc(2024, 7, 1, 12, 0)},
        {"Europe/Berlin", local(2024, 1, 15, 10, 0), utc(2024, 1, 15, 9, 0)},
        {"Europe/Berlin", local(2024, 7, 15, 10, 0), utc(2024, 7, 15, 8, 0)},
        // Spring forward: 02:00 to 02:59 do not exist and resolve to 03:00.
        {"Europe/Berlin", local(2024, 3, 31, 1, 59), utc(2024, 3, 31, 0, 59)},
        {"Europe/Berlin", local(2024, 3, 31, 2, 0), utc(2024, 3, 31, 1, 0)},
        {"Europe/Berlin", local(2024, 3, 31, 2, 30), utc(2024, 3, 31, 1, 0)},
        {"Europe/Berlin", local(2024, 3, 31, 3, 0), utc(2024, 3, 31, 1, 0)},
        {"Europe/Berlin", local(2024, 3, 31, 3, 1), utc(2024, 3, 31, 1, 1)},
        // Fall back: 02:00 to 02:59 occur twice; the first occurrence wins.
        {"Europe/Berlin", local(2024, 10, 27, 1, 59), utc(2024, 10, 26, 23, 59)},
        {"Europe/Berlin", local(2024, 10, 27, 2, 0), utc(2024, 10, 27, 0, 0)},
        {"Europe/Berlin", local(2024, 10, 27, 2, 30), utc(2024, 10, 27, 0, 30)},
        {"Europe/Berlin", local(2024, 10, 27, 3, 0), utc(2024, 10, 27, 2, 0)},
        {"America/New_York", local(2024, 3, 10, 2, 30), utc(2024, 3, 10, 7, 0)},
        {"America/New_York", local(2024, 11, 3, 1, 30), utc(2024, 11, 3, 5, 30)},
        // Half-hour shifts: 02:00 to 02:29 skipped in October, 01:30 to 01:59
        // repeated in April.
        {"Australia/Lord_Howe", local(2024, 10, 6, 2, 15), utc(2024, 10, 5, 15, 30)},
        {"Australia/Lord_Howe", local(2024, 10, 6, 2, 30), utc(2024, 10, 5, 15, 30)},
        {"Australia/Lord_Howe", local(2024, 4, 7, 1, 45), utc(2024, 4, 6, 14, 45)},
        // A whole day skipped: 30 December 2011 never happened in Samoa.
        {"Pacific/Apia", local(2011, 12, 30, 12, 0), utc(2011, 12, 30, 10, 0)},
        // Midnight skipped: the day starts at the end of the jump.
        {"America/Sao_Paulo", local(2018, 11, 4, 0, 0), utc(2018, 11, 4, 3, 0)},
    };
    for (const ResolveCase& c : cases) {
        const auto resolved = zone(c.zone).date(c.local);
        ASSERT_TRUE(resolved.has_value()) << c.zone << " " << c.local.month << "/" << c.local.day;
        EXPECT_EQ(resolved->toDateTime(), c.expected.toDateTime())
            << c.zone << " " << c.local.month << "/" << c.local.day << " " << c.local.hour << ":" << c.local.minute;
    }
}

TEST(CalendarTest, RefusesComponentsThatNameNoMoment)
{
    const Calendar berlin = zone("Europe/Berlin");
    const Calendar::Components invalid[] = {
        local(2023, 2, 29, 9, 0), local(2024, 2, 30, 9, 0), local(2024, 4, 31, 9, 0), local(2024, 13, 1, 9, 0),
        local(2024, 0, 1, 9, 0),  local(2024, 1, 0, 9, 0),  local(2024, 1, 1, 24, 0), local(2024, 1, 1, 9, 60),
        local(2024, 1, 1, -1, 0), local(2024, 1, 1, 9, 0, 60), local(0, 1, 1, 9, 0),  local(10000, 1, 1, 9, 0),
        local(-5, 1, 1, 9, 0),
    };
    for (const auto& components : invalid)
        EXPECT_FALSE(berlin.date(components).has_value())
            << components.year << "-" << components.month << "-" << components.day << " " << components.hour << ":"
            << components.minute << ":" << components.second;
    EXPECT_TRUE(berlin.date(local(2024, 2, 29, 9, 0)).has_value());
    EXPECT_TRUE(berlin.date(local(9999, 12, 30, 23, 59, 59)).has_value());
}

TEST(CalendarTest, ComponentsInTheZoneWithSundayFirstWeekdays)
{
    const Calendar berlin = zone("Europe/Berlin");
    // Sunday 7 January 2024 ... Saturday 13 January 2024.
    for (int day = 7; day <= 13; ++day)
        EXPECT_EQ(berlin.components(utc(2024, 1, day, 12, 0)).weekday, day - 6);

    EXPECT_EQ(berlin.components(utc(2024, 3, 31, 1, 0)), (Calendar::Components{2024, 3, 31, 3, 0, 0, 1}));
    EXPECT_EQ(berlin.components(utc(2024, 10, 27, 0, 30)), (Calendar::Components{2024, 10, 27, 2, 30, 0, 1}));
    EXPECT_EQ(berlin.components(utc(2024, 10, 27, 1, 30)), (Calendar::Components{2024, 10, 27, 2, 30, 0, 1}));
    // New Year's Eve in UTC is already New Year's Day in Berlin.
    EXPECT_EQ(berlin.components(utc(2023, 12, 31, 23, 30)), (Calendar::Components{2024, 1, 1, 0, 30, 0, 2}));
    EXPECT_EQ(zone("America/New_York").components(utc(2024, 1, 1, 3, 0)),
              (Calendar::Components{2023, 12, 31, 22, 0, 0, 1}));
    EXPECT_EQ(zone("Australia/Lord_Howe").components(utc(2024, 1, 1, 0, 0)),
              (Calendar::Components{2024, 1, 1, 11, 0, 0, 2}));
    // Fractions of a second are dropped towards the past, also before 1970.
    EXPECT_EQ(berlin.components(utc(2024, 1, 1, 0, 0).addingSeconds(-0.25)).second, 59);
    EXPECT_EQ(berlin.components(utc(1960, 1, 1, 0, 0).addingSeconds(-0.25)),
              (Calendar::Components{1960, 1, 1, 0, 59, 59, 6}));
}

TEST(CalendarTest, EveryExistingLocalTimeRoundTrips)
{
    for (const char* id : {"Europe/Berlin", "America/New_York", "Australia/Lord_Howe"}) {
        const Calendar calendar = zone(id);
        // A quarter-hour grid across both of the year's transitions.
        for (Date moment = utc(2024, 3, 1, 0, 0); moment < utc(2024, 11, 30, 0, 0); moment = moment.addingSeconds(900)) {
            const auto components = calendar.components(moment);
            const auto resolved = calendar.date(components);
            ASSERT_TRUE(resolved.has_value());
            // A repeated wall-clock time resolves to its first occurrence.
            EXPECT_LE(*resolved, moment) << id;
            EXPECT_EQ(calendar.components(*resolved), components) << id;
        }
    }
}

TEST(CalendarTest, StartOfDay)
{
    const Calendar berlin = zone("Europe/Berlin");
    EXPECT_EQ(berlin.startOfDay(utc(2024, 3, 31, 20, 0)), utc(2024, 3, 30, 23, 0));
    EXPECT_EQ(berlin.startOfDay(utc(2024, 6, 30, 22, 30)), utc(2024, 6, 30, 22, 0));
    EXPECT_EQ(zone("America/Sao_Paulo").startOfDay(utc(2018, 11, 4, 15, 0)), utc(2018, 11, 4, 3, 0));
    EXPECT_FALSE(berlin.startOfDay(Date{std::numeric_limits<double>::quiet_NaN()}).has_value());
    EXPECT_FALSE(berlin.startOfDay(Date{1e300}).has_value());
}

TEST(CalendarTest, AddingDaysKeepsTheWallClockAndRecomputesTheWeekday)
{
    const Calendar calendar = zone("UTC");
    EXPECT_EQ(calendar.addingDays(local(2024, 2, 28, 9, 30), 1), (Calendar::Components{2024, 2, 29, 9, 30, 0, 5}));
    EXPECT_EQ(calendar.addingDays(local(2024, 12, 31, 9, 30), 1), (Calendar::Components{2025, 1, 1, 9, 30, 0, 4}));
    EXPECT_EQ(calendar.addingDays(local(2024, 3, 1, 0, 0), -1), (Calendar::Components{2024, 2, 29, 0, 0, 0, 5}));
    EXPECT_EQ(calendar.addingDays(local(2024, 1, 1, 0, 0), 370), (Calendar::Components{2025, 1, 5, 0, 0, 0, 1}));
    EXPECT_FALSE(calendar.addingDays(local(9999, 12, 31, 0, 0), 1).has_value());
    EXPECT_FALSE(calendar.addingDays(local(1, 1, 1, 0, 0), -1).has_value());
    EXPECT_FALSE(calendar.addingDays(local(2024, 2, 30, 0, 0), 1).has_value());
}

TEST(CalendarTest, DaysInMonth)
{
    const Calendar calendar = zone("UTC");
    EXPECT_EQ(calendar.daysInMonth(2024, 2), 29);
    EXPECT_EQ(calendar.daysInMonth(2023, 2), 28);
    EXPECT_EQ(calendar.daysInMonth(1900, 2), 28);
    EXPECT_EQ(calendar.daysInMonth(2000, 2), 29);
    EXPECT_EQ(calendar.daysInMonth(2024, 4), 30);
    EXPECT_EQ(calendar.daysInMonth(2024, 12), 31);
    EXPECT_EQ(calendar.daysInMonth(2024, 13), 0);
    EXPECT_EQ(calendar.daysInMonth(2024, 0), 0);
    EXPECT_EQ(calendar.daysInMonth(0, 1), 0);
}

TEST(CalendarTest, MomentsOutsideTheCoveredYearsAreClamped)
{
    const Calendar berlin = zone("Europe/Berlin");
    EXPECT_FALSE(Calendar::covers(Date{std::numeric_limits<double>::quiet_NaN()}));
    EXPECT_FALSE(Calendar::covers(Date{std::numeric_limits<double>::infinity()}));
    EXPECT_FALSE(Calendar::covers(Date{-1e300}));
    EXPECT_TRUE(Calendar::covers(Date{0}));

    EXPECT_EQ(berlin.components(Date{std::numeric_limits<double>::quiet_NaN()}),
              (Calendar::Components{2001, 1, 1, 1, 0, 0, 2}));
    EXPECT_EQ(berlin.components(Date{1e300}).year, Calendar::maximumYear);
    EXPECT_EQ(berlin.components(Date{-std::numeric_limits<double>::infinity()}).year, Calendar::minimumYear);
}

TEST(CalendarTest, ZoneSelection)
{
    EXPECT_EQ(Calendar().timeZone(), QTimeZone::systemTimeZone());
    EXPECT_EQ(Calendar::current().timeZone(), QTimeZone::systemTimeZone());
    const Calendar invalid{QTimeZone(QByteArray("No/Such_Zone"))};
    EXPECT_EQ(invalid.offsetFromUtc(utc(2024, 7, 1, 0, 0)), 0);
    EXPECT_EQ(invalid.date(local(2024, 7, 1, 12, 0)), utc(2024, 7, 1, 12, 0));
    EXPECT_EQ(zone("Europe/Berlin").offsetFromUtc(utc(2024, 7, 1, 0, 0)), 7200);
}

} // namespace
} // namespace quorrin
