// The application delegate's menus, status item, activation and outside-click
// monitoring.
#include "App/AppDelegate.h"

#include "App/ActivationTarget.h"
#include "App/ApplicationMenus.h"
#include "App/ControllerNoteWindow.h"
#include "App/FileCommands.h"
#include "App/FocusedTextCommands.h"
#include "App/MenuFocus.h"
#include "App/NoteRegistry.h"
#include "App/OutsideClicks.h"
#include "App/StatusItem.h"
#include "Features/Reminders/ReminderAlarmCenter.h"
#include "Platform/DesktopTrayHost.h"
#include "Platform/DialogPlacement.h"
#include "Platform/FocusReturn.h"
#include "Platform/MouseMonitors.h"
#include "Windows/StickyPanel.h"
#include "Windows/TitleFormatTarget.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>
#include <QUndoStack>

namespace quorrin {

namespace {

// The note window of a widget, if a note's.
ControllerNoteWindow* noteWindowOf(NoteRegistry& registry, const QWidget* widget)
{
    for (RegisteredNoteWindow* window : registry.controllers()) {
        if (window->containsRelatedWindow(widget ? widget->window() : nullptr))
            return dynamic_cast<ControllerNoteWindow*>(window);
    }
    return nullptr;
}

bool isOrdinaryWindow(const QWidget* widget)
{
    const Qt::WindowType type = widget->windowType();
    return widget->isWindow() && type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop;
}

} // namespace

QSystemTrayIcon* AppDelegate::statusItem() const
{
    return m_statusItem ? m_statusItem->icon() : nullptr;
}

bool AppDelegate::isStatusItemShown() const
{
    return m_statusItem && m_statusItem->isShown();
}

void AppDelegate::addStatusCommandsWithoutTray(QMenu& noteMenu) const
{
    if (m_menus && !isStatusItemShown())
        m_menus->addStatusMenuTo(noteMenu);
}

QList<QAction*> AppDelegate::applicationActions() const
{
    return m_menus ? m_menus->shortcutActions() : QList<QAction*>{};
}

void AppDelegate::installOutsideClickMonitoring()
{
    m_outsideClicks = std::make_unique<OutsideClicks>(*m_registry);
    m_menuFocus = std::make_unique<MenuFocus>(*m_registry);
    if (!m_environment.watchOtherApplications)
        return;
    m_outsideMouseMonitor = std::make_unique<GlobalMouseMonitor>([this](const QPoint& point) {
        if (m_outsideClicks)
            m_outsideClicks->handleOutsideClick(nullptr, true, point);
    });
    m_localMouseMonitor = std::make_unique<LocalMouseMonitor>([this](QWidget* window, const QMouseEvent& event) {
        if (m_outsideClicks)
            m_outsideClicks->handleLocalMouseEvent(window, event);
    });
}

std::map<QString, std::function<void(const MenuItem&)>> AppDelegate::menuCommands()
{
    namespace action = menumodel::action;
    using Item = const MenuItem&;
    auto panel = [this](std::function<void()> AuxiliaryPanelHooks::*hook) {
        return [this, hook](Item) {
            if (panels.*hook)
                (panels.*hook)();
        };
    };
    auto text = [this](void (FocusedTextCommands::*command)()) {
        return [this, command](Item) { (m_textCommands.get()->*command)(); };
    };
    NoteRegistry& registry = *m_registry;
    return {
        {action::about, [this](Item) {
             if (panels.about) {
                 panels.about();
                 return;
             }
             QMessageBox box(QMessageBox::Information, QStringLiteral("关于 Quorrin"),
                             QStringLiteral("<b>Quorrin</b> 0.7.3<br>离线 · 原生 · 轻量<br>C++ / Qt / SQLite / Poppler"));
             placeInFrontOfNotes(box, QApplication::activeWindow());
             box.exec();
         }},
        {action::settings, panel(&AuxiliaryPanelHooks::settings)},
        {action::hide, [this](Item) { hideApplication(); }},
        {action::showAll, [this](Item) { reopen(); }},
        {action::quit, [this](Item) { requestQuit(); }},
        {action::newNote, [&registry](Item) { registry.newNote(); }},
        {action::newFromClipboard, [&registry](Item) { registry.newFromClipboard(); }},
        {action::importDocuments, [this](Item) { m_fileCommands->importDocuments(); }},
        {action::exportCurrent, [this](Item) { m_fileCommands->exportCurrent(); }},
        {action::backup, [this](Item) { m_fileCommands->backup(); }},
        {action::restoreBackup, [this](Item) { m_fileCommands->restoreBackup(); }},
        {action::trash, panel(&AuxiliaryPanelHooks::trash)},
        {action::performClose, [this](Item) {
             if (ControllerNoteWindow* note = noteWindowOf(*m_registry, QApplication::activeWindow()))
                 note->controller().performClose();
         }},
        {action::undo, text(&FocusedTextCommands::undo)},
        {action::redo, text(&FocusedTextCommands::redo)},
        {action::cut, text(&FocusedTextCommands::cut)},
        {action::copy, text(&FocusedTextCommands::copy)},
        {action::paste, text(&FocusedTextCommands::paste)},
        {action::selectAll, text(&FocusedTextCommands::selectAll)},
        {action::undoGlobal, [this](Item) { m_globalUndo->undo(); }},
        {action::findPanel, [this](Item) {
             if (RegisteredNoteWindow* note = m_registry->current(); note && panels.showFindBar)
                 panels.showFindBar(*note);
         }},
        {action::searchAll, panel(&AuxiliaryPanelHooks::searchAll)},
        {action::orderFrontFontPanel, text(&FocusedTextCommands::showFonts)},
        {action::bold, text(&FocusedTextCommands::toggleBold)},
        {action::italic, text(&FocusedTextCommands::toggleItalic)},
        {action::underline, text(&FocusedTextCommands::toggleUnderline)},
        {action::bigger, text(&FocusedTextCommands::bigger)},
        {action::smaller, text(&FocusedTextCommands::smaller)},
        {action::orderFrontColorPanel, text(&FocusedTextCommands::showColors)},
        {action::strikethrough, text(&FocusedTextCommands::toggleStrikethrough)},
        {action::alignLeft, text(&FocusedTextCommands::alignLeft)},
        {action::alignCenter, text(&FocusedTextCommands::alignCenter)},
        {action::alignRight, text(&FocusedTextCommands::alignRight)},
        {action::linkPanel, text(&FocusedTextCommands::editLink)},
        {action::convertBlock, [&registry](Item item) { registry.convertBlock(item.representedObject); }},
        {action::toggleCurrentTodo, [&registry](Item) { registry.toggleCurrentTodo(); }},
        {action::reminderCurrent, [&registry](Item) { registry.reminderCurrent(); }},
        {action::toggleCurrentRemarks, [&registry](Item) { registry.toggleCurrentRemarks(); }},
        {action::archiveCurrent, [&registry](Item) { registry.archiveCurrent(); }},
        {action::priorityCurrent, [&registry](Item item) { registry.priorityCurrent(item.tag); }},
        {action::archive, panel(&AuxiliaryPanelHooks::archive)},
        {action::arrange, [&registry](Item item) { registry.arrange(item.tag); }},
    };
}

void AppDelegate::buildMenu()
{
    m_textCommands = std::make_unique<FocusedTextCommands>();
    m_textCommands->titleTarget = [this](QWidget* field) -> TitleFormatTarget* {
        ControllerNoteWindow* note = noteWindowOf(*m_registry, field);
        TitleFormatTarget* target = note ? note->controller().titleFormatTarget() : nullptr;
        return target && target->editor == field ? target : nullptr;
    };

    m_menus = std::make_unique<ApplicationMenus>();
    m_menus->handlers = menuCommands();
    m_menus->editHistory = [this] { return m_textCommands->history(); };
    m_menus->openWindows = [this] {
        std::vector<ApplicationMenus::WindowEntry> entries;
        for (RegisteredNoteWindow* window : m_registry->controllers()) {
            if (!window->layout().isVisible())
                continue;
            const QUuid id = window->noteID();
            const QPointer<NoteRegistry> registry = m_registry.get();
            entries.push_back({window->windowTitle(), window->isKeyWindow(), [registry, id] {
                                   if (registry)
                                       registry->open(id, std::nullopt, true);
                               }});
        }
        return entries;
    };
    m_menus->presentationMenuWillOpen = [this] {
        m_menuFocus->menuNeedsUpdate();
        m_menuFocus->menuWillOpen();
    };
    m_menus->presentationMenuDidClose = [this] { m_menuFocus->menuDidClose(); };
    m_menus->build();
    // Windows made before the menus existed get the shortcuts now.
    for (RegisteredNoteWindow* window : m_registry->controllers()) {
        if (auto* note = dynamic_cast<ControllerNoteWindow*>(window))
            note->controller().panel()->addActions(applicationActions());
    }
}

void AppDelegate::createStatusItem()
{
    // Without a tray the menu and its shortcuts still exist, every note
    // window carries the shortcuts and every note's menu the commands.
    std::unique_ptr<TrayHost> tray = m_environment.makeTrayHost ? m_environment.makeTrayHost() : makeDesktopTrayHost();
    m_statusItem = std::make_unique<StatusItem>(std::move(tray), m_menus->statusMenu());
    m_statusItem->clicked = [this] { statusItemClicked(); };
    updateReminderStatusIndicator();
}

void AppDelegate::updateReminderStatusIndicator()
{
    if (m_statusItem)
        m_statusItem->setIndicator(
            reminderIndicator(m_alarms ? m_alarms->alarms() : std::vector<ReminderAlarmCenter::Alarm>()));
}

void AppDelegate::statusItemClicked()
{
    if (QMenu* menu = m_menus ? m_menus->statusMenu() : nullptr; menu && !menu->isVisible())
        menu->popup(QCursor::pos());
}

void AppDelegate::hideApplication()
{
    for (RegisteredNoteWindow* window : m_registry->controllers()) {
        if (auto* note = dynamic_cast<ControllerNoteWindow*>(window); note && note->controller().panel())
            note->controller().panel()->hide();
    }
    // Other windows (panels, dialogs) come back when the application is
    // brought forward again; notes come back when they are shown.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!widget->isVisible() || !isOrdinaryWindow(widget))
            continue;
        if (!noteWindowOf(*m_registry, widget))
            m_hiddenWindows << widget;
        widget->hide();
    }
}

void AppDelegate::activateWindows(QWidget* forWindow)
{
    for (const QPointer<QWidget>& widget : std::exchange(m_hiddenWindows, {})) {
        if (widget)
            widget->show();
    }
    if (QWidget* active = QApplication::activeWindow()) {
        active->raise();
        return;
    }
    // The desktop gives the focus to one of our windows that take it (the
    // notes show without activating, yet take it): the one asked for, else
    // the one the user last used. The list of windows keeps no stacking
    // order: its last window is any window (a panel left open), which would
    // be active for a moment, and KWin sets a note's panels aside meanwhile.
    std::vector<QWidget*> shown;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        const bool takesFocus = !widget->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus);
        if (widget->isVisible() && isOrdinaryWindow(widget) && takesFocus)
            shown.push_back(widget);
    }
    if (QWidget* target = activationtarget::choose(shown, FocusReturn::recentFallBacks(), forWindow))
        target->activateWindow();
}

} // namespace quorrin
