#pragma once

#include <QObject>
#include <QPointer>

class QTextEdit;

namespace quorrin {

// Qt lays a text view's document out on one page of unbounded height, and
// its layout then counts heights in a fixed-point type whose "unbounded" is
// 8,388,607 pixels: a text taller than that (a megabyte of short lines) makes
// the layout ask, line after line, for a next page that an unbounded page
// never gives, and it never returns. A view whose text has many paragraphs
// gives its document pages of a height well below that instead. A page ends
// only between lines, so the text shows a gap of at most one line once every
// `pageHeight` pixels, which nobody scrolls past in practice.
//
// The text view sets an unbounded page again whenever its width changes, and
// lays the text out down to where it is scrolled right away: the bound is put
// back as soon as the layout reports, before that.
class BoundedPages final : public QObject {
    Q_OBJECT
public:
    static constexpr double pageHeight = 1 << 22;
    // Fewer paragraphs than this never come near the limit (each would have
    // to be taller than 800 pixels), and keep Qt's single page.
    static constexpr int paragraphThreshold = 10000;

    explicit BoundedPages(QTextEdit& view);

private:
    void bound();

    QPointer<QTextEdit> m_view;
};

} // namespace quorrin
