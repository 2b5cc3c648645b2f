#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The values a theme's page shows that no single PAD element holds as it is, made from the
// elements of a PAD text (PadElements). Each is absent ("" or none) when the PAD text does not say.
namespace vt::theme {

using Elements = QHash<QString, QString>;

// An address a page may link to or load: an absolute http or https address with a host, each
// character an address may not hold percent-encoded ("a b" as "a%20b"); "" for anything else
// (javascript:, data:, a relative path), so a theme's section for it is left out.
QString WebAddress(const QString& value);
// An e-mail address as a mailto: link, percent-encoded; "" when it is no plain address.
QString MailLink(const QString& value);

// The longest description present (Char_Desc_2000, 450, 250, 80, 45 in turn), and the shortest
// (Char_Desc_45, 80, 250 in turn).
QString Description(const Elements& elements);
QString Summary(const Elements& elements);

// A category level as a page shows it: references resolved, trimmed, and a level of nothing but
// white space named as such.
QString CategoryName(const QString& level);

// "2024-03-07" from Program_Release_Year, Month and Day, when they form a real date.
QString ReleaseDate(const Elements& elements);

// "4.2 MB": from File_Size_Bytes, else File_Size_K, else File_Size_MB, counted in 1024s.
QString FileSize(const Elements& elements);

struct Price {
    QString shown;    // "Free", "19.95 USD"
    QString amount;   // "0", "19.95"
    QString currency; // "USD", "EUR"
};
// Free when Program_Type says Freeware or the cost is 0; else Program_Cost_Dollars in USD, or
// Program_Cost_Other in the currency Program_Cost_Other_Code names; none when unknown.
std::optional<Price> PriceOf(const Elements& elements);

// The elements the values above are made from.
const QStringList& MadeValueSources();

} // namespace vt::theme
