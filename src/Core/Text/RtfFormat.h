#pragma once

// What the RTF reader and writer share: our own control words, and the unit
// conversions. The writer quantises every
// value with these, and the reader turns the written integers back with their
// inverses, so a document read back and written again gives the same bytes.

#include "Core/Text/AttributedString.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace quorrin::rtf {

// Control words of our own. Plain ones are ignored by other readers; the
// attribute destinations are written as ignorable {\* ...} groups. Custom
// attribute groups hold "name;value" with the name's own ';' escaped.
namespace words {
inline constexpr char colorAlpha[] = "quorrinalpha";               // in \colortbl, 0...255, after \blue
inline constexpr char underlineStyle[] = "quorrinulstyle";         // exact underline value when no standard word fits
inline constexpr char strikethroughStyle[] = "quorrinstrikestyle"; // same for strikethrough
inline constexpr char stringAttribute[] = "quorrinattrstring";     // value: the text
inline constexpr char numberAttribute[] = "quorrinattrnumber";     // value: one number
inline constexpr char numbersAttribute[] = "quorrinattrnumbers";   // value: numbers separated by ','
inline constexpr char lineLeading[] = "slleading";                 // extra space between lines, in twips
} // namespace words

namespace units {

// Largest distance written, in twips; sums of two still fit comfortably in 64 bits.
inline constexpr std::int64_t maxTwips = 1'000'000'000;
inline constexpr std::int64_t maxHalfPoints = 2'000'000;

std::int64_t twipsFromPoints(double points);
double pointsFromTwips(std::int64_t twips);
std::int64_t halfPointsFromPoints(double points);
double pointsFromHalfPoints(std::int64_t halfPoints);
int byteFromComponent(double component);
double componentFromByte(std::int64_t byte);

// A number as the shortest text that reads back to the same double ("inf"
// and "-inf" for the infinities; NaN is never written).
QByteArray numberText(double value);
std::optional<double> numberFromText(const QString& text);

} // namespace units

// The value of one hexadecimal digit, or -1 for any other byte.
int hexDigitValue(char byte);

} // namespace quorrin::rtf
