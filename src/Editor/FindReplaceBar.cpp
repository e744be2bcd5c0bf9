#include "Editor/FindReplaceBar.h"

#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"

#include <QGridLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QKeyEvent>
#include <QTextCursor>
#include <QToolButton>

namespace quorrin {
namespace {

QToolButton* smallButton(const QString& text, const QString& tip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

FindReplaceBar::FindReplaceBar(BlockEditor* editor, QWidget* parent)
    : QWidget(parent)
    , m_editor(editor)
{
    setAutoFillBackground(true);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 4, 6, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);

    m_find = new QLineEdit(this);
    m_find->setPlaceholderText(QStringLiteral("查找"));
    m_find->setAccessibleName(QStringLiteral("查找"));
    m_find->setClearButtonEnabled(true);
    m_counter = new QLabel(this);
    m_counter->setMinimumWidth(40);
    m_counter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QToolButton* previous = smallButton(QStringLiteral("‹"), QStringLiteral("上一个"), this);
    QToolButton* next = smallButton(QStringLiteral("›"), QStringLiteral("下一个"), this);
    QToolButton* done = smallButton(QStringLiteral("完成"), QStringLiteral("关闭查找栏"), this);
    QToolButton* matchCase = smallButton(QStringLiteral("Aa"), QStringLiteral("区分大小写"), this);
    matchCase->setCheckable(true);
    m_matchCase = matchCase;
    m_replace = new QLineEdit(this);
    m_replace->setPlaceholderText(QStringLiteral("替换为"));
    m_replace->setAccessibleName(QStringLiteral("替换为"));
    QToolButton* replaceOne = smallButton(QStringLiteral("替换"), QStringLiteral("替换当前结果"), this);
    QToolButton* replaceEvery = smallButton(QStringLiteral("全部替换"), QStringLiteral("全部替换"), this);

    grid->addWidget(m_find, 0, 0);
    grid->addWidget(m_counter, 0, 1);
    grid->addWidget(m_matchCase, 0, 2);
    grid->addWidget(previous, 0, 3);
    grid->addWidget(next, 0, 4);
    grid->addWidget(done, 0, 5);
    grid->addWidget(m_replace, 1, 0, 1, 3);
    grid->addWidget(replaceOne, 1, 3, 1, 2);
    grid->addWidget(replaceEvery, 1, 5);
    grid->setColumnStretch(0, 1);

    connect(m_find, &QLineEdit::textEdited, this, [this] { search(true); });
    connect(m_find, &QLineEdit::returnPressed, this, &FindReplaceBar::findNext);
    connect(m_replace, &QLineEdit::returnPressed, this, &FindReplaceBar::replaceCurrent);
    connect(m_matchCase, &QAbstractButton::toggled, this, [this] { search(true); });
    connect(previous, &QToolButton::clicked, this, &FindReplaceBar::findPrevious);
    connect(next, &QToolButton::clicked, this, &FindReplaceBar::findNext);
    connect(done, &QToolButton::clicked, this, &FindReplaceBar::close);
    connect(replaceOne, &QToolButton::clicked, this, &FindReplaceBar::replaceCurrent);
    connect(replaceEvery, &QToolButton::clicked, this, &FindReplaceBar::replaceAll);

    m_find->installEventFilter(this);
    m_replace->installEventFilter(this);
    hide();
}

void FindReplaceBar::open()
{
    if (!m_editor)
        return;
    const QTextCursor selection = m_editor->textView()->textCursor();
    m_anchor = selection.selectionStart();
    const QString selected = selection.selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator) && !selected.contains(QLatin1Char('\n')))
        m_find->setText(selected);
    const bool wasHidden = isHidden();
    show();
    raise();
    if (wasHidden && onVisibilityChange)
        onVisibilityChange();
    m_find->setFocus(Qt::ShortcutFocusReason);
    m_find->selectAll();
    search(true);
}

void FindReplaceBar::close()
{
    if (isHidden())
        return;
    hide();
    m_matches.clear();
    if (m_editor) {
        m_editor->highlightMatches({});
        m_editor->textView()->setFocus(Qt::OtherFocusReason);
    }
    if (onVisibilityChange)
        onVisibilityChange();
}

bool FindReplaceBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && watched == m_find && (key->modifiers() & Qt::ShiftModifier)) {
            findPrevious();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString FindReplaceBar::counter() const
{
    return m_counter->text();
}

std::optional<std::size_t> FindReplaceBar::currentIndex() const
{
    if (!m_editor)
        return std::nullopt;
    const QTextCursor selection = m_editor->textView()->textCursor();
    return findreplace::indexOf(m_matches, selection.selectionStart(),
                                selection.selectionEnd() - selection.selectionStart());
}

void FindReplaceBar::updateCounter()
{
    m_counter->setText(findreplace::counterText(m_find->text(), m_matches.size(), currentIndex()));
}

void FindReplaceBar::search(bool moveToMatch)
{
    if (!m_editor)
        return;
    m_matches = findreplace::findAll(m_editor->searchableText(), m_find->text(), m_matchCase->isChecked());
    m_editor->highlightMatches(m_matches);
    if (moveToMatch) {
        if (const auto index = findreplace::nextIndex(m_matches, m_anchor, true))
            m_editor->selectMatch(m_matches[*index]);
    }
    updateCounter();
}

void FindReplaceBar::refresh()
{
    if (!isHidden())
        search(false);
}

void FindReplaceBar::go(bool forward)
{
    if (!m_editor)
        return;
    if (m_matches.empty())
        search(false);
    const QTextCursor selection = m_editor->textView()->textCursor();
    const int from = forward ? selection.selectionEnd() : selection.selectionStart();
    if (const auto index = findreplace::nextIndex(m_matches, from, forward)) {
        m_editor->selectMatch(m_matches[*index]);
        m_anchor = m_matches[*index].start;
    }
    updateCounter();
}

void FindReplaceBar::findNext()
{
    go(true);
}

void FindReplaceBar::findPrevious()
{
    go(false);
}

void FindReplaceBar::replaceCurrent()
{
    if (!m_editor)
        return;
    search(false);
    const auto index = currentIndex();
    if (!index) {
        go(true); // the first press only goes to a match
        return;
    }
    const TextMatch match = m_matches[*index];
    if (m_editor->replaceMatches({match}, m_replace->text(), QStringLiteral("替换")) == 0)
        return;
    m_anchor = match.start + int(m_replace->text().size());
    search(false);
    if (const auto next = findreplace::nextIndex(m_matches, m_anchor, true))
        m_editor->selectMatch(m_matches[*next]);
    updateCounter();
}

void FindReplaceBar::replaceAll()
{
    if (!m_editor)
        return;
    search(false);
    if (m_matches.empty())
        return;
    m_editor->replaceMatches(m_matches, m_replace->text(), QStringLiteral("全部替换"));
    search(false);
}

} // namespace quorrin
