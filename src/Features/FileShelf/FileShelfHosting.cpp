#include "Features/FileShelf/FileShelfHosting.h"

#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Persistence/NoteStore.h"
#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"
#include "Platform/WindowLevel.h"
#include "Windows/DesktopWindowPolicy.h"
#include "Windows/NoteBackground.h"
#include "Windows/NoteWindowController.h"
#include "Windows/StickyPanel.h"

#include <QLayout>
#include <QScrollBar>

namespace quorrin {
namespace {

// The todo shelves as the editor asks for them, from the note's one model.
class ModelTaskShelves final : public TaskShelfSource {
public:
    ModelTaskShelves(FileShelfModel& model, std::function<TaskShelfView*(const QUuid&, QWidget*)> make,
                     QObject* parent)
        : TaskShelfSource(parent)
        , m_model(model)
        , m_make(std::move(make))
    {
    }

    int fileCount(const QUuid& blockID) const override { return int(m_model.files(blockID).size()); }
    TaskShelfView* makeShelfView(const QUuid& blockID, QWidget* parent) override
    {
        return m_make ? m_make(blockID, parent) : nullptr;
    }

private:
    FileShelfModel& m_model;
    std::function<TaskShelfView*(const QUuid&, QWidget*)> m_make;
};

QList<QUrl> fileUrls(const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    return urls;
}

} // namespace

FileShelfHosting* FileShelfHosting::install(NoteWindowController& window, const Makers& makers)
{
    return new FileShelfHosting(window, makers);
}

FileShelfHosting::FileShelfHosting(NoteWindowController& window, const Makers& makers)
    : QObject(&window)
    , m_window(&window)
    , m_makers(makers)
    , m_model(new FileShelfModel(this))
{
    NoteStore& store = window.store();
    const Note* note = store.findNote(window.noteID());
    m_model->configure(window.noteID(), store.preferences().keepsFileLinks(),
                       note && note->fileLinks ? *note->fileLinks : std::vector<PersistentFileLink>{});

    const QPointer<FileShelfHosting> self(this);
    m_model->onChange = [self] {
        if (!self)
            return;
        self->persistFileReferences();
        self->syncFilePresentation();
    };
    m_model->onWarning = [self](const AppError& error) {
        if (self)
            self->report(error);
    };

    FileDropRouter* overlay = m_makers.makeOverlay ? m_makers.makeOverlay(window.background()) : nullptr;
    window.installFileShelves(nullptr, overlay);
    if (overlay)
        wireOverlay(*overlay);
    buildNoteShelfOnNeed();

    BlockEditor* editor = window.editor();
    m_taskShelves = new ModelTaskShelves(
        *m_model,
        [self](const QUuid& blockID, QWidget* parent) -> TaskShelfView* {
            if (!self || !self->m_makers.makeShelf || !self->m_window)
                return nullptr;
            NoteFileShelf* view = self->m_makers.makeShelf(*self->m_model, blockID, parent);
            if (view)
                view->dropRouter = self->m_window->fileDrop;
            return view;
        },
        this);
    editor->fileShelfModel = m_taskShelves;
    editor->stageFiles = [self](const QStringList& paths) {
        if (!self)
            return false;
        try {
            self->m_model->stage(fileUrls(paths), std::nullopt);
            return true;
        } catch (const AppError& error) {
            self->report(error);
            return false;
        }
    };
    window.syncFilePresentation = [self] {
        if (!self)
            return;
        self->followPersistenceSetting();
        self->syncFilePresentation();
    };
    window.persistFileReferences = [self] {
        if (self)
            self->persistFileReferences();
    };
    window.holdsStagedFiles = [self] { return self && !self->m_model->items().empty(); };
}

void FileShelfHosting::buildNoteShelfOnNeed()
{
    // Most notes never hold files of their own: their shelf (a scroll area
    // per window) is built with the first one.
    if (!m_window || m_window->fileShelf || !m_makers.makeShelf || m_model->files(std::nullopt).empty())
        return;
    NoteFileShelf* shelf = m_makers.makeShelf(*m_model, std::nullopt, nullptr);
    if (!shelf)
        return;
    const QPointer<FileShelfHosting> self(this);
    shelf->onHeightChange = [self](double) {
        if (self && self->m_window)
            self->m_window->updateShelfHeight();
    };
    shelf->onError = [self](const AppError& error) {
        if (self)
            self->report(error);
    };
    m_window->installNoteShelf(shelf);
}

void FileShelfHosting::wireOverlay(FileDropRouter& overlay)
{
    const QPointer<FileShelfHosting> self(this);
    overlay.paperColor = [self] {
        const Note* note = self ? self->displayedNote() : nullptr;
        const QWidget* surface = self && self->m_window ? self->m_window->background() : nullptr;
        const Appearance appearance = surface ? SystemAppearance::of(surface->palette()) : Appearance::Light;
        return toQColor(noteColor::color(note ? note->color : NoteColor::Cream), appearance);
    };
    overlay.hasTasks = [self] { return self && self->hasTasks(); };
    overlay.onBegin = [self] {
        if (self)
            self->beginFileDrag();
    };
    overlay.onTaskTargets = [self](bool shows) {
        if (self)
            self->showTaskTargets(shows);
    };
    overlay.taskRects = [self] { return self ? self->taskDropRects() : std::map<QUuid, QRectF>{}; };
    overlay.onScroll = [self](QPointF point) {
        if (self)
            self->scrollDuringFileDrag(point);
    };
    overlay.onDrop = [self](const QList<QUrl>& urls, std::optional<QUuid> blockID) {
        return self && self->drop(urls, blockID);
    };
}

const Note* FileShelfHosting::displayedNote() const
{
    if (!m_window)
        return nullptr;
    if (const std::optional<Note>& preview = m_window->editor()->dragPreviewNote)
        return &*preview;
    return m_window->store().findNote(m_window->noteID());
}

namespace {

// Whether the note shows `block`: the shown blocks are the note's blocks
// that are not archived, in an order that does not matter here.
bool shows(const Block& block)
{
    return !block.isArchived();
}

} // namespace

void FileShelfHosting::report(const AppError& error) const
{
    if (m_window)
        m_window->store().reportError(std::make_exception_ptr(error));
}

void FileShelfHosting::followPersistenceSetting()
{
    // The settings switch changes every note at once; each open window then
    // turns its own staged files into lasting links or into files of this run.
    if (m_window && m_model->persistence() != m_window->store().preferences().keepsFileLinks())
        m_model->setPersistence(m_window->store().preferences().keepsFileLinks());
}

void FileShelfHosting::persistFileReferences()
{
    if (!m_window)
        return;
    NoteStore& store = m_window->store();
    const bool keeps = store.preferences().keepsFileLinks();
    const std::vector<PersistentFileLink> records = keeps ? m_model->records() : std::vector<PersistentFileLink>{};
    const Note* stored = store.findNote(m_window->noteID());
    if (!stored || stored->fileLinks.value_or(std::vector<PersistentFileLink>{}) == records)
        return;
    std::optional<Note> note = *stored; // copied only to be changed
    if (!keeps)
        note->removeFileLinks(); // links no longer kept: a note of nothing else keeps their names
    else if (records.empty())
        note->fileLinks.reset(); // the user removed them
    else
        note->fileLinks = records;
    try {
        store.update(*note, true, false);
    } catch (...) {
        store.reportError(std::current_exception());
    }
}

void FileShelfHosting::syncFilePresentation()
{
    if (!m_window)
        return;
    QSet<QUuid> taskIDs;
    if (const Note* note = displayedNote()) {
        for (const Block& block : note->blocks) {
            if (shows(block) && block.kind == BlockKind::Todo)
                taskIDs.insert(block.id);
        }
    }
    m_model->reconcile(taskIDs);
    buildNoteShelfOnNeed();
    NoteFileShelf* shelf = m_window->fileShelf;
    if (shelf)
        shelf->reload();
    BlockEditor* editor = m_window->editor();
    if (editor->syncFileShelves)
        editor->syncFileShelves(true);
    m_window->updateShelfHeight();
    if (shelf) {
        const std::optional<Note> stored = m_window->store().note(m_window->noteID());
        shelf->setVisible(shelf->wantedHeight() > 0 && !(stored && stored->isCollapsed));
    }
}

bool FileShelfHosting::hasTasks() const
{
    const Note* note = displayedNote();
    if (!note)
        return false;
    return std::any_of(note->blocks.begin(), note->blocks.end(),
                       [](const Block& block) { return shows(block) && block.kind == BlockKind::Todo; });
}

std::map<QUuid, QRectF> FileShelfHosting::taskDropRects() const
{
    std::map<QUuid, QRectF> rects;
    if (!m_window || !m_window->fileDrop)
        return rects;
    FileDropRouter* overlay = m_window->fileDrop;
    QWidget* clip = m_window->editor()->textView()->viewport();
    const QRectF visible =
        QRectF(QRect(overlay->mapFromGlobal(clip->mapToGlobal(QPoint(0, 0))), clip->size())).intersected(overlay->rect());
    for (const auto& [id, view] : m_window->editor()->taskShelfViews()) {
        if (!view)
            continue;
        const QRectF shelf(QRect(overlay->mapFromGlobal(view->mapToGlobal(QPoint(0, 0))), view->size()));
        const QRectF kept = shelf.intersected(visible);
        if (!kept.isEmpty() && kept.height() > 4)
            rects.emplace(id, kept);
    }
    return rects;
}

void FileShelfHosting::scrollDuringFileDrag(QPointF point)
{
    if (!m_window || !m_window->fileDrop)
        return;
    BlockTextView* text = m_window->editor()->textView();
    const double y = text->viewport()->mapFromGlobal(m_window->fileDrop->mapToGlobal(point)).y();
    constexpr double edge = 28;
    constexpr int step = 9;
    int offset = 0;
    if (y < edge)
        offset = -step;
    else if (y > text->viewport()->height() - edge)
        offset = step;
    if (offset == 0)
        return;
    QScrollBar* bar = text->verticalScrollBar();
    bar->setValue(std::clamp(bar->value() + offset, 0, bar->maximum()));
}

void FileShelfHosting::beginFileDrag()
{
    if (!m_window)
        return;
    BlockEditor* editor = m_window->editor();
    if (editor->closeBlockMenu)
        editor->closeBlockMenu();
    const std::optional<Note> note = m_window->store().note(m_window->noteID());
    if (note && note->isCollapsed)
        editor->change(QStringLiteral("展开便笺"), [](Note& changed) { changed.isCollapsed = false; });
    if (NoteWindowHost* workspace = m_window->workspace()) {
        workspace->presentAll(std::nullopt, false, false);
    } else {
        m_window->temporarilyRaised = true;
        WindowLevelAdapter::apply(*m_window->panel(), DesktopWindowPolicy::noteLevel(true));
    }
    if (QLayout* layout = m_window->background()->layout())
        layout->activate();
}

void FileShelfHosting::showTaskTargets(bool shows)
{
    if (!m_window)
        return;
    BlockEditor* editor = m_window->editor();
    if (editor->showsTaskDropTargets != shows) {
        editor->showsTaskDropTargets = shows;
        if (editor->syncFileShelves)
            editor->syncFileShelves(true);
    }
    if (QLayout* layout = m_window->background()->layout())
        layout->activate();
}

bool FileShelfHosting::drop(const QList<QUrl>& urls, std::optional<QUuid> blockID)
{
    if (blockID) {
        const Note* note = displayedNote();
        if (!note)
            return false;
        if (std::none_of(note->blocks.begin(), note->blocks.end(), [&](const Block& block) {
                return shows(block) && block.id == *blockID && block.kind == BlockKind::Todo;
            }))
            return false;
    }
    try {
        m_model->stage(urls, blockID);
    } catch (const AppError& error) {
        report(error);
        return false;
    }
    return true;
}

} // namespace quorrin
