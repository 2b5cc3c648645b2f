#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

// The fill: placeholders of a template replaced by the text between pairs of PAD tags.
namespace vt::pagegen {

struct FieldRow {
    QString openTag;
    QString closeTag;
    QString placeholder;
};

// Replaced after every row by the whole ad block, so one that arrives inside a value is filled too.
inline const QString AdPlaceholder = QStringLiteral("GoogleAdsenseXXX");

// A page never grows past this: an ad block holding its own placeholder twice would
// otherwise double the page at every row. A replacement that would pass it is not made.
constexpr qsizetype MaxPageLength = qsizetype(64) * 1024 * 1024;

// The text between the first open tag and the first close tag after it, verbatim; "" when
// either is missing.
QString valueBetween(QStringView source, QStringView openTag, QStringView closeTag);
// The text before the first close tag of what follows an open tag; "" when there is none.
QString valueBefore(QStringView rest, QStringView closeTag);
// The value of every row (valueBetween of its tags), each searched in the whole source.
QStringList ValuesBetween(QStringView source, const std::vector<FieldRow>& rows);

// Replaces every occurrence of the placeholder, left to right, without searching the inserted
// text again; false, and the page unchanged, when the page would pass MaxPageLength.
bool ReplaceEvery(QString& page, const QString& placeholder, const QString& value);

// Which of a row's two replacements were made: a replacement that would take the page past
// MaxPageLength is not.
struct RowOutcome {
    bool valueFilled = true;
    bool adBlockFilled = true;
};

// One row's replacements in the page: the placeholder by the value, then every ad placeholder
// by the ad block.
RowOutcome FillRow(QString& page, const QString& placeholder, const QString& value, const QString& adBlock);

// FillRow of each row in turn with the row's value; the outcome of each row.
std::vector<RowOutcome> FillValues(QString& page, const std::vector<FieldRow>& rows,
                                   const QStringList& values, const QString& adBlock);

struct RowFill {
    QString page;
    QStringList values; // one per row, in the table's order
};

// Applies the rows in order to the template: each row's value (searched in the whole source)
// replaces every occurrence of its placeholder, then the ad block replaces every ad
// placeholder. Inserted text is not searched again within the same replacement.
RowFill FillRows(QStringView source, QString page, const std::vector<FieldRow>& rows, const QString& adBlock);

// The 17 rows of the web page fill.
const std::vector<FieldRow>& PadFieldTable();

struct FilledPage {
    QString page;
    QString programName;             // row 1
    std::optional<QString> category; // row 17, only when the category is recorded
};

FilledPage FillTemplate(QStringView padText, const QString& pageTemplate, const QString& adBlock,
                        bool recordCategory);

} // namespace vt::pagegen
