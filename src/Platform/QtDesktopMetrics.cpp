#include "Platform/QtDesktopMetrics.h"

#include "Core/Screens/ScreenProvider.h"

#include <QFontDatabase>

namespace quorrin {

QtDesktopMetrics::QtDesktopMetrics(std::shared_ptr<const ScreenProvider> screens)
    : m_screens(std::move(screens))
{
}

std::optional<QRectF> QtDesktopMetrics::mainScreenVisibleFrame() const
{
    return m_screens ? m_screens->mainVisibleFrame() : std::nullopt;
}

bool QtDesktopMetrics::hasFontFamily(const QString& family) const
{
    return QFontDatabase::hasFamily(family);
}

} // namespace quorrin
