#pragma once

#include "Domain/Block.h"
#include "Platform/AlertPresenter.h"
#include "Platform/DialogFolder.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QMenu;
class QMimeData;
class QTemporaryDir;
class QWidget;

namespace quorrin {

class NoteStore;

// The open and save panels, injected so the file commands run without a
// display in tests.
class FileDialogs {
public:
    struct FileType {
        QString label;     // e.g. "RTF 文稿"
        QString extension; // without the full stop
    };
    struct SaveRequest {
        QString suggestedName;
        std::vector<FileType> types; // offered in this order; no other type is allowed
        QString message;
    };
    struct SaveChoice {
        QString path;
        int typeIndex = 0; // the type chosen in the panel
    };
    struct OpenRequest {
        std::vector<FileType> types; // empty: any file
        bool multipleSelection = false;
        // Directories are chosen as a whole (backup packages) instead of
        // being entered.
        bool chooseDirectories = false;
        QString message;
    };

    virtual ~FileDialogs() = default;
    // Nothing when the user cancels.
    virtual std::optional<SaveChoice> askSavePath(QWidget* parent, const SaveRequest& request) = 0;
    // The chosen paths; empty when the user cancels.
    virtual QStringList askOpenPaths(QWidget* parent, const OpenRequest& request) = 0;
};

// The real panels: QFileDialog, with the message shown under the file list,
// opening where `folder` says and telling it what was chosen.
class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(std::shared_ptr<DialogFolder> folder = std::make_shared<DialogFolder>());

    std::optional<SaveChoice> askSavePath(QWidget* parent, const SaveRequest& request) override;
    QStringList askOpenPaths(QWidget* parent, const OpenRequest& request) override;

private:
    std::shared_ptr<DialogFolder> m_folder;
};

// What sharing hands a note to.
class ShareServices {
public:
    virtual ~ShareServices() = default;
    virtual void copyToClipboard(std::unique_ptr<QMimeData> data) = 0;
    // Starts xdg-email with the arguments; false when it could not be started.
    virtual bool launchMailer(const QStringList& arguments) = 0;
};

// The desktop's clipboard and xdg-email.
class DesktopShareServices final : public ShareServices {
public:
    void copyToClipboard(std::unique_ptr<QMimeData> data) override;
    bool launchMailer(const QStringList& arguments) override;
};

// What export and sharing take of a note window.
struct NoteSource {
    NoteStore* store = nullptr;
    QUuid noteID;
    std::function<void()> commitPendingEdits; // the editor's flush; may be empty
    QWidget* window = nullptr;                // parent of the save panel
};

class AttachmentImporter;

// A document read whole and made into a note's blocks, not stored yet. Its
// attachments are in the store's folder already: they are taken back when it
// is dropped without being stored.
class ImportedDocument {
public:
    ImportedDocument(NoteStore& store, std::vector<Block> blocks, std::optional<QString> warning,
                     std::unique_ptr<AttachmentImporter> attachments);
    ~ImportedDocument();
    ImportedDocument(ImportedDocument&&) noexcept;
    ImportedDocument& operator=(ImportedDocument&&) = delete;

    // Adds it to the store as a new note, saved at once; a warning the
    // reading gave is reported then. Once only.
    void addToStore();

private:
    NoteStore& m_store;
    std::vector<Block> m_blocks;
    std::optional<QString> m_warning;
    std::unique_ptr<AttachmentImporter> m_attachments;
};

// Notes from and to text documents (plain text, RTF, RTFD bundles), and the
// share menu. The application makes one and hands it to its note windows; it
// keeps the share menu and the last e-mail's files while they are in use.
class DocumentIO {
public:
    DocumentIO(std::shared_ptr<FileDialogs> dialogs, std::unique_ptr<ShareServices> share,
               std::shared_ptr<AlertPresenter> alerts);
    ~DocumentIO();
    DocumentIO(const DocumentIO&) = delete;
    DocumentIO& operator=(const DocumentIO&) = delete;

    // Reads the document at `path` whole (its attachments included) and only
    // then adds it to the store as a new note: one paragraph block per
    // paragraph, each attachment an image or PDF block after its paragraph.
    // Throws AppError (or the store's attachment error) and then leaves the
    // store as it was.
    static void importDocument(const QString& path, NoteStore& store);
    // The same in two steps: the reading, which throws as above and leaves
    // the notes as they were, and the storing, left to the caller.
    static ImportedDocument readForImport(const QString& path, NoteStore& store);

    // Asks for a destination and writes the note as an RTFD with its
    // attachments, as RTF or as UTF-8 text, chosen by the extension. Failures
    // go to the store's error reporting.
    void exportNote(const NoteSource& source);

    // Shows the share menu for the note below `rect` of `view`: copy to the
    // clipboard (RTF, HTML and plain text) or send by e-mail.
    void share(const NoteSource& source, const QRect& rect, QWidget* view);
    // The share menu's two entries; failures are shown in an alert.
    void copyNote(const NoteSource& source);
    void mailNote(const NoteSource& source);

    // The labels of the share menu's entries.
    static QString copyActionText();
    static QString mailActionText();

private:
    void reportShareFailure(const QString& message);

    std::shared_ptr<FileDialogs> m_dialogs;
    std::unique_ptr<ShareServices> m_share;
    std::shared_ptr<AlertPresenter> m_alerts;
    QPointer<QMenu> m_shareMenu;
    std::unique_ptr<QTemporaryDir> m_mailFiles;
};

namespace documents {

// The export panel's types, in the order offered: RTFD, RTF, plain text.
std::vector<FileDialogs::FileType> exportTypes();
// The chosen path, with the chosen type's extension added when it carries
// none of the offered ones.
QString exportPath(const FileDialogs::SaveChoice& choice);
// A note title usable as a file name: no "/", no NUL, not empty.
QString fileNameForTitle(const QString& title);

} // namespace documents

} // namespace quorrin
