// The note window controller's frame handling: restoring the saved frame,
// dragging and resizing the window, and keeping the stored frame in step.
#include "Windows/NoteWindowController.h"

#include "Platform/X11WindowBehaviour.h"

#include "Domain/NoteTheme.h"
#include "Domain/RichText.h"
#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Editor/ScrollOverflowHint.h"
#include "Editor/TextDocumentConversion.h"
#include "Persistence/NoteStore.h"
#include "Platform/ReducedMotion.h"
#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"
#include "Platform/WindowLevel.h"
#include "Widgets/ButtonCursorSupport.h"
#include "Windows/DesktopWindowPolicy.h"
#include "Widgets/HandCursorButton.h"
#include "Widgets/Motion.h"
#include "Windows/NoteBackground.h"
#include "Windows/NoteHeader.h"
#include "Windows/NoteWindowMetrics.h"
#include "Widgets/NoteIcons.h"
#include "Windows/StickyPanel.h"
#include "Windows/TitleFormatTarget.h"
#include "Windows/TitleText.h"
#include "Windows/TitleTextField.h"
#include "Windows/WindowDragCoordinates.h"
#include "Windows/WindowFrameTracking.h"
#include "Windows/WindowGeometry.h"
#include "Windows/WindowManagerMoveWatch.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QVariantAnimation>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cmath>

