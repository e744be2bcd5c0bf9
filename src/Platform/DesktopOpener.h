#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace quorrin {

// Told, on the main thread, that the desktop did not open or show what it was
// handed: a Chinese sentence that names it.
using OpenFailure = std::function<void(const QString& message)>;

// How a stored file is handed to the desktop. Images and PDFs open in the
// desktop's handler; anything else is only shown in the file manager, so a
// file that merely claims to be a picture is never run.
enum class ExternalOpening { openWithHandler, revealInFileManager };

// By the MIME type of the file's name and of its content: both must name a
// raster image or a PDF for the file to be opened.
ExternalOpening externalOpeningFor(const QString& path);

// Hands a file or an address to the desktop's handler (xdg-open, looked up on
// the PATH) and returns at once. The handler says by its exit status whether
// it found a program for it; when it did not, or could not be started,
// `failed` is told.
void openWithDesktop(const QUrl& url, OpenFailure failed);

// What openWithDesktop() tells when nothing opened `url`: a file by its name,
// an address as it is written.
QString openFailureMessage(const QUrl& url);

// Opens or reveals the file as externalOpeningFor() decides. Returns at once.
void openOrReveal(const QString& path, OpenFailure failed);

// For a file the user linked from elsewhere: documents and folders open in
// the desktop's handler, but whatever the desktop might run (a launcher
// entry, a program, a script, anything marked executable) is only shown in
// the file manager.
ExternalOpening linkedFileOpeningFor(const QString& path);

// Opens or reveals a linked file as linkedFileOpeningFor() decides.
void openLinkedFile(const QString& path, OpenFailure failed);

} // namespace quorrin
