#pragma once

#include "Core/Time/RestartableTimer.h"
#include "Domain/Note.h"
#include "Windows/FrameApplication.h"
#include "Windows/NoteWindowHost.h"
#include "Windows/SnapGeometry.h"

#include <QSet>
#include <QHash>
#include <QRectF>
#include <QSizeF>
#include <QTimer>
#include <QUuid>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace quorrin {

class GradualPresentation;
class DockingGraph;
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
    // `burstTimer` runs the pass that ends a burst of presentations; an
    // event-loop timer when not given.
    NoteWorkspace(WorkspaceHost& host, const ScreenProvider& screens,
                  MouseQuery leftMouseDown = &NoteWorkspace::isLeftMouseButtonDown,
                  std::unique_ptr<RestartableTimer> burstTimer = nullptr);
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
    // A presentAll while the windows are being made brings its focus note
    // forward at once (activating it when asked) and leaves the full pass,
    // with that focus, to the end of the presentation.
    void presentAllGradually(std::function<void()> finished);
    bool isPresentingGradually() const;
    // Presents as presentAll does, once for a burst of requests that arrive
    // together (hand-overs from other programs, each of which must bring
    // every note forward): each request brings its focus note forward at
    // once (the burst's first also activates it when asked), and the pass
    // over every note runs once no further request came for `burstQuiet`,
    // with the last focus, activated when a later request asked for it and
    // hidden notes included when any request asked for them. A presentAll
    // meanwhile joins the burst, activating its focus at once when asked.
    void presentAllForBurst(std::optional<QUuid> focus, bool activate, bool includeHidden);
    static constexpr std::chrono::milliseconds burstQuiet{150};
    bool isBurstPending() const { return m_burstTimer->isPending(); }
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
    // or a frame application runs, or until the left button is released.
    void screensChanged();
    bool isScreenRecoveryPending() const { return m_screenRecoveryPending; }

    // Drops all drag, resize and link state and what the last layout knew
    // (after a backup was restored).
    void reset();
    // Removes every docking; the frames stay where they are.
    void detachAll();

    // --- docking layout
    // Lays out every docked chain from its root, or around `anchor` (which
    // keeps its top-left corner while its group moves around it), records
    // the frames that changed and places the windows.
    void reflow(std::optional<QUuid> anchor = std::nullopt);
    bool hasConnection(const QUuid& noteID) const override;
    // Every live note docked directly or transitively to the note.
    QSet<QUuid> descendants(const QUuid& noteID) const;
    // The root of the note's chain and everything docked to it.
    QSet<QUuid> component(const QUuid& noteID) const override;
    // After a window's size or collapsed state changed (the store already
    // holds its new frame): the new size goes along its row and column, then
    // the groups are laid out again, around the note when it collapsed or
    // expanded.
    void geometryChanged(const QUuid& noteID, bool resized) override;

    // --- placing windows
    // Sets each note's window to its displayed frame in one step, every
    // docked note after the note it docks to; the note the user is resizing
    // keeps its frame.
    void applyFramesTogether(const QHash<QUuid, QRectF>& frames, const std::optional<QUuid>& leading);
    bool isApplyingFrames() const override { return m_isApplyingFrames; }
    void handleServerGeometryEvent(const QUuid& noteID, const std::function<void()>& dispatch) override;
    bool reconcileServerMove(const QUuid& noteID) override;
    // Notes whose windows the workspace keeps where the layout says when the
    // window system moves them.
    void addManagedMoves(const QSet<QUuid>& noteIDs) override;
    void removeManagedMoves(const QSet<QUuid>& noteIDs) override;
    const QSet<QUuid>& managedMoveIDs() const { return m_managedMoveIDs; }

    // --- moving a note with the notes docked to it
    // Starts a drag of the note and its followers. A managed drag (the
    // note's own drag tracking) moves every window from the mouse; a drag the
    // window manager runs (`watchMouse`) is followed on a timer until the
    // button is released. No timestamp or the same one as the running drag's
    // counts as the same press.
    void beginMove(const QUuid& noteID, std::optional<QPointF> mouseLocation, bool watchMouse,
                   std::optional<qint64> mouseDownTimestamp) override;
    // One drag step: only the origin of `proposed` counts.
    void updateMove(const QUuid& noteID, const QRectF& proposed, std::optional<QPointF> mouseLocation) override;
    // Ends the drag: the proposal becomes the note's docking, the groups are
    // laid out again and the store is saved once.
    void finishMove() override;
    // Ends the drag and puts the note back as it was.
    void cancelMove() override;
    // A note that moves with the note being dragged (never the dragged one).
    bool isMovingFollower(const QUuid& noteID) const override;
    std::optional<QUuid> movingNote() const override { return m_movingID; }
    bool isNativeMove() const override { return m_nativeMoveSession; }
    // The follow timer's step of a drag the window manager runs.
    void followNativeMove();

    // --- live resizes by the user
    void beginUserResize(const QUuid& noteID, const QRectF& startFrame) override;
    void finishUserResize(const QUuid& noteID) override;
    void cancelUserResize(const QUuid& noteID) override;
    // Ends the selections of every other note (a note window became key).
    void clearSelections(const QUuid& exceptNoteID) override;

    // --- links between docked windows
    void detachNativeLinks(const QUuid& noteID) override;
    void syncNativeLinks() override;
    // The window a note's window is linked to, if any.
    std::optional<QUuid> linkParent(const QUuid& noteID) const;

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
    // presentAll's pass. With `keepOrdered`, the windows that the workspace
    // itself last ordered front, in the presented order and at the top level,
    // are left where they are: the pass ends with the same stacking without
    // making the window system uncover and repaint each of them again.
    void present(std::optional<QUuid> focus, bool activate, bool includeHidden, bool keepOrdered);
    // Orders the window front and records when, for `present`.
    void orderFront(WorkspaceWindow& window);
    // The docking graph of the store's notes (deleted ones too unless
    // liveOnly); an empty one without a store.
    DockingGraph dockingGraph(bool liveOnly) const;
    // The live notes that dock to another or have one docked to them, each
    // docked chain laid out. Every other note stays where it is in a layout.
    DockingGraph solvedDockedGroups() const;
    // Records a reflow's frames and what it leaves each note's size and
    // collapsed state at.
    void persistLayout(const DockingGraph& graph);
    // Whether the note belongs to the native drag running now.
    bool isInNativeDrag(const QUuid& noteID) const;
    // Keeps the far edge of a user-resized chain in place and lets a single
    // neighbour across a moved top or bottom edge give or take the height.
    void anchorUserResizeEdge(const QUuid& noteID);
    void adjustVerticalSeamResize(const QUuid& noteID, const QRectF& start, const QRectF& current);
    void clearUserResize();
    // Ends every parent/child link between note windows.
    void detachAllNativeLinks();
    void unlink(const QUuid& child);

    // Drag internals.
    void applyResizedMovePreview(const QUuid& noteID, const QRectF& displayed, QSizeF expandedSize);
    void showSnapFeedback(const std::optional<SnapCandidate>& candidate);
    void clearSnapFeedback();
    // Writes a member's frame in memory while a drag runs and records what
    // the layout now knows of it.
    void moveInMemory(const Note& note, const QRectF& expanded, bool dragged);
    void saveStore();
    // A pass over every note left for later: its focus and whether it
    // includes the hidden notes.
    struct DeferredPresentation {
        std::optional<QUuid> focus;
        bool includeHidden = false;
    };
    // Brings the focus note forward now (activating it when `activateNow`)
    // and (re)starts the wait for the end of the burst, whose pass activates
    // its focus when a request asked for that later.
    void joinBurst(std::optional<QUuid> focus, bool activateNow, bool activateAtEnd, bool includeHidden);
    // Brings the focus note forward now and leaves the pass over every note
    // to `deferred`.
    void deferPresentation(DeferredPresentation& deferred, std::optional<QUuid> focus, bool activate,
                           bool includeHidden);

    WorkspaceHost& m_host;
    const ScreenProvider& m_screens;
    MouseQuery m_leftMouseDown;
    QTimer m_screenPass;

    bool m_presenting = false;
    bool m_raised = false;
    bool m_isApplyingFrames = false;
    bool m_reflowing = false;
    bool m_syncingNativeLinks = false;
    bool m_screenRecoveryPending = false;

    // The drag running now, if any.
    std::optional<QUuid> m_movingID;
    // While presentAll makes windows: the notes that shown notes dock to.
    std::optional<QSet<QUuid>> m_presentedTargets;
    std::unique_ptr<GradualPresentation> m_gradual;
    // When the workspace last ordered each note's window front (larger is
    // later); forgotten whenever the windows change level together.
    QHash<QUuid, quint64> m_frontStamps;
    quint64 m_lastFrontStamp = 0;
    // A presentation asked for while the windows are still being made: it
    // runs as the final pass once they all exist.
    DeferredPresentation m_deferredPresentation;
    // The pass a burst of presentations still owes, run by m_burstTimer.
    DeferredPresentation m_burstPresentation;
    bool m_burstActivates = false; // a request after the burst's first asked to activate
    std::unique_ptr<RestartableTimer> m_burstTimer;
    QRectF m_moveStart;
    std::optional<QPointF> m_moveMouseStart;
    QSizeF m_moveExpandedSize;
    bool m_didMove = false;
    std::optional<SnapCandidate> m_pendingSnap;
    bool m_snapLatched = false;
    QTimer m_feedbackClear;
    std::optional<Note> m_moveNoteStart;
    QTimer m_moveEndTimer;
    std::optional<qint64> m_moveMouseDownTimestamp;
    bool m_nativeMoveSession = false;
    QHash<QUuid, WindowFrame> m_moveStartFrames;
    QSet<QUuid> m_managedMoveIDs;

    // What the last reflow left each note at.
    QHash<QUuid, QSizeF> m_knownSizes;
    QHash<QUuid, bool> m_knownCollapsed;

    // The live resize running now, if any.
    std::optional<QUuid> m_userResizeID;
    std::optional<QRectF> m_userResizeStartFrame;
    std::optional<QUuid> m_userResizeSeamNeighbor;
    std::optional<double> m_userResizeSeamStartHeight;

    ServerAnswers m_serverAnswers;
    // Docked note -> the note its window is kept above.
    QHash<QUuid, QUuid> m_links;
};

} // namespace quorrin
