#pragma once

#include "Features/Panels/LibraryModel.h"
#include "Core/Time/Clock.h"

#include <QPointer>
#include <QTimeZone>
#include <QUuid>
#include <QWidget>

#include <functional>
#include <optional>

class QScrollArea;
class QVBoxLayout;

namespace quorrin {

// The archive (archived todos of the live notes) or the recently deleted
// notes, one row each with a restore button. It reads the store again on
// every change the store announces.
class LibraryView final : public QWidget {
    Q_OBJECT
public:
    using Open = std::function<void(const QUuid& noteID, std::optional<QUuid> blockID)>;

    inline static const QString trashTitle = QStringLiteral("最近删除");
    inline static const QString archiveTitle = QStringLiteral("归档事项");
    inline static const QString restoreNoteButton = QStringLiteral("恢复便笺");
    inline static const QString restoreTodoButton = QStringLiteral("恢复");

    LibraryView(LibraryModel& model, bool trash, Open open, Clock clock = systemNow,
                QTimeZone zone = QTimeZone::systemTimeZone(), QWidget* parent = nullptr);

    bool isTrash() const { return m_trash; }
    // The rows as shown (for tests and the count of rows).
    const std::vector<TrashRow>& trashRows() const { return m_trashRows; }
    const std::vector<ArchiveRow>& archiveRows() const { return m_archiveRows; }
    // The restore actions of the rows. A row is taken by value: restoring
    // reloads the rows, which may be where the caller's row lives.
    void restore(TrashRow row);
    void restore(ArchiveRow row);

    // How a deletion date is shown.
    static QString dateText(const QDate& date);

private:
    void reload();
    QWidget* rowWidget(const QString& heading, const QString& caption, const QString& button,
                       std::function<void()> action);

    QPointer<LibraryModel> m_model;
    bool m_trash = false;
    Open m_open;
    Clock m_clock;
    QTimeZone m_zone;
    QScrollArea* m_scroll = nullptr;
    std::vector<TrashRow> m_trashRows;
    std::vector<ArchiveRow> m_archiveRows;
};

} // namespace quorrin
