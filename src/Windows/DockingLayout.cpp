#include "Windows/DockingLayout.h"

#include "Windows/WindowGeometry.h"

#include <algorithm>
#include <cstring>

namespace quorrin {

namespace {

double maxY(const QRectF& rect)
{
    return rect.y() + rect.height();
}

bool isSideEdge(DockEdge edge)
{
    return edge == DockEdge::Left || edge == DockEdge::Right;
}

} // namespace

namespace DockingLayout {

QRectF displayedRect(const QRectF& expanded, bool collapsed)
{
    return collapsed ? WindowGeometry::collapsedFrame(expanded) : expanded;
}

DockEdge opposite(DockEdge edge)
{
    switch (edge) {
    case DockEdge::Left:
        return DockEdge::Right;
    case DockEdge::Right:
        return DockEdge::Left;
    case DockEdge::Above:
        return DockEdge::Below;
    case DockEdge::Below:
        return DockEdge::Above;
    }
    return edge;
}

bool uuidTextLess(const QUuid& a, const QUuid& b)
{
    // The text spells the fields in this order as fixed-width upper-case hex,
    // so comparing the numbers compares the text.
    if (a.data1 != b.data1)
        return a.data1 < b.data1;
    if (a.data2 != b.data2)
        return a.data2 < b.data2;
    if (a.data3 != b.data3)
        return a.data3 < b.data3;
    return std::memcmp(a.data4, b.data4, sizeof a.data4) < 0;
}

DockPlacement placedAgainst(const QRectF& target, DockEdge edge, QSizeF size, bool collapsed)
{
    const double width = size.width();
    const double height = size.height();
    const double shownHeight = collapsed ? WindowGeometry::collapsedHeight : height;
    double x = 0;
    double y = 0;
    switch (edge) {
    case DockEdge::Left:
        x = target.x() - width;
        y = maxY(target) - shownHeight;
        break;
    case DockEdge::Right:
        x = target.x() + target.width();
        y = maxY(target) - shownHeight;
        break;
    case DockEdge::Above:
        x = target.x();
        y = maxY(target);
        break;
    case DockEdge::Below:
        x = target.x();
        y = target.y() - shownHeight;
        break;
    }
    return {QRectF(x, y, width, shownHeight), QRectF(x, y + shownHeight - height, width, height)};
}

} // namespace DockingLayout

DockingGraph::DockingGraph(std::vector<DockNode> nodes)
    : m_nodes(std::move(nodes))
{
    m_index.reserve(qsizetype(m_nodes.size()));
    for (int index = 0; index < int(m_nodes.size()); ++index) {
        const DockNode& node = m_nodes[size_t(index)];
        m_index.insert(node.id, index);
        if (node.docking && !node.deleted)
            m_dependants[node.docking->targetID].push_back(index);
    }
}

const DockNode* DockingGraph::find(const QUuid& id) const
{
    const auto found = m_index.constFind(id);
    return found == m_index.cend() ? nullptr : &m_nodes[size_t(*found)];
}

DockNode* DockingGraph::find(const QUuid& id)
{
    const auto found = m_index.constFind(id);
    return found == m_index.cend() ? nullptr : &m_nodes[size_t(*found)];
}

const std::vector<int>& DockingGraph::dependants(const QUuid& id) const
{
    static const std::vector<int> none;
    const auto found = m_dependants.constFind(id);
    return found == m_dependants.cend() ? none : *found;
}

QSet<QUuid> DockingGraph::descendants(const QUuid& root) const
{
    QSet<QUuid> result;
    std::vector<QUuid> stack{root};
    while (!stack.empty()) {
        const QUuid id = stack.back();
        stack.pop_back();
        for (const int index : dependants(id)) {
            const QUuid& dependant = m_nodes[size_t(index)].id;
            if (dependant == root || result.contains(dependant))
                continue;
            result.insert(dependant);
            stack.push_back(dependant);
        }
    }
    return result;
}

QSet<QUuid> DockingGraph::component(const QUuid& id) const
{
    QSet<QUuid> seen;
    QUuid root = id;
    while (!seen.contains(root)) {
        seen.insert(root);
        const DockNode* node = find(root);
        if (!node || !node->docking)
            break;
        root = node->docking->targetID;
    }
    QSet<QUuid> result = descendants(root);
    result.insert(root);
    return result;
}

bool DockingGraph::hasConnection(const QUuid& id) const
{
    const DockNode* node = find(id);
    return (node && node->docking) || !dependants(id).empty();
}

QHash<QUuid, QRectF> DockingGraph::solve()
{
    std::vector<QUuid> order;
    order.reserve(m_nodes.size());
    for (const DockNode& node : m_nodes) {
        if (!node.deleted)
            order.push_back(node.id);
    }
    std::stable_sort(order.begin(), order.end(), DockingLayout::uuidTextLess);

    QHash<QUuid, QRectF> displayed;
    displayed.reserve(qsizetype(order.size()));
    for (const QUuid& id : order)
        solveOne(id, displayed);
    return displayed;
}

QRectF DockingGraph::solveOne(const QUuid& id, QHash<QUuid, QRectF>& displayed)
{
    const auto live = [this](const QUuid& nodeID) -> DockNode* {
        DockNode* node = find(nodeID);
        return node && !node->deleted ? node : nullptr;
    };
    if (const auto known = displayed.constFind(id); known != displayed.cend())
        return *known;
    DockNode* node = live(id);
    if (!node)
        return {};

    // Climb towards the root until a note is already placed or lays out as a
    // root itself (no link, a link to itself or to a missing note, or the link
    // that would close a cycle among the notes being climbed). Then place the
    // climbed notes back down, each against the one it docks to.
    std::vector<DockNode*> climbed;
    QSet<QUuid> visiting;
    DockNode* current = node;
    while (!displayed.contains(current->id)) {
        const std::optional<NoteDock>& link = current->docking;
        DockNode* target = link && link->targetID != current->id ? live(link->targetID) : nullptr;
        if (!target || visiting.contains(target->id)) {
            displayed.insert(current->id, DockingLayout::displayedRect(current->frame, current->collapsed));
            break;
        }
        visiting.insert(current->id);
        climbed.push_back(current);
        current = target;
    }

    for (auto step = climbed.rbegin(); step != climbed.rend(); ++step) {
        DockNode& docked = **step;
        const DockNode& target = *find(docked.docking->targetID);
        const DockEdge edge = docked.docking->edge;
        const QSizeF size = isSideEdge(edge) ? QSizeF(docked.frame.width(), target.frame.height())
                                             : QSizeF(target.frame.width(), docked.frame.height());
        const DockPlacement placement =
            DockingLayout::placedAgainst(displayed.value(target.id), edge, size, docked.collapsed);
        docked.frame = placement.expanded;
        displayed.insert(docked.id, placement.displayed);
    }
    return displayed.value(id);
}

std::vector<std::pair<int, DockEdge>> DockingGraph::neighbours(int index, bool targetOnOppositeEdge) const
{
    const DockNode& node = m_nodes[size_t(index)];
    std::vector<std::pair<int, DockEdge>> result;
    if (node.docking) {
        const auto target = m_index.constFind(node.docking->targetID);
        if (target != m_index.cend() && !m_nodes[size_t(*target)].deleted) {
            const DockEdge edge = node.docking->edge;
            result.emplace_back(*target, targetOnOppositeEdge ? DockingLayout::opposite(edge) : edge);
        }
    }
    for (const int dependant : dependants(node.id))
        result.emplace_back(dependant, m_nodes[size_t(dependant)].docking->edge);
    return result;
}

void DockingGraph::anchorAround(const DockNode& before, QHash<QUuid, QRectF>& displayed)
{
    DockNode* anchor = find(before.id);
    if (!anchor || anchor->deleted)
        return;
    const double left = before.frame.x();
    const double top = maxY(before.frame);
    const QSizeF size = anchor->frame.size();
    anchor->frame = QRectF(left, top - size.height(), size.width(), size.height());
    displayed.insert(anchor->id, DockingLayout::displayedRect(anchor->frame, anchor->collapsed));

    QSet<QUuid> visited{anchor->id};
    std::vector<int> stack{m_index.value(anchor->id)};
    while (!stack.empty()) {
        const int popped = stack.back();
        stack.pop_back();
        const QRectF against = displayed.value(m_nodes[size_t(popped)].id);
        for (const auto& [index, edge] : neighbours(popped, true)) {
            DockNode& neighbour = m_nodes[size_t(index)];
            if (visited.contains(neighbour.id))
                continue;
            visited.insert(neighbour.id);
            stack.push_back(index);
            const DockPlacement placement =
                DockingLayout::placedAgainst(against, edge, neighbour.frame.size(), neighbour.collapsed);
            neighbour.frame = placement.expanded;
            displayed.insert(neighbour.id, placement.displayed);
        }
    }
}

std::vector<QUuid> DockingGraph::propagateSize(const QUuid& id)
{
    std::vector<QUuid> resized;
    const DockNode* start = find(id);
    if (!start)
        return resized;
    QSet<QUuid> visited{id};
    std::vector<int> stack{m_index.value(id)};
    while (!stack.empty()) {
        const int popped = stack.back();
        stack.pop_back();
        const QSizeF source = m_nodes[size_t(popped)].frame.size();
        std::vector<std::pair<int, DockEdge>> around = neighbours(popped, false);
        // Store order decides which way round a cycle the size travels.
        std::stable_sort(around.begin(), around.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [index, edge] : around) {
            DockNode& neighbour = m_nodes[size_t(index)];
            if (visited.contains(neighbour.id))
                continue;
            visited.insert(neighbour.id);
            const double top = maxY(neighbour.frame);
            const QSizeF size = isSideEdge(edge) ? QSizeF(neighbour.frame.width(), source.height())
                                                 : QSizeF(source.width(), neighbour.frame.height());
            neighbour.frame = QRectF(neighbour.frame.x(), top - size.height(), size.width(), size.height());
            resized.push_back(neighbour.id);
            stack.push_back(index);
        }
    }
    return resized;
}

} // namespace quorrin
