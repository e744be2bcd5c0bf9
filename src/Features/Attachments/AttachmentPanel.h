#pragma once

#include "Domain/Attachment.h"
#include "Platform/DesktopOpener.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QHBoxLayout;

namespace quorrin {

class DrawingImageView;
class NoteStore;
class PdfAnnotationDocument;
class PdfPageView;

// What the panel asks of the desktop; tests replace each part.
struct AttachmentPanelServices {
    // The text of a new free-text note, from a modal prompt "添加文字批注"
    // with "添加" and "取消"; nothing when cancelled.
    std::function<std::optional<QString>(QWidget* parent)> askNoteText;
    std::function<void()> beep;
    // Hands a stored file to the desktop; `failed` is told when nothing
    // opened it.
    std::function<void(const QString& path, OpenFailure failed)> openExternally;

    // The real prompt, the system beep and openOrReveal().
    static AttachmentPanelServices desktop();
};

// A window that previews one attachment and annotates it: a PDF gets
// highlights over selected text and free-text notes, an image gets freehand
// strokes. "保存标注副本" stores the result as a new attachment file and
// points every block that shows the attachment at it; the original file is
// never changed. The window deletes itself when closed; unsaved annotations
// go with it.
class AttachmentPanel : public QWidget {
    Q_OBJECT

public:
    AttachmentPanel(const Attachment& file, NoteStore& store, AttachmentPanelServices services);
    ~AttachmentPanel() override;

    // Opens a new panel for the attachment (a second panel for the same one
    // is independent of the first), in front of the notes; the note window it
    // was opened from (if any) is active again once it closes.
    static AttachmentPanel* show(const Attachment& file, NoteStore& store, QWidget* noteWindow = nullptr,
                                 AttachmentPanelServices services = AttachmentPanelServices::desktop());
    using QWidget::show;

    // The buttons' actions.
    void highlight();
    void addText();
    void undoStroke();
    void save();
    void openExternal();

    const Attachment& file() const { return m_file; }
    PdfPageView* pdfView() const { return m_pdf; }
    PdfAnnotationDocument* pdfDocument() const { return m_document.get(); }
    DrawingImageView* canvas() const { return m_canvas; }
    QStringList buttonTitles() const;

private:
    void addButton(const QString& title, void (AttachmentPanel::*action)());

    const Attachment m_file;
    NoteStore& m_store;
    AttachmentPanelServices m_services;
    std::unique_ptr<PdfAnnotationDocument> m_document;
    PdfPageView* m_pdf = nullptr;
    DrawingImageView* m_canvas = nullptr;
    QHBoxLayout* m_bar = nullptr;
};

} // namespace quorrin
