#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QTimer>
#include <QWidget>

#include <vector>

namespace quorrin {

// The rules of the archive animation: the archived todo's strip of text
// breaks into vertical slivers that scatter and fade while the text below
// slides up into its place.
namespace archivestrip {

inline constexpr double slideDuration = 0.42;   // the text below moves up
inline constexpr double belowShownFor = 0.44;   // then its snapshot goes
inline constexpr double sliverDuration = 0.48;  // the slivers scatter and fade
inline constexpr int cleanupMs = 500;           // the animation's view goes

struct Geometry {
    QRectF strip; // the todo's line and remarks, with a margin
    QRectF below; // what is visible under it
};

// `row`: the todo's first row; `bottom`: the lowest edge of its rows,
// remarks included; `width`: the text's width; `visibleBottom`: the lower
// edge of the visible text. All in the same coordinates.
Geometry geometry(const QRectF& row, double bottom, double width, double visibleBottom);

// A sliver every 3 points, 20 to 90 of them.
int sliverCount(double stripWidth);
// Where sliver `index` of `count` starts, in the strip's coordinates; each
// is half a point wider than its share so no seam shows between them.
QRectF sliverFrame(int index, int count, const QSizeF& strip);
// The part of the strip's snapshot sliver `index` shows, in the snapshot's pixels.
QRectF sliverSource(int index, int count, const QSizeF& snapshotPixels);

// Ease-in-ease-out and ease-out timing (the cubic Béziers (0.42, 0, 0.58, 1)
// and (0, 0, 0.58, 1)) of linear progress 0...1.
double easeInOut(double t);
double easeOut(double t);

} // namespace archivestrip

// Plays the archive animation over the editor from two snapshots taken
// before the todo left the text. It paints the note's paper over the text
// it covers while the snapshot of the text below slides up, so the new text
// underneath never shows twice; it deletes itself when done.
class ArchiveStripView final : public QWidget {
    Q_OBJECT
public:
    // `strip` and `below` in the parent's coordinates; `belowSnapshot` may be null.
    ArchiveStripView(QWidget* parent, const archivestrip::Geometry& geometry, QPixmap stripSnapshot,
                     QPixmap belowSnapshot, QColor paper);

    // Each sliver's scatter: drawn at random in [-18, 18] × [-22, 14].
    const std::vector<QPointF>& scatter() const { return m_scatter; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double elapsed() const;

    QRectF m_strip;  // in this view's coordinates
    QRectF m_below;
    QPixmap m_stripSnapshot;
    QPixmap m_belowSnapshot;
    QColor m_paper;
    std::vector<QPointF> m_scatter;
    QElapsedTimer m_clock;
    QTimer m_frames;
};

} // namespace quorrin
