#include "Core/Text/TextDifference.h"

#include "Core/Sequences/SharedEnds.h"

namespace quorrin {

TextDifference differenceBetween(const QString& before, const QString& after)
{
    const SharedEnds ends = sharedEnds(before, after);
    return {int(ends.head), int(ends.tail)};
}

} // namespace quorrin
