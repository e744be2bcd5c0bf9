#include "Editor/BoundedPages.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextEdit>

namespace quorrin {

BoundedPages::BoundedPages(QTextEdit& view)
    : QObject(&view)
    , m_view(&view)
{
    connect(view.document()->documentLayout(), &QAbstractTextDocumentLayout::update, this, &BoundedPages::bound);
    bound();
}

void BoundedPages::bound()
{
    if (!m_view)
        return;
    QTextDocument& document = *m_view->document();
    const QSizeF page = document.pageSize();
    // A document the view has not sized yet is not laid out at all.
    if (page.width() < 0 || (page.height() > 0 && page.height() <= pageHeight)
        || document.blockCount() <= paragraphThreshold)
        return;
    document.setPageSize(QSizeF(page.width(), pageHeight));
}

} // namespace quorrin
