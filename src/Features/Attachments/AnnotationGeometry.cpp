#include "Features/Attachments/AnnotationGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace quorrin::annotation {

namespace {

constexpr double freeTextWidth = 200;
constexpr double freeTextHeight = 60;

// How far a point is from a word: first across lines, then along the line,
// so a point beside a line picks that line's nearest word.
std::pair<double, double> distance(const QRectF& box, const QPointF& point)
{
    const double dx = std::max({box.left() - point.x(), 0.0, point.x() - box.right()});
    const double dy = std::max({box.top() - point.y(), 0.0, point.y() - box.bottom()});
    return {dy, dx};
}

} // namespace

QRectF aspectFitRect(const QSizeF& bounds, const QSizeF& image)
{
    const double scaleX = bounds.width() / std::max(image.width(), 1.0);
    const double scaleY = bounds.height() / std::max(image.height(), 1.0);
    const double scale = std::min(scaleX, scaleY);
    const double width = scale * image.width();
    const double height = scale * image.height();
    return QRectF((bounds.width() - width) / 2, (bounds.height() - height) / 2, width, height);
}

bool StrokeSet::extend(const QPointF& viewPoint, const QRectF& imageRect)
{
    if (m_strokes.empty() || !imageRect.contains(viewPoint) || imageRect.width() <= 0 || imageRect.height() <= 0)
        return false;
    m_strokes.back().push_back(QPointF((viewPoint.x() - imageRect.left()) / imageRect.width(),
                                       (viewPoint.y() - imageRect.top()) / imageRect.height()));
    return true;
}

bool StrokeSet::undo()
{
    if (m_strokes.empty())
        return false;
    m_strokes.pop_back();
    return true;
}

QPointF StrokeSet::toView(const QPointF& normalised, const QRectF& imageRect)
{
    return QPointF(imageRect.left() + normalised.x() * imageRect.width(),
                   imageRect.top() + normalised.y() * imageRect.height());
}

std::optional<int> wordAt(const std::vector<PageWord>& words, const QPointF& point)
{
    std::optional<int> nearest;
    std::pair<double, double> nearestDistance{std::numeric_limits<double>::infinity(), 0};
    for (std::size_t index = 0; index < words.size(); ++index) {
        const std::pair<double, double> away = distance(words[index].box, point);
        if (away < nearestDistance) {
            nearestDistance = away;
            nearest = int(index);
        }
    }
    return nearest;
}

std::vector<QRectF> selectionLineRects(const std::vector<PageWord>& words, int first, int last)
{
    std::vector<QRectF> lines;
    if (words.empty())
        return lines;
    const int count = int(words.size());
    const int from = std::clamp(std::min(first, last), 0, count - 1);
    const int to = std::clamp(std::max(first, last), 0, count - 1);
    bool lineOpen = false;
    for (int index = from; index <= to; ++index) {
        const QRectF& box = words[std::size_t(index)].box;
        if (lineOpen)
            lines.back() = lines.back().united(box);
        else
            lines.push_back(box);
        lineOpen = !words[std::size_t(index)].endsLine;
    }
    return lines;
}

std::vector<PageRun> selectedRuns(WordPosition anchor, WordPosition focus, const std::vector<int>& wordCounts)
{
    const WordPosition from = std::min(anchor, focus);
    const WordPosition to = std::max(anchor, focus);
    std::vector<PageRun> runs;
    const int pages = int(wordCounts.size());
    for (int page = std::max(from.page, 0); page <= std::min(to.page, pages - 1); ++page) {
        const int count = wordCounts[std::size_t(page)];
        if (count <= 0)
            continue;
        const int first = page == from.page ? std::clamp(from.word, 0, count - 1) : 0;
        const int last = page == to.page ? std::clamp(to.word, 0, count - 1) : count - 1;
        runs.push_back(PageRun{page, first, last});
    }
    return runs;
}

QRectF normalisedRect(const QRectF& pageRect, const QSizeF& pageSize)
{
    if (pageSize.width() <= 0 || pageSize.height() <= 0)
        return {};
    return QRectF(pageRect.left() / pageSize.width(), pageRect.top() / pageSize.height(),
                  pageRect.width() / pageSize.width(), pageRect.height() / pageSize.height());
}

std::array<QPointF, 4> highlightQuad(const QRectF& normalised)
{
    return {normalised.topLeft(), normalised.topRight(), normalised.bottomRight(), normalised.bottomLeft()};
}

double selectionScrollStep(double y, double height)
{
    const auto step = [](double past) { return std::min(std::ceil(past / 2), selectionScrollMaxStep); };
    if (y < selectionScrollMargin)
        return -step(selectionScrollMargin - y);
    if (y > height - selectionScrollMargin)
        return step(y - (height - selectionScrollMargin));
    return 0;
}

QRectF freeTextBounds(const QSizeF& pageSize)
{
    const QRectF box(pageSize.width() / 2 - freeTextWidth / 2, pageSize.height() / 2 - freeTextHeight, freeTextWidth,
                     freeTextHeight);
    return normalisedRect(box, pageSize);
}

} // namespace quorrin::annotation
