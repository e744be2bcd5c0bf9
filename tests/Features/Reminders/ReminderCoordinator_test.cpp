#include "Features/Reminders/ReminderCoordinator.h"

#include "Features/Reminders/NotificationPlan.h"
#include "Support/FakeNotificationCenter.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

namespace quorrin {
namespace {

class FakeReminderStore : public ReminderStore {
public:
    std::vector<Note> stored;
    bool privacy = false;
    struct Update {
        Note note;
        bool immediate;
        bool notify;
    };
    std::vector<Update> updates;
    std::function<void()> onCommit;

    std::vector<Note> notes() const override { return stored; }
    std::optional<Note> note(const QUuid& id) const override
    {
        for (const Note& n : stored)
            if (n.id == id)
                return n;
        return std::nullopt;
    }
    bool privateReminderContent() const override { return privacy; }
    void update(const Note& note, bool immediate, bool notify) override
    {
        updates.push_back({note, immediate, notify});
        for (Note& n : stored)
            if (n.id == note.id)
                n = note;
    }
    void setOnCommit(std::function<void()> callback) override { onCommit = std::move(callback); }
};

Date utc(int year, int month, int day, int hour, int minute, int second = 0)
{
    return Date::fromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc()));
}

Block todo(const QString& task, Date at)
{
    Block block;
    block.kind = BlockKind::Todo;
    block.text = RichText(task, TextFont::system(14));
    block.todo = TodoMetadata{};
    block.todo->reminder = TodoReminder{at, std::nullopt, std::nullopt};
    return block;
}

class ReminderCoordinatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        center.autoComplete = false;
        Note n;
        n.customTitle = QStringLiteral("工作");
        n.blocks = {todo("开会", utc(2026, 5, 1, 11, 0)), todo("写周报", utc(2026, 5, 1, 12, 0))};
        store.stored = {n};
    }

    ReminderCoordinator& makeCoordinator()
    {
        coordinator = std::make_unique<ReminderCoordinator>(
            &store, center, nullptr, [this] { return now; },
            [] { return Calendar(QTimeZone(QByteArrayLiteral("Europe/Berlin"))); });
        coordinator->open = [this](QUuid note, QUuid block) { opened.append({note, block}); };
        return *coordinator;
    }

    // Answers everything the centre owes until the coordinator rests.
    void settle()
    {
        for (int round = 0; round < 20; ++round) {
            center.completeAll();
            QCoreApplication::processEvents();
        }
    }

    int passes() const { return int(center.calls.count("getSettings")); }

    QString identifierOf(int block) const
    {
        return reminderNotification::identifier(store.stored[0].id, store.stored[0].blocks[block].id);
    }

    NotificationResponse answer(const QString& action, int block = 0) const
    {
        const ReminderPlan plan =
            ReminderPlan::desired(store.stored, false, now, Calendar(QTimeZone::utc())).at(block);
        return NotificationResponse{{plan.request(), now}, action};
    }

    FakeNotificationCenter center;
    FakeReminderStore store;
    Date now = utc(2026, 5, 1, 10, 0);
    std::unique_ptr<ReminderCoordinator> coordinator;
    QList<std::pair<QUuid, QUuid>> opened;
};

TEST_F(ReminderCoordinatorTest, RegistersTheSnoozeCategoryAndSchedulesOnePerFutureTodo)
{
    makeCoordinator();
    EXPECT_EQ(coordinator->status(), "正在核对系统通知");
    ASSERT_EQ(center.categories.size(), 1);
    EXPECT_EQ(center.categories[0].identifier, "Quorrin.todo.actions");
    EXPECT_EQ(center.categories[0].actions,
              (QList<NotificationAction>{{"snooze10", "稍后10分钟", true}, {"snooze60", "稍后1小时", true}}));
    settle();
    ASSERT_EQ(center.pending.size(), 2);
    EXPECT_EQ(center.pending[0].identifier, identifierOf(0));
    EXPECT_EQ(coordinator->status(), "已与系统通知核对（未来提醒）");
    EXPECT_EQ(coordinator->schedulingError(), std::nullopt);

    // A second pass finds everything in place and adds nothing.
    const qsizetype added = center.added.size();
    store.onCommit();
    settle();
    EXPECT_EQ(center.added.size(), added);

    // A changed task text is re-added under the same identifier.
    store.stored[0].blocks[1].text = RichText(QStringLiteral("写月报"), TextFont::system(14));
    store.onCommit();
    settle();
    EXPECT_EQ(center.added.size(), added + 1);
    EXPECT_EQ(center.added.last().identifier, identifierOf(1));
    EXPECT_EQ(center.pending.size(), 2);
}

