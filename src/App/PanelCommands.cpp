#include "App/PanelCommands.h"

#include "App/NoteRegistry.h"
#include "Domain/AppError.h"
#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Editor/TextDocumentConversion.h"
#include "Features/Panels/LibraryModel.h"
#include "Features/Panels/LibraryView.h"
#include "Features/Panels/SearchView.h"
#include "Features/Panels/SettingsView.h"
#include "Persistence/NoteStore.h"
#include "Platform/DesktopOpener.h"
#include "Platform/DialogPlacement.h"
#include "Platform/FocusReturn.h"
#include "Core/Text/TextSearch.h"
#include "Widgets/FindIndicator.h"
#include "Widgets/PanelPlacement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace quorrin {

PanelCommands::PanelCommands(NoteStore& store, NoteRegistry& registry, PanelServices services, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_registry(registry)
    , m_services(std::move(services))
{
    if (!m_services.confirm) {
        m_services.confirm = [](const QString& message, const QString& informative, const QString& accept,
                                const QString& reject) {
            QMessageBox box(QMessageBox::Warning, QStringLiteral("Quorrin"), message);
            placeInFrontOfNotes(box, QApplication::activeWindow());
            box.setInformativeText(informative);
            QPushButton* first = box.addButton(accept, QMessageBox::AcceptRole);
            box.addButton(reject, QMessageBox::RejectRole);
            box.exec();
            return box.clickedButton() == first;
        };
    }
    if (!m_services.openFolder)
        m_services.openFolder = [&store = m_store](const QString& path) {
            openWithDesktop(QUrl::fromLocalFile(path), [&store](const QString& message) {
                store.reportError(std::make_exception_ptr(AppError(message)));
            });
        };
    if (!m_services.showAbout)
        m_services.showAbout = [](const QString& title, const QString& text) {
            QMessageBox box(QMessageBox::Information, title, text);
            placeInFrontOfNotes(box, QApplication::activeWindow());
            box.exec();
        };
}

PanelCommands::~PanelCommands() = default;

AuxiliaryController* PanelCommands::panel(const QString& title, QWidget* view, QSize size)
{
    auto window = std::make_unique<AuxiliaryWindow>();
    // In front of every note, floating or not, whenever it is worked in.
    placeInFrontOfNotes(*window, nullptr);
    window->setWindowTitle(titlePrefix + title);
    auto* layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    view->setParent(window.get());
    layout->addWidget(view);
    window->resize(size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size);
        frame.moveCenter(screen->availableGeometry().center());
        std::vector<QPointF> taken;
        for (const auto& open : m_panels) {
            if (open->window() && open->window()->isVisible())
                taken.push_back(open->window()->pos());
        }
        window->move(panelplacement::cascadedOrigin(frame, taken, screen->availableGeometry()).toPoint());
    }

    // Working in a panel lets notes that a presentation raised fall back to
    // their own level, so they no longer cover it.
    connect(window.get(), &AuxiliaryWindow::activated, this, [this] { m_registry.workspace().settleAll(); });
    // Closing it gives the keyboard back to the window it was opened from,
    // else to the most recently active note.
    if (QWidget* from = QApplication::activeWindow())
        FocusReturn::watch(*window, *from);
    else
        FocusReturn::watch(*window);
    auto* controller = new AuxiliaryController(std::move(window));
    m_panels.emplace_back(controller);
    // The controller goes once the close it reports has been handled.
    controller->onClose = [self = QPointer<PanelCommands>(this), controller] {
        if (!self)
            return;
        auto found = std::find_if(self->m_panels.begin(), self->m_panels.end(),
                                  [&](const auto& entry) { return entry.get() == controller; });
        if (found == self->m_panels.end())
            return;
        found->release()->deleteLater();
        self->m_panels.erase(found);
    };

    if (m_registry.trackingOwnMenu)
        m_registry.pendingMenuActivation = true;
    if (m_registry.activateApplication)
        m_registry.activateApplication(nullptr);
    controller->showWindow();
    if (m_registry.trackingOwnMenu) {
        // The menu takes the focus back when it closes: ask again after it.
        QTimer::singleShot(0, this, [this, window = QPointer<QWidget>(controller->window())] {
            if (!window || !window->isVisible())
                return;
            if (m_registry.activateApplication)
                m_registry.activateApplication(nullptr);
            window->raise();
            window->activateWindow();
        });
    }
    return controller;
}

