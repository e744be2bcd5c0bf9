#pragma once

#include "Features/Attachments/AnnotationGeometry.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace Poppler {
class Document;
class Page;
} // namespace Poppler

namespace quorrin {

// A PDF being annotated: its pages rendered, their words for text selection,
// and the annotations added in memory until a copy is written. Built on
// Poppler, which offers the pieces (text boxes, annotations, a writer that
// keeps changes) but no viewer.
class PdfAnnotationDocument {
public:
    // Nothing when the bytes are not a PDF that can be read.
    static std::unique_ptr<PdfAnnotationDocument> load(const QByteArray& data);
    ~PdfAnnotationDocument();
    PdfAnnotationDocument(const PdfAnnotationDocument&) = delete;
    PdfAnnotationDocument& operator=(const PdfAnnotationDocument&) = delete;

    int pageCount() const { return int(m_pages.size()); }
    // In points.
    QSizeF pageSize(int page) const;
    // The page with its annotations, `scale` device pixels per point.
    QImage render(int page, double scale) const;
    // The page's words in reading order, boxes in points from the top left.
    const std::vector<annotation::PageWord>& words(int page) const;

    // One highlight per line rectangle (page points), in translucent yellow.
    void addHighlights(int page, const std::vector<QRectF>& lineRects);
    // A free-text note in red at 14 points, in the middle of the page.
    void addFreeText(int page, const QString& text);

    // The document with every annotation added so far, as PDF bytes. Throws
    // AppError "无法生成标注文件。" when it cannot be written.
    QByteArray annotatedCopy() const;

private:
    PdfAnnotationDocument(QByteArray data, std::unique_ptr<Poppler::Document> document);

    QByteArray m_data; // the document reads from these bytes while it lives
    std::unique_ptr<Poppler::Document> m_document;
    std::vector<std::unique_ptr<Poppler::Page>> m_pages;
    mutable std::map<int, std::vector<annotation::PageWord>> m_words;
};

} // namespace quorrin
