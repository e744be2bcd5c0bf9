#pragma once

#include <QUrl>

namespace quorrin {

// The permission to read a staged file, held for as long as an entry of the
// shelf needs it; shared by every copy of that entry. Linux grants access by
// the file's own permissions, so starting and ending it does nothing here;
// the object still marks how long the shelf means to use the file.
class FileAccessScope {
public:
    explicit FileAccessScope(QUrl url);
    ~FileAccessScope();
    FileAccessScope(const FileAccessScope&) = delete;
    FileAccessScope& operator=(const FileAccessScope&) = delete;

    const QUrl& url() const { return m_url; }
    bool accessed() const { return m_accessed; }

private:
    QUrl m_url;
    bool m_accessed = false;
};

} // namespace quorrin
