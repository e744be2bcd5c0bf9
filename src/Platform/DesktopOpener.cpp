#include "Platform/DesktopOpener.h"

#include "Platform/FileManager.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>

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

QString openFailureMessage(const QUrl& url)
{
    if (url.isLocalFile()) {
        const QString name = QFileInfo(url.toLocalFile()).fileName();
        return QStringLiteral("无法打开“%1”：没有能打开它的应用程序。").arg(name.isEmpty() ? url.toLocalFile() : name);
    }
    return QStringLiteral("无法打开链接“%1”：没有能打开它的应用程序。").arg(url.toDisplayString());
}

void openWithDesktop(const QUrl& url, OpenFailure failed)
{
    // Unlike QDesktopServices, which starts the handler detached and never
    // learns its exit status, the handler runs as our child until it has
    // handed the file on. Nothing waits for it: its answer arrives as a signal.
    auto* handler = new QProcess(QCoreApplication::instance());
    handler->setStandardInputFile(QProcess::nullDevice());
    handler->setStandardOutputFile(QProcess::nullDevice());
    handler->setStandardErrorFile(QProcess::nullDevice());
    const auto finish = [handler, url, failed = std::move(failed)](bool opened) {
        handler->deleteLater();
        if (!opened && failed)
            failed(openFailureMessage(url));
    };
    QObject::connect(handler, &QProcess::finished, handler, [finish](int exitCode, QProcess::ExitStatus status) {
        finish(status == QProcess::NormalExit && exitCode == 0);
    });
    // A handler that started reports through finished(), even when it crashed.
    QObject::connect(handler, &QProcess::errorOccurred, handler, [finish](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish(false);
    });
    handler->start(QStringLiteral("xdg-open"),
                   {url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
}

void openLinkedFile(const QString& path, OpenFailure failed)
{
    if (linkedFileOpeningFor(path) == ExternalOpening::openWithHandler)
        openWithDesktop(QUrl::fromLocalFile(path), std::move(failed));
    else
        revealInFileManager(path, std::move(failed));
}

void openOrReveal(const QString& path, OpenFailure failed)
{
    if (externalOpeningFor(path) == ExternalOpening::openWithHandler)
        openWithDesktop(QUrl::fromLocalFile(path), std::move(failed));
    else
        revealInFileManager(path, std::move(failed));
}

} // namespace quorrin
