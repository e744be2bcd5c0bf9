#include "Features/DocumentIO.h"

#include "Domain/AppError.h"
#include "Domain/TextDefaults.h"
#include "Editor/LinkDetection.h"
#include "Editor/TextDocumentConversion.h"
#include "Features/DocumentFormats.h"
#include "Features/NoteDocument.h"
#include "Persistence/NoteStore.h"
#include "Platform/DialogPlacement.h"
#include "Core/Files/FileNames.h"
#include "Core/Text/Rtf.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>

#include <optional>
#include <utility>

namespace quorrin {

namespace {

const QString exportMessage = QStringLiteral(
    "RTFD 可携带附件；RTF/TXT 将附件转换为文件名。任务和备注导出为可读文本，完整数据请使用备份。");

QString attachmentsDirectory(const NoteStore& store)
{
    return store.root() + u'/' + NoteStore::attachmentsDirectoryName;
}

// Commits the window's pending typing and reads the note back; nothing when
// the note is gone.
std::optional<Note> currentNote(const NoteSource& source)
{
    if (source.commitPendingEdits)
        source.commitPendingEdits();
    return source.store ? source.store->note(source.noteID) : std::nullopt;
}

} // namespace

// Files written for one import, in a temporary folder removed afterwards; the
// stored copies are taken back when the import does not finish.
class AttachmentImporter {
public:
    explicit AttachmentImporter(NoteStore& store)
        : m_store(store)
    {
    }

    ~AttachmentImporter()
    {
        if (m_committed)
            return;
        for (const Attachment& attachment : m_imported)
            QFile::remove(attachmentsDirectory(m_store) + u'/' + attachment.relativePath);
    }

    AttachmentImporter(const AttachmentImporter&) = delete;
    AttachmentImporter& operator=(const AttachmentImporter&) = delete;

    Attachment import(const QString& fileName, const QByteArray& data)
    {
        if (!m_temporary.isValid())
            throw AppError(QStringLiteral("无法创建临时文件夹，未导入文件。"));
        QString extension = filenames::pathExtension(fileName);
        if (extension.isEmpty())
            extension = QStringLiteral("tiff");
        const QString path = m_temporary.filePath(filenames::uuidFileName(extension));
        documents::writeFile(path, data);
        Attachment attachment = m_store.importAttachment(path);
        QFile::remove(path);
        m_imported.push_back(attachment);
        attachment.originalFilename = fileName;
        return attachment;
    }

    void commit() { m_committed = true; }

private:
    NoteStore& m_store;
    QTemporaryDir m_temporary;
    std::vector<Attachment> m_imported;
    bool m_committed = false;
};

namespace documents {

std::vector<FileDialogs::FileType> exportTypes()
{
    return {{QStringLiteral("RTFD 文稿"), QStringLiteral("rtfd")},
            {QStringLiteral("RTF 文稿"), QStringLiteral("rtf")},
            {QStringLiteral("纯文本"), QStringLiteral("txt")}};
}

QString exportPath(const FileDialogs::SaveChoice& choice)
{
    const std::vector<FileDialogs::FileType> types = exportTypes();
    const QString extension = filenames::pathExtension(QFileInfo(choice.path).fileName()).toLower();
    for (const FileDialogs::FileType& type : types) {
        if (type.extension == extension)
            return choice.path;
    }
    const std::size_t index = choice.typeIndex >= 0 && std::size_t(choice.typeIndex) < types.size()
                                  ? std::size_t(choice.typeIndex)
                                  : 0;
    return choice.path + u'.' + types[index].extension;
}

QString fileNameForTitle(const QString& title)
{
    QString name = title;
    name.replace(u'/', u'-');
    name.remove(QChar(u'\0'));
    name = name.trimmed();
    return filenames::isPlainFileName(name) ? name : Note::untitled;
}

} // namespace documents

namespace {

void addMessage(QFileDialog& dialog, const QString& text)
{
    if (text.isEmpty())
        return;
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        auto* message = new QLabel(text, &dialog);
        message->setWordWrap(true);
        grid->addWidget(message, grid->rowCount(), 0, 1, grid->columnCount());
    }
}

QStringList nameFilters(const std::vector<FileDialogs::FileType>& types)
{
    QStringList filters;
    for (const FileDialogs::FileType& type : types)
        filters << QStringLiteral("%1 (*.%2)").arg(type.label, type.extension);
    return filters;
}

} // namespace

QtFileDialogs::QtFileDialogs(std::shared_ptr<DialogFolder> folder)
    : m_folder(std::move(folder))
{
}

