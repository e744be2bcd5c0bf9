#include "Features/Attachments/PdfAnnotationDocument.h"

#include "Domain/AppError.h"
#include "Features/Attachments/AttachmentFixtures.h"

#include <QFontDatabase>

#include <gtest/gtest.h>
#include <poppler-annotation.h>
#include <poppler-qt6.h>

namespace quorrin {
namespace {

std::vector<std::unique_ptr<Poppler::Annotation>> annotationsOf(const QByteArray& pdf)
{
    std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
    EXPECT_TRUE(document);
    return document ? document->page(0)->annotations() : std::vector<std::unique_ptr<Poppler::Annotation>>{};
}

TEST(PdfAnnotationDocumentTest, HighlightsASelectionAcrossTwoLinesLineByLine)
{
    std::unique_ptr<PdfAnnotationDocument> document = PdfAnnotationDocument::load(testing::twoLinePdf());
    ASSERT_TRUE(document);
    ASSERT_EQ(document->pageCount(), 1);
    const std::vector<annotation::PageWord>& words = document->words(0);
    ASSERT_EQ(words.size(), 6u);
    EXPECT_TRUE(words[2].endsLine);
    EXPECT_FALSE(words[3].endsLine);

    // From "first" to "line" on the second line.
    const std::vector<QRectF> lines = annotation::selectionLineRects(words, 1, 4);
    ASSERT_EQ(lines.size(), 2u);
    document->addHighlights(0, lines);

    const auto annotations = annotationsOf(document->annotatedCopy());
    ASSERT_EQ(annotations.size(), 2u);
    const QSizeF page = document->pageSize(0);
    for (std::size_t index = 0; index < 2; ++index) {
        ASSERT_EQ(annotations[index]->subType(), Poppler::Annotation::AHighlight);
        const auto& highlight = static_cast<const Poppler::HighlightAnnotation&>(*annotations[index]);
        ASSERT_EQ(highlight.highlightQuads().size(), 1);
        const Poppler::HighlightAnnotation::Quad quad = highlight.highlightQuads().front();
        const QRectF expected = annotation::normalisedRect(lines[index], page);
        EXPECT_NEAR(quad.points[0].x(), expected.left(), 1e-3);
        EXPECT_NEAR(quad.points[0].y(), expected.top(), 1e-3);
        EXPECT_NEAR(quad.points[2].x(), expected.right(), 1e-3);
        EXPECT_NEAR(quad.points[2].y(), expected.bottom(), 1e-3);
        EXPECT_NEAR(highlight.style().opacity(), 0.45, 1e-3);
    }
    // The first line's highlight starts at "first", the second at the line's start.
    EXPECT_GT(lines[0].left(), words[0].box.right());
    EXPECT_EQ(lines[1].left(), words[3].box.left());
}

bool hasChineseFont()
{
    return !QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty();
}

int reddishPixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor color = image.pixelColor(x, y);
            count += color.red() > 180 && color.green() < 140 && color.blue() < 140 ? 1 : 0;
        }
    }
    return count;
}

TEST(PdfAnnotationDocumentTest, AFreeTextNoteInChineseIsDrawnInTheSavedCopy)
{
    if (!hasChineseFont())
        GTEST_SKIP() << "no font with Chinese glyphs installed";
    std::unique_ptr<PdfAnnotationDocument> document = PdfAnnotationDocument::load(testing::twoLinePdf());
    ASSERT_TRUE(document);
    document->addFreeText(0, QStringLiteral("重要批注"));
    const QByteArray copy = document->annotatedCopy();

    const auto annotations = annotationsOf(copy);
    ASSERT_EQ(annotations.size(), 1u);
    ASSERT_EQ(annotations[0]->subType(), Poppler::Annotation::AText);
    const auto& note = static_cast<const Poppler::TextAnnotation&>(*annotations[0]);
    EXPECT_EQ(note.textType(), Poppler::TextAnnotation::InPlace);
    EXPECT_EQ(note.contents(), QStringLiteral("重要批注"));
    const QRectF bounds = annotation::freeTextBounds(document->pageSize(0));
    EXPECT_NEAR(note.boundary().left(), bounds.left(), 1e-3);
    EXPECT_NEAR(note.boundary().top(), bounds.top(), 1e-3);

    // Another reading of the saved file draws the characters in red inside the box.
    std::unique_ptr<PdfAnnotationDocument> reread = PdfAnnotationDocument::load(copy);
    ASSERT_TRUE(reread);
    const QImage page = reread->render(0, 2);
    const QRect box(int(bounds.left() * page.width()), int(bounds.top() * page.height()),
                    int(bounds.width() * page.width()), int(bounds.height() * page.height()));
    EXPECT_GT(reddishPixels(page, box), 100);
}

TEST(PdfAnnotationDocumentTest, BytesThatAreNoPdfLoadNothing)
{
    EXPECT_FALSE(PdfAnnotationDocument::load(QByteArray("not a pdf")));
    EXPECT_FALSE(PdfAnnotationDocument::load(QByteArray()));
}

} // namespace
} // namespace quorrin
