#pragma once

#include "Core/Time/Date.h"

#include <QTimeZone>

#include <optional>

namespace quorrin {

// Gregorian calendar arithmetic in one time zone.
//
// Local times are resolved the way reminders need them: a local time that a
// daylight-saving jump skips resolves forward to the moment of the jump
// (02:30 on a spring-forward day gives 03:00), and a local time that occurs
// twice resolves to its first occurrence. Weekdays are numbered 1 = Sunday
// through 7 = Saturday.
//
// The calendar works with the years 1 to 9999; moments outside them (and
// non-finite ones) are not covered.
class Calendar {
public:
    struct Components {
        int year = 1;
        int month = 1;
        int day = 1;
        int hour = 0;
        int minute = 0;
        int second = 0;
        int weekday = 1; // 1 = Sunday; ignored when resolving
        friend bool operator==(const Components&, const Components&) = default;
    };

    static constexpr int minimumYear = 1;
    static constexpr int maximumYear = 9999;

    // The system's current time zone.
    Calendar();
    // An invalid zone is treated as UTC.
    explicit Calendar(QTimeZone zone);

    static Calendar current() { return Calendar(); }

    const QTimeZone& timeZone() const { return m_zone; }

    // Whether the moment is finite and lies within the years the calendar
    // works with, in every time zone.
    static bool covers(Date date);

    // The local wall-clock fields of a moment; seconds are truncated towards
    // the past. A moment the calendar does not cover is first clamped into the
    // covered range (not-a-number counts as the reference date).
    Components components(Date date) const;
    // The moment of a local wall-clock time; nothing when the components do
    // not name a valid day (e.g. 31 February) or are out of range.
    std::optional<Date> date(const Components& local) const;

    // The moment the local day of `date` begins (normally its midnight; the
    // end of a daylight-saving jump when midnight is skipped).
    std::optional<Date> startOfDay(Date date) const;

    // The same wall-clock time `days` local days later (earlier when
    // negative), with the weekday recomputed; nothing when the day leaves the
    // covered years or the components are not a valid day.
    std::optional<Components> addingDays(const Components& local, int days) const;

    // 0 when the month or year is out of range.
    int daysInMonth(int year, int month) const;

    // The offset from UTC, in seconds, in force at the moment.
    int offsetFromUtc(Date date) const;

private:
    qint64 offsetAt(qint64 secondsSince1970) const;
    std::optional<qint64> resolve(qint64 localSeconds) const;

    QTimeZone m_zone;
};

} // namespace quorrin
