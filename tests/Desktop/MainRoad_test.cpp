#include "Desktop/DesktopTest.h"

#include <QDateTime>
#include <QTimeZone>

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

class MainRoad : public DesktopTest {
protected:
    // Types a line and turns it into a todo through the block menu panel.
    void makeTodo(WindowId window, const QString& text)
    {
        const QUuid note = app().noteOf(window);
        typeAndWaitStored(note, text);
        ASSERT_TRUE(input().key(QStringLiteral("Menu")));
        const WindowId panel = waitForWindowNamed(QStringLiteral("内容块"));
        ASSERT_NE(panel, 0u) << "the Menu key showed no block menu panel";
        ASSERT_TRUE(waitForActive(panel)) << "the panel opened from the keyboard takes the focus";
        ASSERT_TRUE(input().key(QStringLiteral("Return"))); // the first row: 转为待办事项
        ASSERT_TRUE(waitForGone(panel));
        // The note has the focus again (its panel had taken it).
        ASSERT_TRUE(waitForActive(window)) << "active: " << describe(x().activeWindow()).toStdString();
        ASSERT_TRUE(waitForStored(note, [&](const Note& stored) {
            for (const Block& block : stored.displayBlocks()) {
                if (block.kind == BlockKind::Todo && block.text.attributed().string() == text)
                    return true;
            }
            return false;
        })) << "the line never became a stored todo";
    }
};

TEST_F(MainRoad, NewNoteTakesChineseAndEnglishText)
{
    clickIntoText(firstNoteWindow());
    const WindowId note = newNoteFromKeyboard();
    ASSERT_NE(note, 0u) << "Ctrl+N showed no new, active note";
    typeAndWaitStored(app().noteOf(note), QStringLiteral("Hello 便笺 world 世界"));
}

TEST_F(MainRoad, BlockMenuMakesATodoAndTickingCompletesIt)
{
    const WindowId note = firstNoteWindow();
    const QUuid id = app().noteOf(note);
    clickIntoText(note);
    ASSERT_NO_FATAL_FAILURE(makeTodo(note, QStringLiteral("买菜 milk")));
    // The box sits at the line's start, right of the block handle; it grows
    // in first.
    const QPoint box = geometry(note).topLeft() + QPoint(34, 77);
    ASSERT_TRUE(waitForSettled(QRect(box - QPoint(20, 20), QSize(40, 40))));
    ASSERT_TRUE(input().click(box));
    EXPECT_TRUE(waitForStored(id, [](const Note& stored) {
        const Block block = stored.displayBlocks().front();
        return block.todo && block.todo->isCompleted;
    })) << "ticking the box never completed the stored todo; note " << describe(note).toStdString();
}

class Reminders : public MainRoad {
protected:
    // The app runs in a zone where it is about noon, so the next minute is
    // always on the day the reminder panel proposes.
    void prepare(QuorrinApp& app) override
    {
        m_offsetHours = 12 - QDateTime::currentDateTimeUtc().time().hour();
        app.setEnvironment(QStringLiteral("TZ"), QStringLiteral("Etc/GMT%1%2")
                                                     .arg(m_offsetHours > 0 ? QStringLiteral("-") : QStringLiteral("+"))
                                                     .arg(std::abs(m_offsetHours)));
    }

    // Makes the first note's line a todo due at the next whole minute (one
    // more when this one is about to end), set in its reminder panel.
    void remindInTheNextMinute(const QString& todo)
    {
        const WindowId note = firstNoteWindow();
        const QUuid id = app().noteOf(note);
        clickIntoText(note);
        ASSERT_NO_FATAL_FAILURE(makeTodo(note, todo));

        WindowId panel = 0;
        ASSERT_NO_FATAL_FAILURE(openReminderPanel(panel));
        // The picker opens with its hour selected: type the time and save.
        QDateTime due = QDateTime::currentDateTimeUtc().addSecs(60);
        if (due.time().second() > 50)
            due = due.addSecs(60);
        const QDateTime local = due.toTimeZone(QTimeZone(m_offsetHours * 3600));
        ASSERT_TRUE(input().type(local.toString(QStringLiteral("HH:mm"))));
        ASSERT_TRUE(input().key(QStringLiteral("Return")));
        ASSERT_TRUE(waitForStored(id, [](const Note& stored) {
            const Block block = stored.displayBlocks().front();
            return block.todo && block.todo->reminder;
        })) << "the reminder was never stored";
    }

