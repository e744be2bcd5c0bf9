#pragma once

#include <QString>

#include <optional>

namespace quorrin {

// Strings compare as Unicode text: canonically equivalent spellings (a
// precomposed "é" and "e" + combining acute) are equal.
inline bool canonicallyEqual(const QString& a, const QString& b)
{
    return a == b || a.normalized(QString::NormalizationForm_C) == b.normalized(QString::NormalizationForm_C);
}

inline bool canonicallyEqual(const std::optional<QString>& a, const std::optional<QString>& b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a || canonicallyEqual(*a, *b);
}

} // namespace quorrin
