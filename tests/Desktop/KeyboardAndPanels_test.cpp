#include "Desktop/DesktopTest.h"

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

// Keys and menus of a note and of the panels opened from it.
using KeyboardAndPanels = FirstNoteTest;

// Shift+F10 is the menu key's companion: the arrows and Return go to the
// block menu panel, not into the line.
TEST_F(KeyboardAndPanels, ShiftF10OpensTheBlockMenuPanel)
{
    typeAndWaitStored(m_id, QStringLiteral("第一行 line"));
    ASSERT_TRUE(input().key(QStringLiteral("shift+F10")));
    const WindowId panel = waitForWindowNamed(QStringLiteral("内容块"));
    ASSERT_NE(panel, 0u) << "Shift+F10 showed no block menu panel";
    ASSERT_TRUE(waitForActive(panel)) << "active: " << describe(x().activeWindow()).toStdString();
    ASSERT_TRUE(input().key(QStringLiteral("Return"))); // the first row: 转为待办事项
    ASSERT_TRUE(waitForGone(panel));
    EXPECT_TRUE(waitForStored(m_id, [](const Note& stored) {
        const std::vector<Block> blocks = stored.displayBlocks();
        return blocks.size() == 1 && blocks.front().kind == BlockKind::Todo
            && blocks.front().text.attributed().string() == QStringLiteral("第一行 line");
    })) << "stored: " << blockTexts(*stored(m_id)).join(u'|').toStdString();
}

// The colour menu opens right below its button, and the bar stays unfolded
// under it while it is open.
TEST_F(KeyboardAndPanels, TheColourMenuOpensAtItsButtonAndTheBarStaysOpen)
{
    typeAndWaitStored(m_id, QStringLiteral("hello world"));
    FormatBar unfolded;
    ASSERT_NO_FATAL_FAILURE(unfoldFormatBar(unfolded));
    const WindowId bar = unfolded.window;
    const QRect open = unfolded.unfolded;
    // The colour button is the bar's last, 25 px wide, 5 px from its end.
    const QRect button(open.right() - 30, open.top() + 4, 25, 26);
    ASSERT_TRUE(input().click(button.center()));
    std::vector<WindowId> menus;
    ASSERT_TRUE(waitFor([&] { return !(menus = app().popups()).empty(); })) << "no colour menu";
    const QRect menu = restingGeometry(menus.front());
    EXPECT_LE(std::abs(menu.left() - button.left()), 8) << "menu at " << menu.left() << ", button at " << button.left();
    EXPECT_GE(menu.top(), button.bottom());
    EXPECT_LE(menu.top(), open.bottom() + 12) << "menu at " << menu.top() << ", bar ends at " << open.bottom();

    // Longer than the bar's collapse delay: it stays as it was.
    EXPECT_FALSE(waitFor([&] { return geometry(bar) != open; }, 1200ms))
        << "the bar changed to " << describe(bar).toStdString() << " under its open menu";
    ASSERT_TRUE(input().key(QStringLiteral("Escape")));
    ASSERT_TRUE(waitFor([&] { return app().popups().empty(); }));
    ASSERT_TRUE(input().moveTo(open.bottomRight() + QPoint(150, 150)));
    EXPECT_TRUE(waitFor([&] { return geometry(bar).width() < open.width() / 2; }))
        << "the bar stayed unfolded after its menu closed and the pointer left";
}

// Escape and Ctrl+W close the focused settings or search panel, as its
// close button does.
TEST_F(KeyboardAndPanels, EscapeAndCtrlWCloseTheAuxiliaryPanels)
{
    struct Case {
        QString open;
        QString title;
        QString close;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("ctrl+comma"), QStringLiteral("Quorrin — 设置"), QStringLiteral("Escape")},
        {QStringLiteral("ctrl+comma"), QStringLiteral("Quorrin — 设置"), QStringLiteral("ctrl+w")},
        {QStringLiteral("ctrl+shift+f"), QStringLiteral("Quorrin — 搜索全部便笺"), QStringLiteral("Escape")},
        {QStringLiteral("ctrl+shift+f"), QStringLiteral("Quorrin — 搜索全部便笺"), QStringLiteral("ctrl+w")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.title + QStringLiteral(" / ") + c.close).toStdString());
        ASSERT_TRUE(waitForActive(m_note)) << "active: " << describe(x().activeWindow()).toStdString();
        ASSERT_TRUE(input().key(c.open));
        const WindowId panel = waitForWindowNamed(c.title);
        ASSERT_NE(panel, 0u);
        ASSERT_TRUE(waitForActive(panel)) << "active: " << describe(x().activeWindow()).toStdString();
        ASSERT_TRUE(input().key(c.close));
        EXPECT_TRUE(waitForGone(panel)) << c.close.toStdString() << " left the panel open";
        if (x().viewable(panel))
            return;
    }
    EXPECT_TRUE(app().noteOf(m_note) == m_id && x().viewable(m_note)); // no note closed on the way
}


