// The gutter's controls, the pointer over them, the block menu and the
// drawing. Dragging and archiving are in BlockGutterDrag.cpp.
#include "Editor/BlockGutter.h"

#include "Domain/NoteTheme.h"
#include "Editor/BlockEditor.h"
#include "Editor/BlockMenuPanel.h"
#include "Editor/BlockTextView.h"
#include "Editor/EditorDocument.h"
#include "Editor/GutterSymbols.h"
#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDrag>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>

namespace quorrin {
namespace {

constexpr int menuOpenDelayMs = 280;
constexpr int menuCloseDelayMs = 350;
// How far below a row what the gutter draws around it may reach.
constexpr double paintReach = 40;

const Block* findBlock(const Note& note, const QUuid& id)
{
    const auto found = std::find_if(note.blocks.begin(), note.blocks.end(), [&](const Block& b) { return b.id == id; });
    return found == note.blocks.end() ? nullptr : &*found;
}

Block* findBlock(Note& note, const QUuid& id)
{
    const auto found = std::find_if(note.blocks.begin(), note.blocks.end(), [&](const Block& b) { return b.id == id; });
    return found == note.blocks.end() ? nullptr : &*found;
}

bool hasRemarks(const TodoMetadata& todo)
{
    const std::optional<AttributedString> notes = todo.notes.read();
    return notes && !notes->string().isEmpty();
}

} // namespace

const QString BlockGutter::dragType = QStringLiteral("application/x-org.quorrin.block");

BlockGutter::BlockGutter(BlockEditor& editor)
    : QWidget(&editor)
    , m_editor(editor)
    , m_text(editor.textView())
{
    runDrag = [](QDrag& drag) { return drag.exec(Qt::MoveAction); };
    popUpMenu = [](QMenu& menu, QPoint at) { menu.exec(at); };
    pointerLocation = [] { return QCursor::pos(); };
    pressedButtons = [] { return QGuiApplication::mouseButtons(); };

    // The text below takes every event; its viewport hands over those that
    // land on a control (eventFilter).
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("内容块操作边栏"));
    BlockTextView* text = editor.textView();
    text->viewport()->installEventFilter(this);
    text->viewport()->setMouseTracking(true);
    const auto follow = [this] { update(); };
    // Scrolling moves the text under a pointer that stays put: the row under
    // it is another one now, so the hover follows as if the pointer had moved.
    connect(text->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (lastCursorPoint && isAlive())
            pointerMoved(*lastCursorPoint);
        else
            update();
    });
    connect(text->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this, follow);

    m_openWork.setSingleShot(true);
    m_openWork.setInterval(menuOpenDelayMs);
    connect(&m_openWork, &QTimer::timeout, this, [this] {
        if (pendingMenuID)
            openBlockMenu(*pendingMenuID, false);
    });
    m_closeWork.setSingleShot(true);
    m_closeWork.setInterval(menuCloseDelayMs);
    connect(&m_closeWork, &QTimer::timeout, this, [this] {
        if (!m_menuPanel)
            return;
        const QRect around = m_menuPanel->frameGeometry().adjusted(-8, -8, 8, 8);
        if (!around.contains(pointerLocation()))
            closeBlockMenu();
    });
    // The editor closes the block menu as the text changes; the gutter's
    // pending hover work goes with it.
    const QPointer<BlockGutter> self(this);
    editor.closeBlockMenu = [self] {
        if (self)
            self->closeBlockMenu();
    };
    m_dragWatch.setInterval(100);
    connect(&m_dragWatch, &QTimer::timeout, this, &BlockGutter::watchDrag);
}

BlockGutter::~BlockGutter()
{
    if (m_menuPanel)
        m_menuPanel->dismiss();
}

// ---------------------------------------------------------------- geometry

bool BlockGutter::isAlive() const
{
    // The editor clears its text view's link to it when it starts going away.
    return m_text && m_text->editor;
}

std::optional<Note> BlockGutter::note() const
{
    return m_editor.currentNote();
}

