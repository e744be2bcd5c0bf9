#include "Platform/DesktopOpener.h"

#include "Platform/FileManager.h"

#include <QDesktopServices>
#include <QFileInfo>
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

// Types the desktop may run rather than show.
bool isRunnable(const QMimeType& type)
{
    static const char* const runnable[] = {
        "application/x-desktop",        "application/x-executable",   "application/x-sharedlib",
        "application/x-pie-executable", "application/x-shellscript",  "application/x-executable-script",
        "application/x-ms-dos-executable", "application/x-msdownload", "application/x-msi",
        "application/x-ms-shortcut",    "application/java-archive",   "application/x-java-archive",
        "application/x-java-jnlp-file", "application/vnd.appimage",   "application/x-iso9660-appimage",
        "application/x-perl",           "application/x-ruby",         "text/x-python",
        "text/x-python3",               "application/x-csh",          "application/vnd.flatpak.ref",
        "application/vnd.flatpak",      "application/x-flatpak",      "application/x-bat",
    };
    for (const char* name : runnable) {
        if (type.inherits(QString::fromLatin1(name)))
            return true;
    }
    return false;
}

} // namespace

ExternalOpening externalOpeningFor(const QString& path)
{
    const QMimeDatabase database;
    const bool viewable = isViewable(database.mimeTypeForFile(path, QMimeDatabase::MatchExtension))
                          && isViewable(database.mimeTypeForFile(path, QMimeDatabase::MatchContent));
    return viewable ? ExternalOpening::openWithHandler : ExternalOpening::revealInFileManager;
}

ExternalOpening linkedFileOpeningFor(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return ExternalOpening::openWithHandler;
    if (!info.isFile())
        return ExternalOpening::revealInFileManager;
    constexpr QFile::Permissions executable = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther | QFile::ExeUser;
    if (info.permissions() & executable)
        return ExternalOpening::revealInFileManager;
    const QMimeDatabase database;
    const bool runnable = isRunnable(database.mimeTypeForFile(path, QMimeDatabase::MatchExtension))
                          || isRunnable(database.mimeTypeForFile(path, QMimeDatabase::MatchContent));
    return runnable ? ExternalOpening::revealInFileManager : ExternalOpening::openWithHandler;
}

void openLinkedFile(const QString& path)
{
    if (linkedFileOpeningFor(path) == ExternalOpening::openWithHandler)
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    else
        revealInFileManager(path);
}

void openOrReveal(const QString& path)
{
    if (externalOpeningFor(path) == ExternalOpening::openWithHandler)
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    else
        revealInFileManager(path);
}

} // namespace quorrin
