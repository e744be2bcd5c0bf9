#pragma once

#include "Domain/ParsedJson.h"

#include <QJsonValue>

namespace quorrin {

// A note window's frame in screen points: (x, y) is the lower-left corner,
// y grows upwards. Equal when all four numbers are (NaN never is).
struct WindowFrame {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    friend bool operator==(const WindowFrame&, const WindowFrame&) = default;

    static WindowFrame fromJson(const QJsonValue& value);
    static WindowFrame fromJson(const json::ParsedValue& value);
    QJsonValue toJson() const;
};

} // namespace quorrin