QStringList QtFileDialogs::askOpenPaths(QWidget* parent, const OpenRequest& request)
{
    QFileDialog dialog(parent, QString(), m_folder->start());
    placeInFrontOfNotes(dialog, parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (request.chooseDirectories) {
        dialog.setFileMode(QFileDialog::Directory);
    } else {
        dialog.setFileMode(request.multipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        // Every allowed type at once first, then each on its own.
        QStringList filters = nameFilters(request.types);
        if (!filters.isEmpty()) {
            QStringList names;
            QStringList patterns;
            for (const FileType& type : request.types) {
                names << type.extension.toUpper();
                patterns << QStringLiteral("*.") + type.extension;
            }
            filters.prepend(QStringLiteral("%1 (%2)").arg(names.join(QStringLiteral(" / ")), patterns.join(u' ')));
            dialog.setNameFilters(filters);
        }
    }
    addMessage(dialog, request.message);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    m_folder->remember(dialog.selectedFiles());
    return dialog.selectedFiles();
}

std::optional<FileDialogs::SaveChoice> QtFileDialogs::askSavePath(QWidget* parent, const SaveRequest& request)
{
    QFileDialog dialog(parent, QString(), m_folder->start());
    placeInFrontOfNotes(dialog, parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Our own dialog, so the message can be shown in it.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const QStringList filters = nameFilters(request.types);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    dialog.selectFile(request.suggestedName);
    addMessage(dialog, request.message);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    m_folder->remember(dialog.selectedFiles());
    return SaveChoice{dialog.selectedFiles().constFirst(), int(filters.indexOf(dialog.selectedNameFilter()))};
}

void DesktopShareServices::copyToClipboard(std::unique_ptr<QMimeData> data)
{
    QGuiApplication::clipboard()->setMimeData(data.release());
}

bool DesktopShareServices::launchMailer(const QStringList& arguments)
{
    return QProcess::startDetached(QStringLiteral("xdg-email"), arguments);
}

DocumentIO::DocumentIO(std::shared_ptr<FileDialogs> dialogs, std::unique_ptr<ShareServices> share,
                       std::shared_ptr<AlertPresenter> alerts)
    : m_dialogs(std::move(dialogs))
    , m_share(std::move(share))
    , m_alerts(std::move(alerts))
{
}

DocumentIO::~DocumentIO()
{
    delete m_shareMenu.data();
}

ImportedDocument DocumentIO::readForImport(const QString& path, NoteStore& store)
{
    const documents::Document document = documents::readDocument(path);

    auto importer = std::make_unique<AttachmentImporter>(store);
    std::vector<Block> blocks;
    // The note keeps the vector: room for every line at once, not twice the
    // lines it grew to. Room never touched costs no memory.
    blocks.reserve(documents::piecesAtMost(document.text));
    // The lines of a long document mostly share their attributes, and many
    // are alike: they are stored one after another, and a line like the one
    // before it shares that one's stored bytes. Each line is made a block
    // as it is split off, so the lines are never all held twice.
    RichText::Series series;
    std::optional<std::pair<AttributedString, RichText>> previous;
    documents::forEachPiece(document.text, [&](documents::DocumentPiece piece) {
        Block block;
        if (piece.kind == documents::DocumentPiece::Kind::Paragraph) {
            // Addresses in an imported document become links, as if typed.
            AttributedString text = std::move(piece.text);
            links::markAddresses(text);
            if (!previous || !(previous->first == text)) {
                RichText stored = series.store(text);
                previous.emplace(std::move(text), std::move(stored));
            }
            block.text = previous->second;
        } else {
            // readDocument has the file of every attachment it lets through.
            const QString name = document.importName(piece.fileName);
            block.kind = documents::attachmentKind(name);
            block.attachment = importer->import(name, document.files.at(piece.fileName));
        }
        blocks.push_back(std::move(block));
    });
    if (blocks.empty())
        blocks.push_back(Block());

    return ImportedDocument(store, std::move(blocks), document.warning, std::move(importer));
}

void DocumentIO::importDocument(const QString& path, NoteStore& store)
{
    readForImport(path, store).addToStore();
}

ImportedDocument::ImportedDocument(NoteStore& store, std::vector<Block> blocks, std::optional<QString> warning,
                                   std::unique_ptr<AttachmentImporter> attachments)
    : m_store(store)
    , m_blocks(std::move(blocks))
    , m_warning(std::move(warning))
    , m_attachments(std::move(attachments))
{
}

ImportedDocument::~ImportedDocument() = default;
ImportedDocument::ImportedDocument(ImportedDocument&&) noexcept = default;

void ImportedDocument::addToStore()
{
    if (!m_attachments)
        return; // stored already
    const QUuid id = m_store.create().id;
    m_attachments->commit();
    m_attachments.reset();
    std::optional<Note> note = m_store.note(id);
    if (!note)
        return;
    note->blocks = std::move(m_blocks);
    m_store.update(std::move(*note), true, true);
    if (m_warning)
        m_store.reportError(std::make_exception_ptr(AppError(*m_warning)));
}

void DocumentIO::exportNote(const NoteSource& source)
{
    const std::optional<Note> note = currentNote(source);
    if (!note)
        return;
    const FileDialogs::SaveRequest request{documents::fileNameForTitle(note->title()) + QStringLiteral(".rtfd"),
                                           documents::exportTypes(), exportMessage};
    const std::optional<FileDialogs::SaveChoice> choice = m_dialogs->askSavePath(source.window, request);
    if (!choice || choice->path.isEmpty())
        return;

    const QString path = documents::exportPath(*choice);
    const QString attachments = attachmentsDirectory(*source.store);
    try {
        switch (documents::documentTypeOf(path)) {
        case documents::DocumentType::Rtfd: {
            const documents::RenderedNote rendered = documents::renderNote(*note, attachments, true);
            documents::writeRtfd(path, rendered.text, rendered.files);
            break;
        }
        case documents::DocumentType::PlainText:
            documents::writeFile(path,
                                 documents::plainTextBytes(documents::renderNote(*note, attachments, false).text));
            break;
        case documents::DocumentType::Rtf:
            documents::writeFile(path, rtf::write(documents::renderNote(*note, attachments, false).text));
            break;
        }
    } catch (...) {
        source.store->reportError(std::current_exception());
    }
}

QString DocumentIO::copyActionText()
{
    return QStringLiteral("拷贝");
}

QString DocumentIO::mailActionText()
{
    return QStringLiteral("通过邮件发送");
}

void DocumentIO::share(const NoteSource& source, const QRect& rect, QWidget* view)
{
    if (!currentNote(source))
        return;
    delete m_shareMenu.data();
    auto* menu = new QMenu(view);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The entries commit and read the note again when chosen.
    NoteSource chosen = source;
    chosen.commitPendingEdits = nullptr;
    menu->addAction(copyActionText(), [this, chosen] { copyNote(chosen); });
    menu->addAction(mailActionText(), [this, chosen] { mailNote(chosen); });
    m_shareMenu = menu;
    menu->popup(view ? view->mapToGlobal(rect.bottomLeft()) : rect.bottomLeft());
}

void DocumentIO::copyNote(const NoteSource& source)
{
    const std::optional<Note> note = currentNote(source);
    if (!note)
        return;
    const AttributedString text = documents::renderNote(*note, attachmentsDirectory(*source.store), false).text;
    auto data = std::make_unique<QMimeData>();
    const QByteArray rtfBytes = rtf::write(text);
    data->setData(QStringLiteral("text/rtf"), rtfBytes);
    data->setData(QStringLiteral("application/rtf"), rtfBytes);
    QTextDocument document;
    textdoc::setContents(document, text);
    data->setHtml(document.toHtml());
    data->setText(text.string());
    m_share->copyToClipboard(std::move(data));
}

void DocumentIO::mailNote(const NoteSource& source)
{
    const std::optional<Note> note = currentNote(source);
    if (!note)
        return;
    const QString attachments = attachmentsDirectory(*source.store);
    const documents::RenderedNote readable = documents::renderNote(*note, attachments, false);
    const std::vector<documents::EmbeddedFile> files = documents::renderNote(*note, attachments, true).files;

    // The mail program reads the files after we return; they stay until the
    // next e-mail or until the program ends.
    auto folder = std::make_unique<QTemporaryDir>();
    if (!folder->isValid() || !QDir(folder->path()).mkdir(QStringLiteral("files"))) {
        reportShareFailure(QStringLiteral("无法创建临时文件夹，未发送邮件。"));
        return;
    }
    QStringList arguments{QStringLiteral("--utf8"), QStringLiteral("--subject"), note->title(),
                          QStringLiteral("--body"), readable.text.string()};
    try {
        const QString document = folder->filePath(documents::fileNameForTitle(note->title()) + QStringLiteral(".rtf"));
        documents::writeFile(document, rtf::write(readable.text));
        arguments << QStringLiteral("--attach") << document;
        for (const documents::EmbeddedFile& file : files) {
            const QString path = folder->filePath(QStringLiteral("files/") + file.name);
            documents::writeFile(path, file.data);
            arguments << QStringLiteral("--attach") << path;
        }
    } catch (const AppError& error) {
        reportShareFailure(error.message);
        return;
    }
    if (!m_share->launchMailer(arguments)) {
        reportShareFailure(QStringLiteral("无法打开邮件程序：xdg-email 未能启动。"));
        return;
    }
    m_mailFiles = std::move(folder);
}

void DocumentIO::reportShareFailure(const QString& message)
{
    if (m_alerts)
        m_alerts->present(message, QString());
}

} // namespace quorrin
