#pragma once

#include <QColor>
#include <QPointer>
#include <QRectF>
#include <QTimer>
#include <QWidget>

#include <optional>

class QAbstractScrollArea;
class QScrollBar;

namespace quorrin {

namespace overlayscroller {

// Where the knob of a vertical scroller stands inside a track of the given
// height: proportional to the visible share of the content, never shorter
// than `minimumKnob`. Empty when the content fits the view.
QRectF knobRect(double trackWidth, double trackHeight, double visibleHeight, double contentHeight,
                double offset, double minimumKnob = 24);

// The scroll offset that puts the knob's top at `knobTop`.
double offsetForKnobTop(double knobTop, double trackHeight, double visibleHeight, double contentHeight,
                        double minimumKnob = 24);

} // namespace overlayscroller

// A thin vertical scroller drawn over the right edge of a scroll area, in
// place of the area's own scroll bar (which is switched off). It is hidden at
// rest, appears while the content scrolls or the pointer rests on it, and
// never appears when the content fits the view. The knob can be dragged.
class OverlayScroller final : public QWidget {
    Q_OBJECT
public:
    explicit OverlayScroller(QAbstractScrollArea* area);

    static constexpr int thickness = 10;
    static constexpr int restDelayMs = 900;

    void setKnobColor(const QColor& color);
    QColor knobColor() const { return m_knobColor; }
    // Whether the content is taller than the view (the scroller may show).
    bool isScrollable() const;
    // Shows the scroller for a moment, as if the content had scrolled.
    void flash();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QScrollBar* bar() const;
    QRectF knob() const;
    void place();
    void restLater();

    QPointer<QAbstractScrollArea> m_area;
    QColor m_knobColor{0, 0, 0, 110};
    QTimer m_rest;
    bool m_hovered = false;
    std::optional<double> m_dragOffset; // pointer's distance from the knob's top while dragging
};

} // namespace quorrin
