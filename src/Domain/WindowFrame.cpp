#include "Domain/WindowFrame.h"

#include "Domain/Json.h"

namespace quorrin {

using namespace Qt::StringLiterals;

WindowFrame WindowFrame::fromJson(const QJsonValue& value)
{
    const json::ObjectReader reader(value);
    return WindowFrame{
        .x = reader.get<double>("x"_L1),
        .y = reader.get<double>("y"_L1),
        .width = reader.get<double>("width"_L1),
        .height = reader.get<double>("height"_L1),
    };
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
