#pragma once

#include "Platform/WindowLevel.h"

#include <algorithm>

namespace quorrin::DesktopWindowPolicy {

// Notes that are not on top sit just above the desktop icons.
inline constexpr int desktopLevel = windowLevel::desktopIcon + 1;

// A note on top, or raised for the moment, floats; any other sits at the desktop.
constexpr int noteLevel(bool onTopOrRaised)
{
    return onTopOrRaised ? windowLevel::floating : desktopLevel;
}

// A reminder editor stays above its note, and never below the floating band.
constexpr int reminderPanelLevel(int noteLevel)
{
    return std::max(noteLevel + 1, windowLevel::floating + 1);
}

} // namespace quorrin::DesktopWindowPolicy
