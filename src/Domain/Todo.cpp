#include "Domain/Todo.h"
#include "Domain/Json.h"
#include "Domain/RawValue.h"

namespace quorrin {

using namespace Qt::StringLiterals;

namespace repeatFrequency {

QString rawValue(RepeatRule::Frequency frequency)
{
    switch (frequency) {
    case RepeatRule::Frequency::Daily: return u"daily"_s;
    case RepeatRule::Frequency::Weekly: return u"weekly"_s;
    case RepeatRule::Frequency::Monthly: return u"monthly"_s;
    }
    return {};
}

std::optional<RepeatRule::Frequency> fromRawValue(const QString& raw)
{
    return caseNamed<RepeatRule::Frequency>(allCases, rawValue, raw);
}

} // namespace repeatFrequency

namespace {

LocalReminderTime readLocalReminderTime(const json::ObjectReader& reader)
{
    return LocalReminderTime{
        .year = reader.get<qint64>("year"_L1),
        .month = reader.get<qint64>("month"_L1),
        .day = reader.get<qint64>("day"_L1),
        .hour = reader.get<qint64>("hour"_L1),
        .minute = reader.get<qint64>("minute"_L1),
    };
}

} // namespace

LocalReminderTime LocalReminderTime::fromJson(const QJsonValue& value)
{
    return readLocalReminderTime(json::ObjectReader(value));
}

LocalReminderTime LocalReminderTime::fromJson(const json::ParsedValue& value)
{
    return readLocalReminderTime(json::ObjectReader(value));
}

QJsonValue LocalReminderTime::toJson() const
{
    return json::ObjectWriter()
        .set("year"_L1, year)
        .set("month"_L1, month)
        .set("day"_L1, day)
        .set("hour"_L1, hour)
        .set("minute"_L1, minute)
        .object();
}

namespace {

RepeatRule readRepeatRule(const json::ObjectReader& reader)
{
    return RepeatRule{
        .frequency = reader.get<RepeatRule::Frequency>("frequency"_L1),
        .hour = reader.get<qint64>("hour"_L1),
        .minute = reader.get<qint64>("minute"_L1),
        .weekdays = reader.get<std::vector<qint64>>("weekdays"_L1),
        .monthDay = reader.get<qint64>("monthDay"_L1),
    };
}

} // namespace

RepeatRule RepeatRule::fromJson(const QJsonValue& value)
{
    return readRepeatRule(json::ObjectReader(value));
}

RepeatRule RepeatRule::fromJson(const json::ParsedValue& value)
{
    return readRepeatRule(json::ObjectReader(value));
}

QJsonValue RepeatRule::toJson() const
{
    return json::ObjectWriter()
        .set("frequency"_L1, frequency)
        .set("hour"_L1, hour)
        .set("minute"_L1, minute)
        .set("weekdays"_L1, weekdays)
        .set("monthDay"_L1, monthDay)
        .object();
}

namespace {

TodoReminder readTodoReminder(const json::ObjectReader& reader)
{
    return TodoReminder{
        .date = reader.get<Date>("date"_L1),
        .repetition = reader.optional<RepeatRule>("repetition"_L1),
        .localTime = reader.optional<LocalReminderTime>("localTime"_L1),
    };
}

} // namespace

TodoReminder TodoReminder::fromJson(const QJsonValue& value)
{
    return readTodoReminder(json::ObjectReader(value));
}

TodoReminder TodoReminder::fromJson(const json::ParsedValue& value)
{
    return readTodoReminder(json::ObjectReader(value));
}

QJsonValue TodoReminder::toJson() const
{
    return json::ObjectWriter()
        .set("date"_L1, date)
        .set("repetition"_L1, repetition)
        .set("localTime"_L1, localTime)
        .object();
}

namespace {

TodoMetadata readTodoMetadata(const json::ObjectReader& reader)
{
    return TodoMetadata{
        .priority = reader.get<qint64>("priority"_L1),
        .isCompleted = reader.get<bool>("isCompleted"_L1),
        .completedAt = reader.optional<Date>("completedAt"_L1),
        .archivedAt = reader.optional<Date>("archivedAt"_L1),
        .notes = reader.get<RichText>("notes"_L1),
        .notesExpanded = reader.get<bool>("notesExpanded"_L1),
        .reminder = reader.optional<TodoReminder>("reminder"_L1),
    };
}

} // namespace

TodoMetadata TodoMetadata::fromJson(const QJsonValue& value)
{
    return readTodoMetadata(json::ObjectReader(value));
}

TodoMetadata TodoMetadata::fromJson(const json::ParsedValue& value)
{
    return readTodoMetadata(json::ObjectReader(value));
}

QJsonValue TodoMetadata::toJson() const
{
    return json::ObjectWriter()
        .set("priority"_L1, priority)
        .set("isCompleted"_L1, isCompleted)
        .set("completedAt"_L1, completedAt)
        .set("archivedAt"_L1, archivedAt)
        .set("notes"_L1, notes)
        .set("notesExpanded"_L1, notesExpanded)
        .set("reminder"_L1, reminder)
        .object();
}

} // namespace quorrin
