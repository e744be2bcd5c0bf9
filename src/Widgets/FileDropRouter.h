#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QUrl>
#include <QUuid>
#include <QWidget>

#include <functional>
#include <map>
#include <optional>

class QMimeData;

namespace quorrin {

// Where the views of a note window send file drags: the window's one drop
// overlay. The views hold it weakly (QPointer) and convert drag locations into
// its coordinates.
class FileDropRouter : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    // Starts or continues a drag session for data holding files; answers the
    // drop action (Qt::IgnoreAction refuses).
    virtual Qt::DropAction draggingEntered(const QMimeData& data) = 0;
    // Follows the pointer (router coordinates) during a session.
    virtual Qt::DropAction update(const QPointF& location) = 0;
    // Performs the drop at a point in router coordinates; false refuses it.
    virtual bool accept(const QList<QUrl>& files, const QPointF& location) = 0;
    // Ends the session.
    virtual void end() = 0;
    // A view of the window lost the drag with the pointer at a global
    // position: the session ends when the pointer left the router. Routers
    // that can tell a drag handed on from one cancelled in place refine it.
    virtual void draggingExited(const QPointF& globalPointer);
    // Whether a drag session is running.
    virtual bool inSession() const = 0;

    // The local files a drag carries (empty when it carries none).
    static QList<QUrl> files(const QMimeData& data);

    // What the router asks of its note window, all set by the window.
    // The note's colour, painted under the choices.
    std::function<QColor()> paperColor;
    // Whether the note shows a todo to stage files on.
    std::function<bool()> hasTasks;
    // A session began: the note is made ready to take the files.
    std::function<void()> onBegin;
    // The todos show (true) or hide (false) their shelves as drop targets.
    std::function<void(bool)> onTaskTargets;
    // The visible todo shelves by todo id, in router coordinates.
    std::function<std::map<QUuid, QRectF>()> taskRects;
    // The pointer rests near the text's top or bottom (router coordinates).
    std::function<void(QPointF)> onScroll;
    // Stages the files on the note's shelf (no id) or a todo's; false refuses.
    std::function<bool(const QList<QUrl>&, std::optional<QUuid>)> onDrop;
};

} // namespace quorrin

class QDropEvent;

namespace quorrin::FileDragRouting {

// What the note's own views do with a file drag: hand it to the router, or
// refuse it when there is none.
Qt::DropAction enter(FileDropRouter* router, const QMimeData& data);

// A move over `view`: the router follows the pointer while its session runs;
// before that the move counts as entering.
Qt::DropAction move(FileDropRouter* router, const QMimeData& data, const QWidget& view,
                    const QPointF& location);

// The drag left `view`: the router's session ends unless the pointer, at the
// global position given, is still over the router (it took the drag over).
void leave(FileDropRouter* router, const QPointF& globalPointer);

// The drop on `view` at `location`; the session ends afterwards.
bool perform(FileDropRouter* router, const QList<QUrl>& files, const QWidget& view,
             const QPointF& location);

// Accepts the event with `action`, or refuses it for Qt::IgnoreAction.
void answer(QDropEvent& event, Qt::DropAction action);

} // namespace quorrin::FileDragRouting