TEST_F(ReminderCoordinatorTest, TriggersDuringAPassGiveExactlyOneMorePass)
{
    makeCoordinator();
    EXPECT_EQ(passes(), 1);
    store.onCommit();
    store.onCommit();
    store.onCommit();
    EXPECT_EQ(passes(), 1);
    settle();
    EXPECT_EQ(passes(), 2);
}

TEST_F(ReminderCoordinatorTest, FlushIsAnsweredAfterAPassThatStartedLaterFirstCallerFirst)
{
    makeCoordinator();
    QStringList answered;
    coordinator->flush([&] { answered << "first"; });
    coordinator->flush([&] { answered << "second"; });
    // The pass in flight ends and finds more to do.
    while (passes() == 1 && center.completeNext()) {
    }
    EXPECT_EQ(passes(), 2);
    EXPECT_TRUE(answered.isEmpty());
    settle();
    EXPECT_EQ(answered, (QStringList{"first", "second"}));
}

TEST_F(ReminderCoordinatorTest, WithoutPermissionOnlyOurRequestsAreWithdrawn)
{
    const NotificationRequest foreign{"org.example.other", {}, std::nullopt};
    center.pending = {foreign, NotificationRequest{identifierOf(0), {}, std::nullopt}};
    center.settings.authorizationStatus = AuthorizationStatus::denied;
    makeCoordinator();
    bool flushed = false;
    coordinator->flush([&] { flushed = true; });
    settle();
    EXPECT_TRUE(flushed);
    EXPECT_EQ(center.pending, QList<NotificationRequest>{foreign});
    EXPECT_TRUE(center.added.isEmpty());
    EXPECT_EQ(coordinator->schedulingError(), "请在系统设置 → 通知中允许 Quorrin。");
    EXPECT_EQ(coordinator->status(), "尚未获得通知权限，提醒不会投递；请在系统设置 → 通知中允许 Quorrin");
}

TEST_F(ReminderCoordinatorTest, WhileNobodyDecidesRequestsAreStillAddedAndTheUserIsToldOncePerOutage)
{
    center.settings.authorizationStatus = AuthorizationStatus::notDetermined;
    makeCoordinator();
    settle();
    EXPECT_EQ(center.pending.size(), 2);
    EXPECT_EQ(coordinator->schedulingError(), std::nullopt);
    EXPECT_EQ(coordinator->status(), ReminderCoordinator::undeterminedStatus);
    EXPECT_EQ(coordinator->takeDeliveryNotice(), ReminderCoordinator::undeterminedNotice);
    EXPECT_EQ(coordinator->takeDeliveryNotice(), std::nullopt);
    store.onCommit();
    settle();
    EXPECT_EQ(coordinator->takeDeliveryNotice(), std::nullopt);

    center.settings.authorizationStatus = AuthorizationStatus::authorized; // a service came
    store.onCommit();
    settle();
    EXPECT_EQ(coordinator->takeDeliveryNotice(), std::nullopt);
    center.settings.authorizationStatus = AuthorizationStatus::notDetermined; // and went again
    store.onCommit();
    settle();
    EXPECT_EQ(coordinator->takeDeliveryNotice(), ReminderCoordinator::undeterminedNotice);
}

TEST_F(ReminderCoordinatorTest, AFailedAddIsReportedAndTheNextPassTriesAgain)
{
    center.addError = QStringLiteral("无法连接系统通知服务");
    makeCoordinator();
    settle();
    EXPECT_EQ(coordinator->schedulingError(), "提醒已保存，系统暂未完成安排，请稍后重试。");
    EXPECT_EQ(coordinator->status(), "系统通知安排失败；提醒定义已保存，请稍后重试");

    center.addError.reset();
    store.onCommit();
    settle();
    EXPECT_EQ(coordinator->schedulingError(), std::nullopt);
    EXPECT_EQ(center.pending.size(), 2);
}

