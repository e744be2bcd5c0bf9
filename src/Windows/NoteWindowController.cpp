#include "Windows/NoteWindowController.h"

#include "Domain/NoteTheme.h"
#include "Domain/RichText.h"
#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Editor/ScrollOverflowHint.h"
#include "Editor/TextFormatPanel.h"
#include "Editor/TextDocumentConversion.h"
#include "Persistence/NoteStore.h"
#include "Platform/DialogFolder.h"
#include "Platform/FocusReturn.h"
#include "Platform/QtScreenProvider.h"
#include "Platform/ReducedMotion.h"
#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"
#include "Platform/WindowLevel.h"
#include "Platform/X11WindowBehaviour.h"
#include "Widgets/ButtonCursorSupport.h"
#include "Windows/DesktopWindowPolicy.h"
#include "Widgets/HandCursorButton.h"
#include "Widgets/Motion.h"
#include "Windows/NoteBackground.h"
#include "Windows/NoteDialogs.h"
#include "Windows/NoteHeader.h"
#include "Windows/NoteWindowMetrics.h"
#include "Widgets/NoteIcons.h"
#include "Windows/StickyPanel.h"
#include "Windows/TitleFormatTarget.h"
#include "Windows/TitleText.h"
#include "Windows/TitleTextField.h"
#include "Windows/WindowGeometry.h"
#include "Windows/WindowManagerMoveWatch.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace quorrin {

TextFont NoteWindowController::titleTextFont()
{
    return TextFont::system(15.5, true);
}

QFont NoteWindowController::titleFont()
{
    QFont font = QApplication::font();
    font.setPointSizeF(15.5);
    font.setWeight(QFont::DemiBold);
    return font;
}

