#pragma once

#include "Domain/Note.h"
#include "Features/FileShelf/FileShelfModel.h"
#include "Windows/NoteWindowSeams.h"

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QUrl>
#include <QUuid>

#include <functional>
#include <map>
#include <optional>

namespace quorrin {

class NoteWindowController;

// The file shelves of one note window: the note's own shelf below the text,
// one shelf per todo inside it, and the overlay that takes files dragged onto
// the note. One model holds every staged file of the note; this object keeps
// the note's stored links, the shelves and the window in step with it and
// answers the overlay. It lives as long as the window.
class FileShelfHosting final : public QObject {
    Q_OBJECT
public:
    // The widgets, built elsewhere: a shelf for the note (no block id) or a
    // todo, and the drop overlay.
    struct Makers {
        std::function<NoteFileShelf*(FileShelfModel& model, std::optional<QUuid> blockID, QWidget* parent)>
            makeShelf;
        std::function<FileDropRouter*(QWidget* parent)> makeOverlay;
    };

    // Builds the shelves and the overlay of a window under construction and
    // wires them into it; the window owns the result.
    static FileShelfHosting* install(NoteWindowController& window, const Makers& makers);

    FileShelfModel& model() const { return *m_model; }

    // Stores the model's links in the note, when they persist and differ.
    void persistFileReferences();
    // Sends files of todos no longer shown to the note's shelf and lays out
    // every shelf again.
    void syncFilePresentation();
    // The visible todo shelves in the overlay's coordinates, by todo id.
    std::map<QUuid, QRectF> taskDropRects() const;
    // Scrolls the text by one step when the point (overlay coordinates) is
    // near its top or bottom edge.
    void scrollDuringFileDrag(QPointF point);
    // A file drag entered the note: closes the block menu, expands a collapsed
    // note and brings the notes to the front.
    void beginFileDrag();
    // Every shown todo offers (or stops offering) its shelf as a drop target.
    void showTaskTargets(bool shows);
    // Stages dropped files on the note's shelf or a shown todo's; false refuses.
    bool drop(const QList<QUrl>& urls, std::optional<QUuid> blockID);
    // Whether the note shows a todo.
    bool hasTasks() const;

private:
    FileShelfHosting(NoteWindowController& window, const Makers& makers);
    // The note as shown (the drag preview during a drag), where it is held:
    // valid until the store or the preview next changes.
    const Note* displayedNote() const;
    void report(const AppError& error) const;
    void followPersistenceSetting();
    void wireOverlay(FileDropRouter& overlay);
    void buildNoteShelfOnNeed();

    QPointer<NoteWindowController> m_window;
    Makers m_makers;
    FileShelfModel* m_model = nullptr;
    TaskShelfSource* m_taskShelves = nullptr;
};

} // namespace quorrin