TEST_F(ReminderCoordinatorTest, DeliveredNotificationsOfFinishedTodosAreWithdrawn)
{
    makeCoordinator();
    settle();
    center.delivered = {{center.pending[0], now}, {center.pending[1], now}};
    store.stored[0].blocks[0].todo->isCompleted = true;
    store.onCommit();
    settle();
    EXPECT_EQ(center.removedDelivered.last(), QStringList{identifierOf(0)});
    EXPECT_EQ(center.delivered.size(), 1);
}

TEST_F(ReminderCoordinatorTest, SnoozeMovesTheReminderFromTheMomentOfAnswering)
{
    store.stored[0].blocks[0].todo->reminder->repetition = RepeatRule{RepeatRule::Frequency::Daily, 11, 0, {}, 1};
    store.stored[0].blocks[0].todo->reminder->localTime = LocalReminderTime{2026, 5, 1, 13, 0};
    makeCoordinator();
    settle();
    const NotificationResponse response = answer("snooze60");
    bool handled = false;
    center.respond(response, [&] { handled = true; });
    EXPECT_TRUE(handled);
    ASSERT_EQ(store.updates.size(), 1u);
    EXPECT_TRUE(store.updates[0].immediate);
    EXPECT_TRUE(store.updates[0].notify);
    const TodoReminder& reminder = *store.updates[0].note.blocks[0].todo->reminder;
    EXPECT_EQ(reminder.date, utc(2026, 5, 1, 11, 0));
    EXPECT_EQ(reminder.localTime, std::nullopt);
    EXPECT_EQ(reminder.repetition, (RepeatRule{RepeatRule::Frequency::Daily, 11, 0, {}, 1}));
    EXPECT_EQ(opened, (QList<std::pair<QUuid, QUuid>>{{store.stored[0].id, store.stored[0].blocks[0].id}}));

    center.respond(answer("snooze10", 1));
    EXPECT_EQ(store.updates.back().note.blocks[1].todo->reminder->date, utc(2026, 5, 1, 10, 10));
}

TEST_F(ReminderCoordinatorTest, AnswersThatNoLongerFitDoNothing)
{
    makeCoordinator();
    settle();
    const NotificationResponse click = answer("default");
    const NotificationResponse snooze = answer("snooze10");

    NotificationResponse malformed = click;
    malformed.notification.request.content.userInfo["noteID"] = "{" + store.stored[0].id.toString() + "}";
    center.respond(malformed);
    center.respond(answer("dismiss"));
    store.stored[0].blocks[0].todo->isCompleted = true;
    center.respond(snooze); // a completed todo is not snoozed, nor opened
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(store.updates.empty());

    center.respond(click); // a completed todo can still be opened
    EXPECT_EQ(opened.size(), 1);
    store.stored[0].blocks[0].todo->archivedAt = now;
    center.respond(click);
    store.stored[0].blocks[0].todo->archivedAt.reset();
    store.stored[0].deletedAt = now;
    center.respond(click);
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(ReminderCoordinatorTest, AuthorizeAsksOnlyWhileUndecided)
{
    makeCoordinator();
    center.settings.authorizationStatus = AuthorizationStatus::notDetermined;
    center.grantsAuthorization = true;
    std::optional<bool> allowed;
    coordinator->authorize([&](bool ok) { allowed = ok; });
    settle();
    EXPECT_EQ(allowed, true);
    EXPECT_EQ(center.calls.count("requestAuthorization"), 1);

    center.settings.authorizationStatus = AuthorizationStatus::denied;
    coordinator->authorize([&](bool ok) { allowed = ok; });
    settle();
    EXPECT_EQ(allowed, false);
    EXPECT_EQ(center.calls.count("requestAuthorization"), 1);
}

TEST_F(ReminderCoordinatorTest, AVanishedStoreEndsThePassAndKeepsWaitersWaiting)
{
    auto doomed = std::make_unique<FakeReminderStore>();
    doomed->stored = store.stored;
    coordinator = std::make_unique<ReminderCoordinator>(doomed.get(), center, nullptr, [this] { return now; });
    bool flushed = false;
    coordinator->flush([&] { flushed = true; });
    doomed.reset();
    settle();
    EXPECT_FALSE(flushed);
    EXPECT_TRUE(center.added.isEmpty());
}

} // namespace
} // namespace quorrin
