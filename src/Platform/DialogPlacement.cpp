#include "Platform/DialogPlacement.h"

#include "Platform/FocusReturn.h"
#include "Platform/WindowLevel.h"

#include <QWidget>

namespace quorrin {

void placeInFrontOfNotes(QWidget& dialog, QWidget* concernedWindow)
{
    if (concernedWindow && concernedWindow->window() != dialog.parentWidget())
        dialog.setParent(concernedWindow->window(), dialog.windowFlags() | Qt::Dialog);
    WindowLevelAdapter::apply(dialog, windowLevel::modalPanel);
    // The window manager hands the focus of a closed dialog to any window:
    // the window it concerns gets it back.
    if (concernedWindow)
        FocusReturn::watch(dialog, *concernedWindow->window());
}

} // namespace quorrin
