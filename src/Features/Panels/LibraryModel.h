#pragma once

#include "Domain/Note.h"
#include "Persistence/NoteStore.h"
#include "Core/Time/Clock.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUuid>

#include <optional>
#include <vector>

namespace quorrin {

// A note in the recently deleted list.
struct TrashRow {
    QUuid noteID;
    QString title;
    QDate deletedOn; // local date of the deletion, today when it has none
    friend bool operator==(const TrashRow&, const TrashRow&) = default;
};

// An archived todo of a live note.
struct ArchiveRow {
    QUuid noteID;
    QUuid blockID;
    QString text;    // the todo's plain text, or "无标题待办" when empty
    QString caption; // note title · priority label
    friend bool operator==(const ArchiveRow&, const ArchiveRow&) = default;
};

// The rows of the archive and recently deleted lists, in store order, and
// their restore actions.
namespace Library {
inline const QString untitledTodo = QStringLiteral("无标题待办");

// "紧急", "高", "中", "低" for priority 1 (or less) to 4 (or more).
QString priorityLabel(qint64 priority);
std::vector<TrashRow> trashRows(const std::vector<Note>& notes, Date now, const QTimeZone& zone);
std::vector<ArchiveRow> archiveRows(const std::vector<Note>& notes);

// Brings a deleted note back to the live notes, saved at once. False when the
// save failed: the note is then put back as it was (the store has shown the
// error) and must not be opened.
bool restoreNote(NoteStore& store, const QUuid& noteID);
// Takes a todo out of the archive, saved at once; false as above.
bool restoreTodo(NoteStore& store, const QUuid& noteID, const QUuid& blockID);
} // namespace Library

// Tells the library and search panels to read the store again: its revision
// moves on every change the store announces.
class LibraryModel final : public QObject {
    Q_OBJECT
public:
    explicit LibraryModel(NoteStore& store, QObject* parent = nullptr);

    NoteStore& store() const { return *m_store; }
    int revision() const { return m_revision; }

Q_SIGNALS:
    void revisionChanged(int revision);

private:
    QPointer<NoteStore> m_store;
    int m_revision = 0;
};

} // namespace quorrin
