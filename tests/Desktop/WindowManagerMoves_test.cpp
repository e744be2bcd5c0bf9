#include "Desktop/DesktopTest.h"

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

class WindowManagerMoves : public DesktopTest {
protected:
    // The stored frame of the note as a window rectangle (the store keeps
    // the lower-left corner, y upwards, on the primary screen).
    QRect storedRect(const QUuid& id)
    {
        const std::optional<Note> note = stored(id);
        if (!note)
            return {};
        const int screenHeight = x().screenSize().height();
        const WindowFrame& frame = note->frame;
        return QRect(qRound(frame.x), qRound(screenHeight - frame.y - frame.height), qRound(frame.width),
                     qRound(frame.height));
    }

    // Samples the window's place for a while: it must stay at `expected`.
    void expectStaysAt(WindowId window, QPoint expected, std::chrono::milliseconds period)
    {
        QPoint strayed;
        const bool moved = waitFor([&] {
            strayed = geometry(window).topLeft();
            return strayed != expected;
        }, period, 20ms);
        EXPECT_FALSE(moved) << "the window went to " << strayed.x() << "," << strayed.y() << " instead of staying at "
                            << expected.x() << "," << expected.y();
    }

    // The keys that start the window manager's move of the active window
    // from the keyboard: the move item of openbox's window menu and of
    // KWin's (under "More Actions"), the shortcut of the others.
    static QStringList keyboardMoveKeys()
    {
        if (windowManager() == QLatin1String("openbox"))
            return {QStringLiteral("alt+space"), QStringLiteral("m")};
        if (windowManager() == QLatin1String("kwin_x11"))
            return {QStringLiteral("alt+F3"), QStringLiteral("m"), QStringLiteral("Return")};
        return {QStringLiteral("alt+F7")};
    }
    // The key that makes a drag anywhere in a window the window manager's
    // move: Super for GNOME's and KDE's, Alt for the others.
    static QString moveModifier()
    {
        const QString manager = windowManager();
        return manager == QLatin1String("mutter") || manager == QLatin1String("kwin_x11") ? QStringLiteral("super")
                                                                                         : QStringLiteral("alt");
    }
    static QString windowManager() { return qEnvironmentVariable("QUORRIN_DESKTOP_WM", QStringLiteral("openbox")); }

    // The first note, holding text, after the note's own drag by its header
    // strip, which puts its place in the workspace's keeping.
    void headerDraggedNote(WindowId& note, QUuid& id, QPoint& afterHeader)
    {
        note = firstNoteWindow();
        id = app().noteOf(note);
        clickIntoText(note);
        typeAndWaitStored(id, QStringLiteral("移动"));
        afterHeader = geometry(note).topLeft() + QPoint(-120, -90);
        ASSERT_NO_FATAL_FAILURE(dragByHeader(note, QPoint(-120, -90)));
        ASSERT_TRUE(waitForStored(id, [&](const Note&) { return storedRect(id).topLeft() == afterHeader; }));
    }

    // An Alt drag by the window manager from the window's middle: the window
    // ends up moved by `by`, stays there and is stored there.
    void altDragKeptAndSaved(WindowId note, QPoint by)
    {
        const QUuid id = app().noteOf(note);
        const QRect start = geometry(note);
        ASSERT_TRUE(input().drag(start.center(), start.center() + by, moveModifier()));
        const QPoint moved = start.topLeft() + by;
        ASSERT_TRUE(waitFor([&] { return geometry(note).topLeft() == moved; }, 3s))
            << "after the Alt drag the note is at " << describe(note).toStdString();
        expectStaysAt(note, moved, 1500ms);
        EXPECT_TRUE(waitForStored(id, [&](const Note&) { return storedRect(id).topLeft() == moved; }))
            << "stored at " << storedRect(id).x() << "," << storedRect(id).y();
    }
};

TEST_F(WindowManagerMoves, AnAltDragAfterAHeaderDragIsKeptAndSaved)
{
    WindowId note = 0;
    QUuid id;
    QPoint afterHeader;
    ASSERT_NO_FATAL_FAILURE(headerDraggedNote(note, id, afterHeader));
    // Then the window manager's: Alt and a drag anywhere in the window.
    altDragKeptAndSaved(note, QPoint(260, 140));
}

TEST_F(WindowManagerMoves, AnAltDragAloneIsKeptAndSaved)
{
    const WindowId note = firstNoteWindow();
    const QUuid id = app().noteOf(note);
    clickIntoText(note);
    typeAndWaitStored(id, QStringLiteral("移动"));
    altDragKeptAndSaved(note, QPoint(-200, 120));
}

