#include "Features/Reminders/ReminderPanel.h"

#include "Editor/EditorTestSupport.h"
#include "Widgets/BusySpinner.h"
#include "Widgets/MenuActionButton.h"
#include "Support/Eventually.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QDialog>
#include <QLabel>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QTimeZone>
#include <QUndoStack>

#include <functional>
#include <vector>

namespace quorrin {
namespace {

using namespace quorrin::testing;

const Calendar berlin(QTimeZone(QByteArrayLiteral("Europe/Berlin")));

Date local(int year, int month, int day, int hour, int minute)
{
    return Date::fromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute), berlin.timeZone()));
}

// A todo in a note shown by its editor (which plays the note window), and a
// reminder panel for it whose permission and synchronisation answers wait
// until the test gives them.
class ReminderPanelTest : public EditorFixture {
protected:
    QUuid todoID;
    Date now = local(2026, 5, 7, 10, 17);
    std::vector<std::function<void(bool)>> authorizations;
    std::vector<std::function<void(std::optional<QString>)>> synchronizations;
    int dismissals = 0;

    void SetUp() override
    {
        store->preferences_.animations = false;
        Block todo = makeBlock(BlockKind::Todo, QStringLiteral("买牛奶"));
        todoID = todo.id;
        open({todo});
        editor->setGeometry(100, 100, 320, 400);
        editor->show();
    }

    std::unique_ptr<ReminderPanel> make()
    {
        ReminderCallbacks callbacks;
        callbacks.authorize = [this](std::function<void(bool)> answer) { authorizations.push_back(std::move(answer)); };
        callbacks.synchronize = [this](std::function<void(std::optional<QString>)> answer) {
            synchronizations.push_back(std::move(answer));
        };
        ReminderPanel::Services services;
        services.now = [this] { return now; };
        services.calendar = berlin;
        services.prefersReducedMotion = [] { return false; };
        auto panel = std::make_unique<ReminderPanel>(*editor, todoID, callbacks, services);
        panel->onDismiss = [this] { ++dismissals; };
        return panel;
    }
    std::unique_ptr<ReminderPanel> openPanel()
    {
        std::unique_ptr<ReminderPanel> panel = make();
        panel->show(QRectF(10, 20, 200, 18), *editor->textView()->viewport());
        return panel;
    }
    void setStoredReminder(const std::optional<TodoReminder>& reminder)
    {
        Note note = stored();
        note.blocks.front().todo->reminder = reminder;
        store->notes = {note};
    }
    std::optional<TodoReminder> storedReminder() const { return storedBlock(todoID)->todo->reminder; }
    static MenuActionButton* titled(const ReminderPanel& panel, const QString& title)
    {
        for (MenuActionButton* button : panel.buttons()) {
            if (button->text() == title)
                return button;
        }
        return nullptr;
    }
};

