#include "Features/FileShelf/FileShelfDesktop.h"

#include "Platform/DesktopOpener.h"
#include "Platform/DialogFolder.h"
#include "Platform/DialogPlacement.h"
#include "Platform/FileManager.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>

namespace quorrin {

namespace {

// A file dialog that chooses an existing file or folder: the accept button
// takes the selection (or the folder shown) as it is, while double-clicking
// a folder still enters it.
class FileOrFolderDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList selected = selectedFiles();
        if (selected.size() == 1 && QFileInfo::exists(selected.first()))
            QDialog::accept();
    }
};

void addMessage(QFileDialog& dialog, const QString& text)
{
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        auto* message = new QLabel(text, &dialog);
        message->setWordWrap(true);
        grid->addWidget(message, grid->rowCount(), 0, 1, grid->columnCount());
    }
}

std::optional<QUrl> chosenUrl(QFileDialog& dialog, DialogFolder& folder)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    folder.remember(dialog.selectedFiles());
    return QUrl::fromLocalFile(dialog.selectedFiles().first());
}

std::optional<QUrl> askCopyFolder(QWidget* parent, DialogFolder& folder)
{
    QFileDialog dialog(parent, QString(), folder.start());
    placeInFrontOfNotes(dialog, parent ? parent->window() : nullptr);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("复制到这里"));
    addMessage(dialog, QStringLiteral("复制文件，保留原文件和暂存项，不覆盖同名内容。"));
    return chosenUrl(dialog, folder);
}

std::optional<QUrl> askRelocation(QWidget* parent, DialogFolder& folder)
{
    FileOrFolderDialog dialog(parent, QString(), folder.start());
    placeInFrontOfNotes(dialog, parent ? parent->window() : nullptr);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    addMessage(dialog, QStringLiteral("重新选择原文件或文件夹；只保存关联，不修改原件。"));
    return chosenUrl(dialog, folder);
}

} // namespace

FileShelfDesktop FileShelfDesktop::system()
{
    FileShelfDesktop desktop;
    // Both of a shelf's dialogs open where the last of them chose.
    auto folder = std::make_shared<DialogFolder>();
    desktop.chooseCopyFolder = [folder](QWidget* parent) { return askCopyFolder(parent, *folder); };
    desktop.chooseRelocation = [folder](QWidget* parent) { return askRelocation(parent, *folder); };
    desktop.open = openLinkedFile;
    desktop.reveal = revealInFileManager;
    desktop.icon = [](const QString& path) { return QFileIconProvider().icon(QFileInfo(path)); };
    return desktop;
}

} // namespace quorrin
