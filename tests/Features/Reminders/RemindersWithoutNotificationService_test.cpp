// Reminders on a session bus where no notification service runs: nothing
// refuses them, the in-app alarm rings, and the user is told once.
#include "Features/Reminders/NoteStoreReminderSource.h"
#include "Features/Reminders/ReminderAlarmCenter.h"
#include "Features/Reminders/ReminderCoordinator.h"
#include "Features/Reminders/ReminderPanelEditing.h"
#include "Persistence/StoreFixtures.h"
#include "Platform/FreedesktopNotificationCenter.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QTest>

namespace quorrin {
namespace {

using testing::FakeTimer;
using testing::StoreDirectory;

const Calendar berlin(QTimeZone(QByteArrayLiteral("Europe/Berlin")));

class WithoutNotificationService : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus";
        store = directory.open();
        Note note = store->create();
        Block todo;
        todo.kind = BlockKind::Todo;
        todo.todo = TodoMetadata{};
        note.blocks = {todo};
        store->update(note, true, false);
        noteID = note.id;
        blockID = todo.id;

        // A name nobody owns and no service file can start: the bus answers at once.
        FreedesktopNotificationCenter::Options options;
        options.service = QStringLiteral("org.quorrin.test.NoNotifications.p%1").arg(QCoreApplication::applicationPid());
        options.clock = [this] { return now; };
        options.systemTimeZone = [] { return berlin.timeZone(); };
        center = std::make_unique<FreedesktopNotificationCenter>(QDBusConnection::sessionBus(), options);
        source = std::make_unique<NoteStoreReminderSource>(*store);
        coordinator = std::make_unique<ReminderCoordinator>(source.get(), *center, nullptr, [this] { return now; },
                                                            [] { return berlin; });

        ReminderAlarmServices alarmServices;
        alarmServices.clock = [this] { return now; };
        alarmServices.calendar = [] { return berlin; };
        alarmServices.timer = std::make_unique<FakeTimer>();
        alarms = std::make_unique<ReminderAlarmCenter>(store.get(), now, std::move(alarmServices));
        alarms->start();
    }

    // The reminder panel of the todo, served by the coordinator as the
    // application serves it.
    std::unique_ptr<ReminderPanelEditing> openPanel()
    {
        const ReminderCallbacks callbacks = reminderPanelCallbacks(coordinator.get());
        ReminderPanelHost host;
        host.block = [this]() -> std::optional<Block> { return store->note(noteID)->blocks.front(); };
        host.editorAlive = [] { return true; };
        host.noteDeleted = [] { return false; };
        host.change = [this](const QString&, const std::optional<TodoReminder>& reminder) {
            Note note = *store->note(noteID);
            note.blocks.front().todo->reminder = reminder;
            store->update(note, true, true);
            return !store->lastError();
        };
        host.authorize = callbacks.authorize;
        host.synchronize = callbacks.synchronize;
        host.deliveryNotice = callbacks.deliveryNotice;
        host.later = [this](double, std::function<void()> step) { later.push_back(std::move(step)); };
        host.now = [this] { return now; };
        host.calendar = berlin;
        auto panel = std::make_unique<ReminderPanelEditing>(std::move(host));
        panel->onDismissRequest = [this](bool, bool) { ++dismissRequests; };
        return panel;
    }

    void saveAndWait(ReminderPanelEditing& panel)
    {
        panel.saveReminder();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !panel.isBusy(); }, 5000));
    }

    StoreDirectory directory;
    std::unique_ptr<NoteStore> store;
    QUuid noteID;
    QUuid blockID;
    Date now = Date::fromDateTime(QDateTime(QDate(2026, 5, 7), QTime(9, 0), berlin.timeZone()));
    std::unique_ptr<FreedesktopNotificationCenter> center;
    std::unique_ptr<NoteStoreReminderSource> source;
    std::unique_ptr<ReminderCoordinator> coordinator;
    std::unique_ptr<ReminderAlarmCenter> alarms;
    std::vector<std::function<void()>> later;
    int dismissRequests = 0;
};

TEST_F(WithoutNotificationService, AReminderIsSavedRingsInTheAppAndTheUserIsToldOnce)
{
    auto first = openPanel();
    saveAndWait(*first);
    const std::optional<TodoReminder> saved = store->note(noteID)->blocks.front().todo->reminder;
    ASSERT_TRUE(saved) << first->message().toStdString();
    EXPECT_EQ(first->message(), ReminderCoordinator::undeterminedNotice);
    EXPECT_TRUE(later.empty()) << "the panel stays open for the notice to be read";
    EXPECT_EQ(coordinator->status(), ReminderCoordinator::undeterminedStatus);
    EXPECT_EQ(coordinator->schedulingError(), std::nullopt);

    // Saving again says nothing more than that it was saved.
    auto second = openPanel();
    second->chooseQuickDate(1); // tomorrow at nine
    saveAndWait(*second);
    EXPECT_EQ(second->message(), QStringLiteral("已保存提醒"));
    ASSERT_EQ(later.size(), 1u);
    later.front()();
    EXPECT_EQ(dismissRequests, 1);

    // When it falls due, the in-app alarm rings.
    const Date due = store->note(noteID)->blocks.front().todo->reminder->date;
    now = due.addingSeconds(1);
    alarms->sweep(now);
    ASSERT_EQ(alarms->alarms().size(), 1u);
    EXPECT_EQ(alarms->alarms().front().blockID, blockID);
}

} // namespace
} // namespace quorrin
