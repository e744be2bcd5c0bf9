#include "Features/Reminders/ReminderPanelEditing.h"

#include <gtest/gtest.h>

#include <QTimeZone>

#include <vector>

namespace quorrin {
namespace {

const Calendar berlin(QTimeZone(QByteArrayLiteral("Europe/Berlin")));

Date local(int year, int month, int day, int hour, int minute)
{
    return Date::fromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute), berlin.timeZone()));
}

// A todo in a note, with the answers of permission and synchronisation held
// back until the test gives them.
struct PanelFixture : ::testing::Test {
    std::optional<Block> block;
    bool editorAlive = true;
    bool noteDeleted = false;
    bool saveFails = false;
    Date now = local(2026, 5, 7, 23, 30);
    std::vector<QString> undoNames;
    std::vector<std::function<void(bool)>> authorizations;
    std::vector<std::function<void(std::optional<QString>)>> synchronizations;
    std::vector<std::function<void()>> later;
    int dismissRequests = 0;

    PanelFixture()
    {
        Block todo;
        todo.kind = BlockKind::Todo;
        todo.todo = TodoMetadata();
        block = todo;
    }

    std::unique_ptr<ReminderPanelEditing> open()
    {
        ReminderPanelHost host;
        host.block = [this] { return block; };
        host.editorAlive = [this] { return editorAlive; };
        host.noteDeleted = [this] { return noteDeleted; };
        host.change = [this](const QString& name, const std::optional<TodoReminder>& reminder) {
            if (saveFails)
                return false;
            undoNames.push_back(name);
            block->todo->reminder = reminder;
            return true;
        };
        host.authorize = [this](std::function<void(bool)> answer) { authorizations.push_back(std::move(answer)); };
        host.synchronize = [this](std::function<void(std::optional<QString>)> answer) {
            synchronizations.push_back(std::move(answer));
        };
        host.later = [this](double seconds, std::function<void()> step) {
            EXPECT_DOUBLE_EQ(seconds, 0.28);
            later.push_back(std::move(step));
        };
        host.now = [this] { return now; };
        host.calendar = berlin;
        auto panel = std::make_unique<ReminderPanelEditing>(std::move(host));
        panel->onDismissRequest = [this, editing = panel.get()](bool, bool) {
            ++dismissRequests;
            editing->dismiss(true);
        };
        return panel;
    }

    void setStored(const TodoReminder& reminder) { block->todo->reminder = reminder; }
};

TEST_F(PanelFixture, QuickChoicesAndTheDatePickerSetTheDraft)
{
    auto panel = open();
    EXPECT_EQ(panel->quickChoice(), ReminderQuickChoice::OneHour);
    panel->chooseQuickDate(1);
    EXPECT_EQ(panel->draft().date, local(2026, 5, 8, 9, 0)) << "the next calendar day at nine";
    EXPECT_EQ(panel->quickChoice(), ReminderQuickChoice::TomorrowNine);
    panel->chooseQuickDate(0);
    EXPECT_EQ(panel->draft().date, now.addingSeconds(3600));
    panel->chooseQuickDate(7);
    EXPECT_EQ(panel->quickChoice(), ReminderQuickChoice::OneHour);
    panel->changeDate(local(2026, 6, 1, 8, 15));
    EXPECT_EQ(panel->quickChoice(), ReminderQuickChoice::Custom);
    EXPECT_EQ(panel->draft().date, local(2026, 6, 1, 8, 15));
}

TEST_F(PanelFixture, RepeatControlsEditTheRuleAndTheTexts)
{
    auto panel = open();
    EXPECT_EQ(panel->repeatTitle(), QStringLiteral("重复 · 不重复  \u2304"));
    panel->toggleDetails();
    panel->changeFrequency(2);
    EXPECT_EQ(panel->repeatTitle(), QStringLiteral("重复 · 每周  \u2303"));
    const std::set<qint64> initial = panel->draft().weekdays;
    for (const qint64 day : initial)
        panel->changeWeekday(int(day));
    EXPECT_TRUE(panel->draft().weekdays.empty());
    EXPECT_EQ(panel->previewText(), QStringLiteral("请选择至少一个星期"));
    panel->saveReminder();
    EXPECT_EQ(panel->message(), QStringLiteral("请选择未来时间，或至少一个星期。"));
    EXPECT_TRUE(authorizations.empty());
    panel->changeFrequency(3);
    panel->changeMonthDay(31);
    EXPECT_EQ(panel->monthText(), QStringLiteral("每月31日 · 不存在时用月末"));
    panel->changeFrequency(9);
    EXPECT_EQ(panel->draft().frequency, RepeatRule::Frequency::Monthly);
}

TEST_F(PanelFixture, APastMomentShowsAsOverdueAndCannotBeSaved)
{
    auto panel = open();
    panel->changeDate(now);
    EXPECT_TRUE(panel->previewText().startsWith(QStringLiteral("已过期 · ")));
    panel->saveReminder();
    EXPECT_EQ(panel->message(), QStringLiteral("请选择未来时间，或至少一个星期。"));
    panel->chooseQuickDate(0);
    EXPECT_TRUE(panel->previewText().startsWith(QStringLiteral("将提醒于 · ")));
}

