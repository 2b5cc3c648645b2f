#include "theme/IndexContext.h"

#include <QUrl>

#include <algorithm>

#include "theme/MadeValues.h"
#include "theme/PadElements.h"

namespace vt::theme {
namespace {

using namespace Qt::StringLiterals;

// The newest programs a top index shows, and a feed holds.
constexpr std::size_t NewestShown = 20;
constexpr std::size_t NewestInFeed = 50;

struct Shown {
    QString name;
    mustache::data values;
    QString releaseDate;
    const site::IndexProgram* program;
    Elements elements;
};

Shown shownProgram(const site::IndexProgram& program) {
    Elements elements;
    for (auto element = program.facts.elements.cbegin(); element != program.facts.elements.cend();
         ++element) {
        elements.insert(element.key(), ResolvedXmlText(element.value()).trimmed());
    }
    Shown shown{ResolvedXmlText(program.name), {}, ReleaseDate(elements), &program, elements};
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

// The programs with a release date, newest first (ties by name), at most `count` of them; an ISO
// date sorts as its text.
std::vector<Shown> newestOf(std::vector<Shown> shown, std::size_t count) {
    shown.erase(
        std::remove_if(shown.begin(), shown.end(), [](const Shown& s) { return s.releaseDate.isEmpty(); }),
        shown.end());
    std::sort(shown.begin(), shown.end(), [](const Shown& a, const Shown& b) {
        return a.releaseDate != b.releaseDate ? a.releaseDate > b.releaseDate
                                              : site::NameBefore(a.name, b.name);
    });
    shown.resize(std::min(shown.size(), count));
    return shown;
}

// The text without the characters XML 1.0 cannot hold (controls but tab and line ends, U+FFFE,
// U+FFFF and unpaired surrogates), which a PAD text may carry and would make the feed unreadable.
std::string xmlText(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            kept += text[i];
            kept += text[++i];
        } else if ((c >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r') && !QChar::isSurrogate(c) &&
                   c != 0xFFFE && c != 0xFFFF) {
            kept += text[i];
        }
    }
    return kept.toStdString();
}

// Char_Desc_250, else the longest shorter one.
QString feedSummary(const Elements& elements) {
    for (const QString& tag : {u"Char_Desc_250"_s, u"Char_Desc_80"_s, u"Char_Desc_45"_s}) {
        if (const QString text = elements.value(tag); !text.isEmpty()) {
            return text;
        }
    }
    return QString();
}

void setCount(mustache::data& context, const char* name, std::size_t count) {
    if (count > 0) {
        context.set(name, std::to_string(count));
    }
}

} // namespace

mustache::data IndexContext(const site::IndexPage& page) {
    mustache::data context;
    context.set("title", CategoryName(page.title).toStdString());
    context.set("home_link", page.homeLink.toStdString());
    if (!page.levels.isEmpty()) {
        context.set("top_path", u"../"_s.repeated(page.levels.size()).toStdString());
    }
    if (!page.siteUrl.isEmpty()) {
        context.set("site_url", page.siteUrl.toStdString());
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
    if (!page.feedLink.isEmpty()) {
        context.set("feed_link", page.feedLink.toStdString());
    }
    shown = newestOf(std::move(shown), NewestShown);
    mustache::data newest{mustache::data::type::list};
    for (const Shown& program : shown) {
        newest << program.values;
    }
    context.set("newest", newest);
    setCount(context, "newest_count", shown.size());
    return context;
}

std::optional<FeedValues> FeedContext(const site::IndexPage& top) {
    std::vector<Shown> shown;
    for (const site::IndexProgram& program : top.programs) {
        shown.push_back(shownProgram(program));
    }
    shown = newestOf(std::move(shown), NewestInFeed);
    if (shown.empty()) {
        return std::nullopt;
    }
    const auto timeOf = [](const QString& date) {
        return (date + u"T00:00:00Z"_s).toStdString();
    };
    mustache::data entries{mustache::data::type::list};
    for (const Shown& program : shown) {
        const QString url = top.folderUrl + u'/' + program.program->link;
        const QString version = ResolvedXmlText(program.program->facts.version).trimmed();
        mustache::data entry;
        entry.set("id", url.toStdString());
        entry.set("link", url.toStdString());
        entry.set("title", xmlText(version.isEmpty() ? program.name : program.name + u' ' + version));
        entry.set("updated", timeOf(program.releaseDate));
        if (const QString summary = feedSummary(program.elements); !summary.isEmpty()) {
            entry.set("summary", xmlText(summary));
        }
        entries << entry;
    }
    mustache::data context;
    context.set("feed_url", (top.folderUrl + u'/' + site::FeedFileName).toStdString());
    context.set("home_url", (top.folderUrl + u'/' + site::IndexFileName).toStdString());
    context.set("site_name", QUrl(top.folderUrl).host().toStdString());
    context.set("updated", timeOf(shown.front().releaseDate));
    context.set("entries", entries);
    return FeedValues{std::move(context), int(shown.size())};
}

} // namespace vt::theme
