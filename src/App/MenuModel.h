#pragma once

#include <QKeySequence>
#include <QString>
#include <QVariant>

#include <vector>

namespace quorrin {

// Who receives a menu command: the application delegate, the widget that has
// the keyboard focus (the note's text or the title field), or the
// application itself.
enum class MenuTarget { Self, FirstResponder, Application };

// One item of a menu as data: the menus are built from these tables, so what
// the user sees can be checked without a display.
struct MenuItem {
    enum class Kind {
        Command,
        Separator,
        Submenu,
        // Where the open note windows are listed when the menu opens.
        WindowList,
    };

    Kind kind = Kind::Command;
    QString title;
    // The command's name; empty for an item without action.
    QString action;
    QKeySequence shortcut;
    MenuTarget target = MenuTarget::Self;
    int tag = 0;
    QVariant representedObject;
    // Submenu items (Kind::Submenu), and the submenu's own title (empty for
    // an untitled submenu).
    QString submenuTitle;
    std::vector<MenuItem> items;

    friend bool operator==(const MenuItem&, const MenuItem&) = default;
};

namespace menumodel {

// Command names shared by the tables and the code that carries them out.
namespace action {
inline const QString about = QStringLiteral("about");
inline const QString settings = QStringLiteral("settings");
inline const QString hide = QStringLiteral("hide:");
inline const QString showAll = QStringLiteral("showAll");
inline const QString quit = QStringLiteral("quit");
inline const QString newNote = QStringLiteral("newNote");
inline const QString newFromClipboard = QStringLiteral("newFromClipboard");
inline const QString importDocuments = QStringLiteral("importDocuments");
inline const QString exportCurrent = QStringLiteral("exportCurrent");
inline const QString backup = QStringLiteral("backup");
inline const QString restoreBackup = QStringLiteral("restoreBackup");
inline const QString trash = QStringLiteral("trash");
inline const QString performClose = QStringLiteral("performClose:");
inline const QString undo = QStringLiteral("undo:");
inline const QString redo = QStringLiteral("redo:");
inline const QString cut = QStringLiteral("cut:");
inline const QString copy = QStringLiteral("copy:");
inline const QString paste = QStringLiteral("paste:");
inline const QString selectAll = QStringLiteral("selectAll:");
inline const QString undoGlobal = QStringLiteral("undoGlobal");
inline const QString findPanel = QStringLiteral("performFindPanelAction:");
inline const QString searchAll = QStringLiteral("searchAll");
inline const QString orderFrontFontPanel = QStringLiteral("orderFrontFontPanel:");
inline const QString bold = QStringLiteral("addFontTrait:bold");
inline const QString italic = QStringLiteral("addFontTrait:italic");
inline const QString bigger = QStringLiteral("modifyFont:bigger");
inline const QString smaller = QStringLiteral("modifyFont:smaller");
inline const QString orderFrontColorPanel = QStringLiteral("orderFrontColorPanel:");
inline const QString underline = QStringLiteral("underline:");
inline const QString strikethrough = QStringLiteral("toggleStrikethrough:");
inline const QString alignLeft = QStringLiteral("alignLeft:");
inline const QString alignCenter = QStringLiteral("alignCenter:");
inline const QString alignRight = QStringLiteral("alignRight:");
inline const QString linkPanel = QStringLiteral("orderFrontLinkPanel:");
inline const QString convertBlock = QStringLiteral("convertBlock:");
inline const QString toggleCurrentTodo = QStringLiteral("toggleCurrentTodo");
inline const QString reminderCurrent = QStringLiteral("reminderCurrent");
inline const QString toggleCurrentRemarks = QStringLiteral("toggleCurrentRemarks");
inline const QString archiveCurrent = QStringLiteral("archiveCurrent");
inline const QString priorityCurrent = QStringLiteral("priorityCurrent:");
inline const QString archive = QStringLiteral("archive");
inline const QString arrange = QStringLiteral("arrange:");
} // namespace action

// Titles of the top-level menus.
inline const QString applicationMenuTitle = QStringLiteral("Quorrin");
inline const QString fileMenuTitle = QStringLiteral("文件");
inline const QString editMenuTitle = QStringLiteral("编辑");
inline const QString formatMenuTitle = QStringLiteral("格式");
inline const QString blockMenuTitle = QStringLiteral("内容块");
inline const QString windowMenuTitle = QStringLiteral("窗口");
inline const QString arrangeMenuTitle = QStringLiteral("整理便笺");
inline const QString fontMenuTitle = QStringLiteral("字体");

// The main menu: one submenu item per top-level menu, in order. There is no
// services menu, list panel or character palette on this desktop, so their
// items are left out.
std::vector<MenuItem> mainMenu();

// The status menu: the everyday commands, then copies of the main menu's
// submenus except "编辑" and "格式", then quitting.
std::vector<MenuItem> statusMenu(const std::vector<MenuItem>& main);

// The submenus that stand in for the text's own context menu.
std::vector<MenuItem> textContextMenu(const std::vector<MenuItem>& main);

// The submenu item with that title among `items`; none when missing.
const MenuItem* findSubmenu(const std::vector<MenuItem>& items, const QString& title);

// Every command item below `items`, depth first.
std::vector<const MenuItem*> commands(const std::vector<MenuItem>& items);

// What undo and redo would act on: whether there is a step, and its name
// (empty for a step without one, such as typing).
struct EditHistory {
    bool canUndo = false;
    QString undoName;
    bool canRedo = false;
    QString redoName;
};
// The undo and redo items' titles: "撤销" and "重做" followed by the step's name.
QString undoTitle(const QString& stepName);
QString redoTitle(const QString& stepName);

} // namespace menumodel

} // namespace quorrin
