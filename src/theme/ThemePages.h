#pragma once

#include <memory>

#include "pagegen/PageTheme.h"
#include "site/IndexPages.h"
#include "theme/PageContext.h"
#include "theme/Theme.h"

namespace vt::theme {

// The pages of a run made with the theme's page.html, for the site the run names.
pagegen::PageTheme PageThemeOf(std::shared_ptr<const Theme> theme, const SiteValues& site);

// The index pages, the feed (when the theme has a feed.xml) and the files of the theme; refused
// when it has no index.html.
Result<site::IndexTheme> IndexThemeOf(std::shared_ptr<const Theme> theme);

} // namespace vt::theme
