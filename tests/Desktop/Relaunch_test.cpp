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

} // namespace
} // namespace quorrin::desktop
