#pragma once

#include "Domain/NoteDock.h"

#include <QRectF>
#include <QSizeF>
#include <QUuid>

#include <optional>
#include <vector>

// Docking proposals while a note window is dragged. Model coordinates: origin
// bottom left, y up, so a rectangle's top edge is y() + height() (QRectF's
// bottom()).

namespace quorrin {

// A note window the dragged note may dock to.
struct SnapTarget {
    QUuid id;
    QRectF frame;        // as displayed (collapsed height when collapsed)
    QSizeF expandedSize; // the note's stored expanded size

    friend bool operator==(const SnapTarget&, const SnapTarget&) = default;
};

// One docking proposal for the dragged note.
struct SnapCandidate {
    NoteDock link;       // the target and the side of it the note would occupy
    QRectF frame;        // where the dragged window would sit, at its displayed height
    QSizeF expandedSize; // the dragged note's expanded size once docked
    double score = 0;    // lower is better
    double distance = 0; // the larger of gap and misalignment

    friend bool operator==(const SnapCandidate&, const SnapCandidate&) = default;
};

namespace SnapGeometry {

// The distance a side, top or left edge is captured from during a drag.
inline constexpr double defaultThreshold = 32;
// A note is captured under another from this far, whatever the threshold.
inline constexpr double belowCaptureDistance = 56;
// A kept proposal survives until a rival scores better by more than this.
inline constexpr double hysteresis = 8;

// Every proposal within reach, best first: by score, then for one target by
// the edge's raw string ("above", "below", "left", "right"), else by the
// target ids' upper-case strings.
std::vector<SnapCandidate> rankedCandidates(const QRectF& moving, const std::optional<QSizeF>& expandedSize,
                                            bool collapsed, const std::vector<SnapTarget>& targets, double threshold);

// The best docking proposal for the dragged window `moving` (as displayed),
// or nothing when no target is within reach. `expandedSize` defaults to the
// size of `moving`. `preferredLink` is the link proposed in the previous drag
// step.
std::optional<SnapCandidate> candidate(const QRectF& moving, const std::optional<QSizeF>& expandedSize,
                                       bool collapsed, const std::vector<SnapTarget>& targets, double threshold,
                                       const std::optional<NoteDock>& preferredLink);

// `frame` pulled a few points towards where it would sit docked on `edge` of
// `target`: up to 7 points across the seam and 3 along it, fully at a
// distance of 12 or less, fading to nothing at 32.
QRectF magneticPreview(const QRectF& frame, const QRectF& target, DockEdge edge, double distance);

} // namespace SnapGeometry

} // namespace quorrin
