#include "article/ArticleTemplates.h"

#include "pagegen/TemplateDefaults.h"

namespace vt::article {
namespace {

// The category line is fixed text, ending in one space; it is never filled from the PAD file.
constexpr QStringView CategoryLine = u"CATEGORY: Computers-and-Technology/Software ";

} // namespace

const QString& ShortArticleTemplate() {
    static const QString text = pagegen::JoinLines({
        CategoryLine,
        u"",
        u"TITLE:",
        u"titleXXX",
        u"",
        u"SUMMARY:",
        u"summaryXXX",
        u"",
        u"BODY:",
        u"bodyXXX",
        u"",
        u"",
        u"",
        u"RESOURCE BOX:",
        u"resourceXXX",
        u"",
        u"KEYWORDS:",
        u"keywordsXXX",
    });
    return text;
}

const QString& LongArticleTemplate() {
    static const QString text = pagegen::JoinLines({
        CategoryLine,
        u"",
        u"TITLE:",
        u"titleXXX",
        u"",
        u"SUMMARY:",
        u"summaryXXX",
        u"",
        u"BODY:",
        u"Description (45 words)",
        u"bodyXXX1",
        u"",
        u"Description (80 words)",
        u"bodyXXX2",
        u"",
        u"Description (250 words)",
        u"bodyXXX3",
        u"",
        u"Description (2000 words)",
        u"bodyXXX4",
        u"",
        u"",
        u"",
        u"RESOURCE BOX:",
        u"resourceXXX",
        u"",
        u"KEYWORDS:",
        u"keywordsXXX",
    });
    return text;
}

} // namespace vt::article
