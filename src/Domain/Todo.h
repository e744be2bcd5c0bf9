#pragma once

#include "Domain/Json.h"
#include "Domain/RichText.h"
#include "Domain/TextDefaults.h"
#include "Core/Time/Calendar.h"
#include "Core/Time/Date.h"

#include <QJsonValue>

#include <array>
#include <optional>
#include <vector>

namespace quorrin {

// A wall-clock time as numbered by the calendar it was taken in. Ranges are
// checked only when a manifest is validated.
struct LocalReminderTime {
    qint64 year = 1;
    qint64 month = 1;
    qint64 day = 1;
    qint64 hour = 0;
    qint64 minute = 0;

    // The year, month, day, hour and minute of a moment in the calendar's zone.
    static LocalReminderTime from(Date date, const Calendar& calendar);
    // The moment of this wall-clock time in the calendar, or nothing when the
    // calendar cannot build the day or the time.
    std::optional<Date> date(const Calendar& calendar) const;

    friend bool operator==(const LocalReminderTime&, const LocalReminderTime&) = default;

    static LocalReminderTime fromJson(const QJsonValue& value);
    static LocalReminderTime fromJson(const json::ParsedValue& value);
    QJsonValue toJson() const;
};

struct RepeatRule {
    enum class Frequency { Daily, Weekly, Monthly };

    Frequency frequency = Frequency::Daily;
    qint64 hour = 0;
    qint64 minute = 0;
    std::vector<qint64> weekdays; // 1 = Sunday ... 7 = Saturday; order carries no meaning
    qint64 monthDay = 1;

    // Throws AppError("重复任务规则无效。") when a field is out of range or a
    // weekly rule has no weekday.
    void validate() const;
    // The first occurrence strictly after `after`, or nothing (also for an
    // invalid rule).
    std::optional<Date> next(Date after, const Calendar& calendar) const;

    friend bool operator==(const RepeatRule&, const RepeatRule&) = default;

    static RepeatRule fromJson(const QJsonValue& value);
    static RepeatRule fromJson(const json::ParsedValue& value);
    QJsonValue toJson() const;
};

namespace repeatFrequency {

inline constexpr std::array<RepeatRule::Frequency, 3> allCases = {
    RepeatRule::Frequency::Daily, RepeatRule::Frequency::Weekly, RepeatRule::Frequency::Monthly};

QString rawValue(RepeatRule::Frequency frequency);
// Exact, case-sensitive match; nothing for an unknown string.
std::optional<RepeatRule::Frequency> fromRawValue(const QString& raw);

} // namespace repeatFrequency

namespace json {
template <>
struct Coder<RepeatRule::Frequency>
    : EnumCoder<RepeatRule::Frequency, repeatFrequency::rawValue, repeatFrequency::fromRawValue> {};
} // namespace json

struct TodoReminder {
    Date date; // the moment the reminder is due
    std::optional<RepeatRule> repetition;
    // The wall-clock time `date` was planned for; when it resolves it takes
    // precedence over `date` for finding the next occurrence.
    std::optional<LocalReminderTime> localTime;

    friend bool operator==(const TodoReminder&, const TodoReminder&) = default;

    static TodoReminder fromJson(const QJsonValue& value);
    static TodoReminder fromJson(const json::ParsedValue& value);
    QJsonValue toJson() const;
};

// Priorities run from 1 (most urgent) to 4 (low).
inline constexpr qint64 highestPriority = 1;
inline constexpr qint64 lowestPriority = 4;

// A stored priority brought into 1...4, for code that steps or indexes by
// priority: never overflows, whatever 64-bit value was stored.
inline qint64 clampedPriority(qint64 priority)
{
    return priority < highestPriority ? highestPriority : priority > lowestPriority ? lowestPriority : priority;
}

struct TodoMetadata {
    qint64 priority = lowestPriority;
    bool isCompleted = false;
    std::optional<Date> completedAt;
    std::optional<Date> archivedAt; // set: the todo is archived and leaves the display
    RichText notes = emptyDefaultText(); // the remarks
    bool notesExpanded = false;
    std::optional<TodoReminder> reminder;

    friend bool operator==(const TodoMetadata&, const TodoMetadata&) = default;

    static TodoMetadata fromJson(const QJsonValue& value);
    static TodoMetadata fromJson(const json::ParsedValue& value);
    QJsonValue toJson() const;
};

} // namespace quorrin
