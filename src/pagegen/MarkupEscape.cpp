#include "pagegen/MarkupEscape.h"

namespace vt::pagegen {
namespace {

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(QChar c) {
    return isAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Whether the "&" at `at` begins "&name;", "&#digits;" or "&#xhex;".
bool beginsReference(const QString& value, qsizetype at) {
    qsizetype i = at + 1;
    auto skip = [&](bool (*part)(QChar)) {
        const qsizetype from = i;
        while (i < value.size() && part(value[i])) {
            ++i;
        }
        return i > from;
    };
    if (i < value.size() && value[i] == u'#') {
        ++i;
        const bool hex = i < value.size() && (value[i] == u'x' || value[i] == u'X');
        i += hex;
        if (!skip(hex ? isHexDigit : isAsciiDigit)) {
            return false;
        }
    } else if (i >= value.size() || !isAsciiLetter(value[i]) ||
               !skip([](QChar c) { return isAsciiLetter(c) || isAsciiDigit(c); })) {
        return false;
    }
    return i < value.size() && value[i] == u';';
}

const char* referenceOf(const QString& value, qsizetype at) {
    switch (value[at].unicode()) {
    case u'<':
        return "&lt;";
    case u'>':
        return "&gt;";
    case u'"':
        return "&quot;";
    case u'\'':
        return "&#39;";
    case u'&':
        return beginsReference(value, at) ? nullptr : "&amp;";
    default:
        return nullptr;
    }
}

} // namespace

QString EscapeMarkup(const QString& value) {
    QString escaped;
    qsizetype from = 0;
    for (qsizetype at = 0; at < value.size(); ++at) {
        if (const char* reference = referenceOf(value, at)) {
            if (escaped.isEmpty()) {
                escaped.reserve(value.size() + 16);
            }
            escaped.append(QStringView(value).sliced(from, at - from));
            escaped.append(QLatin1String(reference));
            from = at + 1;
        }
    }
    if (from == 0) {
        return value;
    }
    escaped.append(QStringView(value).sliced(from));
    return escaped;
}

} // namespace vt::pagegen