const TextRun* BlockGutter::rowOf(const QUuid& id) const
{
    const std::vector<TextRun>& ranges = m_editor.ranges();
    const auto found = std::find_if(ranges.begin(), ranges.end(),
                                    [&](const TextRun& run) { return run.blockID == id && !run.isRemarks; });
    return found == ranges.end() ? nullptr : &*found;
}

QPointF BlockGutter::scrollOffset() const
{
    const BlockTextView* text = m_editor.textView();
    return QPointF(text->horizontalScrollBar()->value(), text->verticalScrollBar()->value());
}

QPointF BlockGutter::toContent(QPointF point) const
{
    return point + scrollOffset();
}

QPointF BlockGutter::fromViewport(const QPointF& viewportPoint) const
{
    const QWidget* viewport = m_editor.textView()->viewport();
    const QPointF inEditor = QPointF(viewport->mapTo(&m_editor, QPoint(0, 0))) + viewportPoint;
    return inEditor - QPointF(pos());
}

QRectF BlockGutter::lineRect(const TextRun& row, double until) const
{
    QRectF line = m_editor.rect(row.start, row.length, until);
    line.setHeight(std::max(line.height(), 20.0));
    return line;
}

BlockControlLayout BlockGutter::controls(const TextRun& row) const
{
    const Note* current = m_editor.shownNote();
    return controls(row, current ? findBlock(*current, row.blockID) : nullptr);
}

BlockControlLayout BlockGutter::controls(const TextRun& row, const Block* block) const
{
    const QTextDocument& document = *m_editor.document();
    double pointSize = 14;
    if (row.start >= 0 && row.start < editordoc::textLength(document)) {
        const double size = editordoc::charFormatAt(document, row.start).font().pointSizeF();
        if (size > 0)
            pointSize = size;
    }
    const double middle = m_editor.firstLineRect(row.start, row.length).center().y();
    return gutterlayout::layout(block, middle, width(), pointSize);
}

std::vector<BlockControl> BlockGutter::interactiveControls(const QUuid& id) const
{
    const Note* current = m_editor.shownNote();
    const Block* block = current ? findBlock(*current, id) : nullptr;
    if (!block)
        return {};
    const auto progress = m_editor.revealProgress.find(id);
    return gutterlayout::interactiveControls(
        *block, progress == m_editor.revealProgress.end() ? std::nullopt : std::optional<double>(progress->second));
}

std::optional<BlockGutter::RowHit> BlockGutter::rowAt(double y) const
{
    const std::optional<QUuid> id = m_editor.block(y);
    if (!id)
        return std::nullopt;
    const TextRun* row = rowOf(*id);
    if (!row)
        return std::nullopt;
    return RowHit{*id, *row, controls(*row)};
}

std::optional<BlockControl> BlockGutter::hitTest(QPointF point) const
{
    if (!isAlive() || !QRectF(rect()).contains(point))
        return std::nullopt;
    const QPointF content = toContent(point);
    const std::optional<RowHit> hit = rowAt(content.y());
    if (!hit)
        return std::nullopt;
    return gutterlayout::controlAt(content, hit->layout, interactiveControls(hit->id));
}

std::optional<Qt::CursorShape> BlockGutter::cursor(const QPointF& point) const
{
    const std::optional<BlockControl> control = hitTest(point);
    if (!control)
        return std::nullopt;
    return *control == BlockControl::DragHandle ? Qt::OpenHandCursor : Qt::PointingHandCursor;
}

std::vector<std::pair<QRectF, Qt::CursorShape>> BlockGutter::cursorRects() const
{
    std::vector<std::pair<QRectF, Qt::CursorShape>> result;
    if (width() <= 0 || !isAlive())
        return result;
    const QPointF offset = scrollOffset();
    const QRectF visible(offset, QSizeF(size()));
    const std::vector<TextRun>& rows = m_editor.ranges();
    for (auto row = m_editor.runsReaching(visible.top()); row != rows.end(); ++row) {
        const TextRun& run = *row;
        const QRectF line = lineRect(run, visible.bottom() + paintReach);
        if (line.top() >= visible.bottom())
            break;
        if (run.isRemarks || !line.intersects(visible))
            continue;
        const BlockControlLayout layout = controls(run);
        for (const BlockControl control : interactiveControls(run.blockID))
            result.emplace_back(layout[control].adjusted(-3, -3, 3, 3).translated(-offset), Qt::PointingHandCursor);
        result.emplace_back(layout.dragHandle.adjusted(-3, -3, 3, 3).translated(-offset), Qt::OpenHandCursor);
    }
    return result;
}

