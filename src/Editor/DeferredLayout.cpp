#include "Editor/DeferredLayout.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

namespace quorrin {

bool DeferredLayout::pays(int changedParagraphs, int paragraphsToViewBottom)
{
    return changedParagraphs >= minimumParagraphs && changedParagraphs > 2 * paragraphsToViewBottom;
}

DeferredLayout::DeferredLayout(QTextEdit& view, int first, int last)
    : m_view(&view)
{
    QTextDocument& document = *view.document();
    const QSizeF page = document.pageSize();
    // A document the view has not sized yet is not laid out at all.
    if (page.isNull() || page.width() < 0 || last - first + 1 < minimumParagraphs)
        return;
    const int bottom = view.cursorForPosition(QPoint(0, view.viewport()->height())).blockNumber();
    if (!pays(last - first + 1, bottom + 1))
        return;
    m_page = page;
    document.setPageSize(QSizeF(0, 0));
}

DeferredLayout::~DeferredLayout()
{
    if (!m_page || !m_view)
        return;
    QTextDocument& document = *m_view->document();
    QAbstractTextDocumentLayout& layout = *document.documentLayout();
    {
        // The view hears of the text's size once the layout has passed its
        // bottom, and keeps its scroll position: told of the first lines'
        // height alone, it would scroll back to fit them.
        const QSignalBlocker quiet(&layout);
        document.setPageSize(*m_page);
        const int bottom = m_view->verticalScrollBar()->value() + m_view->viewport()->height();
        layout.hitTest(QPointF(0, bottom), Qt::FuzzyHit); // lays the text out down to there
    }
    m_view->viewport()->update();
}

} // namespace quorrin
