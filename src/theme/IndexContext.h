#pragma once

#include <QString>

#include <optional>

#include "site/IndexPages.h"
#include "theme/Template.h"

namespace vt::theme {

// The context of a theme's index.html: title, breadcrumbs (name; a link only for the folder itself,
// as a level above has an index only when it holds pages) down to the folder, home_link,
// top_path and site_url; categories (name, link, pages) and programs (name, link, version, summary,
// release_date, icon) by name; newest, the 20 programs with the newest release date (ties by name).
// category_count, program_count and newest_count count them and are absent at 0, so a section of
// one can hold a list's wrapper. feed_link, on the top index, when the feed was written.
mustache::data IndexContext(const site::IndexPage& page);

// The context of a theme's feed.xml, of the top index's programs: feed_url, home_url (the top
// index's address), site_name (its host), updated (the newest entry's, so that an unchanged site
// makes the same feed) and entries, the 50 programs with the newest release date (ties by name),
// each with id and link (its page's address), title (name and version), updated (its release date
// in RFC 3339) and summary (Char_Desc_250, else the longest shorter one). None when no program has
// a release date.
struct FeedValues {
    mustache::data context;
    int entries = 0;
};
std::optional<FeedValues> FeedContext(const site::IndexPage& top);

} // namespace vt::theme