TEST_F(ReminderPanelTest, ShowsTheTodoTheDefaultDraftAndTwentyStyledButtons)
{
    const std::unique_ptr<ReminderPanel> panel = openPanel();
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->windowTitle(), QStringLiteral("待办提醒"));
    EXPECT_EQ(panel->titleLabel()->text(), QStringLiteral("买牛奶"));
    EXPECT_EQ(panel->datePicker()->accessibleName(), QStringLiteral("提醒日期和时间"));
    EXPECT_EQ(panel->closeButton()->accessibleName(), QStringLiteral("关闭提醒菜单"));
    EXPECT_EQ(panel->monthStepper()->accessibleName(), QStringLiteral("每月提醒日期"));
    EXPECT_EQ(panel->quickButtons()[2]->accessibleName(), QStringLiteral("自定义提醒时间，使用上方日期选择器"));
    EXPECT_EQ(panel->weekButtons()[0]->accessibleName(), QStringLiteral("星期日"));
    EXPECT_EQ(panel->repeatButton()->text(), QStringLiteral("重复 · 不重复  \u2304"));
    EXPECT_TRUE(panel->preview()->accessibleName().startsWith(QStringLiteral("将提醒于 · ")));
    // An hour from now, shown as wall-clock time in the calendar's zone.
    EXPECT_EQ(panel->datePicker()->dateTime(), QDateTime(QDate(2026, 5, 7), QTime(11, 17), Qt::UTC));

    // No stored reminder: nothing to snooze or remove; the message line waits.
    EXPECT_FALSE(panel->snoozeRow()->isVisible());
    EXPECT_FALSE(panel->removeButton()->isVisible());
    EXPECT_FALSE(panel->messageLabel()->isVisible());
    EXPECT_FALSE(panel->details()->isVisible());
    EXPECT_FALSE(panel->spinner()->isVisible());

    QStringList titles;
    for (const MenuActionButton* button : panel->buttons())
        titles << button->text();
    EXPECT_EQ(titles, (QStringList{QString(), QStringLiteral("一小时后"), QStringLiteral("明天9点"),
                                   QStringLiteral("自定义"), QStringLiteral("重复 · 不重复  \u2304"),
                                   QStringLiteral("不重复"), QStringLiteral("每天"), QStringLiteral("每周"),
                                   QStringLiteral("每月"), QStringLiteral("日"), QStringLiteral("一"),
                                   QStringLiteral("二"), QStringLiteral("三"), QStringLiteral("四"),
                                   QStringLiteral("五"), QStringLiteral("六"), QStringLiteral("稍后10分钟"),
                                   QStringLiteral("稍后1小时"), QStringLiteral("保存提醒"), QStringLiteral("取消提醒")}));
    int filled = 0;
    for (const MenuActionButton* button : panel->buttons())
        filled += button->restingBackgroundColor().alpha() == 255 ? 1 : 0;
    EXPECT_EQ(filled, 1);
    EXPECT_EQ(panel->saveButton()->restingBackgroundColor().alpha(), 255);
    EXPECT_TRUE(panel->quickButtons()[0]->property("selected").toBool());
    EXPECT_TRUE(panel->frequencyButtons()[0]->property("selected").toBool());
}

TEST_F(ReminderPanelTest, ItsHeightFitsTheRowsShown)
{
    const std::unique_ptr<ReminderPanel> panel = openPanel();
    const int closed = panel->height();
    QTest::mouseClick(panel->repeatButton(), Qt::LeftButton);
    const int open = panel->height();
    EXPECT_GT(open, closed);
    QTest::mouseClick(titled(*panel, QStringLiteral("每周")), Qt::LeftButton);
    EXPECT_TRUE(panel->weekRow()->isVisible());
    EXPECT_FALSE(panel->monthRow()->isVisible());
    EXPECT_GT(panel->height(), open);
    QTest::mouseClick(panel->repeatButton(), Qt::LeftButton);
    EXPECT_EQ(panel->height(), closed);
    EXPECT_EQ(panel->width(), ReminderPanel::menuWidth);
}

TEST_F(ReminderPanelTest, APickedWallClockTimeInADaylightSavingGapMovesToTheJump)
{
    now = local(2026, 3, 28, 20, 0);
    const std::unique_ptr<ReminderPanel> panel = openPanel();
    panel->datePicker()->setDateTime(QDateTime(QDate(2026, 3, 29), QTime(2, 30), Qt::UTC));
    EXPECT_EQ(panel->editing().draft().date, local(2026, 3, 29, 3, 0));
    EXPECT_EQ(panel->editing().quickChoice(), ReminderQuickChoice::Custom);
    // The picker then shows the moment the calendar made of it.
    EXPECT_EQ(panel->datePicker()->time(), QTime(3, 0));
}

