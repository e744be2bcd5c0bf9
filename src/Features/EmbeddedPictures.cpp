#include "Features/EmbeddedPictures.h"

#include "Domain/AppError.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>

namespace quorrin::documents {

namespace {

constexpr int fileHeaderSize = 14;
constexpr int coreHeaderSize = 12;
constexpr quint32 bitFieldsCompression = 3;

QImage readPicture(const rtf::Picture& picture)
{
    switch (picture.format) {
    case rtf::PictureFormat::Png: return QImage::fromData(picture.data, "PNG");
    case rtf::PictureFormat::Jpeg: return QImage::fromData(picture.data, "JPEG");
    case rtf::PictureFormat::Dib: {
        const std::optional<QByteArray> bmp = bmpFromDib(picture.data);
        return bmp ? QImage::fromData(*bmp, "BMP") : QImage();
    }
    default: return QImage::fromData(picture.data);
    }
}

std::optional<QByteArray> encoded(const QImage& picture, const char* format)
{
    // Full colour: the TIFF writer stores one-bit images as black and white.
    const QImage image =
        picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.canWrite() || !writer.write(image) || bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

} // namespace

std::optional<QByteArray> bmpFromDib(const QByteArray& dib)
{
    if (dib.size() < 4)
        return std::nullopt;
    const auto bytes = reinterpret_cast<const uchar*>(dib.constData());
    const quint32 headerSize = qFromLittleEndian<quint32>(bytes);
    qint64 paletteBytes = 0;
    if (headerSize == coreHeaderSize) {
        if (dib.size() < coreHeaderSize)
            return std::nullopt;
        const quint16 bitCount = qFromLittleEndian<quint16>(bytes + 10);
        paletteBytes = bitCount <= 8 ? (qint64(1) << bitCount) * 3 : 0;
    } else if (headerSize >= 40 && dib.size() >= 40) {
        const quint16 bitCount = qFromLittleEndian<quint16>(bytes + 14);
        const quint32 compression = qFromLittleEndian<quint32>(bytes + 16);
        const quint32 colorsUsed = qFromLittleEndian<quint32>(bytes + 32);
        if (colorsUsed > 0)
            paletteBytes = qint64(colorsUsed) * 4;
        else if (bitCount <= 8)
            paletteBytes = (qint64(1) << bitCount) * 4;
        if (headerSize == 40 && compression == bitFieldsCompression)
            paletteBytes += 12;
    } else {
        return std::nullopt;
    }
    const qint64 offset = fileHeaderSize + qint64(headerSize) + paletteBytes;
    const qint64 total = fileHeaderSize + dib.size();
    if (offset > total || total > qint64(UINT32_MAX))
        return std::nullopt;
    QByteArray file(fileHeaderSize, '\0');
    auto header = reinterpret_cast<uchar*>(file.data());
    header[0] = 'B';
    header[1] = 'M';
    qToLittleEndian<quint32>(quint32(total), header + 2);
    qToLittleEndian<quint32>(quint32(offset), header + 10);
    return file + dib;
}

EmbeddedFile pictureFile(const rtf::Picture& picture)
{
    const QImage image = readPicture(picture);
    if (image.isNull())
        throw AppError(QStringLiteral("导入文件含无法读取的附件，未修改便笺。"));
    if (std::optional<QByteArray> tiff = encoded(image, "tiff"))
        return EmbeddedFile{unnamedPictureName, std::move(*tiff)};
    if (std::optional<QByteArray> png = encoded(image, "png"))
        return EmbeddedFile{QStringLiteral("导入图片.png"), std::move(*png)};
    throw AppError(QStringLiteral("导入文件含无法读取的附件，未修改便笺。"));
}

bool isReadableImage(const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.canRead();
}

} // namespace quorrin::documents
