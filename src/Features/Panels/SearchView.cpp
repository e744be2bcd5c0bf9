#include "Features/Panels/SearchView.h"

#include "Features/Panels/PanelStyle.h"
#include "Persistence/NoteStore.h"
#include "Widgets/HandPointer.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QTimer>
#include <QVBoxLayout>

namespace quorrin {

// The hits as a list model: the title as display text, the matching text
// below it.
class SearchHitList final : public QAbstractListModel {
public:
    static constexpr int textRole = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;

    void setHits(const std::vector<SearchHit>* hits)
    {
        beginResetModel();
        m_hits = hits;
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() || !m_hits ? 0 : int(m_hits->size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!m_hits || index.row() < 0 || size_t(index.row()) >= m_hits->size())
            return {};
        const SearchHit& hit = (*m_hits)[size_t(index.row())];
        if (role == Qt::DisplayRole)
            return hit.title;
        if (role == textRole)
            return hit.text;
        return {};
    }

private:
    const std::vector<SearchHit>* m_hits = nullptr;
};

namespace {

constexpr int maximumTextLines = 3;
constexpr int rowPadding = 6;

// Lays the text out in at most three lines of the width, the last one
// elided when text remains.
QStringList wrappedLines(const QString& text, const QFont& font, int width)
{
    QStringList lines;
    const QFontMetrics metrics(font);
    QString rest = text;
    rest.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(rest, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (int count = 0; count < maximumTextLines; ++count) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        QString piece = rest.mid(line.textStart(), line.textLength());
        if (count == maximumTextLines - 1 && line.textStart() + line.textLength() < rest.size())
            piece = metrics.elidedText(rest.mid(line.textStart()).replace(QChar::LineSeparator, QLatin1Char(' ')),
                                       Qt::ElideRight, width);
        lines << piece.remove(QChar::LineSeparator).trimmed();
    }
    layout.endLayout();
    if (lines.isEmpty())
        lines << QString();
    return lines;
}

class SearchHitDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem base = option;
        initStyleOption(&base, index);
        base.text.clear();
        QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &base, painter, base.widget);

        const QRect area = option.rect.adjusted(rowPadding, rowPadding, -rowPadding, -rowPadding);
        QFont headline = option.font;
        headline.setBold(true);
        const QFontMetrics headlineMetrics(headline);
        painter->save();
        painter->setFont(headline);
        painter->setPen(option.palette.color(QPalette::Text));
        painter->drawText(QRect(area.left(), area.top(), area.width(), headlineMetrics.height()),
                          Qt::AlignLeft | Qt::AlignVCenter,
                          headlineMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                                                     area.width()));
        painter->setFont(option.font);
        painter->setPen(option.palette.color(QPalette::PlaceholderText));
        const QFontMetrics metrics(option.font);
        int y = area.top() + headlineMetrics.height() + 2;
        for (const QString& line :
             wrappedLines(index.data(SearchHitList::textRole).toString(), option.font, area.width())) {
            painter->drawText(QRect(area.left(), y, area.width(), metrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                              line);
            y += metrics.height();
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QFont headline = option.font;
        headline.setBold(true);
        const int width = std::max(option.rect.width(), 200) - 2 * rowPadding;
        const qsizetype lines = wrappedLines(index.data(SearchHitList::textRole).toString(), option.font, width).size();
        return QSize(width, QFontMetrics(headline).height() + 2 + int(lines) * QFontMetrics(option.font).height()
                                + 2 * rowPadding);
    }
};

} // namespace

