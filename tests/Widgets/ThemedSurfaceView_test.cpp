#include "Widgets/ThemedSurfaceView.h"

#include "Platform/TextStyleConversion.h"
#include "Support/PaintedArea.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace quorrin {
namespace {

QPalette paletteWithWindow(const QColor& window)
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, window);
    return palette;
}

QColor centrePixel(ThemedSurfaceView& view)
{
    const QImage image = view.grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

class ThemedSurfaceViewTest : public ::testing::Test {
protected:
    void SetUp() override { QApplication::setPalette(paletteWithWindow(Qt::white)); }
    void TearDown() override { QApplication::setPalette(m_original); }

private:
    QPalette m_original = QApplication::palette();
};

TEST_F(ThemedSurfaceViewTest, StartsNeutralWithRadiusTwelveAndRepaintsOnlyForANewRadius)
{
    ThemedSurfaceView view;
    EXPECT_EQ(view.theme(), NoteTheme::neutral());
    EXPECT_EQ(view.cornerRadius(), 12);
    view.resize(80, 40);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    testing::PaintedArea painted(view);
    painted.repainted();
    view.setCornerRadius(11);
    EXPECT_FALSE(painted.repainted().isEmpty());
    view.setCornerRadius(11);
    EXPECT_TRUE(painted.repainted().isEmpty());
    EXPECT_EQ(view.cornerRadius(), 11);
}

TEST_F(ThemedSurfaceViewTest, RepaintsWithTheDarkSurfaceAfterAPaletteChange)
{
    ThemedSurfaceView view;
    view.resize(80, 40);
    view.setTheme(noteColor::theme(NoteColor::Blue));
    view.setCornerRadius(12);
    EXPECT_EQ(centrePixel(view), QColor(0xF1, 0xF7, 0xFD));

    QApplication::setPalette(paletteWithWindow(QColor(0x20, 0x20, 0x20)));
    QCoreApplication::sendPostedEvents(); // widgets hear of the new palette on the next turn
    EXPECT_EQ(centrePixel(view), QColor(0x1B, 0x26, 0x32));
    EXPECT_EQ(view.borderColor(), toQColor(Rgba{0x7F / 255.0, 0xB4 / 255.0, 0xEA / 255.0, 0.24}));
}

TEST_F(ThemedSurfaceViewTest, NewThemeRecoloursAtOnce)
{
    ThemedSurfaceView view;
    view.resize(80, 40);
    view.setTheme(noteColor::theme(NoteColor::Pink));
    EXPECT_EQ(centrePixel(view), QColor(0xFF, 0xF5, 0xF8));
    view.setTheme(noteColor::theme(NoteColor::Sage));
    EXPECT_EQ(centrePixel(view), QColor(0xF4, 0xFA, 0xF1));
}

} // namespace
} // namespace quorrin
