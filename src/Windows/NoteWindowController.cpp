#include "Windows/NoteWindowController.h"

#include "Domain/NoteTheme.h"
#include "Domain/RichText.h"
#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Editor/ScrollOverflowHint.h"
#include "Editor/TextDocumentConversion.h"
#include "Persistence/NoteStore.h"
#include "Platform/QtScreenProvider.h"
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
#include "Widgets/NoteIcons.h"
#include "Windows/StickyPanel.h"
#include "Windows/TitleFormatTarget.h"
#include "Windows/TitleText.h"
#include "Windows/TitleTextField.h"
#include "Windows/WindowDragCoordinates.h"
#include "Windows/WindowFrameTracking.h"
#include "Windows/WindowGeometry.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QScrollBar>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cmath>

namespace quorrin {

namespace {

constexpr double titleBarHeight = 23;  // the transparent strip above the header
constexpr double headerHeight = 28;
constexpr QSize headerButtonSize{26, 28};
constexpr double minimumWidth = 250;
constexpr double minimumExpandedHeight = 160;
constexpr int collapseDurationMs = 200;
constexpr int layerIconDurationMs = 160;
constexpr double layerIconShift = 4;

const QString renameActionName = QStringLiteral("重命名便笺");

QColor resolved(const DynamicColor& color, const QWidget& widget)
{
    return toQColor(color, SystemAppearance::of(widget.palette()));
}

struct LayerAppearance {
    NoteSymbol symbol;
    QString label;
    DynamicColor tint;
};

LayerAppearance layerAppearance(bool top)
{
    if (top)
        return {NoteSymbol::ArrowUpToLine, QStringLiteral("所有便笺当前置顶；点击切换到桌面底层"),
                SystemColor::controlAccent()};
    return {NoteSymbol::ArrowDownToLine, QStringLiteral("所有便笺当前在桌面底层；点击切换到最上层"),
            SystemColor::secondaryLabel()};
}

std::optional<int> askOpacity(int current)
{
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("背景透明度"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* message = new QLabel(QStringLiteral("<b>背景透明度</b>"));
    auto* informative = new QLabel(QStringLiteral("文字和控件保持清晰。范围 20–100%。"));
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(20, 100);
    slider->setFixedSize(250, 25);
    slider->setValue(current);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("应用"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(message);
    layout->addWidget(informative);
    layout->addWidget(slider);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return slider->value();
}

bool askDeletion()
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("删除这张便笺？"),
                    QStringLiteral("删除这张便笺？"));
    box.setInformativeText(QStringLiteral("只有此操作会将便笺移至最近删除。关闭或退出会保留有内容的便笺；空白草稿不保存。"));
    QPushButton* remove = box.addButton(QStringLiteral("删除便笺"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(remove);
    box.exec();
    return box.clickedButton() == remove;
}

QStringList askAttachments()
{
    QFileDialog dialog(nullptr, QStringLiteral("选择图片或 PDF"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("插入"));
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

} // namespace

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
        m_services.confirmDeletion = askDeletion;
    if (!m_services.chooseOpacity)
        m_services.chooseOpacity = askOpacity;
    if (!m_services.chooseAttachments)
        m_services.chooseAttachments = askAttachments;

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

    m_editor->textView()->setFocus();
    restoreSavedFrame();
    refresh();
}

NoteWindowController::~NoteWindowController()
{
    endPointerSessions();
    dismissReminderPanel(false);
    disconnect(m_titleSelectionObserver);
    if (m_titleFormatPanel)
        m_titleFormatPanel->orderOut();
    if (m_frameAnimation)
        m_frameAnimation->stop();
    // The editor and the views go with the panel; nothing they emit or call
    // back may reach us. (Destroying the panel moves the focus out of the
    // text, which writes it back and would update our title.)
    m_titleLabel->disconnect(this);
    m_editor->onTitleChange = nullptr;
    m_editor->hideFormatBar = nullptr;
    m_panel.reset();
}

void NoteWindowController::buildPanel()
{
    m_panel = std::make_unique<StickyPanel>();
    m_panel->setMinimumSize(int(minimumWidth), int(minimumExpandedHeight));
    m_panel->setAccessibleName(QStringLiteral("Quorrin"));
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
    // Moves and resizes of the window, whoever makes them.
    m_panel->installEventFilter(this);
    // The close command of a frameless window.
    auto* close = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), m_panel.get());
    close->setContext(Qt::WindowShortcut);
    connect(close, &QShortcut::activated, this, &NoteWindowController::performClose);

    auto* panelLayout = new QVBoxLayout(m_panel.get());
    panelLayout->setContentsMargins(0, 0, 0, 0);
    m_background = new NoteBackground(m_panel.get());
    panelLayout->addWidget(m_background);
    m_background->prefersReducedMotion = [self] { return self && self->reducedMotion(); };
    m_background->onWindowDrag = [self](QMouseEvent* event) {
        if (self)
            self->trackWindowDrag(event);
    };
    m_background->installEventFilter(this);

    auto* content = new QVBoxLayout(m_background);
    content->setContentsMargins(0, int(titleBarHeight), 0, 0);
    content->setSpacing(0);

    m_header = new NoteHeader(m_background);
    m_header->setFixedHeight(int(headerHeight));
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
        hint->setFixedSize(96, 14);
        hint->raise();
    }
    m_panel->setFocusProxy(m_editor->textView());
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
    QColor placeholder = resolved(SystemColor::label(), *m_titleLabel);
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
    row->addWidget(m_titleLabel, 1, Qt::AlignVCenter);
    row->addSpacing(8);