TEST_F(ReminderPanelTest, SavingAsksPermissionStoresOneUndoableChangeConfirmsAndClosesAfterAMoment)
{
    const std::unique_ptr<ReminderPanel> panel = openPanel();
    QTest::mouseClick(panel->saveButton(), Qt::LeftButton);
    ASSERT_EQ(authorizations.size(), 1u);
    EXPECT_TRUE(panel->spinner()->isVisible());
    EXPECT_TRUE(panel->spinner()->isSpinning());
    for (const MenuActionButton* button : panel->buttons())
        EXPECT_EQ(button->isEnabled(), button == panel->closeButton()) << button->text().toStdString();
    EXPECT_FALSE(panel->datePicker()->isEnabled());
    EXPECT_FALSE(panel->monthStepper()->isEnabled());

    authorizations[0](true);
    ASSERT_TRUE(storedReminder());
    EXPECT_EQ(storedReminder()->date, local(2026, 5, 7, 11, 17));
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("设置待办提醒"));
    ASSERT_EQ(synchronizations.size(), 1u);
    // The note window refreshes the panel on the store's announcement: the
    // stored reminder can now be snoozed or removed.
    panel->refreshFromModel();
    EXPECT_TRUE(panel->snoozeRow()->isVisible());

    synchronizations[0](std::nullopt);
    EXPECT_EQ(panel->messageLabel()->text(), QStringLiteral("已保存提醒"));
    EXPECT_TRUE(panel->messageLabel()->isVisible());
    EXPECT_FALSE(panel->spinner()->isVisible());
    // The confirmation stays for a moment before the panel closes.
    EXPECT_EQ(dismissals, 0);
    EXPECT_TRUE(testing::eventually([&] { return dismissals == 1; }));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(panel->isClosing());
}

TEST_F(ReminderPanelTest, AFailedSaveKeepsThePanelOpenWithTheErrorAndTheReminderAsItWas)
{
    const TodoReminder before{local(2026, 5, 7, 12, 0), std::nullopt, std::nullopt};
    setStoredReminder(before);
    store->failImmediateSaves = true;
    const std::unique_ptr<ReminderPanel> panel = openPanel();
    QTest::mouseClick(panel->quickButtons()[1], Qt::LeftButton); // tomorrow at nine
    QTest::mouseClick(panel->saveButton(), Qt::LeftButton);
    ASSERT_EQ(authorizations.size(), 1u);
    authorizations[0](true);

    EXPECT_EQ(storedReminder(), before);
    EXPECT_TRUE(synchronizations.empty());
    EXPECT_EQ(panel->messageLabel()->text(), QStringLiteral("保存失败，提醒未更改。"));
    EXPECT_FALSE(panel->editing().isBusy());
    EXPECT_TRUE(panel->saveButton()->isEnabled());
    QTest::qWait(350);
    EXPECT_EQ(dismissals, 0);
    EXPECT_TRUE(panel->isVisible());
    // The edit survives for another try.
    EXPECT_EQ(panel->editing().draft().date, local(2026, 5, 8, 9, 0));
}

TEST_F(ReminderPanelTest, RefusedPermissionAndAPastMomentChangeNothing)
{
    const std::unique_ptr<ReminderPanel> panel = openPanel();
    QTest::mouseClick(panel->saveButton(), Qt::LeftButton);
    authorizations[0](false);
    EXPECT_EQ(panel->messageLabel()->text(), QStringLiteral("未获通知权限。请在系统设置 → 通知中允许 Quorrin。"));
    EXPECT_FALSE(storedReminder());

    panel->datePicker()->setDateTime(QDateTime(QDate(2026, 5, 7), QTime(10, 17), Qt::UTC));
    EXPECT_TRUE(panel->preview()->accessibleName().startsWith(QStringLiteral("已过期 · ")));
    QTest::mouseClick(panel->saveButton(), Qt::LeftButton);
    EXPECT_EQ(panel->messageLabel()->text(), QStringLiteral("请选择未来时间，或至少一个星期。"));
    EXPECT_EQ(authorizations.size(), 1u);
}

