#include "Windows/NoteHeader.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCursor>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QWindow>

namespace quorrin {

namespace {

// Assistive technologies see the header as one group.
QAccessibleInterface* headerAccessibility(const QString& className, QObject* object)
{
    if (className == QLatin1String("quorrin::NoteHeader") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    return nullptr;
}

void registerAccessibility()
{
    static const bool registered = [] {
        QAccessible::installFactory(headerAccessibility);
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace

NoteHeader::NoteHeader(QWidget* parent)
    : QWidget(parent)
{
    registerAccessibility();
    setAcceptDrops(true);
    setToolTip(QStringLiteral("拖动空白区域移动便笺；将文字拖入这里新建便笺"));
    setAccessibleName(QStringLiteral("便笺标题与拖动区域"));
}

void NoteHeader::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (onDrag) {
        onDrag(event);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        if (QWindow* handle = window()->windowHandle())
            handle->startSystemMove();
    }
}

Qt::DropAction NoteHeader::entering(const QMimeData& data) const
{
    if (!FileDropRouter::files(data).isEmpty())
        return FileDragRouting::enter(dropRouter, data);
    return data.hasText() ? Qt::CopyAction : Qt::IgnoreAction;
}

void NoteHeader::dragEnterEvent(QDragEnterEvent* event)
{
    FileDragRouting::answer(*event, entering(*event->mimeData()));
}

void NoteHeader::dragMoveEvent(QDragMoveEvent* event)
{
    FileDragRouting::answer(*event, entering(*event->mimeData()));
}

void NoteHeader::dragLeaveEvent(QDragLeaveEvent* event)
{
    FileDragRouting::leave(dropRouter, QCursor::pos());
    event->accept();
}

void NoteHeader::dropEvent(QDropEvent* event)
{
    const QMimeData& data = *event->mimeData();
    if (const QList<QUrl> files = FileDropRouter::files(data); !files.isEmpty()) {
        const bool accepted = FileDragRouting::perform(dropRouter, files, *this, event->position());
        FileDragRouting::answer(*event, accepted ? Qt::CopyAction : Qt::IgnoreAction);
        return;
    }
    if (data.hasText()) {
        if (onTextDrop)
            onTextDrop(data.text());
        FileDragRouting::answer(*event, Qt::CopyAction);
        return;
    }
    event->ignore();
}

} // namespace quorrin
