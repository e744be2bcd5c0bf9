#include "Editor/FormatPanel.h"

#include "EditorTestSupport.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

namespace quorrin {
namespace {

using namespace quorrin::testing;
using formatbar::Conditions;
using formatbar::Scheduling;

TEST(FormatBarRules, ShowOnlyWhileEditingInTheActiveOpenNote)
{
    Conditions editing;
    editing.hasPanel = editing.windowActive = editing.windowVisible = editing.textFocused = true;
    EXPECT_EQ(formatbar::schedule(editing), Scheduling::AfterDelay);
    Conditions selecting = editing;
    selecting.selectionEmpty = false;
    EXPECT_EQ(formatbar::schedule(selecting), Scheduling::Now);
    EXPECT_TRUE(formatbar::present(editing, true));
    EXPECT_FALSE(formatbar::present(editing, false)); // caret scrolled away

    const std::vector<bool Conditions::*> required = {&Conditions::hasPanel, &Conditions::windowActive,
                                                      &Conditions::windowVisible, &Conditions::textFocused};
    for (bool Conditions::*field : required) {
        Conditions c = selecting;
        c.*field = false;
        EXPECT_EQ(formatbar::schedule(c), Scheduling::Hide);
        EXPECT_FALSE(formatbar::present(c, true));
    }
    for (bool Conditions::*field : {&Conditions::noteCollapsed, &Conditions::markedText}) {
        Conditions c = selecting;
        c.*field = true;
        EXPECT_EQ(formatbar::schedule(c), Scheduling::Hide);
        EXPECT_FALSE(formatbar::present(c, true));
    }
    // A shown bar follows the caret whether or not the text has the focus.
    Conditions unfocused = editing;
    unfocused.textFocused = unfocused.windowVisible = false;
    unfocused.markedText = true;
    EXPECT_TRUE(formatbar::reposition(unfocused, true));
    unfocused.windowActive = false;
    EXPECT_FALSE(formatbar::reposition(unfocused, true));
}

class FakePanel final : public QObject, public FormatPanel {
public:
    void show(const QRectF& near, QWidget&) override
    {
        shown = true;
        anchor = near;
        ++shows;
    }
    void hide() override { shown = false; }
    bool isShown() const override { return shown; }
    bool isExpanded() const override { return shown && expanded; }
    void refreshBar() override { ++refreshes; }
    bool shown = false;
    bool expanded = true;
    int shows = 0;
    int refreshes = 0;
    QRectF anchor;
};

class FormatBarTest : public EditorFixture {
protected:
    std::unique_ptr<FakePanel> panel = std::make_unique<FakePanel>();
    void openActive(int lines = 1)
    {
        std::vector<Block> blocks;
        for (int i = 0; i < lines; ++i)
            blocks.push_back(makeBlock(BlockKind::Paragraph, QStringLiteral("正文文字")));
        open(blocks);
        editor->setFormatPanel(panel.get(), panel.get());
        editor->show();
        editor->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
        editor->textView()->setFocus();
    }
};

TEST_F(FormatBarTest, CaretShowsTheBarAfterAPauseAndTypingHidesItUntilTheNextPause)
{
    openActive();
    caretAt(2);
    editor->scheduleFormatBar();
    EXPECT_FALSE(panel->shown);
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel->shown; }, 10000));
    EXPECT_TRUE(panel->anchor.isValid());

    QTest::keyClicks(editor->textView(), QStringLiteral("x"));
    EXPECT_FALSE(panel->shown); // an expanded bar steps aside while typing
    caretAt(1);                 // selection changes do not bring it back meanwhile
    EXPECT_FALSE(panel->shown);
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel->shown; }, 10000));

    editor->hideFormatBar();
    EXPECT_FALSE(panel->shown);
}

TEST_F(FormatBarTest, ScrollingOrResizingMovesAShownBarAndNeverShowsAHiddenOne)
{
    openActive();
    select(0, 2);
    QLineEdit elsewhere(editor.get()); // the focus moves on, as to the title or the find bar
    elsewhere.setFocus();
    const std::pair<const char*, std::function<void()>> triggers[] = {
        {"resize", [&] { editor->resize(editor->width() + 10, editor->height()); }},
        {"scroll or layout", [&] { editor->updateFormatBarPosition(); }},
    };
    for (const auto& [name, trigger] : triggers) {
        SCOPED_TRACE(name);
        editor->hideFormatBar();
        const int shows = panel->shows;
        trigger();
        EXPECT_FALSE(panel->shown);
        EXPECT_EQ(panel->shows, shows);

        panel->show(QRectF(), *editor); // shown, then moved along
        trigger();
        EXPECT_TRUE(panel->shown);
        EXPECT_TRUE(panel->anchor.isValid());
        EXPECT_GT(panel->shows, shows + 1);
    }
}

TEST_F(FormatBarTest, TheBarComesBackWithTheCaretScrolledIntoViewWhileTheTextKeepsTheFocus)
{
    openActive(80);
    QScrollBar& scroll = *editor->textView()->verticalScrollBar();
    ASSERT_GT(scroll.maximum(), 0);
    caretAt(0);
    editor->scheduleFormatBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->shown; }, 10000));

    scroll.setValue(scroll.maximum());
    EXPECT_FALSE(panel->shown);
    scroll.setValue(0);
    EXPECT_TRUE(panel->shown);

    // Not while the focus is elsewhere.
    scroll.setValue(scroll.maximum());
    QLineEdit elsewhere(editor.get());
    elsewhere.show();
    elsewhere.setFocus();
    ASSERT_FALSE(editor->textView()->hasFocus());
    scroll.setValue(0);
    EXPECT_FALSE(panel->shown);
}

TEST_F(FormatBarTest, NoPanelWithoutActiveWindowOrOnceThePanelIsGone)
{
    openActive();
    Note collapsed = stored();
    collapsed.isCollapsed = true;
    store->notes = {collapsed};
    select(0, 2);
    editor->presentFormatBar();
    EXPECT_FALSE(panel->shown);

    panel.reset();
    EXPECT_EQ(editor->formatPanel(), nullptr);
    editor->presentFormatBar(); // nothing to show and nothing to crash
}

} // namespace
} // namespace quorrin
