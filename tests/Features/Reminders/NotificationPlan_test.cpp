#include "Features/Reminders/NotificationPlan.h"

#include <gtest/gtest.h>

namespace quorrin {

// Found by argument-dependent lookup for readable failure messages.
static void PrintTo(const ReminderPresentation& p, std::ostream* os)
{
    *os << '{' << p.title.toStdString() << " | " << p.subtitle.toStdString() << " | " << p.body.toStdString() << '}';
}

namespace {

const QTimeZone berlinZone{QByteArrayLiteral("Europe/Berlin")};
const Calendar berlin{berlinZone};

Date utc(int year, int month, int day, int hour, int minute, double second = 0)
{
    return Date::fromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone::utc()))
        .addingSeconds(second);
}

const Date now = utc(2026, 5, 1, 10, 0);

Block todo(const QString& task, std::optional<TodoReminder> reminder)
{
    Block block;
    block.kind = BlockKind::Todo;
    block.text = RichText(task, TextFont::system(14));
    block.todo = TodoMetadata{};
    block.todo->reminder = std::move(reminder);
    return block;
}

TodoReminder at(Date date)
{
    return TodoReminder{date, std::nullopt, std::nullopt};
}

Note note(std::vector<Block> blocks, std::optional<QString> title = QStringLiteral("购物"))
{
    Note n;
    n.blocks = std::move(blocks);
    n.customTitle = std::move(title);
    return n;
}

QStringList identifiers(const std::vector<ReminderPlan>& plans)
{
    QStringList ids;
    for (const ReminderPlan& plan : plans)
        ids << plan.identifier;
    return ids;
}

struct PresentationCase {
    QString noteTitle;
    QString task;
    bool privacy;
    ReminderPresentation expected;
};

TEST(ReminderPresentationTest, TextsFollowPrivacyTrimmingAndTheGraphemeCut)
{
    const QString eighty = QString(80, u'字');
    const QString family = QStringLiteral("👨‍👩‍👧"); // five scalars, one character
    const QString accented = QStringLiteral("e\u0301\u0323");
    const PresentationCase cases[] = {
        {"便笺", "买牛奶", false, {"待办提醒", "便笺", "到时间了：「买牛奶」"}},
        {"便笺", "买牛奶", true, {"待办提醒", "", "你有一条待办提醒"}},
        {"  便笺 ", " \n\t ", false, {"待办提醒", "  便笺 ", "到时间了：「未命名待办」"}},
        {"便笺", "\n  任务  \n", false, {"待办提醒", "便笺", "到时间了：「任务」"}},
        {"便笺", eighty + u'多', false, {"待办提醒", "便笺", "到时间了：「" + eighty + "」"}},
        {"便笺", QString(79, u'a') + family + u'b', false,
         {"待办提醒", "便笺", "到时间了：「" + QString(79, u'a') + family + "」"}},
        {"便笺", QString(79, u'a') + accented + u'b', false,
         {"待办提醒", "便笺", "到时间了：「" + QString(79, u'a') + accented + "」"}},
    };
    for (const PresentationCase& c : cases)
        EXPECT_EQ(ReminderPresentation::make(c.noteTitle, c.task, c.privacy), c.expected) << c.task.toStdString();
}

