#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

namespace quorrin {

// A small spinning arc that says work is in progress. It turns only while
// started and is hidden by its owner otherwise.
class BusySpinner : public QWidget {
    Q_OBJECT
public:
    static constexpr int frameMs = 40;
    static constexpr int degreesPerFrame = 30;

    explicit BusySpinner(QWidget* parent = nullptr);

    void setColor(const QColor& color);
    void start();
    void stop();
    bool isSpinning() const { return m_timer.isActive(); }

    QSize sizeHint() const override { return {14, 14}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
    QColor m_color;
    int m_angle = 0;
};

} // namespace quorrin
