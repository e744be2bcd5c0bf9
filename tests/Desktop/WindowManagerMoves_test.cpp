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
};

TEST_F(WindowManagerMoves, AnAltDragAfterAHeaderDragIsKeptAndSaved)
{
    const WindowId note = firstNoteWindow();
    const QUuid id = app().noteOf(note);
    clickIntoText(note);
    typeAndWaitStored(id, QStringLiteral("移动"));

    // First the note's own drag, by its header strip.
    const QRect start = geometry(note);
    const QPoint grip = headerPoint(note);
    ASSERT_TRUE(input().drag(grip, grip + QPoint(-120, -90)));
    const QPoint afterHeader = start.topLeft() + QPoint(-120, -90);
    ASSERT_TRUE(waitFor([&] { return geometry(note).topLeft() == afterHeader; }))
        << "the header drag left the note at " << describe(note).toStdString();
    ASSERT_TRUE(waitForStored(id, [&](const Note&) { return storedRect(id).topLeft() == afterHeader; }));

    // Then the window manager's: Alt and a drag anywhere in the window.
    const QPoint body = geometry(note).center();
    ASSERT_TRUE(input().drag(body, body + QPoint(260, 140), QStringLiteral("alt")));
    const QPoint afterWindowManager = afterHeader + QPoint(260, 140);
    ASSERT_TRUE(waitFor([&] { return geometry(note).topLeft() == afterWindowManager; }, 3s))
        << "after the Alt drag the note is at " << describe(note).toStdString();
    expectStaysAt(note, afterWindowManager, 1500ms);
    EXPECT_TRUE(waitForStored(id, [&](const Note&) { return storedRect(id).topLeft() == afterWindowManager; }))
        << "stored at " << storedRect(id).x() << "," << storedRect(id).y();
}

TEST_F(WindowManagerMoves, AnAltDragAloneIsKeptAndSaved)
{
    const WindowId note = firstNoteWindow();
    const QUuid id = app().noteOf(note);
    clickIntoText(note);
    typeAndWaitStored(id, QStringLiteral("移动"));
    const QRect start = geometry(note);
    const QPoint body = start.center();
    ASSERT_TRUE(input().drag(body, body + QPoint(-200, 120), QStringLiteral("alt")));
    const QPoint moved = start.topLeft() + QPoint(-200, 120);
    ASSERT_TRUE(waitFor([&] { return geometry(note).topLeft() == moved; }, 3s))
        << "after the Alt drag the note is at " << describe(note).toStdString();
    expectStaysAt(note, moved, 1500ms);
    EXPECT_TRUE(waitForStored(id, [&](const Note&) { return storedRect(id).topLeft() == moved; }));
}

} // namespace
} // namespace quorrin::desktop
