#include "Core/Time/Calendar.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace quorrin {

namespace {

constexpr qint64 secondsPerDay = 86400;
constexpr qint64 unixEpochJulianDay = 2440588; // 1970-01-01

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Calendar days are counted from 1970-01-01; local seconds are seconds since
// 1970-01-01T00:00 of the local wall clock, as if the wall clock were UTC.
qint64 localSeconds(QDate day, int hour, int minute, int second)
{
    return (day.toJulianDay() - unixEpochJulianDay) * secondsPerDay + hour * 3600 + minute * 60 + second;
}

// The covered range leaves a day's margin at both ends so that the local day
// of a covered moment lies within years 1 to 9999 whatever the zone's offset.
qint64 firstCoveredSecond()
{
    return localSeconds(QDate(Calendar::minimumYear, 1, 2), 0, 0, 0);
}

qint64 lastCoveredSecond()
{
    return localSeconds(QDate(Calendar::maximumYear, 12, 30), 23, 59, 59);
}

// Whole seconds since 1970 of a moment, clamped into the covered range
// (not-a-number counts as the reference date).
qint64 clampedUtcSeconds(Date date)
{
    double seconds = date.secondsSince1970();
    if (std::isnan(seconds))
        seconds = double(Date::referenceEpochSeconds);
    seconds = std::clamp(seconds, double(firstCoveredSecond()), double(lastCoveredSecond()));
    return qint64(std::floor(seconds));
}

int weekdaySundayFirst(QDate day)
{
    return day.dayOfWeek() % 7 + 1; // Qt counts 1 = Monday ... 7 = Sunday
}

bool isValidDay(int year, int month, int day)
{
    return year >= Calendar::minimumYear && year <= Calendar::maximumYear && QDate::isValid(year, month, day);
}

} // namespace

Calendar::Calendar()
    : Calendar(QTimeZone::systemTimeZone())
{
}

Calendar::Calendar(QTimeZone zone)
    : m_zone(zone.isValid() ? std::move(zone) : QTimeZone::utc())
{
}

bool Calendar::covers(Date date)
{
    const double seconds = date.secondsSince1970();
    return std::isfinite(seconds) && seconds >= double(firstCoveredSecond())
        && seconds < double(lastCoveredSecond()) + 1.0;
}

qint64 Calendar::offsetAt(qint64 secondsSince1970) const
{
    return m_zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(secondsSince1970, QTimeZone::utc()));
}

int Calendar::offsetFromUtc(Date date) const
{
    return int(offsetAt(clampedUtcSeconds(date)));
}

Calendar::Components Calendar::components(Date date) const
{
    const qint64 utcSeconds = clampedUtcSeconds(date);
    const qint64 local = utcSeconds + offsetAt(utcSeconds);

    const qint64 days = floorDiv(local, secondsPerDay);
    const qint64 secondOfDay = local - days * secondsPerDay;
    const QDate day = QDate::fromJulianDay(unixEpochJulianDay + days);

    Components result;
    result.year = day.year();
    result.month = day.month();
    result.day = day.day();
    result.hour = int(secondOfDay / 3600);
    result.minute = int(secondOfDay / 60 % 60);
    result.second = int(secondOfDay % 60);
    result.weekday = weekdaySundayFirst(day);
    return result;
}

// The moment whose wall-clock reading is `local`. The zone's offsets are
// examined over a window of days around the wall-clock time (no zone's offset
// exceeds a day), split into periods between transitions. Every period whose
// offset maps the wall-clock time back into the period itself gives one
// occurrence; the earliest wins. When none does, the time falls into a gap,
// and the answer is the transition that jumps over it.
std::optional<qint64> Calendar::resolve(qint64 local) const
{
    struct Period {
        qint64 start;
        qint64 offset;
    };
    constexpr qint64 window = 3 * secondsPerDay;
    const qint64 from = local - window;
    const qint64 to = local + window;

    std::vector<Period> periods{{from, offsetAt(from)}};
    if (m_zone.hasTransitions()) {
        const auto transitions = m_zone.transitions(QDateTime::fromSecsSinceEpoch(from + 1, QTimeZone::utc()),
                                                    QDateTime::fromSecsSinceEpoch(to, QTimeZone::utc()));
        for (const QTimeZone::OffsetData& transition : transitions) {
            const qint64 at = transition.atUtc.toSecsSinceEpoch();
            if (at > periods.back().start)
                periods.push_back({at, transition.offsetFromUtc});
        }
    }

    std::optional<qint64> earliest;
    for (std::size_t i = 0; i < periods.size(); ++i) {
        const qint64 candidate = local - periods[i].offset;
        const qint64 start = i == 0 ? std::numeric_limits<qint64>::min() : periods[i].start;
        const qint64 end = i + 1 < periods.size() ? periods[i + 1].start : std::numeric_limits<qint64>::max();
        if (candidate >= start && candidate < end && (!earliest || candidate < *earliest))
            earliest = candidate;
    }
    if (earliest)
        return earliest;

    for (std::size_t i = 1; i < periods.size(); ++i) {
        const qint64 wallClockBefore = periods[i].start + periods[i - 1].offset;
        const qint64 wallClockAfter = periods[i].start + periods[i].offset;
        if (wallClockBefore <= local && local < wallClockAfter)
            return periods[i].start;
    }
    return std::nullopt;
}

std::optional<Date> Calendar::date(const Components& local) const
{
    if (!isValidDay(local.year, local.month, local.day))
        return std::nullopt;
    if (local.hour < 0 || local.hour > 23 || local.minute < 0 || local.minute > 59 || local.second < 0
        || local.second > 59)
        return std::nullopt;

    const auto moment = resolve(localSeconds(QDate(local.year, local.month, local.day), local.hour, local.minute,
                                             local.second));
    if (!moment)
        return std::nullopt;
    const Date result = Date::fromSecondsSince1970(double(*moment));
    if (!covers(result))
        return std::nullopt;
    return result;
}

std::optional<Date> Calendar::startOfDay(Date date) const
{
    if (!covers(date))
        return std::nullopt;
    Components local = components(date);
    local.hour = 0;
    local.minute = 0;
    local.second = 0;
    return this->date(local);
}

std::optional<Calendar::Components> Calendar::addingDays(const Components& local, int days) const
{
    if (!isValidDay(local.year, local.month, local.day))
        return std::nullopt;
    const QDate day = QDate(local.year, local.month, local.day).addDays(days);
    if (!day.isValid() || day.year() < minimumYear || day.year() > maximumYear)
        return std::nullopt;
    Components result = local;
    result.year = day.year();
    result.month = day.month();
    result.day = day.day();
    result.weekday = weekdaySundayFirst(day);
    return result;
}

int Calendar::daysInMonth(int year, int month) const
{
    if (!isValidDay(year, month, 1))
        return 0;
    return QDate(year, month, 1).daysInMonth();
}

} // namespace quorrin