    const auto makeButton = [this, row] {
        auto* button = new HandCursorButton(m_header);
        button->setFixedSize(headerButtonSize);
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
    if (watched == m_background && event->type() == QEvent::Resize)
        layoutScrollHint();
    if (watched == m_panel.get() && event->type() == QEvent::Move)
        windowDidMove();
    if (watched == m_panel.get() && event->type() == QEvent::Resize)
        windowDidResize();
    return QObject::eventFilter(watched, event);
}

void NoteWindowController::layoutScrollHint()
{
    ScrollOverflowHint* hint = m_editor ? m_editor->scrollHint() : nullptr;
    if (!hint || hint->parentWidget() != m_background)
        return;
    hint->move((m_background->width() - hint->width()) / 2, 12);
    hint->raise();
}

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
    m_panel->setMinimumSize(int(minimumWidth),
                            int(note->isCollapsed ? WindowGeometry::collapsedHeight : minimumExpandedHeight));
    m_panel->setFrame(recovered);
    updatingFrame = false;
}

void NoteWindowController::commitPendingInput()
{
    if (m_titleLabel->isEditing()) {
        // Leaving the field ends the edit, which stores the title.
        m_editor->textView()->setFocus();
        m_titleLabel->endEditing();
    }
    m_editor->textView()->unmarkText();
    m_editor->flush();
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
    QRectF line = m_editor->firstLineRect(range->start, range->length);
    line.translate(-m_editor->textView()->horizontalScrollBar()->value(),
                   -m_editor->textView()->verticalScrollBar()->value());
    m_reminderPanel->show(line, *m_editor->textView()->viewport());
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
    return p.y() <= titleBarHeight;
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

    if (NoteFormatPanel* panel = formatPanel())
        panel->refreshBar();

    WindowLevelAdapter::apply(*m_panel, DesktopWindowPolicy::noteLevel(note->alwaysOnTop || temporarilyRaised));
    if (!m_layerToggleAnimating)
        updateLayerButtonAppearance(note->alwaysOnTop);

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
        collapsed ? WindowGeometry::collapsedHeight : std::max(note.frame.height, minimumExpandedHeight);
    m_panel->setMinimumSize(int(minimumWidth),
                            int(collapsed ? WindowGeometry::collapsedHeight : minimumExpandedHeight));
    if (collapsed)
        closeBlockMenu();
    if (fileShelf && collapsed)
        fileShelf->hide();
    m_editor->setVisible(!collapsed);

    const QRectF current = m_panel->frame();
    const QRectF target(current.x(), current.y() + current.height() - targetHeight, note.frame.width, targetHeight);
    const bool animate = m_lastCollapsed.has_value() && m_panel->isVisible()
        && !(m_workspace && m_workspace->hasConnection(m_noteID)) && !reducedMotion();
    m_lastCollapsed = collapsed;

    if (m_frameAnimation)
        m_frameAnimation->stop();
    if (!animate) {
        m_panel->setFrame(target);
        updatingFrame = false;
        return;
    }
    auto* animation = new QVariantAnimation(this);
    animation->setDuration(collapseDurationMs);
    animation->setEasingCurve(Motion::easeOut());
    animation->setStartValue(current);
    animation->setEndValue(target);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { m_panel->setFrame(value.toRectF()); });
    connect(animation, &QVariantAnimation::finished, this, [this, target] {
        m_panel->setFrame(target);
        updatingFrame = false;
    });
    m_frameAnimation = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void NoteWindowController::updateTitle()
{
    const std::optional<Note> note = m_store.note(m_noteID);
    if (!note)
        return;
    if (!m_titleLabel->isEditing()) {
        const AttributedString rich = note->customTitleRich ? note->customTitleRich->attributed() : AttributedString();
        const AttributedString title = rich.isEmpty() ? rich : TitleText::sanitized(rich, titleTextFont());
        if (!title.isEmpty())
            m_titleLabel->setAttributedValue(title);
        else
            m_titleLabel->setPlainValue(note->customTitle.value_or(QString()), titleFont(),
                                        resolved(SystemColor::label(), *m_titleLabel));
    }
    m_panel->setWindowTitle(TitleText::windowTitle(*note));
}

void NoteWindowController::updateLayerButtonAppearance(bool top)
{
    const LayerAppearance appearance = layerAppearance(top);
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
        if (m_background->isPrimary() != primary) {
            m_background->setPrimary(primary);
            m_background->updatePrimaryAccent(true);
        }
    }
}

