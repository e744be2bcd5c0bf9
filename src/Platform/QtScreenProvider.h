#pragma once

#include "Core/Screens/ScreenProvider.h"
#include "Platform/ScreenCoordinates.h"

#include <optional>

namespace quorrin {

// The screens attached to the desktop, read from QGuiApplication each time.
// The primary screen is the main screen and comes first.
class QtScreenProvider final : public ScreenProvider {
public:
    QList<QRectF> visibleFrames() const override;

    // The screen of the focused window when there is one, else the primary.
    std::optional<QRectF> mainVisibleFrame() const override;

    // The conversion for the current primary screen; nothing without screens.
    static std::optional<ScreenCoordinates> coordinates();
};

} // namespace quorrin
