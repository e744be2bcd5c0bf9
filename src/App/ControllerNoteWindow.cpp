#include "App/ControllerNoteWindow.h"

#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Persistence/NoteStore.h"
#include "Platform/AttentionRequest.h"
#include "Platform/WindowLevel.h"
#include "Windows/NoteBackground.h"
#include "Windows/NoteHeader.h"
#include "Windows/StickyPanel.h"
#include "Windows/WindowGeometry.h"

#include <QApplication>

#include <utility>

namespace quorrin {

namespace {

void applyLevelTo(QWidget* window, int level)
{
    if (window)
        WindowLevelAdapter::apply(*window, level);
}

template <typename Panel> QWidget* widgetOf(Panel* panel)
{
    return dynamic_cast<QWidget*>(panel);
}

} // namespace

ControllerNoteWindow::ControllerNoteWindow(std::unique_ptr<NoteWindowController> controller, QObject* parent)
    : RegisteredNoteWindow(parent)
    , m_controller(std::move(controller))
{
    const QPointer<ControllerNoteWindow> self(this);
    m_controller->onDelete = [self](const QUuid& id) {
        if (self && self->onDelete)
            self->onDelete(id);
    };
    m_controller->header()->onTextDrop = [self](const QString& text) {
        if (self && self->onTextDrop)
            self->onTextDrop(text);
    };
    archive = [self](const QUuid& blockID) {
        if (BlockEditor* editor = self ? self->editor() : nullptr)
            editor->archive(blockID);
    };
}

ControllerNoteWindow::~ControllerNoteWindow() = default;

NoteRegistryServices::WindowFactory ControllerNoteWindow::factory(NoteWindowController::Services services)
{
    return [services](NoteStore& store, const Note& note) -> std::unique_ptr<RegisteredNoteWindow> {
        return std::make_unique<ControllerNoteWindow>(std::make_unique<NoteWindowController>(store, note, services));
    };
}

void ControllerNoteWindow::commitPendingInput()
{
    m_controller->commitPendingInput();
}

void ControllerNoteWindow::setDemandsAttention(bool demands)
{
    QWidget* panel = m_controller->panel();
    if (!panel)
        return;
    // The desktop only marks a window it manages: a window not shown yet
    // takes the request once it is first drawn.
    const bool wasPending = m_pendingAttention;
    m_pendingAttention = demands && !panel->isVisible();
    if (m_pendingAttention) {
        if (!wasPending)
            panel->installEventFilter(this);
        return;
    }
    if (wasPending)
        panel->removeEventFilter(this);
    quorrin::setDemandsAttention(*panel, demands);
}

bool ControllerNoteWindow::eventFilter(QObject* watched, QEvent* event)
{
    QWidget* panel = m_controller->panel();
    if (m_pendingAttention && watched == panel && event->type() == QEvent::Paint) {
        m_pendingAttention = false;
        panel->removeEventFilter(this);
        quorrin::setDemandsAttention(*panel, true);
    }
    return RegisteredNoteWindow::eventFilter(watched, event);
}

void ControllerNoteWindow::restoreSavedFrame()
{
    m_controller->restoreSavedFrame();
}

QString ControllerNoteWindow::windowTitle() const
{
    const std::optional<Note> note = m_controller->store().note(m_controller->noteID());
    return note ? note->title() : QString();
}

bool ControllerNoteWindow::panelContains(const QPoint& globalPoint) const
{
    auto contains = [&](const QWidget* panel, bool needsMouse) {
        return panel && panel->isVisible() && !(needsMouse && panel->testAttribute(Qt::WA_TransparentForMouseEvents))
            && panel->frameGeometry().contains(globalPoint);
    };
    // The body's bar lets clicks through while it is fading out.
    return contains(widgetOf(m_controller->builtFormatPanel()), true)
        || contains(widgetOf(m_controller->titleFormatPanel()), false)
        || contains(widgetOf(m_controller->reminderPanel()), false);
}

bool ControllerNoteWindow::containsRelatedWindow(const QWidget* window) const
{
    return m_controller->containsRelatedWindow(window);
}

void ControllerNoteWindow::dismissReminderPanel()
{
    if (NoteReminderPanel* panel = m_controller->reminderPanel())
        panel->dismiss(true, false, false);
}

void ControllerNoteWindow::prepareWindowDrag(const QWidget& window, const QMouseEvent& event)
{
    if (&window == m_controller->panel())
        m_controller->prepareWindowDrag(event);
}

QUuid ControllerNoteWindow::noteID() const
{
    return m_controller->noteID();
}

bool ControllerNoteWindow::isKeyWindow() const
{
    const QWidget* key = QApplication::activeWindow();
    return key && key == m_controller->panel();
}

BlockEditor* ControllerNoteWindow::editor() const
{
    return m_controller->editor();
}

void ControllerNoteWindow::archiveBlock(const QUuid& blockID)
{
    if (archive)
        archive(blockID);
}

void ControllerNoteWindow::showReminder(const QUuid& blockID, const ReminderCallbacks& callbacks)
{
    m_controller->showReminder(blockID, callbacks);
}

NoteWindowHost* ControllerNoteWindow::host() const
{
    return m_controller->workspace();
}

void ControllerNoteWindow::setHost(NoteWindowHost* host)
{
    m_controller->setWorkspace(host);
    StickyPanel* panel = m_controller->panel();
    if (!panel)
        return;
    panel->noteID = host ? std::optional<QUuid>(noteID()) : std::nullopt;
    if (!host) {
        panel->onServerEvent = nullptr;
        return;
    }
    const QUuid id = noteID();
    panel->onServerEvent = [host, id](StickyPanel::ServerEvent, const std::function<void()>& dispatch) {
        host->handleServerGeometryEvent(id, dispatch);
    };
}

QRectF ControllerNoteWindow::frame() const
{
    // A window collapsing or expanding is laid out where it settles, so that
    // neither a layout pass nor a window-system report puts it there early.
    if (const std::optional<QRectF> target = m_controller->frameAnimationTarget())
        return *target;
    const StickyPanel* panel = m_controller->panel();
    return panel ? panel->frame() : QRectF();
}

void ControllerNoteWindow::applyFrame(const QRectF& frame)
{
    StickyPanel* panel = m_controller->panel();
    // The window stands at whole pixels: a frame within one of it is where
    // the window already is (or where its collapse is taking it). Checked
    // first: a layout pass asks every window.
    if (!panel || WindowGeometry::sameFrame(this->frame(), frame, WindowGeometry::pixelTolerance(backingScale())))
        return;
    const Note* note = m_controller->store().findNote(noteID());
    if (!note)
        return;
    // Somewhere else entirely: the collapse ends first, then the window goes.
    m_controller->settleFrameAnimation();
    const bool collapsed = note->isCollapsed;
    // Restored, not cleared: the controller may be changing its frame itself.
    const bool wasUpdating = std::exchange(m_controller->updatingFrame, true);
    panel->setMinimumSize(int(WindowGeometry::minimumWidth),
                          int(collapsed ? WindowGeometry::collapsedHeight : WindowGeometry::minimumExpandedHeight));
    panel->setFrame(frame);
    m_controller->updatingFrame = wasUpdating;
}

void ControllerNoteWindow::saveFrame()
{
    m_controller->saveFrame();
}

bool ControllerNoteWindow::isVisible() const
{
    const StickyPanel* panel = m_controller->panel();
    return panel && panel->isVisible();
}

bool ControllerNoteWindow::isUserResizing() const
{
    return m_controller->userIsResizing;
}

bool ControllerNoteWindow::isMovedByWindowManager() const
{
    return m_controller->isMovedByWindowManager();
}

double ControllerNoteWindow::backingScale() const
{
    const StickyPanel* panel = m_controller->panel();
    return panel ? panel->devicePixelRatioF() : 1.0;
}

int ControllerNoteWindow::level() const
{
    const StickyPanel* panel = m_controller->panel();
    return panel ? WindowLevelAdapter::levelOf(*panel) : windowLevel::normal;
}

void ControllerNoteWindow::setLevel(int level)
{
    applyLevelTo(m_controller->panel(), level);
}

void ControllerNoteWindow::setPanelLevels(int formatPanelLevel, int reminderPanelLevel)
{
    applyLevelTo(widgetOf(m_controller->builtFormatPanel()), formatPanelLevel);
    applyLevelTo(widgetOf(m_controller->titleFormatPanel()), formatPanelLevel);
    applyLevelTo(widgetOf(m_controller->reminderPanel()), reminderPanelLevel);
}

bool ControllerNoteWindow::isTemporarilyRaised() const
{
    return m_controller->temporarilyRaised;
}

void ControllerNoteWindow::setTemporarilyRaised(bool raised)
{
    m_controller->temporarilyRaised = raised;
}

void ControllerNoteWindow::orderFrontRegardless()
{
    if (StickyPanel* panel = m_controller->panel()) {
        panel->show();
        panel->raise();
    }
}

void ControllerNoteWindow::makeKeyAndFocusText()
{
    StickyPanel* panel = m_controller->panel();
    if (!panel)
        return;
    panel->activateWindow();
    if (BlockEditor* text = editor(); text && text->textView())
        text->textView()->setFocus(Qt::ActiveWindowFocusReason);
}

void ControllerNoteWindow::setRole(bool secondary, bool primary)
{
    m_controller->setRole(secondary, primary);
}

void ControllerNoteWindow::refresh()
{
    m_controller->refresh();
}

void ControllerNoteWindow::setSnapFeedback(std::optional<DockEdge> edge, double strength)
{
    if (NoteBackground* background = m_controller->background()) {
        background->setSnapEdge(edge);
        background->setSnapStrength(strength);
    }
}

void ControllerNoteWindow::setLinkParent(WorkspaceWindow* parent)
{
    // A docked window stays directly above the window it docks to.
    StickyPanel* panel = m_controller->panel();
    if (parent && panel && panel->isVisible())
        panel->raise();
}

void ControllerNoteWindow::collapseTextSelection()
{
    BlockEditor* text = editor();
    BlockTextView* view = text ? text->textView() : nullptr;
    if (!view)
        return;
    QTextCursor cursor = view->textCursor();
    if (!cursor.hasSelection())
        return;
    cursor.setPosition(cursor.selectionEnd());
    view->setTextCursor(cursor);
}

} // namespace quorrin
