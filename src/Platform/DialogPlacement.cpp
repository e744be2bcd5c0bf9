#include "Platform/DialogPlacement.h"

#include "Platform/WindowLevel.h"

#include <QWidget>

namespace quorrin {

void placeInFrontOfNotes(QWidget& dialog, QWidget* concernedWindow)
{
    if (concernedWindow && concernedWindow->window() != dialog.parentWidget())
        dialog.setParent(concernedWindow->window(), dialog.windowFlags() | Qt::Dialog);
    WindowLevelAdapter::apply(dialog, windowLevel::modalPanel);
}

} // namespace quorrin
