#include "Features/DocumentFormats.h"

#include "Features/EmbeddedPictures.h"

#include "Domain/AppError.h"
#include "Domain/TextDefaults.h"
#include "Persistence/BackupPackage.h"
#include "Core/Files/AtomicRename.h"
#include "Core/Files/FileNames.h"
#include "Core/Files/FileSystemError.h"
#include "Core/Files/NoFollowFile.h"
#include "Core/Files/SafeFileWriter.h"
#include "Core/Text/Rtf.h"
#include "Core/Text/RtfCodepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringConverter>
#include <QUuid>

#include <set>

#include <sys/stat.h>

namespace quorrin::documents {

namespace {

constexpr int gb18030Codepage = 54936;

const QString unreadableAttachmentMessage = QStringLiteral("导入文件含无法读取的附件，未修改便笺。");

QString displayName(const QString& path)
{
    const QString name = QFileInfo(QDir::cleanPath(path)).fileName();
    return name.isEmpty() ? path : name;
}

AppError documentTooLarge(const QString& path, qint64 size)
{
    return AppError(QStringLiteral("“%1”有 %2，超过可导入的文稿上限 %3，未导入。")
                        .arg(displayName(path), backup::readableSize(size), maximumDocumentSizeText));
}

// A document's text file, refused unread when it is larger than an import
// takes; one that grows while it is read is refused too.
QByteArray readDocumentText(QFile& file, const QString& path)
{
    if (file.size() > maximumDocumentBytes)
        throw documentTooLarge(path, file.size());
    QByteArray bytes = file.read(maximumDocumentBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw AppError(QStringLiteral("无法读取文件“%1”：%2").arg(displayName(path), FileSystemError::reasonText(file)));
    if (bytes.size() > maximumDocumentBytes)
        throw documentTooLarge(path, bytes.size());
    return bytes;
}

// The user's own document, read with the user's rights; anything but a
// regular file (a directory, a FIFO that would block) is refused before
// reading.
QByteArray readUserFile(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        throw AppError(QStringLiteral("找不到文件“%1”。").arg(displayName(path)));
    if (!S_ISREG(status.st_mode))
        throw AppError(QStringLiteral("无法读取“%1”：它不是普通文件。").arg(displayName(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("无法读取文件“%1”：%2").arg(displayName(path), FileSystemError::reasonText(file)));
    return readDocumentText(file, path);
}

// Why an RTF document read as nothing; the reader's notes tell a document
// nested too deeply from one that is no RTF at all.
AppError unreadableRtf(const QString& path, const rtf::ReadNotes& notes)
{
    if (notes.nestedTooDeeply)
        return AppError(QStringLiteral("无法读取“%1”：文稿的分组嵌套层数过多，超出可读取的范围。").arg(displayName(path)));
    return AppError(QStringLiteral("无法读取“%1”：它不是有效的 RTF 文稿。").arg(displayName(path)));
}

// What the user hears of a document read only in part.
std::optional<QString> partialReadWarning(const QString& path, const rtf::ReadNotes& notes)
{
    if (!notes.binaryCut)
        return std::nullopt;
    return QStringLiteral("“%1”中的二进制数据超出了文件末尾：已导入此前的内容，其后的内容无法读取。").arg(displayName(path));
}

AttributedString parseRtf(const QByteArray& bytes, const QString& path, std::optional<QString>& warning)
{
    rtf::ReadNotes notes;
    std::optional<AttributedString> text = rtf::read(bytes, &notes);
    if (!text)
        throw unreadableRtf(path, notes);
    warning = partialReadWarning(path, notes);
    return std::move(*text);
}

// A file inside a bundle, never through a symbolic link and only when it is a
// regular file; the messages tell why it could not be read.
struct BundleFileMessages {
    QString missing;
    QString unsafe;
};

// `documentText` names the bundle when the file is its text, which is read
// only up to the size an import takes.
QByteArray readBundleFile(const QString& bundle, const QString& name, const BundleFileMessages& messages,
                          const std::optional<QString>& documentText = std::nullopt)
{
    try {
        NoFollowFile file = NoFollowFile::open(bundle, name);
        switch (file.status()) {
        case NoFollowFile::Status::missing: throw AppError(messages.missing);
        case NoFollowFile::Status::notRegularFile: throw AppError(messages.unsafe);
        case NoFollowFile::Status::opened: break;
        }
        if (documentText)
            return readDocumentText(file.file(), *documentText);
        QByteArray bytes = file.file().readAll();
        if (file.file().error() != QFileDevice::NoError)
            throw AppError(messages.missing);
        return bytes;
    } catch (const FileSystemError& error) {
        throw AppError(error.message());
    }
}

Document readRtfd(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        throw AppError(QStringLiteral("无法读取“%1”：它不是 RTFD 文稿。").arg(displayName(path)));
    // The bundle itself is the user's choice and may be reached through a
    // link; nothing inside it is.
    const QString bundle = info.canonicalFilePath();
    Document document;
    document.text = parseRtf(
        readBundleFile(bundle, rtfdTextFileName,
                       {QStringLiteral("无法读取“%1”：文稿中缺少 %2。").arg(displayName(path), rtfdTextFileName),
                        QStringLiteral("无法读取“%1”：文稿中的 %2 是链接或非普通文件。")
                            .arg(displayName(path), rtfdTextFileName)},
                       path),
        path, document.warning);
    for (const AttachmentMark& mark : attachmentsIn(document.text)) {
        if (document.files.count(mark.name))
            continue;
        if (!filenames::isPlainFileName(mark.name))
            throw AppError(QStringLiteral("导入文件含不安全的附件名称“%1”，未修改便笺。").arg(mark.name));
        const QString unsafe =
            QStringLiteral("导入文件含不安全的附件“%1”（链接或非普通文件），未修改便笺。").arg(mark.name);
        QByteArray bytes = readBundleFile(bundle, mark.name, {unreadableAttachmentMessage, unsafe});
        // Anything but a PDF or a picture would be an image block that shows nothing.
        if (filenames::pathExtension(mark.name).toLower() != QLatin1String("pdf") && !isReadableImage(bytes))
            throw AppError(
                QStringLiteral("导入文件含不支持的附件“%1”（只能导入图片和 PDF），未修改便笺。").arg(mark.name));
        document.files.emplace(mark.name, std::move(bytes));
    }
    return document;
}

// A bare RTF holds its pictures inside; each becomes a file of the document,
// keyed by its position in the text.
Document readRtfWithPictures(const QByteArray& bytes, const QString& path)
{
    rtf::ReadNotes notes;
    std::optional<rtf::DocumentWithPictures> read = rtf::readWithPictures(bytes, &notes);
    if (!read)
        throw unreadableRtf(path, notes);
    Document document{std::move(read->text), {}, {}, partialReadWarning(path, notes)};
    // It has no bundle to hold the files its attachment groups name.
    if (!attachmentsIn(document.text).empty())
        throw AppError(unreadableAttachmentMessage);
    const QString& string = document.text.string();
    for (int position = 0; position < string.size(); ++position) {
        if (string.at(position) != QChar(rtf::attachmentCharacter))
            continue;
        const std::optional<CustomAttributeValue> index = document.text.customAt(position, rtf::pictureAttribute);
        if (!index || !std::holds_alternative<double>(*index))
            continue;
        const EmbeddedFile file = pictureFile(read->pictures.at(std::size_t(std::get<double>(*index))));
        const QString key = QStringLiteral("picture-%1").arg(position);
        document.files.emplace(key, file.data);
        document.importNames.emplace(key, file.name);
        document.text.setCustom(position, 1, rtf::attachmentAttribute, key);
    }
    return document;
}

AppError writeError(const QString& path, const QString& reason)
{
    return AppError(QStringLiteral("无法写入“%1”：%2").arg(path, reason));
}

void removeEntry(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

bool entryExists(const QString& path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

void validateBundleNames(const std::vector<EmbeddedFile>& files)
{
    std::set<QString> seen{rtfdTextFileName.toCaseFolded()};
    for (const EmbeddedFile& file : files) {
        if (!filenames::isPlainFileName(file.name) || !seen.insert(file.name.toCaseFolded()).second)
            throw AppError(QStringLiteral("附件名称“%1”无法写入 RTFD 文稿。").arg(file.name));
    }
}

} // namespace

DocumentType documentTypeOf(const QString& path)
{
    // A bundle may be named with a trailing "/".
    const QString extension = QFileInfo(QDir::cleanPath(path)).suffix().toLower();
    if (extension == QLatin1String("txt"))
        return DocumentType::PlainText;
    if (extension == QLatin1String("rtfd"))
        return DocumentType::Rtfd;
    return DocumentType::Rtf;
}

QString Document::importName(const QString& key) const
{
    const auto found = importNames.find(key);
    return found == importNames.end() ? key : found->second;
}

std::vector<AttachmentMark> attachmentsIn(const AttributedString& text)
{
    std::vector<AttachmentMark> marks;
    const QString& string = text.string();
    for (const AttributedString::Run& run : text.runs()) {
        const auto found = run.attributes.custom.find(rtf::attachmentAttribute);
        if (found == run.attributes.custom.end())
            continue;
        const auto* name = std::get_if<QString>(&found->second);
        if (!name)
            continue;
        for (int position = run.start; position < run.start + run.length; ++position) {
            if (string.at(position) == QChar(rtf::attachmentCharacter))
                marks.push_back(AttachmentMark{position, *name});
        }
    }
    return marks;
}

AttributedString decodePlainText(const QByteArray& bytes)
{
    QString string;
    if (const std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*marked);
        string = decoder.decode(bytes);
    } else {
        QStringDecoder utf8(QStringConverter::Utf8);
        string = utf8.decode(bytes);
        if (utf8.hasError())
            string = rtf::CodepageDecoder().decode(bytes, gb18030Codepage);
    }
    TextAttributes attributes;
    attributes.font = TextFont::system(defaultFontSize);
    attributes.foreground = TextColor::dynamicText();
    return AttributedString(string, attributes);
}

Document readDocument(const QString& path)
{
    if (!QFileInfo::exists(path))
        throw AppError(QStringLiteral("找不到文件“%1”。").arg(displayName(path)));
    switch (documentTypeOf(path)) {
    case DocumentType::PlainText: return Document{decodePlainText(readUserFile(path)), {}, {}, {}};
    case DocumentType::Rtfd: return readRtfd(path);
    case DocumentType::Rtf: break;
    }
    return readRtfWithPictures(readUserFile(path), path);
}

QByteArray plainTextBytes(const AttributedString& text)
{
    return text.string().toUtf8();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    try {
        writeFileSafely(path, bytes);
    } catch (const FileSystemError& error) {
        throw AppError(error.message());
    }
}

void writeRtfd(const QString& path, const AttributedString& text, const std::vector<EmbeddedFile>& files)
{
    validateBundleNames(files);
    const QFileInfo target(QDir::cleanPath(path));
    const QString parent = target.absolutePath();
    const QString token = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString staging = parent + QStringLiteral("/.") + target.fileName() + QStringLiteral(".new-") + token;
    const QString previous = parent + QStringLiteral("/.") + target.fileName() + QStringLiteral(".old-") + token;

    if (!QDir().mkdir(staging))
        throw writeError(path, QStringLiteral("无法在所选文件夹中创建文件。"));
    try {
        writeFile(staging + u'/' + rtfdTextFileName, rtf::write(text));
        for (const EmbeddedFile& file : files)
            writeFile(staging + u'/' + file.name, file.data);
        // The old document is set aside, not deleted, until the new one is in place.
        const bool replacing = entryExists(target.absoluteFilePath());
        if (replacing)
            renameNoReplace(target.absoluteFilePath(), previous);
        try {
            renameNoReplace(staging, target.absoluteFilePath());
        } catch (...) {
            if (replacing)
                renameNoReplace(previous, target.absoluteFilePath());
            throw;
        }
        if (replacing)
            removeEntry(previous);
    } catch (const FileSystemError& error) {
        removeEntry(staging);
        throw AppError(error.message());
    } catch (...) {
        removeEntry(staging);
        throw;
    }
}

} // namespace quorrin::documents