TEST(ReminderPlanTest, OnlyLiveTodosWithFutureRemindersArePlannedInNoteThenBlockOrder)
{
    Block exactlyNow = todo("now", at(now));
    Block second = todo("second", at(now.addingSeconds(1)));
    Block completed = todo("done", at(now.addingSeconds(60)));
    completed.todo->isCompleted = true;
    Block archived = todo("archived", at(now.addingSeconds(60)));
    archived.todo->archivedAt = now;
    Block withoutReminder = todo("none", std::nullopt);
    Block bullet = todo("bullet", at(now.addingSeconds(60)));
    bullet.kind = BlockKind::Bullet; // still carries its todo data
    Block later = todo("later", at(now.addingSeconds(3600)));
    Block unreadable = todo("x", at(now.addingSeconds(7200)));
    unreadable.text = RichText::fromRtf("plain bytes, not RTF");

    Note first = note({exactlyNow, later, completed, archived, withoutReminder, bullet, second});
    Note deleted = note({todo("gone", at(now.addingSeconds(60)))});
    deleted.deletedAt = now;
    Note untitled = note({unreadable}, QStringLiteral(" \n "));

    const std::vector<ReminderPlan> plans =
        ReminderPlan::desired({first, deleted, untitled}, false, now, berlin);
    ASSERT_EQ(plans.size(), 3u);
    EXPECT_EQ(identifiers(plans),
              (QStringList{reminderNotification::identifier(first.id, later.id),
                           reminderNotification::identifier(first.id, second.id),
                           reminderNotification::identifier(untitled.id, unreadable.id)}));
    EXPECT_EQ(plans[0].presentation.body, "到时间了：「later」");
    EXPECT_EQ(plans[1].date, now.addingSeconds(1));
    EXPECT_EQ(plans[2].presentation, (ReminderPresentation{"待办提醒", "未命名便笺", "到时间了：「未命名待办」"}));

    // Upper-case UUIDs; two todos of one note differ only after the last ".".
    const QString id = plans[0].identifier;
    EXPECT_EQ(id, "Quorrin.todo." + first.id.toString(QUuid::WithoutBraces).toUpper() + "."
                      + later.id.toString(QUuid::WithoutBraces).toUpper());
    EXPECT_EQ(id, id.toUpper().replace("QUORRIN.TODO.", "Quorrin.todo."));
    EXPECT_EQ(id.left(id.lastIndexOf(u'.')), plans[1].identifier.left(plans[1].identifier.lastIndexOf(u'.')));

    const std::vector<ReminderPlan> hidden = ReminderPlan::desired({first}, true, now, berlin);
    EXPECT_EQ(hidden[0].presentation, (ReminderPresentation{"待办提醒", "", "你有一条待办提醒"}));
}

TEST(ReminderPlanTest, WallClockRemindersResolveInTheCalendarAndFireOnFloatingComponents)
{
    TodoReminder gap = at(utc(2026, 3, 1, 0, 0)); // stored date is only the fallback
    gap.localTime = LocalReminderTime{2026, 3, 29, 2, 30};
    Block block = todo("早起", gap);
    const Note n = note({block});

    const std::vector<ReminderPlan> plans = ReminderPlan::desired({n}, false, utc(2026, 3, 28, 0, 0), berlin);
    ASSERT_EQ(plans.size(), 1u);
    EXPECT_EQ(plans[0].date, utc(2026, 3, 29, 1, 0)); // 02:30 is skipped: 03:00 CEST
    EXPECT_EQ(plans[0].localTime, gap.localTime);

    const NotificationRequest request = plans[0].request();
    ASSERT_TRUE(request.trigger);
    EXPECT_EQ(request.trigger->timeZone, std::nullopt);
    EXPECT_EQ(request.trigger->components, (Calendar::Components{2026, 3, 29, 2, 30, 0, 1}));
    EXPECT_TRUE(plans[0].matches(request, utc(2026, 3, 28, 0, 0), berlinZone));
    // The same floating request in another zone fires at another instant and no longer fits.
    EXPECT_FALSE(plans[0].matches(request, utc(2026, 3, 28, 0, 0), QTimeZone(QByteArrayLiteral("Asia/Tokyo"))));

    // In New York the same wall-clock time falls on an ordinary day.
    const Calendar newYork{QTimeZone(QByteArrayLiteral("America/New_York"))};
    EXPECT_EQ(ReminderPlan::desired({n}, false, utc(2026, 3, 28, 0, 0), newYork)[0].date, utc(2026, 3, 29, 6, 30));

    // A wall-clock time that names no day falls back to the stored date, on a fixed trigger that can fire.
    TodoReminder impossible = at(utc(2026, 5, 2, 8, 0));
    impossible.localTime = LocalReminderTime{2026, 2, 31, 9, 0};
    const std::vector<ReminderPlan> fallback = ReminderPlan::desired({note({todo("x", impossible)})}, false, now, berlin);
    ASSERT_EQ(fallback.size(), 1u);
    EXPECT_EQ(fallback[0].date, utc(2026, 5, 2, 8, 0));
    EXPECT_EQ(fallback[0].request().trigger->timeZone, QTimeZone::utc());
    EXPECT_TRUE(fallback[0].matches(fallback[0].request(), now, berlinZone));
}

