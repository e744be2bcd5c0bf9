#pragma once

#include "Platform/Core/Date.h"

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

    // The system's current time zone.
    Calendar();
    explicit Calendar(QTimeZone zone);

    static Calendar current() { return Calendar(); }

    const QTimeZone& timeZone() const { return m_zone; }

    Components components(Date date) const;
    // The moment of a local wall-clock time; nothing when the components do
    // not name a valid day (e.g. 31 February) or are out of range.
    std::optional<Date> date(const Components& local) const;

    int daysInMonth(int year, int month) const;

private:
    QTimeZone m_zone;
};

} // namespace quorrin
