#pragma once

#include <QRectF>
#include <QString>

#include <optional>

namespace quorrin {

// What the model's operations need to know of the desktop, behind an
// interface so they run without a display in tests.
class DesktopMetrics {
public:
    virtual ~DesktopMetrics() = default;

    // The main screen's visible frame (without panels and docks) in screen
    // points with the origin at the bottom left and y growing upwards;
    // nothing when there is no screen.
    virtual std::optional<QRectF> mainScreenVisibleFrame() const = 0;
    // Whether a font family of that name is installed.
    virtual bool hasFontFamily(const QString& family) const = 0;
};

} // namespace quorrin
