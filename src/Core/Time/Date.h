#pragma once

#include <QDateTime>
#include <QTimeZone>

#include <cmath>
#include <compare>

namespace quorrin {

// A moment in time as seconds since 2001-01-01T00:00:00Z, the form the model
// stores in its JSON. Compared by exact value.
struct Date {
    double secondsSinceReferenceDate = 0;

    static constexpr qint64 referenceEpochSeconds = 978307200; // 2001-01-01T00:00:00Z

    static Date fromSecondsSince1970(double seconds) { return Date{seconds - referenceEpochSeconds}; }
    static Date fromDateTime(const QDateTime& dateTime)
    {
        return fromSecondsSince1970(double(dateTime.toMSecsSinceEpoch()) / 1000.0);
    }
    double secondsSince1970() const { return secondsSinceReferenceDate + referenceEpochSeconds; }
    // Invalid for a moment that is not finite or lies beyond what QDateTime holds.
    QDateTime toDateTime() const
    {
        const double milliseconds = secondsSince1970() * 1000.0;
        constexpr double limit = 8.64e18; // well inside qint64
        if (!std::isfinite(milliseconds) || std::abs(milliseconds) > limit)
            return {};
        return QDateTime::fromMSecsSinceEpoch(qint64(std::llround(milliseconds)), QTimeZone::utc());
    }
    Date addingSeconds(double seconds) const { return Date{secondsSinceReferenceDate + seconds}; }

    friend bool operator==(const Date&, const Date&) = default;
    friend auto operator<=>(const Date& a, const Date& b) { return a.secondsSinceReferenceDate <=> b.secondsSinceReferenceDate; }
};

} // namespace quorrin
