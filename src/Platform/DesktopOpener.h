#pragma once

#include <QString>

namespace quorrin {

// How a stored file is handed to the desktop. Images and PDFs open in the
// desktop's handler; anything else is only shown in the file manager, so a
// file that merely claims to be a picture is never run.
enum class ExternalOpening { openWithHandler, revealInFileManager };

// By the MIME type of the file's name and of its content: both must name a
// raster image or a PDF for the file to be opened.
ExternalOpening externalOpeningFor(const QString& path);

// Opens or reveals the file as externalOpeningFor() decides. Returns at once.
void openOrReveal(const QString& path);

// For a file the user linked from elsewhere: documents and folders open in
// the desktop's handler, but whatever the desktop might run (a launcher
// entry, a program, a script, anything marked executable) is only shown in
// the file manager.
ExternalOpening linkedFileOpeningFor(const QString& path);

// Opens or reveals a linked file as linkedFileOpeningFor() decides.
void openLinkedFile(const QString& path);

} // namespace quorrin
