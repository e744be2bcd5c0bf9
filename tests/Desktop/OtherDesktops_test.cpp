#include "Desktop/DesktopTest.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

// A Wayland session whose compositor is gone, on an X server: nothing chose
// a platform, so the application must pick X11 itself.
class WaylandSession : public DesktopTest {
protected:
    void prepare(QuorrinApp& app) override
    {
        app.setEnvironment(QStringLiteral("WAYLAND_DISPLAY"), session().directory() + QStringLiteral("/wayland-gone"));
        app.setEnvironment(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
        // Empty is unset to Qt: nothing chose a platform.
        app.setEnvironment(QStringLiteral("QT_QPA_PLATFORM"), QString());
        // Qt says which platforms it tries.
        app.setEnvironment(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.qpa.plugin=true"));
    }

    QString errorLog()
    {
        QFile log(app().logPath() + QStringLiteral(".err"));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }
};

TEST_F(WaylandSession, RunsOnXWithoutTryingWaylandAndReopensNotesWhereTheyWereStored)
{
    const QString log = errorLog();
    EXPECT_TRUE(log.contains(QStringLiteral("Attempting to load Qt platform plugin \"xcb\""))) << log.toStdString();
    EXPECT_FALSE(log.contains(QStringLiteral("\"wayland"))) << log.toStdString();

    const WindowId note = firstNoteWindow();
    const QUuid id = app().noteOf(note);
    clickIntoText(note);
    typeAndWaitStored(id, QStringLiteral("Wayland 会话"));
    ASSERT_NO_FATAL_FAILURE(dragByHeader(note, QPoint(-420, 180)));
    const QRect moved = geometry(note);

    ASSERT_TRUE(input().key(QStringLiteral("ctrl+q")));
    ASSERT_TRUE(app().waitForExit(15s)) << "Ctrl+Q did not end quorrin";
    ASSERT_TRUE(relaunch());
    const WindowId reopened = app().windowOf(id);
    ASSERT_NE(reopened, 0u) << "the note has no window after relaunch";
    EXPECT_TRUE(waitFor([&] { return geometry(reopened) == moved; }))
        << "frame was " << moved.x() << "," << moved.y() << " now " << describe(reopened).toStdString();
}

// A Wayland session without XWayland: the application says so and ends
// before it touches anything.
TEST(NoXServer, TheApplicationSaysSoInChineseAndEndsWithoutTouchingTheData)
{
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), directory.filePath(QStringLiteral("wayland-gone")));
    environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    environment.insert(QStringLiteral("QUORRIN_DATA_DIR"), directory.filePath(QStringLiteral("data")));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(qEnvironmentVariable("QUORRIN_BINARY"), {});
    ASSERT_TRUE(process.waitForFinished(20000)) << "quorrin kept running without an X server";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(process.exitCode(), 0);
    const QString said = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(said.contains(QStringLiteral("Quorrin 无法启动"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("XWayland"))) << said.toStdString();
    EXPECT_FALSE(QFileInfo::exists(directory.filePath(QStringLiteral("data"))));
}

// A bare window manager: no tray until the test starts one.
class WithoutTray : public DesktopTest {
protected:
    // The height of the note's menu as it opens now; the menu is closed again.
    int noteMenuHeight(WindowId note)
    {
        const WindowId menu = openNoteMenu(note);
        const int height = menu ? geometry(menu).height() : 0;
        input().key(QStringLiteral("Escape"));
        waitFor([&] { return app().popups().empty(); });
        return height;
    }
};

TEST_F(WithoutTray, TheNoteMenuCarriesTheStatusCommandsUntilATrayStarts)
{
    if (QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty())
        GTEST_SKIP() << "trayer is not installed";
    const WindowId note = firstNoteWindow();
    const QUuid id = app().noteOf(note);
    clickIntoText(note);
    typeAndWaitStored(id, QStringLiteral("没有托盘"));

    // The menu ends with the status menu's last command: quitting.
    ASSERT_NE(openNoteMenu(note), 0u) << "no menu from the \"⋯\" button";
    const int withoutTray = geometry(app().popups().back()).height();
    ASSERT_TRUE(input().key(QStringLiteral("Up")));
    ASSERT_TRUE(input().key(QStringLiteral("Return")));
    ASSERT_TRUE(app().waitForExit(15s)) << "the menu's last item did not quit";
    EXPECT_EQ(app().exitCode(), 0);

    // A tray starts after the application: the note's menu is its own again
    // and ends with deleting the note, which asks first.
    ASSERT_TRUE(relaunch());
    const WindowId again = app().windowOf(id);
    ASSERT_NE(again, 0u);
    ASSERT_TRUE(startTray()) << "trayer did not start";
    ASSERT_TRUE(waitFor([&] {
        const int height = noteMenuHeight(again);
        return height > 0 && height < withoutTray;
    }, 20s, 200ms)) << "the note's menu kept the status commands with a tray";
    const std::vector<WindowId> known = app().windows();
    ASSERT_NE(openNoteMenu(again), 0u);
    ASSERT_TRUE(input().key(QStringLiteral("Up")));
    ASSERT_TRUE(input().key(QStringLiteral("Return")));
    const WindowId question = waitForOtherWindow(known);
    EXPECT_NE(question, 0u) << "the menu's last item did not ask to delete the note";
    EXPECT_TRUE(app().running());
    ASSERT_TRUE(input().key(QStringLiteral("Escape")));
    ASSERT_TRUE(waitForGone(question));
    EXPECT_TRUE(stored(id).has_value());

    // The tray goes away: the commands come back.
    stopTray();
    EXPECT_TRUE(waitFor([&] { return noteMenuHeight(again) == withoutTray; }, 20s, 200ms))
        << "the status commands did not come back when the tray ended";
}


// Without a tray a note window is the only way in: launching quorrin again
// while nothing shows makes a note, as the first launch did.
TEST_F(WithoutTray, LaunchingAgainWithNothingToShowMakesANote)
{
    const WindowId note = firstNoteWindow();
    clickIntoText(note);
    ASSERT_TRUE(input().key(QStringLiteral("ctrl+w"))); // blank: discarded
    ASSERT_TRUE(waitForGone(note));
    ASSERT_TRUE(app().noteWindows().empty());

    const std::optional<int> exit = app().launchAgain(20s);
    ASSERT_TRUE(exit.has_value()) << "the second launch did not end";
    EXPECT_EQ(*exit, 0);
    const WindowId made = waitForNewNoteWindow({note});
    ASSERT_NE(made, 0u) << "the second launch showed nothing";
    EXPECT_TRUE(waitForActive(made)) << "active: " << describe(x().activeWindow()).toStdString();
}

} // namespace
} // namespace quorrin::desktop
