#pragma once

#include <QColor>
#include <QWidget>

namespace quorrin {

// The small badge that tells of content scrolled out of view at the top: its
// text on the note's paper, with a hairline edge, as large as its text needs.
// While it shows, the text view keeps a band of that height free at its top,
// so the badge never lies over a line of text. It never takes the mouse.
class ScrollOverflowHint final : public QWidget {
    Q_OBJECT
public:
    explicit ScrollOverflowHint(QWidget* parent = nullptr);

    inline static const QString text = QStringLiteral("↑ 上方还有内容");
    // Space left and right of the text, and above and below it.
    static constexpr int horizontalPadding = 10;
    static constexpr int verticalPadding = 2;
    // The free band above the text: the badge with this margin above and below.
    static constexpr int bandMargin = 3;

    QSize sizeHint() const override;
    int bandHeight() const { return height() + 2 * bandMargin; }

    void setPaperColor(const QColor& color);
    QColor paperColor() const { return m_paperColor; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_paperColor;
};

} // namespace quorrin
