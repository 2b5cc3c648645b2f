#include "pagegen/TemplateFill.h"

#include <QStringMatcher>

#include <vector>

#include "pagegen/TemplateDefaults.h"

namespace vt::pagegen {
namespace {

// Replaces every occurrence, left to right, without searching the inserted text again; false
// when the placeholder stays because the page would pass its limit. The page is searched once.
bool replaceBounded(QString& page, const QString& placeholder, const QString& value) {
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

FieldRow row(const char16_t* tagName, const QString& placeholder) {
    const QString name = QString::fromUtf16(tagName);
    return {u'<' + name + u'>', QStringLiteral("</") + name + u'>', placeholder};
}

} // namespace

QString valueBetween(QStringView source, QStringView openTag, QStringView closeTag) {
    const qsizetype open = source.indexOf(openTag);
    if (open < 0) {
        return QString();
    }
    return valueBefore(source.sliced(open + openTag.size()), closeTag);
}

QString valueBefore(QStringView rest, QStringView closeTag) {
    const qsizetype close = rest.indexOf(closeTag);
    return close < 0 ? QString() : rest.first(close).toString();
}

RowOutcome FillRow(QString& page, const QString& placeholder, const QString& value, const QString& adBlock) {
    const bool valueFilled = replaceBounded(page, placeholder, value);
    return {valueFilled, replaceBounded(page, AdPlaceholder, adBlock)};
}

RowFill FillRows(QStringView source, QString page, const std::vector<FieldRow>& rows,
                 const QString& adBlock) {
    QStringList values;
    values.reserve(qsizetype(rows.size()));
    for (const FieldRow& row : rows) {
        values += valueBetween(source, row.openTag, row.closeTag);
        FillRow(page, row.placeholder, values.back(), adBlock);
    }
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
