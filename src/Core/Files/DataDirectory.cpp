#include "Core/Files/DataDirectory.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quorrin {

QString resolveDataDirectory(const QString& overrideValue, const QString& genericDataLocation)
{
    if (!overrideValue.isEmpty())
        return overrideValue;
    return QDir(genericDataLocation).filePath(QStringLiteral("Quorrin"));
}

QString defaultDataDirectory()
{
    const QString overrideValue = qEnvironmentVariable(dataDirectoryVariable);
    const QString location = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QFileInfo(resolveDataDirectory(overrideValue, location)).absoluteFilePath();
}

} // namespace quorrin
