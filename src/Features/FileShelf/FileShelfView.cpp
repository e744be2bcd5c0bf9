#include "Features/FileShelf/FileShelfView.h"

#include "Features/FileShelf/FileShelfModel.h"
#include "Features/FileShelf/FileShelfRow.h"
#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"
#include "Widgets/OverlayScroller.h"

#include <QCursor>
#include <QDropEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace quorrin {

FileShelfView::FileShelfView(FileShelfModel* model, std::optional<QUuid> blockID, QWidget* parent,
                             FileShelfDesktop desktop)
    : NoteFileShelf(parent)
    , m_model(model)
    , m_blockID(std::move(blockID))
    , m_desktop(std::move(desktop))
{
    if (!m_model) {
        m_ownModel = new FileShelfModel(this);
        m_model = m_ownModel;
        const QPointer<FileShelfView> self(this);
        m_ownModel->onChange = [self] {
            if (self)
                self->reload();
        };
    }
    setAcceptDrops(true);

    m_caption = new QLabel(this);
    QFont small = m_caption->font();
    small.setPointSizeF(10);
    m_caption->setFont(small);
    // Inside the text view the inherited role would be the text's colour.
    m_caption->setForegroundRole(QPalette::WindowText);

    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidgetResizable(true);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_scroll->setAutoFillBackground(false);

    m_list = new QWidget;
    m_rows = new QVBoxLayout(m_list);
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(0);
    m_rows->addStretch(1);
    m_scroll->setWidget(m_list);
    // No background of its own: the note's paper shows through (setWidget
    // switches the list's on).
    m_list->setAutoFillBackground(false);
    // A thin scroller that shows only while the list scrolls.
    new OverlayScroller(m_scroll);

    reload();
}

FileShelfView::~FileShelfView() = default;

bool FileShelfView::hasItems() const
{
    return m_model && !m_model->items().empty();
}

std::vector<FileShelfRow*> FileShelfView::rows() const
{
    std::vector<FileShelfRow*> rows;
    for (int index = 0; index < m_rows->count(); ++index) {
        if (auto* row = qobject_cast<FileShelfRow*>(m_rows->itemAt(index)->widget()))
            rows.push_back(row);
    }
    return rows;
}

void FileShelfView::reload()
{
    for (FileShelfRow* row : rows()) {
        m_rows->removeWidget(row);
        row->discard();
    }
    const std::vector<StagedFile> files = m_model ? m_model->files(m_blockID) : std::vector<StagedFile>{};
    const QPointer<FileShelfView> self(this);
    int position = 0;
    for (const StagedFile& file : files) {
        auto* row = new FileShelfRow(file, m_model, m_desktop, m_list);
        row->setFixedHeight(static_cast<int>(fileshelf::rowHeight));
        row->onError = [self](const AppError& error) {
            if (self && self->onError)
                self->onError(error);
        };
        m_rows->insertWidget(position++, row);
    }

    m_layout = fileshelf::layout(static_cast<int>(files.size()), m_showsDropTarget);
    colourCaption();
    m_caption->setText(m_layout.caption);
    m_caption->setVisible(m_layout.captionVisible);
    m_scroll->setVisible(m_layout.listVisible);
    // An empty shelf hides itself; a shelf without parent is shown by its owner.
    if (m_layout.height <= 0)
        hide();
    else if (parentWidget())
        show();
    placeChildren();
    if (onHeightChange)
        onHeightChange(m_layout.height);
    update();
}

void FileShelfView::colourCaption()
{
    QPalette captionPalette = m_caption->palette();
    captionPalette.setColor(QPalette::WindowText,
                            toQColor(SystemColor::secondaryLabel(), SystemAppearance::of(palette())));
    m_caption->setPalette(captionPalette);
}

void FileShelfView::placeChildren()
{
    const QSizeF size = this->size();
    m_caption->setGeometry(fileshelf::captionFrame(size, m_caption->sizeHint().height()).toRect());
    m_scroll->setGeometry(fileshelf::listFrame(size, m_layout).toRect());
}

void FileShelfView::resizeEvent(QResizeEvent* event)
{
    placeChildren();
    NoteFileShelf::resizeEvent(event);
}

void FileShelfView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange) {
        colourCaption();
        update();
    }
    NoteFileShelf::changeEvent(event);
}

void FileShelfView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Appearance appearance = SystemAppearance::of(palette());
    auto colour = [appearance](const DynamicColor& color, double alpha) {
        QColor resolved = toQColor(color, appearance);
        resolved.setAlphaF(resolved.alphaF() * alpha);
        return resolved;
    };
    if (m_showsDropTarget) {
        QPainterPath outline;
        outline.addRoundedRect(QRectF(rect()).adjusted(3, 2, -3, -2), 6, 6);
        painter.fillPath(outline, colour(SystemColor::controlAccent(), 0.06));
        QPen pen(colour(SystemColor::controlAccent(), 0.35), 1);
        pen.setDashPattern({4, 3});
        pen.setDashOffset(0);
        painter.strokePath(outline, pen);
        return;
    }
    // A hairline along the top edge, between the text and the shelf.
    painter.fillRect(QRectF(8, 0, std::max(width() - 16.0, 0.0), 0.5), colour(SystemColor::separator(), 0.3));
}

// ---------------------------------------------------------------- drags

void FileShelfView::dragEnterEvent(QDragEnterEvent* event)
{
    FileDragRouting::answer(*event, FileDragRouting::enter(dropRouter, *event->mimeData()));
}

void FileShelfView::dragMoveEvent(QDragMoveEvent* event)
{
    FileDragRouting::answer(*event,
                            FileDragRouting::move(dropRouter, *event->mimeData(), *this, event->position()));
}

void FileShelfView::dragLeaveEvent(QDragLeaveEvent* event)
{
    // A drag moving on from the shelf to the rest of the note keeps its session.
    FileDragRouting::leave(dropRouter, QCursor::pos());
    event->accept();
}

void FileShelfView::dropEvent(QDropEvent* event)
{
    const QList<QUrl> files = FileDropRouter::files(*event->mimeData());
    const bool accepted = FileDragRouting::perform(dropRouter, files, *this, event->position());
    FileDragRouting::answer(*event, accepted ? Qt::CopyAction : Qt::IgnoreAction);
}

} // namespace quorrin
