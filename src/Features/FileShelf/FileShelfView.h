#pragma once

#include "Features/FileShelf/FileShelfDesktop.h"
#include "Features/FileShelf/FileShelfPresentation.h"
#include "Windows/NoteWindowSeams.h"

#include <QPointer>
#include <QUuid>

#include <optional>
#include <vector>

class QLabel;
class QScrollArea;
class QVBoxLayout;

namespace quorrin {

class FileShelfModel;
class FileShelfRow;

// The staged files of one shelf of a note as a short scrolling list of rows:
// the note's own shelf below the text (no block id) or one todo's shelf
// (that todo's id). While files are dragged over the note a todo's shelf is
// highlighted as a drop target. Every file drag that reaches the shelf goes
// to the window's drop overlay (`dropRouter`), which decides where the files
// go.
class FileShelfView final : public NoteFileShelf {
    Q_OBJECT

public:
    // Without a model the shelf makes its own and reloads on its changes; a
    // given model's callbacks are left to its owner.
    FileShelfView(FileShelfModel* model, std::optional<QUuid> blockID, QWidget* parent = nullptr,
                  FileShelfDesktop desktop = FileShelfDesktop::system());
    ~FileShelfView() override;

    FileShelfModel* model() const { return m_model; }
    const std::optional<QUuid>& blockID() const { return m_blockID; }

    bool showsDropTarget() const override { return m_showsDropTarget; }
    void setShowsDropTarget(bool shows) override { m_showsDropTarget = shows; }
    // Rebuilds the rows, the caption and the wanted height.
    void reload() override;
    // Whether the note holds staged files on any of its shelves.
    bool hasItems() const;
    double wantedHeight() const override { return m_layout.height; }

    QLabel* caption() const { return m_caption; }
    std::vector<FileShelfRow*> rows() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void placeChildren();
    void colourCaption();

    QPointer<FileShelfModel> m_model;
    FileShelfModel* m_ownModel = nullptr;
    std::optional<QUuid> m_blockID;
    FileShelfDesktop m_desktop;
    bool m_showsDropTarget = false;
    fileshelf::ShelfLayout m_layout;

    QLabel* m_caption = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_list = nullptr;
    QVBoxLayout* m_rows = nullptr;
};

} // namespace quorrin
