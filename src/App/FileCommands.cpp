#include "App/FileCommands.h"

#include "App/NoteRegistry.h"
#include "App/RegisteredNoteWindow.h"
#include "Domain/AppError.h"
#include "Editor/BlockEditor.h"
#include "Features/DocumentIO.h"
#include "Persistence/NoteStore.h"
#include "Platform/AlertPresenter.h"
#include "Platform/DialogPlacement.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTimer>

namespace quorrin {

namespace {

// Stores the documents in order, and forgets them.
void addAllToStore(std::vector<ImportedDocument>& documents)
{
    std::vector<ImportedDocument> taken = std::move(documents);
    documents.clear();
    for (ImportedDocument& document : taken)
        document.addToStore();
}

const QString missingAttachmentsMessage = QStringLiteral("备份已完成，但有附件未能备份");
const QString missingAttachmentsDetail = QStringLiteral("以下附件的文件已不在数据目录中，备份里只保留了它们所在的便笺：\n");

bool askWithMessageBox(QWidget* window, const QString& message, const QString& informative,
                       const QString& confirmTitle, const QString& cancelTitle)
{
    QMessageBox box;
    placeInFrontOfNotes(box, window);
    box.setIcon(QMessageBox::Warning);
    box.setText(message);
    box.setInformativeText(informative);
    QPushButton* confirmButton = box.addButton(confirmTitle, QMessageBox::AcceptRole);
    box.addButton(cancelTitle, QMessageBox::RejectRole);
    box.setDefaultButton(confirmButton);
    box.exec();
    return box.clickedButton() == confirmButton;
}

// The window the panels belong to: the current note's, if any.
QWidget* panelParent(const NoteRegistry& registry)
{
    RegisteredNoteWindow* current = registry.current();
    BlockEditor* editor = current ? current->editor() : nullptr;
    return editor ? editor->window() : nullptr;
}

QString missingAttachmentList(const std::vector<Attachment>& missing)
{
    QStringList names;
    for (const Attachment& attachment : missing)
        names << attachment.originalFilename;
    names.removeDuplicates();
    return names.join(u'\n');
}

} // namespace

FileCommands::FileCommands(NoteStore& store, NoteRegistry& registry, DocumentIO& documents,
                           FileCommandServices services)
    : m_store(store)
    , m_registry(registry)
    , m_documents(documents)
    , m_services(std::move(services))
{
    if (!m_services.readDocument)
        m_services.readDocument = &DocumentIO::readForImport;
    for (QTimer* timer : {&m_storeImported, &m_showImported}) {
        timer->setSingleShot(true);
        timer->setInterval(0);
    }
    QObject::connect(&m_storeImported, &QTimer::timeout, &m_registry, [this] {
        try {
            addAllToStore(m_unstored);
        } catch (...) {
            report(std::current_exception());
        }
        m_showImported.start();
    });
    QObject::connect(&m_showImported, &QTimer::timeout, &m_registry, [this] {
        const NoteRegistry::HandOver handOver(m_registry);
        openUnshownNotes();
    });
}

QString FileCommands::backupName(const QDateTime& moment)
{
    // Written out in full: Qt's ISO form gives "+00:00" instead of "Z" for
    // some UTC date-times.
    const QString stamp = moment.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH-mm-ss'Z'"));
    return QStringLiteral("Quorrin备份-") + stamp + u'.' + backupExtension;
}

NoteSource FileCommands::sourceOf(NoteStore& store, RegisteredNoteWindow& window)
{
    NoteSource source;
    source.store = &store;
    source.noteID = window.noteID();
    const QPointer<RegisteredNoteWindow> guarded(&window);
    source.commitPendingEdits = [guarded] {
        if (guarded)
            guarded->commitPendingInput();
    };
    if (BlockEditor* editor = window.editor())
        source.window = editor->window();
    return source;
}

bool FileCommands::openFiles(const QStringList& paths)
{
    // A long document is read in this turn of the event loop, stored in the
    // next and shown in the one after, so that no turn holds two of these.
    // Anything else handed over after it waits until it is stored, so that
    // the files are taken in order.
    const auto storeRead = [this] { addAllToStore(m_unstored); };
    bool imported = false;
    for (const QString& path : paths) {
        const QFileInfo file(path);
        const QString extension = file.suffix();
        try {
            if (const QString lower = extension.toLower();
                lower == QLatin1String("txt") || lower == QLatin1String("rtf") || lower == QLatin1String("rtfd")) {
                m_unstored.push_back(m_services.readDocument(path, m_store));
                imported = true;
                continue;
            }
            storeRead();
            if (extension == backupExtension) {
                restore(path);
            } else {
                if (m_registry.controllers().empty())
                    m_registry.newNote();
                const std::vector<RegisteredNoteWindow*> windows = m_registry.controllers();
                BlockEditor* editor = windows.empty() ? nullptr : windows.front()->editor();
                // A file the note refused has been reported: the hand-over
                // that brought it fails too.
                if (!editor || !editor->importFiles({path}))
                    return false;
            }
        } catch (...) {
            // The documents read before the failure are imported all the same.
            const std::exception_ptr failure = std::current_exception();
            try {
                storeRead();
            } catch (...) {
                report(std::current_exception());
            }
            report(failure);
            return false;
        }
    }
    if (!imported) {
        openUnshownNotes();
        return true;
    }
    m_storeImported.start();
    return true;
}

void FileCommands::restore(const QString& package)
{
    if (!confirm(restoreQuestion, restoreInformation, restoreButton, cancelButton))
        return;
    commitPendingInput();
    m_store.restoreBackup(package);
    // From here on the notes are the backup's: the windows follow them
    // whatever happens next, and the restore counts as done. A failure of
    // the upgrade after it is reported on its own.
    std::exception_ptr upgradeError;
    try {
        m_store.upgradeCloseRetentionIfNeeded();
    } catch (...) {
        upgradeError = std::current_exception();
    }

    // The old windows go away at once; the restored notes get fresh ones.
    for (RegisteredNoteWindow* window : m_registry.controllers()) {
        if (BlockEditor* editor = window->editor())
            editor->window()->hide();
    }
    m_registry.removeAll();
    m_registry.workspace().reset();
    m_registry.workspace().presentAll(std::nullopt, false, false);
    if (upgradeError)
        report(upgradeError);
}

void FileCommands::importDroppedDocument(const QString& path)
{
    QSet<QUuid> before;
    for (const QUuid& id : m_store.activeIds())
        before.insert(id);
    try {
        m_services.readDocument(path, m_store).addToStore();
    } catch (const AppError&) {
        throw;
    } catch (...) {
        // The editor reports AppErrors; every other failure is told the same way.
        throw AppError(describeError(std::current_exception()));
    }
    for (const QUuid& id : m_store.activeIds()) {
        if (!before.contains(id))
            m_registry.open(id, std::nullopt, true);
    }
}

void FileCommands::importDocuments()
{
    FileDialogs::OpenRequest request;
    request.types = {{QStringLiteral("纯文本"), QStringLiteral("txt")},
                     {QStringLiteral("RTF 文稿"), QStringLiteral("rtf")},
                     {QStringLiteral("RTFD 文稿"), QStringLiteral("rtfd")}};
    request.multipleSelection = true;
    const QStringList chosen = m_services.dialogs->askOpenPaths(panelParent(m_registry), request);
    if (chosen.isEmpty())
        return;
    for (const QString& path : chosen) {
        try {
            m_services.readDocument(path, m_store).addToStore();
        } catch (...) {
            report(std::current_exception());
            return;
        }
    }
    openUnshownNotes();
}

void FileCommands::exportCurrent()
{
    if (RegisteredNoteWindow* current = m_registry.current())
        m_documents.exportNote(sourceOf(m_store, *current));
}

void FileCommands::backup()
{
    commitPendingInput();
    FileDialogs::SaveRequest request;
    request.suggestedName = backupName(m_services.clock().toDateTime());
    const std::optional<FileDialogs::SaveChoice> choice =
        m_services.dialogs->askSavePath(panelParent(m_registry), request);
    if (!choice || choice->path.isEmpty())
        return;
    BackupResult result;
    try {
        result = m_store.backup(choice->path);
    } catch (...) {
        report(std::current_exception());
        return;
    }
    if (!result.missingAttachments.empty() && m_services.alerts)
        m_services.alerts->present(missingAttachmentsMessage,
                                   missingAttachmentsDetail + missingAttachmentList(result.missingAttachments));
    if (m_services.reveal) {
        // Where the file manager cannot show the backup, the user is told
        // where it went instead.
        const QString written = result.package.isEmpty() ? choice->path : result.package;
        m_services.reveal(written, [alerts = m_services.alerts, written](const QString& failure) {
            if (alerts)
                alerts->present(backupWrittenMessage, QStringLiteral("备份已写入：\n%1\n\n%2").arg(written, failure));
        });
    }
}

void FileCommands::restoreBackup()
{
    FileDialogs::OpenRequest request;
    request.chooseDirectories = true;
    const QStringList chosen = m_services.dialogs->askOpenPaths(panelParent(m_registry), request);
    if (chosen.isEmpty() || chosen.constFirst().isEmpty())
        return;
    try {
        restore(chosen.constFirst());
    } catch (...) {
        report(std::current_exception());
    }
}

void FileCommands::commitPendingInput()
{
    for (RegisteredNoteWindow* window : m_registry.controllers())
        window->commitPendingInput();
}

void FileCommands::openUnshownNotes()
{
    // Opening would un-hide them: notes the user hid stay hidden.
    for (const QUuid& id : m_store.activeIds()) {
        const Note* note = m_store.findNote(id);
        if (note && !note->isHidden && !m_registry.controller(id))
            m_registry.open(id, std::nullopt, true);
    }
}

void FileCommands::report(std::exception_ptr error)
{
    m_store.reportError(std::move(error));
}

bool FileCommands::confirm(const QString& message, const QString& informative, const QString& confirmTitle,
                           const QString& cancelTitle) const
{
    if (m_services.confirm)
        return m_services.confirm(message, informative, confirmTitle, cancelTitle);
    return askWithMessageBox(panelParent(m_registry), message, informative, confirmTitle, cancelTitle);
}

} // namespace quorrin