namespace quorrin {

// ---------------------------------------------------------------- the window

void NoteWindowController::restoreSavedFrame()
{
    // Read where the store holds it: a note of many blocks is not copied for its frame.
    const Note* note = m_store.findNote(m_noteID);
    if (!note || !m_panel)
        return;
    const bool collapsed = note->isCollapsed;
    const QRectF expanded(note->frame.x, note->frame.y, note->frame.width, note->frame.height);
    const QRectF frame = collapsed ? WindowGeometry::collapsedFrame(expanded) : expanded;
    const QRectF recovered = WindowGeometry::recoveredFrame(frame, m_services.screens->visibleFrames());
    updatingFrame = true;
    m_panel->setMinimumSize(int(notewindow::minimumWidth),
                            int(collapsed ? WindowGeometry::collapsedHeight : notewindow::minimumExpandedHeight));
    m_panel->setFrame(recovered);
    updatingFrame = false;
}

bool NoteWindowController::containsRelatedWindow(const QWidget* window) const
{
    for (const QWidget* current = window; current;
         current = current->parentWidget() ? current->parentWidget()->window() : nullptr) {
        if (current == m_panel.get())
            return true;
    }
    return false;
}

bool NoteWindowController::isWindowDragMouseDown(const QMouseEvent& event) const
{
    if (event.type() != QEvent::MouseButtonPress || event.button() != Qt::LeftButton || !m_panel)
        return false;
    const QPoint inWindow = event.position().toPoint();
    if (ButtonCursorSupport::buttonAt(inWindow, *m_panel))
        return false;
    const QPoint p = m_background->mapFrom(m_panel.get(), inWindow);
    const QRect bounds = m_background->rect();
    // Not within 4 pt of the left, right or top edge: those resize.
    if (!bounds.contains(p) || p.x() < 4 || p.x() > bounds.width() - 4 || p.y() < 4)
        return false;
    const QPoint inHeader = m_header->mapFrom(m_background, p);
    if (m_header->rect().contains(inHeader)) {
        const QWidget* hit = m_header->childAt(inHeader);
        while (hit && hit->parentWidget() != m_header)
            hit = hit->parentWidget();
        return !(hit && hit->isVisible());
    }
    return p.y() <= notewindow::titleBarHeight;
}

void NoteWindowController::prepareWindowDrag(const QMouseEvent& event)
{
    if (!isWindowDragMouseDown(event) || !m_panel || !m_workspace)
        return;
    m_workspace->beginMove(m_noteID, WindowDragCoordinates::screenPoint(event), false, qint64(event.timestamp()));
}

Qt::Edges NoteWindowController::resizeEdges(const QMouseEvent& event) const
{
    if (event.type() != QEvent::MouseButtonPress || event.button() != Qt::LeftButton || !m_panel)
        return {};
    const std::optional<Note> note = m_store.note(m_noteID);
    // A collapsed window is as high as its header: only its width changes.
    const bool collapsed = note && note->isCollapsed;
    return WindowFrameTracking::resizeEdgesAt(event.position(), QSizeF(m_panel->size()), !collapsed);
}

// ---------------------------------------------------------------- geometry hooks

void NoteWindowController::trackWindowDrag(QMouseEvent* event)
{
    if (!m_panel || !event || m_pointer.isActive())
        return;
    hideFormatBar();
    hideTitleFormatPanel();
    settleFrameAnimation();
    const QPointF start = WindowDragCoordinates::screenPoint(*event);
    if (m_workspace) {
        m_workspace->beginMove(m_noteID, start, false, qint64(event->timestamp()));
        // A refused move, or one the window manager runs, is not ours to follow.
        if (m_workspace->movingNote() != m_noteID || m_workspace->isNativeMove())
            return;
    }
    m_drag = DragSession{m_panel->frame(), start};
    m_pointer.start(event->timestamp());
}

void NoteWindowController::trackUserResize(QMouseEvent* event, Qt::Edges edges)
{
    if (!m_panel || !event || !edges || m_pointer.isActive() || updatingFrame)
        return;
    hideFormatBar();
    settleFrameAnimation();
    if (m_workspace && m_workspace->movingNote() && !m_workspace->isNativeMove())
        return; // a managed drag is running
    if (m_workspace)
        m_workspace->finishMove();
    userIsResizing = true;
    m_resize = ResizeSession{m_panel->frame(), WindowDragCoordinates::screenPoint(*event), edges};
    if (m_workspace) {
        // The window and its group are resized by the user, not put back.
        m_workspace->removeManagedMoves(m_workspace->component(m_noteID));
        m_workspace->beginUserResize(m_noteID, m_panel->frame());
    }
    QGuiApplication::setOverrideCursor(QCursor(WindowFrameTracking::resizeCursor(edges)));
    m_pointer.start(event->timestamp());
}

void NoteWindowController::pointerMoved(QPointF point)
{
    if (m_drag) {
        const QRectF proposed = WindowFrameTracking::movedFrame(m_drag->startFrame, m_drag->startPoint, point);
        // The workspace moves the window with the notes docked to it.
        if (m_workspace)
            m_workspace->updateMove(m_noteID, proposed, point);
        else
            m_panel->setFrame(proposed);
    } else if (m_resize) {
        const QSizeF minimum(m_panel->minimumSize());
        m_panel->setFrame(WindowFrameTracking::resizedFrame(m_resize->startFrame, m_resize->edges,
                                                            point - m_resize->startPoint, minimum));
    }
}

void NoteWindowController::pointerReleased(QPointF point)
{
    if (m_drag && m_workspace) {
        const QRectF start = m_drag->startFrame;
        m_drag.reset();
        m_workspace->updateMove(m_noteID, start, point);
        m_workspace->finishMove();
        return;
    }
    pointerMoved(point);
    if (m_drag)
        finishWindowDrag();
    else if (m_resize)
        finishUserResize();
}

void NoteWindowController::pointerCancelled()
{
    if (m_drag)
        cancelWindowDrag();
    else if (m_resize)
        finishUserResize(); // a live resize keeps what it reached
}

void NoteWindowController::finishWindowDrag()
{
    m_drag.reset();
    if (m_workspace) {
        // The workspace records where the group went.
        m_workspace->finishMove();
        return;
    }
    saveFrame();
    if (m_workspace) {
        m_workspace->geometryChanged(m_noteID, false);
        m_workspace->finishMove();
    }
}

void NoteWindowController::cancelWindowDrag()
{
    const QRectF start = m_drag->startFrame;
    m_drag.reset();
    if (m_workspace) {
        m_workspace->cancelMove();
        return;
    }
    updatingFrame = true;
    m_panel->setFrame(start);
    updatingFrame = false;
}

void NoteWindowController::finishUserResize()
{
    m_resize.reset();
    QGuiApplication::restoreOverrideCursor();
    if (!userIsResizing)
        return;
    userIsResizing = false;
    saveFrame();
    if (m_workspace) {
        m_workspace->finishUserResize(m_noteID);
        m_workspace->addManagedMoves(m_workspace->component(m_noteID));
    }
}

void NoteWindowController::endPointerSessions()
{
    m_pointer.stop();
    if (m_resize) {
        m_resize.reset();
        QGuiApplication::restoreOverrideCursor();
    }
    m_drag.reset();
}

void NoteWindowController::settleFrameAnimation()
{
    // A collapse still animating jumps to its end, so that the frame the
    // user starts from is the one that stays.
    if (m_frameAnimation)
        m_frameAnimation->setCurrentTime(m_frameAnimation->totalDuration());
}

QVariantAnimation* NoteWindowController::frameAnimation() const
{
    return m_frameAnimation;
}

bool NoteWindowController::isMovedByWindowManager() const
{
    return m_windowManagerMoves && m_windowManagerMoves->holdsWindow();
}

std::optional<QRectF> NoteWindowController::frameAnimationTarget() const
{
    if (!m_frameAnimation || m_frameAnimation->state() == QAbstractAnimation::Stopped)
        return std::nullopt;
    return m_frameAnimation->endValue().toRectF();
}

double NoteWindowController::pixelTolerance() const
{
    return WindowGeometry::pixelTolerance(m_panel ? m_panel->devicePixelRatioF() : 1.0);
}

void NoteWindowController::windowWillMove()
{
    // The window manager starts moving the window (a drag it runs itself):
    // the workspace follows it with the notes docked to it.
    if (!m_workspace || m_drag || m_resize || m_workspace->movingNote() || m_workspace->isMovingFollower(m_noteID))
        return;
    // On X11 the application never sees the press of a drag the window
    // manager runs (Alt and drag), nor the keys of one it runs from the
    // keyboard: its grab of the pointer or the keyboard tells.
    if (!X11WindowBehaviour::primaryButtonDown() && !isMovedByWindowManager())
        return;
    m_workspace->beginMove(m_noteID, std::nullopt, true, std::nullopt);
}

void NoteWindowController::windowDidMove(bool fromServer)
{
    if (updatingFrame || m_drag || (m_workspace && m_workspace->isApplyingFrames()))
        return;
    if (fromServer && m_workspace) {
        // A move the window manager runs while the button is down is the
        // user's: it is followed first, so the reconciliation below leaves
        // it alone instead of putting the window back.
        windowWillMove();
        if (m_workspace->reconcileServerMove(m_noteID))
            return;
    }
    if (m_workspace && (m_workspace->isMovingFollower(m_noteID) || m_workspace->movingNote() == m_noteID))
        return;
    // A place the window system gave the window on its own (keeping it on a
    // screen, placing windows its own way) is where the note shows, not where
    // the user put it: the stored frame stays until the user moves the note.
    if (fromServer)
        return;
    const Note* note = m_store.findNote(m_noteID);
    // Windows stand at whole pixels: within one of the stored frame is there.
    if (!note || !m_panel
        || WindowGeometry::sameFrame(m_panel->frame(), WindowFrameTracking::displayedFrame(note->frame, note->isCollapsed),
                                     pixelTolerance()))
        return;
    saveFrame();
    if (m_workspace)
        m_workspace->geometryChanged(m_noteID, false);
}

void NoteWindowController::windowDidResize(bool fromServer)
{
    // The shelf's cap follows the window's height, whoever resized it.
    updateShelfHeight();
    if (updatingFrame || (m_workspace && (m_workspace->isApplyingFrames() || m_workspace->isMovingFollower(m_noteID))))
        return;
    if (m_editor && m_editor->updateFormatBarPosition)
        m_editor->updateFormatBarPosition();
    if (fromServer && m_workspace && m_workspace->reconcileServerMove(m_noteID))
        return;
    // During a move the workspace lays the group out when it ends.
    if ((m_drag || (m_workspace && m_workspace->movingNote())) && !userIsResizing)
        return;
    saveFrame();
    if (m_workspace)
        m_workspace->geometryChanged(m_noteID, true);
}

void NoteWindowController::windowDidBecomeKey()
{
    if (!m_workspace)
        return;
    m_workspace->clearSelections(m_noteID);
    if (m_editor && m_editor->gutter)
        m_editor->gutter->update();
    m_workspace->presentAll(m_noteID, false, false);
    if (m_editor && m_editor->scheduleFormatBar)
        m_editor->scheduleFormatBar();
}

void NoteWindowController::windowDidResignKey()
{
    hideFormatBar();
    hideTitleFormatPanel();
}

void NoteWindowController::saveFrame()
{
    if (updatingFrame || !m_panel)
        return;
    const Note* current = m_store.findNote(m_noteID);
    if (!current)
        return;
    const WindowFrame frame = WindowFrameTracking::expandedFrame(m_panel->frame(), current->frame, current->isCollapsed);
    const QRectF stored(current->frame.x, current->frame.y, current->frame.width, current->frame.height);
    if (WindowGeometry::sameFrame(QRectF(frame.x, frame.y, frame.width, frame.height), stored, pixelTolerance()))
        return;
    Note note = *current; // copied only when its frame changes
    note.frame = frame;
    m_store.update(std::move(note), false, false);
}

bool NoteWindowController::windowShouldClose()
{
    dismissReminderPanel(false);
    // A drag in progress ends where the window is now; a resize is dropped.
    m_pointer.stop();
    if (m_drag)
        finishWindowDrag();
    endPointerSessions();
    if (userIsResizing) {
        userIsResizing = false;
        if (m_workspace)
            m_workspace->cancelUserResize(m_noteID);
    }
    if (m_workspace) {
        m_workspace->finishMove();
        m_workspace->detachNativeLinks(m_noteID);
    }
    endFileDropSession();
    closeBlockMenu();
    commitPendingInput();

    // Staged files keep an otherwise empty note, whichever shelf shows them:
    // a note of only an empty todo with a file must not lose the file's link.
    bool discarded = false;
    try {
        if (!(holdsStagedFiles && holdsStagedFiles()))
            discarded = m_store.discardEmptyNote(m_noteID);
        if (!discarded)
            m_store.closeAndDetachNote(m_noteID);
    } catch (...) {
        if (m_workspace)
            m_workspace->syncNativeLinks();
        reportError(std::current_exception());
        return false;
    }
    if (discarded && onDelete)
        onDelete(m_noteID);
    if (m_workspace)
        m_workspace->syncNativeLinks();
    else
        settleToDesktop();
    return true;
}

void NoteWindowController::performClose()
{
    if (windowShouldClose() && m_panel)
        m_panel->hide();
}

void NoteWindowController::settleToDesktop()
{
    temporarilyRaised = false;
    const std::optional<Note> note = m_store.note(m_noteID);
    WindowLevelAdapter::apply(*m_panel, DesktopWindowPolicy::noteLevel(note && note->alwaysOnTop));
}

} // namespace quorrin
