#include "Features/FileShelf/FileShelfModel.h"

#include "Core/Files/FileBookmark.h"
#include "Core/Files/FileSystemError.h"
#include "Features/FileShelf/FileCopy.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace quorrin {
namespace {

QByteArray makeFileBookmark(const QUrl& url)
{
    try {
        return filebookmark::make(url.toLocalFile());
    } catch (const FileSystemError& error) {
        throw AppError(error.message());
    }
}

FileShelfModel::Resolved resolveFileBookmark(const QByteArray& bookmark)
{
    const std::optional<filebookmark::Resolution> found = filebookmark::resolve(bookmark);
    if (!found)
        throw AppError(QStringLiteral("无法找到关联的文件。"));
    return {QUrl::fromLocalFile(found->path), found->stale};
}

bool exists(const QUrl& url)
{
    return url.isLocalFile() && QFileInfo::exists(url.toLocalFile());
}

QUrl standardized(const QUrl& url)
{
    return url.adjusted(QUrl::NormalizePathSegments | QUrl::StripTrailingSlash);
}

} // namespace

FileShelfModel::FileShelfModel(QObject* parent)
    : QObject(parent)
    , makeBookmark(makeFileBookmark)
    , resolveBookmark(resolveFileBookmark)
{
}

void FileShelfModel::configure(const QUuid& noteID, bool enabled, const std::vector<PersistentFileLink>& records)
{
    m_noteID = noteID;
    m_persistence = enabled;
    if (!enabled)
        return;
    std::vector<StagedFile> items;
    items.reserve(records.size());
    for (const PersistentFileLink& stored : records) {
        StagedFile entry;
        entry.id = stored.id;
        entry.blockID = stored.blockID;
        entry.record = stored;
        try {
            const Resolved found = resolveBookmark(stored.bookmark);
            entry.url = found.url;
            entry.scope = std::make_shared<FileAccessScope>(found.url);
            if (found.stale) {
                try {
                    entry.record->bookmark = makeBookmark(found.url);
                } catch (const AppError&) {
                    // The old link still finds the file; it is kept as it was.
                }
            }
        } catch (const AppError&) {
            entry.url = QUrl::fromLocalFile(QStringLiteral("/"));
            entry.unresolved = true;
        }
        items.push_back(std::move(entry));
    }
    m_items = std::move(items);
}

std::vector<PersistentFileLink> FileShelfModel::records() const
{
    std::vector<PersistentFileLink> result;
    if (!m_persistence)
        return result;
    for (const StagedFile& entry : m_items) {
        if (entry.record)
            result.push_back(*entry.record);
    }
    return result;
}

std::vector<StagedFile> FileShelfModel::files(const std::optional<QUuid>& blockID) const
{
    std::vector<StagedFile> result;
    std::copy_if(m_items.begin(), m_items.end(), std::back_inserter(result),
                 [&](const StagedFile& entry) { return entry.blockID == blockID; });
    return result;
}

void FileShelfModel::stage(const QList<QUrl>& urls, const std::optional<QUuid>& blockID)
{
    std::vector<std::pair<QUrl, std::shared_ptr<FileAccessScope>>> checked;
    for (const QUrl& url : urls) {
        auto scope = std::make_shared<FileAccessScope>(url);
        const QUrl file = standardized(url);
        if (!exists(file))
            throw AppError(QStringLiteral("无法暂存：原文件不存在或不可访问。"));
        checked.emplace_back(file, std::move(scope));
    }
    for (auto& [url, scope] : checked) {
        const auto found = std::find_if(m_items.begin(), m_items.end(), [&](const StagedFile& entry) {
            return !entry.unresolved && entry.url == url;
        });
        if (found != m_items.end()) {
            // A file lives on one shelf of a note: staging it again moves it.
            found->blockID = blockID;
            if (found->record)
                found->record->blockID = blockID;
            else
                saveBookmark(size_t(found - m_items.begin()));
            continue;
        }
        StagedFile entry;
        entry.id = QUuid::createUuid();
        entry.url = url;
        entry.blockID = blockID;
        entry.scope = scope;
        m_items.push_back(std::move(entry));
        saveBookmark(m_items.size() - 1);
    }
    changed();
}

