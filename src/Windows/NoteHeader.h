#pragma once

#include "Widgets/FileDropRouter.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace quorrin {

// The strip at the top of a note holding its name and buttons. Its empty
// parts drag the window; text dropped on it makes a new note; file drags go
// to the window's drop overlay.
class NoteHeader : public QWidget {
    Q_OBJECT

public:
    explicit NoteHeader(QWidget* parent = nullptr);

    QPointer<FileDropRouter> dropRouter;
    std::function<void(const QString& text)> onTextDrop;
    // A press goes here when set; otherwise the window system moves the window.
    std::function<void(QMouseEvent*)> onDrag;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    Qt::DropAction entering(const QMimeData& data) const;
};

} // namespace quorrin
