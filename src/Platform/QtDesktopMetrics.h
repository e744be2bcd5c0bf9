#pragma once

#include "Core/Screens/DesktopMetrics.h"

#include <memory>

namespace quorrin {

class ScreenProvider;

// DesktopMetrics of the running Qt GUI application: the main screen as the
// screen provider sees it, and the font database.
class QtDesktopMetrics final : public DesktopMetrics {
public:
    explicit QtDesktopMetrics(std::shared_ptr<const ScreenProvider> screens);

    std::optional<QRectF> mainScreenVisibleFrame() const override;
    bool hasFontFamily(const QString& family) const override;

private:
    std::shared_ptr<const ScreenProvider> m_screens;
};

} // namespace quorrin
