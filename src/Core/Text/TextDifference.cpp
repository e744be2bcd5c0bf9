#include "Core/Text/TextDifference.h"

#include <algorithm>

namespace quorrin {

TextDifference differenceBetween(const QString& before, const QString& after)
{
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return {int(prefix), int(suffix)};
}

} // namespace quorrin
