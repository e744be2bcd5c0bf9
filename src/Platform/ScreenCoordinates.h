#pragma once

#include <QPointF>
#include <QRectF>

namespace quorrin {

// The one conversion between Qt's global coordinates (origin at the top left
// of the virtual desktop, y down) and the model's screen points (origin at the
// bottom left of the primary screen, y up). The primary screen therefore spans
// (0, 0, width, height) in model coordinates, and its top edge is its height.
class ScreenCoordinates {
public:
    // `primaryScreenGeometry`: the primary screen's full geometry in Qt's
    // global coordinates. An empty rectangle flips about y = 0.
    explicit ScreenCoordinates(const QRectF& primaryScreenGeometry = {});

    QPointF toModel(const QPointF& qtGlobal) const;
    QPointF toQt(const QPointF& model) const;

    // Rectangles keep their size; the top-left corner in Qt becomes the
    // bottom-left corner (minY) in the model and back.
    QRectF toModel(const QRectF& qtGlobal) const;
    QRectF toQt(const QRectF& model) const;

    // The model y of the primary screen's top edge.
    double primaryTop() const { return primary_.height(); }

private:
    QRectF primary_;
};

} // namespace quorrin
