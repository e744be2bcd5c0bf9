#pragma once

#include <QStringView>

namespace quorrin {

// Whether more than `limit` UTF-16 units of the text lie between two line
// break opportunities (by the Unicode line breaking rules), the spaces that
// end a word counted with it: a word that no line of text can hold.
bool hasUnbreakableRunLongerThan(QStringView text, qsizetype limit);

} // namespace quorrin
