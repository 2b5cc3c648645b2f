#include "article/ArticleFill.h"

namespace vt::article {
namespace {

pagegen::FieldRow row(QStringView tagName, const QString& placeholder) {
    return {u'<' + tagName.toString() + u'>', QStringLiteral("</") + tagName.toString() + u'>', placeholder};
}

} // namespace

const std::vector<pagegen::FieldRow>& ArticleFieldTable() {
    // Char_Desc_45 feeds both the summary and the first body paragraph.
    static const std::vector<pagegen::FieldRow> table = {
        row(u"Program_Name", QStringLiteral("titleXXX")), row(u"Char_Desc_45", QStringLiteral("summaryXXX")),
        row(u"Char_Desc_80", QStringLiteral("bodyXXX2")), row(u"Char_Desc_250", QStringLiteral("bodyXXX3")),
        row(u"Keywords", QStringLiteral("keywordsXXX")),  row(u"Char_Desc_45", QStringLiteral("bodyXXX1")),
    };
    return table;
}

// The fill ends after the last row. The article maker's step2 button once pressed itself at
// this point, asking for the same fill again from inside it; that repeat is not made.
FilledArticle FillArticle(QStringView source, const QString& pageTemplate, const QString& adBlock) {
    pagegen::RowFill fill = pagegen::FillRows(source, pageTemplate, ArticleFieldTable(), adBlock);
    return {std::move(fill.page), fill.values.first()};
}

} // namespace vt::article