NoteWindowController::NoteWindowController(NoteStore& store, const Note& note, Services services,
                                           QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_noteID(note.id)
    , m_services(std::move(services))
{
    if (!m_services.screens)
        m_services.screens = std::make_shared<QtScreenProvider>();
    if (!m_services.prefersReducedMotion) {
        auto motion = std::make_shared<ReducedMotion>();
        m_services.prefersReducedMotion = [motion] { return motion->isPreferred(); };
    }
    if (!m_services.confirmDeletion)
        m_services.confirmDeletion = [this] { return notedialogs::askDeletion(panel()); };
    if (!m_services.chooseOpacity)
        m_services.chooseOpacity = [this](int current) {
            return notedialogs::askOpacity(panel(), current, m_background->isComposited());
        };
    if (!m_services.dialogFolder)
        m_services.dialogFolder = std::make_shared<DialogFolder>();
    if (!m_services.chooseAttachments) {
        m_services.chooseAttachments = [this, folder = m_services.dialogFolder] {
            return notedialogs::askAttachments(panel(), *folder);
        };
    }

    if (!m_services.parts.makeFormatPanel) {
        m_services.parts.makeFormatPanel = [this](BlockEditor& editor) -> std::unique_ptr<FormatPanel> {
            auto panel = std::make_unique<TextFormatPanel>(&editor);
            panel->reducedMotion = [this] { return reducedMotion(); };
            return panel;
        };
    }
    if (!m_services.parts.makeTitleFormatPanel) {
        m_services.parts.makeTitleFormatPanel = [this](TextFormatTarget& target) -> std::unique_ptr<FormatPanel> {
            auto panel = std::make_unique<TextFormatPanel>(&target);
            panel->reducedMotion = [this] { return reducedMotion(); };
            return panel;
        };
    }

    m_pointer.onMove = [this](QPointF point) { pointerMoved(point); };
    m_pointer.onRelease = [this](QPointF point) { pointerReleased(point); };
    m_pointer.onCancel = [this] { pointerCancelled(); };

    buildPanel();

    // The editor's text goes into the note as the user types; the window
    // follows every announced change of its own note, or of all notes.
    connect(&m_store, &NoteStore::notesChanged, this, [this](std::optional<QUuid> id) {
        if (!id || *id == m_noteID)
            refresh();
    });

    // The editor shows and hides its body's panel from here on; it is made
    // on its first need (a selection, a formatting command), not per window.
    m_editor->buildFormatPanel = [this] { formatPanel(); };

    m_editor->textView()->setFocus();
    restoreSavedFrame();
    refresh();
    if (persistFileReferences)
        persistFileReferences();
}

NoteWindowController::~NoteWindowController()
{
    endPointerSessions();
    dismissReminderPanel(false);
    disconnect(m_titleSelectionObserver);
    if (m_titleFormatPanel) {
        m_titleFormatPanel->retarget(nullptr);
        m_titleFormatPanel->orderOut();
    }
    if (m_formatPanel)
        m_formatPanel->orderOut();
    if (m_frameAnimation)
        m_frameAnimation->stop();
    // The editor and the views go with the panel; nothing they emit or call
    // back may reach us. (Destroying the panel moves the focus out of the
    // text, which writes it back and would update our title.)
    m_titleLabel->disconnect(this);
    m_editor->onTitleChange = nullptr;
    m_editor->hideFormatBar = nullptr;
    m_editor->buildFormatPanel = nullptr;
    m_panel.reset();
}

void NoteWindowController::buildPanel()
{
    m_panel = std::make_unique<StickyPanel>();
    m_panel->setMinimumSize(int(notewindow::minimumWidth), int(notewindow::minimumExpandedHeight));
    m_panel->setAccessibleName(QStringLiteral("Quorrin"));
    // A stable, unique role names the note's window to the session manager
    // (and to anything else inspecting the desktop, such as the desktop tests).
    m_panel->setWindowRole(QStringLiteral("note-") + m_noteID.toString(QUuid::WithoutBraces).toUpper());
    const QPointer<NoteWindowController> self(this);
    m_panel->onWindowDragMouseDown = [self](QMouseEvent* event) {
        if (!self)
            return false;
        const Qt::Edges edges = self->resizeEdges(*event);
        if (!edges && !self->isWindowDragMouseDown(*event))
            return false;
        if (!self->m_panel->isActiveWindow())
            self->m_panel->activateWindow();
        if (edges)
            self->trackUserResize(event, edges);
        else
            self->trackWindowDrag(event);
        return true;
    };
    // Moves and resizes of the window, whoever makes them; the window
    // manager's own moves are told by its grabs, watched from now on, and
    // followed while it holds the window.
    m_panel->installEventFilter(this);
    m_windowManagerMoves = new WindowManagerMoveWatch(*m_panel, [self] {
        if (self)
            self->windowWillMove();
    });
    // The keyboard never stays with nobody: when this note closes, the note
    // active before it takes it; when a window opened for no note in
    // particular closes, the most recently active note does.
    FocusReturn::fallBackTo(*m_panel);
    FocusReturn::watch(*m_panel);
    // The close command of a frameless window.
    auto* close = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), m_panel.get());
    close->setContext(Qt::WindowShortcut);
    connect(close, &QShortcut::activated, this, &NoteWindowController::performClose);

    auto* panelLayout = new QVBoxLayout(m_panel.get());
    panelLayout->setContentsMargins(0, 0, 0, 0);
    m_background = new NoteBackground(m_panel.get());
    panelLayout->addWidget(m_background);
    m_background->prefersReducedMotion = [self] { return self && self->reducedMotion(); };
    m_background->setComposited(m_services.desktopComposites ? m_services.desktopComposites()
                                                              : X11WindowBehaviour::compositingManagerRunning());
    m_background->onWindowDrag = [self](QMouseEvent* event) {
        if (self)
            self->trackWindowDrag(event);
    };
    m_background->installEventFilter(this);
    buildCloseButton();

    auto* content = new QVBoxLayout(m_background);
    content->setContentsMargins(0, int(notewindow::titleBarHeight), 0, 0);
    content->setSpacing(0);

    m_header = new NoteHeader(m_background);
    m_header->setFixedHeight(int(notewindow::headerHeight));
    m_header->onDrag = [self](QMouseEvent* event) {
        if (self)
            self->trackWindowDrag(event);
    };
    auto* headerRow = new QHBoxLayout;
    headerRow->setContentsMargins(12, 0, 10, 0);
    headerRow->addWidget(m_header);
    content->addLayout(headerRow);
    buildHeader();

    m_editor = new BlockEditor(m_store, m_noteID, m_background);
    content->addWidget(m_editor, 1);
    m_editor->onTitleChange = [self] {
        if (self)
            self->updateTitle();
    };
    m_editor->prefersReducedMotion = [self] { return self && self->m_services.prefersReducedMotion(); };
    // The editor's own hiding (pending show cancelled, typing pause ended)
    // runs first, then the window's panel goes.
    m_editor->hideFormatBar = [self, hideEditorBar = m_editor->hideFormatBar] {
        if (hideEditorBar)
            hideEditorBar();
        if (self && self->m_formatPanel)
            self->m_formatPanel->hide();
    };
    if (ScrollOverflowHint* hint = m_editor->scrollHint()) {
        hint->setParent(m_background);
        hint->setFixedSize(hint->sizeHint());
        hint->raise();
        m_editor->installEventFilter(this);
    }
    m_panel->setFocusProxy(m_editor->textView());
    m_editor->textView()->installEventFilter(this);
    if (m_services.parts.installFileShelves)
        m_services.parts.installFileShelves(*this);
}

