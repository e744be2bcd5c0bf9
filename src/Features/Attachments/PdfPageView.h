#pragma once

#include <QImage>
#include <QScrollArea>

#include <map>
#include <optional>
#include <vector>

namespace quorrin {

class PdfAnnotationDocument;

// The pages of a PDF one below the other, scaled to the view's width, with
// text selected by dragging across the words. Without a document it shows
// nothing.
class PdfPageView : public QScrollArea {
    Q_OBJECT

public:
    // A run of words on one page, in reading order from `firstWord` to
    // `lastWord` (either may be the larger).
    struct Selection {
        int page = 0;
        int firstWord = 0;
        int lastWord = 0;
        friend bool operator==(const Selection&, const Selection&) = default;
    };

    explicit PdfPageView(PdfAnnotationDocument* document, QWidget* parent = nullptr);

    std::optional<Selection> currentSelection() const { return m_selection; }
    void select(std::optional<Selection> selection);
    // The page at the middle of the view; nothing without pages.
    std::optional<int> currentPage() const;
    // Draws the page again after its annotations changed.
    void pageChanged(int page);

    // For the pages' surface: page geometry in its coordinates.
    double scale() const { return m_scale; }
    QRectF pageRect(int page) const;
    std::optional<int> pageAt(const QPointF& point) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class PdfPagesSurface;
    void layoutPages();
    const QImage& pageImage(int page);
    void pressAt(const QPointF& point);
    void dragTo(const QPointF& point);

    PdfAnnotationDocument* m_document;
    QWidget* m_surface;
    double m_scale = 1;
    std::vector<QRectF> m_pageRects;
    std::map<int, QImage> m_images;
    std::optional<Selection> m_selection;
    std::optional<std::pair<int, QPointF>> m_press; // page and point where a drag began
};

} // namespace quorrin
