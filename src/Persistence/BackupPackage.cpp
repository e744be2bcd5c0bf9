#include "Persistence/BackupPackage.h"

#include "Domain/AppError.h"
#include "Domain/Json.h"
#include "Core/Files/DirectoryTree.h"
#include "Core/Files/FileDigest.h"
#include "Core/Files/FileNames.h"
#include "Core/Files/FileSystemError.h"
#include "Core/Files/NoFollowFile.h"
#include "Core/Files/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStorageInfo>

#include <utility>

namespace quorrin::backup {
namespace {

// The checksum recorded for an attachment whose file was missing when the
// package was made: no file of any content can match it by accident.
const QString missingFileChecksum;

bool isRecordedMissing(const Attachment& attachment)
{
    return attachment.checksum == missingFileChecksum;
}

QString attachmentsFolder(const QString& package)
{
    return package + QLatin1Char('/') + attachmentsFolderName;
}

// Every attachment of the notes, in note order and then block order.
template <typename Notes, typename Visit>
void forEachAttachment(Notes& notes, Visit&& visit)
{
    for (auto& note : notes)
        for (auto& block : note.blocks)
            if (block.attachment)
                visit(*block.attachment);
}

BackupManifest decodeManifest(const QByteArray& bytes)
{
    try {
        return json::decode<BackupManifest>(bytes);
    } catch (const json::Error& error) {
        throw AppError(QStringLiteral("备份清单无法读取：%1").arg(error.message()));
    }
}

// Opens an attachment of a package; a name that could lead elsewhere, a
// missing file and anything but a regular file are refused with a message
// naming the attachment as the user knows it.
NoFollowFile openPackageAttachment(const QString& package, const Attachment& attachment)
{
    if (!filenames::isPlainFileName(attachment.relativePath))
        throw AppError(QStringLiteral("备份附件路径无效。"));
    NoFollowFile file = NoFollowFile::open(attachmentsFolder(package), attachment.relativePath);
    switch (file.status()) {
    case NoFollowFile::Status::opened: return file;
    case NoFollowFile::Status::missing: throw AppError(QStringLiteral("备份缺少附件：") + attachment.originalFilename);
    case NoFollowFile::Status::notRegularFile:
        throw AppError(QStringLiteral("备份附件不是普通文件：") + attachment.originalFilename);
    }
    Q_UNREACHABLE();
}

AppError checksumMismatch(const Attachment& attachment)
{
    return AppError(QStringLiteral("备份附件校验失败：") + attachment.originalFilename);
}

void verifyAttachment(const QString& package, const Attachment& attachment)
{
    if (!filenames::isPlainFileName(attachment.relativePath))
        throw AppError(QStringLiteral("备份附件路径无效。"));
    if (isRecordedMissing(attachment)) {
        // Recorded as missing when the package was made: there must be no file
        // for it, or the record and the package disagree.
        const NoFollowFile file = NoFollowFile::open(attachmentsFolder(package), attachment.relativePath);
        if (file.status() != NoFollowFile::Status::missing)
            throw checksumMismatch(attachment);
        return;
    }
    NoFollowFile file = openPackageAttachment(package, attachment);
    if (digest::sha256Hex(file.file(), file.path()) != attachment.checksum)
        throw checksumMismatch(attachment);
}

} // namespace

QString readableSize(qint64 bytes)
{
    // Sizes as Chinese text writes them: whole bytes as 字节, larger ones in
    // binary KB, MB and GB with one decimal.
    if (bytes < 1024)
        return QStringLiteral("%1 字节").arg(bytes);
    const char* const units[] = {"KB", "MB", "GB", "TB"};
    double value = double(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit + 1 < int(std::size(units))) {
        value /= 1024;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1StringView(units[unit]));
}

namespace {

// Refuses a restore whose attachment files, each counted once, would not fit
// in the free space left where they are copied to.
void ensureSpaceFor(const QString& package, const std::vector<Note>& notes, const QString& attachmentsDirectory)
{
    QSet<QString> counted;
    qint64 needed = 0;
    forEachAttachment(notes, [&](const Attachment& attachment) {
        if (isRecordedMissing(attachment) || counted.contains(attachment.relativePath))
            return;
        counted.insert(attachment.relativePath);
        NoFollowFile file = openPackageAttachment(package, attachment);
        needed += file.file().size();
    });
    if (needed == 0)
        return;
    QStorageInfo storage(attachmentsDirectory);
    storage.refresh();
    if (!storage.isValid())
        return; // nothing to compare with: the copy itself reports a full disk
    const qint64 available = storage.bytesAvailable();
    if (needed > available)
        throw AppError(QStringLiteral("磁盘空间不足，无法恢复备份：附件共需 %1，数据文件夹所在磁盘只剩 %2。请腾出空间后重试。")
                           .arg(readableSize(needed), readableSize(available)));
}

} // namespace

BackupResult writePackage(const QString& target, const QString& attachmentsDirectory, BackupManifest manifest)
{
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() || targetInfo.isSymLink())
        throw AppError(QStringLiteral("备份目标已存在，请选择新的文件名。"));

