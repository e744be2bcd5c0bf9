#pragma once

#include "Editor/FormatPanel.h"
#include "Editor/FormatPanelFlow.h"
#include "Widgets/FloatingPanel.h"
#include "Widgets/PanelPlacement.h"

#include <QPointer>
#include <QTimer>

#include <functional>

class QMenu;
class QVariantAnimation;

namespace quorrin {

class TextFormatBar;
class TextFormatTarget;

// The floating format panel beside a note window: the orb while collapsed,
// the bar while the pointer is over it. It sits left of the note when there
// is room, else right of it, at the height of the caret line, and never
// takes the focus.
class TextFormatPanel final : public FloatingPanel, public FormatPanel {
    Q_OBJECT
public:
    explicit TextFormatPanel(TextFormatTarget* target);
    ~TextFormatPanel() override;

    // FormatPanel
    void show(const QRectF& nearGlobal, QWidget& noteWindow) override;
    void hide() override;
    bool isShown() const override { return m_flow.isShowing(); }
    bool isExpanded() const override { return m_flow.isExpanded(); }
    void refreshBar() override;
    void prepareHidden(QWidget& noteWindow) override;
    void retarget(TextFormatTarget* target) override;
    void orderOut() override;

    TextFormatBar* bar() const { return m_bar; }
    const FormatPanelFlow& flow() const { return m_flow; }
    bool isOnLeft() const { return m_sides.onLeft; }
    // The frame the panel is at, or heads for while it animates.
    QRect targetFrame() const { return m_targetFrame; }

    // Whether animations are skipped (the desktop asks for reduced motion,
    // or the preferences turn them off); none when not given.
    std::function<bool()> reducedMotion;

private:
    void expand();
    void openColorMenu(QMenu& menu);
    void scheduleCollapse();
    void collapseNow();
    void animateFrame(const QRect& frame, int durationMs);
    void fadeTo(double opacity, const std::function<void()>& done);
    QRectF visibleArea(const QWidget& noteWindow) const;
    bool skipsAnimation() const;

    TextFormatBar* m_bar = nullptr;
    FormatPanelFlow m_flow;
    panelplacement::FormatSides m_sides;
    double m_top = 0;
    QRect m_targetFrame;
    QTimer m_collapseWork;
    QPointer<QVariantAnimation> m_frameAnimation;
    QPointer<QVariantAnimation> m_fade;
};

} // namespace quorrin
