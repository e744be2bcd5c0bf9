#pragma once

#include <QSyntaxHighlighter>

namespace quorrin {

// Appearance that is shown but never stored: a todo's remarks in the
// secondary text colour. Drawn as layout formats over the document, so the
// stored text keeps its own colours.
class DisplayAppearance final : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit DisplayAppearance(QTextDocument* document);

protected:
    void highlightBlock(const QString& text) override;
};

} // namespace quorrin
