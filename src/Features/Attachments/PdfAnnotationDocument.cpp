#include "Features/Attachments/PdfAnnotationDocument.h"

#include "Domain/AppError.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QGuiApplication>

#include <poppler-annotation.h>
#include <poppler-qt6.h>

namespace quorrin {

namespace {

constexpr double highlightOpacity = 0.45;
constexpr double freeTextPointSize = 14;
const QColor highlightColor(255, 204, 0);
const QColor freeTextColor(255, 59, 48);

std::vector<annotation::PageWord> wordsOf(const Poppler::Page& page)
{
    std::vector<annotation::PageWord> words;
    for (const std::unique_ptr<Poppler::TextBox>& box : page.textList())
        words.push_back(annotation::PageWord{box->boundingBox(), box->nextWord() == nullptr});
    return words;
}

} // namespace

std::unique_ptr<PdfAnnotationDocument> PdfAnnotationDocument::load(const QByteArray& data)
{
    std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(data);
    if (!document || document->isLocked())
        return nullptr;
    return std::unique_ptr<PdfAnnotationDocument>(new PdfAnnotationDocument(data, std::move(document)));
}

PdfAnnotationDocument::PdfAnnotationDocument(QByteArray data, std::unique_ptr<Poppler::Document> document)
    : m_data(std::move(data))
    , m_document(std::move(document))
{
    m_document->setRenderHint(Poppler::Document::Antialiasing);
    m_document->setRenderHint(Poppler::Document::TextAntialiasing);
    for (int index = 0; index < m_document->numPages(); ++index) {
        std::unique_ptr<Poppler::Page> page = m_document->page(index);
        if (!page)
            break;
        m_pages.push_back(std::move(page));
    }
}

PdfAnnotationDocument::~PdfAnnotationDocument() = default;

QSizeF PdfAnnotationDocument::pageSize(int page) const
{
    return m_pages.at(std::size_t(page))->pageSizeF();
}

QImage PdfAnnotationDocument::render(int page, double scale) const
{
    return m_pages.at(std::size_t(page))->renderToImage(72 * scale, 72 * scale);
}

const std::vector<annotation::PageWord>& PdfAnnotationDocument::words(int page) const
{
    auto found = m_words.find(page);
    if (found == m_words.end())
        found = m_words.emplace(page, wordsOf(*m_pages.at(std::size_t(page)))).first;
    return found->second;
}

void PdfAnnotationDocument::addHighlights(int page, const std::vector<QRectF>& lineRects)
{
    Poppler::Page& target = *m_pages.at(std::size_t(page));
    const QSizeF size = target.pageSizeF();
    for (const QRectF& line : lineRects) {
        const QRectF bounds = annotation::normalisedRect(line, size);
        Poppler::HighlightAnnotation highlight;
        highlight.setHighlightType(Poppler::HighlightAnnotation::Highlight);
        Poppler::HighlightAnnotation::Quad quad{};
        const std::array<QPointF, 4> corners = annotation::highlightQuad(bounds);
        std::copy(corners.begin(), corners.end(), quad.points);
        highlight.setHighlightQuads({quad});
        highlight.setBoundary(bounds);
        Poppler::Annotation::Style style;
        style.setColor(highlightColor);
        style.setOpacity(highlightOpacity);
        highlight.setStyle(style);
        target.addAnnotation(&highlight);
    }
}

void PdfAnnotationDocument::addFreeText(int page, const QString& text)
{
    Poppler::Page& target = *m_pages.at(std::size_t(page));
    Poppler::TextAnnotation note(Poppler::TextAnnotation::InPlace);
    note.setBoundary(annotation::freeTextBounds(target.pageSizeF()));
    note.setContents(text);
    // Poppler draws the text in this font and embeds it; characters the font
    // lacks (Chinese in a Latin face) are drawn in a system font that has them.
    QFont font(QGuiApplication::font().family());
    font.setPointSizeF(freeTextPointSize);
    note.setTextFont(font);
    note.setTextColor(freeTextColor);
    Poppler::Annotation::Style style;
    style.setColor(Qt::transparent);
    style.setWidth(0);
    note.setStyle(style);
    target.addAnnotation(&note);
}

QByteArray PdfAnnotationDocument::annotatedCopy() const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("无法生成标注文件。"));
    std::unique_ptr<Poppler::PDFConverter> converter = m_document->pdfConverter();
    converter->setOutputDevice(&buffer);
    converter->setPDFOptions(Poppler::PDFConverter::WithChanges);
    if (!converter->convert() || bytes.isEmpty())
        throw AppError(QStringLiteral("无法生成标注文件。"));
    return bytes;
}

} // namespace quorrin
