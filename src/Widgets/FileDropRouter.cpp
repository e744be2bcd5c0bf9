#include "Widgets/FileDropRouter.h"

#include <QDropEvent>
#include <QMimeData>

namespace quorrin {

void FileDropRouter::draggingExited(const QPointF& globalPointer)
{
    if (!QRectF(rect()).contains(mapFromGlobal(globalPointer)))
        end();
}

QList<QUrl> FileDropRouter::files(const QMimeData& data)
{
    QList<QUrl> files;
    if (!data.hasUrls())
        return files;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile())
            files.append(url);
    }
    return files;
}

} // namespace quorrin

namespace quorrin::FileDragRouting {

namespace {
QPointF inRouter(const FileDropRouter& router, const QWidget& view, const QPointF& location)
{
    return router.mapFromGlobal(view.mapToGlobal(location));
}
} // namespace

Qt::DropAction enter(FileDropRouter* router, const QMimeData& data)
{
    return router ? router->draggingEntered(data) : Qt::IgnoreAction;
}

Qt::DropAction move(FileDropRouter* router, const QMimeData& data, const QWidget& view,
                    const QPointF& location)
{
    if (router && router->inSession())
        return router->update(inRouter(*router, view, location));
    return enter(router, data);
}

void leave(FileDropRouter* router, const QPointF& globalPointer)
{
    if (router)
        router->draggingExited(globalPointer);
}

bool perform(FileDropRouter* router, const QList<QUrl>& files, const QWidget& view,
             const QPointF& location)
{
    if (!router)
        return false;
    const bool accepted = router->accept(files, inRouter(*router, view, location));
    router->end();
    return accepted;
}

void answer(QDropEvent& event, Qt::DropAction action)
{
    if (action == Qt::IgnoreAction) {
        event.ignore();
        return;
    }
    event.setDropAction(action);
    event.accept();
}

} // namespace quorrin::FileDragRouting
