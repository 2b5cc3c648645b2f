#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "theme/PadElements.h"
#include "theme/Template.h"

// What a theme's page.html can use: every PAD element by its tag name, and the values made for the
// page (links within the site, the description and summary, release date, size, price, JSON-LD).
namespace vt::theme {

// Where a page stands: its program's name and, in the category layout, its category as the fill
// read it (folders nested by "/" or "\" below the Category folder; "" is the Category folder itself).
// In the flat layout the page stands beside the top index.
struct PagePlace {
    QString programName;
    std::optional<QString> category;
};

// What a run says of the whole site: its address (checked, without the slash at its end; "" when
// unknown) and the ad block when the user gave one.
struct SiteValues {
    QString siteUrl;
    std::optional<QString> adBlock;
};

// The context of the page of a PAD text. Links within the site are relative: home_link to the top
// index, index_link to the index of the page's folder, top_path ("../../", "" at the top) to the
// top folder, where the theme's files (style.css) are copied. Of the breadcrumbs (name, link) only
// the page's own category has a link: a level above it has an index only when it holds pages itself. Only
// values that are present are set, so a section of an absent value is left out. An element whose name ends in
// _URL is given only as a WebAddress and one ending in _Email only as a MailLink: a theme writes them into
// href and src. Only the values the template names are made.
struct PageNames {
    explicit PageNames(const std::set<std::string>& used); // a template's names()

    std::set<std::string> used;
    std::vector<std::pair<std::string, QString>> spelt; // each of them, also as a QString
    ElementNames elements;                              // those and the elements their values are made of
};

mustache::data PageContext(QStringView padText, const PagePlace& place, const SiteValues& site,
                           const PageNames& names);

} // namespace vt::theme
