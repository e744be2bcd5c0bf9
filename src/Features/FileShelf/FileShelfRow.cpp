#include "Features/FileShelf/FileShelfRow.h"

#include "Features/FileShelf/FileShelfModel.h"
#include "Features/FileShelf/FileShelfPresentation.h"
#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"
#include "Widgets/HandCursorButton.h"
#include "Widgets/NoteIcons.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>

namespace quorrin {

namespace {

// A one-line label that shortens its text in the middle to fit.
class MiddleElidedLabel final : public QWidget {
public:
    MiddleElidedLabel(QString text, QWidget* parent)
        : QWidget(parent)
        , m_text(std::move(text))
    {
        QFont small = font();
        small.setPointSizeF(11);
        setFont(small);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    }

    QString text() const { return m_text; }

    QSize sizeHint() const override
    {
        return QSize(fontMetrics().horizontalAdvance(m_text), fontMetrics().height());
    }
    QSize minimumSizeHint() const override { return QSize(0, fontMetrics().height()); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        const QString shown = fontMetrics().elidedText(m_text, Qt::ElideMiddle, width());
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, shown);
    }

private:
    QString m_text;
};

} // namespace

FileShelfRow::FileShelfRow(StagedFile file, FileShelfModel* model, FileShelfDesktop desktop, QWidget* parent)
    : QWidget(parent)
    , m_file(std::move(file))
    , m_model(model)
    , m_desktop(std::move(desktop))
{
    const QString name = m_file.displayName();
    const fileshelf::RowTexts texts = fileshelf::rowTexts(name, m_file.status(), m_file.available());

    auto* icon = new QLabel(this);
    icon->setFixedSize(20, 20);
    if (m_desktop.icon)
        icon->setPixmap(m_desktop.icon(m_file.path()).pixmap(20, 20));
    icon->setScaledContents(false);
    icon->setToolTip(texts.nameToolTip);

    auto* label = new MiddleElidedLabel(texts.name, this);
    label->setObjectName(QStringLiteral("name"));
    label->setToolTip(texts.nameToolTip);

    // Presses on the icon and the name count as presses on the row.
    icon->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_remove = new HandCursorButton(this);
    m_remove->setIcon(NoteIcons::icon(NoteSymbol::XMark));
    m_remove->setIconSize(QSize(10, 10));
    m_remove->setTintColor(SystemColor::secondaryLabel());
    m_remove->setFixedSize(22, 22);
    m_remove->setAccessibleName(QStringLiteral("移出暂存区，保留原文件"));
    connect(m_remove, &HandCursorButton::clicked, this, &FileShelfRow::removeReference);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 1, 0);
    layout->setSpacing(0);
    layout->addWidget(icon, 0, Qt::AlignVCenter);
    layout->addSpacing(6);
    layout->addWidget(label, 1, Qt::AlignVCenter);
    layout->addSpacing(4);
    layout->addWidget(m_remove, 0, Qt::AlignVCenter);

    setToolTip(texts.rowToolTip);
    setAccessibleName(texts.accessibleName);
    setCursor(grabCursor());
}

Qt::CursorShape FileShelfRow::grabCursor() const
{
    return m_file.available() ? Qt::OpenHandCursor : Qt::ArrowCursor;
}

bool FileShelfRow::reachable() const
{
    if (m_file.unresolved)
        return false;
    const QFileInfo info(m_file.path());
    return info.exists() && info.isReadable();
}

void FileShelfRow::report(const QString& message) const
{
    if (onError)
        onError(AppError(message));
}

OpenFailure FileShelfRow::laterFailure() const
{
    // The desktop answers after a while, when the shelf may have been
    // rebuilt and this row discarded: the shelf's reporting is kept instead.
    return [errors = onError](const QString& message) {
        if (errors)
            errors(AppError(message));
    };
}

void FileShelfRow::mousePressEvent(QMouseEvent* event)
{
    // A single click does nothing but may begin a drag.
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        m_reportedThisPress = false;
        m_pressPosition = event->position().toPoint();
    }
    event->accept();
}