// ---------------------------------------------------------------- pointer

void BlockGutter::setCursorWhenStable(Qt::CursorShape shape, QPointF point)
{
    QWidget* viewport = m_editor.textView()->viewport();
    viewport->setCursor(shape);
    m_cursorOverridden = true;
    // The text sets its own cursor as the pointer moves; ours comes back
    // once it has, while the pointer still rests on the control.
    QTimer::singleShot(0, this, [this, point] {
        if (lastCursorPoint == point) {
            if (const auto again = cursor(point))
                m_editor.textView()->viewport()->setCursor(*again);
        }
    });
}

void BlockGutter::restoreTextCursor()
{
    if (!m_cursorOverridden)
        return;
    m_cursorOverridden = false;
    m_editor.textView()->viewport()->setCursor(Qt::IBeamCursor);
}

void BlockGutter::pointerMoved(QPointF point)
{
    lastCursorPoint = point;
    const QPointF content = toContent(point);
    hovered = m_editor.block(content.y());
    const Note* current = m_editor.shownNote();
    setToolTip(gutterlayout::toolTip(hovered && current ? findBlock(*current, *hovered) : nullptr));

    const TextRun* row = hovered ? rowOf(*hovered) : nullptr;
    const std::optional<BlockControlLayout> layout = row ? std::optional(controls(*row)) : std::nullopt;
    if (layout && gutterlayout::hitBox(layout->menuHandle).contains(content)) {
        m_closeWork.stop();
        const bool alreadyPending = pendingMenuID == hovered;
        const bool alreadyOpen = m_menuPanel && m_menuPanel->blockID() == *hovered && m_menuPanel->isVisible();
        if (!alreadyPending && !alreadyOpen) {
            pendingMenuID = hovered;
            m_openWork.start();
        }
    } else {
        m_openWork.stop();
        pendingMenuID.reset();
        scheduleMenuClose();
    }

    const std::optional<Qt::CursorShape> shape = cursor(point);
    if (shape)
        setCursorWhenStable(*shape, point);
    else
        restoreTextCursor();
    update();
}

void BlockGutter::pointerExited()
{
    lastCursorPoint.reset();
    restoreTextCursor();
    hovered.reset();
    m_openWork.stop();
    pendingMenuID.reset();
    scheduleMenuClose();
    update();
}

bool BlockGutter::mouseDown(QPointF point, QPoint globalPosition)
{
    const QPointF content = toContent(point);
    const std::optional<RowHit> hit = rowAt(content.y());
    const std::optional<Note> current = note();
    const Block* block = hit && current ? findBlock(*current, hit->id) : nullptr;
    if (!block)
        return false;
    const std::optional<BlockControl> control =
        gutterlayout::controlAt(content, hit->layout, interactiveControls(hit->id));
    if (!control)
        return false;
    const QUuid id = hit->id;
    m_editor.selectedBlock = id;
    if (*control == BlockControl::DragHandle) {
        closeBlockMenu();
        dragID = id;
        m_pressPoint = point;
        return true;
    }
    if (block->kind != BlockKind::Todo) {
        showBlockMenu(point);
        return true;
    }
    switch (*control) {
    case BlockControl::PriorityBar:
        showPriorities(id, globalPosition);
        break;
    case BlockControl::Checkbox: {
        const Date now = m_editor.clock()();
        m_editor.change(QStringLiteral("切换待办完成"), [&](Note& note) {
            Block* changed = findBlock(note, id);
            if (!changed || !changed->todo)
                return;
            changed->todo->isCompleted = !changed->todo->isCompleted;
            if (changed->todo->isCompleted)
                changed->todo->completedAt = now;
            else
                changed->todo->completedAt.reset();
        });
        break;
    }
    case BlockControl::ArchiveButton:
        archive(id);
        break;
    case BlockControl::NotesChevron: {
        m_editor.change(QStringLiteral("展开／折叠备注"), [&](Note& note) {
            Block* changed = findBlock(note, id);
            if (changed && changed->todo)
                changed->todo->notesExpanded = !changed->todo->notesExpanded;
        });
        const std::optional<Note> after = note();
        const Block* now = after ? findBlock(*after, id) : nullptr;
        if (now && now->todo && now->todo->notesExpanded)
            m_editor.focus(id, true);
        break;
    }
    default:
        showBlockMenu(point);
        break;
    }
    return true;
}

