#include "Desktop/DesktopTest.h"

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

// The keyboard alone, from the launch on: no case here touches the mouse.
// Whatever window closes, the keyboard is in a note again.
class KeyboardOnly : public DesktopTest {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_note = firstNoteWindow();
        m_id = app().noteOf(m_note);
        ASSERT_TRUE(waitForActive(m_note)) << "the first note is not active at launch: "
                                           << describe(x().activeWindow()).toStdString();
    }

    // The note is active, stays so and its text becomes `expected` when
    // `more` is typed.
    void expectTyping(WindowId note, const QString& more, const QString& expected)
    {
        ASSERT_TRUE(waitForActive(note)) << "active: " << describe(x().activeWindow()).toStdString();
        ASSERT_TRUE(staysActive(note, 500ms)) << "then active: " << describe(x().activeWindow()).toStdString();
        ASSERT_TRUE(input().type(more));
        const QUuid id = app().noteOf(note);
        EXPECT_TRUE(waitForStored(id, [&](const Note& stored) { return blockTexts(stored).join(u'\n') == expected; }))
            << "stored: " << (stored(id) ? blockTexts(*stored(id)).join(u'|').toStdString() : "nothing");
    }

    WindowId m_note = 0;
    QUuid m_id;
};

TEST_F(KeyboardOnly, ClosingPanelsAndNotesLeavesTheKeyboardInANote)
{
    typeAndWaitStored(m_id, QStringLiteral("一"));
    for (const auto& [open, title, close] :
         {std::tuple{"ctrl+comma", "Quorrin — 设置", "ctrl+w"}, std::tuple{"ctrl+shift+f", "Quorrin — 搜索全部便笺", "Escape"}}) {
        SCOPED_TRACE(title);
        ASSERT_TRUE(input().key(QString::fromUtf8(open)));
        const WindowId panel = waitForWindowNamed(QString::fromUtf8(title));
        ASSERT_TRUE(waitForActive(panel)) << "active: " << describe(x().activeWindow()).toStdString();
        ASSERT_TRUE(input().key(QString::fromUtf8(close)));
        ASSERT_TRUE(waitForGone(panel));
        const QString before = blockTexts(*stored(m_id)).join(u'\n');
        ASSERT_NO_FATAL_FAILURE(expectTyping(m_note, QStringLiteral("二"), before + QStringLiteral("二")));
    }

    const WindowId second = newNoteFromKeyboard();
    ASSERT_NE(second, 0u);
    typeAndWaitStored(app().noteOf(second), QStringLiteral("另一张"));
    ASSERT_TRUE(input().key(QStringLiteral("ctrl+w")));
    ASSERT_TRUE(waitForGone(second));
    ASSERT_NO_FATAL_FAILURE(expectTyping(m_note, QStringLiteral("三"), QStringLiteral("一二二三")));

    ASSERT_TRUE(input().key(QStringLiteral("ctrl+q")));
    EXPECT_TRUE(app().waitForExit(15s)) << "Ctrl+Q did not end quorrin";
}

} // namespace
} // namespace quorrin::desktop