TEST_F(PanelFixture, SavingAsksPermissionChangesTheNoteOnceSynchronisesAndCloses)
{
    auto panel = open();
    panel->saveReminder();
    EXPECT_TRUE(panel->isBusy());
    ASSERT_EQ(authorizations.size(), 1u);
    authorizations[0](true);
    EXPECT_EQ(undoNames, std::vector<QString>{QStringLiteral("设置待办提醒")});
    ASSERT_TRUE(block->todo->reminder);
    EXPECT_EQ(block->todo->reminder->date, local(2026, 5, 8, 0, 30));
    ASSERT_EQ(synchronizations.size(), 1u);
    synchronizations[0](std::nullopt);
    EXPECT_FALSE(panel->isBusy());
    EXPECT_EQ(panel->message(), QStringLiteral("已保存提醒"));
    EXPECT_EQ(dismissRequests, 0);
    ASSERT_EQ(later.size(), 1u);
    later[0]();
    EXPECT_EQ(dismissRequests, 1);
}

TEST_F(PanelFixture, RefusedPermissionFailedSaveAndSchedulingErrorKeepThePanelOpen)
{
    auto panel = open();
    panel->saveReminder();
    authorizations[0](false);
    EXPECT_FALSE(panel->isBusy());
    EXPECT_EQ(panel->message(), QStringLiteral("未获通知权限。请在系统设置 → 通知中允许 Quorrin。"));
    EXPECT_FALSE(block->todo->reminder);

    saveFails = true;
    panel->saveReminder();
    authorizations[1](true);
    EXPECT_FALSE(panel->isBusy());
    EXPECT_EQ(panel->message(), QStringLiteral("保存失败，提醒未更改。"));
    EXPECT_FALSE(block->todo->reminder);
    EXPECT_TRUE(synchronizations.empty());

    saveFails = false;
    panel->saveReminder();
    authorizations[2](true);
    synchronizations[0](QStringLiteral("通知无法安排"));
    EXPECT_EQ(panel->message(), QStringLiteral("通知无法安排"));
    EXPECT_TRUE(block->todo->reminder);
    EXPECT_TRUE(later.empty());
    EXPECT_EQ(dismissRequests, 0);
}

TEST_F(PanelFixture, LateAnswersAfterClosingChangeNothing)
{
    auto panel = open();
    panel->saveReminder();
    EXPECT_FALSE(panel->dismiss(false)) << "an outside click leaves a busy panel open";
    EXPECT_TRUE(panel->dismiss(true)) << "Escape closes it";
    authorizations[0](true);
    EXPECT_TRUE(undoNames.empty());
    EXPECT_FALSE(block->todo->reminder);

    // A panel destroyed while waiting ignores the answer as well.
    auto second = open();
    second->saveReminder();
    second.reset();
    authorizations[1](true);
    EXPECT_TRUE(undoNames.empty());
}

TEST_F(PanelFixture, SnoozeKeepsTheRuleAndDropsTheLocalTimeRemovalNeverAsks)
{
    const RepeatRule daily{RepeatRule::Frequency::Daily, 8, 0, {}, 1};
    setStored(TodoReminder{local(2026, 5, 7, 8, 0), daily, LocalReminderTime::from(local(2026, 5, 7, 8, 0), berlin)});
    auto panel = open();
    EXPECT_EQ(panel->quickChoice(), ReminderQuickChoice::Custom);
    EXPECT_EQ(panel->removeTitle(), QStringLiteral("取消并停止重复"));
    panel->snooze(600);
    authorizations[0](true);
    ASSERT_TRUE(block->todo->reminder);
    EXPECT_EQ(block->todo->reminder->date, now.addingSeconds(600));
    EXPECT_EQ(block->todo->reminder->repetition, daily);
    EXPECT_FALSE(block->todo->reminder->localTime);
    synchronizations[0](std::nullopt);

    auto removing = open();
    removing->removeReminder();
    EXPECT_EQ(authorizations.size(), 1u);
    EXPECT_EQ(undoNames.back(), QStringLiteral("取消待办提醒"));
    EXPECT_FALSE(block->todo->reminder);
    synchronizations[1](QStringLiteral("失败"));
    EXPECT_EQ(removing->message(), QStringLiteral("已取消提醒")) << "a removal closes whatever the error";
}

TEST_F(PanelFixture, ATodoThatStoppedQualifyingClosesInsteadOfWriting)
{
    auto panel = open();
    panel->saveReminder();
    block->todo->isCompleted = true;
    authorizations[0](true);
    EXPECT_EQ(dismissRequests, 1);
    EXPECT_TRUE(undoNames.empty());
    EXPECT_FALSE(panel->todoQualifies());
}

} // namespace
} // namespace quorrin
