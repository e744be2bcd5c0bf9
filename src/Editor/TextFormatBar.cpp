#include "Editor/TextFormatBar.h"

#include "Editor/TextFormatTarget.h"
#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"
#include "Widgets/HandCursorButton.h"
#include "Widgets/MenuActionButton.h"
#include "Widgets/Motion.h"
#include "Widgets/PanelPlacement.h"
#include "Widgets/ThemedSurfaceView.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QSequentialAnimationGroup>
#include <QVariantAnimation>

#include <cmath>

namespace quorrin {
namespace {

QIcon colorDot(const QColor& color)
{
    QPixmap pixmap(24, 24);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QRectF(1, 1, 10, 10));
    return QIcon(pixmap);
}

QGraphicsOpacityEffect* opacityOf(QWidget* widget)
{
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(widget->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(widget);
        widget->setGraphicsEffect(effect);
    }
    return effect;
}

// The collapsed bar: "格" on a faint accent disc with a hairline ring.
class OrbButton final : public HandCursorButton {
public:
    using HandCursorButton::HandCursorButton;
    QColor fill;
    QColor ring;

protected:
    void paintContent(QPainter& painter, const QRectF& rect) override
    {
        painter.setPen(QPen(ring, 0.5));
        painter.setBrush(fill);
        painter.drawEllipse(rect.adjusted(0.5, 0.5, -0.5, -0.5));
        painter.setFont(font());
        HandCursorButton::paintContent(painter, rect);
    }
};

} // namespace

TextFormatBar::TextFormatBar(TextFormatTarget* target, QWidget* parent)
    : QWidget(parent)
    , m_target(target)
{
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);

    m_surface = new ThemedSurfaceView(this);
    m_surface->setCornerRadius(12);
    m_surface->hide();
    auto* stack = new QHBoxLayout(m_surface);
    stack->setContentsMargins(5, 4, 5, 4);
    stack->setSpacing(2);

    QFont glyph = QApplication::font();
    glyph.setPointSizeF(12);
    glyph.setWeight(QFont::Medium);
    QFont bold = glyph;
    bold.setWeight(QFont::Bold);
    QFont italic = glyph;
    italic.setItalic(true);
    italic.setFamily(QStringLiteral("Serif"));
    QFont underline = glyph;
    underline.setUnderline(true);
    QFont strike = glyph;
    strike.setStrikeOut(true);
    QFont small = glyph;
    small.setPointSizeF(9);
    QFont large = glyph;
    large.setPointSizeF(13.5);

    m_bold = makeButton(QStringLiteral("B"), QStringLiteral("加粗"), bold);
    m_italic = makeButton(QStringLiteral("I"), QStringLiteral("斜体"), italic);
    m_underline = makeButton(QStringLiteral("U"), QStringLiteral("下划线"), underline);
    m_strike = makeButton(QStringLiteral("S"), QStringLiteral("删除线"), strike);
    m_smaller = makeButton(QStringLiteral("A"), QStringLiteral("缩小字号"), small);
    m_larger = makeButton(QStringLiteral("A"), QStringLiteral("放大字号"), large);
    m_color = makeButton(QStringLiteral("A"), QStringLiteral("文字颜色"), bold);

    const auto act = [this](void (TextFormatTarget::*command)()) {
        return [this, command] {
            if (m_target)
                (m_target->*command)();
        };
    };
    connect(m_bold, &QAbstractButton::clicked, this, act(&TextFormatTarget::toggleBold));
    connect(m_italic, &QAbstractButton::clicked, this, act(&TextFormatTarget::toggleItalic));
    connect(m_underline, &QAbstractButton::clicked, this, act(&TextFormatTarget::toggleUnderline));
    connect(m_strike, &QAbstractButton::clicked, this, act(&TextFormatTarget::toggleStrikethroughFormat));
    connect(m_smaller, &QAbstractButton::clicked, this, [this] {
        if (m_target)
            m_target->adjustFontSize(-1);
    });
    connect(m_larger, &QAbstractButton::clicked, this, [this] {
        if (m_target)
            m_target->adjustFontSize(1);
    });
    connect(m_color, &QAbstractButton::clicked, this, &TextFormatBar::chooseColor);

    m_sizeLabel = new QLabel(QStringLiteral("14"), m_surface);
    QFont sizeFont = QApplication::font();
    sizeFont.setPointSizeF(11);
    sizeFont.setWeight(QFont::Medium);
    sizeFont.setStyleHint(QFont::Monospace);
    m_sizeLabel->setFont(sizeFont);
    m_sizeLabel->setAlignment(Qt::AlignCenter);
    m_sizeLabel->setFixedWidth(22);
    m_sizeLabel->setAccessibleName(QStringLiteral("当前字号"));

    for (QWidget* part : std::initializer_list<QWidget*>{m_bold, m_italic, m_underline, m_strike, m_smaller,
                                                         m_sizeLabel, m_larger, m_color})
        stack->addWidget(part, 0, Qt::AlignVCenter);

    m_orb = new OrbButton(this);
    m_orb->setText(QStringLiteral("格"));
    m_orb->setFocusPolicy(Qt::NoFocus);
    m_orb->setToolTip(QStringLiteral("字体格式"));
    m_orb->setAccessibleName(QStringLiteral("字体格式"));
    QFont orbFont = QApplication::font();
    orbFont.setPointSizeF(12.5);
    orbFont.setWeight(QFont::DemiBold);
    m_orb->setFont(orbFont);
    connect(m_orb, &QAbstractButton::clicked, this, [this] {
        if (onHover)
            onHover(true);
    });
    applyTheme();
    layoutParts();
}