std::vector<AuxiliaryController*> PanelCommands::panels() const
{
    std::vector<AuxiliaryController*> open;
    for (const auto& entry : m_panels)
        open.push_back(entry.get());
    return open;
}

void PanelCommands::settings()
{
    SettingsView::Services services;
    services.setFilePersistence = [this](bool enabled) { setFilePersistence(enabled); };
    services.confirm = m_services.confirm;
    services.openFolder = m_services.openFolder;
    panel(QStringLiteral("设置"), new SettingsView(m_store, std::move(services)), QSize(530, 520));
}

void PanelCommands::archive()
{
    library(false);
}

void PanelCommands::trash()
{
    library(true);
}

void PanelCommands::library(bool trash)
{
    auto* model = new LibraryModel(m_store);
    auto* view = new LibraryView(*model, trash, [this](const QUuid& noteID, std::optional<QUuid> blockID) {
        openLibraryItem(noteID, blockID);
    });
    model->setParent(view); // the model lives as long as the view that shows it
    panel(trash ? LibraryView::trashTitle : LibraryView::archiveTitle, view, QSize(520, 400));
}

void PanelCommands::searchAll()
{
    auto* model = new LibraryModel(m_store);
    auto* view = new SearchView(*model, [this](const QUuid& noteID, std::optional<QUuid> blockID, bool inRemarks,
                                               const QString& query, bool caseSensitive) {
        openSearchHit(noteID, blockID, inRemarks, query, caseSensitive);
    });
    view->bringForward = [this](const QUuid& noteID) { m_registry.open(noteID, std::nullopt, true); };
    model->setParent(view);
    panel(SearchView::placeholder, view, QSize(560, 450));
    view->queryField()->setFocus();
}

void PanelCommands::about()
{
    m_services.showAbout(QStringLiteral("关于 Quorrin"),
                         QStringLiteral("Quorrin\n版本 %1\n\n离线 · 原生 · 轻量\nC++20 / Qt 6 / SQLite / Poppler")
                             .arg(version));
}

void PanelCommands::setFilePersistence(bool enabled)
{
    // Throws when the store refuses; the settings view reports it. The note
    // windows read the setting from the store when they store their links.
    m_store.setFilePersistence(enabled);
}

void PanelCommands::openLibraryItem(const QUuid& noteID, std::optional<QUuid> blockID)
{
    m_registry.open(noteID, blockID, true);
}

void PanelCommands::openSearchHit(const QUuid& noteID, std::optional<QUuid> blockID, bool inRemarks,
                                  const QString& query, bool caseSensitive)
{
    if (inRemarks && blockID) {
        if (std::optional<Note> note = m_store.note(noteID)) {
            auto block = std::find_if(note->blocks.begin(), note->blocks.end(),
                                      [&](const Block& candidate) { return candidate.id == *blockID; });
            if (block != note->blocks.end() && block->todo) {
                block->todo->notesExpanded = true;
                m_store.update(*note, true, true);
            }
        }
    }
    m_registry.open(noteID, blockID, true);
    if (!blockID)
        return;
    RegisteredNoteWindow* window = m_registry.controller(noteID);
    BlockEditor* editor = window ? window->editor() : nullptr;
    if (!editor || !editor->document())
        return;
    editor->render(false); // unfolded remarks must be in the text before it is searched
    const std::vector<TextRun>& runs = editor->ranges();
    auto run = std::find_if(runs.begin(), runs.end(), [&](const TextRun& candidate) {
        return candidate.blockID == *blockID && candidate.isRemarks == inRemarks;
    });
    if (run == runs.end())
        return;
    const QString text = textdoc::plainText(*editor->document(), run->start, run->length);
    const std::optional<TextRange> found =
        findText(text, query, caseSensitive ? SearchCase::Sensitive : SearchCase::Insensitive);
    if (!found)
        return;
    BlockTextView* view = editor->textView();
    QTextCursor cursor(editor->document());
    cursor.setPosition(run->start + int(found->start));
    cursor.setPosition(run->start + int(found->end()), QTextCursor::KeepAnchor);
    view->setTextCursor(cursor);
    view->ensureCursorVisible();
    FindIndicator::show(*view, cursor);
}

} // namespace quorrin
