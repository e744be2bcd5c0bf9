#pragma once

#include "Domain/AppError.h"
#include "Domain/FileLink.h"
#include "Features/FileShelf/StagedFile.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>
#include <QUrl>
#include <QUuid>

#include <functional>
#include <optional>
#include <vector>

namespace quorrin {



// Every file staged on the shelves of one note: the note's own shelf holds
// the entries without a block id, each todo's shelf those with its id. The
// note window owns one model, stores its records in the note and lays the
// shelves out again after each change.
//
// Files are never copied into the note and never changed: removing a link
// leaves the file alone, and a copy never replaces anything.
class FileShelfModel : public QObject {
    Q_OBJECT
public:
    explicit FileShelfModel(QObject* parent = nullptr);

    // All entries, in staging order.
    const std::vector<StagedFile>& items() const { return m_items; }

    // Told after every change to persist and redraw.
    std::function<void()> onChange;
    // Told when a lasting link could not be made (the file stays for this run).
    std::function<void(const AppError&)> onWarning;

    std::optional<QUuid> noteID() const { return m_noteID; }
    bool persistence() const { return m_persistence; }

    // Makes the lasting link of a file; throws AppError. Replaceable so tests
    // can make it fail; the program keeps the default.
    std::function<QByteArray(const QUrl&)> makeBookmark;
    // Finds the file of a link again and says whether it is stale; throws
    // AppError when it finds nothing.
    struct Resolved {
        QUrl url;
        bool stale = false;
    };
    std::function<Resolved(const QByteArray&)> resolveBookmark;

    // Adopts the note and the persistence setting; with persistence on,
    // rebuilds the entries from the stored records. Tells nobody.
    void configure(const QUuid& noteID, bool enabled, const std::vector<PersistentFileLink>& records);
    // What the note stores as its file links: none while links do not persist.
    std::vector<PersistentFileLink> records() const;
    // The entries of one shelf (no block id: the note's own), in order.
    std::vector<StagedFile> files(const std::optional<QUuid>& blockID) const;
    // Stages files on a shelf, all or none; a file already staged in this
    // note moves to that shelf. Throws AppError when one is missing.
    void stage(const QList<QUrl>& urls, const std::optional<QUuid>& blockID);
    // Switches lasting links on or off for every entry.
    void setPersistence(bool enabled);
    // Points an entry at another file or folder; throws AppError.
    void relocate(const QUuid& id, const QUrl& url);
    // Copies an entry's file or folder into a folder under a free name, never
    // replacing anything; answers the copy's URL. Throws AppError.
    QUrl copy(const QUuid& id, const QUrl& folder);
    // Drops an entry; the file stays where it is.
    void removeReference(const QUuid& id);
    // Sends the entries of todos that are no longer shown to the note's shelf.
    void reconcile(const QSet<QUuid>& taskIDs);

private:
    void saveBookmark(size_t index);
    void changed();

    std::vector<StagedFile> m_items;
    std::optional<QUuid> m_noteID;
    bool m_persistence = false;
};

} // namespace quorrin
