#include "Editor/TextFormatPanel.h"

#include "Editor/TextFormatBar.h"
#include "Platform/WindowLevel.h"
#include "Widgets/Motion.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QVariantAnimation>

namespace quorrin {

using panelplacement::barHeight;
using panelplacement::barWidth;
using panelplacement::orbWidth;

TextFormatPanel::TextFormatPanel(TextFormatTarget* target)
    : FloatingPanel(Focus::Never)
    , m_bar(new TextFormatBar(target, this))
{
    setAccessibleName(QStringLiteral("字体格式"));
    setWindowTitle(accessibleName());
    resize(int(orbWidth), int(barHeight));
    m_bar->setGeometry(rect());
    m_collapseWork.setSingleShot(true);
    m_collapseWork.setInterval(FormatPanelFlow::collapseDelayMs);
    connect(&m_collapseWork, &QTimer::timeout, this, [this] {
        // The pointer can be back over the bar without the bar having heard
        // it come (a menu of the bar held the pointer meanwhile): look again
        // later rather than fold the bar under it.
        if (m_flow.isCollapsePending() && frameGeometry().contains(QCursor::pos())) {
            m_collapseWork.start();
            return;
        }
        if (m_flow.collapseDue())
            collapseNow();
    });
    m_bar->onColorMenu = [this](QMenu& menu) { openColorMenu(menu); };
    m_bar->onHover = [this](bool entered) {
        if (!m_flow.isShowing())
            return;
        if (entered) {
            m_collapseWork.stop();
            expand();
        } else {
            scheduleCollapse();
        }
    };
}

TextFormatPanel::~TextFormatPanel()
{
    m_bar->setTarget(nullptr);
}

bool TextFormatPanel::skipsAnimation() const
{
    return reducedMotion && reducedMotion();
}

QRectF TextFormatPanel::visibleArea(const QWidget& noteWindow) const
{
    const QScreen* screen = noteWindow.screen() ? noteWindow.screen() : QGuiApplication::primaryScreen();
    return screen ? QRectF(screen->availableGeometry()) : QRectF(0, 0, 1440, 900);
}

void TextFormatPanel::refreshBar()
{
    m_bar->refresh();
}

void TextFormatPanel::retarget(TextFormatTarget* target)
{
    m_bar->setTarget(target);
}

void TextFormatPanel::show(const QRectF& nearGlobal, QWidget& noteWindow)
{
    const QRectF visible = visibleArea(noteWindow);
    m_sides = panelplacement::formatSides(QRectF(noteWindow.frameGeometry()), visible);
    m_bar->setAlignRight(m_sides.onLeft);
    m_top = panelplacement::formatTop(nearGlobal, visible);
    const FormatPanelFlow::Show plan = m_flow.show();
    if (plan.collapseBarNow) {
        m_collapseWork.stop();
        m_bar->setExpanded(false, false);
    }
    const double width = plan.expanded ? barWidth : orbWidth;
    const QRect frame = panelplacement::formatFrame(m_sides, m_top, width).toRect();
    m_bar->refresh();
    if (attachedWindow() != &noteWindow)
        attach(noteWindow, WindowLevelAdapter::levelOf(noteWindow));

    if (!plan.appears) {
        if (m_fade)
            m_fade->stop();
        setWindowOpacity(1);
        orderFront();
        if (frame != m_targetFrame) {
            if (plan.expanded || skipsAnimation())
                animateFrame(frame, 0);
            else
                animateFrame(frame, FormatPanelFlow::slideMs);
        }
        return;
    }
    animateFrame(frame, 0);
    setWindowOpacity(0);
    orderFront();
    m_bar->playSummon(skipsAnimation());
    fadeTo(1, {});
}

void TextFormatPanel::expand()
{
    if (!m_flow.enter())
        return;
    m_bar->setExpanded(true, !skipsAnimation());
    animateFrame(panelplacement::formatFrame(m_sides, m_top, barWidth).toRect(),
                 skipsAnimation() ? 0 : FormatPanelFlow::resizeMs);
}

void TextFormatPanel::openColorMenu(QMenu& menu)
{
    // The pointer leaves the bar for the menu: the bar stays as it is until
    // the menu closes, and the menu opens below the colour button where the
    // expanded bar stands (or is heading while it grows).
    m_collapseWork.stop();
    m_flow.holdExpanded();
    connect(&menu, &QMenu::aboutToHide, this, [this] {
        if (m_flow.releaseExpanded())
            m_collapseWork.start();
    });
    const QRect expanded = panelplacement::formatFrame(m_sides, m_top, barWidth).toRect();
    menu.popup(expanded.topLeft() + m_bar->colorMenuOffset());
}

void TextFormatPanel::scheduleCollapse()
{
    if (m_flow.leave())
        m_collapseWork.start();
}

void TextFormatPanel::collapseNow()
{
    m_bar->setExpanded(false, !skipsAnimation());
    animateFrame(panelplacement::formatFrame(m_sides, m_top, orbWidth).toRect(),
                 skipsAnimation() ? 0 : FormatPanelFlow::resizeMs);
}

void TextFormatPanel::hide()
{
    m_collapseWork.stop();
    const FormatPanelFlow::Hide plan = m_flow.hide();
    if (plan.collapseBarNow)
        m_bar->setExpanded(false, false);
    if (!plan.fadeOut) {
        if (!m_flow.isHidePending())
            FloatingPanel::orderOut();
        return;
    }
    const QPointer<TextFormatPanel> self(this);
    fadeTo(0, [self] {
        if (self && self->m_flow.hideFaded())
            self->FloatingPanel::orderOut();
    });
}

void TextFormatPanel::prepareHidden(QWidget& noteWindow)
{
    m_collapseWork.stop();
    m_flow.park();
    m_bar->setExpanded(false, false);
    if (m_fade)
        m_fade->stop();
    if (m_frameAnimation)
        m_frameAnimation->stop();
    attach(noteWindow, WindowLevelAdapter::levelOf(noteWindow));
    m_targetFrame = panelplacement::parkedFormatFrame(QRectF(noteWindow.frameGeometry()), visibleArea(noteWindow)).toRect();
    setGeometry(m_targetFrame);
    m_bar->setGeometry(rect());
    setWindowOpacity(0);
    FloatingPanel::orderOut();
}

void TextFormatPanel::orderOut()
{
    m_collapseWork.stop();
    m_flow.park();
    if (m_fade)
        m_fade->stop();
    detach();
    FloatingPanel::orderOut();
}

void TextFormatPanel::animateFrame(const QRect& frame, int durationMs)
{
    if (m_frameAnimation)
        m_frameAnimation->stop();
    m_targetFrame = frame;
    const auto place = [this](const QRect& rect) {
        setGeometry(rect);
        m_bar->setGeometry(0, 0, rect.width(), rect.height());
    };
    if (durationMs <= 0 || !isVisible()) {
        place(frame);
        return;
    }
    auto* animation = new QVariantAnimation(this);
    animation->setDuration(durationMs);
    animation->setEasingCurve(durationMs == FormatPanelFlow::resizeMs ? QEasingCurve(QEasingCurve::InOutQuad)
                                                                      : Motion::easeOut());
    animation->setStartValue(QRect(geometry()));
    animation->setEndValue(frame);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [place](const QVariant& value) { place(value.toRect()); });
    m_frameAnimation = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void TextFormatPanel::fadeTo(double opacity, const std::function<void()>& done)
{
    if (m_fade)
        m_fade->stop();
    auto* fade = new QVariantAnimation(this);
    fade->setDuration(FormatPanelFlow::fadeMs);
    fade->setEasingCurve(Motion::easeOut());
    fade->setStartValue(windowOpacity());
    fade->setEndValue(opacity);
    connect(fade, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setWindowOpacity(value.toDouble()); });
    if (done)
        connect(fade, &QVariantAnimation::finished, this, done);
    m_fade = fade;
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace quorrin
