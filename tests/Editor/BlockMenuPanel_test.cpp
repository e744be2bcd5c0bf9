#include "Editor/BlockMenuPanel.h"

#include "EditorTestSupport.h"
#include "Platform/WindowLevel.h"
#include "Widgets/MenuActionButton.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>

namespace quorrin {
namespace {

using namespace quorrin::testing;

// Counts the key presses and mouse presses that reach a widget.
class Arrivals final : public QObject {
public:
    int keys = 0;
    int presses = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        keys += event->type() == QEvent::KeyPress ? 1 : 0;
        presses += event->type() == QEvent::MouseButtonPress ? 1 : 0;
        return false;
    }
};

class BlockMenuPanelTest : public EditorFixture {
protected:
    void SetUp() override
    {
        open({makeBlock(BlockKind::Paragraph, QStringLiteral("abc")), makeBlock(BlockKind::Todo, QStringLiteral("do"))});
        editor->show();
    }
    QUuid first() const { return stored().blocks[0].id; }
};

TEST(BlockMenuPanelHeight, SixteenPlusSevenPerSeparatorPlus28PerItem)
{
    std::vector<std::unique_ptr<QAction>> owned;
    std::vector<QAction*> items;
    for (int i = 0; i < 10; ++i) {
        owned.push_back(std::make_unique<QAction>(QStringLiteral("x")));
        owned.back()->setSeparator(i == 3 || i == 7);
        items.push_back(owned.back().get());
    }
    EXPECT_EQ(BlockMenuPanel::heightFor(items), 254);
}

TEST_F(BlockMenuPanelTest, ShowsTheBlocksMenuWithASemiboldFirstRow)
{
    BlockMenuPanel* panel = editor->openBlockMenu(first(), QRectF(0, 0, 10, 10), *editor->textView(), false);
    ASSERT_TRUE(panel);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(editor->selectedBlock, first());
    EXPECT_EQ(panel->height(), int(BlockMenuPanel::heightFor(panel->items())));
    const std::vector<QWidget*> rows = panel->rows();
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[0]->font().weight(), QFont::DemiBold);
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_EQ(rows[i]->font().weight(), QFont::Normal);
    EXPECT_TRUE(static_cast<QAbstractButton*>(rows[0])->text().startsWith(QStringLiteral("  ")));
    EXPECT_GE(WindowLevelAdapter::levelOf(*panel), windowLevel::floating);
}

TEST_F(BlockMenuPanelTest, ShiftF10OpensThePanelAtTheCaretLikeTheMenuKey)
{
    QTextCursor caret(editor->document());
    caret.setPosition(1);
    editor->textView()->setTextCursor(caret);
    QTest::keyClick(editor->textView(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(editor->blockMenuPanel());
    EXPECT_TRUE(editor->blockMenuPanel()->isVisible());
    EXPECT_EQ(editor->selectedBlock, first());
    editor->blockMenuPanel()->dismiss();

    QTest::keyClick(editor->textView(), Qt::Key_F10); // without Shift: no menu
    EXPECT_FALSE(editor->blockMenuPanel());
    EXPECT_EQ(stored().blocks[0].text.attributed().string(), QStringLiteral("abc"));
}

TEST_F(BlockMenuPanelTest, EscapeClosesThePanelAndGoesNoFurther)
{
    QPointer<BlockMenuPanel> panel =
        editor->openBlockMenu(first(), QRectF(0, 0, 10, 10), *editor->textView(), false);
    Arrivals arrivals;
    editor->textView()->installEventFilter(&arrivals);
    QTest::keyClick(editor->textView(), Qt::Key_Escape);
    EXPECT_EQ(arrivals.keys, 0);
    ASSERT_TRUE(panel);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(panel->isWatching());
    EXPECT_FALSE(editor->blockMenuPanel());
    QTest::keyClick(editor->textView(), Qt::Key_Escape); // no panel: the key arrives
    EXPECT_EQ(arrivals.keys, 1);
}

TEST_F(BlockMenuPanelTest, AClickOutsideClosesThePanelAndStillTakesEffect)
{
    QPushButton elsewhere(QStringLiteral("elsewhere"));
    elsewhere.show();
    QSignalSpy clicked(&elsewhere, &QPushButton::clicked);
    BlockMenuPanel* panel = editor->openBlockMenu(first(), QRectF(0, 0, 10, 10), *editor->textView(), false);

    QTest::mouseClick(panel->rows()[1], Qt::LeftButton, {}, QPoint(1, 1)); // inside: a choice
    EXPECT_FALSE(panel->isVisible());

    panel = editor->openBlockMenu(first(), QRectF(0, 0, 10, 10), *editor->textView(), false);
    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(2, 2)); // inside, not on a row
    EXPECT_TRUE(panel->isVisible());
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(2, 2));

    QTest::mouseClick(&elsewhere, Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(BlockMenuPanelTest, AChoiceRunsTheItemOnTheBlockOnlyWhenValid)
{
    BlockMenuPanel* panel = editor->openBlockMenu(first(), QRectF(0, 0, 10, 10), *editor->textView(), false);
    const size_t blocks = stored().blocks.size();
    panel->performChoice(-1);
    panel->performChoice(int(panel->items().size()));
    EXPECT_TRUE(panel->isVisible());
    int duplicate = -1;
    for (int i = 0; i < int(panel->items().size()); ++i) {
        if (panel->items()[size_t(i)]->text() == QStringLiteral("复制内容块"))
            duplicate = i;
    }
    ASSERT_GE(duplicate, 0);
    editor->selectedBlock = stored().blocks[1].id; // the panel's block wins
    panel->performChoice(duplicate);
    EXPECT_FALSE(panel->isVisible());
    ASSERT_EQ(stored().blocks.size(), blocks + 1);
    EXPECT_EQ(stored().blocks[1].text, stored().blocks[0].text);
}

TEST(MenuActionButton, HoverFadesInTheAccentAtTwelvePercentAndBack)
{
    MenuActionButton button;
    button.setAccentColor(QColor(0, 100, 200));
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&button, &enter);
    EXPECT_EQ(button.targetBackgroundColor(), QColor::fromRgbF(0, 100 / 255.f, 200 / 255.f, 0.12f));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &leave);
    EXPECT_EQ(button.targetBackgroundColor(), QColor(Qt::transparent));
    EXPECT_EQ(MenuActionButton::backgroundFadeMs, 120);
    button.setRestingBackground(QColor(Qt::red), false);
    EXPECT_EQ(button.backgroundColor(), QColor(Qt::red));
}

} // namespace
} // namespace quorrin