bool BlockGutter::rightMouseDown(QPointF point)
{
    if (!hitTest(point))
        return false;
    showBlockMenu(point);
    return true;
}

// ---------------------------------------------------------------- block menu

void BlockGutter::openBlockMenu(const QUuid& id, bool takeFocus)
{
    const TextRun* row = rowOf(id);
    if (!row || !window() || !window()->isVisible())
        return;
    const std::optional<Note> current = note();
    if (!current || current->deletedAt || current->isHidden || current->isCollapsed)
        return;
    if (m_editor.hasMarkedText())
        return;
    if (pressedButtons() != Qt::NoButton && !takeFocus)
        return;
    if (m_menuPanel && m_menuPanel->blockID() == id && m_menuPanel->isVisible())
        return;
    const QRectF handle = controls(*row).menuHandle.translated(-scrollOffset());
    closeBlockMenu();
    BlockMenuPanel* panel = m_editor.openBlockMenu(id, handle, *m_editor.textView()->viewport(), takeFocus);
    if (!panel)
        return;
    const QPointer<BlockGutter> self(this);
    panel->onMouseInside = [self] {
        if (self)
            self->m_closeWork.stop();
    };
    panel->onMouseExit = [self] {
        if (self)
            self->scheduleMenuClose();
    };
    m_menuPanel = panel;
    update();
}

void BlockGutter::closeBlockMenu()
{
    m_openWork.stop();
    m_closeWork.stop();
    pendingMenuID.reset();
    if (BlockMenuPanel* panel = m_menuPanel) {
        m_menuPanel = nullptr;
        panel->dismiss();
        update();
    }
    // A menu opened from the keyboard goes too.
    if (BlockMenuPanel* panel = isAlive() ? m_editor.blockMenuPanel() : nullptr)
        panel->dismiss();
}

void BlockGutter::scheduleMenuClose()
{
    m_closeWork.start();
}

void BlockGutter::showBlockMenu(QPointF point)
{
    if (const std::optional<QUuid> id = m_editor.block(toContent(point).y()))
        openBlockMenu(*id, true);
}

// ---------------------------------------------------------------- priority

void BlockGutter::showPriorities(const QUuid& id, QPoint globalPosition)
{
    const std::optional<Note> current = note();
    const Block* block = current ? findBlock(*current, id) : nullptr;
    QMenu menu(this);
    static const QString titles[] = {QStringLiteral("紧急"), QStringLiteral("高"), QStringLiteral("中"),
                                     QStringLiteral("低")};
    for (int tag = 1; tag <= 4; ++tag) {
        QAction* item = menu.addAction(titles[tag - 1]);
        item->setData(tag);
        item->setCheckable(true);
        item->setChecked(block && block->todo && block->todo->priority == tag);
        connect(item, &QAction::triggered, this, [this, id, tag] { setPriority(id, tag); });
    }
    popUpMenu(menu, globalPosition);
}

void BlockGutter::setPriority(const QUuid& id, int priority)
{
    m_editor.change(QStringLiteral("设置优先级"), [&](Note& note) {
        const auto found = std::find_if(note.blocks.begin(), note.blocks.end(),
                                        [&](const Block& b) { return b.id == id && b.todo; });
        if (found != note.blocks.end())
            found->todo->priority = priority;
    });
}

