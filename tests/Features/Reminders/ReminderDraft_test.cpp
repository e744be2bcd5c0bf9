#include "Features/Reminders/ReminderDraft.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorrin {
namespace {

using Frequency = RepeatRule::Frequency;

const Calendar berlin(QTimeZone(QByteArrayLiteral("Europe/Berlin")));

Date local(int year, int month, int day, int hour, int minute, int second = 0)
{
    return Date::fromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second), berlin.timeZone()));
}

Date utc(int year, int month, int day, int hour, int minute, int second = 0)
{
    return Date::fromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc()));
}

RepeatRule rule(Frequency frequency, int hour, int minute, std::vector<qint64> weekdays = {}, qint64 monthDay = 1)
{
    return RepeatRule{frequency, hour, minute, std::move(weekdays), monthDay};
}

TodoReminder repeating(Date date, const RepeatRule& repetition)
{
    return TodoReminder{date, repetition, LocalReminderTime::from(date, berlin)};
}

TEST(ReminderDraftTest, NewDraftStartsAnHourAheadAndPlansAOneOffOnTheWholeMinute)
{
    // 2026-05-07 is a Thursday (weekday 5).
    const ReminderDraft draft = ReminderDraft::make(std::nullopt, local(2026, 5, 7, 10, 17, 42), berlin);
    EXPECT_EQ(draft.date, local(2026, 5, 7, 11, 17, 42));
    EXPECT_FALSE(draft.frequency);
    EXPECT_EQ(draft.weekdays, (std::set<qint64>{5}));
    EXPECT_EQ(draft.monthDay, 7);
    EXPECT_FALSE(draft.original);

    EXPECT_EQ(draft.planned(berlin), (TodoReminder{local(2026, 5, 7, 11, 17), std::nullopt, std::nullopt}));
}

TEST(ReminderDraftTest, TakesTheRuleAndTheWallClockTimeOfAStoredReminder)
{
    TodoReminder stored = repeating(local(2026, 5, 4, 9, 0), rule(Frequency::Weekly, 9, 0, {4, 2}, 12));
    stored.date = utc(2020, 1, 1, 0, 0); // the wall-clock time wins over a stale date
    const ReminderDraft draft = ReminderDraft::make(stored, Date{}, berlin);
    EXPECT_EQ(draft.date, local(2026, 5, 4, 9, 0));
    EXPECT_EQ(draft.frequency, Frequency::Weekly);
    EXPECT_EQ(draft.weekdays, (std::set<qint64>{2, 4}));
    EXPECT_EQ(draft.monthDay, 12);
    EXPECT_EQ(draft.original, stored);
}

TEST(ReminderDraftTest, UnchangedDraftGivesBackTheOriginal)
{
    const TodoReminder oneOff{local(2026, 5, 7, 8, 30, 15), std::nullopt, std::nullopt};
    const TodoReminder weekly = repeating(local(2026, 5, 4, 9, 0), rule(Frequency::Weekly, 9, 0, {4, 2}));
    // A rule whose time of day disagrees with its date still counts as unchanged.
    const TodoReminder oddHour = repeating(local(2026, 5, 4, 9, 0), rule(Frequency::Daily, 7, 45));
    const TodoReminder pastOneOff{utc(2001, 1, 1, 0, 0, 7), std::nullopt, std::nullopt};

    for (const TodoReminder& original : {oneOff, weekly, oddHour, pastOneOff}) {
        const ReminderDraft draft = ReminderDraft::make(original, Date{}, berlin);
        EXPECT_EQ(draft.planned(berlin), original);
    }
}

