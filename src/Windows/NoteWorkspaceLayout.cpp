// The docking layout, drags, seam resizing and window links of the workspace.
// Until the docking layout is built, notes keep the frames they have: a
// reflow only brings the role marks up to date.
#include "Windows/NoteWorkspace.h"

#include "Persistence/NoteStore.h"

#include <algorithm>

namespace quorrin {

void NoteWorkspace::reflow(std::optional<QUuid> anchor)
{
    Q_UNUSED(anchor);
    if (m_movingID || m_reflowing || m_isApplyingFrames || !store())
        return;
    m_reflowing = true;
    refreshNoteRoles();
    m_reflowing = false;
}

bool NoteWorkspace::hasConnection(const QUuid& noteID) const
{
    const NoteStore* notes = store();
    if (!notes)
        return false;
    if (const Note* note = notes->findNote(noteID); note && note->docking)
        return true;
    const std::vector<Note>& all = notes->notes();
    return std::any_of(all.begin(), all.end(), [&](const Note& other) {
        return !other.deletedAt && other.docking && other.docking->targetID == noteID;
    });
}

void NoteWorkspace::geometryChanged(const QUuid& noteID, bool resized)
{
    Q_UNUSED(noteID);
    Q_UNUSED(resized);
}

void NoteWorkspace::beginMove(const QUuid& noteID, QPointF mouseLocation, bool watchMouse,
                              qint64 mouseDownTimestamp)
{
    Q_UNUSED(noteID);
    Q_UNUSED(mouseLocation);
    Q_UNUSED(watchMouse);
    Q_UNUSED(mouseDownTimestamp);
}

void NoteWorkspace::finishMove()
{
    // A screen change that arrived during the move is handled now.
    if (m_screenRecoveryPending && !m_movingID && !m_isApplyingFrames)
        screensChanged();
}

void NoteWorkspace::cancelUserResize(const QUuid& noteID)
{
    Q_UNUSED(noteID);
}

void NoteWorkspace::detachNativeLinks(const QUuid& noteID)
{
    Q_UNUSED(noteID);
}

void NoteWorkspace::syncNativeLinks() {}

} // namespace quorrin
