#include "Desktop/DesktopTest.h"

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

class WindowManagerMoves : public DesktopTest {
protected:
    // A drag by the window manager from the window's middle, holding its move
    // key (Alt; Super under mutter and KWin): the window ends up moved by
    // `by`, stays there and is stored there.
    void altDragKeptAndSaved(WindowId note, QPoint by)
    {
        const QUuid id = app().noteOf(note);
        const QRect start = geometry(note);
        ASSERT_TRUE(input().drag(start.center(), start.center() + by, windowManager().moveModifier));
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
    const WindowId note = firstNoteWindow();
    const QUuid id = app().noteOf(note);
    clickIntoText(note);
    typeAndWaitStored(id, QStringLiteral("移动"));

    // First the note's own drag, by its header strip.
    const QPoint afterHeader = geometry(note).topLeft() + QPoint(-120, -90);
    ASSERT_NO_FATAL_FAILURE(dragByHeader(note, QPoint(-120, -90)));
    ASSERT_TRUE(waitForStored(id, [&](const Note&) { return storedRect(id).topLeft() == afterHeader; }));

    // Then the window manager's: its move key and a drag anywhere in the window.
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
    ASSERT_TRUE(input().drag(body, body + QPoint(-250, 150), windowManager().moveModifier));
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

} // namespace
} // namespace quorrin::desktop
