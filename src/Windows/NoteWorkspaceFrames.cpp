// Placing many windows at once, and putting back windows that the window
// system moved on its own.
#include "Windows/NoteWorkspace.h"

#include "Persistence/NoteStore.h"
#include "Windows/DockingLayout.h"
#include "Windows/WindowGeometry.h"
#include "Windows/WorkspaceHost.h"
#include "Windows/WorkspaceWindow.h"

namespace quorrin {

namespace {

// Sets a flag for a scope and gives it back its earlier value, so that a
// nested application leaves the outer one's flag set.
class FlagScope {
public:
    explicit FlagScope(bool& flag)
        : m_flag(flag)
        , m_before(flag)
    {
        m_flag = true;
    }
    ~FlagScope() { m_flag = m_before; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
    bool m_before;
};

} // namespace

void NoteWorkspace::applyFramesTogether(const QHash<QUuid, QRectF>& frames, const std::optional<QUuid>& leading)
{
    FlagScope applying(m_isApplyingFrames);
    QHash<QUuid, QUuid> dockTargets;
    if (const NoteStore* notes = store()) {
        for (const Note& note : notes->notes()) {
            if (note.docking && frames.contains(note.id))
                dockTargets.insert(note.id, note.docking->targetID);
        }
    }
    for (const QUuid& id : FrameApplication::order(frames, dockTargets, leading)) {
        if (id == m_userResizeID)
            continue;
        WorkspaceWindow* window = m_host.noteWindow(id);
        if (!window)
            continue;
        const QRectF frame = frames.value(id);
        const double tolerance = WindowGeometry::pixelTolerance(window->backingScale());
        if (m_serverAnswers.isRefused(id, frame, tolerance))
            continue; // the window system keeps the window elsewhere: asking again is in vain
        // A window within a pixel of its frame is already there.
        if (WindowGeometry::sameFrame(window->frame(), frame, tolerance))
            continue;
        m_serverAnswers.requested(id, frame, tolerance);
        window->applyFrame(frame);
    }
}

bool NoteWorkspace::isInNativeDrag(const QUuid& noteID) const
{
    return m_nativeMoveSession && (m_movingID == noteID || m_moveStartFrames.contains(noteID));
}

void NoteWorkspace::handleServerGeometryEvent(const QUuid& noteID, const std::function<void()>& dispatch)
{
    WorkspaceWindow* window = m_host.noteWindow(noteID);
    if (!m_managedMoveIDs.contains(noteID) || !store() || !window || window->isUserResizing()
        || isInNativeDrag(noteID)) {
        dispatch();
        return;
    }
    {
        FlagScope applying(m_isApplyingFrames);
        dispatch();
    }
    reconcileServerMove(noteID);
    if (m_screenRecoveryPending && !m_isApplyingFrames)
        screensChanged();
}

bool NoteWorkspace::reconcileServerMove(const QUuid& noteID)
{
    WorkspaceWindow* window = m_host.noteWindow(noteID);
    // Every report of the window system answers the frame last asked for.
    if (window && !m_isApplyingFrames)
        m_serverAnswers.answered(noteID, window->frame(), WindowGeometry::pixelTolerance(window->backingScale()));

    if (m_isApplyingFrames || isInNativeDrag(noteID))
        return false;
    NoteStore* notes = store();
    const std::optional<Note> note = notes ? notes->note(noteID) : std::nullopt;
    if (!note || note->deletedAt || note->isHidden || !window || !window->isVisible() || window->isUserResizing())
        return false;
    if (!m_managedMoveIDs.contains(noteID)) {
        // Where the window system put the window on its own is where it
        // stays, while the store keeps the note's frame: the layout does not
        // ask for that frame again until the user moves the note.
        m_serverAnswers.imposed(noteID, DockingLayout::displayedRect(WindowGeometry::rectOf(note->frame), note->isCollapsed),
                                window->frame(), WindowGeometry::pixelTolerance(window->backingScale()));
        return false;
    }

    QSet<QUuid> group = descendants(noteID);
    group.insert(noteID);
    QHash<QUuid, const Note*> stored;
    for (const Note& candidate : notes->notes()) {
        if (group.contains(candidate.id) && !stored.contains(candidate.id))
            stored.insert(candidate.id, &candidate);
    }

    QHash<QUuid, QRectF> expected;
    bool strays = false;
    for (const QUuid& id : group) {
        const Note* member = stored.value(id);
        WorkspaceWindow* memberWindow = m_host.noteWindow(id);
        if (!member || member->isHidden || !memberWindow || !memberWindow->isVisible())
            continue;
        const QRectF frame = DockingLayout::displayedRect(
            QRectF(member->frame.x, member->frame.y, member->frame.width, member->frame.height), member->isCollapsed);
        const double tolerance = WindowGeometry::pixelTolerance(memberWindow->backingScale());
        if (m_serverAnswers.isRefused(id, frame, tolerance))
            continue; // the window system keeps the window elsewhere: it stays there
        expected.insert(id, frame);
        if (!WindowGeometry::sameFrame(memberWindow->frame(), frame, tolerance))
            strays = true;
    }
    if (!strays)
        return false;
    applyFramesTogether(expected, noteID);
    return true;
}

void NoteWorkspace::addManagedMoves(const QSet<QUuid>& noteIDs)
{
    m_managedMoveIDs.unite(noteIDs);
}

void NoteWorkspace::removeManagedMoves(const QSet<QUuid>& noteIDs)
{
    m_managedMoveIDs.subtract(noteIDs);
}

} // namespace quorrin
