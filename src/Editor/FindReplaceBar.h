#pragma once

#include "Editor/FindReplace.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quorrin {

class BlockEditor;

// The find and replace bar of one note: searches the note's shown text as
// the user types, steps through the matches, and replaces one or all of them
// as one undo step each. Escape closes it.
class FindReplaceBar final : public QWidget {
    Q_OBJECT
public:
    explicit FindReplaceBar(BlockEditor* editor, QWidget* parent = nullptr);

    // Shows the bar and puts the caret in the search field; a one-line
    // selection of the note becomes the text searched for.
    void open();
    void close();

    void findNext();
    void findPrevious();
    void replaceCurrent();
    void replaceAll();
    // Searches again after the note's text changed, without moving.
    void refresh();

    QLineEdit* findField() const { return m_find; }
    QLineEdit* replaceField() const { return m_replace; }
    QAbstractButton* matchCaseBox() const { return m_matchCase; }
    QString counter() const;
    const std::vector<TextMatch>& matches() const { return m_matches; }

    // Run after the bar closed, so the window can lay itself out again.
    std::function<void()> onVisibilityChange;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void search(bool moveToMatch);
    void go(bool forward);
    std::optional<std::size_t> currentIndex() const;
    void updateCounter();

    QPointer<BlockEditor> m_editor;
    QLineEdit* m_find = nullptr;
    QLineEdit* m_replace = nullptr;
    QAbstractButton* m_matchCase = nullptr;
    QLabel* m_counter = nullptr;
    std::vector<TextMatch> m_matches;
    int m_anchor = 0; // where the incremental search starts from
};

} // namespace quorrin
