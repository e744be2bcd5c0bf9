// Dragging a note with every note docked to it: docking proposals, the
// magnetic pull and latch, the feedback on both notes, and committing or
// cancelling the drag.
#include "Windows/NoteWorkspace.h"

#include "Persistence/NoteStore.h"
#include "Windows/DockingLayout.h"
#include "Windows/GroupMove.h"
#include "Windows/WindowGeometry.h"
#include "Windows/WorkspaceHost.h"
#include "Windows/WorkspaceWindow.h"

#include <cmath>
#include <functional>

namespace quorrin {

using WindowGeometry::frameOf;
using WindowGeometry::rectOf;

bool NoteWorkspace::isMovingFollower(const QUuid& noteID) const
{
    return m_movingID && *m_movingID != noteID && m_moveStartFrames.contains(noteID);
}

void NoteWorkspace::beginMove(const QUuid& noteID, std::optional<QPointF> mouseLocation, bool watchMouse,
                              std::optional<qint64> mouseDownTimestamp)
{
    if (m_isApplyingFrames || m_syncingNativeLinks || m_reflowing)
        return;
    if (m_movingID) {
        const bool samePress = !mouseDownTimestamp || mouseDownTimestamp == m_moveMouseDownTimestamp;
        if (*m_movingID == noteID && samePress && (watchMouse || !m_nativeMoveSession))
            return;
        finishMove();
    }
    NoteStore* notes = store();
    WorkspaceWindow* window = m_host.noteWindow(noteID);
    if (!notes || !window)
        return;
    m_feedbackClear.stop();
    clearSnapFeedback();

    m_movingID = noteID;
    m_nativeMoveSession = watchMouse;
    m_moveMouseDownTimestamp = mouseDownTimestamp;
    // The window manager may report a move it ran only once it is over (on
    // X11 it does): the dragged note then starts where the store has it, not
    // where its window already stands. Before the move the two agree.
    const std::optional<Note> stored = notes->note(noteID);
    const auto startOf = [&](const Note& member, const WorkspaceWindow* memberWindow) {
        if (!memberWindow || (watchMouse && member.id == noteID))
            return DockingLayout::displayedRect(rectOf(member.frame), member.isCollapsed);
        return memberWindow->frame();
    };
    m_moveStart = stored ? startOf(*stored, window) : window->frame();
    m_moveMouseStart = mouseLocation;

    QSet<QUuid> group = descendants(noteID);
    group.insert(noteID);
    if (watchMouse)
        removeManagedMoves(group);
    else
        addManagedMoves(group);

    m_moveStartFrames.clear();
    for (const QUuid& id : group) {
        const std::optional<Note> member = notes->note(id);
        if (!member)
            continue;
        const QRectF shown = startOf(*member, m_host.noteWindow(id));
        const double height = member->isCollapsed ? member->frame.height : shown.height();
        const WindowFrame start = frameOf(GroupMove::expandedWithTopKept(shown, height));
        notes->updateGeometryInMemory(id, start, member->docking);
        m_moveStartFrames.insert(id, start);
    }

    const std::optional<Note> note = notes->note(noteID);
    m_moveNoteStart = note;
    m_snapLatched = false;
    m_moveExpandedSize = note ? QSizeF(note->frame.width, note->frame.height) : m_moveStart.size();
    {
        // The dragged window moves on its own from now on.
        const bool before = m_isApplyingFrames;
        m_isApplyingFrames = true;
        unlink(noteID);
        m_isApplyingFrames = before;
    }
    m_didMove = false;
    m_pendingSnap.reset();
    if (watchMouse)
        m_moveEndTimer.start();
}

void NoteWorkspace::followNativeMove()
{
    if (!m_movingID) {
        m_moveEndTimer.stop();
        return;
    }
    // The window's latest place counts, also when the button is already up
    // (the window manager reports a move it ran only once it is over).
    const WorkspaceWindow* window = m_host.noteWindow(*m_movingID);
    if (window)
        updateMove(*m_movingID, window->frame(), std::nullopt);
    // A move from the keyboard has no button down: it lasts as long as the
    // window manager holds the window.
    if (m_movingID && m_leftMouseDown && !m_leftMouseDown() && !(window && window->isMovedByWindowManager()))
        finishMove();
}

void NoteWorkspace::moveInMemory(const Note& note, const QRectF& expanded, bool dragged)
{
    if (NoteStore* notes = store())
        notes->updateGeometryInMemory(note.id, frameOf(expanded), dragged ? std::nullopt : note.docking);
    m_knownSizes.insert(note.id, expanded.size());
    m_knownCollapsed.insert(note.id, note.isCollapsed);
}

void NoteWorkspace::updateMove(const QUuid& noteID, const QRectF& proposed, std::optional<QPointF> mouseLocation)
{
    NoteStore* notes = store();
    if (m_isApplyingFrames || m_movingID != noteID || !notes)
        return;
    const std::optional<Note> note = notes->note(noteID);
    if (!note)
        return;

    QRectF moved(proposed.topLeft(), m_moveStart.size());
    if (!m_nativeMoveSession && m_moveMouseStart && mouseLocation)
        moved = m_moveStart.translated(*mouseLocation - *m_moveMouseStart);
    if (!m_didMove) {
        if (std::hypot(moved.x() - m_moveStart.x(), moved.y() - m_moveStart.y()) < GroupMove::moveSlop)
            return;
        m_didMove = true;
    }

    std::vector<SnapTarget> targets;
    for (const Note& other : notes->active()) {
        if (m_moveStartFrames.contains(other.id))
            continue;
        const WorkspaceWindow* window = m_host.noteWindow(other.id);
        if (window && window->isVisible())
            targets.push_back({other.id, window->frame(), QSizeF(other.frame.width, other.frame.height)});
    }
    const std::optional<NoteDock> preferred =
        m_pendingSnap ? std::optional<NoteDock>(m_pendingSnap->link) : std::nullopt;
    const std::optional<SnapCandidate> candidate = SnapGeometry::candidate(
        moved, m_moveExpandedSize, note->isCollapsed, targets, SnapGeometry::defaultThreshold, preferred);
    const bool sameLink = m_snapLatched && candidate && m_pendingSnap && candidate->link == m_pendingSnap->link;
    m_snapLatched = GroupMove::latches(candidate, sameLink);
    m_pendingSnap = candidate;

    const QPointF offsetFromStart = moved.topLeft() - m_moveStart.topLeft();
    if (m_nativeMoveSession) {
        // The window manager moves the dragged window; its followers have no
        // window-system link to it here, so the workspace moves them along.
        QHash<QUuid, QRectF> followers;
        for (auto start = m_moveStartFrames.cbegin(); start != m_moveStartFrames.cend(); ++start) {
            const std::optional<Note> member = notes->note(start.key());
            if (!member)
                continue;
            const QRectF expanded = rectOf(*start).translated(offsetFromStart);
            notes->updateGeometryInMemory(member->id, frameOf(expanded),
                                          member->id == noteID ? std::nullopt : member->docking);
            if (member->id != noteID)
                followers.insert(member->id, DockingLayout::displayedRect(expanded, member->isCollapsed));
        }
        showSnapFeedback(m_pendingSnap);
        if (!followers.isEmpty())
            applyFramesTogether(followers, noteID);
        return;
    }

    const QSizeF expandedSize = m_snapLatched ? candidate->expandedSize : m_moveExpandedSize;
    QRectF displayed = moved;
    if (m_snapLatched) {
        displayed = candidate->frame;
    } else if (candidate) {
        for (const SnapTarget& target : targets) {
            if (target.id == candidate->link.targetID) {
                displayed = SnapGeometry::magneticPreview(moved, target.frame, candidate->link.edge,
                                                          candidate->distance);
                break;
            }
        }
    }
    showSnapFeedback(m_pendingSnap);

    const QRectF expanded = GroupMove::expandedWithTopKept(displayed, expandedSize.height());
    const QRectF expandedFrame(expanded.x(), expanded.y(), expandedSize.width(), expandedSize.height());
    const WorkspaceWindow* window = m_host.noteWindow(noteID);
    if (!note->docking && rectOf(note->frame) == expandedFrame && window && window->frame() == displayed)
        return;
    notes->updateGeometryInMemory(noteID, frameOf(expandedFrame), std::nullopt);
    if (note->docking)
        refreshNoteRoles();

    if (expandedSize != m_moveExpandedSize) {
        applyResizedMovePreview(noteID, displayed, expandedSize);
        return;
    }
    const QPointF offset = displayed.topLeft() - m_moveStart.topLeft();
    QHash<QUuid, QRectF> frames;
    for (auto start = m_moveStartFrames.cbegin(); start != m_moveStartFrames.cend(); ++start) {
        const std::optional<Note> member = notes->note(start.key());
        if (!member)
            continue;
        const QRectF memberFrame = rectOf(*start).translated(offset);
        moveInMemory(*member, memberFrame, member->id == noteID);
        frames.insert(member->id, DockingLayout::displayedRect(memberFrame, member->isCollapsed));
    }
    applyFramesTogether(frames, noteID);
}

void NoteWorkspace::applyResizedMovePreview(const QUuid& noteID, const QRectF& displayed, QSizeF expandedSize)
{
    NoteStore* notes = store();
    if (!notes)
        return;
    const QRectF draggedExpanded = GroupMove::expandedWithTopKept(displayed, expandedSize.height());
    QHash<QUuid, QRectF> expanded{
        {noteID, QRectF(draggedExpanded.x(), draggedExpanded.y(), expandedSize.width(), expandedSize.height())}};
    QHash<QUuid, QRectF> shown{{noteID, displayed}};
    const QPointF offset = displayed.topLeft() - m_moveStart.topLeft();
    QSet<QUuid> visiting;

    std::function<void(const QUuid&)> solve = [&](const QUuid& id) {
        if (shown.contains(id) || visiting.contains(id))
            return;
        const auto start = m_moveStartFrames.constFind(id);
        const std::optional<Note> member = notes->note(id);
        if (start == m_moveStartFrames.cend() || !member)
            return;
        visiting.insert(id);
        bool placed = false;
        if (member->docking && m_moveStartFrames.contains(member->docking->targetID)) {
            const QUuid targetID = member->docking->targetID;
            solve(targetID);
            if (expanded.contains(targetID) && shown.contains(targetID)) {
                const DockEdge edge = member->docking->edge;
                const bool side = edge == DockEdge::Left || edge == DockEdge::Right;
                const QRectF own = rectOf(*start);
                const QRectF target = expanded.value(targetID);
                const QSizeF size(side ? own.width() : target.width(), side ? target.height() : own.height());
                const DockPlacement placement =
                    DockingLayout::placedAgainst(shown.value(targetID), edge, size, member->isCollapsed);
                expanded.insert(id, placement.expanded);
                shown.insert(id, placement.displayed);
                placed = true;
            }
        }
        if (!placed) {
            const QRectF kept = rectOf(*start).translated(offset);
            expanded.insert(id, kept);
            shown.insert(id, DockingLayout::displayedRect(kept, member->isCollapsed));
        }
        visiting.remove(id);
    };
    for (auto start = m_moveStartFrames.cbegin(); start != m_moveStartFrames.cend(); ++start)
        solve(start.key());

    for (auto frame = expanded.cbegin(); frame != expanded.cend(); ++frame) {
        if (const std::optional<Note> member = notes->note(frame.key()))
            moveInMemory(*member, *frame, member->id == noteID);
    }
    applyFramesTogether(shown, noteID);
}

void NoteWorkspace::showSnapFeedback(const std::optional<SnapCandidate>& candidate)
{
    if (!candidate || !m_movingID) {
        clearSnapFeedback();
        return;
    }
    const QUuid target = candidate->link.targetID;
    for (WorkspaceWindow* window : m_host.noteWindows()) {
        if (window->noteID() != *m_movingID && window->noteID() != target)
            window->setSnapFeedback(std::nullopt, 0);
    }
    // Both notes light the seam they would share: the target on the side the
    // note docks to, the dragged note on the side facing it.
    const double strength = GroupMove::feedbackStrength(m_snapLatched, candidate->distance);
    if (WorkspaceWindow* window = m_host.noteWindow(target))
        window->setSnapFeedback(candidate->link.edge, strength);
    if (WorkspaceWindow* window = m_host.noteWindow(*m_movingID))
        window->setSnapFeedback(DockingLayout::opposite(candidate->link.edge), strength);
}

void NoteWorkspace::clearSnapFeedback()
{
    for (WorkspaceWindow* window : m_host.noteWindows())
        window->setSnapFeedback(std::nullopt, 0);
}

void NoteWorkspace::saveStore()
{
    NoteStore* notes = store();
    if (!notes)
        return;
    try {
        notes->save();
    } catch (...) {
        notes->reportError(std::current_exception());
    }
}

void NoteWorkspace::finishMove()
{
    m_moveEndTimer.stop();
    if (m_movingID) {
        const QUuid id = *m_movingID;
        if (m_nativeMoveSession) {
            if (const WorkspaceWindow* window = m_host.noteWindow(id))
                updateMove(id, window->frame(), std::nullopt);
        }
        m_movingID.reset();
        m_nativeMoveSession = false;
        m_moveMouseDownTimestamp.reset();

        NoteStore* notes = store();
        std::optional<Note> note = notes ? notes->note(id) : std::nullopt;
        if (m_didMove && note) {
            if (m_pendingSnap) {
                // The group docked to gets the frames its windows show, so
                // that the layout starts from where the user saw it.
                for (const QUuid& memberID : component(m_pendingSnap->link.targetID)) {
                    const std::optional<Note> member = notes->note(memberID);
                    const WorkspaceWindow* window = m_host.noteWindow(memberID);
                    if (m_moveStartFrames.contains(memberID) || !member || member->isHidden || !window
                        || !window->isVisible())
                        continue;
                    const QRectF shown = window->frame();
                    const double height = member->isCollapsed ? member->frame.height : shown.height();
                    notes->updateGeometryInMemory(memberID, frameOf(GroupMove::expandedWithTopKept(shown, height)),
                                                  member->docking);
                }
            }
            note = notes->note(id);
            note->docking = m_pendingSnap ? std::optional<NoteDock>(m_pendingSnap->link) : std::nullopt;
            notes->update(*note, false, false);
            reflow();
            saveStore();
        }
        addManagedMoves(QSet<QUuid>(m_moveStartFrames.keyBegin(), m_moveStartFrames.keyEnd()) << id);
        syncNativeLinks();
        m_didMove = false;
        m_pendingSnap.reset();
        m_snapLatched = false;
        m_moveNoteStart.reset();
        m_moveStartFrames.clear();
        m_feedbackClear.start();
    }
    // A screen change that arrived during the move is handled now.
    if (m_screenRecoveryPending && !m_movingID && !m_isApplyingFrames)
        screensChanged();
}

void NoteWorkspace::cancelMove()
{
    m_moveEndTimer.stop();
    if (m_movingID)
        addManagedMoves(QSet<QUuid>(m_moveStartFrames.keyBegin(), m_moveStartFrames.keyEnd()) << *m_movingID);
    NoteStore* notes = store();
    if (m_movingID && m_moveNoteStart && notes) {
        if (std::optional<Note> note = notes->note(*m_movingID)) {
            note->frame = m_moveNoteStart->frame;
            note->docking = m_moveNoteStart->docking;
            notes->update(*note, false, false);
            // The layout runs only once the drag is over.
            m_movingID.reset();
            reflow(); // places every window, the followers against the note
            saveStore();
        }
    }
    m_movingID.reset();
    m_nativeMoveSession = false;
    m_moveMouseDownTimestamp.reset();
    m_didMove = false;
    m_pendingSnap.reset();
    m_snapLatched = false;
    m_moveNoteStart.reset();
    m_moveStartFrames.clear();
    syncNativeLinks();
    m_feedbackClear.stop();
    clearSnapFeedback();
    if (m_screenRecoveryPending && !m_isApplyingFrames)
        screensChanged();
}

} // namespace quorrin