void FileShelfModel::saveBookmark(size_t index)
{
    if (!m_persistence || !m_noteID || index >= m_items.size() || m_items[index].unresolved)
        return;
    StagedFile& entry = m_items[index];
    try {
        const QByteArray bookmark = makeBookmark(entry.url);
        entry.record = PersistentFileLink{.id = entry.id,
                                          .noteID = *m_noteID,
                                          .blockID = entry.blockID,
                                          .displayName = entry.url.fileName(),
                                          .bookmark = bookmark};
    } catch (const AppError&) {
        if (onWarning)
            onWarning(AppError(QStringLiteral("无法保存“%1”的持久授权，本次仍可使用。请通过重新定位授权。")
                                   .arg(entry.displayName())));
    }
}

void FileShelfModel::setPersistence(bool enabled)
{
    m_persistence = enabled;
    for (size_t index = 0; index < m_items.size(); ++index) {
        if (enabled) {
            saveBookmark(index);
        } else {
            StagedFile& entry = m_items[index];
            entry.sessionName = entry.displayName();
            entry.record.reset();
        }
    }
    changed();
}

void FileShelfModel::relocate(const QUuid& id, const QUrl& url)
{
    const auto found =
        std::find_if(m_items.begin(), m_items.end(), [&](const StagedFile& entry) { return entry.id == id; });
    if (found == m_items.end())
        return;
    auto scope = std::make_shared<FileAccessScope>(url);
    if (!exists(url))
        throw AppError(QStringLiteral("所选文件暂时无法访问。"));
    const QUrl wanted = standardized(url);
    for (const StagedFile& other : m_items) {
        if (other.id != id && !other.unresolved && standardized(other.url) == wanted)
            throw AppError(QStringLiteral("此文件已在当前便笺中，请先移除重复关联。"));
    }
    found->url = url;
    found->scope = std::move(scope);
    found->unresolved = false;
    found->record.reset();
    saveBookmark(size_t(found - m_items.begin()));
    changed();
}

QUrl FileShelfModel::copy(const QUuid& id, const QUrl& folder)
{
    const auto found =
        std::find_if(m_items.begin(), m_items.end(), [&](const StagedFile& entry) { return entry.id == id; });
    if (found == m_items.end() || !found->available())
        throw AppError(QStringLiteral("原文件暂时无法访问，请重新定位。"));
    const StagedFile entry = *found;
    const FileAccessScope folderScope(folder);
    const QFileInfo target(folder.toLocalFile());
    if (!folder.isLocalFile() || !target.isDir())
        throw AppError(QStringLiteral("请选择有效的目标文件夹。"));

    const QString source = QFileInfo(entry.path()).canonicalFilePath();
    const QString destinationFolder = target.canonicalFilePath();
    const QString name = filecopy::copyName(entry.displayName(), entry.url.fileName());
    if (QDir(destinationFolder).filePath(name) == source)
        throw AppError(QStringLiteral("文件已在这个文件夹中。"));
    if (QFileInfo(source).isDir() && filecopy::isSameOrInside(destinationFolder, source))
        throw AppError(QStringLiteral("不能把文件夹复制到它自身或它的子文件夹中。"));
    try {
        return QUrl::fromLocalFile(filecopy::copyInto(source, destinationFolder, name));
    } catch (const FileSystemError& error) {
        throw AppError(error.message());
    }
}

void FileShelfModel::removeReference(const QUuid& id)
{
    std::erase_if(m_items, [&](const StagedFile& entry) { return entry.id == id; });
    changed();
}

void FileShelfModel::reconcile(const QSet<QUuid>& taskIDs)
{
    bool moved = false;
    for (StagedFile& entry : m_items) {
        if (entry.blockID && !taskIDs.contains(*entry.blockID)) {
            entry.blockID.reset();
            if (entry.record)
                entry.record->blockID.reset();
            moved = true;
        }
    }
    if (moved)
        changed();
}

void FileShelfModel::changed()
{
    if (onChange)
        onChange();
}

} // namespace quorrin
