#include "theme/MadeValues.h"

#include <QDate>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

#include "theme/PadElements.h"

namespace vt::theme {
namespace {

using namespace Qt::StringLiterals;

const QString Usd = u"USD"_s;
const QString UnnamedCategory = u"Unnamed category"_s;

// The patterns below read \d as any decimal digit of Unicode and let "$" stand before a line end
// at the end; a text of other ASCII characters, as most are, is told without them.
bool plainAscii(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80 && c != u'\n'; });
}

bool asciiDigits(QStringView text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A plain decimal number ("12", "0.00", "19.95"): no sign, no exponent, no thousands separator.
std::optional<double> plainNumber(const QString& text) {
    static const QRegularExpression number(u"^\\d+(\\.\\d+)?$"_s);
    const qsizetype point = text.indexOf(u'.');
    const bool plain = plainAscii(text)
                           ? asciiDigits(QStringView(text).first(point < 0 ? text.size() : point)) &&
                                 (point < 0 || asciiDigits(QStringView(text).sliced(point + 1)))
                           : number.match(text).hasMatch();
    return plain ? std::optional(text.toDouble()) : std::nullopt;
}

QString firstPresent(const Elements& elements, std::initializer_list<const char16_t*> names) {
    for (const char16_t* name : names) {
        if (const QString value = elements.value(QString::fromUtf16(name)); !value.isEmpty()) {
            return value;
        }
    }
    return QString();
}

} // namespace

QString WebAddress(const QString& value) {
    const QUrl url(value.trimmed(), QUrl::TolerantMode);
    if (!url.isValid() || (url.scheme() != u"http"_s && url.scheme() != u"https"_s) || url.host().isEmpty()) {
        return QString();
    }
    return url.toString(QUrl::FullyEncoded);
}

QString MailLink(const QString& value) {
    static const QRegularExpression address(
        u"^[^@\\s<>\"'()\\[\\],;:\\\\]+@[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)+$"_s);
    const QString trimmed = value.trimmed();
    if (!address.match(trimmed).hasMatch()) {
        return QString();
    }
    return u"mailto:"_s + QString::fromLatin1(QUrl::toPercentEncoding(trimmed, "@.+-_"));
}

QString Description(const Elements& elements) {
    return firstPresent(
        elements, {u"Char_Desc_2000", u"Char_Desc_450", u"Char_Desc_250", u"Char_Desc_80", u"Char_Desc_45"});
}

QString Summary(const Elements& elements) {
    return firstPresent(elements, {u"Char_Desc_45", u"Char_Desc_80", u"Char_Desc_250"});
}

QString CategoryName(const QString& level) {
    const QString name = ResolvedXmlText(level).trimmed();
    return name.isEmpty() ? UnnamedCategory : name;
}

QString ReleaseDate(const Elements& elements) {
    static const QRegularExpression digits(u"^\\d{1,4}$"_s);
    const QString parts[] = {elements.value(u"Program_Release_Year"_s),
                             elements.value(u"Program_Release_Month"_s),
                             elements.value(u"Program_Release_Day"_s)};
    for (const QString& part : parts) {
        if (plainAscii(part) ? part.size() > 4 || !asciiDigits(part) : !digits.match(part).hasMatch()) {
            return QString();
        }
    }
    const QDate date(parts[0].toInt(), parts[1].toInt(), parts[2].toInt());
    return date.isValid() && date.year() >= 1000 ? date.toString(Qt::ISODate) : QString();
}

QString FileSize(const Elements& elements) {
    const std::pair<const char16_t*, double> sources[] = {
        {u"File_Size_Bytes", 1.0}, {u"File_Size_K", 1024.0}, {u"File_Size_MB", 1024.0 * 1024.0}};
    for (const auto& [name, unit] : sources) {
        const std::optional<double> size = plainNumber(elements.value(QString::fromUtf16(name)));
        if (!size || *size <= 0) {
            continue;
        }
        double bytes = *size * unit;
        if (bytes < 1024) {
            return u"%1 bytes"_s.arg(qRound64(bytes));
        }
        for (const QString& scale : {u"KB"_s, u"MB"_s, u"GB"_s}) {
            bytes /= 1024;
            if (bytes < 1024 || scale == u"GB"_s) {
                return u"%1 %2"_s.arg(QString::number(bytes, 'f', 1), scale);
            }
        }
    }
    return QString();
}

std::optional<Price> PriceOf(const Elements& elements) {
    const Price free{u"Free"_s, u"0"_s, Usd};
    if (elements.value(u"Program_Type"_s).compare(u"Freeware"_s, Qt::CaseInsensitive) == 0) {
        return free;
    }
    const QString dollars = elements.value(u"Program_Cost_Dollars"_s);
    const QString other = elements.value(u"Program_Cost_Other"_s);
    const QString code = elements.value(u"Program_Cost_Other_Code"_s).toUpper();
    static const QRegularExpression currencyCode(u"^[A-Z]{3}$"_s);
    const bool inDollars = plainNumber(dollars).has_value();
    if (!inDollars && !(plainNumber(other) && currencyCode.match(code).hasMatch())) {
        return std::nullopt;
    }
    const QString amount = inDollars ? dollars : other;
    if (*plainNumber(amount) == 0) {
        return free;
    }
    const QString currency = inDollars ? Usd : code;
    return Price{amount + u' ' + currency, amount, currency};
}

const QStringList& MadeValueSources() {
    static const QStringList sources = {
        u"Char_Desc_2000"_s,        u"Char_Desc_450"_s,       u"Char_Desc_250"_s,
        u"Char_Desc_80"_s,          u"Char_Desc_45"_s,        u"Program_Release_Year"_s,
        u"Program_Release_Month"_s, u"Program_Release_Day"_s, u"File_Size_Bytes"_s,
        u"File_Size_K"_s,           u"File_Size_MB"_s,        u"Program_Type"_s,
        u"Program_Cost_Dollars"_s,  u"Program_Cost_Other"_s,  u"Program_Cost_Other_Code"_s};
    return sources;
}

} // namespace vt::theme
