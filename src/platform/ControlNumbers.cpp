#include "platform/ControlNumbers.h"

#include <algorithm>
#include <limits>

namespace vt::platform {
namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}
bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QStringView digitsAt(QStringView text, qsizetype& i) {
    const qsizetype start = i;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    return text.sliced(start, i - start);
}

// Any value past this is out of every range we check, so longer digit strings saturate here.
constexpr std::int64_t Saturated = std::int64_t(std::numeric_limits<std::int32_t>::max()) * 4;

std::int64_t valueOf(QStringView digits) {
    std::int64_t value = 0;
    for (const QChar digit : digits) {
        value = std::min(value * 10 + (digit.unicode() - u'0'), Saturated);
    }
    return value;
}

// Rounds whole.fraction to the nearest whole number, a half to the even neighbour.
std::int64_t roundHalfToEven(std::int64_t whole, QStringView fraction) {
    if (fraction.isEmpty() || fraction[0] < u'5') {
        return whole;
    }
    const bool exactlyHalf = fraction[0] == u'5' && std::all_of(fraction.begin() + 1, fraction.end(),
                                                                [](QChar c) { return c == u'0'; });
    if (exactlyHalf && whole % 2 == 0) {
        return whole;
    }
    return whole + 1;
}

std::optional<std::int64_t> toWholeNumber(QStringView text) {
    while (!text.isEmpty() && isBlank(text.back())) {
        text.chop(1);
    }
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        ++i;
    }
    const QStringView whole = digitsAt(text, i);
    QStringView fraction;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        fraction = digitsAt(text, i);
    }
    if (i != text.size() || (whole.isEmpty() && fraction.isEmpty())) {
        return std::nullopt;
    }
    const std::int64_t magnitude = roundHalfToEven(valueOf(whole), fraction);
    return negative ? -magnitude : magnitude;
}

template <typename Int> std::optional<Int> toRange(QStringView text) {
    const std::optional<std::int64_t> value = toWholeNumber(text);
    if (!value || *value < std::numeric_limits<Int>::min() || *value > std::numeric_limits<Int>::max()) {
        return std::nullopt;
    }
    return Int(*value);
}

} // namespace

std::optional<std::int16_t> toInt16(QStringView text) {
    return toRange<std::int16_t>(text);
}
std::optional<std::int32_t> toInt32(QStringView text) {
    return toRange<std::int32_t>(text);
}
bool isNumber(QStringView text) {
    return toWholeNumber(text).has_value();
}

} // namespace vt::platform
