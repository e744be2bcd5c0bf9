#include "Editor/DisplayAppearance.h"

#include "Editor/EditorText.h"
#include "Editor/TextDocumentConversion.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTextBlock>

namespace quorrin {

DisplayAppearance::DisplayAppearance(QTextDocument* document)
    : QSyntaxHighlighter(document)
{
}

void DisplayAppearance::highlightBlock(const QString&)
{
    const QTextBlock block = currentBlock();
    const QColor secondary = QGuiApplication::palette().color(QPalette::PlaceholderText);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.charFormat().property(textdoc::BlockRole).toString() != editortext::remarksRole)
            continue;
        QTextCharFormat shown;
        shown.setForeground(secondary);
        setFormat(fragment.position() - block.position(), fragment.length(), shown);
    }
}

} // namespace quorrin