SearchView::SearchView(LibraryModel& model, Open open, QWidget* parent)
    : QWidget(parent)
    , m_model(&model)
    , m_open(std::move(open))
{
    setMinimumSize(500, 380);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 18);

    auto* top = new QHBoxLayout;
    m_query = new QLineEdit(this);
    m_query->setPlaceholderText(placeholder);
    m_query->setClearButtonEnabled(true);
    top->addWidget(m_query, 1);
    m_caseSensitive = new QCheckBox(caseSensitiveTitle, this);
    HandPointer::apply(m_caseSensitive);
    top->addWidget(m_caseSensitive);
    layout->addLayout(top);

    m_count = new QLabel(this);
    PanelStyle::makeCaption(*m_count);
    layout->addWidget(m_count);

    m_list = new QListView(this);
    m_listModel = new SearchHitList(this);
    m_list->setModel(m_listModel);
    m_list->setItemDelegate(new SearchHitDelegate(m_list));
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setLayoutMode(QListView::Batched);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    HandPointer::apply(m_list);
    layout->addWidget(m_list, 1);

    // One gesture opens a hit once: a click opens it, Return opens the
    // current one. From the query, Down goes to the hits and Return opens the
    // current one.
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    m_query->installEventFilter(this);
    connect(m_list, &QListView::activated, this, [this](const QModelIndex& index) {
        if (!m_pointerInput)
            choose(index.row());
    });
    connect(m_query, &QLineEdit::returnPressed, this, [this] {
        if (m_list->currentIndex().isValid())
            choose(m_list->currentIndex().row());
    });
    connect(m_query, &QLineEdit::textChanged, this, &SearchView::search);
    connect(m_caseSensitive, &QCheckBox::toggled, this, &SearchView::search);
    connect(&model, &LibraryModel::revisionChanged, this, &SearchView::search);
    search();
}

SearchView::~SearchView()
{
    m_listModel->setHits(nullptr);
}

QString SearchView::countLine(qsizetype count)
{
    return QString::number(count) + QStringLiteral(" 个匹配内容块；包括折叠备注，不包括归档和最近删除。");
}

QString SearchView::countText() const
{
    return m_count->text();
}

void SearchView::search()
{
    if (!m_model)
        return;
    m_listModel->setHits(nullptr);
    m_hits = m_index.hits(m_model->store().notes(), m_query->text(),
                          m_caseSensitive->isChecked() ? SearchCase::Sensitive : SearchCase::Insensitive);
    m_listModel->setHits(&m_hits);
    m_count->setText(countLine(qsizetype(m_hits.size())));
}

bool SearchView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_query) {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down
            && m_listModel->rowCount({}) > 0) {
            if (!m_list->currentIndex().isValid())
                m_list->setCurrentIndex(m_listModel->index(0, 0));
            m_list->setFocus(Qt::TabFocusReason);
            return true;
        }
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        m_pointerInput = watched == m_list->viewport();
        if (!m_pointerInput)
            break;
        if (const auto* mouse = static_cast<QMouseEvent*>(event); mouse->button() == Qt::LeftButton) {
            const int row = m_list->indexAt(mouse->position().toPoint()).row();
            if (event->type() == QEvent::MouseButtonRelease) {
                if (row >= 0 && row == m_pressedRow)
                    clicked(row, m_secondClick);
                m_secondClick = false;
            } else {
                m_pressedRow = row;
                m_secondClick = event->type() == QEvent::MouseButtonDblClick;
            }
        }
        break;
    case QEvent::KeyPress:
        m_pointerInput = false;
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void SearchView::clicked(int row, bool secondClick)
{
    if (size_t(row) >= m_hits.size())
        return;
    const SearchHit hit = m_hits[size_t(row)];
    QTimer::singleShot(0, this, [this, hit, secondClick] {
        if (secondClick && hit.id() == m_clickedHit) {
            if (bringForward)
                bringForward(hit.noteID);
            return;
        }
        m_clickedHit = hit.id();
        open(hit);
    });
}

void SearchView::choose(int row)
{
    if (row < 0 || size_t(row) >= m_hits.size())
        return;
    // Opening may change the store and thus the hits: hand over a copy.
    open(SearchHit(m_hits[size_t(row)]));
}

void SearchView::open(const SearchHit& hit)
{
    if (m_open)
        m_open(hit.noteID, hit.blockID, hit.remarks, m_query->text(), m_caseSensitive->isChecked());
}

} // namespace quorrin
