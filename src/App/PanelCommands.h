#pragma once

#include "Features/Panels/AuxiliaryController.h"

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace quorrin {

class NoteRegistry;
class NoteStore;

// What the panels take from their surroundings; tests replace each part.
struct PanelServices {
    // Asks the user (message, informative text, confirming and cancelling
    // button); a message box when not given.
    std::function<bool(const QString&, const QString&, const QString&, const QString&)> confirm;
    // Opens a folder in the file manager; the desktop's when not given.
    std::function<void(const QString& path)> openFolder;
    // Shows the about panel (title, text); a message box when not given.
    std::function<void(const QString& title, const QString& text)> showAbout;
};

// The auxiliary panels of the application (settings, archive, recently
// deleted, search, about) and the commands that open them. Each command opens
// a new window in front; a panel leaves the list when its window closes.
class PanelCommands final : public QObject {
    Q_OBJECT
public:
    inline static const QString titlePrefix = QStringLiteral("Quorrin — ");
    inline static const QString version = QStringLiteral("0.7.3");

    // The store and the registry must outlive the panels.
    PanelCommands(NoteStore& store, NoteRegistry& registry, PanelServices services = {}, QObject* parent = nullptr);
    ~PanelCommands() override;

    void settings();
    void archive();
    void trash();
    void searchAll();
    void about();
    void library(bool trash);

    // Hosts a view in a new panel window of that content size, titled
    // "Quorrin — " + title, kept above other windows when floating.
    AuxiliaryController* panel(const QString& title, QWidget* view, QSize size);
    std::vector<AuxiliaryController*> panels() const;

    // The callbacks the panels are given.
    void setFilePersistence(bool enabled);
    void openLibraryItem(const QUuid& noteID, std::optional<QUuid> blockID);
    void openSearchHit(const QUuid& noteID, std::optional<QUuid> blockID, bool inRemarks, const QString& query,
                       bool caseSensitive);

private:
    NoteStore& m_store;
    NoteRegistry& m_registry;
    PanelServices m_services;
    std::vector<std::unique_ptr<AuxiliaryController>> m_panels;
};

} // namespace quorrin
