#include "Desktop/DesktopTest.h"

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

// Whatever floating panel of a note closes, typing goes on into that note.
class FocusAfterPanels : public FirstNoteTest {
protected:
    // Types more text and checks that the note's stored text ends up as
    // `expected`: the keys reached the note's text.
    void typeIntoNote(const QString& more, const QStringList& expected)
    {
        ASSERT_TRUE(waitForActive(m_note)) << "active: " << describe(x().activeWindow()).toStdString();
        ASSERT_TRUE(input().type(more));
        EXPECT_TRUE(waitForStored(m_id, [&](const Note& note) { return blockTexts(note) == expected; }))
            << "stored: " << (stored(m_id) ? blockTexts(*stored(m_id)).join(u'|').toStdString() : "nothing")
            << "; focus on " << describe(x().inputFocus()).toStdString();
    }
};

TEST_F(FocusAfterPanels, BlockMenuPanelClosedByEscape)
{
    typeAndWaitStored(m_id, QStringLiteral("abc"));
    ASSERT_TRUE(input().key(QStringLiteral("Menu")));
    const WindowId panel = waitForWindowNamed(QStringLiteral("内容块"));
    ASSERT_NE(panel, 0u);
    ASSERT_TRUE(waitForActive(panel));
    ASSERT_TRUE(input().key(QStringLiteral("Escape")));
    ASSERT_TRUE(waitForGone(panel));
    typeIntoNote(QStringLiteral("d"), {QStringLiteral("abcd")});
}

TEST_F(FocusAfterPanels, BlockMenuPanelClosedByAChoice)
{
    typeAndWaitStored(m_id, QStringLiteral("abc"));
    ASSERT_TRUE(input().key(QStringLiteral("Menu")));
    const WindowId panel = waitForWindowNamed(QStringLiteral("内容块"));
    ASSERT_TRUE(waitForActive(panel));
    ASSERT_TRUE(input().key(QStringLiteral("Down"))); // 普通文本: the line stays as it is
    ASSERT_TRUE(input().key(QStringLiteral("Return")));
    ASSERT_TRUE(waitForGone(panel));
    typeIntoNote(QStringLiteral("d"), {QStringLiteral("abcd")});
}

TEST_F(FocusAfterPanels, InsertBelowFromTheHoverMenuGivesTheNewLineTheCaret)
{
    typeAndWaitStored(m_id, QStringLiteral("第一行"));
    // The block handle at the line's left opens the menu without the focus.
    ASSERT_TRUE(input().click(geometry(m_note).topLeft() + QPoint(8, 77)));
    const WindowId panel = waitForWindowNamed(QStringLiteral("内容块"));
    ASSERT_NE(panel, 0u) << "the handle opened no block menu";
    // Rows of 28 px under an 8 px margin; a separator of 7 px after the fifth.
    const QRect rows = restingGeometry(panel);
    ASSERT_TRUE(input().click(rows.topLeft() + QPoint(rows.width() / 2, 8 + 5 * 28 + 7 + 28 + 14)));
    ASSERT_TRUE(waitForGone(panel));
    typeIntoNote(QStringLiteral("第二行"), {QStringLiteral("第一行"), QStringLiteral("第二行")});
}

TEST_F(FocusAfterPanels, FormatBarAndItsColourMenu)
{
    typeAndWaitStored(m_id, QStringLiteral("hello world"));
    FormatBar bar;
    ASSERT_NO_FATAL_FAILURE(unfoldFormatBar(bar));
    const QRect unfolded = bar.unfolded;
    ASSERT_TRUE(input().click(QPoint(unfolded.left() + 18, unfolded.center().y()))); // bold
    ASSERT_TRUE(input().key(QStringLiteral("End")));
    typeIntoNote(QStringLiteral(" more"), {QStringLiteral("hello world more")});

    // The colour menu, the bar's last button, closed by Escape.
    ASSERT_NO_FATAL_FAILURE(unfoldFormatBar(bar));
    const QRect open = bar.unfolded;
    ASSERT_TRUE(input().click(QPoint(open.right() - 19, open.center().y())));
    ASSERT_TRUE(waitFor([&] { return !app().popups().empty(); })) << "no colour menu";
    ASSERT_TRUE(input().key(QStringLiteral("Escape")));
    ASSERT_TRUE(waitFor([&] { return app().popups().empty(); })) << "Escape left the colour menu open";
    ASSERT_TRUE(input().key(QStringLiteral("End")));
    typeIntoNote(QStringLiteral(" again"), {QStringLiteral("hello world more again")});
}

TEST_F(FocusAfterPanels, FindBarClosedByEscape)
{
    typeAndWaitStored(m_id, QStringLiteral("abc"));
    ASSERT_TRUE(input().key(QStringLiteral("ctrl+f")));
    ASSERT_TRUE(input().type(QStringLiteral("b")));
    ASSERT_TRUE(input().key(QStringLiteral("Escape")));
    ASSERT_TRUE(input().key(QStringLiteral("End")));
    typeIntoNote(QStringLiteral("d"), {QStringLiteral("abcd")});
}

} // namespace
} // namespace quorrin::desktop
