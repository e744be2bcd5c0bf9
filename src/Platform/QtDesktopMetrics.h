#pragma once

#include "Platform/Core/DesktopMetrics.h"

namespace quorrin {

// DesktopMetrics of the running Qt GUI application (primary screen, font
// database).
class QtDesktopMetrics final : public DesktopMetrics {
public:
    std::optional<QRectF> mainScreenVisibleFrame() const override;
    bool hasFontFamily(const QString& family) const override;
};

} // namespace quorrin
