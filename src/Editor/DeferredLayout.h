#pragma once

#include <QPointer>
#include <QSizeF>

#include <functional>
#include <optional>

class QTextEdit;

namespace quorrin {

// Qt lays out again at once every paragraph from the first to the last one
// an edit changed the formats of, once the text was laid out: marking every
// paragraph of a long note with its block would lay the whole note out in
// one turn of the event loop. While one of these defers, the view's document
// is not laid out at all (Qt does nothing while the page has no size); when
// it ends, the page is given back, which lays the whole text out again in
// the event loop's idle steps (what the view shows and the caret at once, as
// they are asked for), and the view stays scrolled where it was.
class DeferredLayout {
public:
    // Deferring pays when many paragraphs change, and more of them than lie
    // above the view's bottom: only those are laid out again at once then.
    static constexpr int minimumParagraphs = 1000;
    static bool pays(int changedParagraphs, int paragraphsToViewBottom);

    // The paragraphs (by number) from `first` to `last` are about to change
    // their formats, and nothing else: the layout is deferred when that pays.
    DeferredLayout(QTextEdit& view, int first, int last);
    // Defers the layout of whatever the next edits change.
    explicit DeferredLayout(QTextEdit& view);
    ~DeferredLayout();
    DeferredLayout(const DeferredLayout&) = delete;
    DeferredLayout& operator=(const DeferredLayout&) = delete;

    bool defers() const { return m_page.has_value(); }

private:
    // Takes the page, to give it back at the end, when the view has sized
    // its document and `worthIt` (asked only then) says deferring pays.
    void deferWhen(const std::function<bool()>& worthIt);

    QPointer<QTextEdit> m_view;
    std::optional<QSizeF> m_page; // the page to give back
};

} // namespace quorrin