NoteFormatPanel* NoteWindowController::formatPanel()
{
    if (!m_formatPanel && m_services.parts.makeFormatPanel) {
        m_formatPanel = m_services.parts.makeFormatPanel(*m_editor);
        if (m_formatPanel)
            m_formatPanel->prepareHidden(*m_panel);
    }
    return m_formatPanel.get();
}

void NoteWindowController::beginTitleEditing()
{
    if (!m_titleLabel->isEditing())
        return;
    hideFormatBar();
    const QRectF titleOnScreen(m_titleLabel->mapToGlobal(QPoint(0, 0)), QSizeF(m_titleLabel->size()));
    if (m_titleFormatTarget && m_titleFormatTarget->editor == m_titleLabel && m_titleFormatPanel) {
        // The session runs already: show its panel again.
        m_titleFormatPanel->retarget(*m_titleFormatTarget);
        m_titleFormatPanel->refreshBar();
        m_titleFormatPanel->show(titleOnScreen, *m_panel);
        m_titleFormatPanel->refreshBar();
        return;
    }
    const std::optional<Note> note = m_store.note(m_noteID);
    const NoteTheme theme = note ? noteColor::theme(note->color) : NoteTheme::neutral();
    m_titleFormatTarget = std::make_unique<TitleFormatTarget>(m_titleLabel, theme, titleFont());
    if (m_titleFormatPanel) {
        m_titleFormatPanel->retarget(*m_titleFormatTarget);
        m_titleFormatPanel->refreshBar();
    } else if (m_services.parts.makeTitleFormatPanel) {
        m_titleFormatPanel = m_services.parts.makeTitleFormatPanel(*m_titleFormatTarget);
    }

    QPalette palette = m_titleLabel->palette();
    QColor selection = resolved(theme.accent, *m_titleLabel);
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
    m_titleFormatTarget.reset();
    persistTitle(source);
    QTimer::singleShot(0, this, &NoteWindowController::updateTitle);
}

void NoteWindowController::persistTitle(const AttributedString& source)
{
    const TitleText::Rename rename = TitleText::rename(source, titleTextFont());
    m_editor->change(renameActionName, [&rename](Note& note) {
        note.customTitle = rename.plain;
        note.customTitleRich.reset();
        if (rename.rich)
            note.customTitleRich = RichText(*rename.rich);
    });
    updateTitle();
}

// ---------------------------------------------------------------- commands

void NoteWindowController::toggleLayer()
{
    if (m_layerToggleAnimating) {
        // The click toggled the button's own check state; put it back.
        const std::optional<Note> note = m_store.note(m_noteID);
        m_layerButton->setChecked(note && note->alwaysOnTop);
        return;
    }
    const std::optional<Note> note = m_store.note(m_noteID);
    const bool top = !(note && note->alwaysOnTop);
    m_layerToggleAnimating = true;
    updateLayerButtonAppearance(top);
    commitPendingInput();
    if (m_workspace) {
        m_workspace->setLayerForAll(top);
    } else if (m_store.setSharedWindowLayer(top)) {
        temporarilyRaised = false;
        refresh();
    }
    animateLayerIcon(top);
}