// ---------------------------------------------------------------- events from the text

bool BlockGutter::eventFilter(QObject* watched, QEvent* event)
{
    if (!isAlive() || watched != m_editor.textView()->viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        return handleMouse(static_cast<QMouseEvent*>(event));
    case QEvent::ContextMenu: {
        // A right click on a control already opened the block menu.
        const auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        return menuEvent->reason() == QContextMenuEvent::Mouse && hitTest(fromViewport(menuEvent->pos()));
    }
    case QEvent::Leave:
        pointerExited();
        return false;
    case QEvent::ToolTip: {
        const auto* help = static_cast<QHelpEvent*>(event);
        // Over a link the text tells how to open it.
        if (toolTip().isEmpty() || m_editor.linkAt(m_editor.textView()->contentPoint(help->pos())))
            return false;
        QToolTip::showText(help->globalPos(), toolTip(), m_editor.textView()->viewport());
        return true;
    }
    case QEvent::Hide:
        cancelPress();
        return false;
    default:
        return false;
    }
}

bool BlockGutter::handleMouse(QMouseEvent* event)
{
    const QPointF point = fromViewport(event->position());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (event->button() == Qt::RightButton)
            return rightMouseDown(point);
        if (event->button() != Qt::LeftButton || !hitTest(point))
            return false;
        m_pressTaken = true;
        mouseDown(point, event->globalPosition().toPoint());
        return true;
    case QEvent::MouseButtonRelease:
        if (!m_pressTaken)
            return false;
        // A press on the drag handle released without dragging does nothing.
        m_pressTaken = false;
        dragID.reset();
        return true;
    case QEvent::MouseMove:
        if (m_pressTaken) {
            if (!(event->buttons() & Qt::LeftButton)) {
                cancelPress(); // the release went elsewhere
                pointerMoved(point);
                return true;
            }
            if (dragID && (point - m_pressPoint).manhattanLength() >= QApplication::startDragDistance()) {
                m_pressTaken = false;
                mouseDragged(point);
            }
            return true;
        }
        pointerMoved(point);
        // Resting on a control: the text must not take the cursor back.
        return event->buttons() == Qt::NoButton && hitTest(point).has_value();
    default:
        return false;
    }
}

void BlockGutter::cancelPress()
{
    m_pressTaken = false;
    dragID.reset();
}

void BlockGutter::hideEvent(QHideEvent* event)
{
    if (isAlive())
        closeBlockMenu();
    QWidget::hideEvent(event);
}

// ---------------------------------------------------------------- drawing

void BlockGutter::paintEvent(QPaintEvent* event)
{
    if (!isAlive())
        return;
    const Note* current = m_editor.shownNote();
    if (!current)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF offset = scrollOffset();
    painter.translate(-offset);
    const QRectF dirty = QRectF(event->rect()).translated(offset);
    const std::vector<std::pair<QUuid, QUuid>> alarms =
        m_editor.alarmCenter ? m_editor.alarmCenter() : std::vector<std::pair<QUuid, QUuid>>{};
    const std::optional<QUuid> currentBlock = m_editor.currentBlock();
    // The rows end with the first one below the area to paint. A long note
    // thus paints (and lays out) what is in view, not every row.
    const std::vector<TextRun>& rows = m_editor.ranges();
    for (auto row = m_editor.runsReaching(dirty.top()); row != rows.end(); ++row) {
        const TextRun& run = *row;
        if (run.isRemarks)
            continue;
        // What is drawn around a row reaches a few points past it: a row is
        // cut far enough below the area to paint for its cut not to show.
        const QRectF line = lineRect(run, dirty.bottom() + paintReach);
        if (line.top() >= dirty.bottom())
            break;
        if (!line.intersects(dirty))
            continue;
        const Block* block = findBlock(*current, run.blockID);
        if (!block)
            continue;
        const bool active = hovered == run.blockID || currentBlock == run.blockID;
        paintRow(painter, RowPaint{run, line, *current, *block, active}, alarms);
    }
}

