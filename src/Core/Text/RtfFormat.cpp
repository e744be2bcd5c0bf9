#include "Core/Text/RtfFormat.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorrin::rtf::units {

namespace {

std::int64_t roundClamped(double value, std::int64_t low, std::int64_t high)
{
    if (!std::isfinite(value))
        return 0;
    return std::llround(std::clamp(value, double(low), double(high)));
}

} // namespace

std::int64_t twipsFromPoints(double points)
{
    return roundClamped(points * 20.0, -maxTwips, maxTwips);
}

double pointsFromTwips(std::int64_t twips)
{
    return double(twips) / 20.0;
}

std::int64_t halfPointsFromPoints(double points)
{
    return roundClamped(points * 2.0, 0, maxHalfPoints);
}

double pointsFromHalfPoints(std::int64_t halfPoints)
{
    return double(std::clamp<std::int64_t>(halfPoints, 0, maxHalfPoints)) / 2.0;
}

int byteFromComponent(double component)
{
    return int(roundClamped(component * 255.0, 0, 255));
}

double componentFromByte(std::int64_t byte)
{
    return double(std::clamp<std::int64_t>(byte, 0, 255)) / 255.0;
}

QByteArray numberText(double value)
{
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

std::optional<double> numberFromText(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed == QLatin1String("inf"))
        return std::numeric_limits<double>::infinity();
    if (trimmed == QLatin1String("-inf"))
        return -std::numeric_limits<double>::infinity();
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace quorrin::rtf::units

namespace quorrin::rtf {

int hexDigitValue(char byte)
{
    if (byte >= '0' && byte <= '9')
        return byte - '0';
    if (byte >= 'a' && byte <= 'f')
        return byte - 'a' + 10;
    if (byte >= 'A' && byte <= 'F')
        return byte - 'A' + 10;
    return -1;
}

} // namespace quorrin::rtf
