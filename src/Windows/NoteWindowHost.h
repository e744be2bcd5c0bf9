#pragma once

#include <QPointF>
#include <QRectF>
#include <QSet>
#include <QUuid>

#include <functional>
#include <optional>

namespace quorrin {

// What a note window asks of the workspace that lays out every note window.
// The workspace gives itself to each window it attaches (and takes itself
// back before it goes away); a window without one manages its own level.
class NoteWindowHost {
public:
    virtual ~NoteWindowHost() = default;

    // --- moves and resizes
    // Starts a move session for a mouse-down that begins a window drag (or,
    // with `watchMouse`, a drag the window manager runs); the location is in
    // model screen coordinates, the time in milliseconds.
    virtual void beginMove(const QUuid& noteID, std::optional<QPointF> mouseLocation, bool watchMouse,
                           std::optional<qint64> mouseDownTimestamp) = 0;
    // One step of the drag: the pointer is at `mouseLocation`, the window
    // would be at `proposed`.
    virtual void updateMove(const QUuid& noteID, const QRectF& proposed, std::optional<QPointF> mouseLocation) = 0;
    // Ends any move session in progress and commits it.
    virtual void finishMove() = 0;
    // Ends any move session in progress and puts the note back.
    virtual void cancelMove() = 0;
    // The note moves with the note being dragged.
    virtual bool isMovingFollower(const QUuid& noteID) const = 0;
    // The note being dragged, if any, and whether the window manager moves it.
    virtual std::optional<QUuid> movingNote() const = 0;
    virtual bool isNativeMove() const = 0;

    // A live resize of the note's window by the user starts and ends.
    virtual void beginUserResize(const QUuid& noteID, const QRectF& startFrame) = 0;
    virtual void finishUserResize(const QUuid& noteID) = 0;
    // Abandons the live resize of that note, if it is the one being resized.
    virtual void cancelUserResize(const QUuid& noteID) = 0;
    // A note window became key: every other note loses its text selection.
    virtual void clearSelections(const QUuid& exceptNoteID) = 0;

    // --- parent/child links between docked windows
    // Unlinks one note's window from its parent and its children.
    virtual void detachNativeLinks(const QUuid& noteID) = 0;
    // Re-derives every link from the docking graph.
    virtual void syncNativeLinks() = 0;

    // --- docking layout
    // Whether the note is docked to another or has notes docked to it.
    virtual bool hasConnection(const QUuid& noteID) const = 0;
    // The note's window changed its frame (resized or not).
    virtual void geometryChanged(const QUuid& noteID, bool resized) = 0;

    // --- the window system's own moves
    // Whether the workspace is placing windows itself right now: the window
    // callbacks this fires are not the user's.
    virtual bool isApplyingFrames() const = 0;
    // Wraps the standard handling (`dispatch`) of a move or screen change the
    // window system made to the note's window.
    virtual void handleServerGeometryEvent(const QUuid& noteID, const std::function<void()>& dispatch) = 0;
    // Puts the note's window and the notes docked to it back where the layout
    // says when the window system moved them on its own; answers whether it
    // moved any window.
    virtual bool reconcileServerMove(const QUuid& noteID) = 0;
    // The window geometry of these notes is kept where the layout says.
    virtual void addManagedMoves(const QSet<QUuid>& noteIDs) = 0;
    virtual void removeManagedMoves(const QSet<QUuid>& noteIDs) = 0;
    // The root of the note's docking chain and everything docked to it.
    virtual QSet<QUuid> component(const QUuid& noteID) const = 0;

    // --- presentation and levels
    // Brings the note windows to the front at the top level.
    virtual void presentAll(std::optional<QUuid> focus, bool activate, bool includeHidden) = 0;
    // Moves every note to the top or the desktop level and stores the choice.
    virtual void setLayerForAll(bool onTop) = 0;
};

} // namespace quorrin
