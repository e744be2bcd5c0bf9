#include "Features/FileShelf/FileShelfDesktop.h"

#include "Platform/DesktopOpener.h"
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

std::optional<QUrl> chosenUrl(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QUrl::fromLocalFile(dialog.selectedFiles().first());
}

std::optional<QUrl> askCopyFolder(QWidget* parent)
{
    QFileDialog dialog(parent);
    placeInFrontOfNotes(dialog, parent ? parent->window() : nullptr);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("复制到这里"));
    addMessage(dialog, QStringLiteral("复制文件，保留原文件和暂存项，不覆盖同名内容。"));
    return chosenUrl(dialog);
}

std::optional<QUrl> askRelocation(QWidget* parent)
{
    FileOrFolderDialog dialog(parent);
    placeInFrontOfNotes(dialog, parent ? parent->window() : nullptr);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    addMessage(dialog, QStringLiteral("重新选择原文件或文件夹；只保存关联，不修改原件。"));
    return chosenUrl(dialog);
}

} // namespace

FileShelfDesktop FileShelfDesktop::system()
{
    FileShelfDesktop desktop;
    desktop.chooseCopyFolder = askCopyFolder;
    desktop.chooseRelocation = askRelocation;
    desktop.open = openLinkedFile;
    desktop.reveal = revealInFileManager;
    desktop.icon = [](const QString& path) { return QFileIconProvider().icon(QFileInfo(path)); };
    return desktop;
}

} // namespace quorrin