    int m_offsetHours = 0;
};

TEST_F(Reminders, ReminderSetInThePanelReachesTheBus)
{
    ASSERT_NO_FATAL_FAILURE(remindInTheNextMinute(QStringLiteral("交房租")));

    const bool delivered = waitFor([&] {
        for (const SentNotification& sent : notifications()) {
            if (sent.body.contains(QStringLiteral("交房租")) || sent.summary.contains(QStringLiteral("交房租")))
                return true;
        }
        return false;
    }, 90s, 200ms);
    EXPECT_TRUE(delivered) << "no notification for the todo reached the bus; the bus saw:\n"
                           << session().busLog().toStdString();
}

// An X system tray reads the name of the icon's window: it says when a
// reminder rings, as the icon's accessible label does.
TEST_F(Reminders, TheTrayIconsWindowIsNamedForARingingReminder)
{
    ASSERT_TRUE(startTray()) << "trayer did not start";
    WindowId icon = 0;
    ASSERT_TRUE(waitFor([&] {
        const std::vector<WindowId> icons = app().trayIcons();
        icon = icons.empty() ? 0 : icons.front();
        return icon != 0;
    }, 20s)) << "the tray shows no icon of ours";
    EXPECT_EQ(x().name(icon), QStringLiteral("Quorrin"));

    ASSERT_NO_FATAL_FAILURE(remindInTheNextMinute(QStringLiteral("交房租")));
    EXPECT_TRUE(waitFor([&] { return x().name(icon) == QStringLiteral("Quorrin，有待办提醒到时间"); }, 90s, 200ms))
        << "the tray icon's window is named \"" << x().name(icon).toStdString() << "\"";
}

TEST_F(MainRoad, DockedPairMovesTogether)
{
    DockedPair pair;
    ASSERT_NO_FATAL_FAILURE(makeDockedPair(pair));
    const WindowId first = pair.target;
    const WindowId second = pair.docked;
    const QUuid secondId = pair.dockedId;
    const QPoint seam = geometry(second).topLeft() - geometry(first).topLeft();

    // Moving the first note by its header takes the second along.
    ASSERT_NO_FATAL_FAILURE(dragByHeader(first, QPoint(-300, 200)));
    EXPECT_TRUE(waitFor([&] { return geometry(second).topLeft() - geometry(first).topLeft() == seam; }))
        << "the docked note stayed behind: " << describe(second).toStdString();
    EXPECT_TRUE(waitForStored(secondId, [&](const Note& stored) { return stored.docking.has_value(); }));
}

TEST_F(MainRoad, QuitAndRelaunchShowsEveryNoteAsItWas)
{
    const WindowId first = firstNoteWindow();
    clickIntoText(first);
    typeAndWaitStored(app().noteOf(first), QStringLiteral("第一张 one"));
    const WindowId second = newNoteFromKeyboard();
    ASSERT_NE(second, 0u);
    typeAndWaitStored(app().noteOf(second), QStringLiteral("第二张 two"));

    std::map<QUuid, QRect> frames;
    for (const auto& window : app().noteWindows())
        frames[window.note] = geometry(window.window);
    std::map<QUuid, QStringList> texts;
    for (const Note& note : storedNotes(app().dataDirectory()))
        texts[note.id] = blockTexts(note);
    ASSERT_EQ(frames.size(), 2u);

    ASSERT_TRUE(input().key(QStringLiteral("ctrl+q")));
    ASSERT_TRUE(app().waitForExit(15s)) << "Ctrl+Q did not end quorrin";
    EXPECT_EQ(app().exitCode(), 0);
    ASSERT_TRUE(relaunch());

    ASSERT_TRUE(waitFor([&] { return app().noteWindows().size() == frames.size(); }))
        << "relaunch showed " << app().noteWindows().size() << " notes";
    for (const auto& [id, frame] : frames) {
        const WindowId window = app().windowOf(id);
        ASSERT_NE(window, 0u) << "note " << id.toString().toStdString() << " has no window after relaunch";
        EXPECT_TRUE(waitFor([&] { return geometry(window) == frame; }))
            << "frame was " << frame.x() << "," << frame.y() << " now " << describe(window).toStdString();
    }
    for (const auto& [id, text] : texts)
        EXPECT_EQ(blockTexts(*stored(id)), text);
}

} // namespace
} // namespace quorrin::desktop
