#include "Features/FileShelf/FileShelfWidgets.h"

#include "Features/FileShelf/FileDropOverlay.h"
#include "Features/FileShelf/FileShelfHosting.h"
#include "Features/FileShelf/FileShelfView.h"

namespace quorrin {

void installFileShelfWidgets(NoteWindowController& window)
{
    FileShelfHosting::Makers makers;
    makers.makeShelf = [](FileShelfModel& model, std::optional<QUuid> blockID, QWidget* parent) -> NoteFileShelf* {
        return new FileShelfView(&model, blockID, parent);
    };
    makers.makeOverlay = [](QWidget* parent) -> FileDropRouter* { return new FileDropOverlay(parent); };
    FileShelfHosting::install(window, makers);
}

} // namespace quorrin
