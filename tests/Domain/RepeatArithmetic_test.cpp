#include "Domain/AppError.h"
#include "Domain/Note.h"
#include "Domain/Todo.h"
#include "Core/Time/Calendar.h"

#include <gtest/gtest.h>

#include <limits>

namespace quorrin {
namespace {

using Frequency = RepeatRule::Frequency;
constexpr qint64 int64Max = std::numeric_limits<qint64>::max();
constexpr qint64 int64Min = std::numeric_limits<qint64>::min();

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

RepeatRule rule(Frequency frequency, qint64 hour, qint64 minute, std::vector<qint64> weekdays = {},
                qint64 monthDay = 1)
{
    return RepeatRule{frequency, hour, minute, std::move(weekdays), monthDay};
}

std::string text(std::optional<Date> date)
{
    return date ? date->toDateTime().toString(Qt::ISODate).toStdString() : std::string("nothing");
}

// --- validate ---------------------------------------------------------------

TEST(RepeatRuleValidateTest, BoundariesOfEveryField)
{
    struct Case {
        RepeatRule rule;
        bool valid;
    };
    const Case cases[] = {
        {rule(Frequency::Daily, 0, 0), true},
        {rule(Frequency::Daily, 23, 59, {}, 31), true},
        {rule(Frequency::Daily, -1, 0), false},
        {rule(Frequency::Daily, 24, 0), false},
        {rule(Frequency::Daily, 9, -1), false},
        {rule(Frequency::Daily, 9, 60), false},
        // The day of the month is checked whatever the frequency.
        {rule(Frequency::Daily, 9, 0, {}, 0), false},
        {rule(Frequency::Daily, 9, 0, {}, 32), false},
        {rule(Frequency::Monthly, 9, 0, {}, 1), true},
        {rule(Frequency::Monthly, 9, 0, {}, 31), true},
        // So are the weekdays.
        {rule(Frequency::Daily, 9, 0, {1, 7}), true},
        {rule(Frequency::Daily, 9, 0, {0}), false},
        {rule(Frequency::Monthly, 9, 0, {8}), false},
        {rule(Frequency::Weekly, 9, 0, {1, 7, 7}), true},
        {rule(Frequency::Weekly, 9, 0, {2, 8}), false},
        // A weekly rule needs a weekday; the others do not.
        {rule(Frequency::Weekly, 9, 0, {}), false},
        {rule(Frequency::Monthly, 9, 0, {}, 15), true},
        {rule(Frequency::Daily, int64Max, 0), false},
        {rule(Frequency::Daily, int64Min, 0), false},
        {rule(Frequency::Daily, 9, int64Max), false},
        {rule(Frequency::Monthly, 9, 0, {}, int64Min), false},
        {rule(Frequency::Weekly, 9, 0, {int64Max}), false},
    };
    for (const Case& c : cases) {
        if (c.valid) {
            EXPECT_NO_THROW(c.rule.validate()) << c.rule.hour << ":" << c.rule.minute << " day " << c.rule.monthDay;
            continue;
        }
        try {
            c.rule.validate();
            ADD_FAILURE() << "accepted " << c.rule.hour << ":" << c.rule.minute << " day " << c.rule.monthDay;
        } catch (const AppError& error) {
            EXPECT_EQ(error.message, QStringLiteral("重复任务规则无效。"));
            EXPECT_STREQ(error.what(), "重复任务规则无效。");
        }
    }
}

// --- next -------------------------------------------------------------------

struct NextCase {
    const char* name;
    const char* zone;
    RepeatRule rule;
    Date after;
    std::optional<Date> expected;
};

TEST(RepeatRuleNextTest, Occurrences)
{
    const NextCase cases[] = {
        // Berlin is at UTC+1 in winter and UTC+2 in summer.
        {"later today", "Europe/Berlin", rule(Frequency::Daily, 9, 0), utc(2024, 1, 15, 7, 0), utc(2024, 1, 15, 8, 0)},
        {"exactly now is not later", "Europe/Berlin", rule(Frequency::Daily, 9, 0), utc(2024, 1, 15, 8, 0),
         utc(2024, 1, 16, 8, 0)},
        {"a second past", "Europe/Berlin", rule(Frequency::Daily, 9, 0), utc(2024, 1, 15, 8, 0, 1),
         utc(2024, 1, 16, 8, 0)},
        {"local day, not UTC day", "Europe/Berlin", rule(Frequency::Daily, 0, 30), utc(2024, 1, 14, 23, 10),
         utc(2024, 1, 14, 23, 30)},
        {"skipped time moves to the jump", "Europe/Berlin", rule(Frequency::Daily, 2, 30), utc(2024, 3, 30, 12, 0),
         utc(2024, 3, 31, 1, 0)},
        {"day after the gap", "Europe/Berlin", rule(Frequency::Daily, 2, 30), utc(2024, 3, 31, 1, 0),
         utc(2024, 4, 1, 0, 30)},
        {"repeated time takes its first occurrence", "Europe/Berlin", rule(Frequency::Daily, 2, 30),
         utc(2024, 10, 26, 12, 0), utc(2024, 10, 27, 0, 30)},
        {"second occurrence is not a new one", "Europe/Berlin", rule(Frequency::Daily, 2, 30),
         utc(2024, 10, 27, 0, 30), utc(2024, 10, 28, 1, 30)},
        {"New York gap", "America/New_York", rule(Frequency::Daily, 2, 30), utc(2024, 3, 9, 12, 0),
         utc(2024, 3, 10, 7, 0)},
        {"New York overlap", "America/New_York", rule(Frequency::Daily, 1, 30), utc(2024, 11, 2, 12, 0),
         utc(2024, 11, 3, 5, 30)},
        {"half-hour gap", "Australia/Lord_Howe", rule(Frequency::Daily, 2, 15), utc(2024, 10, 5, 0, 0),
         utc(2024, 10, 5, 15, 30)},
        {"half-hour overlap", "Australia/Lord_Howe", rule(Frequency::Daily, 1, 45), utc(2024, 4, 6, 0, 0),
         utc(2024, 4, 6, 14, 45)},
        {"31st in February of a leap year", "UTC", rule(Frequency::Monthly, 9, 0, {}, 31), utc(2024, 2, 1, 0, 0),
         utc(2024, 2, 29, 9, 0)},
        {"31st in February", "UTC", rule(Frequency::Monthly, 9, 0, {}, 31), utc(2023, 2, 1, 0, 0),
         utc(2023, 2, 28, 9, 0)},
        {"29th in February", "Europe/Berlin", rule(Frequency::Monthly, 9, 0, {}, 29), utc(2023, 2, 1, 0, 0),
         utc(2023, 2, 28, 8, 0)},
        {"31st in a 30-day month", "UTC", rule(Frequency::Monthly, 9, 0, {}, 31), utc(2024, 4, 1, 0, 0),
         utc(2024, 4, 30, 9, 0)},
        {"31st after the last day", "UTC", rule(Frequency::Monthly, 9, 0, {}, 31), utc(2024, 4, 30, 10, 0),
         utc(2024, 5, 31, 9, 0)},
        {"15th asked on the 16th", "UTC", rule(Frequency::Monthly, 9, 0, {}, 15), utc(2024, 1, 16, 0, 0),
         utc(2024, 2, 15, 9, 0)},
        {"over the year's end", "UTC", rule(Frequency::Monthly, 9, 0, {}, 31), utc(2024, 12, 31, 10, 0),
         utc(2025, 1, 31, 9, 0)},
        // 15 January 2024 is a Monday; 2 = Monday, 6 = Friday.
        {"Monday and Friday, Monday after the time", "Europe/Berlin", rule(Frequency::Weekly, 9, 0, {2, 6}),
         utc(2024, 1, 15, 9, 0), utc(2024, 1, 19, 8, 0)},
        {"Monday and Friday, Monday before the time", "Europe/Berlin", rule(Frequency::Weekly, 9, 0, {6, 2, 6}),
         utc(2024, 1, 15, 7, 0), utc(2024, 1, 15, 8, 0)},
        {"Sunday is 1", "UTC", rule(Frequency::Weekly, 9, 0, {1}), utc(2024, 1, 15, 0, 0), utc(2024, 1, 21, 9, 0)},
        {"Saturday is 7", "UTC", rule(Frequency::Weekly, 9, 0, {7}), utc(2024, 1, 15, 0, 0), utc(2024, 1, 20, 9, 0)},
        {"a week later when today's time passed", "UTC", rule(Frequency::Weekly, 9, 0, {2}), utc(2024, 1, 15, 9, 30),
         utc(2024, 1, 22, 9, 0)},
        {"weekly without weekdays", "UTC", rule(Frequency::Weekly, 9, 0, {}), utc(2024, 1, 15, 0, 0), std::nullopt},
        {"hour 24", "UTC", rule(Frequency::Daily, 24, 0), utc(2024, 1, 15, 0, 0), std::nullopt},
        {"extreme minute", "UTC", rule(Frequency::Daily, 9, int64Max), utc(2024, 1, 15, 0, 0), std::nullopt},
        {"month day 0", "UTC", rule(Frequency::Monthly, 9, 0, {}, 0), utc(2024, 1, 15, 0, 0), std::nullopt},
        {"weekday 8 on a daily rule", "UTC", rule(Frequency::Daily, 9, 0, {8}), utc(2024, 1, 15, 0, 0), std::nullopt},
        {"not a number", "UTC", rule(Frequency::Daily, 9, 0), Date{std::numeric_limits<double>::quiet_NaN()},
         std::nullopt},
        {"infinitely late", "UTC", rule(Frequency::Daily, 9, 0), Date{std::numeric_limits<double>::infinity()},
         std::nullopt},
        {"beyond the last year", "UTC", rule(Frequency::Daily, 9, 0), utc(9999, 12, 30, 10, 0), std::nullopt},
    };
    for (const NextCase& c : cases)
        EXPECT_EQ(text(c.rule.next(c.after, zone(c.zone))), text(c.expected)) << c.name;
}

TEST(RepeatRuleNextTest, EveryValidRuleFiresWithinTheSearch)
{
    const Calendar berlin = zone("Europe/Berlin");
    const Date after = utc(2023, 1, 31, 23, 59);
    for (qint64 monthDay = 1; monthDay <= 31; ++monthDay)
        EXPECT_TRUE(rule(Frequency::Monthly, 23, 59, {}, monthDay).next(after, berlin).has_value()) << monthDay;
    for (qint64 weekday = 1; weekday <= 7; ++weekday)
        EXPECT_TRUE(rule(Frequency::Weekly, 0, 0, {weekday}).next(after, berlin).has_value()) << weekday;
}

// --- LocalReminderTime -------------------------------------------------------

TEST(LocalReminderTimeTest, WallClockFieldsInTheGivenCalendar)
{
    const Date moment = utc(2024, 7, 1, 3, 45, 30);
    EXPECT_EQ(LocalReminderTime::from(moment, zone("Europe/Berlin")), (LocalReminderTime{2024, 7, 1, 5, 45}));
    EXPECT_EQ(LocalReminderTime::from(moment, zone("America/New_York")), (LocalReminderTime{2024, 6, 30, 23, 45}));

    // The tests run with the system zone set to Berlin; the calendar passed in
    // decides.
    const LocalReminderTime nine{2024, 7, 1, 9, 0};
    EXPECT_EQ(nine.date(zone("America/New_York")), utc(2024, 7, 1, 13, 0));
    EXPECT_EQ(nine.date(zone("Europe/Berlin")), utc(2024, 7, 1, 7, 0));
}

TEST(LocalReminderTimeTest, RoundTripsToTheMinute)
{
    for (const char* id : {"Europe/Berlin", "America/New_York", "Australia/Lord_Howe", "UTC"}) {
        const Calendar calendar = zone(id);
        for (Date moment = utc(2024, 3, 1, 0, 7, 42); moment < utc(2024, 11, 30, 0, 0);
             moment = moment.addingSeconds(3 * 3600 + 17 * 60)) {
            const auto local = LocalReminderTime::from(moment, calendar);
            const auto resolved = local.date(calendar);
            ASSERT_TRUE(resolved.has_value()) << id;
            EXPECT_EQ(LocalReminderTime::from(*resolved, calendar), local) << id;
            EXPECT_LE(*resolved, moment) << id;
        }
    }
}

TEST(LocalReminderTimeTest, GapsOverlapsAndUnresolvableTimes)
{
    const Calendar berlin = zone("Europe/Berlin");
    EXPECT_EQ(text((LocalReminderTime{2024, 3, 31, 2, 30}).date(berlin)), text(utc(2024, 3, 31, 1, 0)));
    EXPECT_EQ(text((LocalReminderTime{2024, 10, 27, 2, 30}).date(berlin)), text(utc(2024, 10, 27, 0, 30)));

    const LocalReminderTime unresolvable[] = {
        {2024, 4, 31, 9, 0},  {2023, 2, 29, 9, 0},  {2024, 13, 1, 9, 0}, {2024, 0, 1, 9, 0},
        {0, 1, 1, 9, 0},      {10000, 1, 1, 9, 0},  {2024, 1, 1, 24, 0}, {2024, 1, 1, 9, 60},
        {int64Max, 1, 1, 9, 0}, {2024, int64Min, 1, 9, 0}, {2024, 1, int64Max, 9, 0},
        {2024, 1, 1, int64Min, 0}, {2024, 1, 1, 9, int64Max},
        // Values that would wrap into valid ones if narrowed to 32 bits.
        {(qint64(1) << 32) + 2024, 1, 1, 9, 0}, {2024, (qint64(1) << 32) + 1, 1, 9, 0},
    };
    for (const auto& time : unresolvable)
        EXPECT_FALSE(time.date(berlin).has_value()) << time.year << "-" << time.month << "-" << time.day;
}

// --- completeRepeatingTransitions --------------------------------------------

struct TransitionFixture : ::testing::Test {
    const Calendar berlin = zone("Europe/Berlin");
    const RepeatRule daily = rule(Frequency::Daily, 9, 0);

