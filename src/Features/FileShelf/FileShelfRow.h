#pragma once

#include "Domain/AppError.h"
#include "Features/FileShelf/FileShelfDesktop.h"
#include "Features/FileShelf/StagedFile.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QMenu;

namespace quorrin {

class FileShelfModel;
class HandCursorButton;

// One staged file on a shelf: its icon, name and reachability. A double
// click opens the file, dragging hands out a copy (the entry stays), and the
// context menu copies it into a folder, shows it in the file manager, points
// it at another file or removes the link. Rows are rebuilt on every reload of
// their shelf, so `file` is the entry as it was then.
class FileShelfRow final : public QWidget {
    Q_OBJECT

public:
    FileShelfRow(StagedFile file, FileShelfModel* model, FileShelfDesktop desktop, QWidget* parent = nullptr);

    const StagedFile& file() const { return m_file; }
    // Where the row's errors go; dropped when not set.
    std::function<void(const AppError&)> onError;

    // The open hand over a reachable file, else the arrow.
    Qt::CursorShape grabCursor() const;
    HandCursorButton* removeButton() const { return m_remove; }

    // A new context menu each time, its actions calling the ones below.
    std::unique_ptr<QMenu> makeMenu();
    void copyToFolder();
    void reveal();
    void relocate();
    void removeReference();

    // Removes the row from its shelf; a row that is being dragged out goes
    // once its drag has ended.
    void discard();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void report(const QString& message) const;
    // Reports what the desktop could not open, even once this row is gone.
    OpenFailure laterFailure() const;
    void startDrag();
    bool reachable() const;

    StagedFile m_file;
    QPointer<FileShelfModel> m_model;
    FileShelfDesktop m_desktop;
    HandCursorButton* m_remove = nullptr;
    QPoint m_pressPosition;
    bool m_pressed = false;
    bool m_reportedThisPress = false;
    bool m_dragging = false;
    bool m_discarded = false;
};

} // namespace quorrin
