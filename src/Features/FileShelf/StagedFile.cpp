#include "Features/FileShelf/StagedFile.h"

#include <QFileInfo>

namespace quorrin {

FileAccessScope::FileAccessScope(QUrl url)
    : m_url(std::move(url))
    , m_accessed(m_url.isLocalFile())
{
}

// Nothing to give back: access follows the file's own permissions.
FileAccessScope::~FileAccessScope() = default;

bool StagedFile::available() const
{
    if (unresolved)
        return false;
    const QFileInfo info(path());
    return info.exists() && info.isReadable();
}

QString StagedFile::status() const
{
    if (!available())
        return QStringLiteral("暂时无法访问 · 请连接磁盘或重新定位");
    return record ? QStringLiteral("已保存关联 · 原文件未包含在备份中") : QStringLiteral("仅本次运行");
}

QString StagedFile::displayName() const
{
    if (record)
        return record->displayName;
    if (sessionName)
        return *sessionName;
    return url.fileName();
}

} // namespace quorrin
