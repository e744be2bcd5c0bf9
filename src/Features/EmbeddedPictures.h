#pragma once

#include "Features/DocumentFormats.h"
#include "Core/Text/Rtf.h"

#include <QByteArray>

namespace quorrin::documents {

// A picture embedded in an RTF as the file it is imported from: TIFF named
// unnamedPictureName, or PNG named "导入图片.png" where no TIFF writer is
// installed. PNG, JPEG and DIB pictures are read as such, any other format
// as far as an installed image reader knows it. Throws AppError
// "导入文件含无法读取的附件，未修改便笺。" for a picture that cannot be read.
EmbeddedFile pictureFile(const rtf::Picture& picture);

// True when an installed image reader recognises the bytes as an image.
bool isReadableImage(const QByteArray& data);

// A device-independent bitmap as a BMP file: the file header it lacks, put
// in front; nothing when the bitmap header is cut short.
std::optional<QByteArray> bmpFromDib(const QByteArray& dib);

} // namespace quorrin::documents
