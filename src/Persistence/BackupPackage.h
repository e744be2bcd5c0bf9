#pragma once

#include "Domain/Attachment.h"
#include "Domain/BackupManifest.h"
#include "Domain/Note.h"

#include <QString>

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

// Copies the attachments of `notes` (from a verified manifest) out of the
// package into `attachmentsDirectory`, each under a new UUID name keeping the
// package file's extension, and returns the notes pointing at the copies.
// Attachments recorded as missing stay as they are. A file that no longer
// matches its checksum fails the copy; files copied before a failure stay.
std::vector<Note> copyAttachmentsIn(const QString& package, std::vector<Note> notes,
                                    const QString& attachmentsDirectory);

} // namespace backup
} // namespace quorrin