    Block todo(Date due, std::optional<RepeatRule> repetition, bool completed = false)
    {
        Block block;
        block.kind = BlockKind::Todo;
        block.text = RichText(QStringLiteral("浇花"), TextFont::system(14));
        block.createdAt = utc(2024, 1, 1, 0, 0);
        block.updatedAt = utc(2024, 1, 1, 0, 0);
        TodoMetadata metadata;
        metadata.priority = 2;
        metadata.notes = RichText(QStringLiteral("阳台"), TextFont::system(14));
        metadata.notesExpanded = true;
        metadata.isCompleted = completed;
        metadata.reminder = TodoReminder{due, repetition, LocalReminderTime::from(due, berlin)};
        block.todo = metadata;
        return block;
    }

    static Block completed(Block block, Date at)
    {
        block.todo->isCompleted = true;
        block.todo->completedAt = at;
        return block;
    }

    static Note noteWith(std::vector<Block> blocks)
    {
        Note note;
        note.blocks = std::move(blocks);
        return note;
    }
};

TEST_F(TransitionFixture, CompletedLateGetsTheFirstOccurrenceAfterNow)
{
    const Date due = utc(2024, 1, 15, 8, 0); // 09:00 in Berlin
    const Date now = utc(2024, 1, 17, 12, 0);
    const Block original = todo(due, daily);
    const Note previous = noteWith({original});
    Note note = noteWith({completed(original, now)});

    note.completeRepeatingTransitions(previous, now, berlin);

    ASSERT_EQ(note.blocks.size(), 2u);
    const Block& archived = note.blocks[0];
    EXPECT_EQ(archived.id, original.id);
    EXPECT_EQ(archived.todo->archivedAt, now);
    EXPECT_TRUE(archived.todo->isCompleted);
    EXPECT_EQ(archived.todo->completedAt, now);
    EXPECT_EQ(archived.updatedAt, original.updatedAt);
    EXPECT_EQ(archived.todo->reminder, (TodoReminder{due, std::nullopt, original.todo->reminder->localTime}));

    const Block& successor = note.blocks[1];
    EXPECT_NE(successor.id, original.id);
    EXPECT_FALSE(successor.id.isNull());
    EXPECT_EQ(successor.kind, BlockKind::Todo);
    EXPECT_EQ(successor.text, original.text);
    EXPECT_EQ(successor.createdAt, now);
    EXPECT_EQ(successor.updatedAt, now);
    const Date next = utc(2024, 1, 18, 8, 0);
    TodoMetadata expected = *original.todo;
    expected.reminder = TodoReminder{next, daily, LocalReminderTime{2024, 1, 18, 9, 0}};
    EXPECT_EQ(*successor.todo, expected);
}

TEST_F(TransitionFixture, CompletedEarlyGetsTheOccurrenceAfterTheDueMoment)
{
    const Date due = utc(2024, 1, 15, 8, 0);
    const Date now = utc(2024, 1, 13, 10, 0); // two days early
    const Block original = todo(due, daily);
    Note note = noteWith({completed(original, now)});
    note.completeRepeatingTransitions(noteWith({original}), now, berlin);
    ASSERT_EQ(note.blocks.size(), 2u);
    EXPECT_EQ(note.blocks[1].todo->reminder->date, utc(2024, 1, 16, 8, 0));
}

TEST_F(TransitionFixture, SuccessorsFollowTheTodosTheyContinue)
{
    const Date now = utc(2024, 1, 17, 12, 0);
    const Block first = todo(utc(2024, 1, 15, 8, 0), daily);
    Block middle;
    const Block last = todo(utc(2024, 1, 15, 8, 0), rule(Frequency::Weekly, 9, 0, {2}));
    Note note = noteWith({completed(first, now), middle, completed(last, now)});
    note.completeRepeatingTransitions(noteWith({first, middle, last}), now, berlin);

    ASSERT_EQ(note.blocks.size(), 5u);
    EXPECT_EQ(note.blocks[0].id, first.id);
    EXPECT_EQ(note.blocks[1].todo->reminder->date, utc(2024, 1, 18, 8, 0));
    EXPECT_EQ(note.blocks[2].id, middle.id);
    EXPECT_EQ(note.blocks[3].id, last.id);
    EXPECT_EQ(note.blocks[4].todo->reminder->date, utc(2024, 1, 22, 8, 0)); // next Monday
}

TEST_F(TransitionFixture, TodosThatDoNotQualifyAreLeftAlone)
{
    const Date due = utc(2024, 1, 15, 8, 0);
    const Date now = utc(2024, 1, 17, 12, 0);
    struct Case {
        const char* name;
        Block before;
        Block after;
        bool inPrevious;
    };
    const Block repeating = todo(due, daily);
    const auto variant = [&](auto change) {
        Block block = completed(repeating, now);
        change(block);
        return block;
    };
    Block noTodoBefore = repeating;
    noTodoBefore.todo.reset();
    Block noReminder = repeating;
    noReminder.todo->reminder.reset();
    Block noRepetition = repeating;
    noRepetition.todo->reminder->repetition.reset();
    Block invalidRule = repeating;
    invalidRule.todo->reminder->repetition = rule(Frequency::Weekly, 9, 0, {});

    const Case cases[] = {
        {"already completed before", completed(repeating, now), completed(repeating, now), true},
        {"still open", repeating, repeating, true},
        {"archived", repeating, variant([&](Block& b) { b.todo->archivedAt = now; }), true},
        {"not a todo", repeating, variant([](Block& b) { b.kind = BlockKind::Bullet; }), true},
        {"previous had no todo data", noTodoBefore, completed(repeating, now), true},
        {"no reminder", noReminder, completed(noReminder, now), true},
        {"no repetition", noRepetition, completed(noRepetition, now), true},
        {"invalid rule", invalidRule, completed(invalidRule, now), true},
        {"added already completed", repeating, completed(repeating, now), false},
    };
    for (const Case& c : cases) {
        const Note previous = noteWith(c.inPrevious ? std::vector<Block>{c.before} : std::vector<Block>{});
        Note note = noteWith({c.after});
        const Note unchanged = note;
        note.completeRepeatingTransitions(previous, now, berlin);
        EXPECT_TRUE(note == unchanged) << c.name;
    }
}

TEST_F(TransitionFixture, LocalTimeDecidesAndFallsBackToTheDate)
{
    const Date now = utc(2024, 1, 10, 12, 0);
    // The stored wall-clock time (20 January, 09:00) wins over the date.
    Block planned = todo(utc(2024, 1, 15, 8, 0), daily);
    planned.todo->reminder->localTime = LocalReminderTime{2024, 1, 20, 9, 0};
    Note note = noteWith({completed(planned, now)});
    note.completeRepeatingTransitions(noteWith({planned}), now, berlin);
    ASSERT_EQ(note.blocks.size(), 2u);
    EXPECT_EQ(note.blocks[1].todo->reminder->date, utc(2024, 1, 21, 8, 0));

    // 31 April does not exist: the date is used.
    Block unresolvable = planned;
    unresolvable.todo->reminder->localTime = LocalReminderTime{2024, 4, 31, 9, 0};
    note = noteWith({completed(unresolvable, now)});
    note.completeRepeatingTransitions(noteWith({unresolvable}), now, berlin);
    ASSERT_EQ(note.blocks.size(), 2u);
    EXPECT_EQ(note.blocks[1].todo->reminder->date, utc(2024, 1, 16, 8, 0));

    // A date that is not a number counts as no later than now.
    Block broken = unresolvable;
    broken.todo->reminder->date = Date{std::numeric_limits<double>::quiet_NaN()};
    note = noteWith({completed(broken, now)});
    note.completeRepeatingTransitions(noteWith({broken}), now, berlin);
    ASSERT_EQ(note.blocks.size(), 2u);
    EXPECT_EQ(note.blocks[1].todo->reminder->date, utc(2024, 1, 11, 8, 0));
}

TEST_F(TransitionFixture, WorksInTheCalendarItIsGiven)
{
    const Calendar newYork = zone("America/New_York");
    // Due at 09:00 in New York, completed early. Read in the system's zone
    // (Berlin), the stored wall-clock time would lie before now.
    const Date due = utc(2024, 1, 15, 14, 0);
    const Date now = utc(2024, 1, 15, 10, 0);
    Block original = todo(due, daily);
    original.todo->reminder->localTime = LocalReminderTime::from(due, newYork);
    Note note = noteWith({completed(original, now)});
    note.completeRepeatingTransitions(noteWith({original}), now, newYork);
    ASSERT_EQ(note.blocks.size(), 2u);
    EXPECT_EQ(note.blocks[1].todo->reminder->date, utc(2024, 1, 16, 14, 0));
    EXPECT_EQ(note.blocks[1].todo->reminder->localTime, (LocalReminderTime{2024, 1, 16, 9, 0}));
}

TEST_F(TransitionFixture, TheFirstOfRepeatedPreviousIdsCounts)
{
    const Date now = utc(2024, 1, 17, 12, 0);
    const Block open = todo(utc(2024, 1, 15, 8, 0), daily);
    const Block done = completed(open, now);

    Note note = noteWith({done});
    note.completeRepeatingTransitions(noteWith({open, done}), now, berlin);
    EXPECT_EQ(note.blocks.size(), 2u);

    note = noteWith({done});
    note.completeRepeatingTransitions(noteWith({done, open}), now, berlin);
    EXPECT_EQ(note.blocks.size(), 1u);
}

} // namespace
} // namespace quorrin
