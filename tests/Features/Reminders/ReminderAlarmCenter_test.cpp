#include "Features/Reminders/ReminderAlarmCenter.h"

#include "Persistence/NoteStore.h"
#include "Persistence/StoreFixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace quorrin {
namespace {

using Alarm = ReminderAlarmCenter::Alarm;
using testing::FakeTimer;
using testing::StoreDirectory;

constexpr double launch = 800000000; // the launch moment, 10:00:00.0 in the tests' terms

Block todo(double due)
{
    Block block;
    block.kind = BlockKind::Todo;
    block.todo = TodoMetadata{};
    block.todo->reminder = TodoReminder{Date{due}, std::nullopt, std::nullopt};
    return block;
}

class ReminderAlarmCenterTest : public ::testing::Test {
protected:
    void SetUp() override { fresh(); }

    // A new store in a new directory and a new centre launched at `launch`.
    void fresh()
    {
        center.reset();
        store.reset();
        directory = std::make_unique<StoreDirectory>();
        now = Date{launch};
        changes = 0;
        store = directory->open();
        ReminderAlarmServices services;
        services.clock = [this] { return now; };
        services.calendar = [] { return Calendar(QTimeZone(QByteArrayLiteral("Europe/Berlin"))); };
        auto timerOwner = std::make_unique<FakeTimer>();
        tick = timerOwner.get();
        services.timer = std::move(timerOwner);
        center = std::make_unique<ReminderAlarmCenter>(store.get(), Date{launch}, std::move(services));
        center->onChange = [this] { ++changes; };
    }

    // A note holding the given blocks, added to the store without announcing it.
    Note addNote(std::vector<Block> blocks, NoteColor color = NoteColor::Cream)
    {
        Note note = store->create();
        note.blocks = std::move(blocks);
        note.color = color;
        store->update(note, false, false);
        return note;
    }

    // Changes the stored note without announcing it.
    void edit(const Note& note, const std::function<void(Note&)>& change)
    {
        Note copy = *store->note(note.id);
        change(copy);
        store->update(copy, false, false);
    }

    void sweepAt(double seconds)
    {
        now = Date{seconds};
        center->sweep(now);
    }

