#include "Features/FileShelf/FileDropOverlay.h"

#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"

#include <QApplication>
#include <QCursor>
#include <QDropEvent>
#include <QFontMetricsF>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>

namespace quorrin {

namespace {

QColor colour(const DynamicColor& color, Appearance appearance, double alpha = 1)
{
    QColor resolved = toQColor(color, appearance);
    resolved.setAlphaF(resolved.alphaF() * alpha);
    return resolved;
}

QFont systemFont(double pointSize, QFont::Weight weight = QFont::Normal)
{
    QFont font = QApplication::font();
    font.setPointSizeF(pointSize);
    font.setWeight(weight);
    return font;
}

// Draws the text centred on a point: at the point minus half its size.
void drawCentred(QPainter& painter, const QString& text, const QPointF& centre, const QFont& font,
                 const QColor& color)
{
    const QFontMetricsF metrics(font);
    const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QRectF(centre - QPointF(size.width() / 2, size.height() / 2), size), Qt::AlignCenter, text);
}

} // namespace

FileDropOverlay::FileDropOverlay(QWidget* parent, std::unique_ptr<DropTiming> timing)
    : FileDropRouter(parent)
    , m_flow(flowCallbacks(), std::move(timing))
{
    hide();
    setAcceptDrops(true);

    setAccessibleName(QStringLiteral("文件暂存方式选择"));
}

FileDropFlow::Callbacks FileDropOverlay::flowCallbacks()
{
    // The flow lives inside the overlay, so it never outlives these.
    FileDropFlow::Callbacks callbacks;
    callbacks.hasTasks = [this] { return hasTasks && hasTasks(); };
    callbacks.onBegin = [this] {
        if (onBegin)
            onBegin();
    };
    callbacks.onTaskTargets = [this](bool shown) {
        if (onTaskTargets)
            onTaskTargets(shown);
    };
    callbacks.taskRects = [this] { return taskRects ? taskRects() : std::map<QUuid, QRectF>{}; };
    callbacks.onScroll = [this](QPointF point) {
        if (onScroll)
            onScroll(point);
    };
    callbacks.onDrop = [this](const QList<QUrl>& files, std::optional<QUuid> blockID) {
        return onDrop && onDrop(files, blockID);
    };
    callbacks.onVisibility = [this](bool visible) {
        if (visible) {
            raise();
            show();
        } else {
            hide();
        }
    };
    callbacks.onRedraw = [this] { QWidget::update(); };
    return callbacks;
}

Qt::DropAction FileDropOverlay::draggingEntered(const QMimeData& data)
{
    if (files(data).isEmpty())
        return Qt::IgnoreAction;
    // A hidden widget hears of its new size only when shown.
    m_flow.setBounds(size());
    // A drag that reaches another view of the window while its session runs
    // is the same drag: it keeps the session.
    m_flow.begin(inSession() && m_flow.session() ? *m_flow.session() : ++m_sessions);
    return Qt::CopyAction;
}

Qt::DropAction FileDropOverlay::update(const QPointF& location)
{
    m_flow.setBounds(size());
    return m_flow.update(location);
}

bool FileDropOverlay::accept(const QList<QUrl>& files, const QPointF& location)
{
    m_flow.setBounds(size());
    return m_flow.accept(files, location);
}

void FileDropOverlay::end()
{
    m_flow.end();
}

void FileDropOverlay::dragEnterEvent(QDragEnterEvent* event)
{
    // Qt follows an accepted enter with a move at once, which answers for
    // the place.
    FileDragRouting::answer(*event, draggingEntered(*event->mimeData()));
}

