#pragma once

#include <QString>
#include <QStringView>

#include <vector>

#include "pagegen/TemplateFill.h"

// The article fill: the page fill applied to the article's own placeholders.
namespace vt::article {

// The six rows of the article fill, applied in this order. The tags are the PAD tags of the
// page fill; the placeholders are the article's own, and none of them equals a placeholder of
// the web page template (matching is case-sensitive: "titleXXX" is not found in "PageTitleXXX").
const std::vector<pagegen::FieldRow>& ArticleFieldTable();

struct FilledArticle {
    QString page;
    QString programName; // row 1's value, "" when its tags are missing
};

// Fills the template from the source text row by row, replacing the ad placeholder with the ad
// block after every row. Every row searches the whole source, so the order of the fields in
// the PAD text does not matter; a value inserted by an earlier row is searched by later rows.
FilledArticle FillArticle(QStringView source, const QString& pageTemplate, const QString& adBlock);

} // namespace vt::article
