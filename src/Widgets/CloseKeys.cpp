#include "Widgets/CloseKeys.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace quorrin {

void closeOnKeys(QWidget& window)
{
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto* shortcut = new QShortcut(key, &window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, &window, &QWidget::close);
    }
}

} // namespace quorrin
