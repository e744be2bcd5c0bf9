#pragma once

#include "Domain/NoteDock.h"

#include <QHash>
#include <QRectF>
#include <QSet>
#include <QSizeF>
#include <QUuid>

#include <optional>
#include <vector>

// The docking graph of the notes and how it turns into window frames. Plain
// values only, so that the layout is computed and tested without windows.
// Model coordinates: origin bottom left, y up, so a rectangle's top edge is
// y() + height() (QRectF's bottom()).

namespace quorrin {

// A note as the docking layout sees it.
struct DockNode {
    QUuid id;
    QRectF frame; // the stored frame, always the expanded one
    bool collapsed = false;
    std::optional<NoteDock> docking;
    bool deleted = false;

    friend bool operator==(const DockNode&, const DockNode&) = default;
};

// Where a note docked against a target goes.
struct DockPlacement {
    QRectF displayed; // the window frame (the top strip while collapsed)
    QRectF expanded;  // the stored frame, hanging from the displayed top edge
};

namespace DockingLayout {

// The window frame of a note: its expanded frame, or the top 55 points of
// it while collapsed.
QRectF displayedRect(const QRectF& expanded, bool collapsed);

DockEdge opposite(DockEdge edge);

// Orders ids as their canonical upper-case text does, without making text.
bool uuidTextLess(const QUuid& a, const QUuid& b);

// A note of expanded size `size` docked on `edge` of a target shown at
// `target`: side-docked notes align their top edge with the target's top,
// notes above or below share its left edge.
DockPlacement placedAgainst(const QRectF& target, DockEdge edge, QSizeF size, bool collapsed);

} // namespace DockingLayout

// The notes of one layout pass in store order, looked up by id, with the
// notes docked to each. Deleted notes can be looked up but are nobody's
// dependants.
class DockingGraph {
public:
    explicit DockingGraph(std::vector<DockNode> nodes);

    const std::vector<DockNode>& nodes() const { return m_nodes; }
    const DockNode* find(const QUuid& id) const;
    DockNode* find(const QUuid& id);
    // The live notes docked directly to `id` (itself included when it docks
    // to itself), as indexes into nodes(), in store order.
    const std::vector<int>& dependants(const QUuid& id) const;

    // Every live note docked directly or transitively to `root`, never the
    // root itself, even through a cycle.
    QSet<QUuid> descendants(const QUuid& root) const;
    // The root of the note's chain (where the links end, loop or point to a
    // note that is not here) and all its descendants.
    QSet<QUuid> component(const QUuid& id) const;
    // Docked to something, or something live is docked to it.
    bool hasConnection(const QUuid& id) const;

    // Lays out every docked chain from its root. Ids are visited in the order
    // of their text, which decides where a cycle is cut: the note at which a
    // cycle closes keeps its own frame. Each note's stored frame is updated
    // in place; the answer is every note's displayed rectangle.
    QHash<QUuid, QRectF> solve();

    // After solve(): `before` (the anchor as it was) keeps its top-left
    // corner, takes its solved size, and its connected group is laid out
    // around it. Other groups keep their solved places.
    void anchorAround(const DockNode& before, QHash<QUuid, QRectF>& displayed);

    // A note's size changed: its row of side-docked notes takes its height and
    // its column of notes docked above or below takes its width, each keeping
    // its top edge, carried on along the chain. Answers the notes given a new
    // size, in the order they were reached.
    std::vector<QUuid> propagateSize(const QUuid& id);

private:
    QRectF solveOne(const QUuid& id, QHash<QUuid, QRectF>& displayed);
    // The note's neighbours in store order: its target with its own edge and
    // every note docked to it with that note's edge.
    std::vector<std::pair<int, DockEdge>> neighbours(int index, bool targetOnOppositeEdge) const;

    std::vector<DockNode> m_nodes;
    QHash<QUuid, int> m_index;
    QHash<QUuid, std::vector<int>> m_dependants;
};

} // namespace quorrin
