#include "App/ApplicationMenus.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace quorrin {

namespace {

// The note window closes itself on this key; a second shortcut for it would
// make the key ambiguous.
bool windowHandlesShortcut(const MenuItem& item)
{
    return item.action == menumodel::action::performClose;
}

} // namespace

ApplicationMenus::ApplicationMenus(QObject* parent)
    : QObject(parent)
{
}

ApplicationMenus::~ApplicationMenus()
{
    // Actions are children of this object; the menus that show them go first.
    m_statusMenu.reset();
    m_ownedMenus.clear();
}

void ApplicationMenus::build()
{
    if (!m_mainModel.empty())
        return;
    m_mainModel = menumodel::mainMenu();
    m_statusModel = menumodel::statusMenu(m_mainModel);

    for (const MenuItem& top : m_mainModel) {
        QMenu* menu = makeMenu(top.submenuTitle);
        fill(*menu, top.items);
        m_mainMenus.push_back(menu);
    }
    watchPresentation(applicationMenu());

    m_statusMenu = std::make_unique<QMenu>();
    fill(*m_statusMenu, m_statusModel);
    watchPresentation(m_statusMenu.get());
}

QMenu* ApplicationMenus::makeMenu(const QString& title)
{
    m_ownedMenus.push_back(std::make_unique<QMenu>(title));
    return m_ownedMenus.back().get();
}

void ApplicationMenus::fill(QMenu& menu, const std::vector<MenuItem>& items)
{
    const bool showsHistory = std::any_of(items.begin(), items.end(), [](const MenuItem& item) {
        return item.action == menumodel::action::undo || item.action == menumodel::action::redo;
    });
    if (showsHistory)
        watchEditHistory(menu);
    for (const MenuItem& item : items) {
        switch (item.kind) {
        case MenuItem::Kind::Separator:
            menu.addSeparator();
            break;
        case MenuItem::Kind::Command:
            menu.addAction(actionFor(item));
            break;
        case MenuItem::Kind::Submenu: {
            // Every menu that shows a submenu gets a copy of its own whose
            // items share the actions.
            QMenu* submenu = makeMenu(item.submenuTitle);
            fill(*submenu, item.items);
            submenu->menuAction()->setText(item.title);
            menu.addMenu(submenu);
            break;
        }
        case MenuItem::Kind::WindowList: {
            QAction* marker = menu.addSeparator();
            const QPointer<QMenu> target(&menu);
            connect(&menu, &QMenu::aboutToShow, this, [this, target, marker] {
                if (target)
                    refreshWindowList(target, marker);
            });
            break;
        }
        }
    }
}

QAction* ApplicationMenus::actionFor(const MenuItem& item)
{
    for (const auto& [known, action] : m_actions) {
        if (known == item)
            return action;
    }
    auto* action = new QAction(item.title, this);
    action->setShortcut(item.shortcut);
    action->setShortcutContext(Qt::ApplicationShortcut);
    action->setShortcutVisibleInContextMenu(true);
    connect(action, &QAction::triggered, this, [this, item] { trigger(item); });
    m_actions.emplace_back(item, action);
    if (!item.shortcut.isEmpty() && !windowHandlesShortcut(item))
        m_shortcutActions << action;
    return action;
}

void ApplicationMenus::trigger(const MenuItem& item) const
{
    const auto handler = handlers.find(item.action);
    if (handler != handlers.end() && handler->second)
        handler->second(item);
}

void ApplicationMenus::refreshWindowList(QMenu* menu, QAction* marker)
{
    // Everything after the marker is the last listing.
    const QList<QAction*> actions = menu->actions();
    const qsizetype start = actions.indexOf(marker);
    for (qsizetype i = start + 1; i < actions.size(); ++i) {
        menu->removeAction(actions[i]);
        if (actions[i]->parent() == menu)
            actions[i]->deleteLater();
    }
    const std::vector<WindowEntry> windows = openWindows ? openWindows() : std::vector<WindowEntry>{};
    marker->setVisible(!windows.empty());
    for (const WindowEntry& window : windows) {
        auto* entry = new QAction(window.title, menu);
        entry->setCheckable(true);
        entry->setChecked(window.isKey);
        connect(entry, &QAction::triggered, menu, [bringForward = window.bringForward] {
            if (bringForward)
                bringForward();
        });
        menu->addAction(entry);
    }
}

void ApplicationMenus::watchPresentation(QMenu* menu)
{
    if (!menu)
        return;
    connect(menu, &QMenu::aboutToShow, this, [this] {
        if (presentationMenuWillOpen)
            presentationMenuWillOpen();
    });
    connect(menu, &QMenu::aboutToHide, this, [this] {
        if (presentationMenuDidClose)
            presentationMenuDidClose();
    });
}

void ApplicationMenus::watchEditHistory(QMenu& menu)
{
    connect(&menu, &QMenu::aboutToShow, this, [this] {
        const menumodel::EditHistory history = editHistory ? editHistory() : menumodel::EditHistory{};
        if (QAction* undo = action(menumodel::action::undo)) {
            undo->setText(menumodel::undoTitle(history.undoName));
            undo->setEnabled(history.canUndo);
        }
        if (QAction* redo = action(menumodel::action::redo)) {
            redo->setText(menumodel::redoTitle(history.redoName));
            redo->setEnabled(history.canRedo);
        }
    });
    // The shortcuts stay with the text in focus, which knows best.
    connect(&menu, &QMenu::aboutToHide, this, [this] {
        for (const QString& name : {menumodel::action::undo, menumodel::action::redo}) {
            if (QAction* command = action(name))
                command->setEnabled(true);
        }
    });
}

QMenu* ApplicationMenus::mainMenu(const QString& title) const
{
    for (QMenu* menu : m_mainMenus) {
        if (menu->title() == title)
            return menu;
    }
    return nullptr;
}

QMenu* ApplicationMenus::applicationMenu() const
{
    return m_mainMenus.empty() ? nullptr : m_mainMenus.front();
}

QAction* ApplicationMenus::action(const QString& name, int tag) const
{
    for (const auto& [item, action] : m_actions) {
        if (item.action == name && item.tag == tag)
            return action;
    }
    return nullptr;
}

bool ApplicationMenus::isPresentationMenu(const QMenu* menu) const
{
    if (!menu)
        return false;
    return menu == m_statusMenu.get() || menu == applicationMenu();
}

void ApplicationMenus::addStatusMenuTo(QMenu& menu) const
{
    if (!m_statusMenu)
        return;
    menu.addSeparator();
    menu.addActions(m_statusMenu->actions());
}

std::unique_ptr<QMenu> ApplicationMenus::makeTextContextMenu(QWidget* parent) const
{
    auto menu = std::make_unique<QMenu>(parent);
    for (const QString& title : {menumodel::editMenuTitle, menumodel::formatMenuTitle}) {
        if (QMenu* submenu = mainMenu(title))
            menu->addMenu(submenu);
    }
    return menu;
}

} // namespace quorrin
