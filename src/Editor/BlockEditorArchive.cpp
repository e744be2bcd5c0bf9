// Archiving a completed todo: one undo step, then the todo's line breaks
// into slivers while the text below slides up.
#include "Editor/BlockEditor.h"

#include "Domain/NoteTheme.h"
#include "Editor/ArchiveStrip.h"
#include "Editor/BlockTextView.h"
#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextDocument>

#include <algorithm>

namespace quorrin {
namespace {

// The text and the gutter's controls in a rectangle of the editor, on a
// transparent ground: the note's paper is painted by the animation itself
// (a plain grab would paint the window colour behind them). Null when the
// rectangle lies outside the editor.
QPixmap snapshot(QWidget& editor, const QRectF& rect)
{
    if (!editor.isVisible() || rect.isEmpty())
        return {};
    const QRect area = rect.toAlignedRect();
    const double ratio = editor.devicePixelRatioF();
    QPixmap image(area.size() * ratio);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    editor.render(&image, QPoint(), QRegion(area), QWidget::DrawChildren);
    return image;
}

} // namespace

bool BlockEditor::archive(const QUuid& blockID)
{
    if (m_archiving.count(blockID))
        return false; // a second request while the first one plays
    const auto row = std::find_if(m_ranges.begin(), m_ranges.end(),
                                  [&](const TextRun& run) { return run.blockID == blockID && !run.isRemarks; });
    if (row == m_ranges.end())
        return false;
    const std::optional<Block> block = findBlock(blockID);
    if (!block || !block->todo || !block->todo->isCompleted)
        return false;
    m_archiving.insert(blockID);

    // Measured and photographed before the todo leaves the text.
    document()->documentLayout()->documentSize();
    const QRectF line = rect(row->start, row->length);
    double bottom = line.bottom();
    bool any = false;
    for (const TextRun& run : m_ranges) {
        if (run.blockID != blockID)
            continue;
        const double runBottom = rect(run.start, run.length).bottom();
        bottom = any ? std::max(bottom, runBottom) : runBottom;
        any = true;
    }
    const QPointF scroll = scrollOffset();
    const QPoint viewportOrigin = m_textView->viewport()->mapTo(this, QPoint(0, 0));
    const QPointF toEditor = QPointF(viewportOrigin) - scroll;
    const double visibleBottom = scroll.y() + m_textView->viewport()->height();
    archivestrip::Geometry geometry
        = archivestrip::geometry(line, bottom, m_textView->viewport()->width(), visibleBottom);
    // Only what the editor shows is photographed and animated.
    const auto shown = [this](const QRectF& area) {
        const QRectF visible = area.intersected(QRectF(QWidget::rect()));
        return visible.isEmpty() ? QRectF() : QRectF(visible.toAlignedRect());
    };
    geometry.strip = shown(geometry.strip.translated(toEditor));
    geometry.below = shown(geometry.below.translated(toEditor));
    // The gutter's controls are photographed with their lines.
    const QPixmap strip = snapshot(*this, geometry.strip);
    const QPixmap below = snapshot(*this, geometry.below);

    const ChangeResult result = change(QStringLiteral("归档待办"), [&](Note& note) {
        const auto found = std::find_if(note.blocks.begin(), note.blocks.end(),
                                        [&](const Block& candidate) { return candidate.id == blockID; });
        if (found != note.blocks.end() && found->todo)
            found->todo->archivedAt = m_clock();
    });
    const bool reduced = prefersReducedMotion && prefersReducedMotion();
    if (result != ChangeResult::Applied || reduced || !m_store->preferences().animations || strip.isNull()) {
        m_archiving.erase(blockID);
        return result == ChangeResult::Applied;
    }

    const std::optional<Note> note = storedNote();
    QColor paper = toQColor(noteColor::color(note ? note->color : NoteColor::Cream), SystemAppearance::of(palette()));
    paper.setAlphaF(float(paper.alphaF() * (note ? std::clamp(note->opacity, 0.0, 1.0) : 1.0)));
    new ArchiveStripView(this, geometry, strip, below, paper);
    QTimer::singleShot(archivestrip::cleanupMs, this, [this, blockID] { m_archiving.erase(blockID); });
    return true;
}

} // namespace quorrin
