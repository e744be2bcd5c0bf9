#include "App/ApplicationMenus.h"
#include "App/MenuModel.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

namespace quorrin {
namespace {

using Kind = MenuItem::Kind;

// One row of a menu table: title, command, shortcut, target, tag and
// represented object; "-" is a separator and a title ending in ">" a
// submenu.
struct Row {
    Row(const char* title, const char* action = "", const char* shortcut = "", MenuTarget target = MenuTarget::Self,
        int tag = 0, const char* represented = "")
        : title(QString::fromUtf8(title))
        , action(QString::fromUtf8(action))
        , shortcut(QString::fromUtf8(shortcut))
        , target(target)
        , tag(tag)
        , represented(QString::fromUtf8(represented))
    {
    }

    QString title;
    QString action;
    QString shortcut;
    MenuTarget target;
    int tag;
    QString represented;
};

constexpr auto self = MenuTarget::Self;
constexpr auto responder = MenuTarget::FirstResponder;
constexpr auto application = MenuTarget::Application;

void expectTable(const std::vector<MenuItem>& items, const std::vector<Row>& rows)
{
    ASSERT_EQ(items.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const MenuItem& item = items[i];
        const Row& row = rows[i];
        SCOPED_TRACE(row.title.toStdString());
        if (row.title == QLatin1String("-")) {
            EXPECT_EQ(item.kind, Kind::Separator);
            continue;
        }
        if (row.title.endsWith(QLatin1Char('>'))) {
            EXPECT_EQ(item.kind, Kind::Submenu);
            EXPECT_EQ(item.title, row.title.chopped(1));
            continue;
        }
        EXPECT_EQ(item.kind, Kind::Command);
        EXPECT_EQ(item.title, row.title);
        EXPECT_EQ(item.action, row.action);
        EXPECT_EQ(item.shortcut, QKeySequence(row.shortcut));
        EXPECT_EQ(item.target, row.target);
        EXPECT_EQ(item.tag, row.tag);
        EXPECT_EQ(item.representedObject, row.represented.isEmpty() ? QVariant() : QVariant(row.represented));
    }
}

const MenuItem& submenu(const std::vector<MenuItem>& items, const QString& title)
{
    const MenuItem* found = menumodel::findSubmenu(items, title);
    EXPECT_TRUE(found) << title.toStdString();
    static const MenuItem none;
    return found ? *found : none;
}

TEST(MenuModel, MainMenuHasTheTopLevelMenusInOrder)
{
    const std::vector<MenuItem> main = menumodel::mainMenu();
    QStringList titles;
    for (const MenuItem& item : main) {
        EXPECT_EQ(item.kind, Kind::Submenu);
        EXPECT_EQ(item.submenuTitle, item.title);
        titles << item.title;
    }
    EXPECT_EQ(titles, (QStringList{"Quorrin", "文件", "编辑", "格式", "内容块", "窗口"}));
}

TEST(MenuModel, EveryMenuMatchesItsTable)
{
    const std::vector<MenuItem> main = menumodel::mainMenu();
    const struct {
        QString menu;
        std::vector<Row> rows;
    } tables[] = {
        {"Quorrin",
         {{"关于 Quorrin", "about", ""},
          {"设置…", "settings", "Ctrl+,"},
          {"-"},
          {"隐藏 Quorrin", "hide:", "Ctrl+H", application},
          {"显示全部便笺", "showAll", ""},
          {"退出 Quorrin", "quit", "Ctrl+Q"}}},
        {"文件",
         {{"新建便笺", "newNote", "Ctrl+N"},
          {"从剪贴板新建", "newFromClipboard", "Ctrl+Shift+N"},
          {"-"},
          {"导入 TXT / RTF / RTFD…", "importDocuments", "Ctrl+O"},
          {"导出当前便笺…", "exportCurrent", "Ctrl+E"},
          {"-"},
          {"完整备份…", "backup", ""},
          {"从备份恢复…", "restoreBackup", ""},
          {"最近删除…", "trash", ""},
          {"关闭便笺（有内容时保存）", "performClose:", "Ctrl+W", responder}}},
        {"编辑",
         {{"撤销", "undo:", "Ctrl+Z", responder},
          {"重做", "redo:", "Ctrl+Shift+Z", responder},
          {"剪切", "cut:", "Ctrl+X", responder},
          {"复制", "copy:", "Ctrl+C", responder},
          {"粘贴", "paste:", "Ctrl+V", responder},
          {"全选", "selectAll:", "Ctrl+A", responder},
          {"-"},
          {"撤销全局替换", "undoGlobal", ""},
          {"查找与替换当前便笺…", "performFindPanelAction:", "Ctrl+F", responder, 1},
          {"搜索全部便笺…", "searchAll", "Ctrl+Shift+F"}}},
        {"格式",
         {{"字体>"},
          {"下划线", "underline:", "", responder},
          {"删除线", "toggleStrikethrough:", "", responder},
          {"左对齐", "alignLeft:", "", responder},
          {"居中", "alignCenter:", "", responder},
          {"右对齐", "alignRight:", "", responder},
          {"超链接…", "orderFrontLinkPanel:", "", responder}}},
        {"内容块",
         {{"待办事项", "convertBlock:", "Ctrl+Shift+T", self, 0, "todo"},
          {"普通文本", "convertBlock:", "", self, 0, "paragraph"},
          {"H1 大标题", "convertBlock:", "", self, 0, "h1"},
          {"H2 标题", "convertBlock:", "", self, 0, "h2"},
          {"H3 小标题", "convertBlock:", "", self, 0, "h3"},
          {"-"},
          {"切换待办完成", "toggleCurrentTodo", ""},
          {"待办提醒…", "reminderCurrent", ""},
          {"展开／折叠备注", "toggleCurrentRemarks", ""},
          {"归档当前已完成待办", "archiveCurrent", ""},
          {"设置优先级>"},
          {"查看归档事项…", "archive", ""}}},
    };
    for (const auto& table : tables) {
        SCOPED_TRACE(table.menu.toStdString());
        expectTable(submenu(main, table.menu).items, table.rows);
    }

    const MenuItem& priority = submenu(submenu(main, "内容块").items, "设置优先级");
    EXPECT_TRUE(priority.submenuTitle.isEmpty());
    expectTable(priority.items, {{"紧急", "priorityCurrent:", "", self, 1},
                                 {"高", "priorityCurrent:", "", self, 2},
                                 {"中", "priorityCurrent:", "", self, 3},
                                 {"低", "priorityCurrent:", "", self, 4}});

    const MenuItem& font = submenu(submenu(main, "格式").items, "字体");
    expectTable(font.items, {{"显示字体", "orderFrontFontPanel:", "Ctrl+T", responder},
                             {"粗体", "addFontTrait:bold", "Ctrl+B", responder},
                             {"斜体", "addFontTrait:italic", "Ctrl+I", responder},
                             {"下划线", "underline:", "Ctrl+U", responder},
                             {"-"},
                             {"更大", "modifyFont:bigger", "Ctrl++", responder},
                             {"更小", "modifyFont:smaller", "Ctrl+-", responder},
                             {"-"},
                             {"显示颜色", "orderFrontColorPanel:", "Ctrl+Shift+C", responder}});

    const MenuItem& window = submenu(main, "窗口");
    ASSERT_EQ(window.items.size(), 3u);
    expectTable({window.items[0]}, {{"显示全部便笺", "showAll", ""}});
    EXPECT_EQ(window.items[2].kind, Kind::WindowList);
    const MenuItem& arrange = submenu(window.items, "整理便笺");
    EXPECT_TRUE(arrange.submenuTitle.isEmpty());
    expectTable(arrange.items, {{"恢复默认布局", "arrange:", "", self, 0},
                                {"按颜色", "arrange:", "", self, 1},
                                {"按内容", "arrange:", "", self, 2},
                                {"按创建日期", "arrange:", "", self, 3},
                                {"按屏幕位置", "arrange:", "", self, 4}});
}

TEST(MenuModel, NoTwoCommandsShareAShortcut)
{
    const std::vector<MenuItem> main = menumodel::mainMenu();
    std::map<QString, QString> owners;
    for (const MenuItem* item : menumodel::commands(main)) {
        if (item->shortcut.isEmpty())
            continue;
        const QString key = item->shortcut.toString();
        const auto [found, inserted] = owners.emplace(key, item->action);
        EXPECT_TRUE(inserted || found->second == item->action) << key.toStdString();
    }
}

TEST(MenuModel, StatusMenuHasTheEverydayCommandsThenCopiesWithoutEditAndFormat)
{
    const std::vector<MenuItem> main = menumodel::mainMenu();
    const std::vector<MenuItem> status = menumodel::statusMenu(main);
    expectTable(status, {{"新建便笺", "newNote", ""},
                         {"从剪贴板新建", "newFromClipboard", ""},
                         {"显示全部便笺", "showAll", ""},
                         {"搜索全部便笺…", "searchAll", ""},
                         {"归档事项…", "archive", ""},
                         {"最近删除…", "trash", ""},
                         {"设置…", "settings", ""},
                         {"-"},
                         {"Quorrin>"},
                         {"文件>"},
                         {"内容块>"},
                         {"窗口>"},
                         {"-"},
                         {"退出 Quorrin", "quit", ""}});
    // The copies keep every item as it is in the main menu.
    for (const char* title : {"Quorrin", "文件", "内容块", "窗口"})
        EXPECT_EQ(submenu(status, title), submenu(main, title)) << title;

    const std::vector<MenuItem> text = menumodel::textContextMenu(main);
    ASSERT_EQ(text.size(), 2u);
    EXPECT_EQ(text[0].title, "编辑");
    EXPECT_EQ(text[1].title, "格式");
}

QStringList titlesOf(const QMenu& menu)
{
    QStringList titles;
    for (const QAction* action : menu.actions())
        titles << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return titles;
}

TEST(ApplicationMenus, BuildsTheMenusFromTheTablesAndDispatchesWithTheItem)
{
    ApplicationMenus menus;
    std::vector<std::pair<QString, int>> ran;
    QVariant represented;
    menus.handlers[menumodel::action::arrange] = [&](const MenuItem& item) {
        ran.emplace_back(item.action, item.tag);
    };
    menus.handlers[menumodel::action::convertBlock] = [&](const MenuItem& item) {
        represented = item.representedObject;
    };
    menus.build();

    ASSERT_EQ(menus.mainMenus().size(), 6u);
    EXPECT_EQ(menus.applicationMenu()->title(), "Quorrin");
    EXPECT_TRUE(menus.isPresentationMenu(menus.applicationMenu()));
    EXPECT_TRUE(menus.isPresentationMenu(menus.statusMenu()));
    EXPECT_FALSE(menus.isPresentationMenu(menus.mainMenu("文件")));
    EXPECT_FALSE(menus.isPresentationMenu(nullptr));

    EXPECT_EQ(titlesOf(*menus.statusMenu()),
              (QStringList{"新建便笺", "从剪贴板新建", "显示全部便笺", "搜索全部便笺…", "归档事项…", "最近删除…", "设置…",
                           "-", "Quorrin", "文件", "内容块", "窗口", "-", "退出 Quorrin"}));

    // The status menu's copy shares the main menu's actions: one shortcut each.
    QMenu* fileCopy = menus.statusMenu()->actions().at(9)->menu();
    ASSERT_TRUE(fileCopy);
    EXPECT_NE(fileCopy, menus.mainMenu("文件"));
    auto commandsOf = [](const QMenu& menu) {
        QList<QAction*> found = menu.actions();
        found.removeIf([](const QAction* action) { return action->isSeparator(); });
        return found;
    };
    EXPECT_EQ(commandsOf(*fileCopy), commandsOf(*menus.mainMenu("文件")));
    EXPECT_EQ(titlesOf(*fileCopy), titlesOf(*menus.mainMenu("文件")));

    // Shortcuts: every keyed command but the note window's own close key.
    QStringList keys;
    for (const QAction* action : menus.shortcutActions())
        keys << action->shortcut().toString();
    EXPECT_TRUE(keys.contains("Ctrl+Shift+T"));
    EXPECT_TRUE(keys.contains("Ctrl+F"));
    EXPECT_TRUE(keys.contains("Ctrl+Shift+F"));
    EXPECT_FALSE(keys.contains("Ctrl+W"));
    EXPECT_EQ(keys.size(), QSet<QString>(keys.begin(), keys.end()).size());

    menus.action(menumodel::action::arrange, 3)->trigger();
    EXPECT_EQ(ran, (std::vector<std::pair<QString, int>>{{"arrange:", 3}}));
    menus.action(menumodel::action::convertBlock)->trigger();
    EXPECT_EQ(represented, QVariant(QStringLiteral("todo")));
    // A command without a handler does nothing.
    menus.action(menumodel::action::findPanel, 1)->trigger();

    auto text = menus.makeTextContextMenu();
    EXPECT_EQ(titlesOf(*text), (QStringList{"编辑", "格式"}));
}

TEST(ApplicationMenus, UndoAndRedoNameTheStepAndAreDisabledWithoutOne)
{
    ApplicationMenus menus;
    menumodel::EditHistory history;
    menus.editHistory = [&] { return history; };
    menus.build();
    QAction* undo = menus.action(menumodel::action::undo);
    QAction* redo = menus.action(menumodel::action::redo);
    QMenu* edit = menus.makeTextContextMenu()->actions().front()->menu();

    Q_EMIT edit->aboutToShow();
    EXPECT_EQ(undo->text(), "撤销");
    EXPECT_FALSE(undo->isEnabled());
    history = {true, "转换内容块", true, ""}; // a typing step has no name
    Q_EMIT edit->aboutToShow();
    EXPECT_EQ(undo->text(), "撤销转换内容块");
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(redo->text(), "重做");
    // Closed, the shortcuts are the focused text's again.
    history = {};
    Q_EMIT edit->aboutToShow();
    Q_EMIT edit->aboutToHide();
    EXPECT_TRUE(undo->isEnabled());
}

TEST(ApplicationMenus, WindowMenuEndsWithTheOpenNotes)
{
    ApplicationMenus menus;
    int broughtForward = 0;
    std::vector<ApplicationMenus::WindowEntry> open{{"购物清单", false, [&] { ++broughtForward; }},
                                                    {"未命名便笺", true, [] {}}};
    menus.openWindows = [&] { return open; };
    menus.build();
    QMenu* window = menus.mainMenu("窗口");
    Q_EMIT window->aboutToShow();
    EXPECT_EQ(titlesOf(*window), (QStringList{"显示全部便笺", "整理便笺", "-", "购物清单", "未命名便笺"}));
    EXPECT_TRUE(window->actions().last()->isChecked());
    window->actions().at(3)->trigger();
    EXPECT_EQ(broughtForward, 1);

    // Listed afresh every time it opens.
    open.pop_back();
    Q_EMIT window->aboutToShow();
    EXPECT_EQ(titlesOf(*window), (QStringList{"显示全部便笺", "整理便笺", "-", "购物清单"}));
}

TEST(ApplicationMenus, PresentationMenusReportOpeningAndClosing)
{
    ApplicationMenus menus;
    QStringList seen;
    menus.presentationMenuWillOpen = [&] { seen << "open"; };
    menus.presentationMenuDidClose = [&] { seen << "close"; };
    menus.build();
    Q_EMIT menus.statusMenu()->aboutToShow();
    Q_EMIT menus.statusMenu()->aboutToHide();
    Q_EMIT menus.mainMenu("文件")->aboutToShow();
    Q_EMIT menus.applicationMenu()->aboutToShow();
    EXPECT_EQ(seen, (QStringList{"open", "close", "open"}));
}

} // namespace
} // namespace quorrin
