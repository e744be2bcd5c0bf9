#pragma once

#include "Widgets/HandCursorButton.h"

#include <QColor>
#include <QVariantAnimation>

#include <optional>

namespace quorrin {

// A flat button of the floating panels (block menu, format bar, reminder
// editor): under the pointer a rounded background fades in, the accent
// colour at 12 % unless a hover colour is given, and fades back to the
// resting background when the pointer leaves, each over 0.12 s.
class MenuActionButton : public HandCursorButton {
    Q_OBJECT

public:
    static constexpr int backgroundFadeMs = 120;
    static constexpr double cornerRadius = 6;
    static constexpr double hoverAlpha = 0.12;

    explicit MenuActionButton(QWidget* parent = nullptr);

    QColor accentColor() const { return m_accent; }
    void setAccentColor(const QColor& color);
    QColor restingBackgroundColor() const { return m_resting; }
    std::optional<QColor> hoverBackgroundColor() const { return m_hover; }
    void setHoverBackgroundColor(std::optional<QColor> color) { m_hover = std::move(color); }
    void setRestingBackground(const QColor& color, bool animated);

    // The background drawn now, and the one a running fade heads for.
    QColor backgroundColor() const { return m_background; }
    QColor targetBackgroundColor() const { return m_targetBackground; }

    // A row of a menu: the title starts at the left edge, in `color`.
    void setTextAlignment(Qt::Alignment alignment) { m_alignment = alignment; update(); }
    void setTextColor(std::optional<QColor> color) { m_textColor = std::move(color); update(); }
    // The rounded background's radius and an optional hairline around it.
    void setCornerRadius(double radius) { m_cornerRadius = radius; update(); }
    double cornerRadiusInUse() const { return m_cornerRadius; }
    void setBorder(const QColor& color, double width) { m_borderColor = color; m_borderWidth = width; update(); }
    double borderWidth() const { return m_borderWidth; }
    QColor borderColor() const { return m_borderColor; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    // A row that has the keyboard shows the hover background.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintContent(QPainter& painter, const QRectF& rect) override;

private:
    QColor hoverColor() const;
    void animateBackground(const QColor& color);

    QColor m_accent;
    QColor m_resting = Qt::transparent;
    std::optional<QColor> m_hover;
    QColor m_background = Qt::transparent;
    QColor m_targetBackground = Qt::transparent;
    QVariantAnimation m_fade;
    Qt::Alignment m_alignment = Qt::AlignCenter;
    std::optional<QColor> m_textColor;
    double m_cornerRadius = cornerRadius;
    QColor m_borderColor = Qt::transparent;
    double m_borderWidth = 0;
};

} // namespace quorrin
