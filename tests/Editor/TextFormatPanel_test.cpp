#include "Editor/TextFormatPanel.h"

#include "Editor/TextFormatBar.h"
#include "EditorTestSupport.h"
#include "Widgets/MenuActionButton.h"

#include <QApplication>
#include <QMenu>
#include <QTest>

namespace quorrin {
namespace {

using namespace quorrin::testing;

class TextFormatPanelTest : public EditorFixture {
protected:
    void SetUp() override
    {
        open({makeBlock(BlockKind::Paragraph, QStringLiteral("abc"))});
        editor->move(500, 100);
        editor->show();
        panel = std::make_unique<TextFormatPanel>(editor.get());
        panel->reducedMotion = [] { return true; };
    }
    void TearDown() override
    {
        if (QWidget* menu = QApplication::activePopupWidget())
            menu->close();
    }
    std::unique_ptr<TextFormatPanel> panel;
};

TEST_F(TextFormatPanelTest, TheColourMenuOpensBelowItsButtonAndTheBarStaysOpenMeanwhile)
{
    panel->show(QRectF(520, 150, 10, 18), *editor);
    panel->bar()->onHover(true); // the pointer comes over the orb
    ASSERT_TRUE(panel->isExpanded());
    MenuActionButton* color = panel->bar()->colorButton();
    QTest::mouseClick(color, Qt::LeftButton);

    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    const QPoint below = color->mapToGlobal(QPoint(0, color->height() + 4));
    EXPECT_LE((menu->pos() - below).manhattanLength(), 2) << menu->pos().x() << "," << menu->pos().y();

    panel->bar()->onHover(false); // the pointer goes into the menu
    EXPECT_FALSE(panel->flow().isCollapsePending());
    EXPECT_TRUE(panel->isExpanded());

    menu->close(); // the pointer is elsewhere: the bar collapses after the delay
    EXPECT_TRUE(panel->flow().isCollapsePending());
}

} // namespace
} // namespace quorrin
