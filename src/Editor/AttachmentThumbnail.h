#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>

namespace quorrin {

// What an image or PDF block shows in the text.
struct AttachmentThumbnail {
    QImage image;
    QSizeF size; // shown size in points
    bool isPlaceholder = false; // the generic document symbol: the file could not be read
};

// The image scaled to the available width (never enlarged, at most 220 points
// high); a file that is no image is tried as a PDF (the first page, 130 × 150);
// anything else shows the document symbol.
AttachmentThumbnail makeAttachmentThumbnail(const QString& path, bool isImage, double availableWidth);

// The shown size of an image of `size` for the available width.
QSizeF scaledImageSize(QSizeF size, double availableWidth);

} // namespace quorrin
