#pragma once

#include "Features/Attachments/AnnotationGeometry.h"

#include <QByteArray>
#include <QImage>
#include <QWidget>

namespace quorrin {

// A picture fitted into the view, on which the pointer draws red freehand
// strokes. Strokes are kept in image coordinates, so they follow the picture
// when the view is resized.
class DrawingImageView : public QWidget {
    Q_OBJECT

public:
    explicit DrawingImageView(QImage image, QWidget* parent = nullptr);

    const QImage& image() const { return m_image; }
    const annotation::StrokeSet& strokes() const { return m_strokes; }
    QRectF imageRect() const;

    // Removes the last stroke; nothing happens without one.
    void undoStroke();

    // The picture as shown, strokes included, at the size of the image
    // rectangle on screen. Throws AppError when it cannot be drawn or encoded.
    QByteArray png() const;

    QSize sizeHint() const override { return {480, 360}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void drawContent(QPainter& painter, const QRectF& imageRect) const;

    QImage m_image;
    annotation::StrokeSet m_strokes;
};

} // namespace quorrin