TEST_F(WindowManagerMoves, AnAltDragOfADockedPairTakesBothAlong)
{
    DockedPair pair;
    ASSERT_NO_FATAL_FAILURE(makeDockedPair(pair));
    const WindowId first = pair.target;
    const WindowId second = pair.docked;
    const QUuid firstId = pair.targetId;
    const QUuid secondId = pair.dockedId;
    const QPoint seam = geometry(second).topLeft() - geometry(first).topLeft();

    const QPoint body = geometry(first).center();
    const QPoint moved = geometry(first).topLeft() + QPoint(-250, 150);
    ASSERT_TRUE(input().drag(body, body + QPoint(-250, 150), moveModifier()));
    ASSERT_TRUE(waitFor([&] { return geometry(first).topLeft() == moved; }, 3s))
        << "after the Alt drag the note is at " << describe(first).toStdString();
    EXPECT_TRUE(waitFor([&] { return geometry(second).topLeft() - geometry(first).topLeft() == seam; }))
        << "the docked note stayed behind: " << describe(second).toStdString();
    expectStaysAt(first, moved, 1000ms);
    EXPECT_TRUE(waitForStored(firstId, [&](const Note&) { return storedRect(firstId).topLeft() == moved; }));
    EXPECT_TRUE(waitForStored(secondId, [&](const Note& note) {
        return note.docking && storedRect(secondId).topLeft() == moved + seam;
    }));
}

// A move the window manager runs from the keyboard, with the pointer away
// from the note, is the user's as much as one with the mouse.
TEST_F(WindowManagerMoves, AKeyboardMoveAfterAHeaderDragIsKeptAndSaved)
{
    WindowId note = 0;
    QUuid id;
    QPoint afterHeader;
    ASSERT_NO_FATAL_FAILURE(headerDraggedNote(note, id, afterHeader));
    ASSERT_TRUE(input().moveTo(QPoint(x().screenSize().width() - 5, x().screenSize().height() - 5)));

    ASSERT_TRUE(input().key(keyboardMoveKeys()));
    ASSERT_TRUE(input().key(QStringList(6, QStringLiteral("Right")) + QStringList(4, QStringLiteral("Down"))));
    ASSERT_TRUE(waitFor([&] { return geometry(note).topLeft() != afterHeader; }, 5s))
        << "the window manager did not move the note: " << describe(note).toStdString();
    ASSERT_TRUE(input().key(QStringLiteral("Return")));
    const QPoint moved = restingGeometry(note).topLeft();
    EXPECT_GT(moved.x(), afterHeader.x());
    EXPECT_GT(moved.y(), afterHeader.y());
    expectStaysAt(note, moved, 3s);
    EXPECT_TRUE(waitForStored(id, [&](const Note&) { return storedRect(id).topLeft() == moved; }))
        << "stored at " << storedRect(id).x() << "," << storedRect(id).y();
}

// The window manager reports some drags only once they are over: the note
// docked to the dragged one follows it all along, not after the release.
TEST_F(WindowManagerMoves, ADockedNoteFollowsWhileTheAltDragRuns)
{
    DockedPair pair;
    ASSERT_NO_FATAL_FAILURE(makeDockedPair(pair));
    const QPoint seam = geometry(pair.docked).topLeft() - geometry(pair.target).topLeft();
    const QPoint body = geometry(pair.target).center();
    const QPoint moved = geometry(pair.target).topLeft() + QPoint(-250, 150);

    ASSERT_TRUE(input().dragAndHold(body, body + QPoint(-250, 150), moveModifier()));
    const bool held = waitFor([&] { return geometry(pair.target).topLeft() == moved; }, 3s);
    const bool followed =
        held && waitFor([&] { return geometry(pair.docked).topLeft() - geometry(pair.target).topLeft() == seam; }, 3s);
    const QString during = describe(pair.docked);
    ASSERT_TRUE(input().releaseHeld(moveModifier()));
    ASSERT_TRUE(held) << "the Alt drag did not move the note: " << describe(pair.target).toStdString();
    EXPECT_TRUE(followed) << "while the button was held the docked note stayed at " << during.toStdString();
    EXPECT_TRUE(waitFor([&] { return geometry(pair.docked).topLeft() == moved + seam; }));
    expectStaysAt(pair.target, moved, 1000ms);
}

} // namespace
} // namespace quorrin::desktop
