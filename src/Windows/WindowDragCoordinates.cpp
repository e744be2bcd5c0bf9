#include "Windows/WindowDragCoordinates.h"

#include "Platform/QtScreenProvider.h"

#include <QMouseEvent>

namespace quorrin::WindowDragCoordinates {

QPointF screenPoint(const QPointF& globalPosition,
                    const std::optional<ScreenCoordinates>& coordinates)
{
    return coordinates.value_or(ScreenCoordinates()).toModel(globalPosition);
}

QPointF screenPoint(const QSinglePointEvent& event)
{
    return screenPoint(event.globalPosition(), QtScreenProvider::coordinates());
}

} // namespace quorrin::WindowDragCoordinates
