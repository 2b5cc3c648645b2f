#pragma once

#include <memory>

#include "pagegen/PageTheme.h"
#include "site/IndexPages.h"
#include "theme/PageContext.h"
#include "theme/Theme.h"

namespace vt::theme {

// The pages of a run made with the theme's page.html, for the site the run names.
pagegen::PageTheme PageThemeOf(std::shared_ptr<const Theme> theme, const SiteValues& site);

// The index pages made with the theme's index.html, for the site at that address; the theme must
// have one (HasIndexTemplate).
std::function<QString(const site::IndexPage&)> IndexThemeOf(std::shared_ptr<const Theme> theme,
                                                            const QString& siteUrl);
bool HasIndexTemplate(const Theme& theme);

// The feed made with the theme's feed.xml; none when the theme has no feed.xml.
std::function<std::optional<site::Feed>(const site::IndexPage&)>
FeedThemeOf(std::shared_ptr<const Theme> theme);

} // namespace vt::theme