void NoteWindowController::buildCloseButton()
{
    // A frameless window has no title bar button of the window manager's:
    // this one runs the same close rule as Ctrl+W.
    m_closeButton = new HandCursorButton(m_background);
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    m_closeButton->setGeometry(notewindow::closeButtonGeometry);
    m_closeButton->setIcon(NoteIcons::icon(NoteSymbol::XMark));
    m_closeButton->setIconSize(QSize(9, 9));
    m_closeButton->setTintColor(SystemColor::secondaryLabel());
    m_closeButton->setToolTip(QStringLiteral("关闭"));
    m_closeButton->setAccessibleName(QStringLiteral("关闭"));
    connect(m_closeButton, &QAbstractButton::clicked, this, &NoteWindowController::performClose);
}

void NoteWindowController::buildHeader()
{
    const QPointer<NoteWindowController> self(this);
    auto* row = new QHBoxLayout(m_header);
    row->setContentsMargins(3, 0, 2, 0);
    row->setSpacing(0);

    m_titleLabel = new TitleTextField(m_header);
    m_titleLabel->setAccessibleName(QStringLiteral("便笺名称，仅手动命名"));
    m_titleLabel->setToolTip(QStringLiteral("点击编辑名称，正文不会自动成为名称"));
    m_titleLabel->setFont(titleFont());
    m_titleLabel->setPlaceholderText(QStringLiteral("输入便笺名称"));
    QPalette palette = m_titleLabel->palette();
    QColor placeholder = notewindow::resolved(SystemColor::label(), *m_titleLabel);
    placeholder.setAlphaF(0.45f);
    palette.setColor(QPalette::PlaceholderText, placeholder);
    m_titleLabel->setPalette(palette);
    const int placeholderWidth =
        int(std::ceil(QFontMetricsF(titleFont()).horizontalAdvance(m_titleLabel->placeholderText())));
    m_titleLabel->setMinimumWidth(placeholderWidth + 10);
    m_titleLabel->setFixedHeight(QFontMetrics(titleFont()).height() + 2);
    m_titleLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_titleLabel->onEdit = [self] {
        if (self)
            self->beginTitleEditing();
    };
    connect(m_titleLabel, &TitleTextField::editingBegan, this, &NoteWindowController::beginTitleEditing);
    connect(m_titleLabel, &TitleTextField::edited, this, &NoteWindowController::titleEditingChanged);
    connect(m_titleLabel, &TitleTextField::editingEnded, this, &NoteWindowController::titleEditingEnded);
    // Return or Tab in the title: typing goes on in the text.
    connect(m_titleLabel, &TitleTextField::leaving, this, [this] { m_editor->textView()->setFocus(Qt::TabFocusReason); });
    m_titleLabel->installEventFilter(this);
    row->addWidget(m_titleLabel, 1, Qt::AlignVCenter);
    row->addSpacing(8);

    const auto makeButton = [this, row] {
        auto* button = new HandCursorButton(m_header);
        // Clicked only: a button holding the keyboard unseen would take the
        // next Space.
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(notewindow::headerButtonSize);
        row->addWidget(button, 0, Qt::AlignVCenter);
        return button;
    };
    m_layerButton = makeButton();
    m_layerButton->setIconSize(QSize(12, 12));
    m_layerButton->setCheckable(true);
    connect(m_layerButton, &QAbstractButton::clicked, this, &NoteWindowController::toggleLayer);
    row->addSpacing(1);
    m_collapse = makeButton();
    m_collapse->setIconSize(QSize(14, 14));
    m_collapse->setTintColor(SystemColor::secondaryLabel());
    connect(m_collapse, &QAbstractButton::clicked, this, &NoteWindowController::toggleCollapse);
    row->addSpacing(1);
    m_menuButton = makeButton();
    m_menuButton->setIcon(NoteIcons::icon(NoteSymbol::Ellipsis));
    m_menuButton->setIconSize(QSize(15, 15));
    m_menuButton->setTintColor(SystemColor::secondaryLabel());
    m_menuButton->setToolTip(QStringLiteral("便笺操作"));
    m_menuButton->setAccessibleName(QStringLiteral("便笺操作"));
    connect(m_menuButton, &QAbstractButton::clicked, this, &NoteWindowController::showMenu);
}

