#include "Widgets/NoteIcons.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

using namespace quorrin;

namespace {

// The symbol drawn afresh, the way the icon draws it when nothing is kept.
QImage drawnAfresh(NoteSymbol symbol, const QSize& size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    NoteIcons::icon(symbol).paint(&painter, QRect(QPoint(0, 0), size));
    painter.end();
    return pixmap.toImage();
}

} // namespace

// The icon's drawings are kept per symbol, size and scale: asking for one
// must never answer with another that was kept before.
TEST(NoteIcons, KeptDrawingsAreTheSymbolsAtTheSizeAndScaleAsked)
{
    QPixmapCache::clear();
    struct Case {
        NoteSymbol symbol;
        QSize size;
        qreal scale;
    };
    const Case cases[] = {
        {NoteSymbol::XMark, {9, 9}, 1},
        {NoteSymbol::Ellipsis, {9, 9}, 1},
        {NoteSymbol::XMark, {14, 14}, 1},
        {NoteSymbol::XMark, {9, 9}, 2},
        {NoteSymbol::RectangleCompressVertical, {14, 14}, 1},
        {NoteSymbol::RectangleExpandVertical, {14, 14}, 1},
    };
    for (int round = 0; round < 2; ++round) { // drawn, then kept
        for (const Case& c : cases) {
            const QPixmap pixmap = NoteIcons::icon(c.symbol).pixmap(c.size, c.scale);
            SCOPED_TRACE(NoteIcons::pixmapCacheKey(c.symbol, c.size, c.scale).toStdString());
            EXPECT_EQ(pixmap.deviceIndependentSize().toSize(), c.size);
            if (c.scale == 1) {
                EXPECT_EQ(pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                          drawnAfresh(c.symbol, c.size).convertToFormat(QImage::Format_ARGB32_Premultiplied));
            }
        }
    }
    EXPECT_NE(NoteIcons::icon(NoteSymbol::XMark).pixmap(QSize(9, 9)).toImage(),
              NoteIcons::icon(NoteSymbol::Ellipsis).pixmap(QSize(9, 9)).toImage());
}
