#include "Domain/WindowFrame.h"

#include "Domain/Json.h"

namespace quorrin {

using namespace Qt::StringLiterals;

namespace {

WindowFrame readWindowFrame(const json::ObjectReader& reader)
{
    return WindowFrame{
        .x = reader.get<double>("x"_L1),
        .y = reader.get<double>("y"_L1),
        .width = reader.get<double>("width"_L1),
        .height = reader.get<double>("height"_L1),
    };
}

} // namespace

WindowFrame WindowFrame::fromJson(const QJsonValue& value)
{
    return readWindowFrame(json::ObjectReader(value));
}

WindowFrame WindowFrame::fromJson(const json::ParsedValue& value)
{
    return readWindowFrame(json::ObjectReader(value));
}

QJsonValue WindowFrame::toJson() const
{
    return json::ObjectWriter()
        .set("x"_L1, x)
        .set("y"_L1, y)
        .set("width"_L1, width)
        .set("height"_L1, height)
        .object();
}

} // namespace quorrin
