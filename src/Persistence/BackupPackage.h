#pragma once

#include "Domain/Attachment.h"
#include "Domain/BackupManifest.h"
#include "Domain/Note.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quorrin {

// What a backup wrote, and what it could not include.
struct BackupResult {
    QString package;
    // Attachments whose file was gone from the data directory. Their notes are
    // in the package all the same, each such attachment recorded with an empty
    // checksum and no file, so the package still restores.
    std::vector<Attachment> missingAttachments;
};

// The on-disk form of a backup package: a directory holding "manifest.json"
// and an "Attachments" folder with one file per attachment the manifest
// names. A package is untrusted input: it is read without following links,
// every name it gives is checked, and nothing outside the attachments folder
// passed in is ever written.
namespace backup {

inline const QString manifestFileName = QStringLiteral("manifest.json");
inline const QString attachmentsFolderName = QStringLiteral("Attachments");
inline const QString packageExtension = QStringLiteral(".quorrinbackup");

// A number of bytes as the messages about disk space give it ("579 字节",
// "1.0 MB").
QString readableSize(qint64 bytes);

// Writes `manifest` as a package at `target`, copying every attachment its
// notes name from `attachmentsDirectory` and recording each one's freshly
// computed checksum. The package is built in a hidden sibling of `target`
// and appears under its final name in one move that never replaces anything.
// A missing attachment file is left out (see BackupResult); any other
// failure is thrown with the sibling removed.
BackupResult writePackage(const QString& target, const QString& attachmentsDirectory, BackupManifest manifest);

// Reads the package's manifest and checks everything before anyone acts on
// it: the manifest decodes and validates, and every attachment of every note
// has a plain name, is present as a regular file and matches its recorded
// checksum. Throws an AppError naming the first problem; changes nothing.
BackupManifest readVerifiedManifest(const QString& package);

// The files a restore copied into the attachments folder, and the notes
// pointing at them. The copies are removed again when the object goes away,
// unless keep() was called once the restore succeeded.
class CopiedAttachments {
public:
    CopiedAttachments() = default;
    ~CopiedAttachments();
    CopiedAttachments(CopiedAttachments&& other) noexcept;
    CopiedAttachments& operator=(CopiedAttachments&& other) noexcept;
    CopiedAttachments(const CopiedAttachments&) = delete;
    CopiedAttachments& operator=(const CopiedAttachments&) = delete;

    std::vector<Note> notes;
    // Full paths of the files copied in.
    QStringList files;

    void keep() { files.clear(); }
};

// Copies the attachments of `notes` (from a verified manifest) out of the
// package into `attachmentsDirectory`, each package file once under a new
// UUID name keeping its extension, however many blocks name it, and points
// the notes at the copies. Attachments recorded as missing stay as they are.
// Refuses before copying anything when the files do not fit in the free
// space of the folder's file system. A file that no longer matches its
// checksum, or any other failure, removes every copy made so far.
CopiedAttachments copyAttachmentsIn(const QString& package, std::vector<Note> notes,
                                    const QString& attachmentsDirectory);

} // namespace backup
} // namespace quorrin
