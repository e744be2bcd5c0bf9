#pragma once

#include "Platform/DesktopOpener.h"

#include <QIcon>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QWidget;

namespace quorrin {

// What the shelf rows ask of the desktop, replaced in tests.
struct FileShelfDesktop {
    // Asks for the folder to copy a file into; nothing when cancelled.
    std::function<std::optional<QUrl>(QWidget* parent)> chooseCopyFolder;
    // Asks for the file or folder a link is to point at; nothing when cancelled.
    std::function<std::optional<QUrl>(QWidget* parent)> chooseRelocation;
    // Opens a linked file (only shown in the file manager when the desktop
    // might run it); `failed` is told when nothing opened it.
    std::function<void(const QString& path, OpenFailure failed)> open;
    // Shows the file selected in the file manager; `failed` is told when
    // nothing showed it.
    std::function<void(const QString& path, OpenFailure failed)> reveal;
    // The file's icon as the desktop shows it.
    std::function<QIcon(const QString& path)> icon;

    // The real dialogs, file manager and icons.
    static FileShelfDesktop system();
};

} // namespace quorrin
