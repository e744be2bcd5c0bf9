#pragma once

#include <QApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QWidget>

namespace quorrin::testing {

// Collects the area a widget paints, in its own coordinates.
class PaintedArea : public QObject {
public:
    explicit PaintedArea(QWidget& widget) { widget.installEventFilter(this); }

    // What the updates asked for so far paint, once they ran.
    QRegion repainted()
    {
        m_region = QRegion();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        QApplication::processEvents();
        return m_region;
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            m_region += static_cast<QPaintEvent*>(event)->region();
        return false;
    }

private:
    QRegion m_region;
};

} // namespace quorrin::testing
