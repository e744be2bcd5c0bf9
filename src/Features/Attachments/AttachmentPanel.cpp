#include "Features/Attachments/AttachmentPanel.h"

#include "Domain/AppError.h"
#include "Features/Attachments/AnnotatedCopy.h"
#include "Features/Attachments/AttachmentFiles.h"
#include "Features/Attachments/DrawingImageView.h"
#include "Features/Attachments/PdfAnnotationDocument.h"
#include "Features/Attachments/PdfPageView.h"
#include "Persistence/NoteStore.h"
#include "Platform/DesktopOpener.h"
#include "Platform/DialogPlacement.h"
#include "Platform/FocusReturn.h"
#include "Widgets/CloseKeys.h"
#include "Widgets/HandCursorButton.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace quorrin {

namespace {

const QString pdfContentType = QStringLiteral("pdf");

// A titled button with a rounded bezel, for the panel's button bar.
class BarButton final : public HandCursorButton {
public:
    BarButton(const QString& title, QWidget* parent)
        : HandCursorButton(parent)
    {
        setText(title);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        return {metrics.horizontalAdvance(text()) + 24, std::max(26, metrics.height() + 10)};
    }

protected:
    void paintContent(QPainter& painter, const QRectF& rect) override
    {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(palette().color(QPalette::Mid));
        painter.setBrush(palette().color(isDown() ? QPalette::Midlight : QPalette::Button));
        painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        HandCursorButton::paintContent(painter, rect);
    }
};

std::optional<QString> askNoteTextInDialog(QWidget* parent)
{
    QDialog dialog(parent);
    placeInFrontOfNotes(dialog, parent);
    dialog.setWindowTitle(QStringLiteral("添加文字批注"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* message = new QLabel(QStringLiteral("添加文字批注"), &dialog);
    QFont bold = message->font();
    bold.setBold(true);
    message->setFont(bold);
    layout->addWidget(message);
    auto* field = new QLineEdit(&dialog);
    field->setMinimumSize(300, 24);
    layout->addWidget(field);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* add = buttons->addButton(QStringLiteral("添加"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    add->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return field->text();
}

} // namespace

AttachmentPanelServices AttachmentPanelServices::desktop()
{
    AttachmentPanelServices services;
    services.askNoteText = &askNoteTextInDialog;
    services.beep = [] { QApplication::beep(); };
    services.openExternally = &openOrReveal;
    return services;
}

AttachmentPanel::AttachmentPanel(const Attachment& file, NoteStore& store, AttachmentPanelServices services)
    : QWidget(nullptr, Qt::Window)
    , m_file(file)
    , m_store(store)
    , m_services(std::move(services))
{
    setAttribute(Qt::WA_DeleteOnClose);
    closeOnKeys(*this);
    setWindowTitle(QStringLiteral("预览与标注 — ") + m_file.originalFilename);
    resize(680, 560);

    auto* content = new QVBoxLayout(this);
    content->setContentsMargins(0, 10, 0, 0);
    content->setSpacing(10);
    m_bar = new QHBoxLayout;
    m_bar->setContentsMargins(12, 0, 12, 0);
    m_bar->setSpacing(10);
    content->addLayout(m_bar);

    const std::optional<QByteArray> bytes =
        attachments::readStoredFile(attachments::directoryIn(m_store.root()), m_file.relativePath);
    QWidget* viewer = nullptr;
    if (m_file.contentType == pdfContentType) {
        if (bytes)
            m_document = PdfAnnotationDocument::load(*bytes);
        m_pdf = new PdfPageView(m_document.get(), this);
        viewer = m_pdf;
        addButton(QStringLiteral("高亮选中文字"), &AttachmentPanel::highlight);
        addButton(QStringLiteral("添加文字批注"), &AttachmentPanel::addText);
    } else if (QImage image = bytes ? QImage::fromData(*bytes) : QImage(); !image.isNull()) {
        m_canvas = new DrawingImageView(std::move(image), this);
        viewer = m_canvas;
        addButton(QStringLiteral("撤销上一笔"), &AttachmentPanel::undoStroke);
    }
    addButton(QStringLiteral("保存标注副本"), &AttachmentPanel::save);
    addButton(QStringLiteral("用系统默认应用打开"), &AttachmentPanel::openExternal);
    m_bar->addStretch(1);
    if (viewer)
        content->addWidget(viewer, 1);
    else
        content->addStretch(1);
}

AttachmentPanel::~AttachmentPanel() = default;

AttachmentPanel* AttachmentPanel::show(const Attachment& file, NoteStore& store, QWidget* noteWindow,
                                       AttachmentPanelServices services)
{
    auto* panel = new AttachmentPanel(file, store, std::move(services));
    // In front of the notes but not the note window's child: the preview
    // lives on if the note's window goes. It gives that window the focus back.
    placeInFrontOfNotes(*panel, nullptr);
    if (noteWindow)
        FocusReturn::watch(*panel, *noteWindow);
    else
        FocusReturn::watch(*panel);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = panel->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        panel->move(frame.topLeft());
    }
    panel->QWidget::show();
    panel->raise();
    panel->activateWindow();
    return panel;
}

void AttachmentPanel::addButton(const QString& title, void (AttachmentPanel::*action)())
{
    auto* button = new BarButton(title, this);
    connect(button, &QAbstractButton::clicked, this, action);
    m_bar->addWidget(button);
}

QStringList AttachmentPanel::buttonTitles() const
{
    QStringList titles;
    for (int index = 0; index < m_bar->count(); ++index) {
        if (auto* button = qobject_cast<QAbstractButton*>(m_bar->itemAt(index)->widget()))
            titles << button->text();
    }
    return titles;
}

void AttachmentPanel::highlight()
{
    if (!m_pdf || !m_document || !m_pdf->currentSelection()) {
        if (m_services.beep)
            m_services.beep();
        return;
    }
    // Every page the selection crosses gets its own highlights.
    for (const annotation::PageRun& run : m_pdf->selectedRuns()) {
        const std::vector<QRectF> lines =
            annotation::selectionLineRects(m_document->words(run.page), run.firstWord, run.lastWord);
        if (lines.empty())
            continue;
        m_document->addHighlights(run.page, lines);
        m_pdf->pageChanged(run.page);
    }
}

void AttachmentPanel::addText()
{
    const std::optional<int> page = m_pdf && m_document ? m_pdf->currentPage() : std::nullopt;
    if (!page || !m_services.askNoteText)
        return;
    const std::optional<QString> text = m_services.askNoteText(this);
    if (!text || text->isEmpty())
        return;
    m_document->addFreeText(*page, *text);
    m_pdf->pageChanged(*page);
}

void AttachmentPanel::undoStroke()
{
    if (m_canvas)
        m_canvas->undoStroke();
}

void AttachmentPanel::save()
{
    try {
        const QString extension = m_pdf ? pdfContentType : QStringLiteral("png");
        QByteArray data;
        if (m_canvas)
            data = m_canvas->png();
        else if (m_pdf && m_document)
            data = m_document->annotatedCopy();
        else
            throw AppError(QStringLiteral("无法生成标注文件。"));
        saveAnnotatedCopy(m_store, m_file, data, extension);
    } catch (...) {
        m_store.reportError(std::current_exception());
        return;
    }
    close();
}

void AttachmentPanel::openExternal()
{
    const std::optional<QString> path = attachments::storedFilePath(m_store.root(), m_file);
    if (!path) {
        m_store.reportError(std::make_exception_ptr(
            AppError(QStringLiteral("找不到附件“%1”的文件。").arg(m_file.originalFilename))));
        return;
    }
    if (m_services.openExternally) {
        NoteStore& store = m_store; // outlives the panel, whose answer may come after it closed
        m_services.openExternally(*path, [&store](const QString& message) {
            store.reportError(std::make_exception_ptr(AppError(message)));
        });
    }
}

} // namespace quorrin
