#include "pagegen/TemplateFill.h"

#include <QStringMatcher>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "pagegen/FillPlan.h"
#include "pagegen/TemplateDefaults.h"

namespace vt::pagegen {
namespace {

// The first place of the needle in the text, as QStringView::indexOf finds it: the needle's
// first character is looked for, then the rest compared. Tags start with a character that is rare
// in a PAD text, so this passes over a long text without the set-up of a general search.
qsizetype firstIndexOf(QStringView text, QStringView needle) {
    if (needle.isEmpty()) {
        return 0;
    }
    const qsizetype last = text.size() - needle.size();
    for (qsizetype at = text.indexOf(needle.front()); at >= 0 && at <= last;
         at = text.indexOf(needle.front(), at + 1)) {
        if (text.sliced(at, needle.size()) == needle) {
            return at;
        }
    }
    return -1;
}

// The first place of every open tag, found in one pass over the places of each first character;
// at each place only the tags that go on with the character there are compared.
std::vector<qsizetype> firstPlaces(QStringView source, const std::vector<FieldRow>& rows) {
    std::vector<qsizetype> places(rows.size(), -1);
    std::vector<std::size_t> unresolved;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].openTag.size() < 2) {
            places[row] = firstIndexOf(source, rows[row].openTag);
        } else {
            unresolved.push_back(row);
        }
    }
    while (!unresolved.empty()) {
        const QChar first = rows[unresolved.front()].openTag.front();
        // The tags of this first character chained by their second; all above 127 share the last chain.
        std::array<std::size_t, 128> chainOf;
        chainOf.fill(rows.size());
        std::vector<std::size_t> nextInChain(rows.size(), rows.size());
        const auto chain = [](QChar second) {
            return std::min<char16_t>(second.unicode(), 127);
        };
        std::vector<std::size_t> others;
        std::size_t left = 0;
        for (const std::size_t row : unresolved) {
            const QString& tag = rows[row].openTag;
            if (tag.front() == first) {
                nextInChain[row] = std::exchange(chainOf[chain(tag[1])], row);
                ++left;
            } else {
                others.push_back(row);
            }
        }
        for (qsizetype at = source.indexOf(first); at >= 0 && at + 1 < source.size() && left > 0;
             at = source.indexOf(first, at + 1)) {
            const QStringView rest = source.sliced(at);
            for (std::size_t row = chainOf[chain(rest[1])]; row < rows.size(); row = nextInChain[row]) {
                const QString& tag = rows[row].openTag;
                if (places[row] < 0 && rest.size() >= tag.size() && rest[tag.size() - 1] == tag.back() &&
                    rest.sliced(0, tag.size()) == tag) {
                    places[row] = at;
                    --left;
                }
            }
        }
        unresolved = std::move(others);
    }
    return places;
}

} // namespace

bool ReplaceEvery(QString& page, const QString& placeholder, const QString& value) {
    if (placeholder.isEmpty()) {
        return true;
    }
    const QStringMatcher matcher(placeholder);
    std::vector<qsizetype> places;
    for (qsizetype at = matcher.indexIn(page); at >= 0; at = matcher.indexIn(page, at + placeholder.size())) {
        places.push_back(at);
    }
    if (places.empty()) {
        return true;
    }
    const qsizetype grown = page.size() + (value.size() - placeholder.size()) * qsizetype(places.size());
    if (grown > MaxPageLength) {
        return false;
    }
    QString filled;
    filled.reserve(grown);
    qsizetype from = 0;
    for (const qsizetype at : places) {
        filled.append(QStringView(page).sliced(from, at - from));
        filled.append(value);
        from = at + placeholder.size();
    }
    filled.append(QStringView(page).sliced(from));
    page = std::move(filled);
    return true;
}

namespace {

FieldRow row(const char16_t* tagName, const QString& placeholder) {
    const QString name = QString::fromUtf16(tagName);
    return {u'<' + name + u'>', QStringLiteral("</") + name + u'>', placeholder};
}

} // namespace

