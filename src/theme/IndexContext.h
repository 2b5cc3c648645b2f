#pragma once

#include <QString>

#include "site/IndexPages.h"
#include "theme/Template.h"

namespace vt::theme {

// The context of a theme's index.html: title, breadcrumbs (name; a link only for the folder itself,
// as a level above has an index only when it holds pages) down to the folder, home_link,
// top_path and site_url; categories (name, link, pages) and programs (name, link, version, summary,
// release_date, icon) by name; newest, the 20 programs with the newest release date (ties by name).
// category_count, program_count and newest_count count them and are absent at 0, so a section of
// one can hold a list's wrapper.
mustache::data IndexContext(const site::IndexPage& page, const QString& siteUrl);

} // namespace vt::theme
