#include "Windows/GroupMove.h"

#include <algorithm>

namespace quorrin::GroupMove {

bool latches(const std::optional<SnapCandidate>& candidate, bool sameLink)
{
    return candidate && candidate->distance <= (sameLink ? releaseDistance : latchDistance);
}

double feedbackStrength(bool latched, double distance)
{
    if (latched)
        return 0.85;
    return 0.35 + 0.35 * std::max(0.0, 1 - distance / SnapGeometry::defaultThreshold);
}

QRectF expandedWithTopKept(const QRectF& window, double expandedHeight)
{
    const double top = window.y() + window.height();
    return {window.x(), top - expandedHeight, window.width(), expandedHeight};
}

} // namespace quorrin::GroupMove
