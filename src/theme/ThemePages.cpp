#include "theme/ThemePages.h"

#include "theme/IndexContext.h"

namespace vt::theme {

using namespace Qt::StringLiterals;

namespace {

const QString NoIndexTemplate =
    u"The theme \"%1\" has no index.html: a theme makes the index pages from it."_s;

} // namespace

pagegen::PageTheme PageThemeOf(std::shared_ptr<const Theme> theme, const SiteValues& site) {
    QString recipe = u"theme "_s + QString::fromLatin1(theme->digest.toHex()) + QChar(0) + site.siteUrl;
    if (site.adBlock) {
        recipe += QChar(0) + *site.adBlock;
    }
    return {[theme, site, names = PageNames(theme->page().names())](
                QStringView padText, const QString& programName, const std::optional<QString>& category) {
                return theme->page().render(PageContext(padText, {programName, category}, site, names));
            },
            recipe,
            [theme](const QString& folder) {
                return CopyThemeFiles(*theme, folder);
            }};
}

Result<site::IndexTheme> IndexThemeOf(std::shared_ptr<const Theme> theme) {
    if (theme->templates.count(IndexTemplateName) == 0) {
        return Status::failure(NoIndexTemplate.arg(theme->source));
    }
    site::IndexTheme made;
    made.source = theme->source;
    made.index = [theme](const site::IndexPage& page) {
        return theme->templates.at(IndexTemplateName).render(IndexContext(page));
    };
    if (theme->templates.count(FeedTemplateName) > 0) {
        made.feed = [theme](const site::IndexPage& top) -> std::optional<site::Feed> {
            std::optional<FeedValues> feed = FeedContext(top);
            if (!feed) {
                return std::nullopt;
            }
            return site::Feed{theme->templates.at(FeedTemplateName).render(feed->context), feed->entries};
        };
    }
    made.copyFiles = [theme](const QString& folder) {
        return CopyThemeFiles(*theme, folder);
    };
    return made;
}

} // namespace vt::theme
