// Links between the windows of docked notes. The X window system has no
// child windows that move with their parent, so the workspace keeps the
// relation itself: a linked window is stacked above the window of the note it
// docks to, and the workspace moves followers during drags.
#include "Windows/NoteWorkspace.h"

#include "Persistence/NoteStore.h"
#include "Windows/WorkspaceHost.h"
#include "Windows/WorkspaceWindow.h"

namespace quorrin {

namespace {

// The store's notes by id, for one pass.
QHash<QUuid, const Note*> notesByID(const NoteStore& notes)
{
    QHash<QUuid, const Note*> byID;
    byID.reserve(qsizetype(notes.notes().size()));
    for (const Note& note : notes.notes())
        byID.insert(note.id, &note);
    return byID;
}

} // namespace

std::optional<QUuid> NoteWorkspace::linkParent(const QUuid& noteID) const
{
    const auto found = m_links.constFind(noteID);
    return found == m_links.cend() ? std::nullopt : std::optional<QUuid>(*found);
}

void NoteWorkspace::unlink(const QUuid& child)
{
    if (!m_links.remove(child))
        return;
    if (WorkspaceWindow* window = m_host.noteWindow(child))
        window->setLinkParent(nullptr);
}

void NoteWorkspace::syncNativeLinks()
{
    const NoteStore* notes = store();
    if (m_movingID || m_userResizeID || m_syncingNativeLinks || !notes)
        return;
    m_syncingNativeLinks = true;
    const bool applyingBefore = m_isApplyingFrames;
    m_isApplyingFrames = true;

    const QHash<QUuid, const Note*> byID = notesByID(*notes);
    const auto shown = [&](const QUuid& id) -> WorkspaceWindow* {
        const Note* note = byID.value(id);
        if (!note || note->deletedAt || note->isHidden)
            return nullptr;
        WorkspaceWindow* window = m_host.noteWindow(id);
        return window && window->isVisible() ? window : nullptr;
    };

    // Each shown docked note is linked to its direct target, when both
    // windows are visible and the chain above the target ends without looping.
    QHash<QUuid, QUuid> desired;
    for (const Note& note : notes->notes()) {
        if (note.deletedAt || note.isHidden || !note.docking || note.docking->targetID == note.id || !shown(note.id)
            || !shown(note.docking->targetID))
            continue;
        bool clean = true;
        QSet<QUuid> seen;
        QUuid current = note.docking->targetID;
        for (;;) {
            const Note* step = byID.value(current);
            if (!step || !step->docking)
                break;
            if (step->docking->targetID == note.id || seen.contains(current)) {
                clean = false;
                break;
            }
            seen.insert(current);
            current = step->docking->targetID;
        }
        if (clean)
            desired.insert(note.id, note.docking->targetID);
    }

    for (const QUuid& child : m_links.keys()) {
        const auto wanted = desired.constFind(child);
        if (wanted == desired.cend() || *wanted != m_links.value(child) || !shown(*wanted))
            unlink(child);
    }
    // Parents first, so that every window ends above the one it docks to.
    std::vector<std::pair<int, QUuid>> byDepth;
    for (auto link = desired.cbegin(); link != desired.cend(); ++link) {
        int depth = 0;
        for (auto up = desired.constFind(link.value()); up != desired.cend() && depth <= desired.size();
             up = desired.constFind(up.value()))
            ++depth;
        byDepth.emplace_back(depth, link.key());
    }
    std::sort(byDepth.begin(), byDepth.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [depth, child] : byDepth) {
        Q_UNUSED(depth);
        const QUuid parent = desired.value(child);
        WorkspaceWindow* childWindow = shown(child);
        WorkspaceWindow* parentWindow = shown(parent);
        if (!childWindow || !parentWindow || m_links.value(child) == parent)
            continue;
        m_links.insert(child, parent);
        // Linking stacks the docked window above its target.
        childWindow->setLinkParent(parentWindow);
        m_frontStamps.insert(child, ++m_lastFrontStamp);
    }

    refreshNoteRoles();
    m_syncingNativeLinks = false;
    m_isApplyingFrames = applyingBefore;
}

void NoteWorkspace::detachNativeLinks(const QUuid& noteID)
{
    if (!m_host.noteWindow(noteID))
        return;
    for (const QUuid& child : m_links.keys()) {
        if (m_links.value(child) == noteID)
            unlink(child);
    }
    unlink(noteID);
}

void NoteWorkspace::detachAllNativeLinks()
{
    for (const QUuid& child : m_links.keys())
        unlink(child);
}

} // namespace quorrin
