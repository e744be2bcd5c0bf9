#include "Features/Reminders/ReminderDraft.h"

#include "Features/Reminders/NotificationPlan.h"

#include <cmath>
#include <vector>

namespace quorrin {

namespace reminderQuickChoice {

std::optional<ReminderQuickChoice> fromRawValue(int raw)
{
    for (ReminderQuickChoice choice : allCases) {
        if (rawValue(choice) == raw)
            return choice;
    }
    return std::nullopt;
}

QString label(ReminderQuickChoice choice)
{
    switch (choice) {
    case ReminderQuickChoice::OneHour: return QStringLiteral("一小时后");
    case ReminderQuickChoice::TomorrowNine: return QStringLiteral("明天9点");
    case ReminderQuickChoice::Custom: return QStringLiteral("自定义");
    }
    return {};
}

} // namespace reminderQuickChoice

namespace {

// The start of the local minute holding `date`. Seconds are taken off the
// moment itself rather than by rebuilding the minute from its wall-clock
// fields: in the repeated hour of a fall-back night the fields name two
// moments, and rebuilding would pick the earlier one, an hour off.
Date wholeMinute(Date date, const Calendar& calendar)
{
    if (!Calendar::covers(date))
        return date;
    const double wholeSeconds = std::floor(date.secondsSinceReferenceDate);
    return Date{wholeSeconds - calendar.components(date).second};
}

std::set<qint64> weekdaySet(const RepeatRule& rule)
{
    return {rule.weekdays.begin(), rule.weekdays.end()};
}

} // namespace

ReminderDraft ReminderDraft::make(const std::optional<TodoReminder>& reminder, Date now, const Calendar& calendar)
{
    ReminderDraft draft;
    draft.original = reminder;
    draft.date = reminder ? reminderNotification::effectiveDate(*reminder, calendar)
                          : now.addingSeconds(defaultLeadSeconds);
    const std::optional<RepeatRule>& rule = reminder ? reminder->repetition : std::nullopt;
    if (rule) {
        draft.frequency = rule->frequency;
        draft.weekdays = weekdaySet(*rule);
        draft.monthDay = rule->monthDay;
    } else {
        const Calendar::Components local = calendar.components(draft.date);
        draft.weekdays = {local.weekday};
        draft.monthDay = local.day;
    }
    return draft;
}

bool ReminderDraft::isUnchanged(const Calendar& calendar) const
{
    if (!original || reminderNotification::effectiveDate(*original, calendar) != date)
        return false;
    const std::optional<RepeatRule>& rule = original->repetition;
    if (!rule)
        return !frequency;
    // The rule's time of day is not compared: the date already carries it.
    return frequency == rule->frequency && weekdaySet(*rule) == weekdays && rule->monthDay == monthDay;
}

std::optional<TodoReminder> ReminderDraft::planned(const Calendar& calendar) const
{
    if (isUnchanged(calendar))
        return original;

    const Date base = wholeMinute(date, calendar);
    if (!frequency)
        return TodoReminder{base, std::nullopt, std::nullopt};

    const Calendar::Components local = calendar.components(date);
    RepeatRule rule;
    rule.frequency = *frequency;
    rule.hour = local.hour;
    rule.minute = local.minute;
    rule.weekdays = std::vector<qint64>(weekdays.begin(), weekdays.end()); // ascending
    rule.monthDay = monthDay;
    // One second before the base, so the base itself counts when it fits.
    const std::optional<Date> first = rule.next(base.addingSeconds(-1), calendar);
    if (!first)
        return std::nullopt;
    return TodoReminder{*first, rule, LocalReminderTime::from(*first, calendar)};
}

} // namespace quorrin