    std::unique_ptr<StoreDirectory> directory;
    std::unique_ptr<NoteStore> store;
    std::unique_ptr<ReminderAlarmCenter> center;
    FakeTimer* tick = nullptr;
    Date now{launch};
    int changes = 0;
};

TEST_F(ReminderAlarmCenterTest, RingsOnlyForDatesInsideTheSweepWindow)
{
    struct Case {
        const char* name;
        double due;
        bool rings;
    };
    const Case cases[] = {
        {"due exactly at the last sweep", launch, false},
        {"due before launch", launch - 60, false},
        {"due inside the window", launch + 0.3, true},
        {"due exactly at now", launch + 0.5, true},
        {"due after now", launch + 0.6, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        const Note note = addNote({todo(c.due)});
        sweepAt(launch + 0.5);
        const std::vector<Alarm> expected =
            c.rings ? std::vector<Alarm>{{note.id, note.blocks[0].id, NoteColor::Cream}} : std::vector<Alarm>{};
        EXPECT_EQ(center->alarms(), expected);
        EXPECT_EQ(changes, c.rings ? 1 : 0);
    }
}

TEST_F(ReminderAlarmCenterTest, KeepsOldAlarmsFirstThenNewOnesInNoteAndBlockOrder)
{
    const Note first = addNote({todo(launch + 20), todo(launch + 5)}, NoteColor::Blue);
    const Note second = addNote({todo(launch + 10)}, NoteColor::Pink);
    sweepAt(launch + 10); // rings first[1] and second[0]
    sweepAt(launch + 30); // adds first[0]

    const std::vector<Alarm> expected = {
        {first.id, first.blocks[1].id, NoteColor::Blue},
        {second.id, second.blocks[0].id, NoteColor::Pink},
        {first.id, first.blocks[0].id, NoteColor::Blue},
    };
    EXPECT_EQ(center->alarms(), expected);
    EXPECT_EQ(changes, 2);
}

TEST_F(ReminderAlarmCenterTest, DropsTheAlarmOnceTheTodoNoLongerQualifies)
{
    struct Case {
        const char* name;
        std::function<void(Note&)> change;
    };
    const Case cases[] = {
        {"completed", [](Note& n) { n.blocks[0].todo->isCompleted = true; }},
        {"archived", [](Note& n) { n.blocks[0].todo->archivedAt = Date{launch}; }},
        {"reminder removed", [](Note& n) { n.blocks[0].todo->reminder.reset(); }},
        {"snoozed into the future", [](Note& n) { n.blocks[0].todo->reminder->date = Date{launch + 600}; }},
        {"no longer a todo", [](Note& n) { n.blocks[0].kind = BlockKind::Paragraph; }},
        {"block removed", [](Note& n) { n.blocks = {Block()}; }},
        {"note deleted", [](Note& n) { n.deletedAt = Date{launch}; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        const Note note = addNote({todo(launch + 1)});
        sweepAt(launch + 2);
        ASSERT_EQ(center->alarms().size(), 1u);

        edit(note, c.change);
        sweepAt(launch + 3);
        EXPECT_TRUE(center->alarms().empty());
        EXPECT_EQ(changes, 2);
    }
}

TEST_F(ReminderAlarmCenterTest, FollowsTheNoteColourAndCallsOnChangeOnlyOnRealChanges)
{
    const Note note = addNote({todo(launch + 1)});
    sweepAt(launch + 2);
    sweepAt(launch + 3);
    EXPECT_EQ(changes, 1);

    edit(note, [](Note& n) { n.color = NoteColor::Sage; });
    sweepAt(launch + 4);
    EXPECT_EQ(center->alarms(), (std::vector<Alarm>{{note.id, note.blocks[0].id, NoteColor::Sage}}));
    EXPECT_EQ(changes, 2);
}

TEST_F(ReminderAlarmCenterTest, AcknowledgedReminderStaysSilentUntilTheClockPassesItAgain)
{
    const Note note = addNote({todo(launch + 1)});
    const Note other = addNote({todo(launch + 100)});
    sweepAt(launch + 2);

    center->acknowledge(other.id, note.blocks[0].id); // not ringing: nothing happens
    EXPECT_EQ(changes, 1);
    center->acknowledge(note.id, note.blocks[0].id);
    EXPECT_TRUE(center->alarms().empty());
    EXPECT_EQ(changes, 2);

    sweepAt(launch + 3);
    EXPECT_TRUE(center->alarms().empty());

    // The clock is set back: that sweep adds nothing but moves the window,
    // so the reminder rings again when the clock reaches it once more.
    sweepAt(launch - 3600);
    EXPECT_TRUE(center->alarms().empty());
    sweepAt(launch + 2);
    EXPECT_EQ(center->alarms(), (std::vector<Alarm>{{note.id, note.blocks[0].id, NoteColor::Cream}}));
}

TEST_F(ReminderAlarmCenterTest, SweepsWhenTheStoreAnnouncesAChange)
{
    const Note note = addNote({todo(launch + 1)});
    now = Date{launch + 2};
    store->update(*store->note(note.id), false, true);
    EXPECT_EQ(center->alarms().size(), 1u);

    // Another store's announcements are not ours.
    StoreDirectory elsewhere;
    const std::unique_ptr<NoteStore> otherStore = elsewhere.open();
    const Note late = addNote({todo(launch + 3)});
    now = Date{launch + 4};
    otherStore->create();
    EXPECT_EQ(center->alarms().size(), 1u);

    store->update(*store->note(late.id), false, true);
    EXPECT_EQ(center->alarms().size(), 2u);
}

TEST_F(ReminderAlarmCenterTest, StartArmsAHalfSecondTickOnce)
{
    const Note note = addNote({todo(launch + 0.2)});
    EXPECT_FALSE(tick->isPending());
    center->start();
    center->start();
    EXPECT_EQ(tick->starts, 1);
    EXPECT_EQ(tick->lastDelay, ReminderAlarmCenter::sweepInterval);

    now = Date{launch + 0.5};
    tick->fire();
    EXPECT_EQ(center->alarms().size(), 1u);
    EXPECT_TRUE(tick->isPending()); // the tick repeats
    EXPECT_EQ(tick->starts, 2);
}

TEST_F(ReminderAlarmCenterTest, ResolvesWallClockRemindersInTheCurrentCalendar)
{
    // The launch moment is 2026-05-09 08:13:20 in Berlin; 08:14 there is 40 s later.
    Block block = todo(launch - 86400); // stored date long past
    block.todo->reminder->localTime = LocalReminderTime{2026, 5, 9, 8, 14};
    const Note note = addNote({block});
    sweepAt(launch + 30);
    EXPECT_TRUE(center->alarms().empty());
    sweepAt(launch + 40);
    EXPECT_EQ(center->alarms().size(), 1u);
}

TEST_F(ReminderAlarmCenterTest, DoesNothingOnceTheStoreIsGone)
{
    addNote({todo(launch + 1)});
    store.reset();
    sweepAt(launch + 2);
    EXPECT_TRUE(center->alarms().empty());
    EXPECT_EQ(changes, 0);
}

} // namespace
} // namespace quorrin
