#include "Features/Attachments/DrawingImageView.h"

#include "Domain/AppError.h"

#include <QBuffer>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace quorrin {

namespace {

constexpr double strokeWidth = 2.5;
const QColor strokeColor(255, 59, 48);

} // namespace

DrawingImageView::DrawingImageView(QImage image, QWidget* parent)
    : QWidget(parent)
    , m_image(std::move(image))
{
    setCursor(Qt::CrossCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QRectF DrawingImageView::imageRect() const
{
    return annotation::aspectFitRect(QSizeF(size()), QSizeF(m_image.size()));
}

void DrawingImageView::undoStroke()
{
    if (m_strokes.undo())
        update();
}

void DrawingImageView::drawContent(QPainter& painter, const QRectF& rect) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect, m_image);
    QPen pen(strokeColor, strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (const annotation::Stroke& stroke : m_strokes.strokes()) {
        if (stroke.empty())
            continue;
        QPainterPath path(annotation::StrokeSet::toView(stroke.front(), rect));
        for (std::size_t index = 1; index < stroke.size(); ++index)
            path.lineTo(annotation::StrokeSet::toView(stroke[index], rect));
        painter.drawPath(path);
    }
}

void DrawingImageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawContent(painter, imageRect());
}

void DrawingImageView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_strokes.begin();
    mouseMoveEvent(event);
}

void DrawingImageView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_strokes.extend(event->position(), imageRect()))
        update();
}

QByteArray DrawingImageView::png() const
{
    const QRectF rect = imageRect();
    const double scale = devicePixelRatioF();
    const QSize pixels(int(std::lround(rect.width() * scale)), int(std::lround(rect.height() * scale)));
    if (pixels.isEmpty())
        throw AppError(QStringLiteral("无法生成标注图片。"));
    QImage shown(pixels, QImage::Format_ARGB32_Premultiplied);
    shown.setDevicePixelRatio(scale);
    shown.fill(Qt::transparent);
    {
        QPainter painter(&shown);
        drawContent(painter, QRectF(QPointF(0, 0), rect.size()));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !shown.save(&buffer, "PNG") || bytes.isEmpty())
        throw AppError(QStringLiteral("无法编码图片。"));
    return bytes;
}

} // namespace quorrin
