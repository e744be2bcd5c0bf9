#include "Editor/BlockMenu.h"

#include "Editor/BlockCommands.h"
#include "Editor/BlockEditor.h"

#include <QMenu>

namespace quorrin::blockmenu {

QMenu* build(BlockEditor& editor, const std::optional<Block>& block, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    for (const blockcommands::MenuItem& item : blockcommands::menuItems(block ? &*block : nullptr)) {
        if (item.isSeparator()) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(item.title);
        action->setData(item.argument);
        QObject::connect(action, &QAction::triggered, &editor, [&editor, action, kind = *item.action] {
            using blockcommands::MenuAction;
            switch (kind) {
            case MenuAction::EditReminder: editor.editReminder(); break;
            case MenuAction::Convert: editor.menuConvert(action->data()); break;
            case MenuAction::Insert: editor.menuInsert(action->data()); break;
            case MenuAction::Duplicate: editor.duplicateBlock(); break;
            case MenuAction::MoveUp: editor.moveBlockUp(); break;
            case MenuAction::MoveDown: editor.moveBlockDown(); break;
            case MenuAction::StopRepeating: editor.stopRepeating(); break;
            case MenuAction::Delete: editor.deleteBlock(); break;
            case MenuAction::OpenAttachment: editor.openAttachment(); break;
            case MenuAction::PreviewAttachment: editor.previewAttachment(); break;
            }
        });
    }
    return menu;
}

} // namespace quorrin::blockmenu