void FileDropOverlay::dragMoveEvent(QDragMoveEvent* event)
{
    if (files(*event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    const Qt::DropAction action =
        inSession() ? update(event->position()) : draggingEntered(*event->mimeData());
    FileDragRouting::answer(*event, action);
}

void FileDropOverlay::draggingExited(const QPointF& globalPointer)
{
    m_flow.setBounds(size());
    m_flow.exited(mapFromGlobal(globalPointer));
}

void FileDropOverlay::dragLeaveEvent(QDragLeaveEvent* event)
{
    draggingExited(QCursor::pos());
    event->accept();
}

void FileDropOverlay::dropEvent(QDropEvent* event)
{
    const QPointF location = event->position();
    m_flow.setBounds(size());
    if (!m_flow.wouldAccept(location)) {
        end();
        event->ignore();
        return;
    }
    const bool accepted = accept(files(*event->mimeData()), location);
    FileDragRouting::answer(*event, accepted ? Qt::CopyAction : Qt::IgnoreAction);
}

void FileDropOverlay::resizeEvent(QResizeEvent* event)
{
    m_flow.setBounds(size());
    FileDropRouter::resizeEvent(event);
}

void FileDropOverlay::paintEvent(QPaintEvent*)
{
    if (mode() == Mode::Idle)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Appearance appearance = SystemAppearance::of(palette());
    if (mode() == Mode::Tasks)
        paintTasks(painter, appearance);
    else
        paintChoices(painter, appearance);
}

QColor FileDropOverlay::paper(Appearance appearance) const
{
    return paperColor ? paperColor() : colour(noteColor::color(NoteColor::Cream), appearance);
}

void FileDropOverlay::paintTasks(QPainter& painter, Appearance appearance)
{
    painter.fillRect(QRectF(0, 0, width(), FileDropFlow::stripHeight), paper(appearance));
    drawCentred(painter, QStringLiteral("← 停留此处返回暂存方式"), QPointF(width() / 2.0, 14), systemFont(11),
                colour(SystemColor::secondaryLabel(), appearance));

    const std::optional<QUuid> hovered = m_flow.hoveredTask();
    if (!hovered || !taskRects)
        return;
    const std::map<QUuid, QRectF> rects = taskRects();
    const auto found = rects.find(*hovered);
    if (found == rects.end())
        return;
    QPainterPath path;
    path.addRoundedRect(filedrop::taskHighlight(found->second), 6, 6);
    painter.fillPath(path, colour(SystemColor::controlAccent(), appearance, 0.12));
    painter.strokePath(path, QPen(colour(SystemColor::controlAccent(), appearance), 1.5));
}

void FileDropOverlay::paintChoices(QPainter& painter, Appearance appearance)
{
    painter.fillRect(rect(), paper(appearance));

    const bool tasks = hasTasks && hasTasks();
    struct Pane {
        bool upper;
        QString title;
        QString hint;
    };
    const Pane panes[] = {
        {true, QStringLiteral("暂存至待办事项"),
         tasks ? QStringLiteral("停留片刻，再选择具体事项") : QStringLiteral("暂无待办，请先创建待办事项")},
        {false, QStringLiteral("暂存至便笺中"), QStringLiteral("松开鼠标，文件将显示在便笺下方")},
    };
    for (const Pane& pane : panes) {
        const QRectF frame = filedrop::pane(size(), pane.upper);
        const bool highlighted = pane.upper == m_flow.hoveredUpper();
        QPainterPath path;
        path.addRoundedRect(frame, 12, 12);
        if (highlighted) {
            painter.fillPath(path, colour(SystemColor::controlAccent(), appearance, 0.1));
            painter.strokePath(path, QPen(colour(SystemColor::controlAccent(), appearance, 0.6), 1));
        } else {
            painter.fillPath(path, colour(SystemColor::label(), appearance, 0.025));
            painter.strokePath(path, QPen(colour(SystemColor::separator(), appearance, 0.5), 1));
        }
        const QPointF centre = frame.center();
        drawCentred(painter, pane.title, centre - QPointF(0, 10), systemFont(16, QFont::Medium),
                    colour(SystemColor::label(), appearance));
        drawCentred(painter, pane.hint, centre + QPointF(0, 15), systemFont(10.5),
                    colour(SystemColor::secondaryLabel(), appearance));
    }
}

} // namespace quorrin
