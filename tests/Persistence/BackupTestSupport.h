#pragma once

#include "Domain/BackupManifest.h"
#include "Domain/Note.h"
#include "Domain/TextDefaults.h"
#include "Support/FsTestSupport.h"

#include <QJsonDocument>

namespace quorrin::testing {

inline Attachment attachmentNamed(const QString& relativePath, const QString& originalFilename)
{
    Attachment attachment;
    attachment.relativePath = relativePath;
    attachment.originalFilename = originalFilename;
    attachment.contentType = originalFilename.section(QLatin1Char('.'), -1).toLower();
    attachment.checksum = QStringLiteral("stale");
    return attachment;
}

// A note with a text paragraph and one image block per attachment.
inline Note noteWithAttachments(const QString& text, const std::vector<Attachment>& attachments)
{
    Note note;
    note.blocks.front().text = RichText(text, TextFont::system(14));
    for (const Attachment& attachment : attachments) {
        Block image;
        image.kind = BlockKind::Image;
        image.attachment = attachment;
        note.blocks.push_back(image);
    }
    return note;
}

inline BackupManifest readManifestFile(const QString& path)
{
    return BackupManifest::fromJson(QJsonDocument::fromJson(readFile(path)).object());
}

inline void writeManifestFile(const QString& path, const BackupManifest& manifest)
{
    writeFile(path, QJsonDocument(manifest.toJson().toObject()).toJson(QJsonDocument::Compact));
}

} // namespace quorrin::testing
