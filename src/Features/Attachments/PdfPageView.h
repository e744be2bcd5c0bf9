#pragma once

#include "Features/Attachments/AnnotationGeometry.h"

#include <QImage>
#include <QScrollArea>
#include <QTimer>

#include <map>
#include <optional>
#include <vector>

namespace quorrin {

class PdfAnnotationDocument;

// The pages of a PDF one below the other, scaled to the view's width, with
// text selected by dragging across the words; a drag near or past the top or
// bottom edge scrolls the pages along until the pointer comes back or the
// button is released. Without a document it shows nothing.
class PdfPageView : public QScrollArea {
    Q_OBJECT

public:
    // The words from the one where the drag began (`anchor`) to the one
    // under the pointer (`focus`), on one page or across several; the focus
    // may come before the anchor.
    struct Selection {
        annotation::WordPosition anchor;
        annotation::WordPosition focus;
        friend bool operator==(const Selection&, const Selection&) = default;
    };

    explicit PdfPageView(PdfAnnotationDocument* document, QWidget* parent = nullptr);

    std::optional<Selection> currentSelection() const { return m_selection; }
    void select(std::optional<Selection> selection);
    // The selected words page by page, in reading order; none without a
    // selection.
    std::vector<annotation::PageRun> selectedRuns() const;
    // The page at the middle of the view; nothing without pages.
    std::optional<int> currentPage() const;
    // Draws the page again after its annotations changed.
    void pageChanged(int page);

    // For the pages' surface: page geometry in its coordinates.
    double scale() const { return m_scale; }
    QRectF pageRect(int page) const;
    std::optional<int> pageAt(const QPointF& point) const;
    // The page at the point, or the first or last page when the point lies
    // above or below them all; nothing without pages.
    std::optional<int> nearestPage(const QPointF& point) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class PdfPagesSurface;
    void layoutPages();
    const QImage& pageImage(int page);
    void pressAt(const QPointF& point);
    void dragTo(const QPointF& point);
    void release();
    // One step of scrolling while a selection is dragged near an edge.
    void scrollWithSelection();
    std::optional<int> wordAt(int page, const QPointF& point) const;

    PdfAnnotationDocument* m_document;
    QWidget* m_surface;
    double m_scale = 1;
    std::vector<QRectF> m_pageRects;
    std::map<int, QImage> m_images;
    std::optional<Selection> m_selection;
    std::optional<std::pair<int, QPointF>> m_press; // page and point where a drag began
    QPointF m_dragPointer; // the pointer of a running drag, in viewport coordinates
    QTimer m_selectionScroll;
};

} // namespace quorrin
