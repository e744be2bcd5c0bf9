// The docking layout of the workspace: docked chains laid out from their
// roots (or around a note that collapsed), sizes carried along rows and
// columns, and the graph queries the windows ask.
#include "Windows/NoteWorkspace.h"

#include "Persistence/NoteStore.h"
#include "Windows/DockingLayout.h"
#include "Windows/WindowGeometry.h"

namespace quorrin {

using WindowGeometry::frameOf;
using WindowGeometry::rectOf;

namespace {

DockNode dockNodeOf(const Note& note)
{
    return {note.id, rectOf(note.frame), note.isCollapsed, note.docking, note.deletedAt.has_value()};
}

} // namespace

DockingGraph NoteWorkspace::dockingGraph(bool liveOnly) const
{
    std::vector<DockNode> nodes;
    if (const NoteStore* notes = store()) {
        nodes.reserve(notes->notes().size());
        for (const Note& note : notes->notes()) {
            if (!(liveOnly && note.deletedAt))
                nodes.push_back(dockNodeOf(note));
        }
    }
    return DockingGraph(std::move(nodes));
}

DockingGraph NoteWorkspace::solvedDockedGroups() const
{
    std::vector<DockNode> nodes;
    if (const NoteStore* notes = store()) {
        QSet<QUuid> targets;
        for (const Note& note : notes->notes()) {
            if (note.docking && !note.deletedAt)
                targets.insert(note.docking->targetID);
        }
        for (const Note& note : notes->notes()) {
            if (!note.deletedAt && (note.docking || targets.contains(note.id)))
                nodes.push_back(dockNodeOf(note));
        }
    }
    DockingGraph graph(std::move(nodes));
    graph.solve();
    return graph;
}

void NoteWorkspace::reflow(std::optional<QUuid> anchor)
{
    if (m_movingID || m_reflowing || m_isApplyingFrames || !store())
        return;
    m_reflowing = true;
    DockingGraph graph = dockingGraph(true);
    std::optional<DockNode> anchorBefore;
    if (anchor) {
        if (const DockNode* node = graph.find(*anchor))
            anchorBefore = *node;
    }
    QHash<QUuid, QRectF> displayed = graph.solve();
    if (anchorBefore)
        graph.anchorAround(*anchorBefore, displayed);

    m_isApplyingFrames = true;
    persistLayout(graph);
    applyFramesTogether(displayed, m_movingID);
    syncNativeLinks();
    refreshNoteRoles();
    m_isApplyingFrames = false;
    m_reflowing = false;
}

void NoteWorkspace::persistLayout(const DockingGraph& graph)
{
    NoteStore* notes = store();
    if (!notes)
        return;
    for (const DockNode& node : graph.nodes()) {
        const Note* note = notes->findNote(node.id);
        if (!note)
            continue;
        m_knownSizes.insert(node.id, node.frame.size());
        m_knownCollapsed.insert(node.id, note->isCollapsed);
        // Only the place changes: the note itself is not copied.
        notes->updateGeometry(node.id, frameOf(node.frame), node.docking);
    }
}

bool NoteWorkspace::hasConnection(const QUuid& noteID) const
{
    return dockingGraph(false).hasConnection(noteID);
}

QSet<QUuid> NoteWorkspace::descendants(const QUuid& noteID) const
{
    return store() ? dockingGraph(false).descendants(noteID) : QSet<QUuid>();
}

QSet<QUuid> NoteWorkspace::component(const QUuid& noteID) const
{
    return store() ? dockingGraph(false).component(noteID) : QSet<QUuid>{noteID};
}

void NoteWorkspace::geometryChanged(const QUuid& noteID, bool resized)
{
    Q_UNUSED(resized);
    if (m_isApplyingFrames || m_movingID == noteID)
        return;
    NoteStore* notes = store();
    // Read where the store holds it, before the store changes below.
    const Note* note = notes ? notes->findNote(noteID) : nullptr;
    if (!note)
        return;
    const auto known = m_knownCollapsed.constFind(noteID);
    const bool collapseChanged = known != m_knownCollapsed.cend() && *known != note->isCollapsed;

    const auto knownSize = m_knownSizes.constFind(noteID);
    if (knownSize != m_knownSizes.cend() && *knownSize != QSizeF(note->frame.width, note->frame.height)) {
        DockingGraph graph = dockingGraph(true);
        for (const QUuid& resizedID : graph.propagateSize(noteID)) {
            if (const Note* neighbour = notes->findNote(resizedID))
                notes->updateGeometry(resizedID, frameOf(graph.find(resizedID)->frame), neighbour->docking);
        }
    }
    anchorUserResizeEdge(noteID);
    // While the launch or a burst of hand-overs makes windows, each one's
    // first move and resize would lay out every window again; the final
    // pass of the presentation lays them all out once.
    if (!collapseChanged && m_userResizeID != noteID && (isPresentingGradually() || isBurstPending()))
        return;
    reflow(collapseChanged ? std::optional<QUuid>(noteID) : std::nullopt);
}

} // namespace quorrin
