#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <array>
#include <optional>
#include <vector>

namespace quorrin::annotation {

// The image's rectangle in a view: scaled up or down to fit the bounds with
// its proportions kept, and centred.
QRectF aspectFitRect(const QSizeF& bounds, const QSizeF& image);

// Freehand strokes over an image, each point in normalised image coordinates
// (0 at the left and top edges, 1 at the right and bottom ones), so they stay
// on the same picture features whatever size the image is shown at.
using Stroke = std::vector<QPointF>;

class StrokeSet {
public:
    // A press starts a new stroke, even outside the image; it stays empty
    // until the pointer enters the image.
    void begin() { m_strokes.emplace_back(); }
    // Adds a point of the view to the last stroke; false (nothing added) when
    // it lies outside the image rectangle or no stroke has begun.
    bool extend(const QPointF& viewPoint, const QRectF& imageRect);
    // Removes the last stroke; false when there is none.
    bool undo();

    const std::vector<Stroke>& strokes() const { return m_strokes; }
    bool isEmpty() const { return m_strokes.empty(); }

    // A stored point back in the view, for the image rectangle shown now.
    static QPointF toView(const QPointF& normalised, const QRectF& imageRect);

private:
    std::vector<Stroke> m_strokes;
};

// One word of a PDF page as its text layer gives it: its box in page points
// (origin top-left, y down) and whether it is the last word of its line.
struct PageWord {
    QRectF box;
    bool endsLine = false;
};

// The word a pointer position selects: the word under it, else the nearest
// one; nothing on a page without words.
std::optional<int> wordAt(const std::vector<PageWord>& words, const QPointF& point);

// The rectangles of a selection of words first...last (in either order), one
// per line: the union of the selected words' boxes on that line.
std::vector<QRectF> selectionLineRects(const std::vector<PageWord>& words, int first, int last);

// A word of a document: its page and its index among that page's words.
struct WordPosition {
    int page = 0;
    int word = 0;
    friend auto operator<=>(const WordPosition&, const WordPosition&) = default;
};

// The words of one page that a selection covers, first...last in reading order.
struct PageRun {
    int page = 0;
    int firstWord = 0;
    int lastWord = 0;
    friend bool operator==(const PageRun&, const PageRun&) = default;
};

// The words a selection between two words covers (either may come first),
// page by page in reading order: the first page from its word on, every page
// between whole, the last page up to its word. `wordCounts` holds each page's
// number of words; pages without words and positions off the document give
// no run.
std::vector<PageRun> selectedRuns(WordPosition anchor, WordPosition focus, const std::vector<int>& wordCounts);

// How far a view scrolls on one step while text is selected by dragging
// with the pointer at `y` (view coordinates, y down) in a view `height`
// high: nothing while the pointer is more than `selectionScrollMargin` inside
// it; towards the edge it is near or past, the faster the farther out, up to
// `selectionScrollMaxStep`. Negative scrolls up.
inline constexpr double selectionScrollMargin = 16;
inline constexpr double selectionScrollMaxStep = 40;
double selectionScrollStep(double y, double height);

// Page points to the page's normalised coordinates (0...1, origin top-left).
QRectF normalisedRect(const QRectF& pageRect, const QSizeF& pageSize);

// The four corners of a highlight over a normalised rectangle, in the order
// the annotation's quad takes them: top left, top right, bottom right,
// bottom left.
std::array<QPointF, 4> highlightQuad(const QRectF& normalised);

// A free-text note's box, normalised: 200 × 60 points, centred horizontally,
// its lower edge on the page's vertical centre.
QRectF freeTextBounds(const QSizeF& pageSize);

} // namespace quorrin::annotation
