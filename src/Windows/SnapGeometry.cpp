#include "Windows/SnapGeometry.h"

#include "Windows/WindowGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <compare>
#include <tuple>

namespace quorrin::SnapGeometry {

namespace {

// Tops up to this far apart still count as aligned for side docking.
constexpr double sideTopTolerance = 24;
// Share of the narrower width that must overlap for docking on top...
constexpr double aboveOverlapShare = 0.35;
// ...and under, of the dragged width; either way this much always suffices.
constexpr double overlapSufficient = 60;
// How far the centres may be apart for docking under: this share of the
// target's width, or at least the fixed minimum.
constexpr double belowCentreShare = 0.4;
constexpr double belowCentreMinimum = 100;
constexpr double misalignmentWeight = 0.08;

// The magnetic pull.
constexpr double pullAcross = 7;
constexpr double pullAlong = 3;
constexpr double pullFullWithin = 12;
constexpr double pullReach = 32;

double minX(const QRectF& r) { return r.x(); }
double maxX(const QRectF& r) { return r.x() + r.width(); }
double midX(const QRectF& r) { return r.x() + r.width() / 2; }
double minY(const QRectF& r) { return r.y(); }
double maxY(const QRectF& r) { return r.y() + r.height(); }

bool isSide(DockEdge edge)
{
    return edge == DockEdge::Left || edge == DockEdge::Right;
}

// Where a window of size (w, h) sits when docked on `edge` of `target`;
// side-docked windows share the target's top edge.
QPointF dockedOrigin(DockEdge edge, const QRectF& target, double w, double h)
{
    switch (edge) {
    case DockEdge::Left: return {minX(target) - w, maxY(target) - h};
    case DockEdge::Right: return {maxX(target), maxY(target) - h};
    case DockEdge::Above: return {minX(target), maxY(target)};
    case DockEdge::Below: return {minX(target), minY(target) - h};
    }
    return target.topLeft();
}

// Edges ordered as their raw strings sort: above, below, left, right.
int edgeTextRank(DockEdge edge)
{
    switch (edge) {
    case DockEdge::Above: return 0;
    case DockEdge::Below: return 1;
    case DockEdge::Left: return 2;
    case DockEdge::Right: return 3;
    }
    return 4;
}

// The order of the ids' canonical upper-case strings. Fixed-width hex sorts
// as the numbers it spells, so the fields are compared without building text.
std::strong_ordering compareAsText(const QUuid& a, const QUuid& b)
{
    const auto key = [](const QUuid& id) {
        return std::tuple(id.data1, id.data2, id.data3, id.data4[0], id.data4[1], id.data4[2], id.data4[3],
                          id.data4[4], id.data4[5], id.data4[6], id.data4[7]);
    };
    return key(a) <=> key(b);
}

bool ranksBefore(const SnapCandidate& a, const SnapCandidate& b)
{
    if (a.score != b.score)
        return a.score < b.score;
    if (a.link.targetID == b.link.targetID)
        return edgeTextRank(a.link.edge) < edgeTextRank(b.link.edge);
    return compareAsText(a.link.targetID, b.link.targetID) < 0;
}

struct EdgeTest {
    DockEdge edge;
    double gap;
    double misalignment;
    bool passes;
};

// The four edges of one target, in the order left, right, above, below.
std::array<EdgeTest, 4> edgeTests(const QRectF& m, const QRectF& t, double threshold)
{
    const double hOverlap = std::max(0.0, std::min(maxX(m), maxX(t)) - std::max(minX(m), minX(t)));
    const double sideMisalignment = std::max(0.0, std::abs(maxY(m) - maxY(t)) - sideTopTolerance);
    const auto within = [threshold](double gap, double misalignment) {
        return gap <= threshold && misalignment <= threshold;
    };

    const double leftGap = std::abs(maxX(m) - minX(t));
    const double rightGap = std::abs(minX(m) - maxX(t));
    const double aboveGap = std::abs(minY(m) - maxY(t));
    const double aboveMisalignment = std::abs(minX(m) - minX(t));
    const double belowGap = std::abs(maxY(m) - minY(t));

    const bool abovePasses =
        within(aboveGap, aboveMisalignment)
        && hOverlap >= std::min(aboveOverlapShare * std::min(m.width(), t.width()), overlapSufficient);
    const bool belowPasses = belowGap <= belowCaptureDistance
        && std::abs(midX(m) - midX(t)) <= std::max(belowCentreShare * t.width(), belowCentreMinimum)
        && hOverlap >= std::min(aboveOverlapShare * m.width(), overlapSufficient);

    return {{
        {DockEdge::Left, leftGap, sideMisalignment, within(leftGap, sideMisalignment)},
        {DockEdge::Right, rightGap, sideMisalignment, within(rightGap, sideMisalignment)},
        {DockEdge::Above, aboveGap, aboveMisalignment, abovePasses},
        {DockEdge::Below, belowGap, 0.0, belowPasses},
    }};
}

SnapCandidate proposal(const SnapTarget& target, const EdgeTest& test, double expandedWidth, double expandedHeight,
                       bool collapsed)
{
    const bool side = isSide(test.edge);
    // A note docked beside another takes its height; above or below, its width.
    const double w = side ? expandedWidth : target.expandedSize.width();
    const double H = side ? target.expandedSize.height() : expandedHeight;
    const double h = collapsed ? WindowGeometry::collapsedHeight : H;
    const QPointF origin = dockedOrigin(test.edge, target.frame, w, h);

    SnapCandidate c;
    c.link = NoteDock{target.id, test.edge};
    c.frame = QRectF(origin, QSizeF(w, h));
    c.expandedSize = QSizeF(w, H);
    c.distance = std::max(test.gap, test.misalignment);
    c.score = c.distance + misalignmentWeight * std::min(test.gap, test.misalignment);
    return c;
}

} // namespace

std::vector<SnapCandidate> rankedCandidates(const QRectF& moving, const std::optional<QSizeF>& expandedSize,
                                            bool collapsed, const std::vector<SnapTarget>& targets, double threshold)
{
    const QSizeF expanded = expandedSize.value_or(moving.size());
    std::vector<SnapCandidate> candidates;
    for (const SnapTarget& target : targets) {
        for (const EdgeTest& test : edgeTests(moving, target.frame, threshold)) {
            if (test.passes)
                candidates.push_back(proposal(target, test, expanded.width(), expanded.height(), collapsed));
        }
    }
    // A gap that is not a number never passes (comparisons with it fail), so
    // no score is not-a-number and the order is consistent.
    std::stable_sort(candidates.begin(), candidates.end(), ranksBefore);
    return candidates;
}

std::optional<SnapCandidate> candidate(const QRectF& moving, const std::optional<QSizeF>& expandedSize,
                                       bool collapsed, const std::vector<SnapTarget>& targets, double threshold,
                                       const std::optional<NoteDock>& preferredLink)
{
    const std::vector<SnapCandidate> candidates =
        rankedCandidates(moving, expandedSize, collapsed, targets, threshold);
    if (candidates.empty())
        return std::nullopt;
    const SnapCandidate& best = candidates.front();
    if (!preferredLink)
        return best;
    // The previous proposal holds until a rival beats it by more than the
    // hysteresis, so the preview does not flicker between near-equal edges.
    const auto kept = std::find_if(candidates.begin(), candidates.end(),
                                   [&](const SnapCandidate& c) { return c.link == *preferredLink; });
    if (kept != candidates.end() && kept->score <= best.score + hysteresis)
        return *kept;
    return best;
}

QRectF magneticPreview(const QRectF& frame, const QRectF& target, DockEdge edge, double distance)
{
    const QPointF docked = dockedOrigin(edge, target, frame.width(), frame.height());
    const bool side = isSide(edge);
    const double reachX = side ? pullAcross : pullAlong;
    const double reachY = side ? pullAlong : pullAcross;
    const double dx = std::clamp(docked.x() - minX(frame), -reachX, reachX);
    const double dy = std::clamp(docked.y() - minY(frame), -reachY, reachY);

    // Full pull within 12 points, none from 32 on; a distance that is not a
    // number pulls nothing.
    const double span = pullReach - pullFullWithin;
    const double factor = std::isnan(distance) ? 0.0 : std::clamp((pullReach - distance) / span, 0.0, 1.0);
    if (factor == 0 || !std::isfinite(dx) || !std::isfinite(dy))
        return frame;
    return frame.translated(factor * dx, factor * dy);
}

} // namespace quorrin::SnapGeometry
