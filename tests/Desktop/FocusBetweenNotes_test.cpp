#include "Desktop/DesktopTest.h"

#include <map>

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

class FocusBetweenNotes : public DesktopTest {};

// The note clicked gets the keyboard, and only it: the X server's input
// focus, not only the window manager's word, and the typed text with it.
TEST_F(FocusBetweenNotes, TheNoteClickedTakesTheKeysAndKeepsThem)
{
    if (const std::string why = clickActivationUnseen(); !why.empty())
        GTEST_SKIP() << why;
    if (const std::string why = cannotHoldOn({"kwin_x11"},
                                             "on a busy machine a header drag at times leaves the note where it "
                                             "was: known fault, not yet fixed");
        !why.empty())
        GTEST_SKIP() << why;
    std::vector<WindowId> notes;
    ASSERT_NO_FATAL_FAILURE(makeNotes({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, notes));
    // Apart, so that each click lands on the note it is meant for.
    ASSERT_NO_FATAL_FAILURE(dragByHeader(notes[1], QPoint(-500, 300)));
    ASSERT_NO_FATAL_FAILURE(dragByHeader(notes[2], QPoint(500, -300)));

    std::map<WindowId, QString> typed;
    for (const WindowId note : notes)
        typed[note] = blockTexts(*stored(app().noteOf(note))).join(u'\n');
    for (const size_t index : {0, 2, 1, 0}) {
        const WindowId note = notes[index];
        clickIntoText(note);
        EXPECT_TRUE(waitFor([&] { return x().inputFocus() == note; }))
            << "the keyboard went to " << describe(x().inputFocus()).toStdString() << " instead of "
            << describe(note).toStdString();
        EXPECT_TRUE(staysActive(note, 500ms)) << "then " << describe(x().activeWindow()).toStdString();
        const QString key = QString(QChar(u'x' + int(index)));
        ASSERT_TRUE(input().type(key + key));
        // The keys go to the end of the line clicked, and nowhere else.
        typed[note] = typed[note] + key + key;
        for (const WindowId each : notes) {
            const QUuid id = app().noteOf(each);
            EXPECT_TRUE(waitForStored(id, [&](const Note& stored) {
                return blockTexts(stored).join(u'\n') == typed[each];
            })) << "note " << describe(each).toStdString() << " holds "
                << blockTexts(*stored(id)).join(u'|').toStdString() << ", not " << typed[each].toStdString();
        }
    }
}

} // namespace
} // namespace quorrin::desktop