TEST(ReminderDraftTest, ChangedDraftBuildsANewReminder)
{
    const TodoReminder oneOff{local(2026, 5, 7, 8, 30, 15), std::nullopt, std::nullopt};
    const TodoReminder weekly = repeating(local(2026, 5, 4, 9, 0), rule(Frequency::Weekly, 9, 0, {2, 4}));

    struct Case {
        const char* name;
        TodoReminder original;
        std::function<void(ReminderDraft&)> edit;
        TodoReminder expected;
    };
    const Case cases[] = {
        {"one-off moved by a minute", oneOff, [](ReminderDraft& d) { d.date = d.date.addingSeconds(60); },
         TodoReminder{local(2026, 5, 7, 8, 31), std::nullopt, std::nullopt}},
        {"weekly with another weekday", weekly, [](ReminderDraft& d) { d.weekdays.insert(6); },
         repeating(local(2026, 5, 4, 9, 0), rule(Frequency::Weekly, 9, 0, {2, 4, 6}))},
        {"repetition removed", weekly, [](ReminderDraft& d) { d.frequency.reset(); },
         TodoReminder{local(2026, 5, 4, 9, 0), std::nullopt, std::nullopt}},
        {"one-off made daily", oneOff, [](ReminderDraft& d) { d.frequency = Frequency::Daily; },
         // 08:30:15 today is past the base minute 08:30:00 only by seconds: it counts.
         repeating(local(2026, 5, 7, 8, 30), rule(Frequency::Daily, 8, 30, {5}, 7))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReminderDraft draft = ReminderDraft::make(c.original, Date{}, berlin);
        c.edit(draft);
        EXPECT_EQ(draft.planned(berlin), c.expected);
    }
}

TEST(ReminderDraftTest, RepeatingDraftStartsAtTheFirstOccurrenceFromItsMinute)
{
    struct Case {
        const char* name;
        Date date;
        Frequency frequency;
        std::set<qint64> weekdays;
        qint64 monthDay;
        std::optional<Date> expected;
    };
    const Case cases[] = {
        {"daily: the base minute itself", local(2026, 5, 7, 9, 0, 30), Frequency::Daily, {}, 1,
         local(2026, 5, 7, 9, 0)},
        {"weekly: next Monday", local(2026, 5, 7, 9, 0), Frequency::Weekly, {2}, 1, local(2026, 5, 11, 9, 0)},
        {"weekly without weekdays", local(2026, 5, 7, 9, 0), Frequency::Weekly, {}, 1, std::nullopt},
        {"monthly on the 31st in April", local(2026, 4, 2, 9, 0), Frequency::Monthly, {}, 31,
         local(2026, 4, 30, 9, 0)},
        // Sunday 2026-03-29 02:30 does not exist in Berlin: it resolves to 03:00.
        {"weekly into the spring-forward gap", local(2026, 3, 28, 2, 30), Frequency::Weekly, {1}, 1,
         utc(2026, 3, 29, 1, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ReminderDraft draft{c.date, c.frequency, c.weekdays, c.monthDay, std::nullopt};
        const std::optional<TodoReminder> planned = draft.planned(berlin);
        ASSERT_EQ(planned.has_value(), c.expected.has_value());
        if (!planned)
            continue;
        EXPECT_EQ(planned->date, *c.expected);
        ASSERT_TRUE(planned->repetition);
        EXPECT_EQ(planned->repetition->weekdays, std::vector<qint64>(c.weekdays.begin(), c.weekdays.end()));
        EXPECT_EQ(planned->localTime, LocalReminderTime::from(*c.expected, berlin));
    }
}

TEST(ReminderDraftTest, DaylightSavingJumps)
{
    // A new draft an hour before the gap lands on the wall clock after it.
    const ReminderDraft fresh = ReminderDraft::make(std::nullopt, local(2026, 3, 29, 1, 30), berlin);
    EXPECT_EQ(fresh.date, utc(2026, 3, 29, 1, 30));
    EXPECT_EQ(berlin.components(fresh.date).hour, 3);

    // A wall-clock reminder inside the gap opens at the end of the jump and
    // comes back unchanged.
    TodoReminder inGap{utc(2026, 3, 29, 0, 0), rule(Frequency::Daily, 2, 30), LocalReminderTime{2026, 3, 29, 2, 30}};
    const ReminderDraft gapDraft = ReminderDraft::make(inGap, Date{}, berlin);
    EXPECT_EQ(gapDraft.date, utc(2026, 3, 29, 1, 0));
    EXPECT_EQ(gapDraft.planned(berlin), inGap);

    // In the repeated hour of the autumn night, dropping the seconds keeps
    // the second 02:30 rather than jumping back to the first.
    const ReminderDraft repeated{utc(2026, 10, 25, 1, 30, 15), std::nullopt, {1}, 25, std::nullopt};
    EXPECT_EQ(repeated.planned(berlin), (TodoReminder{utc(2026, 10, 25, 1, 30), std::nullopt, std::nullopt}));
}

TEST(ReminderDraftTest, QuickChoicesByRawValue)
{
    EXPECT_EQ(reminderQuickChoice::fromRawValue(0), ReminderQuickChoice::OneHour);
    EXPECT_EQ(reminderQuickChoice::fromRawValue(1), ReminderQuickChoice::TomorrowNine);
    EXPECT_EQ(reminderQuickChoice::fromRawValue(2), ReminderQuickChoice::Custom);
    EXPECT_FALSE(reminderQuickChoice::fromRawValue(3));
    EXPECT_FALSE(reminderQuickChoice::fromRawValue(-1));
    EXPECT_EQ(reminderQuickChoice::label(ReminderQuickChoice::TomorrowNine), QStringLiteral("明天9点"));
}

} // namespace
} // namespace quorrin
