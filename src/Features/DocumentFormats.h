#pragma once

#include "Core/Text/AttributedString.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace quorrin::documents {

// The text documents notes are read from and written to.
enum class DocumentType { PlainText, Rtf, Rtfd };

// By the path's extension, in any case: "txt" is plain text, "rtfd" an RTFD
// bundle, anything else RTF.
DocumentType documentTypeOf(const QString& path);

// The name of the RTF text inside an RTFD bundle.
inline const QString rtfdTextFileName = QStringLiteral("TXT.rtf");

// A file embedded in a document: its name inside the bundle and its bytes.
struct EmbeddedFile {
    QString name;
    QByteArray data;
    friend bool operator==(const EmbeddedFile&, const EmbeddedFile&) = default;
};

// A document read whole: its text, whose attachments (U+FFFC characters with
// rtf::attachmentAttribute) each name one of the files.
struct Document {
    AttributedString text;
    std::map<QString, QByteArray> files;
    // Files the document gave no name of their own (pictures embedded in an
    // RTF): the name each is imported under, by its key in `files`.
    std::map<QString, QString> importNames;
    // What the user should hear of a document read only in part.
    std::optional<QString> warning;

    // The name a file of `files` is imported under.
    QString importName(const QString& key) const;
};

// The name of a picture that came without a file name of its own.
inline const QString unnamedPictureName = QStringLiteral("导入图片.tiff");

// One attachment of a text: the position of its U+FFFC character and the
// name of the file it stands for.
struct AttachmentMark {
    int position = 0;
    QString name;
    friend bool operator==(const AttachmentMark&, const AttachmentMark&) = default;
};

// The attachments of a text, in text order.
std::vector<AttachmentMark> attachmentsIn(const AttributedString& text);

// Plain text in the system font: a byte-order mark decides the encoding, then
// UTF-8 when the bytes are valid UTF-8, otherwise GB18030.
AttributedString decodePlainText(const QByteArray& bytes);

// The largest text file a document is read from (the .txt or .rtf file, or
// an RTFD's TXT.rtf): a larger one would hold the application up for
// seconds while its note is made and shown. Refused before it is read.
inline constexpr qint64 maximumDocumentBytes = 1 << 20;
inline const QString maximumDocumentSizeText = QStringLiteral("1 MB");

// Reads a document of the type its path names. Every attachment of an RTFD is
// read here, and every picture of an RTF converted to TIFF ("导入图片.tiff"),
// so a document that returns is complete. Throws AppError with the reason
// when the file is missing, unreadable or larger than maximumDocumentBytes,
// the RTF is broken, or an attachment
// is missing, unreadable, unsafe (a name reaching outside the bundle, a
// symbolic link, anything but a regular file) or neither a PDF nor an image.
Document readDocument(const QString& path);

// The text as UTF-8 plain text.
QByteArray plainTextBytes(const AttributedString& text);

// Each writer replaces `path` as a whole or leaves it as it was; throws
// AppError when it cannot. An RTFD is a directory holding "TXT.rtf" and the
// files, whose names must be plain file names other than "TXT.rtf".
void writeFile(const QString& path, const QByteArray& bytes);
void writeRtfd(const QString& path, const AttributedString& text, const std::vector<EmbeddedFile>& files);

} // namespace quorrin::documents
