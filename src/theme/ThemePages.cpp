#include "theme/ThemePages.h"

#include "theme/IndexContext.h"

namespace vt::theme {

using namespace Qt::StringLiterals;

pagegen::PageTheme PageThemeOf(std::shared_ptr<const Theme> theme, const SiteValues& site) {
    QString recipe = u"theme "_s + QString::fromLatin1(theme->digest.toHex()) + QChar(0) + site.siteUrl;
    if (site.adBlock) {
        recipe += QChar(0) + *site.adBlock;
    }
    return {[theme = std::move(theme), site](QStringView padText, const QString& programName,
                                             const std::optional<QString>& category) {
                return theme->page().render(PageContext(padText, {programName, category}, site));
            },
            recipe};
}

std::function<QString(const site::IndexPage&)> IndexThemeOf(std::shared_ptr<const Theme> theme,
                                                            const QString& siteUrl) {
    return [theme = std::move(theme), siteUrl](const site::IndexPage& page) {
        return theme->templates.at(IndexTemplateName).render(IndexContext(page, siteUrl));
    };
}

std::function<std::optional<site::Feed>(const site::IndexPage&)>
FeedThemeOf(std::shared_ptr<const Theme> theme) {
    if (theme->templates.count(FeedTemplateName) == 0) {
        return nullptr;
    }
    return [theme = std::move(theme)](const site::IndexPage& top) -> std::optional<site::Feed> {
        std::optional<FeedValues> feed = FeedContext(top);
        if (!feed) {
            return std::nullopt;
        }
        return site::Feed{theme->templates.at(FeedTemplateName).render(feed->context), feed->entries};
    };
}

bool HasIndexTemplate(const Theme& theme) {
    return theme.templates.count(IndexTemplateName) > 0;
}

} // namespace vt::theme