// Return and Tab end the title's editing and typing goes on in the text;
// the header's buttons never hold the keyboard, so Space is text.
TEST_F(KeyboardAndPanels, ReturnAndTabInTheTitleGoOnInTheText)
{
    typeAndWaitStored(m_id, QStringLiteral("正文"));
    const QPoint title = geometry(m_note).topLeft() + QPoint(60, 37);
    const auto expectStored = [this](const QString& customTitle, const QString& text) {
        EXPECT_TRUE(waitForStored(m_id, [&](const Note& note) {
            return note.customTitle == customTitle && blockTexts(note) == QStringList{text};
        })) << "stored: " << stored(m_id)->customTitle.value_or(QString()).toStdString() << " / "
            << blockTexts(*stored(m_id)).join(u'|').toStdString();
    };
    ASSERT_TRUE(input().click(title));
    ASSERT_TRUE(input().type(QStringLiteral("标题")));
    ASSERT_TRUE(input().key(QStringLiteral("Return")));
    ASSERT_TRUE(input().type(QStringLiteral("一")));
    expectStored(QStringLiteral("标题"), QStringLiteral("正文一"));

    ASSERT_TRUE(input().click(title));
    ASSERT_TRUE(input().key(QStringLiteral("End")));
    ASSERT_TRUE(input().type(QStringLiteral("二")));
    ASSERT_TRUE(input().key(QStringLiteral("Tab")));
    ASSERT_TRUE(input().type(QStringLiteral(" 三")));
    expectStored(QStringLiteral("标题二"), QStringLiteral("正文一 三"));
    EXPECT_FALSE(storedPreferences().value(QStringLiteral("alwaysOnTop")).toBool()) << "Space switched the layer";
}

// The archive and the recently deleted notes open on the same spot: the
// second stands off the first.
TEST_F(KeyboardAndPanels, TheLibraryPanelsOpenApart)
{
    // Out of the panels' way, which open in the middle of the screen.
    ASSERT_NO_FATAL_FAILURE(dragByHeader(m_note, QPoint(-600, 0)));
    // Without a tray the note's menu carries the status menu's rows: the
    // fifteenth is 归档事项…, the sixteenth 最近删除….
    ASSERT_NE(openNoteMenu(m_note), 0u);
    ASSERT_TRUE(chooseMenuRow(15));
    const WindowId archive = waitForWindowNamed(QStringLiteral("Quorrin — 归档事项"));
    ASSERT_NE(archive, 0u);
    ASSERT_NE(openNoteMenu(m_note), 0u);
    ASSERT_TRUE(chooseMenuRow(16));
    const WindowId trash = waitForWindowNamed(QStringLiteral("Quorrin — 最近删除"));
    ASSERT_NE(trash, 0u);
    const QRect first = restingGeometry(archive);
    const QRect second = restingGeometry(trash);
    EXPECT_GE((second.topLeft() - first.topLeft()).manhattanLength(), 40)
        << describe(archive).toStdString() << " / " << describe(trash).toStdString();
}

// A hit double-clicked opens its note in front of the search panel, and it
// stays there when the second click has landed in the panel.
TEST_F(KeyboardAndPanels, ADoubleClickedSearchHitKeepsItsNoteInFront)
{
    if (const std::string why = cannotHoldOn({"kwin_x11"},
                                             "on a busy machine the search panel at times ends above the "
                                             "note a double-clicked hit opened: known fault, not yet fixed");
        !why.empty())
        GTEST_SKIP() << why;
    if (const std::string why = cannotHoldOn({"mutter-wayland"},
                                             "the note a double-clicked hit opened at times "
                                             "never becomes active, the search panel keeps the keyboard: known fault, "
                                             "not yet fixed");
        !why.empty())
        GTEST_SKIP() << why;
    typeAndWaitStored(m_id, QStringLiteral("苹果 apple"));
    ASSERT_TRUE(input().key(QStringLiteral("ctrl+shift+f")));
    const WindowId search = waitForWindowNamed(QStringLiteral("Quorrin — 搜索全部便笺"));
    ASSERT_TRUE(waitForActive(search));
    ASSERT_TRUE(input().type(QStringLiteral("apple")));
    // The list begins under the query field and the count line.
    const QRect panel = restingGeometry(search);
    ASSERT_TRUE(input().doubleClick(panel.topLeft() + QPoint(200, 110)));
    ASSERT_TRUE(waitForActive(m_note)) << "active: " << describe(x().activeWindow()).toStdString();
    EXPECT_TRUE(staysActive(m_note, 1s)) << "then active: " << describe(x().activeWindow()).toStdString();
    EXPECT_TRUE(isAbove(m_note, search)) << "the search panel covers the note it opened";
}

// A reminder panel is above every other window of ours, the search panel
// it was reached from included.
TEST_F(KeyboardAndPanels, TheReminderPanelOpensAboveTheSearchPanel)
{
    typeAndWaitStored(m_id, QStringLiteral("交房租"));
    ASSERT_TRUE(input().key(QStringLiteral("Menu")));
    const WindowId menu = waitForWindowNamed(QStringLiteral("内容块"));
    ASSERT_TRUE(waitForActive(menu));
    ASSERT_TRUE(input().key(QStringLiteral("Return"))); // 转为待办事项
    ASSERT_TRUE(waitForGone(menu));
    ASSERT_TRUE(waitForActive(m_note)) << "active: " << describe(x().activeWindow()).toStdString();
    ASSERT_TRUE(input().key(QStringLiteral("ctrl+shift+f")));
    const WindowId search = waitForWindowNamed(QStringLiteral("Quorrin — 搜索全部便笺"));
    ASSERT_TRUE(waitForActive(search));
    ASSERT_TRUE(input().type(QStringLiteral("房租")));
    ASSERT_TRUE(input().key({QStringLiteral("Down"), QStringLiteral("Return")}));
    ASSERT_TRUE(waitForActive(m_note)) << "active: " << describe(x().activeWindow()).toStdString();
    WindowId reminder = 0;
    ASSERT_NO_FATAL_FAILURE(openReminderPanel(reminder));
    EXPECT_TRUE(waitFor([&] { return isAbove(reminder, search); }))
        << "the search panel covers the reminder panel: " << describe(search).toStdString();
    EXPECT_FALSE(waitFor([&] { return !isAbove(reminder, search); }, 1s)) << "the search panel came over it";
}

} // namespace
} // namespace quorrin::desktop