MenuActionButton* TextFormatBar::makeButton(const QString& glyph, const QString& label, const QFont& font)
{
    auto* button = new MenuActionButton(m_surface);
    button->setText(glyph);
    button->setFont(font);
    button->setToolTip(label);
    button->setAccessibleName(label);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(25, 26);
    button->setTintColor(SystemColor::secondaryLabel());
    return button;
}

void TextFormatBar::setAlignRight(bool alignRight)
{
    m_alignRight = alignRight;
    layoutParts();
}

void TextFormatBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutParts();
}

void TextFormatBar::layoutParts()
{
    const int w = width();
    const int barWidth = int(panelplacement::barWidth);
    m_surface->setGeometry(m_alignRight ? w - barWidth : 0, 0, barWidth, int(panelplacement::barHeight));
    m_orb->setGeometry(m_alignRight ? w - 29 : 1, 3, 28, 28);
}

void TextFormatBar::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyTheme();
}

void TextFormatBar::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (onHover)
        onHover(true);
}

void TextFormatBar::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (onHover)
        onHover(false);
}

void TextFormatBar::applyTheme()
{
    const Appearance appearance = SystemAppearance::of(palette());
    m_surface->setTheme(m_theme);
    const QColor accent = toQColor(m_theme.accent, appearance);
    QColor border = accent;
    border.setAlphaF(0.38f);
    m_orb->setTintColor(m_theme.accent);
    auto* orb = static_cast<OrbButton*>(m_orb);
    orb->fill = toQColor(m_theme.accentSoft, appearance);
    orb->ring = border;
    orb->update();
    for (MenuActionButton* button : {m_bold, m_italic, m_underline, m_strike, m_smaller, m_larger, m_color})
        button->setAccentColor(accent);
    for (MenuActionButton* button : {m_bold, m_italic, m_underline, m_strike})
        setToggle(button, button->isChecked());
    QPalette labelPalette = m_sizeLabel->palette();
    labelPalette.setColor(QPalette::WindowText, toQColor(m_theme.secondaryText, appearance));
    m_sizeLabel->setPalette(labelPalette);
    update();
}

void TextFormatBar::setToggle(MenuActionButton* button, bool on)
{
    button->setCheckable(true);
    button->setChecked(on);
    button->setTintColor(on ? m_theme.accent : m_theme.secondaryText);
}

void TextFormatBar::refresh()
{
    if (!m_target)
        return;
    m_theme = m_target->noteTheme();
    applyTheme();
    const TextFormat format = m_target->currentTextFormat();
    setToggle(m_bold, format.bold);
    setToggle(m_italic, format.italic);
    setToggle(m_underline, format.underline);
    setToggle(m_strike, format.strikethrough);
    m_sizeLabel->setText(QString::number(std::round(format.font.pointSize)));
    const QColor color = toQColor(format.color, palette());
    m_color->setTintColor(DynamicColor::fixed(Rgba{color.redF(), color.greenF(), color.blueF(), color.alphaF()}));
}

