#include "Windows/NoteDialogs.h"

#include "Platform/DialogFolder.h"
#include "Platform/DialogPlacement.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace quorrin::notedialogs {

std::optional<int> askOpacity(QWidget* window, int current, bool composited)
{
    QDialog dialog;
    placeInFrontOfNotes(dialog, window);
    dialog.setWindowTitle(QStringLiteral("背景透明度"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* message = new QLabel(QStringLiteral("<b>背景透明度</b>"));
    auto* informative = new QLabel(QStringLiteral("文字和控件保持清晰。范围 20–100%。"));
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(20, 100);
    slider->setFixedSize(250, 25);
    slider->setValue(current);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("应用"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(message);
    layout->addWidget(informative);
    if (!composited) {
        auto* uncomposited = new QLabel(QStringLiteral("透明效果需要支持窗口合成的桌面；当前桌面未开启窗口合成，便笺以不透明背景显示。"));
        uncomposited->setObjectName(QStringLiteral("uncompositedNotice"));
        uncomposited->setWordWrap(true);
        layout->addWidget(uncomposited);
    }
    layout->addWidget(slider);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return slider->value();
}

bool askDeletion(QWidget* window)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("删除这张便笺？"),
                    QStringLiteral("删除这张便笺？"));
    placeInFrontOfNotes(box, window);
    box.setInformativeText(QStringLiteral("只有此操作会将便笺移至最近删除。关闭或退出会保留有内容的便笺；空白草稿不保存。"));
    QPushButton* remove = box.addButton(QStringLiteral("删除便笺"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(remove);
    box.exec();
    return box.clickedButton() == remove;
}

QStringList askAttachments(QWidget* window, DialogFolder& folder)
{
    QFileDialog dialog(nullptr, QStringLiteral("选择图片或 PDF"), folder.start());
    placeInFrontOfNotes(dialog, window);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    // Any file may be chosen: images and PDFs become attachments, documents
    // are imported and every other file goes to the note's file shelf.
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("插入"));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    folder.remember(dialog.selectedFiles());
    return dialog.selectedFiles();
}

} // namespace quorrin::notedialogs
