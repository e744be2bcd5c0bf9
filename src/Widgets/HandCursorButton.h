#pragma once

#include "Domain/NoteTheme.h"

#include <QAbstractButton>
#include <QVariantAnimation>

#include <memory>
#include <optional>

namespace quorrin {

// The program's button: a pointing-hand cursor while enabled, and a small
// scale feedback (1.05 under the pointer, 0.94 while pressed) animated over
// 0.1 s. A disabled button shows the arrow and does not scale, but it still
// takes mouse presses, so a click on it never falls through to the view below
// (for a note's header that would start a window drag). Presses on a window
// that is not active reach it like any other.
class HandCursorButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit HandCursorButton(QWidget* parent = nullptr);

    // Icons are drawn as templates in this colour, resolved for the
    // appearance of the button's palette; without a tint as they are.
    void setTintColor(std::optional<DynamicColor> color);
    std::optional<DynamicColor> tintColor() const { return tint_; }

    // The scale drawn now, and the one the running animation heads for.
    double scale() const { return scale_; }
    double targetScale() const { return targetScale_; }
    bool isHovered() const { return hovered_; }

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    // Draws the content inside `rect` (already scaled); buttons with more to
    // draw override it.
    virtual void paintContent(QPainter& painter, const QRectF& rect);

private:
    void animateScale(double scale);
    void updateCursor();

    // Made on the first hover or press: most buttons of most notes never see one.
    std::unique_ptr<QVariantAnimation> scaleAnimation_;
    std::optional<DynamicColor> tint_;
    double scale_ = 1;
    double targetScale_ = 1;
    bool hovered_ = false;
};

} // namespace quorrin
