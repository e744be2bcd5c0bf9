#include "Editor/BlockMenuPanel.h"

#include "Editor/BlockEditor.h"
#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"
#include "Platform/WindowLevel.h"
#include "Widgets/MenuActionButton.h"
#include "Widgets/MenuSurface.h"
#include "Widgets/PanelPlacement.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace quorrin {
namespace {

QWidget* separatorRow(QWidget* parent)
{
    auto* row = new QWidget(parent);
    row->setFixedHeight(int(BlockMenuPanel::separatorHeight));
    auto* layout = new QVBoxLayout(row);
    layout->setContentsMargins(5, 0, 5, 0);
    auto* line = new QFrame(row);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedHeight(1);
    QPalette palette = line->palette();
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(0.15f);
    palette.setColor(QPalette::WindowText, color);
    line->setPalette(palette);
    layout->addWidget(line, 0, Qt::AlignVCenter);
    return row;
}

bool isMousePress(const QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
        return false;
    const auto button = static_cast<const QMouseEvent*>(event)->button();
    return button == Qt::LeftButton || button == Qt::RightButton;
}

bool isEscape(const QEvent* event)
{
    return (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)
        && static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
}

} // namespace

double BlockMenuPanel::heightFor(const std::vector<QAction*>& items)
{
    double height = padding;
    for (const QAction* item : items)
        height += item->isSeparator() ? separatorHeight : rowHeight;
    return height;
}

BlockMenuPanel::BlockMenuPanel(BlockEditor& editor, const QUuid& blockID)
    : FloatingPanel(Focus::WhenAsked)
    , m_editor(&editor)
    , m_blockID(blockID)
    , m_menu(editor.menu(blockID, nullptr))
{
    setAccessibleName(QStringLiteral("内容块"));
    setWindowTitle(accessibleName());
    const QList<QAction*> actions = m_menu->actions();
    m_items.assign(actions.begin(), actions.end());
    setFixedSize(int(width), int(heightFor(m_items)));

    m_surface = new MenuSurface(this);
    m_surface->setGeometry(rect());
    m_surface->setCornerRadius(11);
    const NoteTheme theme = editor.noteTheme();
    m_surface->setTheme(theme);
    const QPointer<BlockMenuPanel> self(this);
    m_surface->onEnter = [self] {
        if (self && self->onMouseInside)
            self->onMouseInside();
    };
    m_surface->onExit = [self] {
        if (self && self->onMouseExit)
            self->onMouseExit();
    };

    auto* stack = new QVBoxLayout(m_surface);
    stack->setContentsMargins(8, 8, 8, 0);
    stack->setSpacing(0);
    const QColor text = toQColor(theme.text, SystemAppearance::of(m_surface->palette()));
    const QColor accent = toQColor(theme.accent, SystemAppearance::of(m_surface->palette()));
    for (int index = 0; index < int(m_items.size()); ++index) {
        QAction* item = m_items[size_t(index)];
        if (item->isSeparator()) {
            stack->addWidget(separatorRow(m_surface));
            continue;
        }
        auto* button = new MenuActionButton(m_surface);
        button->setText(QStringLiteral("  ") + item->text());
        button->setAccessibleName(item->text());
        button->setTextAlignment(Qt::AlignLeft);
        button->setTextColor(text);
        button->setAccentColor(accent);
        QFont font = QApplication::font();
        font.setPointSizeF(12);
        font.setWeight(index == 0 ? QFont::DemiBold : QFont::Normal);
        button->setFont(font);
        button->setFixedHeight(int(rowHeight));
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QAbstractButton::clicked, this, [this, index] { performChoice(index); });
        stack->addWidget(button);
        if (index == 0)
            m_firstRow = button;
    }
    stack->addStretch(1);
}

BlockMenuPanel::~BlockMenuPanel()
{
    stopWatching();
}

std::vector<QWidget*> BlockMenuPanel::rows() const
{
    std::vector<QWidget*> rows;
    for (MenuActionButton* button : m_surface->findChildren<MenuActionButton*>(Qt::FindDirectChildrenOnly))
        rows.push_back(button);
    return rows;
}

void BlockMenuPanel::show(const QRectF& rect, QWidget& view, bool takeFocus)
{
    QWidget* noteWindow = view.window();
    if (!noteWindow)
        return;
    const QRectF anchor(QPointF(view.mapToGlobal(rect.topLeft().toPoint())), rect.size());
    const QRectF windowFrame(noteWindow->frameGeometry());
    const QScreen* screen = noteWindow->screen() ? noteWindow->screen() : QGuiApplication::primaryScreen();
    const QRectF visible = screen ? QRectF(screen->availableGeometry()) : windowFrame;
    const QPointF origin = panelplacement::blockMenuOrigin(windowFrame, anchor, QSizeF(size()), visible);
    move(origin.toPoint());

    attach(*noteWindow, std::max(WindowLevelAdapter::levelOf(*noteWindow), windowLevel::floating));
    orderFront();
    if (takeFocus) {
        activateWindow();
        if (m_firstRow)
            m_firstRow->setFocus(Qt::OtherFocusReason);
    }
    if (!m_watching) {
        qApp->installEventFilter(this);
        m_watching = true;
    }
}

void BlockMenuPanel::stopWatching()
{
    if (m_watching) {
        qApp->removeEventFilter(this);
        m_watching = false;
    }
}

void BlockMenuPanel::dismiss()
{
    const bool wasShown = m_watching || isVisible();
    stopWatching();
    detach();
    orderOut();
    if (wasShown && onDismiss)
        onDismiss();
}

void BlockMenuPanel::performChoice(int index)
{
    if (index < 0 || index >= int(m_items.size()) || !m_editor)
        return;
    QAction* item = m_items[size_t(index)];
    if (item->isSeparator() || !item->isEnabled())
        return;
    const QPointer<BlockEditor> editor = m_editor;
    const QUuid blockID = m_blockID;
    dismiss();
    if (!editor)
        return;
    editor->selectedBlock = blockID;
    item->trigger();
}

bool BlockMenuPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_watching)
        return false;
    if (isEscape(event)) {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept(); // a key press, not a shortcut: it comes here next
            return true;
        }
        dismiss();
        return true;
    }
    if (isMousePress(event)) {
        const auto* widget = qobject_cast<QWidget*>(watched);
        const QWidget* window = widget ? widget->window() : nullptr;
        const bool insidePanel = window == this;
        // Presses reach the native window first and then its widget: the
        // panel's own native window counts as inside.
        const bool ownWindow = watched == static_cast<QObject*>(windowHandle());
        if (!insidePanel && !ownWindow)
            dismiss();
    }
    return false;
}

void BlockMenuPanel::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Down: focusNextChild(); return;
    case Qt::Key_Up: focusPreviousChild(); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* button = qobject_cast<QAbstractButton*>(focusWidget())) {
            button->click();
            return;
        }
        break;
    default: break;
    }
    FloatingPanel::keyPressEvent(event);
}

} // namespace quorrin
