#include "App/MenuModel.h"

namespace quorrin::menumodel {

namespace {

MenuItem command(const QString& title, const QString& action, QKeySequence shortcut = {},
                 MenuTarget target = MenuTarget::Self)
{
    MenuItem item;
    item.title = title;
    item.action = action;
    item.shortcut = std::move(shortcut);
    item.target = target;
    return item;
}

MenuItem responder(const QString& title, const QString& action, QKeySequence shortcut = {})
{
    return command(title, action, std::move(shortcut), MenuTarget::FirstResponder);
}

MenuItem tagged(const QString& title, const QString& action, int tag)
{
    MenuItem item = command(title, action);
    item.tag = tag;
    return item;
}

MenuItem separator()
{
    MenuItem item;
    item.kind = MenuItem::Kind::Separator;
    return item;
}

MenuItem submenu(const QString& title, std::vector<MenuItem> items, QString submenuTitle)
{
    MenuItem item;
    item.kind = MenuItem::Kind::Submenu;
    item.title = title;
    item.submenuTitle = std::move(submenuTitle);
    item.items = std::move(items);
    return item;
}

// A top-level menu: its item carries the submenu's title.
MenuItem topLevel(const QString& title, std::vector<MenuItem> items)
{
    return submenu(title, std::move(items), title);
}

QKeySequence ctrl(Qt::Key key)
{
    return QKeySequence(Qt::CTRL | key);
}

QKeySequence ctrlShift(Qt::Key key)
{
    return QKeySequence(Qt::CTRL | Qt::SHIFT | key);
}

MenuItem conversion(const QString& title, const QString& kind, QKeySequence shortcut = {})
{
    MenuItem item = command(title, action::convertBlock, std::move(shortcut));
    item.representedObject = kind;
    return item;
}

std::vector<MenuItem> applicationMenu()
{
    return {
        command(QStringLiteral("关于 Quorrin"), action::about),
        command(QStringLiteral("设置…"), action::settings, ctrl(Qt::Key_Comma)),
        separator(),
        command(QStringLiteral("隐藏 Quorrin"), action::hide, ctrl(Qt::Key_H), MenuTarget::Application),
        command(QStringLiteral("显示全部便笺"), action::showAll),
        command(QStringLiteral("退出 Quorrin"), action::quit, ctrl(Qt::Key_Q)),
    };
}

std::vector<MenuItem> fileMenu()
{
    return {
        command(QStringLiteral("新建便笺"), action::newNote, ctrl(Qt::Key_N)),
        command(QStringLiteral("从剪贴板新建"), action::newFromClipboard, ctrlShift(Qt::Key_N)),
        separator(),
        command(QStringLiteral("导入 TXT / RTF / RTFD…"), action::importDocuments, ctrl(Qt::Key_O)),
        command(QStringLiteral("导出当前便笺…"), action::exportCurrent, ctrl(Qt::Key_E)),
        separator(),
        command(QStringLiteral("完整备份…"), action::backup),
        command(QStringLiteral("从备份恢复…"), action::restoreBackup),
        command(QStringLiteral("最近删除…"), action::trash),
        responder(QStringLiteral("关闭便笺（有内容时保存）"), action::performClose, ctrl(Qt::Key_W)),
    };
}

const QString undoWord = QStringLiteral("撤销");
const QString redoWord = QStringLiteral("重做");

std::vector<MenuItem> editMenu()
{
    MenuItem find = responder(QStringLiteral("查找与替换当前便笺…"), action::findPanel, ctrl(Qt::Key_F));
    find.tag = 1; // show the find interface
    return {
        responder(undoWord, action::undo, ctrl(Qt::Key_Z)),
        responder(redoWord, action::redo, ctrlShift(Qt::Key_Z)),
        responder(QStringLiteral("剪切"), action::cut, ctrl(Qt::Key_X)),
        responder(QStringLiteral("复制"), action::copy, ctrl(Qt::Key_C)),
        responder(QStringLiteral("粘贴"), action::paste, ctrl(Qt::Key_V)),
        responder(QStringLiteral("全选"), action::selectAll, ctrl(Qt::Key_A)),
        separator(),
        command(QStringLiteral("撤销全局替换"), action::undoGlobal),
        find,
        command(QStringLiteral("搜索全部便笺…"), action::searchAll, ctrlShift(Qt::Key_F)),
    };
}

// What the desktop's standard font menu offers, acting on the text that has
// the focus.
std::vector<MenuItem> fontMenu()
{
    return {
        responder(QStringLiteral("显示字体"), action::orderFrontFontPanel, ctrl(Qt::Key_T)),
        responder(QStringLiteral("粗体"), action::bold, ctrl(Qt::Key_B)),
        responder(QStringLiteral("斜体"), action::italic, ctrl(Qt::Key_I)),
        responder(QStringLiteral("下划线"), action::underline, ctrl(Qt::Key_U)),
        separator(),
        responder(QStringLiteral("更大"), action::bigger, ctrl(Qt::Key_Plus)),
        responder(QStringLiteral("更小"), action::smaller, ctrl(Qt::Key_Minus)),
        separator(),
        responder(QStringLiteral("显示颜色"), action::orderFrontColorPanel, ctrlShift(Qt::Key_C)),
    };
}

std::vector<MenuItem> formatMenu()
{
    return {
        submenu(fontMenuTitle, fontMenu(), fontMenuTitle),
        responder(QStringLiteral("下划线"), action::underline),
        responder(QStringLiteral("删除线"), action::strikethrough),
        responder(QStringLiteral("左对齐"), action::alignLeft),
        responder(QStringLiteral("居中"), action::alignCenter),
        responder(QStringLiteral("右对齐"), action::alignRight),
        responder(QStringLiteral("超链接…"), action::linkPanel),
    };
}

std::vector<MenuItem> blockMenu()
{
    return {
        conversion(QStringLiteral("待办事项"), QStringLiteral("todo"), ctrlShift(Qt::Key_T)),
        conversion(QStringLiteral("普通文本"), QStringLiteral("paragraph")),
        conversion(QStringLiteral("H1 大标题"), QStringLiteral("h1")),
        conversion(QStringLiteral("H2 标题"), QStringLiteral("h2")),
        conversion(QStringLiteral("H3 小标题"), QStringLiteral("h3")),
        separator(),
        command(QStringLiteral("切换待办完成"), action::toggleCurrentTodo),
        command(QStringLiteral("待办提醒…"), action::reminderCurrent),
        command(QStringLiteral("展开／折叠备注"), action::toggleCurrentRemarks),
        command(QStringLiteral("归档当前已完成待办"), action::archiveCurrent),
        submenu(QStringLiteral("设置优先级"),
                {
                    tagged(QStringLiteral("紧急"), action::priorityCurrent, 1),
                    tagged(QStringLiteral("高"), action::priorityCurrent, 2),
                    tagged(QStringLiteral("中"), action::priorityCurrent, 3),
                    tagged(QStringLiteral("低"), action::priorityCurrent, 4),
                },
                QString()),
        command(QStringLiteral("查看归档事项…"), action::archive),
    };
}

std::vector<MenuItem> windowMenu()
{
    MenuItem windows;
    windows.kind = MenuItem::Kind::WindowList;
    return {
        command(QStringLiteral("显示全部便笺"), action::showAll),
        submenu(arrangeMenuTitle,
                {
                    tagged(QStringLiteral("恢复默认布局"), action::arrange, 0),
                    tagged(QStringLiteral("按颜色"), action::arrange, 1),
                    tagged(QStringLiteral("按内容"), action::arrange, 2),
                    tagged(QStringLiteral("按创建日期"), action::arrange, 3),
                    tagged(QStringLiteral("按屏幕位置"), action::arrange, 4),
                },
                QString()),
        windows,
    };
}

void collectCommands(const std::vector<MenuItem>& items, std::vector<const MenuItem*>& found)
{
    for (const MenuItem& item : items) {
        if (item.kind == MenuItem::Kind::Command)
            found.push_back(&item);
        else if (item.kind == MenuItem::Kind::Submenu)
            collectCommands(item.items, found);
    }
}

} // namespace

std::vector<MenuItem> mainMenu()
{
    return {
        topLevel(applicationMenuTitle, applicationMenu()),
        topLevel(fileMenuTitle, fileMenu()),
        topLevel(editMenuTitle, editMenu()),
        topLevel(formatMenuTitle, formatMenu()),
        topLevel(blockMenuTitle, blockMenu()),
        topLevel(windowMenuTitle, windowMenu()),
    };
}

std::vector<MenuItem> statusMenu(const std::vector<MenuItem>& main)
{
    std::vector<MenuItem> items{
        command(QStringLiteral("新建便笺"), action::newNote),
        command(QStringLiteral("从剪贴板新建"), action::newFromClipboard),
        command(QStringLiteral("显示全部便笺"), action::showAll),
        command(QStringLiteral("搜索全部便笺…"), action::searchAll),
        command(QStringLiteral("归档事项…"), action::archive),
        command(QStringLiteral("最近删除…"), action::trash),
        command(QStringLiteral("设置…"), action::settings),
        separator(),
    };
    for (const MenuItem& item : main) {
        if (item.kind != MenuItem::Kind::Submenu || item.title == editMenuTitle || item.title == formatMenuTitle)
            continue;
        items.push_back(item);
    }
    items.push_back(separator());
    items.push_back(command(QStringLiteral("退出 Quorrin"), action::quit));
    return items;
}

std::vector<MenuItem> textContextMenu(const std::vector<MenuItem>& main)
{
    std::vector<MenuItem> items;
    for (const QString& title : {editMenuTitle, formatMenuTitle}) {
        if (const MenuItem* found = findSubmenu(main, title))
            items.push_back(*found);
    }
    return items;
}

const MenuItem* findSubmenu(const std::vector<MenuItem>& items, const QString& title)
{
    for (const MenuItem& item : items) {
        if (item.kind == MenuItem::Kind::Submenu && item.title == title)
            return &item;
    }
    return nullptr;
}

std::vector<const MenuItem*> commands(const std::vector<MenuItem>& items)
{
    std::vector<const MenuItem*> found;
    collectCommands(items, found);
    return found;
}

QString undoTitle(const QString& stepName)
{
    return undoWord + stepName;
}

QString redoTitle(const QString& stepName)
{
    return redoWord + stepName;
}

} // namespace quorrin::menumodel
