#pragma once

#include "Domain/AppError.h"
#include "Domain/Block.h"

#include <QObject>
#include <QRectF>
#include <QUuid>
#include <QWidget>

#include <functional>
#include <vector>

namespace quorrin {

// One todo's file shelf, shown inside the text directly below the todo.
// The shelf itself (its rows, drops and errors) is built with the file
// shelves; the editor only places it and tells it when to reload.
class TaskShelfView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    virtual bool showsDropTarget() const = 0;
    virtual void setShowsDropTarget(bool shows) = 0;
    virtual void reload() = 0;

    // Errors the shelf meets; the editor hands them to the store.
    std::function<void(const AppError&)> onError;
};

// The files staged on the note's todos, as the editor needs them: how many
// each todo has, and a shelf view for one todo.
class TaskShelfSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual int fileCount(const QUuid& blockID) const = 0;
    virtual TaskShelfView* makeShelfView(const QUuid& blockID, QWidget* parent) = 0;
};

// The geometry of todo shelves.
namespace taskshelf {

inline constexpr double rowHeight = 30;
inline constexpr double maximumHeight = 126;
inline constexpr double emptyTargetHeight = 42;
inline constexpr double left = 44;

// The shelf view's height for a number of files; 0 means no view.
double viewHeight(int fileCount, bool showsDropTarget);
// The gap kept free below the todo's last run for its shelf.
double gap(int fileCount, bool showsDropTargets);
// The todos among the shown blocks that get a shelf: those with files, or
// every todo while files are dragged over the note.
std::vector<QUuid> wanted(const std::vector<Block>& displayBlocks, const std::function<int(const QUuid&)>& fileCount,
                          bool showsDropTargets);
// The shelf's frame below the rectangle of the todo's last run, in text
// coordinates, in a text view of the given width.
QRectF frame(const QRectF& lastRun, double textWidth, double height);

} // namespace taskshelf
} // namespace quorrin
