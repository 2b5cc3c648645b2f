#include "theme/IndexContext.h"

#include <algorithm>

#include "theme/MadeValues.h"
#include "theme/PadElements.h"

namespace vt::theme {
namespace {

using namespace Qt::StringLiterals;

// The newest programs a top index shows.
constexpr std::size_t NewestShown = 20;

struct Shown {
    QString name;
    mustache::data values;
    QString releaseDate;
};

Shown shownProgram(const site::IndexProgram& program) {
    Elements elements;
    for (auto element = program.facts.elements.cbegin(); element != program.facts.elements.cend();
         ++element) {
        elements.insert(element.key(), ResolvedXmlText(element.value()).trimmed());
    }
    Shown shown{ResolvedXmlText(program.name), {}, ReleaseDate(elements)};
    const std::pair<const char*, QString> values[] = {
        {"name", shown.name},
        {"link", program.link},
        {"version", ResolvedXmlText(program.facts.version).trimmed()},
        {"summary", Summary(elements)},
        {"release_date", shown.releaseDate},
        {"icon", WebAddress(elements.value(u"Application_Icon_URL"_s))}};
    for (const auto& [name, value] : values) {
        if (!value.isEmpty()) {
            shown.values.set(name, value.toStdString());
        }
    }
    return shown;
}

void setCount(mustache::data& context, const char* name, std::size_t count) {
    if (count > 0) {
        context.set(name, std::to_string(count));
    }
}

} // namespace

mustache::data IndexContext(const site::IndexPage& page, const QString& siteUrl) {
    mustache::data context;
    context.set("title", CategoryName(page.title).toStdString());
    context.set("home_link", page.homeLink.toStdString());
    if (!page.levels.isEmpty()) {
        context.set("top_path", u"../"_s.repeated(page.levels.size()).toStdString());
    }
    if (!siteUrl.isEmpty()) {
        context.set("site_url", siteUrl.toStdString());
    }
    mustache::data breadcrumbs{mustache::data::type::list};
    for (qsizetype level = 0; level < page.levels.size(); ++level) {
        mustache::data crumb;
        crumb.set("name", CategoryName(page.levels[level]).toStdString());
        if (level == page.levels.size() - 1) {
            crumb.set("link", site::IndexFileName.toStdString());
        }
        breadcrumbs << crumb;
    }
    context.set("breadcrumbs", breadcrumbs);
    mustache::data categories{mustache::data::type::list};
    for (const site::IndexCategory& category : page.categories) {
        mustache::data row;
        row.set("name", CategoryName(category.name).toStdString());
        row.set("link", category.link.toStdString());
        row.set("pages", std::to_string(category.pages));
        categories << row;
    }
    context.set("categories", categories);
    setCount(context, "category_count", page.categories.size());
    std::vector<Shown> shown;
    mustache::data programs{mustache::data::type::list};
    for (const site::IndexProgram& program : page.programs) {
        shown.push_back(shownProgram(program));
        programs << shown.back().values;
    }
    context.set("programs", programs);
    setCount(context, "program_count", shown.size());
    // Newest first; an ISO date sorts as its text.
    shown.erase(
        std::remove_if(shown.begin(), shown.end(), [](const Shown& s) { return s.releaseDate.isEmpty(); }),
        shown.end());
    std::sort(shown.begin(), shown.end(), [](const Shown& a, const Shown& b) {
        return a.releaseDate != b.releaseDate ? a.releaseDate > b.releaseDate
                                              : site::NameBefore(a.name, b.name);
    });
    shown.resize(std::min(shown.size(), NewestShown));
    mustache::data newest{mustache::data::type::list};
    for (const Shown& program : shown) {
        newest << program.values;
    }
    context.set("newest", newest);
    setCount(context, "newest_count", shown.size());
    return context;
}

} // namespace vt::theme
