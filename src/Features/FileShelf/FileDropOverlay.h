#pragma once

#include "Domain/NoteTheme.h"
#include "Features/FileShelf/FileDropFlow.h"
#include "Widgets/FileDropRouter.h"

#include <QColor>

#include <memory>

namespace quorrin {

// Laid over a note window's content, it asks where files dragged onto the
// note are to be staged: two panes ("暂存至待办事项" above, "暂存至便笺中"
// below); resting on the upper one switches to picking a todo in the note
// itself, with a strip at the top that leads back to the panes. It stages
// nothing: the note window hears the decision through the router's callbacks
// (paperColor, hasTasks, onBegin, onTaskTargets, taskRects, onScroll,
// onDrop), each of which may be missing. Every
// view of the window that takes file drags hands them here; the overlay is
// hidden between drags; the window lays it over the note's content.
class FileDropOverlay final : public FileDropRouter {
    Q_OBJECT

public:
    using Mode = FileDropFlow::Mode;

    explicit FileDropOverlay(QWidget* parent = nullptr, std::unique_ptr<DropTiming> timing = {});

    Mode mode() const { return m_flow.mode(); }
    const FileDropFlow& flow() const { return m_flow; }

    Qt::DropAction draggingEntered(const QMimeData& data) override;
    Qt::DropAction update(const QPointF& location) override;
    bool accept(const QList<QUrl>& files, const QPointF& location) override;
    void end() override;
    // Ends the session at once when the pointer left the overlay, else when
    // no view of the window takes the drag over before the next turn of the
    // event loop (the drag was cancelled where it was).
    void draggingExited(const QPointF& globalPointer) override;
    bool inSession() const override { return m_flow.mode() != Mode::Idle; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    FileDropFlow::Callbacks flowCallbacks();
    QColor paper(Appearance appearance) const;
    void paintTasks(QPainter& painter, Appearance appearance);
    void paintChoices(QPainter& painter, Appearance appearance);

    FileDropFlow m_flow;
    quint64 m_sessions = 0;
};

} // namespace quorrin
