#include "Windows/NoteWindowController.h"

#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Persistence/NoteStore.h"
#include "Windows/NoteBackground.h"
#include "Windows/NoteHeader.h"
#include "Windows/NoteWindowMetrics.h"

#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace quorrin {

void NoteWindowController::installFileShelves(NoteFileShelf* shelf, FileDropRouter* overlay)
{
    fileDrop = overlay;
    installNoteShelf(shelf);
    m_background->dropRouter = overlay;
    m_header->dropRouter = overlay;
    m_editor->textView()->dropRouter = overlay;
    if (overlay) {
        overlay->setParent(m_background);
        layoutFileDrop();
    }
}

void NoteWindowController::installNoteShelf(NoteFileShelf* shelf)
{
    fileShelf = shelf;
    if (!shelf)
        return;
    if (auto* content = qobject_cast<QVBoxLayout*>(m_background->layout()))
        content->addWidget(shelf);
    shelf->setFixedHeight(0);
    shelf->hide();
    m_shelfHeight = 0;
    shelf->dropRouter = fileDrop;
}

void NoteWindowController::layoutFileDrop()
{
    if (!fileDrop || fileDrop->parentWidget() != m_background)
        return;
    // Over everything below the transparent strip that holds the close button.
    const int top = int(notewindow::titleBarHeight);
    fileDrop->setGeometry(0, top, m_background->width(), std::max(m_background->height() - top, 0));
    fileDrop->raise();
}

void NoteWindowController::updateShelfHeight()
{
    if (!m_shelfHeight || !fileShelf)
        return;
    const std::optional<Note> note = m_store.note(m_noteID);
    double height = 0;
    if (!(note && note->isCollapsed))
        height = std::min(fileShelf->wantedHeight(), std::max(double(m_background->height()) - 80, 0.0));
    m_shelfHeight = height;
    fileShelf->setFixedHeight(int(std::lround(height)));
}

} // namespace quorrin
