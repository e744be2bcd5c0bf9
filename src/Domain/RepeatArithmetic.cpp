// Repeat arithmetic of todos: validation and next occurrence of a repeat rule,
// wall-clock reminder times, and the transition of a completed repeating todo
// into an archived instance plus its successor.

#include "Domain/AppError.h"
#include "Domain/Note.h"
#include "Domain/Todo.h"
#include "Core/Time/Calendar.h"

#include <QHash>
#include <QUuid>

#include <algorithm>
#include <utility>
#include <vector>

namespace quorrin {

namespace {

// Days examined by `next`: a little more than a year, enough for every valid
// rule to fire at least once.
constexpr int searchDays = 371;

bool within(qint64 value, qint64 low, qint64 high)
{
    return value >= low && value <= high;
}

// Every field is checked before any arithmetic, so a stored rule with
// extreme 64-bit values never overflows or narrows wrongly.
bool isValid(const RepeatRule& rule)
{
    return within(rule.hour, 0, 23) && within(rule.minute, 0, 59) && within(rule.monthDay, 1, 31)
        && std::all_of(rule.weekdays.begin(), rule.weekdays.end(), [](qint64 weekday) { return within(weekday, 1, 7); })
        && (rule.frequency != RepeatRule::Frequency::Weekly || !rule.weekdays.empty());
}

bool matchesDay(const RepeatRule& rule, const Calendar::Components& day, const Calendar& calendar)
{
    switch (rule.frequency) {
    case RepeatRule::Frequency::Daily:
        return true;
    case RepeatRule::Frequency::Weekly:
        return std::find(rule.weekdays.begin(), rule.weekdays.end(), qint64(day.weekday)) != rule.weekdays.end();
    case RepeatRule::Frequency::Monthly: {
        const int length = calendar.daysInMonth(day.year, day.month);
        const qint64 monthDay = length > 0 ? std::min<qint64>(rule.monthDay, length) : rule.monthDay;
        return day.day == monthDay;
    }
    }
    return false;
}

} // namespace

void RepeatRule::validate() const
{
    if (!isValid(*this))
        throw AppError(QStringLiteral("重复任务规则无效。"));
}

std::optional<Date> RepeatRule::next(Date after, const Calendar& calendar) const
{
    if (!isValid(*this) || !Calendar::covers(after))
        return std::nullopt;

    Calendar::Components start = calendar.components(after);
    start.hour = 0;
    start.minute = 0;
    start.second = 0;
    for (int offset = 0; offset < searchDays; ++offset) {
        auto day = calendar.addingDays(start, offset);
        if (!day || !matchesDay(*this, *day, calendar))
            continue;
        // The rule was checked above, so hour and minute fit an int.
        day->hour = int(hour);
        day->minute = int(minute);
        day->second = 0;
        const auto candidate = calendar.date(*day);
        if (candidate && *candidate > after)
            return candidate;
    }
    return std::nullopt;
}

LocalReminderTime LocalReminderTime::from(Date date, const Calendar& calendar)
{
    const Calendar::Components local = calendar.components(date);
    return LocalReminderTime{local.year, local.month, local.day, local.hour, local.minute};
}

std::optional<Date> LocalReminderTime::date(const Calendar& calendar) const
{
    // Stored fields may hold any 64-bit value; check them before narrowing.
    if (!within(year, Calendar::minimumYear, Calendar::maximumYear) || !within(month, 1, 12) || !within(day, 1, 31)
        || !within(hour, 0, 23) || !within(minute, 0, 59))
        return std::nullopt;
    return calendar.date(Calendar::Components{int(year), int(month), int(day), int(hour), int(minute), 0, 1});
}

void Note::completeRepeatingTransitions(const Note& previous, Date now, const Calendar& calendar)
{
    // The first block wins when ids repeat.
    QHash<QUuid, const Block*> previousBlocks;
    for (const Block& block : previous.blocks)
        if (!previousBlocks.contains(block.id))
            previousBlocks.insert(block.id, &block);

    std::vector<std::pair<std::size_t, Block>> successors;
    for (std::size_t i = 0; i < std::size_t(blocks.size()); ++i) {
        Block& block = blocks[i];
        if (block.kind != BlockKind::Todo || !block.todo)
            continue;
        TodoMetadata& todo = *block.todo;
        if (!todo.isCompleted || todo.archivedAt)
            continue;
        const Block* before = previousBlocks.value(block.id, nullptr);
        if (!before || !before->todo || before->todo->isCompleted)
            continue;
        if (!todo.reminder || !todo.reminder->repetition)
            continue;
        TodoReminder& reminder = *todo.reminder;

        std::optional<Date> base;
        if (reminder.localTime)
            base = reminder.localTime->date(calendar);
        const Date baseMoment = base.value_or(reminder.date);
        // A base that is not a number never counts as later than now.
        const Date searchStart = baseMoment > now || baseMoment == now ? baseMoment : now;
        const auto next = reminder.repetition->next(searchStart, calendar);
        if (!next)
            continue;

        Block successor = block;
        successor.id = QUuid::createUuid();
        successor.createdAt = now;
        successor.updatedAt = now;
        TodoMetadata& successorTodo = *successor.todo;
        successorTodo.isCompleted = false;
        successorTodo.completedAt.reset();
        successorTodo.archivedAt.reset();
        successorTodo.reminder = TodoReminder{*next, reminder.repetition, LocalReminderTime::from(*next, calendar)};

        todo.archivedAt = now;
        reminder.repetition.reset();
        successors.emplace_back(i + 1, std::move(successor));
    }

    for (auto it = successors.rbegin(); it != successors.rend(); ++it)
        blocks.insert(blocks.begin() + it->first, std::move(it->second));
}

} // namespace quorrin
