#pragma once

#include "Domain/FileLink.h"
#include "Features/FileShelf/FileAccessScope.h"

#include <QString>
#include <QUrl>
#include <QUuid>

#include <memory>
#include <optional>

namespace quorrin {

// One file staged on a shelf of a note: on the note's own shelf (no block id)
// or on one todo's shelf. The file stays where it is; the entry only points
// at it, for this run or, with its record, across runs.
struct StagedFile {
    QUuid id; // the record's id when there is one
    // Where the file is; the file URL of "/" for a link that could not be
    // resolved in this run.
    QUrl url;
    std::optional<QUuid> blockID;
    std::optional<PersistentFileLink> record; // absent: linked for this run only
    std::shared_ptr<FileAccessScope> scope;   // absent for an unresolved entry
    bool unresolved = false;                  // the stored link found no file
    std::optional<QString> sessionName;       // the name kept when links stopped persisting

    // Not unresolved, and a readable file or folder is at the URL's path.
    bool available() const;
    // "仅本次运行", "已保存关联 · 原文件未包含在备份中" or
    // "暂时无法访问 · 请连接磁盘或重新定位".
    QString status() const;
    // The record's name, else the session name, else the URL's last path component.
    QString displayName() const;
    QString path() const { return url.toLocalFile(); }
};

} // namespace quorrin