// Every answer that arrives after its panel closed, or after the note window
// made a new panel, changes nothing.
TEST_F(ReminderPanelTest, LateAnswersForAClosedOrReopenedPanelChangeNothing)
{
    std::unique_ptr<ReminderPanel> first = openPanel();
    QTest::mouseClick(first->saveButton(), Qt::LeftButton);
    ASSERT_EQ(authorizations.size(), 1u);
    // Escape goes to the panel whatever has the keyboard, also while busy.
    QTest::keyClick(first->datePicker(), Qt::Key_Escape);
    EXPECT_EQ(dismissals, 1);
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(first->generation(), 1);

    const std::unique_ptr<ReminderPanel> second = openPanel();
    authorizations[0](true);
    EXPECT_FALSE(storedReminder());
    EXPECT_TRUE(synchronizations.empty());
    EXPECT_FALSE(second->editing().isBusy());
    EXPECT_TRUE(second->messageLabel()->text().isEmpty());

    // Closed while synchronising: the note keeps what was saved, nothing else happens.
    QTest::mouseClick(second->saveButton(), Qt::LeftButton);
    authorizations[1](true);
    ASSERT_EQ(synchronizations.size(), 1u);
    second->dismiss(false, false, true);
    EXPECT_EQ(dismissals, 2);
    synchronizations[0](std::nullopt);
    EXPECT_TRUE(second->messageLabel()->text().isEmpty());
    QTest::qWait(350);
    EXPECT_EQ(dismissals, 2);
    EXPECT_TRUE(storedReminder());

    // A panel gone altogether ignores its answers too.
    std::unique_ptr<ReminderPanel> third = openPanel();
    QTest::mouseClick(third->saveButton(), Qt::LeftButton);
    third.reset();
    ASSERT_EQ(authorizations.size(), 3u);
    authorizations[2](true);
    EXPECT_EQ(synchronizations.size(), 1u);
}

TEST_F(ReminderPanelTest, OutsideClicksCloseUnlessBusyInsideClicksDoNot)
{
    QWidget elsewhere;
    elsewhere.setGeometry(600, 100, 100, 100);
    elsewhere.show();
    struct Case {
        Qt::MouseButton button;
        bool busy;
        bool closes;
    };
    for (const Case& each : {Case{Qt::LeftButton, false, true}, Case{Qt::RightButton, false, true},
                             Case{Qt::LeftButton, true, false}}) {
        dismissals = 0;
        const std::unique_ptr<ReminderPanel> panel = openPanel();
        QTest::mouseClick(panel->quickButtons()[1], Qt::LeftButton);
        EXPECT_TRUE(panel->isVisible());
        if (each.busy)
            QTest::mouseClick(panel->saveButton(), Qt::LeftButton);
        QTest::mousePress(&elsewhere, each.button, {}, QPoint(10, 10));
        QTest::mouseRelease(&elsewhere, each.button, {}, QPoint(10, 10));
        EXPECT_EQ(dismissals, each.closes ? 1 : 0);
        EXPECT_EQ(panel->isWatching(), !each.closes);
    }
}

TEST_F(ReminderPanelTest, AnAlertInFrontTakesItsOwnEscapeAndClicks)
{
    const std::unique_ptr<ReminderPanel> panel = openPanel();
    QDialog alert;
    alert.setModal(true);
    alert.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &alert);
    QTest::mouseClick(&alert, Qt::LeftButton);
    QTest::keyClick(&alert, Qt::Key_Escape);
    EXPECT_FALSE(alert.isVisible());
    EXPECT_EQ(dismissals, 0);
    EXPECT_TRUE(panel->isVisible());
    QTest::keyClick(panel->datePicker(), Qt::Key_Escape);
    EXPECT_EQ(dismissals, 1);
}

