#include "Features/Panels/LibraryView.h"

#include "Features/Panels/PanelStyle.h"
#include "Persistence/NoteStore.h"
#include "Widgets/HandPointer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace quorrin {

LibraryView::LibraryView(LibraryModel& model, bool trash, Open open, Clock clock, QTimeZone zone, QWidget* parent)
    : QWidget(parent)
    , m_model(&model)
    , m_trash(trash)
    , m_open(std::move(open))
    , m_clock(std::move(clock))
    , m_zone(std::move(zone))
{
    setMinimumSize(440, 320);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->setSpacing(12);

    auto* title = new QLabel(trash ? trashTitle : archiveTitle, this);
    PanelStyle::makeTitle(*title);
    layout->addWidget(title);
    auto* explanation = new QLabel(trash ? QStringLiteral("关闭的便笺保留在这里，不会自动永久清除。")
                                         : QStringLiteral("归档保留待办标题、优先级与备注，可随时恢复。"),
                                   this);
    explanation->setWordWrap(true);
    PanelStyle::makeSecondary(*explanation);
    layout->addWidget(explanation);

    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(m_scroll, 1);

    connect(&model, &LibraryModel::revisionChanged, this, &LibraryView::reload);
    reload();
}

QString LibraryView::dateText(const QDate& date)
{
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

void LibraryView::reload()
{
    if (!m_model)
        return;
    const std::vector<Note>& notes = m_model->store().notes();
    auto* rows = new QWidget;
    auto* layout = new QVBoxLayout(rows);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(6);
    if (m_trash) {
        m_trashRows = Library::trashRows(notes, m_clock(), m_zone);
        for (const TrashRow& row : m_trashRows)
            layout->addWidget(rowWidget(row.title, dateText(row.deletedOn), restoreNoteButton,
                                        [this, row] { restore(row); }));
    } else {
        m_archiveRows = Library::archiveRows(notes);
        for (const ArchiveRow& row : m_archiveRows)
            layout->addWidget(rowWidget(row.text, row.caption, restoreTodoButton, [this, row] { restore(row); }));
    }
    layout->addStretch(1);
    // The old rows may be running the click that caused this reload: they go
    // once it has returned.
    if (QWidget* old = m_scroll->takeWidget())
        old->deleteLater();
    m_scroll->setWidget(rows);
}

QWidget* LibraryView::rowWidget(const QString& heading, const QString& caption, const QString& button,
                                std::function<void()> action)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* headingLabel = new QLabel(heading, row);
    headingLabel->setTextFormat(Qt::PlainText);
    auto* captionLabel = new QLabel(caption, row);
    captionLabel->setTextFormat(Qt::PlainText);
    PanelStyle::makeCaption(*captionLabel);
    texts->addWidget(headingLabel);
    texts->addWidget(captionLabel);
    layout->addLayout(texts, 1);
    auto* restore = new QPushButton(button, row);
    HandPointer::apply(restore);
    connect(restore, &QPushButton::clicked, this, std::move(action));
    layout->addWidget(restore);
    return row;
}

void LibraryView::restore(TrashRow row)
{
    if (!m_model || !Library::restoreNote(m_model->store(), row.noteID))
        return;
    if (m_open)
        m_open(row.noteID, std::nullopt);
}

void LibraryView::restore(ArchiveRow row)
{
    if (!m_model || !Library::restoreTodo(m_model->store(), row.noteID, row.blockID))
        return;
    if (m_open)
        m_open(row.noteID, row.blockID);
}

} // namespace quorrin
