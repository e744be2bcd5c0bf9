#pragma once

#include <QColor>
#include <QWidget>

namespace quorrin {

// The small badge that tells of content scrolled out of view at the top. It
// never takes the mouse.
class ScrollOverflowHint final : public QWidget {
    Q_OBJECT
public:
    explicit ScrollOverflowHint(QWidget* parent = nullptr);

    inline static const QString text = QStringLiteral("↑ 上方还有内容");

    void setPaperColor(const QColor& color);
    QColor paperColor() const { return m_paperColor; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_paperColor;
};

} // namespace quorrin