bool NoteWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_background && event->type() == QEvent::Resize)
        || (watched == m_editor && (event->type() == QEvent::Move || event->type() == QEvent::Resize)))
        layoutScrollHint();
    if (watched == m_background && event->type() == QEvent::Resize)
        layoutFileDrop();
    if (watched == m_panel.get()) {
        switch (event->type()) {
        case QEvent::Move:
            windowDidMove(event->spontaneous());
            break;
        case QEvent::Resize:
            windowDidResize(event->spontaneous());
            break;
        case QEvent::WindowActivate:
            windowDidBecomeKey();
            break;
        case QEvent::WindowDeactivate:
            windowDidResignKey();
            break;
        case QEvent::Hide:
            // A drag or resize whose window goes away ends as a cancel.
            if (m_pointer.isActive()) {
                m_pointer.stop();
                pointerCancelled();
            }
            break;
        default:
            break;
        }
    }
    if (event->type() == QEvent::KeyPress && (watched == m_titleLabel || (m_editor && watched == m_editor->textView()))
        && formatShortcut(static_cast<const QKeyEvent&>(*event)))
        return true;
    return QObject::eventFilter(watched, event);
}

void NoteWindowController::layoutScrollHint()
{
    ScrollOverflowHint* hint = m_editor ? m_editor->scrollHint() : nullptr;
    if (!hint || hint->parentWidget() != m_background)
        return;
    // In the band the text keeps free at its top, never over the header.
    hint->move((m_background->width() - hint->width()) / 2,
               m_editor->mapTo(m_background, QPoint(0, 0)).y() + ScrollOverflowHint::bandMargin);
    hint->raise();
}

// ---------------------------------------------------------------- the window

void NoteWindowController::commitPendingInput()
{
    if (m_titleLabel->isEditing()) {
        // Leaving the field ends the edit, which stores the title.
        m_editor->textView()->setFocus();
        m_titleLabel->endEditing();
    }
    m_editor->textView()->unmarkText();
    // A window whose text is as it was shown, or as typing last wrote it
    // back, has nothing to write back: with many notes, quitting then reads
    // back only the ones typed in, and a long note typed in is not read back
    // again whenever the application settles its windows.
    m_editor->flushEdits();
}

void NoteWindowController::showReminder(const QUuid& blockID, const ReminderCallbacks& callbacks)
{
    const std::optional<Note> note = m_store.note(m_noteID);
    if (!note)
        return;
    const auto block = std::find_if(note->blocks.begin(), note->blocks.end(),
                                    [&](const Block& candidate) { return candidate.id == blockID; });
    if (block == note->blocks.end() || block->kind != BlockKind::Todo || !block->todo
        || block->todo->isCompleted || block->isArchived())
        return;
    commitPendingInput();
    closeBlockMenu();
    // A caret already in the todo stays where it is, for the typing that
    // follows once the panel closes; from elsewhere it moves to the todo.
    if (m_editor->currentBlock() == blockID)
        m_editor->textView()->ensureCursorVisible();
    else
        m_editor->focus(blockID, false);
    hideFormatBar();
    hideTitleFormatPanel();
    dismissReminderPanel(false);

    const auto& ranges = m_editor->ranges();
    const auto range = std::find_if(ranges.begin(), ranges.end(), [&](const TextRun& run) {
        return run.blockID == blockID && !run.isRemarks;
    });
    if (range == ranges.end() || !m_services.parts.makeReminderPanel)
        return;
    m_reminderPanel = m_services.parts.makeReminderPanel(*m_editor, blockID, callbacks);
    if (!m_reminderPanel)
        return;
    const QPointer<NoteWindowController> self(this);
    NoteReminderPanel* opened = m_reminderPanel.get();
    m_reminderPanel->onDismiss = [self, opened] {
        // Only this very panel clears the reference; it goes on the next turn,
        // outside the panel's own call.
        if (self && self->m_reminderPanel.get() == opened)
            QTimer::singleShot(0, self.data(), [self, opened] {
                if (self && self->m_reminderPanel.get() == opened)
                    self->m_reminderPanel.reset();
            });
    };
    // Working in the note's panel is working in the note: the note comes up
    // with it, as when the note itself takes the keyboard. Some window
    // managers (xfwm4, KWin) hand the keyboard to another of our windows on
    // the way, whose activation lets the notes settle to their own level and
    // takes the panel, kept in its note's layer, down with it.
    m_reminderPanel->onActivated = [self] {
        if (self && self->m_workspace)
            self->m_workspace->presentAll(self->m_noteID, false, false);
    };
    QRectF line = m_editor->firstLineRect(range->start, range->length);
    line.translate(-m_editor->textView()->horizontalScrollBar()->value(),
                   -m_editor->textView()->verticalScrollBar()->value());
    m_reminderPanel->show(line, *m_editor->textView()->viewport());
}