TEST_F(ReminderPanelTest, StandsRightOfTheNoteOrLeftWhenThereIsNoRoom)
{
    const QRect visible = QGuiApplication::primaryScreen()->availableGeometry();
    {
        const std::unique_ptr<ReminderPanel> panel = openPanel();
        const QRect note = editor->frameGeometry();
        EXPECT_EQ(panel->x(), note.x() + note.width() + 8);
        const QPoint line = editor->textView()->viewport()->mapToGlobal(QPoint(10, 20));
        EXPECT_EQ(panel->y(), line.y() - 8);
        EXPECT_EQ(panel->noteWindow(), editor.get());
        panel->dismiss(false, false, true);
    }
    editor->move(visible.right() - 330, visible.top() + 100);
    const std::unique_ptr<ReminderPanel> panel = openPanel();
    EXPECT_EQ(panel->x(), editor->frameGeometry().x() - ReminderPanel::menuWidth - 8);
}

TEST_F(ReminderPanelTest, TheTodoStoppingToQualifyClosesThePanelAtTheNextRefresh)
{
    const std::unique_ptr<ReminderPanel> panel = openPanel();
    Note note = stored();
    note.blocks.front().todo->isCompleted = true;
    store->notes = {note};
    panel->refreshFromModel();
    EXPECT_EQ(dismissals, 1);
    EXPECT_FALSE(panel->isVisible());
    panel->refreshFromModel();
    EXPECT_EQ(dismissals, 1);
}

TEST_F(ReminderPanelTest, RemovingARepeatingReminderNeverAsksAndClosesEvenWhenSchedulingFails)
{
    RepeatRule daily;
    daily.frequency = RepeatRule::Frequency::Daily;
    daily.hour = 8;
    setStoredReminder(TodoReminder{local(2026, 5, 8, 8, 0), daily, LocalReminderTime{2026, 5, 8, 8, 0}});
    const std::unique_ptr<ReminderPanel> panel = openPanel();
    EXPECT_TRUE(panel->snoozeRow()->isVisible());
    EXPECT_EQ(panel->removeButton()->text(), QStringLiteral("取消并停止重复"));
    QTest::mouseClick(panel->removeButton(), Qt::LeftButton);
    EXPECT_TRUE(authorizations.empty());
    EXPECT_FALSE(storedReminder());
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("取消待办提醒"));
    ASSERT_EQ(synchronizations.size(), 1u);
    synchronizations[0](QStringLiteral("系统通知暂不可用"));
    EXPECT_EQ(panel->messageLabel()->text(), QStringLiteral("已取消提醒"));
    EXPECT_TRUE(testing::eventually([&] { return dismissals == 1; }));
}

// The picker's hour field takes the keyboard when the panel opens, wherever
// the locale puts it.
TEST_F(ReminderPanelTest, TheHourFieldHasTheKeyboardInEveryLocale)
{
    const QLocale before;
    for (const QLocale& locale : {QLocale(QLocale::Chinese, QLocale::China),
                                  QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::German, QLocale::Germany)}) {
        QLocale::setDefault(locale);
        const std::unique_ptr<ReminderPanel> panel = openPanel();
        // The panel takes the keyboard once the window system activated it.
        EXPECT_TRUE(testing::eventually([&] { return panel->datePicker()->hasFocus(); }));
        QTest::qWait(50);
        EXPECT_EQ(panel->datePicker()->currentSection(), QDateTimeEdit::HourSection)
            << locale.name().toStdString() << " " << panel->datePicker()->displayFormat().toStdString();
        EXPECT_EQ(ReminderPanel::hourSegmentOffset(locale), 3) << locale.name().toStdString();
        panel->dismiss(false, false, true);
        // The keyboard is back in the note before the next panel opens, as
        // it is by the time a user opens one.
        EXPECT_TRUE(testing::eventually([&] { return editor->textView()->hasFocus(); }));
    }
    QLocale::setDefault(before);
}

} // namespace
} // namespace quorrin
