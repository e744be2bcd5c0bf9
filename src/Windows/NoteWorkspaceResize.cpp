// Live resizes of a docked note by the user: the seam shared with a note
// above or below, and the far edge of its row or column kept in place.
#include "Windows/NoteWorkspace.h"

#include "Persistence/NoteStore.h"
#include "Windows/DockingLayout.h"
#include "Windows/SeamResize.h"
#include "Windows/WorkspaceHost.h"
#include "Windows/WorkspaceWindow.h"

#include <cmath>

namespace quorrin {

namespace {

// The root of the note's chain of links along `edges`: where the links end;
// nothing when a link of another kind or a cycle comes first.
std::optional<QUuid> chainRoot(const DockingGraph& graph, QUuid id, std::initializer_list<DockEdge> edges)
{
    QSet<QUuid> visited;
    for (;;) {
        const DockNode* node = graph.find(id);
        if (!node || !node->docking)
            return id;
        if (std::find(edges.begin(), edges.end(), node->docking->edge) == edges.end())
            return std::nullopt;
        if (visited.contains(id))
            return std::nullopt;
        visited.insert(id);
        id = node->docking->targetID;
    }
}

} // namespace

void NoteWorkspace::beginUserResize(const QUuid& noteID, const QRectF& startFrame)
{
    if (!m_host.noteWindow(noteID))
        return;
    m_userResizeID = noteID;
    m_userResizeStartFrame = startFrame;
    m_userResizeSeamNeighbor.reset();
    m_userResizeSeamStartHeight.reset();
    // The window resizes on its own; the links come back when it ends.
    const bool before = m_isApplyingFrames;
    m_isApplyingFrames = true;
    detachNativeLinks(noteID);
    m_isApplyingFrames = before;
}

void NoteWorkspace::clearUserResize()
{
    m_userResizeID.reset();
    m_userResizeStartFrame.reset();
    m_userResizeSeamNeighbor.reset();
    m_userResizeSeamStartHeight.reset();
}

void NoteWorkspace::finishUserResize(const QUuid& noteID)
{
    if (m_userResizeID != noteID)
        return;
    geometryChanged(noteID, true);
    clearUserResize();
    reflow();
    syncNativeLinks();
}

void NoteWorkspace::cancelUserResize(const QUuid& noteID)
{
    if (m_userResizeID != noteID)
        return;
    clearUserResize();
    reflow();
    syncNativeLinks();
}

void NoteWorkspace::anchorUserResizeEdge(const QUuid& noteID)
{
    NoteStore* notes = store();
    const WorkspaceWindow* window = m_host.noteWindow(noteID);
    if (m_userResizeID != noteID || !m_userResizeStartFrame || !window || !notes)
        return;
    const QRectF start = *m_userResizeStartFrame;
    const QRectF current = window->frame();
    adjustVerticalSeamResize(noteID, start, current);

    const SeamResize::MovedEdges moved = SeamResize::movedEdges(start, current);
    const std::optional<Note> note = notes->note(noteID);
    const bool topMoved = moved.top && !(note && note->isCollapsed);
    const DockingGraph graph = dockingGraph(false);
    if (moved.left) {
        // The column's right edge stays where it was.
        const std::optional<QUuid> rootID = chainRoot(graph, noteID, {DockEdge::Above, DockEdge::Below});
        if (std::optional<Note> root = rootID ? notes->note(*rootID) : std::nullopt) {
            const double x = start.x() + start.width() - root->frame.width;
            if (std::abs(x - root->frame.x) > SeamResize::storeTolerance) {
                root->frame.x = x;
                notes->updateGeometryInMemory(root->id, root->frame, root->docking);
            }
        }
    }
    if (topMoved) {
        // The row's bottom edge stays where it was.
        const std::optional<QUuid> rootID = chainRoot(graph, noteID, {DockEdge::Left, DockEdge::Right});
        std::optional<Note> root = rootID ? notes->note(*rootID) : std::nullopt;
        if (root && !root->isCollapsed && std::abs(start.y() - root->frame.y) > SeamResize::storeTolerance) {
            root->frame.y = start.y();
            notes->updateGeometryInMemory(root->id, root->frame, root->docking);
        }
    }
}

void NoteWorkspace::adjustVerticalSeamResize(const QUuid& noteID, const QRectF& start, const QRectF& current)
{
    NoteStore* notes = store();
    const std::optional<Note> note = notes ? notes->note(noteID) : std::nullopt;
    if (!note || note->isCollapsed)
        return;
    const SeamResize::MovedEdges moved = SeamResize::movedEdges(start, current);
    if (!moved.top && !moved.bottom)
        return;
    const double delta = moved.top ? (current.y() + current.height()) - (start.y() + start.height())
                                   : current.y() - start.y();

    std::optional<QUuid> neighbourID;
    if (note->docking && ((note->docking->edge == DockEdge::Below && moved.top)
                          || (note->docking->edge == DockEdge::Above && moved.bottom))) {
        neighbourID = note->docking->targetID;
    } else {
        const DockEdge across = moved.top ? DockEdge::Above : DockEdge::Below;
        int count = 0;
        for (const Note& other : notes->active()) {
            if (!other.isHidden && other.docking && other.docking->targetID == noteID && other.docking->edge == across) {
                neighbourID = other.id;
                ++count;
            }
        }
        if (count != 1)
            neighbourID.reset();
    }
    std::optional<Note> neighbour = neighbourID ? notes->note(*neighbourID) : std::nullopt;
    if (!neighbour || neighbour->isHidden || neighbour->isCollapsed)
        return;

    if (m_userResizeSeamNeighbor != neighbour->id || !m_userResizeSeamStartHeight) {
        m_userResizeSeamNeighbor = neighbour->id;
        m_userResizeSeamStartHeight = neighbour->frame.height;
    }
    const bool above = moved.top;
    const std::optional<double> height = SeamResize::neighbourHeight(*m_userResizeSeamStartHeight, delta, above);
    if (!height)
        return;
    WindowFrame& frame = neighbour->frame;
    if (above)
        frame.y = frame.y + frame.height - *height;
    frame.height = *height;
    notes->updateGeometryInMemory(neighbour->id, frame, neighbour->docking);
}

void NoteWorkspace::clearSelections(const QUuid& exceptNoteID)
{
    for (WorkspaceWindow* window : m_host.noteWindows()) {
        if (window->noteID() != exceptNoteID)
            window->collapseTextSelection();
    }
}

} // namespace quorrin