void NoteWindowController::animateLayerIcon(bool top)
{
    const LayerAppearance oldLook = layerAppearance(!top);
    const LayerAppearance newLook = layerAppearance(top);
    const QRect frame = m_layerButton->geometry();
    const QSize iconSize = m_layerButton->iconSize();
    const auto makeIcon = [&](const LayerAppearance& look) {
        auto* label = new QLabel(m_header);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(frame);
        QPixmap pixmap = NoteIcons::icon(look.symbol).pixmap(iconSize, m_header->devicePixelRatioF());
        QPainter tint(&pixmap);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(pixmap.rect(), resolved(look.tint, *m_header));
        tint.end();
        label->setPixmap(pixmap);
        auto* opacity = new QGraphicsOpacityEffect(label);
        label->setGraphicsEffect(opacity);
        label->show();
        return std::pair{label, opacity};
    };
    auto [oldIcon, oldOpacity] = makeIcon(oldLook);
    auto [newIcon, newOpacity] = makeIcon(newLook);
    // To the desktop the icons move down, to the top they move up.
    const double direction = top ? -1 : 1;
    newOpacity->setOpacity(0);
    newIcon->move(frame.topLeft() - QPoint(0, int(direction * layerIconShift)));
    auto* buttonOpacity = new QGraphicsOpacityEffect(m_layerButton);
    buttonOpacity->setOpacity(0);
    m_layerButton->setGraphicsEffect(buttonOpacity);

    auto* animation = new QVariantAnimation(this);
    animation->setDuration(layerIconDurationMs);
    animation->setEasingCurve(QEasingCurve::InOutQuad);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    const QPointer<QLabel> oldGuard(oldIcon), newGuard(newIcon);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [=, oldOpacity = oldOpacity, newOpacity = newOpacity](const QVariant& value) {
                const double t = value.toDouble();
                if (oldGuard) {
                    oldOpacity->setOpacity(1 - t);
                    oldGuard->move(frame.topLeft() + QPoint(0, int(direction * layerIconShift * t)));
                }
                if (newGuard) {
                    newOpacity->setOpacity(t);
                    newGuard->move(frame.topLeft() - QPoint(0, int(direction * layerIconShift * (1 - t))));
                }
            });
    connect(animation, &QVariantAnimation::finished, this, [this, oldGuard, newGuard] {
        delete oldGuard.data();
        delete newGuard.data();
        m_layerButton->setGraphicsEffect(nullptr);
        m_layerToggleAnimating = false;
        if (const std::optional<Note> note = m_store.note(m_noteID))
            updateLayerButtonAppearance(note->alwaysOnTop);
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void NoteWindowController::toggleCollapse()
{
    m_editor->change(QStringLiteral("折叠便笺"), [](Note& note) { note.isCollapsed = !note.isCollapsed; });
}

void NoteWindowController::showMenu()
{
    QMenu* menu = makeNoteMenu().release();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(m_menuButton->mapToGlobal(QPoint(0, m_menuButton->height() + 4)));
}

std::unique_ptr<QMenu> NoteWindowController::makeNoteMenu()
{
    const std::optional<Note> note = m_store.note(m_noteID);
    auto menu = std::make_unique<QMenu>();
    const QPointer<NoteWindowController> self(this);
    const auto command = [self](void (NoteWindowController::*action)()) {
        return [self, action] {
            if (self)
                (self.data()->*action)();
        };
    };
    menu->addAction(QStringLiteral("折叠／展开"), this, command(&NoteWindowController::toggleCollapse));
    menu->addAction(QStringLiteral("隐藏这张便笺"), this, command(&NoteWindowController::hideNote));

    QMenu* colours = menu->addMenu(QStringLiteral("便笺颜色"));
    static const std::array<QString, 8> colourTitles = {
        QStringLiteral("奶油黄"), QStringLiteral("雾霾蓝"), QStringLiteral("鼠尾草绿"), QStringLiteral("樱花粉"),
        QStringLiteral("淡薰衣草紫"), QStringLiteral("杏仁橙"), QStringLiteral("珍珠灰"), QStringLiteral("纯净白"),
    };
    for (std::size_t index = 0; index < noteColor::allCases.size(); ++index) {
        const NoteColor colour = noteColor::allCases[index];
        const QString raw = noteColor::rawValue(colour);
        QAction* item = colours->addAction(colourTitles[index], this, [self, raw] {
            if (self)
                self->setColor(raw);
        });
        item->setData(raw);
        item->setCheckable(true);
        item->setChecked(note && note->color == colour);
    }

    QMenu* opacity = menu->addMenu(QStringLiteral("背景透明度"));
    for (const int percent : {100, 85, 65, 40}) {
        QAction* item = opacity->addAction(QStringLiteral("%1%").arg(percent), this, [self, percent] {
            if (self)
                self->setOpacity(percent);
        });
        item->setData(percent);
    }
    opacity->addAction(QStringLiteral("自定义…"), this, command(&NoteWindowController::customOpacity));

    menu->addSeparator();
    QAction* sort = menu->addAction(QStringLiteral("按优先级排序"), this, command(&NoteWindowController::sortPriority));
    sort->setCheckable(true);
    sort->setChecked(note && note->prioritySorted);
    menu->addAction(QStringLiteral("插入图片／PDF…"), this, command(&NoteWindowController::addAttachment));
    menu->addAction(QStringLiteral("导出…"), this, command(&NoteWindowController::exportNote));
    menu->addAction(QStringLiteral("系统分享／存入备忘录…"), this, [self] {
        if (self)
            self->shareNote(self->m_menuButton);
    });
    menu->addAction(QStringLiteral("将当前样式存为默认模板"), this, command(&NoteWindowController::saveTemplate));
    menu->addSeparator();
    menu->addAction(QStringLiteral("删除便笺…"), this, command(&NoteWindowController::deleteNote));
    return menu;
}

void NoteWindowController::exportNote()
{
    if (m_services.exportNote)
        m_services.exportNote(*this);
}

void NoteWindowController::shareNote(QWidget* sender)
{
    if (m_services.shareNote && sender)
        m_services.shareNote(*this, sender->rect(), sender);
}

void NoteWindowController::hideNote()
{
    dismissReminderPanel(true);
    endFileDropSession();
    closeBlockMenu();
    if (m_workspace)
        m_workspace->detachNativeLinks(m_noteID);
    if (std::optional<Note> note = m_store.note(m_noteID)) {
        note->isHidden = true;
        m_store.update(*note, true, true);
    }
    m_panel->hide();
    if (m_workspace)
        m_workspace->syncNativeLinks();
}

void NoteWindowController::setColor(const QString& rawValue)
{
    const std::optional<NoteColor> colour = noteColor::fromRawValue(rawValue);
    if (!colour)
        return;
    m_editor->change(QStringLiteral("便笺颜色"), [colour](Note& note) { note.color = *colour; });
}

void NoteWindowController::setOpacity(int percent)
{
    m_editor->change(QStringLiteral("背景透明度"), [percent](Note& note) { note.opacity = percent / 100.0; });
}

void NoteWindowController::customOpacity()
{
    const std::optional<Note> note = m_store.note(m_noteID);
    const int current = note ? int(std::lround(note->opacity * 100)) : 100;
    if (const std::optional<int> chosen = m_services.chooseOpacity(std::clamp(current, 20, 100)))
        setOpacity(std::clamp(*chosen, 20, 100));
}

void NoteWindowController::sortPriority()
{
    m_editor->change(QStringLiteral("切换优先级排序"), [](Note& note) { note.prioritySorted = !note.prioritySorted; });
}

void NoteWindowController::addAttachment()
{
    const QStringList files = m_services.chooseAttachments();
    if (!files.isEmpty())
        m_editor->importFiles(files);
}

void NoteWindowController::saveTemplate()
{
    const std::optional<Note> note = m_store.note(m_noteID);
    if (!note)
        return;
    Preferences& preferences = m_store.preferences();
    preferences.color = note->color;
    preferences.opacity = note->opacity;
    preferences.alwaysOnTop = note->alwaysOnTop;
    preferences.width = note->frame.width;
    preferences.height = note->frame.height;
    const QTextCharFormat typing = m_editor->textView()->currentCharFormat();
    const TextAttributes attributes = textdoc::attributes(typing, QTextBlockFormat());
    if (attributes.font) {
        preferences.fontName = attributes.font->family;
        preferences.fontSize = attributes.font->pointSize;
    }
    preferences.defaultText = RichText(AttributedString(QStringLiteral(" "), attributes));
    try {
        m_store.save();
    } catch (...) {
        reportError(std::current_exception());
    }
}

void NoteWindowController::deleteNote()
{
    dismissReminderPanel(false);
    endFileDropSession();
    closeBlockMenu();
    commitPendingInput();
    if (m_store.preferences().confirmDeletion && !m_services.confirmDeletion())
        return;
    m_store.deleteNote(m_noteID);
    const std::optional<Note> left = m_store.note(m_noteID);
    // A note the store kept live (its discard failed and was reported) keeps
    // its window. A note that went to the recently deleted keeps no editable
    // window, even when saving that move failed: the store retries the save.
    if (left && !left->deletedAt)
        return;
    if (m_workspace)
        m_workspace->detachNativeLinks(m_noteID);
    else
        settleToDesktop();
    m_panel->hide();
    if (m_workspace)
        m_workspace->syncNativeLinks();
    if (onDelete)
        onDelete(m_noteID);
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
