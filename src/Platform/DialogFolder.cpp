#include "Platform/DialogFolder.h"

#include <QDir>
#include <QFileInfo>

namespace quorrin {

DialogFolder::DialogFolder(QString home)
    : m_home(std::move(home))
{
}

DialogFolder::DialogFolder()
    : DialogFolder(QDir::homePath())
{
}

QString DialogFolder::start() const
{
    return !m_last.isEmpty() && QFileInfo(m_last).isDir() ? m_last : m_home;
}

void DialogFolder::remember(const QStringList& chosen)
{
    if (!chosen.isEmpty() && !chosen.constFirst().isEmpty())
        m_last = QFileInfo(chosen.constFirst()).absolutePath();
}

} // namespace quorrin
