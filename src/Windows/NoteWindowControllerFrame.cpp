// The note window controller's frame handling: restoring the saved frame,
// dragging and resizing the window, and keeping the stored frame in step.
#include "Windows/NoteWindowController.h"

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

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cmath>

namespace quorrin {

// ---------------------------------------------------------------- the window

void NoteWindowController::restoreSavedFrame()
{
    const std::optional<Note> note = m_store.note(m_noteID);
    if (!note || !m_panel)
        return;
    const QRectF expanded(note->frame.x, note->frame.y, note->frame.width, note->frame.height);
    const QRectF frame = note->isCollapsed ? WindowGeometry::collapsedFrame(expanded) : expanded;
    const QRectF recovered = WindowGeometry::recoveredFrame(frame, m_services.screens->visibleFrames());
    updatingFrame = true;
    m_panel->setMinimumSize(int(notewindow::minimumWidth),
                            int(note->isCollapsed ? WindowGeometry::collapsedHeight : notewindow::minimumExpandedHeight));
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
    m_drag = DragSession{m_panel->frame(), start};
    if (m_workspace)
        m_workspace->beginMove(m_noteID, start, false, qint64(event->timestamp()));
    m_pointer.start(event->timestamp());
}

void NoteWindowController::trackUserResize(QMouseEvent* event, Qt::Edges edges)
{
    if (!m_panel || !event || !edges || m_pointer.isActive() || updatingFrame)
        return;
    hideFormatBar();
    settleFrameAnimation();
    if (m_workspace)
        m_workspace->finishMove();
    userIsResizing = true;
    m_resize = ResizeSession{m_panel->frame(), WindowDragCoordinates::screenPoint(*event), edges};
    QGuiApplication::setOverrideCursor(QCursor(WindowFrameTracking::resizeCursor(edges)));
    m_pointer.start(event->timestamp());
}

void NoteWindowController::pointerMoved(QPointF point)
{
    if (m_drag) {
        m_panel->setFrame(WindowFrameTracking::movedFrame(m_drag->startFrame, m_drag->startPoint, point));
    } else if (m_resize) {
        const QSizeF minimum(m_panel->minimumSize());
        m_panel->setFrame(WindowFrameTracking::resizedFrame(m_resize->startFrame, m_resize->edges,
                                                            point - m_resize->startPoint, minimum));
    }
}

void NoteWindowController::pointerReleased(QPointF point)
{
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
    updatingFrame = true;
    m_panel->setFrame(start);
    updatingFrame = false;
    if (m_workspace)
        m_workspace->finishMove();
}

void NoteWindowController::finishUserResize()
{
    m_resize.reset();
    QGuiApplication::restoreOverrideCursor();
    if (!userIsResizing)
        return;
    userIsResizing = false;
    saveFrame();
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

void NoteWindowController::windowDidMove()
{
    if (updatingFrame || m_drag)
        return;
    const std::optional<Note> note = m_store.note(m_noteID);
    if (!note || !m_panel
        || m_panel->frame() == WindowFrameTracking::displayedFrame(note->frame, note->isCollapsed))
        return;
    saveFrame();
    if (m_workspace)
        m_workspace->geometryChanged(m_noteID, false);
}

void NoteWindowController::windowDidResize()
{
    if (updatingFrame)
        return;
    if (m_editor && m_editor->updateFormatBarPosition)
        m_editor->updateFormatBarPosition();
    if (m_drag && !userIsResizing)
        return;
    saveFrame();
    if (m_workspace)
        m_workspace->geometryChanged(m_noteID, true);
}

void NoteWindowController::saveFrame()
{
    if (updatingFrame || !m_panel)
        return;
    std::optional<Note> note = m_store.note(m_noteID);
    if (!note)
        return;
    const WindowFrame frame = WindowFrameTracking::expandedFrame(m_panel->frame(), note->frame, note->isCollapsed);
    if (frame == note->frame)
        return;
    note->frame = frame;
    m_store.update(*note, false, false);
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

    // Files on the shelf keep an otherwise empty note.
    bool discarded = false;
    try {
        if (!(fileShelf && fileShelf->hasItems()))
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
