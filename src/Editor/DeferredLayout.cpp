#include "Editor/DeferredLayout.h"

#include <QTextDocument>
#include <QTextEdit>

namespace quorrin {

bool DeferredLayout::pays(int changedParagraphs, int paragraphsToViewBottom)
{
    return changedParagraphs >= minimumParagraphs && changedParagraphs > paragraphsToViewBottom;
}

DeferredLayout::DeferredLayout(QTextEdit& view, int first, int last)
    : m_view(&view)
{
    const int changed = last - first + 1;
    deferWhen([&] {
        if (changed < minimumParagraphs)
            return false;
        const int bottom = view.cursorForPosition(QPoint(0, view.viewport()->height())).blockNumber();
        return pays(changed, bottom + 1);
    });
}

DeferredLayout::DeferredLayout(QTextEdit& view)
    : m_view(&view)
{
    deferWhen([] { return true; });
}

void DeferredLayout::deferWhen(const std::function<bool()>& worthIt)
{
    QTextDocument& document = *m_view->document();
    const QSizeF page = document.pageSize();
    // A document the view has not sized yet is not laid out at all.
    if (page.isNull() || page.width() < 0 || !worthIt())
        return;
    m_page = page;
    document.setPageSize(QSizeF(0, 0));
}

DeferredLayout::~DeferredLayout()
{
    // The text's size stays as it was laid out until the layout passes it
    // again, so the view keeps its scroll range and place meanwhile; what it
    // shows and the caret are laid out as they are asked for.
    if (m_page && m_view)
        m_view->document()->setPageSize(*m_page);
}

} // namespace quorrin
