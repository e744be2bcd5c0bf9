#include "Features/Attachments/PdfPageView.h"

#include "Features/Attachments/PdfAnnotationDocument.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace quorrin {

namespace {

constexpr double pageGap = 10;
constexpr double dragThreshold = 3;
constexpr int selectionScrollIntervalMs = 30;
const QColor selectionColor(0, 122, 255, 70);

} // namespace

// The widget inside the scroll area that paints the pages and takes the
// pointer.
class PdfPagesSurface : public QWidget {
public:
    explicit PdfPagesSurface(PdfPageView& view)
        : m_view(view)
    {
        setCursor(Qt::IBeamCursor);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Mid));
        if (!m_view.m_document)
            return;
        for (int page = 0; page < int(m_view.m_pageRects.size()); ++page) {
            const QRectF target = m_view.m_pageRects[std::size_t(page)];
            if (!target.intersects(QRectF(event->rect())))
                continue;
            painter.fillRect(target, Qt::white);
            painter.drawImage(target, m_view.pageImage(page));
        }
        paintSelection(painter);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_view.pressAt(event->position());
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (event->buttons() & Qt::LeftButton)
            m_view.dragTo(event->position());
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_view.release();
    }

private:
    void paintSelection(QPainter& painter)
    {
        for (const annotation::PageRun& run : m_view.selectedRuns()) {
            const QRectF page = m_view.pageRect(run.page);
            const auto& words = m_view.m_document->words(run.page);
            for (const QRectF& line : annotation::selectionLineRects(words, run.firstWord, run.lastWord)) {
                const QRectF shown(page.left() + line.left() * m_view.m_scale,
                                   page.top() + line.top() * m_view.m_scale, line.width() * m_view.m_scale,
                                   line.height() * m_view.m_scale);
                painter.fillRect(shown, selectionColor);
            }
        }
    }

    PdfPageView& m_view;
};

PdfPageView::PdfPageView(PdfAnnotationDocument* document, QWidget* parent)
    : QScrollArea(parent)
    , m_document(document)
    , m_surface(new PdfPagesSurface(*this))
{
    setWidget(m_surface);
    setWidgetResizable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_selectionScroll.setInterval(selectionScrollIntervalMs);
    connect(&m_selectionScroll, &QTimer::timeout, this, &PdfPageView::scrollWithSelection);
    layoutPages();
}

void PdfPageView::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    layoutPages();
}

void PdfPageView::layoutPages()
{
    const double width = std::max(1, viewport()->width());
    m_pageRects.clear();
    if (!m_document || m_document->pageCount() == 0) {
        m_surface->resize(int(width), std::max(1, viewport()->height()));
        return;
    }
    // Pages fit the width, the widest one edge to edge.
    double widest = 1;
    for (int page = 0; page < m_document->pageCount(); ++page)
        widest = std::max(widest, m_document->pageSize(page).width());
    const double scale = (width - 2 * pageGap) / widest;
    if (std::abs(scale - m_scale) > 1e-9)
        m_images.clear();
    m_scale = std::max(scale, 0.01);
    double top = pageGap;
    for (int page = 0; page < m_document->pageCount(); ++page) {
        const QSizeF size = m_document->pageSize(page) * m_scale;
        m_pageRects.emplace_back((width - size.width()) / 2, top, size.width(), size.height());
        top += size.height() + pageGap;
    }
    m_surface->resize(int(width), int(std::ceil(top)));
    m_surface->update();
}

QRectF PdfPageView::pageRect(int page) const
{
    return page >= 0 && page < int(m_pageRects.size()) ? m_pageRects[std::size_t(page)] : QRectF();
}

std::optional<int> PdfPageView::pageAt(const QPointF& point) const
{
    for (int page = 0; page < int(m_pageRects.size()); ++page) {
        const QRectF& rect = m_pageRects[std::size_t(page)];
        // The gap below a page still belongs to it.
        if (point.y() >= rect.top() - pageGap && point.y() <= rect.bottom())
            return page;
    }
    return std::nullopt;
}

std::optional<int> PdfPageView::nearestPage(const QPointF& point) const
{
    if (m_pageRects.empty())
        return std::nullopt;
    if (const std::optional<int> page = pageAt(point))
        return page;
    return point.y() < m_pageRects.front().top() ? 0 : int(m_pageRects.size()) - 1;
}

std::optional<int> PdfPageView::currentPage() const
{
    if (m_pageRects.empty())
        return std::nullopt;
    const double middle = verticalScrollBar()->value() + viewport()->height() / 2.0;
    for (int page = 0; page < int(m_pageRects.size()); ++page) {
        if (middle <= m_pageRects[std::size_t(page)].bottom() + pageGap)
            return page;
    }
    return int(m_pageRects.size()) - 1;
}

const QImage& PdfPageView::pageImage(int page)
{
    auto found = m_images.find(page);
    if (found == m_images.end())
        found = m_images.emplace(page, m_document->render(page, m_scale * devicePixelRatioF())).first;
    return found->second;
}

void PdfPageView::pageChanged(int page)
{
    m_images.erase(page);
    m_surface->update();
}

void PdfPageView::select(std::optional<Selection> selection)
{
    m_selection = selection;
    m_surface->update();
}

std::vector<annotation::PageRun> PdfPageView::selectedRuns() const
{
    if (!m_selection || !m_document)
        return {};
    std::vector<int> wordCounts;
    for (int page = 0; page < m_document->pageCount(); ++page)
        wordCounts.push_back(int(m_document->words(page).size()));
    return annotation::selectedRuns(m_selection->anchor, m_selection->focus, wordCounts);
}

void PdfPageView::pressAt(const QPointF& point)
{
    m_selectionScroll.stop();
    m_press.reset();
    select(std::nullopt);
    if (const std::optional<int> page = pageAt(point))
        m_press = std::make_pair(*page, point);
}

std::optional<int> PdfPageView::wordAt(int page, const QPointF& point) const
{
    const QPointF inPage = (point - pageRect(page).topLeft()) / m_scale;
    return annotation::wordAt(m_document->words(page), inPage);
}

void PdfPageView::dragTo(const QPointF& point)
{
    if (!m_press || !m_document)
        return;
    m_dragPointer = m_surface->mapTo(viewport(), point);
    if (annotation::selectionScrollStep(m_dragPointer.y(), viewport()->height()) != 0)
        m_selectionScroll.start();
    const auto& [page, start] = *m_press;
    if (QLineF(start, point).length() < dragThreshold)
        return;
    // The selection follows the pointer onto other pages, and past the first
    // or last page to the document's start or end.
    const std::optional<int> anchor = wordAt(page, start);
    const std::optional<int> focusPage = nearestPage(point);
    if (!anchor || !focusPage)
        return;
    const int focus = wordAt(*focusPage, point).value_or(0); // a page without words gives no run
    select(Selection{{page, *anchor}, {*focusPage, focus}});
}

void PdfPageView::release()
{
    m_selectionScroll.stop();
    m_press.reset();
}

void PdfPageView::scrollWithSelection()
{
    const double step = annotation::selectionScrollStep(m_dragPointer.y(), viewport()->height());
    if (step == 0 || !m_press) {
        m_selectionScroll.stop();
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + int(step));
    // The pointer stands still over pages that move: the selection follows
    // to whatever is under it now.
    dragTo(m_surface->mapFrom(viewport(), m_dragPointer));
}

} // namespace quorrin