// ---------------------------------------------------------------- refresh and title

void NoteWindowController::refresh()
{
    const std::optional<Note> note = m_store.note(m_noteID);
    if (!note || !m_panel)
        return;
    const NoteTheme theme = noteColor::theme(note->color);
    m_background->setColor(noteColor::color(note->color));
    m_background->setOpacity(note->opacity);
    m_background->setAccentColor(theme.accent);
    m_background->updatePrimaryAccent(false);

    if (FormatPanel* panel = builtFormatPanel())
        panel->refreshBar();

    WindowLevelAdapter::apply(*m_panel, DesktopWindowPolicy::noteLevel(note->alwaysOnTop || temporarilyRaised));
    if (!m_layerToggleAnimating)
        updateLayerButtonAppearance(note->alwaysOnTop);

    // A block menu shows the block as it was: it goes when the note changes.
    closeBlockMenu();
    m_editor->render(false);
    updateTitle();
    if (syncFilePresentation)
        syncFilePresentation();

    if (m_reminderPanel)
        m_reminderPanel->refreshFromModel();

    if (note->isCollapsed) {
        dismissReminderPanel(true);
        hideFormatBar();
        hideTitleFormatPanel();
    }

    const bool layoutChanges = m_lastCollapsed != note->isCollapsed;
    if (layoutChanges)
        applyCollapsedLayout(*note);

    if (m_workspace)
        m_workspace->geometryChanged(m_noteID, layoutChanges);
}

