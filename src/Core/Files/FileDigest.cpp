#include "Core/Files/FileDigest.h"

#include "Core/Files/FileSystemError.h"
#include "Core/Files/SafeFileWriter.h"

#include <QCryptographicHash>
#include <QFile>


namespace quorrin::digest {
namespace {

constexpr qint64 chunkSize = 1 << 20;

QString hexOf(const QCryptographicHash& hash)
{
    return QString::fromLatin1(hash.result().toHex());
}

// Reads `source` chunk by chunk, handing each chunk to `consume`.
template <typename Consume>
void streamChunks(QIODevice& source, const QString& label, Consume&& consume)
{
    QByteArray buffer(chunkSize, Qt::Uninitialized);
    for (;;) {
        const qint64 count = source.read(buffer.data(), chunkSize);
        if (count < 0)
            throw FileSystemError(QStringLiteral("无法读取文件“%1”：%2").arg(label, FileSystemError::reasonText(source)));
        if (count == 0)
            return;
        consume(QByteArrayView(buffer.constData(), count));
    }
}

} // namespace

QString sha256Hex(QIODevice& source, const QString& label)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    streamChunks(source, label, [&](QByteArrayView chunk) { hash.addData(chunk); });
    return hexOf(hash);
}

QString sha256HexOfFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileSystemError(QStringLiteral("无法读取文件“%1”：%2").arg(path, FileSystemError::reasonText(file)));
    return sha256Hex(file, path);
}

QString sha256Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString copyHashing(QIODevice& source, const QString& label, const QString& destinationPath)
{
    SafeFileWriter target(destinationPath);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    target.writeAll(source, label, [&](QByteArrayView chunk) { hash.addData(chunk); });
    target.commit();
    return hexOf(hash);
}

bool isLowerHexSha256(const QString& text)
{
    if (text.size() != 64)
        return false;
    for (const QChar c : text) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const bool letter = c >= QLatin1Char('a') && c <= QLatin1Char('f');
        if (!digit && !letter)
            return false;
    }
    return true;
}

} // namespace quorrin::digest
