#include "Features/Attachments/AnnotatedCopy.h"

#include "Features/Attachments/AttachmentFiles.h"
#include "Persistence/NoteStore.h"
#include "Core/Files/FileNames.h"
#include "Core/Files/SafeFileWriter.h"

#include <QCryptographicHash>
#include <QFile>

namespace quorrin {

Attachment saveAnnotatedCopy(NoteStore& store, const Attachment& original, const QByteArray& data,
                             const QString& extension)
{
    const QString name = filenames::uuidFileName(extension);
    const QString path = attachments::directoryIn(store.root()) + u'/' + name;
    writeFileSafely(path, data);
    const QString checksum = QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
    try {
        store.repointAttachment(original.id, name, checksum, extension);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
    Attachment copy = original;
    copy.relativePath = name;
    copy.checksum = checksum;
    copy.contentType = extension;
    return copy;
}

} // namespace quorrin