void NoteWindowController::applyCollapsedLayout(const Note& note)
{
    const bool collapsed = note.isCollapsed;
    const QString label = collapsed ? QStringLiteral("展开便笺") : QStringLiteral("折叠便笺");
    m_collapse->setIcon(NoteIcons::icon(collapsed ? NoteSymbol::RectangleExpandVertical
                                                  : NoteSymbol::RectangleCompressVertical));
    m_collapse->setToolTip(label);
    m_collapse->setAccessibleName(label);

    updatingFrame = true;
    const double targetHeight =
        collapsed ? WindowGeometry::collapsedHeight : std::max(note.frame.height, notewindow::minimumExpandedHeight);
    const QSize minimum(int(notewindow::minimumWidth),
                        int(collapsed ? WindowGeometry::collapsedHeight : notewindow::minimumExpandedHeight));
    if (collapsed)
        closeBlockMenu();
    if (fileShelf)
        fileShelf->setVisible(!collapsed && fileShelf->wantedHeight() > 0);
    updateShelfHeight();
    m_editor->setVisible(!collapsed);

    const QRectF current = m_panel->frame();
    const QRectF target(current.x(), current.y() + current.height() - targetHeight, note.frame.width, targetHeight);
    const bool animate = m_lastCollapsed.has_value() && m_panel->isVisible()
        && !(m_workspace && m_workspace->hasConnection(m_noteID)) && !reducedMotion();
    m_lastCollapsed = collapsed;

    if (m_frameAnimation)
        m_frameAnimation->stop();
    if (!animate) {
        m_panel->setMinimumSize(minimum);
        m_panel->setFrame(target);
        updatingFrame = false;
        return;
    }
    // The window passes through every height between the two: an expanding
    // one takes its larger minimum only once it got there.
    m_panel->setMinimumSize(minimum.boundedTo(m_panel->minimumSize()));
    auto* animation = new QVariantAnimation(this);
    animation->setDuration(notewindow::collapseDurationMs);
    animation->setEasingCurve(Motion::easeOut());
    animation->setStartValue(current);
    animation->setEndValue(target);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { m_panel->setFrame(value.toRectF()); });
    connect(animation, &QVariantAnimation::finished, this, [this, target, minimum] {
        m_panel->setMinimumSize(minimum);
        m_panel->setFrame(target);
        updatingFrame = false;
    });
    m_frameAnimation = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void NoteWindowController::updateTitle()
{
    // Called after every write-back: the note is read in place, not copied,
    // and read again after the field, whose changes may reach the store.
    if (!m_store.findNote(m_noteID))
        return;
    if (!m_titleLabel->isEditing()) {
        const Note& note = *m_store.findNote(m_noteID);
        const AttributedString rich = note.customTitleRich ? note.customTitleRich->attributed() : AttributedString();
        const AttributedString title = rich.isEmpty() ? rich : TitleText::sanitized(rich, titleTextFont());
        if (!title.isEmpty())
            m_titleLabel->setAttributedValue(title);
        else
            m_titleLabel->setPlainValue(note.customTitle.value_or(QString()), titleFont(),
                                        notewindow::resolved(SystemColor::label(), *m_titleLabel));
    }
    if (const Note* note = m_store.findNote(m_noteID))
        m_panel->setWindowTitle(TitleText::windowTitle(*note));
}

void NoteWindowController::updateLayerButtonAppearance(bool top)
{
    const notewindow::LayerAppearance appearance = notewindow::layerAppearance(top);
    m_layerButton->setIcon(NoteIcons::icon(appearance.symbol));
    m_layerButton->setTintColor(appearance.tint);
    m_layerButton->setChecked(top);
    m_layerButton->setToolTip(appearance.label);
    m_layerButton->setAccessibleName(appearance.label);
}

void NoteWindowController::setRole(bool secondary, bool primary)
{
    if (secondary != m_isSecondary) {
        m_isSecondary = secondary;
        m_layerButton->setVisible(!secondary);
    }
    m_collapse->setVisible(true);
    if (primary != m_isPrimary) {
        m_isPrimary = primary;
        m_background->setPrimary(primary);
    }
}

FormatPanel* NoteWindowController::formatPanel()
{
    if (!m_formatPanel && m_services.parts.makeFormatPanel) {
        m_formatPanel = m_services.parts.makeFormatPanel(*m_editor);
        if (m_formatPanel) {
            auto* lifetime = dynamic_cast<QObject*>(m_formatPanel.get());
            m_editor->setFormatPanel(m_formatPanel.get(), lifetime ? lifetime : this);
            m_formatPanel->prepareHidden(*m_panel);
            m_formatPanel->refreshBar();
        }
    }
    return m_formatPanel.get();
}

TextFormatTarget* NoteWindowController::formatTarget() const
{
    if (m_titleLabel->isEditing() && m_titleFormatTarget && m_titleFormatTarget->editor == m_titleLabel)
        return m_titleFormatTarget.get();
    return m_editor;
}

bool NoteWindowController::formatShortcut(const QKeyEvent& event)
{
    if (event.modifiers() != Qt::ControlModifier)
        return false;
    TextFormatTarget* target = formatTarget();
    if (!target)
        return false;
    switch (event.key()) {
    case Qt::Key_B: target->toggleBold(); break;
    case Qt::Key_I: target->toggleItalic(); break;
    case Qt::Key_U: target->toggleUnderline(); break;
    default: return false;
    }
    if (target != m_editor && m_titleFormatPanel)
        m_titleFormatPanel->refreshBar();
    return true;
}

