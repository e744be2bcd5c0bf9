#include "Domain/RandomID.h"

#include <QRandomGenerator>

#include <array>

namespace quorrin {

QUuid randomID()
{
    std::array<quint32, 4> words{};
    QRandomGenerator::global()->fillRange(words.data(), qsizetype(words.size()));
    const auto byte = [&](int index) { return uchar(words[std::size_t(index / 4)] >> (8 * (index % 4))); };
    // The version (4: random) and the variant (10xx: RFC 4122) over the random bits.
    const auto version = ushort((words[1] >> 16 & 0x0fff) | 0x4000);
    const auto variant = uchar((byte(8) & 0x3f) | 0x80);
    return QUuid(words[0], ushort(words[1]), version, variant, byte(9), byte(10), byte(11), byte(12), byte(13),
                 byte(14), byte(15));
}

} // namespace quorrin
