#pragma once

#include "Domain/NoteDock.h"
#include "Domain/NoteTheme.h"
#include "Widgets/FileDropRouter.h"

#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

#include <functional>
#include <optional>

namespace quorrin {

// The paper of a note window (its content view): the note colour at the
// note's opacity, the line that offers a snap while the note is dragged next
// to another, and the small pill that marks the primary note of a group.
// Where no compositor runs, nothing blends a window with what lies below it
// and nothing draws window shadows: the paper is drawn opaque whatever the
// note's opacity, and a hairline edge a little darker than the paper keeps
// overlapping notes of one colour apart.
// A press in the top 23 pt drags the window; file drags go to the window's
// drop overlay.
class NoteBackground : public QWidget {
    Q_OBJECT

public:
    explicit NoteBackground(QWidget* parent = nullptr);

    QPointer<FileDropRouter> dropRouter;
    // A press in the drag strip goes here and nowhere else.
    std::function<void(QMouseEvent*)> onWindowDrag;
    // Whether the desktop asks for reduced motion; the pill then changes at once.
    std::function<bool()> prefersReducedMotion;

    // Colours follow the light or dark appearance of the view's palette.
    DynamicColor color() const { return color_; }
    void setColor(const DynamicColor& color);
    DynamicColor accentColor() const { return accentColor_; }
    void setAccentColor(const DynamicColor& color);
    double opacity() const { return opacity_; }
    void setOpacity(double opacity);

    std::optional<DockEdge> snapEdge() const { return snapEdge_; }
    void setSnapEdge(std::optional<DockEdge> edge);
    double snapStrength() const { return snapStrength_; }
    void setSnapStrength(double strength);

    // Whether a compositor shows the paper's opacity and the windows' shadows.
    bool isComposited() const { return composited_; }
    void setComposited(bool composited);
    bool drawsEdge() const { return !composited_; }
    // The edge's colour for a paper colour: a little darker, as opaque.
    static QColor edgeColor(const QColor& paper);

    bool isPrimary() const { return isPrimary_; }
    void setPrimary(bool primary);

    // Shows or hides the primary pill for the current `isPrimary`: fading and
    // widening in (0.22 s) or fading and narrowing out (0.16 s) when animated.
    void updatePrimaryAccent(bool animated);

    // The pill as drawn now.
    double primaryAccentOpacity() const { return pillOpacity_; }
    double primaryAccentScaleX() const { return pillScaleX_; }
    bool isPrimaryAccentAnimating() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void paintFeedbackLine(QPainter& painter);
    void paintPrimaryPill(QPainter& painter);

    QVariantAnimation pillAnimation_;
    DynamicColor color_;
    DynamicColor accentColor_;
    double opacity_ = 1;
    std::optional<DockEdge> snapEdge_;
    double snapStrength_ = 0;
    bool isPrimary_ = false;
    bool composited_ = true;
    double pillOpacity_ = 0;
    double pillScaleX_ = 1;
};

} // namespace quorrin