void NoteWindowController::beginTitleEditing()
{
    if (!m_titleLabel->isEditing())
        return;
    hideFormatBar();
    const QRectF titleOnScreen(m_titleLabel->mapToGlobal(QPoint(0, 0)), QSizeF(m_titleLabel->size()));
    if (m_titleFormatTarget && m_titleFormatTarget->editor == m_titleLabel && m_titleFormatPanel) {
        // The session runs already: show its panel again.
        m_titleFormatPanel->retarget(m_titleFormatTarget.get());
        m_titleFormatPanel->refreshBar();
        m_titleFormatPanel->show(titleOnScreen, *m_panel);
        return;
    }
    const std::optional<Note> note = m_store.note(m_noteID);
    const NoteTheme theme = note ? noteColor::theme(note->color) : NoteTheme::neutral();
    m_titleFormatTarget = std::make_unique<TitleFormatTarget>(m_titleLabel, theme, titleTextFont());
    if (m_titleFormatPanel) {
        m_titleFormatPanel->retarget(m_titleFormatTarget.get());
        m_titleFormatPanel->refreshBar();
    } else if (m_services.parts.makeTitleFormatPanel) {
        m_titleFormatPanel = m_services.parts.makeTitleFormatPanel(*m_titleFormatTarget);
    }

    QPalette palette = m_titleLabel->palette();
    QColor selection = notewindow::resolved(theme.accent, *m_titleLabel);
    selection.setAlphaF(0.2f);
    palette.setColor(QPalette::Highlight, selection);
    palette.setColor(QPalette::HighlightedText, palette.color(QPalette::Text));
    m_titleLabel->setPalette(palette);

    m_pendingTitleSource = m_titleLabel->attributedValue();
    disconnect(m_titleSelectionObserver);
    m_titleSelectionObserver = connect(m_titleLabel, &QTextEdit::selectionChanged, this, [this] {
        if (m_titleFormatPanel)
            m_titleFormatPanel->refreshBar();
    });
    if (m_titleFormatPanel) {
        m_titleFormatPanel->show(titleOnScreen, *m_panel);
        m_titleFormatPanel->refreshBar();
    }
}

void NoteWindowController::titleEditingChanged()
{
    m_pendingTitleSource = m_titleLabel->attributedValue();
    if (m_titleFormatPanel)
        m_titleFormatPanel->refreshBar();
}

void NoteWindowController::titleEditingEnded()
{
    disconnect(m_titleSelectionObserver);
    m_titleSelectionObserver = {};
    AttributedString source = m_titleLabel->attributedValue();
    // An edit that ends blank after showing text (the field was emptied by
    // the system, not by typing) keeps the last text seen.
    if (source.string().trimmed().isEmpty() && m_pendingTitleSource
        && !m_pendingTitleSource->string().trimmed().isEmpty())
        source = *m_pendingTitleSource;
    m_pendingTitleSource.reset();
    hideTitleFormatPanel();
    if (m_titleFormatPanel)
        m_titleFormatPanel->retarget(nullptr);
    m_titleFormatTarget.reset();
    persistTitle(source);
    QTimer::singleShot(0, this, &NoteWindowController::updateTitle);
}

void NoteWindowController::persistTitle(const AttributedString& source)
{
    const TitleText::Rename rename = TitleText::rename(source, titleTextFont());
    m_editor->change(notewindow::renameActionName, [&rename](Note& note) {
        note.customTitle = rename.plain;
        note.customTitleRich.reset();
        if (rename.rich)
            note.customTitleRich = RichText(*rename.rich);
    });
    updateTitle();
}

// ---------------------------------------------------------------- seams

void NoteWindowController::hideTitleFormatPanel()
{
    if (m_titleFormatPanel)
        m_titleFormatPanel->hide();
}

void NoteWindowController::dismissReminderPanel(bool animated)
{
    if (m_reminderPanel)
        m_reminderPanel->dismiss(animated, false, true);
}

void NoteWindowController::endFileDropSession()
{
    if (fileDrop)
        fileDrop->end();
}

void NoteWindowController::closeBlockMenu()
{
    if (m_editor && m_editor->closeBlockMenu)
        m_editor->closeBlockMenu();
}

void NoteWindowController::hideFormatBar()
{
    if (m_editor && m_editor->hideFormatBar)
        m_editor->hideFormatBar();
}

bool NoteWindowController::reducedMotion() const
{
    return m_services.prefersReducedMotion() || !m_store.preferences().animations;
}

void NoteWindowController::reportError(std::exception_ptr error)
{
    m_store.reportError(std::move(error));
}

} // namespace quorrin