QString valueBetween(QStringView source, QStringView openTag, QStringView closeTag) {
    const qsizetype open = firstIndexOf(source, openTag);
    if (open < 0) {
        return QString();
    }
    return valueBefore(source.sliced(open + openTag.size()), closeTag);
}

QString valueBefore(QStringView rest, QStringView closeTag) {
    const qsizetype close = firstIndexOf(rest, closeTag);
    return close < 0 ? QString() : rest.first(close).toString();
}

QStringList ValuesBetween(QStringView source, const std::vector<FieldRow>& rows) {
    const std::vector<qsizetype> opens = firstPlaces(source, rows);
    QStringList values;
    values.reserve(qsizetype(rows.size()));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        values += opens[row] < 0
                      ? QString()
                      : valueBefore(source.sliced(opens[row] + rows[row].openTag.size()), rows[row].closeTag);
    }
    return values;
}

RowOutcome FillRow(QString& page, const QString& placeholder, const QString& value, const QString& adBlock) {
    const bool valueFilled = ReplaceEvery(page, placeholder, value);
    return {valueFilled, ReplaceEvery(page, AdPlaceholder, adBlock)};
}

std::vector<RowOutcome> FillValues(QString& page, const std::vector<FieldRow>& rows,
                                   const QStringList& values, const QString& adBlock) {
    if (std::optional<QString> planned = PlannedFill(page, rows, values, adBlock)) {
        page = *std::move(planned);
        return std::vector<RowOutcome>(rows.size());
    }
    std::vector<RowOutcome> outcomes;
    outcomes.reserve(rows.size());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        outcomes.push_back(FillRow(page, rows[row].placeholder, values.at(qsizetype(row)), adBlock));
    }
    return outcomes;
}

RowFill FillRows(QStringView source, QString page, const std::vector<FieldRow>& rows,
                 const QString& adBlock) {
    QStringList values = ValuesBetween(source, rows);
    FillValues(page, rows, values, adBlock);
    return {std::move(page), std::move(values)};
}

const std::vector<FieldRow>& PadFieldTable() {
    static const std::vector<FieldRow> table = {
        row(u"Program_Name", QStringLiteral("ProgramNameXXX")),
        row(u"Company_WebSite_URL", QStringLiteral("CompanyURLXXX")),
        row(u"Application_Screenshot_URL", SampleScreenshotUrl),
        row(u"Keywords", QStringLiteral("PageKeywordsXXX")),
        row(u"Primary_Download_URL", QStringLiteral("DOWNLOADurlXXX")),
        row(u"Author_Email", QStringLiteral("AuthorEmailXXX")),
        row(u"Program_Name", QStringLiteral("PageTitleXXX")),
        row(u"Keywords", QStringLiteral("KeywordsXXX")),
        row(u"Char_Desc_45", QStringLiteral("PageDescriptionXXX")),
        row(u"Char_Desc_45", QStringLiteral("DescriptionXXX")),
        row(u"Application_Info_URL", QStringLiteral("APPinfoXXX")),
        row(u"Application_Order_URL", QStringLiteral("APPorderXXX")),
        row(u"Char_Desc_80", QStringLiteral("desc80XXX")),
        row(u"Char_Desc_250", QStringLiteral("desc250XXX")),
        row(u"Char_Desc_450", QStringLiteral("desc450XXX")),
        row(u"Char_Desc_2000", QStringLiteral("desc2000XXX")),
        row(u"Program_Specific_Category", QStringLiteral("CategoryXXX")),
    };
    return table;
}

FilledPage FillTemplate(QStringView padText, const QString& pageTemplate, const QString& adBlock,
                        bool recordCategory) {
    RowFill fill = FillRows(padText, pageTemplate, PadFieldTable(), adBlock);
    return {std::move(fill.page), fill.values.first(),
            recordCategory ? std::optional(fill.values.last()) : std::nullopt};
}

} // namespace vt::pagegen
