#pragma once

#include <QEasingCurve>

namespace quorrin::Motion {

// The ease-out timing of the interface's short animations: a cubic Bézier
// through (0, 0), (0.58, 1), (1, 1).
inline QEasingCurve easeOut()
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0, 0), QPointF(0.58, 1), QPointF(1, 1));
    return curve;
}

inline double lerp(double from, double to, double t) { return from + (to - from) * t; }

} // namespace quorrin::Motion
