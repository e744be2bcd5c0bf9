#pragma once

#include <algorithm>
#include <cstddef>

namespace quorrin {

// How many elements two sequences hold alike at their start (`head`) and,
// past those, at their end (`tail`). The two runs never overlap in either
// sequence, so what lies between them is what one replaced of the other (an
// element repeated beside its twin counts as inserted after it).
struct SharedEnds {
    std::size_t head = 0;
    std::size_t tail = 0;
};

// For any two sequences of one kind that have size() and operator[]: texts,
// vectors of blocks or of ids.
template <typename Sequence> SharedEnds sharedEnds(const Sequence& before, const Sequence& after)
{
    const auto at = [](const Sequence& sequence, std::size_t index) -> decltype(auto) {
        return sequence[static_cast<decltype(sequence.size())>(index)];
    };
    const std::size_t beforeSize = std::size_t(before.size());
    const std::size_t afterSize = std::size_t(after.size());
    const std::size_t shorter = std::min(beforeSize, afterSize);
    SharedEnds ends;
    while (ends.head < shorter && at(before, ends.head) == at(after, ends.head))
        ++ends.head;
    while (ends.tail < shorter - ends.head
           && at(before, beforeSize - 1 - ends.tail) == at(after, afterSize - 1 - ends.tail))
        ++ends.tail;
    return ends;
}

} // namespace quorrin
