#pragma once

#include <memory>

#include "pagegen/PageTheme.h"
#include "theme/PageContext.h"
#include "theme/Theme.h"

namespace vt::theme {

// The pages of a run made with the theme's page.html, for the site the run names.
pagegen::PageTheme PageThemeOf(std::shared_ptr<const Theme> theme, const SiteValues& site);

} // namespace vt::theme
