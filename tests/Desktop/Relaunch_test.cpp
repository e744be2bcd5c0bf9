#include "Desktop/DesktopTest.h"

#include <algorithm>

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

class Relaunch : public DesktopTest {
protected:
    // Three notes holding text, made as a user makes them: the first one,
    // then two more with Ctrl+N.
    void makeThreeNotes()
    {
        const WindowId first = firstNoteWindow();
        clickIntoText(first);
        typeAndWaitStored(app().noteOf(first), QStringLiteral("一 one"));
        for (const QString& text : {QStringLiteral("二 two"), QStringLiteral("三 three")}) {
            const WindowId note = newNoteFromKeyboard();
            ASSERT_NE(note, 0u) << "Ctrl+N showed no new, active note";
            typeAndWaitStored(app().noteOf(note), text);
        }
    }

    void quitAndRelaunch()
    {
        ASSERT_TRUE(input().key(QStringLiteral("ctrl+q")));
        ASSERT_TRUE(app().waitForExit(15s)) << "Ctrl+Q did not end quorrin";
        ASSERT_TRUE(relaunch());
    }

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
    ASSERT_NO_FATAL_FAILURE(makeThreeNotes());
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

} // namespace
} // namespace quorrin::desktop
