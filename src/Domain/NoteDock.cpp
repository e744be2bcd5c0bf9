#include "Domain/NoteDock.h"
#include "Domain/Json.h"
#include "Domain/RawValue.h"

namespace quorrin {

using namespace Qt::StringLiterals;

namespace dockEdge {

QString rawValue(DockEdge edge)
{
    switch (edge) {
    case DockEdge::Left: return u"left"_s;
    case DockEdge::Right: return u"right"_s;
    case DockEdge::Above: return u"above"_s;
    case DockEdge::Below: return u"below"_s;
    }
    return {};
}

std::optional<DockEdge> fromRawValue(const QString& raw)
{
    return caseNamed<DockEdge>(allCases, rawValue, raw);
}

} // namespace dockEdge

namespace {

NoteDock readNoteDock(const json::ObjectReader& reader)
{
    return NoteDock{
        .targetID = reader.get<QUuid>("targetID"_L1),
        .edge = reader.get<DockEdge>("edge"_L1),
    };
}

} // namespace

NoteDock NoteDock::fromJson(const QJsonValue& value)
{
    return readNoteDock(json::ObjectReader(value));
}

NoteDock NoteDock::fromJson(const json::ParsedValue& value)
{
    return readNoteDock(json::ObjectReader(value));
}

QJsonValue NoteDock::toJson() const
{
    return json::ObjectWriter().set("targetID"_L1, targetID).set("edge"_L1, edge).object();
}

} // namespace quorrin
