#pragma once

#include "Windows/NoteWindowHost.h"

#include <QSet>
#include <QTimer>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>

namespace quorrin {

class GradualPresentation;
class NoteStore;
class ScreenProvider;
class WorkspaceHost;
class WorkspaceWindow;

// Whether the note is docked to another (secondary) or, undocked, has at
// least one shown note docked to it (primary). Never both.
struct NoteRole {
    bool secondary = false;
    bool primary = false;

    friend bool operator==(const NoteRole&, const NoteRole&) = default;
};

// Lays out every note window together: brings them all to the front and
// back to their own layers, switches the shared layer, marks docking roles
// and brings windows back onto the screens after a screen change.
//
// The workspace reaches the store and the note windows only through its host
// and does nothing when the host has no store. Main thread only: the flags
// below guard against re-entry through callbacks of windows it changes.
class NoteWorkspace final : public NoteWindowHost {
public:
    // Whether the primary mouse button is held right now.
    using MouseQuery = std::function<bool()>;
    static bool isLeftMouseButtonDown();

    // The host and the screens must outlive the workspace.
    NoteWorkspace(WorkspaceHost& host, const ScreenProvider& screens,
                  MouseQuery leftMouseDown = &NoteWorkspace::isLeftMouseButtonDown);
    ~NoteWorkspace() override;

    NoteWorkspace(const NoteWorkspace&) = delete;
    NoteWorkspace& operator=(const NoteWorkspace&) = delete;

    // Takes a note window into the workspace: its host, its level, its frame
    // recorded when it differs from the note's, and its role.
    void attach(WorkspaceWindow& window);

    // --- presentation and levels
    // Brings the note windows (hidden ones too when includeHidden, un-hiding
    // them) to the front at the floating level; the focus note ends on top
    // and, when activate, becomes key with the caret in its text.
    void presentAll(std::optional<QUuid> focus, bool activate, bool includeHidden) override;
    // Presents the shown notes as presentAll(nothing, false, false) does, but
    // makes their windows a slice per event-loop turn, those on the visible
    // screens first, and then runs `finished`. Short lists are done at once.
    void presentAllGradually(std::function<void()> finished);
    bool isPresentingGradually() const;
    // Puts every note window back to its own layer.
    void settleAll();
    // Moves every note to the floating or the desktop level once the store
    // has recorded the choice.
    void setLayerForAll(bool onTop) override;
    bool isRaised() const { return m_raised; }

    // --- roles
    NoteRole noteRole(const QUuid& noteID) const;
    void refreshNoteRoles();

    // --- screens
    // A screen was added, removed or changed: one recovery pass runs on the
    // next event-loop turn however many changes arrive before it.
    void screenParametersChanged();
    // The recovery pass: undocked notes are brought back onto the visible
    // screens and the docked ones laid out around them. Deferred while a drag
    // or a frame application runs; skipped while the left button is held.
    void screensChanged();
    bool isScreenRecoveryPending() const { return m_screenRecoveryPending; }

    // Drops all drag and resize state (after a backup was restored).
    void reset();
    // Removes every docking; the frames stay where they are.
    void detachAll();

    // --- docking layout
    // Lays out every docked chain from its root, or around `anchor`, and
    // records the result.
    void reflow(std::optional<QUuid> anchor = std::nullopt);
    bool hasConnection(const QUuid& noteID) const override;
    void geometryChanged(const QUuid& noteID, bool resized) override;

    // --- moves, resizes and window links
    void beginMove(const QUuid& noteID, QPointF mouseLocation, bool watchMouse,
                   qint64 mouseDownTimestamp) override;
    void finishMove() override;
    void cancelUserResize(const QUuid& noteID) override;
    void detachNativeLinks(const QUuid& noteID) override;
    void syncNativeLinks() override;

private:
    NoteStore* store() const;
    // Sets a window's level and lets its auxiliary panels follow the level
    // the window actually took.
    static void applyLevel(WorkspaceWindow& window, int level);
    // The level a note window has when nothing raises it.
    int ownLevel(const QUuid& noteID) const;
    void recoverOntoScreens(WorkspaceWindow& window) const;
    // Makes the note's window if needed and brings it to the front, raised.
    void presentOne(const QUuid& noteID);

    WorkspaceHost& m_host;
    const ScreenProvider& m_screens;
    MouseQuery m_leftMouseDown;
    QTimer m_screenPass;

    bool m_presenting = false;
    bool m_raised = false;
    bool m_isApplyingFrames = false;
    bool m_reflowing = false;
    bool m_screenRecoveryPending = false;
    std::optional<QUuid> m_movingID;
    // While presentAll makes windows: the notes that shown notes dock to.
    std::optional<QSet<QUuid>> m_presentedTargets;
    std::unique_ptr<GradualPresentation> m_gradual;
};

} // namespace quorrin