void FileShelfRow::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = false;
    if (!m_file.available()) {
        report(fileshelf::unreachableOnOpen());
        return;
    }
    if (m_desktop.open)
        m_desktop.open(m_file.path(), laterFailure());
}

void FileShelfRow::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (!m_pressed || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - m_pressPosition).manhattanLength() < QApplication::startDragDistance())
        return;
    if (!m_file.available()) {
        // Once per press: the error's alert would otherwise be asked for on
        // every move.
        if (!m_reportedThisPress)
            report(fileshelf::unreachableOnDrag());
        m_reportedThisPress = true;
        return;
    }
    m_pressed = false;
    startDrag();
}

void FileShelfRow::startDrag()
{
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(m_file.path())});
    // Not a child of the row: a drop onto this very note reloads the shelf,
    // and the drag must outlive the row it came from.
    auto* drag = new QDrag(qApp);
    drag->setMimeData(mime);
    if (m_desktop.icon) {
        const QPixmap image = m_desktop.icon(m_file.path()).pixmap(32, 32);
        drag->setPixmap(image);
        drag->setHotSpot(QPoint(0, image.height() / std::max(1.0, image.devicePixelRatio())));
    }
    const QPointer<FileShelfRow> self(this);
    m_dragging = true;
    // Copy is the only operation offered, whatever modifier keys say; the
    // entry stays on the shelf.
    drag->exec(Qt::CopyAction, Qt::CopyAction);
    if (!self)
        return;
    m_dragging = false;
    if (m_discarded)
        deleteLater();
}

void FileShelfRow::discard()
{
    m_discarded = true;
    hide();
    if (!m_dragging)
        deleteLater();
}

void FileShelfRow::contextMenuEvent(QContextMenuEvent* event)
{
    const QPointer<FileShelfRow> self(this);
    const std::unique_ptr<QMenu> menu = makeMenu();
    menu->exec(event->globalPos());
    if (self)
        event->accept();
}

std::unique_ptr<QMenu> FileShelfRow::makeMenu()
{
    auto menu = std::make_unique<QMenu>();
    for (const fileshelf::RowMenuItem& item : fileshelf::rowMenu) {
        QAction* action = menu->addAction(QString::fromUtf16(item.title));
        const fileshelf::RowAction which = item.action;
        connect(action, &QAction::triggered, this, [this, which] {
            switch (which) {
            case fileshelf::RowAction::CopyToFolder: copyToFolder(); break;
            case fileshelf::RowAction::Reveal: reveal(); break;
            case fileshelf::RowAction::Relocate: relocate(); break;
            case fileshelf::RowAction::RemoveReference: removeReference(); break;
            }
        });
    }
    return menu;
}

void FileShelfRow::copyToFolder()
{
    if (!m_model || !m_desktop.chooseCopyFolder)
        return;
    const QPointer<FileShelfRow> self(this);
    const std::optional<QUrl> folder = m_desktop.chooseCopyFolder(this);
    if (!self || !folder || !m_model)
        return;
    try {
        m_model->copy(m_file.id, *folder);
    } catch (const AppError& error) {
        if (onError)
            onError(error);
    }
}

void FileShelfRow::reveal()
{
    if (reachable() && m_desktop.reveal)
        m_desktop.reveal(m_file.path(), laterFailure());
}

void FileShelfRow::relocate()
{
    if (!m_model || !m_desktop.chooseRelocation)
        return;
    const QPointer<FileShelfRow> self(this);
    const std::optional<QUrl> url = m_desktop.chooseRelocation(this);
    if (!self || !url || !m_model)
        return;
    // The model's change reloads the shelf, which discards this row later.
    const std::function<void(const AppError&)> errors = onError;
    try {
        m_model->relocate(m_file.id, *url);
    } catch (const AppError& error) {
        if (errors)
            errors(error);
    }
}

void FileShelfRow::removeReference()
{
    if (m_model)
        m_model->removeReference(m_file.id);
}

} // namespace quorrin
