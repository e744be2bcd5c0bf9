#pragma once

#include "Core/Time/Clock.h"
#include "Features/DocumentIO.h"
#include "Platform/DesktopOpener.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace quorrin {

class AlertPresenter;
class DocumentIO;
class FileDialogs;
class NoteRegistry;
class NoteStore;
class RegisteredNoteWindow;
struct NoteSource;

// What the file commands take from their surroundings; tests replace each part.
struct FileCommandServices {
    // The open and save panels.
    std::shared_ptr<FileDialogs> dialogs;
    // Tells the user what a finished backup left out.
    AlertPresenter* alerts = nullptr;
    // Asks the user to confirm; true for the confirming button. A message box
    // when not given.
    std::function<bool(const QString& message, const QString& informative, const QString& confirm,
                       const QString& cancel)>
        confirm;
    // Shows a written backup in the file manager; `failed` is told when
    // nothing showed it.
    std::function<void(const QString& path, OpenFailure failed)> reveal;
    // Reads a text document into a note to be stored; DocumentIO's when not
    // given.
    std::function<ImportedDocument(const QString& path, NoteStore& store)> readDocument;
    // When a backup is made (its name carries the moment).
    Clock clock = systemNow;
};

// Files handed to the application and the file commands of the menu: import
// and export of documents, backup and restore. Every failure goes to the
// store's error reporting.
class FileCommands {
public:
    inline static const QString restoreQuestion = QStringLiteral("用备份恢复全部便笺？");
    inline static const QString restoreInformation =
        QStringLiteral("恢复前会自动在数据目录 Recovery 中保存当前全部内容。");
    inline static const QString restoreButton = QStringLiteral("恢复");
    inline static const QString cancelButton = QStringLiteral("取消");
    inline static const QString backupExtension = QStringLiteral("quorrinbackup");
    inline static const QString backupWrittenMessage = QStringLiteral("备份已完成");

    // The store, the registry and the documents must outlive the commands.
    FileCommands(NoteStore& store, NoteRegistry& registry, DocumentIO& documents, FileCommandServices services);

    // Opens files handed over by the desktop, in order: backup packages are
    // restored, text documents become notes, anything else goes into the
    // first note window. The first failure stops the rest and is reported;
    // answers whether every file was handled.
    bool openFiles(const QStringList& paths);
    // Asks, then replaces all notes with the backup's. Declining changes
    // nothing and is no error; a failure is thrown with the windows left open.
    void restore(const QString& package);

    // A text document dropped into a note's editor becomes a note of its own,
    // shown at once. Throws AppError when it cannot be read.
    void importDroppedDocument(const QString& path);

    // The menu's commands.
    void importDocuments();
    void exportCurrent();
    void backup();
    void restoreBackup();

    // The proposed name of a backup made at `moment`: its UTC time in ISO 8601
    // with every ":" made a "-", so it is a valid file name everywhere.
    static QString backupName(const QDateTime& moment);
    // The note a window shows, as export and sharing take it.
    static NoteSource sourceOf(NoteStore& store, RegisteredNoteWindow& window);

private:
    void commitPendingInput();
    void openUnshownNotes();
    void report(std::exception_ptr error);
    bool confirm(const QString& message, const QString& informative, const QString& confirmTitle,
                 const QString& cancelTitle) const;

    NoteStore& m_store;
    NoteRegistry& m_registry;
    DocumentIO& m_documents;
    FileCommandServices m_services;
    // Documents handed over are read in one turn of the event loop, stored
    // in the next and shown in the one after: timers, as a timer started
    // while timers fire waits for a later turn.
    std::vector<ImportedDocument> m_unstored;
    QTimer m_storeImported;
    QTimer m_showImported;
};

} // namespace quorrin
