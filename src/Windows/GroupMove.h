#pragma once

#include "Windows/SnapGeometry.h"

#include <QRectF>

#include <optional>

// The rules of dragging a note with the notes docked to it: when the window
// latches onto a docking proposal and how strongly the proposal is shown.

namespace quorrin::GroupMove {

// A proposal this close (points) latches the window onto its docked place...
inline constexpr double latchDistance = 12;
// ...and a latched one stays latched up to this distance.
inline constexpr double releaseDistance = 24;
// Steps closer than this to the start frame do not start a move.
inline constexpr double moveSlop = 1;
// How often the windows follow a drag the window manager runs.
inline constexpr int followIntervalMs = 1000 / 60;
// How long the feedback stays after a drag ends.
inline constexpr int feedbackClearDelayMs = 180;

// Whether the window sits on the proposal's place: `sameLink` when it was
// latched onto the same target and edge in the previous step.
bool latches(const std::optional<SnapCandidate>& candidate, bool sameLink);

// How strongly the proposal is drawn on both notes.
double feedbackStrength(bool latched, double distance);

// The expanded frame a window frame stands for, hanging `expandedHeight`
// from the window's top edge.
QRectF expandedWithTopKept(const QRectF& window, double expandedHeight);

} // namespace quorrin::GroupMove
