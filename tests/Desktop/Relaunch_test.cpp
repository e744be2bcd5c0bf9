#include "Desktop/DesktopTest.h"

#include <algorithm>

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

class Relaunch : public DesktopTest {
protected:
    bool hasState(WindowId window, const QString& state)
    {
        const std::vector<QString> states = x().states(window);
        return std::find(states.begin(), states.end(), state) != states.end();
    }
};

// Every stored note comes back on screen at launch, none of them focused
// and none asking for attention.
TEST_F(Relaunch, EveryNoteIsShownUnfocusedAndAsksForNothing)
{
    std::vector<WindowId> made;
    ASSERT_NO_FATAL_FAILURE(makeNotes({QStringLiteral("一 one"), QStringLiteral("二 two"), QStringLiteral("三 three")}, made));
    ASSERT_NO_FATAL_FAILURE(quitAndRelaunch());

    ASSERT_TRUE(waitFor([&] { return app().noteWindows().size() == 3; }))
        << "the launch showed " << app().noteWindows().size() << " of 3 notes";
    for (const auto& note : app().noteWindows()) {
        restingGeometry(note.window);
        EXPECT_FALSE(hasState(note.window, QStringLiteral("_NET_WM_STATE_HIDDEN"))) << describe(note.window).toStdString();
        EXPECT_FALSE(hasState(note.window, QStringLiteral("_NET_WM_STATE_DEMANDS_ATTENTION")))
            << describe(note.window).toStdString();
    }
    const std::vector<WindowId> notes = noteWindowIds();
    EXPECT_EQ(std::find(notes.begin(), notes.end(), x().activeWindow()), notes.end())
        << "a note took the focus at launch: " << describe(x().activeWindow()).toStdString();
}

// A frame the window manager imposes at launch (pulling a note that sits
// partly off the screen onto it, or placing windows its own way) is where the
// note shows, but the stored frame stays the user's until the user moves the
// note.
TEST_F(Relaunch, AFrameTheWindowManagerImposesIsNotStoredUntilTheUserMovesTheNote)
{
    const WindowId note = firstNoteWindow();
    const QUuid id = app().noteOf(note);
    clickIntoText(note);
    typeAndWaitStored(id, QStringLiteral("半在屏幕外"));
    // Dragged partly below the bottom edge of the screen, its title strip on
    // it (some window managers keep it on the screen even so).
    const QSize screen = x().screenSize();
    const QPoint partlyOff(screen.width() - 520, screen.height() - 300);
    const QPoint grip = headerPoint(note);
    ASSERT_TRUE(input().drag(grip, grip + partlyOff - geometry(note).topLeft()));
    const QRect placed = restingGeometry(note);
    // The drag ended with the button: the pointer moving on takes the note
    // nowhere.
    ASSERT_TRUE(input().moveTo(headerPoint(note) - QPoint(300, 300)));
    expectStaysAt(note, placed.topLeft(), 500ms);
    // Stored where the user dragged it, or where the window manager let it go.
    ASSERT_TRUE(waitForStored(id, [&](const Note&) {
        return storedRect(id).topLeft() == partlyOff || storedRect(id) == placed;
    })) << "stored at " << storedRect(id).x() << "," << storedRect(id).y();
    const QRect stored = storedRect(id);

    ASSERT_NO_FATAL_FAILURE(quitAndRelaunch());
    const WindowId again = app().windowOf(id);
    ASSERT_NE(again, 0u);
    const QRect shown = restingGeometry(again);
    EXPECT_FALSE(waitForStored(id, [&](const Note&) { return storedRect(id) != stored; }, 3s))
        << "with no input the stored frame became " << storedRect(id).x() << "," << storedRect(id).y()
        << "; the window shows at " << shown.x() << "," << shown.y();

    // The user moves the note: now its frame is the one stored.
    ASSERT_NO_FATAL_FAILURE(dragByHeader(again, QPoint(-300, -200)));
    const QPoint moved = geometry(again).topLeft();
    EXPECT_TRUE(waitForStored(id, [&](const Note&) { return storedRect(id).topLeft() == moved; }))
        << "stored at " << storedRect(id).x() << "," << storedRect(id).y();
}

} // namespace
} // namespace quorrin::desktop
