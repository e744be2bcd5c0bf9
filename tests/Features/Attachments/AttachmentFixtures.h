#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

namespace quorrin::testing {

// An A4 PDF with two lines of text on each of `pages` pages, written by Qt.
inline QByteArray twoLinePdf(int pages = 1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        QPainter painter(&writer);
        QFont font = painter.font();
        font.setPointSize(14);
        painter.setFont(font);
        for (int page = 0; page < pages; ++page) {
            if (page > 0)
                writer.newPage();
            painter.drawText(72, 100, QStringLiteral("Hello first line"));
            painter.drawText(72, 130, QStringLiteral("Second line here"));
        }
    }
    return bytes;
}

inline QByteArray pngOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

inline QImage filled(QSize size, QColor color)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

} // namespace quorrin::testing
