#include "Features/EmbeddedPictures.h"

#include "Domain/AppError.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>

#include <gtest/gtest.h>

namespace quorrin::documents {
namespace {

// The bitmap part of a BMP file: what an RTF holds after \dibitmap.
QByteArray dibOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes.mid(14);
}

TEST(EmbeddedPicturesTest, ConvertsEveryReadablePictureToTiff)
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(QColor(0, 200, 0));
    const std::vector<rtf::Picture> pictures = {
        {rtf::PictureFormat::Dib, dibOf(image)},
        {rtf::PictureFormat::Dib, dibOf(image.convertToFormat(QImage::Format_Indexed8))},
    };
    for (const rtf::Picture& picture : pictures) {
        const EmbeddedFile file = pictureFile(picture);
        EXPECT_EQ(file.name, unnamedPictureName);
        const QImage read = QImage::fromData(file.data, "TIFF");
        EXPECT_EQ(read.size(), QSize(4, 3));
        EXPECT_EQ(read.pixelColor(2, 1), QColor(0, 200, 0));
    }
}

TEST(EmbeddedPicturesTest, PicturesThatCannotBeReadAreReported)
{
    for (const rtf::Picture& picture : std::vector<rtf::Picture>{{rtf::PictureFormat::Png, "not a png"},
                                                                {rtf::PictureFormat::Wmf, "\x01\x00\x09\x00"},
                                                                {rtf::PictureFormat::Dib, "\x28"},
                                                                {rtf::PictureFormat::Unknown, {}}})
        EXPECT_THROW(pictureFile(picture), AppError);
}

TEST(EmbeddedPicturesTest, ABitmapHeaderThatPointsPastItsDataIsRefused)
{
    QByteArray header(40, '\0');
    qToLittleEndian<quint32>(40, header.data());
    qToLittleEndian<quint16>(8, header.data() + 14); // 256 palette entries that are not there
    EXPECT_TRUE(bmpFromDib(header + QByteArray(1024, '\0')));
    EXPECT_FALSE(bmpFromDib(header));
    EXPECT_FALSE(bmpFromDib(QByteArray("\x0c\0\0\0", 4)));
}

} // namespace
} // namespace quorrin::documents
