#pragma once

#include <QObject>
#include <QPointer>

class QTextEdit;

namespace quorrin {

// Qt lays out a word wider than its line by measuring the word to its end
// before breaking it, again for every line the word fills: a paragraph that
// is one long run without a break opportunity takes time growing with the
// square of its length (minutes for a megabyte of "a"). While the view's text
// holds such a run, the view wraps anywhere instead, which lays out every
// line once. The view wraps at word boundaries again once its whole text is
// replaced by one without.
class LongRunWrapping final : public QObject {
    Q_OBJECT
public:
    // Runs up to this long cost a few hundred microseconds to lay out.
    static constexpr qsizetype runLimit = 1000;

    explicit LongRunWrapping(QTextEdit& view);

    bool wrapsAnywhere() const { return m_anywhere; }

private:
    void contentsChanged(int position, int added);
    void setAnywhere(bool anywhere);

    QPointer<QTextEdit> m_view;
    bool m_anywhere = false;
};

} // namespace quorrin
