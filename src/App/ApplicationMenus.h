#pragma once

#include "App/MenuModel.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace quorrin {

// The application's menus as Qt menus, built once from the menu tables.
// There is no global menu bar for these windows: the main menu's submenus
// exist as built, their shortcuts are offered to every window through
// `shortcutActions()`, the status menu shares their actions, and "编辑" and
// "格式" stand in for the text's context menu.
class ApplicationMenus final : public QObject {
    Q_OBJECT
public:
    // Carries out one command; gets the item that was chosen (its tag and
    // represented object).
    using Handler = std::function<void(const MenuItem& item)>;
    // One open window as the window menu lists it.
    struct WindowEntry {
        QString title;
        bool isKey = false;
        std::function<void()> bringForward;
    };

    explicit ApplicationMenus(QObject* parent = nullptr);
    ~ApplicationMenus() override;

    // Installed before `build()`; a command without handler does nothing.
    std::map<QString, Handler> handlers;
    // The open note windows, for the end of the window menu.
    std::function<std::vector<WindowEntry>()> openWindows;
    // What undo and redo act on now, asked whenever a menu that shows them
    // opens: they name the step and are disabled without one.
    std::function<menumodel::EditHistory()> editHistory;
    // A presentation menu (the application menu or the status menu) is about
    // to open, or has closed.
    std::function<void()> presentationMenuWillOpen;
    std::function<void()> presentationMenuDidClose;

    void build();

    const std::vector<MenuItem>& mainModel() const { return m_mainModel; }
    // The top-level menus of the main menu, in order.
    const std::vector<QMenu*>& mainMenus() const { return m_mainMenus; }
    QMenu* mainMenu(const QString& title) const;
    QMenu* applicationMenu() const;
    QMenu* statusMenu() const { return m_statusMenu.get(); }
    // The actions with a shortcut; every window gets them so the shortcuts
    // work wherever the user is.
    QList<QAction*> shortcutActions() const { return m_shortcutActions; }
    // The main menu's action of a command (the first with that name and tag).
    QAction* action(const QString& name, int tag = 0) const;

    bool isPresentationMenu(const QMenu* menu) const;

    // The text's context menu: "编辑" and "格式" as submenus, shared with the
    // main menu. The caller owns the returned menu.
    std::unique_ptr<QMenu> makeTextContextMenu(QWidget* parent = nullptr) const;

    // Puts the status menu's commands and submenus, the same actions, at the
    // end of `menu` after a separator: on a desktop without a tray the
    // status menu cannot be opened.
    void addStatusMenuTo(QMenu& menu) const;

    // Carries out an item's command as if it had been chosen.
    void trigger(const MenuItem& item) const;

private:
    QMenu* makeMenu(const QString& title);
    void fill(QMenu& menu, const std::vector<MenuItem>& items);
    QAction* actionFor(const MenuItem& item);
    void refreshWindowList(QMenu* menu, QAction* marker);
    void watchPresentation(QMenu* menu);
    void watchEditHistory(QMenu& menu);

    std::vector<MenuItem> m_mainModel;
    std::vector<MenuItem> m_statusModel;
    std::vector<std::unique_ptr<QMenu>> m_ownedMenus;
    std::vector<QMenu*> m_mainMenus;
    std::unique_ptr<QMenu> m_statusMenu;
    // Actions made once per distinct command item, shared by every menu
    // that shows that item.
    std::vector<std::pair<MenuItem, QAction*>> m_actions;
    QList<QAction*> m_shortcutActions;
    bool m_building = false;
};

} // namespace quorrin
