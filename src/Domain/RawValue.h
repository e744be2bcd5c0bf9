#pragma once

#include <QString>

#include <optional>

namespace quorrin {

// The case of an enumeration whose raw string is `raw`: exact and
// case-sensitive, nothing for an unknown string.
template <typename Enum, typename Cases, typename RawValueOf>
std::optional<Enum> caseNamed(const Cases& allCases, RawValueOf rawValueOf, const QString& raw)
{
    for (Enum value : allCases) {
        if (rawValueOf(value) == raw)
            return value;
    }
    return std::nullopt;
}

} // namespace quorrin
