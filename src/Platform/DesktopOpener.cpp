#include "Platform/DesktopOpener.h"

#include "Platform/FileManager.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QUrl>

namespace quorrin {

namespace {

bool isViewable(const QMimeType& type)
{
    if (type.inherits(QStringLiteral("application/pdf")))
        return true;
    // Vector images may carry scripts and open in a browser.
    return type.name().startsWith(QLatin1String("image/")) && !type.inherits(QStringLiteral("image/svg+xml"));
}

} // namespace

ExternalOpening externalOpeningFor(const QString& path)
{
    const QMimeDatabase database;
    const bool viewable = isViewable(database.mimeTypeForFile(path, QMimeDatabase::MatchExtension))
                          && isViewable(database.mimeTypeForFile(path, QMimeDatabase::MatchContent));
    return viewable ? ExternalOpening::openWithHandler : ExternalOpening::revealInFileManager;
}

void openOrReveal(const QString& path)
{
    if (externalOpeningFor(path) == ExternalOpening::openWithHandler)
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    else
        revealInFileManager(path);
}

} // namespace quorrin
