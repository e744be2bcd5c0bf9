#pragma once

#include "Domain/Json.h"

#include <QJsonValue>
#include <QUuid>

#include <array>
#include <optional>

namespace quorrin {

// The side of the target note on which a docked note sits.
enum class DockEdge { Left, Right, Above, Below };

namespace dockEdge {

inline constexpr std::array<DockEdge, 4> allCases = {DockEdge::Left, DockEdge::Right, DockEdge::Above, DockEdge::Below};

QString rawValue(DockEdge edge);
// Exact, case-sensitive match; nothing for an unknown string.
std::optional<DockEdge> fromRawValue(const QString& raw);

} // namespace dockEdge

namespace json {
template <> struct Coder<DockEdge> : EnumCoder<DockEdge, dockEdge::rawValue, dockEdge::fromRawValue> {};
} // namespace json

// The note this note is docked to, and on which of its edges.
struct NoteDock {
    QUuid targetID;
    DockEdge edge = DockEdge::Right;

    friend bool operator==(const NoteDock&, const NoteDock&) = default;

    static NoteDock fromJson(const QJsonValue& value);
    static NoteDock fromJson(const json::ParsedValue& value);
    QJsonValue toJson() const;
};

} // namespace quorrin