void TextFormatBar::setOpacities(double surface, double orb)
{
    opacityOf(m_surface)->setOpacity(surface);
    opacityOf(m_orb)->setOpacity(orb);
}

void TextFormatBar::setExpanded(bool expanded, bool animated)
{
    if (expanded == m_expanded)
        return;
    m_expanded = expanded;
    m_surface->show();
    m_orb->show();
    if (!animated) {
        setOpacities(expanded ? 1 : 0, expanded ? 0 : 1);
        m_surface->setVisible(expanded);
        m_orb->setVisible(!expanded);
        return;
    }
    setOpacities(expanded ? 0 : 1, expanded ? 1 : 0);
    auto* fade = new QVariantAnimation(this);
    fade->setDuration(crossFadeMs);
    fade->setEasingCurve(Motion::easeOut());
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    const QPointer<TextFormatBar> self(this);
    connect(fade, &QVariantAnimation::valueChanged, this, [this, expanded](const QVariant& value) {
        const double t = value.toDouble();
        setOpacities(expanded ? t : 1 - t, expanded ? 1 - t : t);
    });
    connect(fade, &QVariantAnimation::finished, this, [this, expanded] {
        if (m_expanded != expanded)
            return;
        m_orb->setVisible(!expanded);
        m_surface->setVisible(expanded);
    });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void TextFormatBar::playSummon(bool reducedMotion)
{
    if (reducedMotion)
        return;
    // A spring from 0.8 to full size: a quick overshoot that settles.
    auto* spring = new QVariantAnimation(m_orb);
    spring->setDuration(420);
    spring->setStartValue(0.8);
    spring->setEndValue(1.0);
    spring->setEasingCurve(QEasingCurve(QEasingCurve::OutBack));
    const QRect resting = m_orb->geometry();
    connect(spring, &QVariantAnimation::valueChanged, m_orb, [this, resting](const QVariant& value) {
        const double scale = value.toDouble();
        const QSizeF size = QSizeF(resting.size()) * scale;
        m_orb->setGeometry(QRectF(QPointF(resting.center()) - QPointF(size.width() / 2, size.height() / 2), size)
                               .toRect());
    });
    connect(spring, &QVariantAnimation::finished, this, [this] { layoutParts(); });
    spring->start(QAbstractAnimation::DeleteWhenStopped);
}

std::vector<TextFormatBar::ColorChoice> TextFormatBar::colorChoices(Appearance appearance)
{
    const auto fixed = [](quint32 rgb) { return TextColor::fixed(rgbaFromHex(rgb)); };
    return {
        {QStringLiteral("默认"), TextColor::dynamicText()},
        {QStringLiteral("红色"), fixed(0xFF3B30)},
        {QStringLiteral("橙色"), fixed(0xFF9500)},
        {QStringLiteral("绿色"), fixed(0x34C759)},
        {QStringLiteral("蓝色"), fixed(0x007AFF)},
        {QStringLiteral("紫色"), fixed(0xAF52DE)},
        {QStringLiteral("灰色"), TextColor::fixed(SystemColor::secondaryLabel().resolved(appearance))},
    };
}

QMenu* TextFormatBar::makeColorMenu()
{
    auto* menu = new QMenu(this);
    for (const ColorChoice& choice : colorChoices(SystemAppearance::of(palette()))) {
        QAction* item = menu->addAction(colorDot(toQColor(choice.color, palette())), choice.title);
        connect(item, &QAction::triggered, this, [this, color = choice.color] {
            if (m_target)
                m_target->setTextColor(color);
        });
    }
    return menu;
}

QPoint TextFormatBar::colorMenuOffset() const
{
    // The expanded bar is the surface, at the bar's top left.
    return m_color->mapTo(m_surface, QPoint(0, m_color->height() + 4));
}

void TextFormatBar::chooseColor()
{
    QMenu* menu = makeColorMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (onColorMenu)
        onColorMenu(*menu);
    else
        menu->popup(m_color->mapToGlobal(QPoint(0, m_color->height() + 4)));
}

} // namespace quorrin
