#include "Editor/LongRunWrapping.h"

#include "Core/Text/LineBreaks.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

namespace quorrin {

LongRunWrapping::LongRunWrapping(QTextEdit& view)
    : QObject(&view)
    , m_view(&view)
{
    // The document reports a change before it lays the changed text out.
    connect(view.document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { contentsChanged(position, added); });
}

void LongRunWrapping::contentsChanged(int position, int added)
{
    const QTextDocument& document = *m_view->document();
    // The whole text replaced decides both ways; an edit can only bring a run in.
    const bool whole = position == 0 && added >= document.characterCount() - 1;
    if (m_anywhere && !whole)
        return;
    bool found = false;
    const QTextBlock last = document.findBlock(position + added);
    for (QTextBlock block = document.findBlock(position); block.isValid() && !found; block = block.next()) {
        // A paragraph no longer than the limit holds no longer run (and its
        // text is not copied out to tell).
        found = block.length() - 1 > runLimit && hasUnbreakableRunLongerThan(block.text(), runLimit);
        if (block == last)
            break;
    }
    setAnywhere(found);
}

void LongRunWrapping::setAnywhere(bool anywhere)
{
    if (anywhere == m_anywhere)
        return;
    m_anywhere = anywhere;
    m_view->setWordWrapMode(anywhere ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

} // namespace quorrin
