// The note window controller's commands: the header buttons' actions and the
// note menu with what it offers.
#include "Windows/NoteWindowController.h"

#include "Domain/NoteTheme.h"
#include "Domain/RichText.h"
#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Editor/ScrollOverflowHint.h"
#include "Editor/TextDocumentConversion.h"
#include "Persistence/NoteStore.h"
#include "Platform/ReducedMotion.h"
#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"
#include "Platform/WindowLevel.h"
#include "Widgets/ButtonCursorSupport.h"
#include "Windows/DesktopWindowPolicy.h"
#include "Widgets/HandCursorButton.h"
#include "Widgets/Motion.h"
#include "Windows/NoteBackground.h"
#include "Windows/NoteHeader.h"
#include "Windows/NoteWindowMetrics.h"
#include "Widgets/NoteIcons.h"
#include "Windows/StickyPanel.h"
#include "Windows/TitleFormatTarget.h"
#include "Windows/TitleText.h"
#include "Windows/TitleTextField.h"

#include <QPainter>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QMenu>
#include <QVariantAnimation>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cmath>

namespace quorrin {

// ---------------------------------------------------------------- commands

void NoteWindowController::toggleLayer()
{
    if (m_layerToggleAnimating) {
        // The click toggled the button's own check state; put it back.
        const std::optional<Note> note = m_store.note(m_noteID);
        m_layerButton->setChecked(note && note->alwaysOnTop);
        return;
    }
    const std::optional<Note> note = m_store.note(m_noteID);
    const bool top = !(note && note->alwaysOnTop);
    m_layerToggleAnimating = true;
    updateLayerButtonAppearance(top);
    commitPendingInput();
    if (m_workspace) {
        m_workspace->setLayerForAll(top);
    } else if (m_store.setSharedWindowLayer(top)) {
        temporarilyRaised = false;
        refresh();
    }
    animateLayerIcon(top);
}

void NoteWindowController::animateLayerIcon(bool top)
{
    const notewindow::LayerAppearance oldLook = notewindow::layerAppearance(!top);
    const notewindow::LayerAppearance newLook = notewindow::layerAppearance(top);
    const QRect frame = m_layerButton->geometry();
    const QSize iconSize = m_layerButton->iconSize();
    const auto makeIcon = [&](const notewindow::LayerAppearance& look) {
        auto* label = new QLabel(m_header);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(frame);
        QPixmap pixmap = NoteIcons::icon(look.symbol).pixmap(iconSize, m_header->devicePixelRatioF());
        QPainter tint(&pixmap);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(pixmap.rect(), notewindow::resolved(look.tint, *m_header));
        tint.end();
        label->setPixmap(pixmap);
        auto* opacity = new QGraphicsOpacityEffect(label);
        label->setGraphicsEffect(opacity);
        label->show();
        return std::pair{label, opacity};
    };
    auto [oldIcon, oldOpacity] = makeIcon(oldLook);
    auto [newIcon, newOpacity] = makeIcon(newLook);
    // To the desktop the icons move down, to the top they move up.
    const double direction = top ? -1 : 1;
    newOpacity->setOpacity(0);
    newIcon->move(frame.topLeft() - QPoint(0, int(direction * notewindow::layerIconShift)));
    auto* buttonOpacity = new QGraphicsOpacityEffect(m_layerButton);
    buttonOpacity->setOpacity(0);
    m_layerButton->setGraphicsEffect(buttonOpacity);

    auto* animation = new QVariantAnimation(this);
    animation->setDuration(notewindow::layerIconDurationMs);
    animation->setEasingCurve(QEasingCurve::InOutQuad);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    const QPointer<QLabel> oldGuard(oldIcon), newGuard(newIcon);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [=, oldOpacity = oldOpacity, newOpacity = newOpacity](const QVariant& value) {
                const double t = value.toDouble();
                if (oldGuard) {
                    oldOpacity->setOpacity(1 - t);
                    oldGuard->move(frame.topLeft() + QPoint(0, int(direction * notewindow::layerIconShift * t)));
                }
                if (newGuard) {
                    newOpacity->setOpacity(t);
                    newGuard->move(frame.topLeft() - QPoint(0, int(direction * notewindow::layerIconShift * (1 - t))));
                }
            });
    connect(animation, &QVariantAnimation::finished, this, [this, oldGuard, newGuard] {
        delete oldGuard.data();
        delete newGuard.data();
        m_layerButton->setGraphicsEffect(nullptr);
        m_layerToggleAnimating = false;
        if (const std::optional<Note> note = m_store.note(m_noteID))
            updateLayerButtonAppearance(note->alwaysOnTop);
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void NoteWindowController::toggleCollapse()
{
    m_editor->change(QStringLiteral("折叠便笺"), [](Note& note) { note.isCollapsed = !note.isCollapsed; });
}

void NoteWindowController::showFindBar()
{
    if (!m_editor)
        return;
    if (const std::optional<Note> note = m_store.note(m_noteID); note && note->isCollapsed)
        toggleCollapse();
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
    m_editor->showFindBar();
}

void NoteWindowController::showMenu()
{
    QMenu* menu = makeNoteMenu().release();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(m_menuButton->mapToGlobal(QPoint(0, m_menuButton->height() + 4)));
}

std::unique_ptr<QMenu> NoteWindowController::makeNoteMenu()
{
    const std::optional<Note> note = m_store.note(m_noteID);
    auto menu = std::make_unique<QMenu>();
    const QPointer<NoteWindowController> self(this);
    const auto command = [self](void (NoteWindowController::*action)()) {
        return [self, action] {
            if (self)
                (self.data()->*action)();
        };
    };
    menu->addAction(QStringLiteral("折叠／展开"), this, command(&NoteWindowController::toggleCollapse));
    menu->addAction(QStringLiteral("隐藏这张便笺"), this, command(&NoteWindowController::hideNote));

    QMenu* colours = menu->addMenu(QStringLiteral("便笺颜色"));
    static const std::array<QString, 8> colourTitles = {
        QStringLiteral("奶油黄"), QStringLiteral("雾霾蓝"), QStringLiteral("鼠尾草绿"), QStringLiteral("樱花粉"),
        QStringLiteral("淡薰衣草紫"), QStringLiteral("杏仁橙"), QStringLiteral("珍珠灰"), QStringLiteral("纯净白"),
    };
    for (std::size_t index = 0; index < noteColor::allCases.size(); ++index) {
        const NoteColor colour = noteColor::allCases[index];
        const QString raw = noteColor::rawValue(colour);
        QAction* item = colours->addAction(colourTitles[index], this, [self, raw] {
            if (self)
                self->setColor(raw);
        });
        item->setData(raw);
        item->setCheckable(true);
        item->setChecked(note && note->color == colour);
    }

    QMenu* opacity = menu->addMenu(QStringLiteral("背景透明度"));
    for (const int percent : {100, 85, 65, 40}) {
        QAction* item = opacity->addAction(QStringLiteral("%1%").arg(percent), this, [self, percent] {
            if (self)
                self->setOpacity(percent);
        });
        item->setData(percent);
    }
    opacity->addAction(QStringLiteral("自定义…"), this, command(&NoteWindowController::customOpacity));

    menu->addSeparator();
    QAction* sort = menu->addAction(QStringLiteral("按优先级排序"), this, command(&NoteWindowController::sortPriority));
    sort->setCheckable(true);
    sort->setChecked(note && note->prioritySorted);
    menu->addAction(QStringLiteral("插入图片／PDF…"), this, command(&NoteWindowController::addAttachment));
    menu->addAction(QStringLiteral("导出…"), this, command(&NoteWindowController::exportNote));
    menu->addAction(QStringLiteral("系统分享／存入备忘录…"), this, [self] {
        if (self)
            self->shareNote(self->m_menuButton);
    });
    menu->addAction(QStringLiteral("将当前样式存为默认模板"), this, command(&NoteWindowController::saveTemplate));
    menu->addSeparator();
    menu->addAction(QStringLiteral("删除便笺…"), this, command(&NoteWindowController::deleteNote));
    if (m_services.extendNoteMenu)
        m_services.extendNoteMenu(*menu);
    return menu;
}

void NoteWindowController::exportNote()
{
    if (m_services.exportNote)
        m_services.exportNote(*this);
}

void NoteWindowController::shareNote(QWidget* sender)
{
    if (m_services.shareNote && sender)
        m_services.shareNote(*this, sender->rect(), sender);
}

void NoteWindowController::hideNote()
{
    dismissReminderPanel(true);
    endFileDropSession();
    closeBlockMenu();
    if (m_workspace)
        m_workspace->detachNativeLinks(m_noteID);
    if (std::optional<Note> note = m_store.note(m_noteID)) {
        note->isHidden = true;
        m_store.update(*note, true, true);
    }
    m_panel->hide();
    if (m_workspace)
        m_workspace->syncNativeLinks();
}

void NoteWindowController::setColor(const QString& rawValue)
{
    const std::optional<NoteColor> colour = noteColor::fromRawValue(rawValue);
    if (!colour)
        return;
    m_editor->change(QStringLiteral("便笺颜色"), [colour](Note& note) { note.color = *colour; });
}

void NoteWindowController::setOpacity(int percent)
{
    m_editor->change(QStringLiteral("背景透明度"), [percent](Note& note) { note.opacity = percent / 100.0; });
}

void NoteWindowController::customOpacity()
{
    const std::optional<Note> note = m_store.note(m_noteID);
    const int current = note ? int(std::lround(note->opacity * 100)) : 100;
    if (const std::optional<int> chosen = m_services.chooseOpacity(std::clamp(current, 20, 100)))
        setOpacity(std::clamp(*chosen, 20, 100));
}

void NoteWindowController::sortPriority()
{
    m_editor->change(QStringLiteral("切换优先级排序"), [](Note& note) { note.prioritySorted = !note.prioritySorted; });
}

void NoteWindowController::addAttachment()
{
    const QStringList files = m_services.chooseAttachments();
    if (!files.isEmpty())
        m_editor->importFiles(files);
}

void NoteWindowController::saveTemplate()
{
    const std::optional<Note> note = m_store.note(m_noteID);
    if (!note)
        return;
    Preferences& preferences = m_store.preferences();
    preferences.color = note->color;
    preferences.opacity = note->opacity;
    preferences.alwaysOnTop = note->alwaysOnTop;
    preferences.width = note->frame.width;
    preferences.height = note->frame.height;
    const QTextCharFormat typing = m_editor->textView()->currentCharFormat();
    const TextAttributes attributes = textdoc::attributes(typing, QTextBlockFormat());
    if (attributes.font) {
        preferences.fontName = attributes.font->family;
        preferences.fontSize = attributes.font->pointSize;
    }
    preferences.defaultText = RichText(AttributedString(QStringLiteral(" "), attributes));
    try {
        m_store.save();
    } catch (...) {
        reportError(std::current_exception());
    }
}

void NoteWindowController::deleteNote()
{
    dismissReminderPanel(false);
    endFileDropSession();
    closeBlockMenu();
    commitPendingInput();
    if (m_store.preferences().confirmDeletion && !m_services.confirmDeletion())
        return;
    m_store.deleteNote(m_noteID);
    const std::optional<Note> left = m_store.note(m_noteID);
    // A note the store kept live (its discard failed and was reported) keeps
    // its window. A note that went to the recently deleted keeps no editable
    // window, even when saving that move failed: the store retries the save.
    if (left && !left->deletedAt)
        return;
    if (m_workspace)
        m_workspace->detachNativeLinks(m_noteID);
    else
        settleToDesktop();
    m_panel->hide();
    if (m_workspace)
        m_workspace->syncNativeLinks();
    if (onDelete)
        onDelete(m_noteID);
}

} // namespace quorrin
