#pragma once

#include "Platform/ScreenCoordinates.h"

#include <QPointF>

#include <optional>

class QSinglePointEvent;

namespace quorrin::WindowDragCoordinates {

// A global Qt position as a model screen point. Without screens there is no
// desktop height to flip against, so the flip is about y = 0.
QPointF screenPoint(const QPointF& globalPosition,
                    const std::optional<ScreenCoordinates>& coordinates);

// The event's location as a model screen point, for the current screens.
QPointF screenPoint(const QSinglePointEvent& event);

} // namespace quorrin::WindowDragCoordinates
