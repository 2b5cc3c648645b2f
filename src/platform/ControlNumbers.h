#pragma once

#include <QStringView>

#include <cstdint>
#include <optional>

// Numbers read from the texts of controls: spaces around, an optional sign, digits and an
// optional fraction rounded to the nearest whole number (halves to the even neighbour:
// "2.5" is 2, "3.5" is 4). Anything else, or a value out of range, gives no number.
namespace vt::platform {

std::optional<std::int16_t> toInt16(QStringView text);
// Whether the text reads as a number, in range or not: what tells "too large" from "no number".
bool isNumber(QStringView text);
std::optional<std::int32_t> toInt32(QStringView text);

} // namespace vt::platform