    TemporarySibling work(target, QStringLiteral(".backup-"));
    const QString copiedAttachments = attachmentsFolder(work.path());
    work.create();
    if (!QDir().mkpath(copiedAttachments))
        throw FileSystemError(QStringLiteral("无法创建文件夹“%1”").arg(copiedAttachments));

    BackupResult result{target, {}};
    QHash<QString, QString> checksumByName; // one file may serve several blocks
    forEachAttachment(manifest.notes, [&](Attachment& attachment) {
        if (const auto known = checksumByName.constFind(attachment.relativePath); known != checksumByName.cend()) {
            attachment.checksum = *known;
        } else {
            if (!filenames::isPlainFileName(attachment.relativePath))
                throw AppError(QStringLiteral("附件路径无效：") + attachment.originalFilename);
            NoFollowFile source = NoFollowFile::open(attachmentsDirectory, attachment.relativePath);
            attachment.checksum = source.isOpen()
                ? digest::copyHashing(source.file(), source.path(),
                                      copiedAttachments + QLatin1Char('/') + attachment.relativePath)
                : missingFileChecksum;
            checksumByName.insert(attachment.relativePath, attachment.checksum);
        }
        if (isRecordedMissing(attachment))
            result.missingAttachments.push_back(attachment);
    });

    writeFileSafely(work.path() + QLatin1Char('/') + manifestFileName, json::encode(manifest));
    work.moveIntoPlace();
    return result;
}

BackupManifest readVerifiedManifest(const QString& package)
{
    NoFollowFile manifestFile = NoFollowFile::open(package, manifestFileName);
    if (!manifestFile.isOpen())
        throw AppError(QStringLiteral("备份缺少清单文件 manifest.json。"));
    const QByteArray bytes = manifestFile.file().readAll();
    if (manifestFile.file().error() != QFileDevice::NoError)
        throw FileSystemError(
            QStringLiteral("无法读取文件“%1”：%2").arg(manifestFile.path(), FileSystemError::reasonText(manifestFile.file())));

    BackupManifest manifest = decodeManifest(bytes);
    manifest.validate();
    forEachAttachment(manifest.notes, [&](const Attachment& attachment) { verifyAttachment(package, attachment); });
    return manifest;
}

CopiedAttachments::~CopiedAttachments()
{
    for (const QString& file : std::as_const(files))
        QFile::remove(file);
}

CopiedAttachments::CopiedAttachments(CopiedAttachments&& other) noexcept
    : notes(std::move(other.notes))
    , files(std::exchange(other.files, {}))
{
}

CopiedAttachments& CopiedAttachments::operator=(CopiedAttachments&& other) noexcept
{
    if (this != &other) {
        CopiedAttachments dropped(std::move(*this));
        notes = std::move(other.notes);
        files = std::exchange(other.files, {});
    }
    return *this;
}

CopiedAttachments copyAttachmentsIn(const QString& package, std::vector<Note> notes,
                                    const QString& attachmentsDirectory)
{
    ensureSpaceFor(package, notes, attachmentsDirectory);
    CopiedAttachments result;
    QHash<QString, QString> copyByPackageName;
    forEachAttachment(notes, [&](Attachment& attachment) {
        if (isRecordedMissing(attachment))
            return;
        if (const auto known = copyByPackageName.constFind(attachment.relativePath);
            known != copyByPackageName.cend()) {
            attachment.relativePath = *known; // verified against the same file already
            return;
        }
        NoFollowFile source = openPackageAttachment(package, attachment);
        const QString newName = filenames::uuidFileName(filenames::pathExtension(attachment.relativePath));
        const QString destination = attachmentsDirectory + QLatin1Char('/') + newName;
        const QString copiedChecksum = digest::copyHashing(source.file(), source.path(), destination);
        result.files.push_back(destination);
        if (copiedChecksum != attachment.checksum)
            throw checksumMismatch(attachment); // changed since it was verified: not what the note describes
        copyByPackageName.insert(attachment.relativePath, newName);
        attachment.relativePath = newName;
    });
    result.notes = std::move(notes);
    return result;
}

} // namespace quorrin::backup
