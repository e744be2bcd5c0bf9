#include "Widgets/StatusReminderDot.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace quorrin {
namespace {

TEST(StatusReminderDot, SitsAtTheTopRightAndScalesWithTheIcon)
{
    EXPECT_EQ(StatusReminderDot::dotRect(QRectF(0, 0, 22, 22)), QRectF(13, 2, 7, 7));
    EXPECT_EQ(StatusReminderDot::dotRect(QRectF(0, 0, 44, 44)), QRectF(26, 4, 14, 14));
}

TEST(StatusReminderDot, DrawsTheNotesAccentOnlyWithAColour)
{
    QImage image(22, 22, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    StatusReminderDot dot;
    {
        QPainter painter(&image);
        dot.draw(painter, QRectF(0, 0, 22, 22), Appearance::Light);
    }
    EXPECT_EQ(image.pixelColor(16, 5).alpha(), 0);

    dot.noteColor = NoteColor::Blue;
    {
        QPainter painter(&image);
        dot.draw(painter, QRectF(0, 0, 22, 22), Appearance::Light);
    }
    const Rgba accent = noteColor::theme(NoteColor::Blue).accent.resolved(Appearance::Light);
    const QColor centre = image.pixelColor(16, 5);
    EXPECT_NEAR(centre.redF(), accent.red, 0.02);
    EXPECT_NEAR(centre.greenF(), accent.green, 0.02);
    EXPECT_NEAR(centre.blueF(), accent.blue, 0.02);
    EXPECT_EQ(image.pixelColor(4, 16).alpha(), 0); // nothing outside the dot
}

} // namespace
} // namespace quorrin