void BlockGutter::paintRow(QPainter& painter, const RowPaint& row, const std::vector<std::pair<QUuid, QUuid>>& alarms)
{
    const Appearance appearance = SystemAppearance::of(palette());
    const NoteTheme theme = noteColor::theme(row.note.color);
    const QColor accent = toQColor(theme.accent, appearance);
    const QColor label = toQColor(SystemColor::label(), appearance);
    const QColor secondary = toQColor(SystemColor::secondaryLabel(), appearance);
    const BlockControlLayout layout = controls(row.run, &row.block);
    const double w = width();
    const QRectF& line = row.line;
    const Block& block = row.block;

    if (m_editor.dragPlaceholderID() == block.id) {
        const QRectF place(44, line.top() + 2, std::max(w - 64, 0.0), std::max(line.height() - 4, 20.0));
        QColor fill = accent;
        fill.setAlphaF(0.1f);
        QColor stroke = accent;
        stroke.setAlphaF(0.38f);
        QPen pen(stroke, 1.2);
        pen.setDashPattern({4 / 1.2, 3 / 1.2}); // in units of the pen's width
        painter.setPen(pen);
        painter.setBrush(fill);
        painter.drawRoundedRect(place, 6, 6);
        return;
    }

    if (block.kind == BlockKind::Bullet) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(label);
        painter.drawEllipse(layout.checkbox.center(), 2.0, 2.0);
    }

    if (block.kind == BlockKind::Todo) {
        painter.save();
        const auto progress = m_editor.revealProgress.find(block.id);
        painter.setOpacity(progress == m_editor.revealProgress.end() ? 1.0 : std::clamp(progress->second, 0.0, 1.0));
        const qint64 priority = block.todo ? block.todo->priority : lowestPriority;
        const QColor priorityColor = toQColor(PriorityStyle::color(priority));
        painter.setPen(QPen(priorityColor, 0.6));
        painter.setBrush(priorityColor);
        painter.drawRoundedRect(layout.priorityBar, 2, 2);

        const bool completed = block.todo && block.todo->isCompleted;
        painter.setPen(QPen(completed ? toQColor(SystemColor::controlAccent(), appearance) : secondary, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(layout.checkbox, 3, 3);
        if (completed)
            gutterSymbols::draw(painter, GutterSymbol::Checkmark, layout.checkbox.adjusted(1, 1, -1, -1), label, 1);
        const bool expanded = block.todo && block.todo->notesExpanded;
        if (row.active || expanded || (block.todo && hasRemarks(*block.todo))) {
            gutterSymbols::draw(painter, expanded ? GutterSymbol::ChevronDown : GutterSymbol::ChevronRight,
                                layout.notesChevron, label, 0.65);
        }
        if (completed)
            gutterSymbols::draw(painter, GutterSymbol::ArchiveBox, layout.archiveButton, label, 0.65);
        if (block.todo && block.todo->reminder && !completed)
            gutterSymbols::draw(painter, GutterSymbol::BellFill, layout.reminderBell, accent, 0.65);
        painter.restore();

        if (std::find(alarms.begin(), alarms.end(), std::pair{m_editor.noteID(), block.id}) != alarms.end()) {
            QColor ring = accent;
            ring.setAlphaF(float(std::clamp(0.85 * m_editor.alarmPulse(), 0.0, 1.0)));
            painter.setPen(QPen(ring, 1.8));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(QRectF(6, line.top() - 4, std::max(w - 12, 24.0), std::max(line.height() + 8, 20.0)),
                                    7, 7);
        }
    }

    const bool menuOpen = m_menuPanel && m_menuPanel->blockID() == block.id;
    if (row.active || menuOpen) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(secondary);
        const QPointF centre = layout.menuHandle.center();
        painter.drawEllipse(centre - QPointF(0, 3.2), 1.5, 1.5);
        painter.drawEllipse(centre + QPointF(0, 3.2), 1.5, 1.5);
        gutterSymbols::draw(painter, GutterSymbol::ThreeLines, layout.dragHandle, label, 0.65);
    }
}

} // namespace quorrin
