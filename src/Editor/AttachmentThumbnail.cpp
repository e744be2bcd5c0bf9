#include "Editor/AttachmentThumbnail.h"

#include <QImageReader>
#include <QPainter>
#include <QPainterPath>

#include <poppler-qt6.h>

#include <algorithm>
#include <memory>

namespace quorrin {
namespace {

constexpr double maximumImageHeight = 220;

// The "doc" symbol: a page with a folded corner.
QImage documentSymbol()
{
    QImage image(QSize(32, 40), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath page;
    page.moveTo(4, 2);
    page.lineTo(21, 2);
    page.lineTo(28, 9);
    page.lineTo(28, 38);
    page.lineTo(4, 38);
    page.closeSubpath();
    painter.setPen(QPen(QColor(128, 128, 128), 2));
    painter.drawPath(page);
    painter.drawLine(QPointF(21, 2), QPointF(21, 9));
    painter.drawLine(QPointF(21, 9), QPointF(28, 9));
    return image;
}

std::optional<QImage> pdfFirstPage(const QString& path)
{
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    if (!document || document->isLocked() || document->numPages() < 1)
        return std::nullopt;
    std::unique_ptr<Poppler::Page> page = document->page(0);
    if (!page)
        return std::nullopt;
    const QSizeF points = page->pageSizeF();
    if (points.width() <= 0 || points.height() <= 0)
        return std::nullopt;
    // Fit the page into 160 × 150 at twice the resolution for sharp output.
    const double scale = std::min(160.0 / points.width(), 150.0 / points.height()) * 2;
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    QImage image = page->renderToImage(72.0 * scale, 72.0 * scale);
    if (image.isNull())
        return std::nullopt;
    return image;
}

} // namespace

QSizeF scaledImageSize(QSizeF size, double availableWidth)
{
    const double scale = std::min(availableWidth / std::max(size.width(), 1.0), 1.0);
    return QSizeF(size.width() * scale, std::min(size.height() * scale, maximumImageHeight));
}

AttachmentThumbnail makeAttachmentThumbnail(const QString& path, bool isImage, double availableWidth)
{
    if (isImage) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        if (!image.isNull())
            return {image, scaledImageSize(image.size(), availableWidth), false};
    }
    if (auto page = pdfFirstPage(path))
        return {*page, QSizeF(130, 150), false};
    const QImage symbol = documentSymbol();
    return {symbol, QSizeF(symbol.size()), true};
}

} // namespace quorrin
