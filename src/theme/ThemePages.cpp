#include "theme/ThemePages.h"

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

} // namespace vt::theme
