// The block editor's todo file shelves: which todos get one, the gap each
// leaves below its todo, and where each view stands over the text.
#include "Editor/BlockEditor.h"

#include "Editor/BlockTextView.h"

#include <QScrollBar>

#include <algorithm>

namespace quorrin {

QPointF BlockEditor::scrollOffset() const
{
    return QPointF(m_textView->horizontalScrollBar()->value(), m_textView->verticalScrollBar()->value());
}

double BlockEditor::ownShelfHeight(const QUuid& blockID, bool isTodo) const
{
    if (!isTodo || !fileShelfModel)
        return 0;
    return taskshelf::gap(fileShelfModel->fileCount(blockID), showsTaskDropTargets);
}

void BlockEditor::ownSyncFileShelves(bool reload)
{
    const Note* note = shownNote();
    if (!note || !fileShelfModel)
        return;
    TaskShelfSource* model = fileShelfModel;
    // Only todos get shelves: a note without one (a long import, say) is not
    // copied into display order to find none.
    const bool anyTodo = std::any_of(note->blocks.begin(), note->blocks.end(), [](const Block& block) {
        return block.kind == BlockKind::Todo && !block.isArchived();
    });
    const std::vector<QUuid> wanted = anyTodo
        ? taskshelf::wanted(note->displayBlocks(), [model](const QUuid& id) { return model->fileCount(id); },
                            showsTaskDropTargets)
        : std::vector<QUuid>{};

    bool changed = false; // a shelf made, reloaded or removed
    for (auto it = m_taskShelfViews.begin(); it != m_taskShelfViews.end();) {
        if (std::find(wanted.begin(), wanted.end(), it->first) == wanted.end() || !it->second) {
            delete it->second.data();
            it = m_taskShelfViews.erase(it);
            changed = true;
        } else {
            ++it;
        }
    }
    const std::weak_ptr<EditorStore> store = m_store;
    bool madeOrReloaded = false;
    for (const QUuid& id : wanted) {
        QPointer<TaskShelfView>& view = m_taskShelfViews[id];
        if (!view) {
            madeOrReloaded = true;
            view = model->makeShelfView(id, m_textView->viewport());
            if (!view) {
                m_taskShelfViews.erase(id);
                continue;
            }
            view->onError = [store](const AppError& error) {
                if (const auto alive = store.lock())
                    alive->report(error);
            };
            view->raise();
            view->show();
        }
        if (reload || view->showsDropTarget() != showsTaskDropTargets) {
            madeOrReloaded = true;
            view->setShowsDropTarget(showsTaskDropTargets);
            view->reload();
        }
    }
    // Making and reloading shelves may have saved the note's file links:
    // it is read again, never through a pointer from before.
    changed = changed || madeOrReloaded;
    if (const Note* laidOut = shownNote()) {
        // A render or a write-back lays the text out with the shelves' gaps
        // as they stand, and a gap is kept exactly for a todo with a shelf:
        // only a shelf made, reloaded or removed since may have changed one
        // (a note shown without any has nothing to lay out again), and then
        // after a write-back only paragraphs whose gap changed need layout.
        if (m_writingBack) {
            if (madeOrReloaded)
                applyWrittenLayout(*laidOut);
        } else if (changed) {
            applyParagraphLayout(*laidOut);
        }
    }
    layoutTaskShelves();
    updateGeometry();
}

void BlockEditor::layoutTaskShelves()
{
    const QPointF offset = scrollOffset();
    const double width = m_textView->viewport()->width();
    for (const auto& [id, view] : m_taskShelfViews) {
        if (!view)
            continue;
        const auto last = std::find_if(m_ranges.rbegin(), m_ranges.rend(),
                                       [&](const TextRun& run) { return run.blockID == id; });
        if (last == m_ranges.rend())
            continue;
        const int files = fileShelfModel ? fileShelfModel->fileCount(id) : 0;
        const QRectF frame = taskshelf::frame(rect(last->start, last->length), width,
                                              taskshelf::viewHeight(files, view->showsDropTarget()));
        view->setGeometry(frame.translated(-offset).toRect());
    }
}

} // namespace quorrin
