#include "Core/Text/LineBreaks.h"

#include <QTextBoundaryFinder>

namespace quorrin {

bool hasUnbreakableRunLongerThan(QStringView text, qsizetype limit)
{
    if (text.size() <= limit)
        return false;
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    qsizetype previous = 0;
    for (qsizetype next = breaks.toNextBoundary(); next >= 0; next = breaks.toNextBoundary()) {
        if (next - previous > limit)
            return true;
        previous = next;
    }
    return text.size() - previous > limit;
}

} // namespace quorrin
