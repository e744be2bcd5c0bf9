#include "Platform/ScreenCoordinates.h"

namespace quorrin {

ScreenCoordinates::ScreenCoordinates(const QRectF& primaryScreenGeometry)
    : primary_(primaryScreenGeometry)
{
}

QPointF ScreenCoordinates::toModel(const QPointF& qtGlobal) const
{
    return {qtGlobal.x() - primary_.x(), primary_.y() + primary_.height() - qtGlobal.y()};
}

QPointF ScreenCoordinates::toQt(const QPointF& model) const
{
    return {model.x() + primary_.x(), primary_.y() + primary_.height() - model.y()};
}

QRectF ScreenCoordinates::toModel(const QRectF& qtGlobal) const
{
    const QPointF bottomLeft = toModel(QPointF(qtGlobal.x(), qtGlobal.y() + qtGlobal.height()));
    return {bottomLeft.x(), bottomLeft.y(), qtGlobal.width(), qtGlobal.height()};
}

QRectF ScreenCoordinates::toQt(const QRectF& model) const
{
    const QPointF topLeft = toQt(QPointF(model.x(), model.y() + model.height()));
    return {topLeft.x(), topLeft.y(), model.width(), model.height()};
}

} // namespace quorrin