TEST(ReminderPlanTest, AbsoluteRequestsFireOnTheWholeUtcSecondAndMatchWithinOneSecond)
{
    const Block block = todo("开会", at(utc(2026, 5, 1, 12, 0, 0.7)));
    const Note n = note({block});
    const ReminderPlan plan = ReminderPlan::desired({n}, false, now, berlin).at(0);
    const NotificationRequest request = plan.request();

    EXPECT_EQ(request.identifier, plan.identifier);
    EXPECT_EQ(request.content.categoryIdentifier, "Quorrin.todo.actions");
    EXPECT_EQ(request.content.title, "待办提醒");
    EXPECT_EQ(request.content.subtitle, "购物");
    EXPECT_EQ(request.content.body, "到时间了：「开会」");
    EXPECT_TRUE(request.content.sound);
    EXPECT_EQ(request.content.userInfo.value("noteID"), n.id.toString(QUuid::WithoutBraces).toUpper());
    EXPECT_EQ(request.content.userInfo.value("blockID"), block.id.toString(QUuid::WithoutBraces).toUpper());
    EXPECT_EQ(request.content.userInfo.value("scheduledAt").metaType().id(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(request.content.userInfo.value("scheduledAt").toDouble(), plan.date.secondsSince1970());
    ASSERT_TRUE(request.trigger);
    EXPECT_EQ(request.trigger->timeZone, QTimeZone::utc());
    const Calendar::Components& c = request.trigger->components;
    EXPECT_EQ(QList<int>({c.year, c.month, c.day, c.hour, c.minute, c.second}), QList<int>({2026, 5, 1, 12, 0, 0}));
    EXPECT_TRUE(plan.matches(request, now, berlinZone));

    const auto changed = [&](auto edit) {
        NotificationRequest copy = request;
        edit(copy);
        return plan.matches(copy, now, berlinZone);
    };
    EXPECT_FALSE(changed([](NotificationRequest& r) { r.trigger->components.second = 2; })); // 1.3 s after
    EXPECT_FALSE(changed([](NotificationRequest& r) {
        r.trigger->components = {2026, 5, 1, 11, 59, 59, 1}; // exactly 1.7 s before
    }));
    EXPECT_FALSE(changed([](NotificationRequest& r) { r.trigger.reset(); }));
    EXPECT_FALSE(changed([](NotificationRequest& r) { r.content.categoryIdentifier = "other"; }));
    EXPECT_FALSE(changed([](NotificationRequest& r) { r.content.title += "!"; }));
    EXPECT_FALSE(changed([](NotificationRequest& r) { r.content.subtitle.clear(); }));
    EXPECT_FALSE(changed([](NotificationRequest& r) { r.content.body = "你有一条待办提醒"; }));
    EXPECT_FALSE(changed([](NotificationRequest& r) { r.content.userInfo["noteID"] = QUuid::createUuid().toString(); }));
    EXPECT_FALSE(changed([&](NotificationRequest& r) { r.content.userInfo["noteID"] = QVariant::fromValue(n.id); }));
    // Ids and schedule are paired by identifier; they are not compared here.
    EXPECT_TRUE(changed([](NotificationRequest& r) { r.content.userInfo.remove("blockID"); }));
    // A trigger that has already fired does not deliver the plan.
    EXPECT_FALSE(plan.matches(request, utc(2026, 5, 1, 12, 0), berlinZone));
}

TEST(ReminderReconcileTest, WithdrawsWhatIsNotWantedAndAddsWhatDoesNotMatch)
{
    const Block kept = todo("kept", at(utc(2026, 5, 1, 11, 0)));
    const Block renamed = todo("renamed", at(utc(2026, 5, 1, 11, 0)));
    const Block fresh = todo("fresh", at(utc(2026, 5, 1, 12, 0)));
    const Block dueNow = todo("due", at(utc(2026, 5, 1, 10, 0, 30)));
    const Block missing = todo("missing", at(utc(2026, 5, 1, 10, 0, 20)));
    const Note n = note({kept, renamed, fresh, dueNow, missing});
    const std::vector<ReminderPlan> wanted = ReminderPlan::desired({n}, false, now, berlin);
    ASSERT_EQ(wanted.size(), 5u);

    NotificationRequest oldText = wanted[1].request();
    oldText.content.body = "到时间了：「old」";
    NotificationRequest dueOldText = wanted[3].request();
    dueOldText.content.body = "到时间了：「old」";
    NotificationRequest foreign = wanted[0].request();
    foreign.identifier = "org.example.other";
    NotificationRequest orphan = wanted[0].request();
    orphan.identifier = reminderNotification::identifier(n.id, QUuid::createUuid());
    const QList<NotificationRequest> pending{foreign, wanted[0].request(), oldText, orphan, dueOldText};

    // Time has moved on since the plans were made: two of them are due by now.
    const ReminderReconcileDiff diff = reconcileReminderNotifications(wanted, pending, now.addingSeconds(45), berlinZone);
    EXPECT_EQ(diff.stalePending, (QStringList{orphan.identifier, wanted[3].identifier}));
    EXPECT_EQ(identifiers(diff.toAdd), (QStringList{wanted[1].identifier, wanted[2].identifier}));

    // Without permission nothing is wanted: every request of ours goes, others stay.
    const ReminderReconcileDiff denied = reconcileReminderNotifications({}, pending, now, berlinZone);
    EXPECT_EQ(denied.stalePending,
              (QStringList{wanted[0].identifier, wanted[1].identifier, orphan.identifier, wanted[3].identifier}));
    EXPECT_TRUE(denied.toAdd.empty());
}

TEST(ReminderReconcileTest, DeliveredNotificationsStayOnlyWhileTheirTodoStandsBehindThem)
{
    Block block = todo("开会", at(utc(2026, 5, 1, 9, 0, 0.4)));
    Note n = note({block});
    const ReminderPlan plan = ReminderPlan::desired({n}, false, utc(2026, 5, 1, 8, 0), berlin).at(0);
    const DeliveredNotification shown{plan.request(), utc(2026, 5, 1, 9, 0)};
    DeliveredNotification foreign = shown;
    foreign.request.identifier = "org.example.other";
    const QList<DeliveredNotification> delivered{shown, foreign};

    // Unchanged, it stays however long ago it was shown.
    EXPECT_TRUE(staleDeliveredNotifications({n}, false, delivered, berlin).isEmpty());

    const auto staleAfter = [&](auto edit, bool privacy = false) {
        Note copy = n;
        edit(copy);
        return staleDeliveredNotifications({copy}, privacy, delivered, berlin) == QStringList{shown.request.identifier};
    };
    EXPECT_TRUE(staleAfter([](Note& c) { c.blocks[0].todo->isCompleted = true; }));
    EXPECT_TRUE(staleAfter([](Note& c) { c.blocks[0].todo->archivedAt = Date{}; }));
    EXPECT_TRUE(staleAfter([](Note& c) { c.blocks[0].todo->reminder.reset(); }));
    EXPECT_TRUE(staleAfter([](Note& c) { c.blocks[0].todo->reminder->date = c.blocks[0].todo->reminder->date.addingSeconds(1); }));
    EXPECT_FALSE(staleAfter([](Note& c) { c.blocks[0].todo->reminder->date = c.blocks[0].todo->reminder->date.addingSeconds(0.5); }));
    EXPECT_TRUE(staleAfter([](Note& c) { c.blocks[0].text = RichText("改了", TextFont::system(14)); }));
    EXPECT_TRUE(staleAfter([](Note& c) { c.customTitle = "别的"; }));
    EXPECT_TRUE(staleAfter([](Note& c) { c.deletedAt = Date{}; }));
    EXPECT_TRUE(staleAfter([](Note& c) { c.blocks.clear(); }));
    EXPECT_TRUE(staleAfter([](Note&) {}, true)); // the privacy preference flipped

    QList<DeliveredNotification> textual = delivered;
    textual[0].request.content.userInfo["scheduledAt"] = QString::number(plan.date.secondsSince1970());
    EXPECT_EQ(staleDeliveredNotifications({n}, false, textual, berlin), QStringList{shown.request.identifier});
}

} // namespace
} // namespace quorrin
