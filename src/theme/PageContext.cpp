#include "theme/PageContext.h"

#include <QRegularExpression>

#include "site/SiteAddress.h"
#include "theme/MadeValues.h"
#include "theme/PadElements.h"

namespace vt::theme {
namespace {

using namespace Qt::StringLiterals;

const QString TopFolderName = u"Category"_s;
const QString IndexName = u"index.html"_s;

// The element as a page may show it: addresses checked, everything else as the PAD text says.
QString shownElement(const QString& name, const QString& value) {
    if (name.endsWith(u"_URL"_s, Qt::CaseInsensitive)) {
        return WebAddress(value);
    }
    if (name.endsWith(u"_Email"_s, Qt::CaseInsensitive)) {
        return MailLink(value);
    }
    return value;
}

void setPresent(mustache::data& context, const std::string& name, const QString& value) {
    if (!value.isEmpty()) {
        context.set(name, value.toStdString());
    }
}

// The levels of a category, as the category pass makes its folders.
QStringList levelsOf(const std::optional<QString>& category) {
    return category ? category->split(QRegularExpression(u"[/\\\\]"_s), Qt::SkipEmptyParts) : QStringList();
}

// The elements the structured data shows.
const QStringList JsonLdSources = {u"Program_Name"_s,
                                   u"Program_Version"_s,
                                   u"Program_OS_Support"_s,
                                   u"Program_Category_Class"_s,
                                   u"Program_Specific_Category"_s,
                                   u"Primary_Download_URL"_s,
                                   u"Application_Screenshot_URL"_s,
                                   u"Company_Name"_s,
                                   u"Company_WebSite_URL"_s};

// A JSON string of the text: '"', '\' and the control characters escaped, a surrogate without
// its other half as \uXXXX, and every '<' as \u003c, so that it cannot end the script element it
// stands in; every other character as it is.
void appendJsonString(QString& json, QStringView text) {
    // The characters JSON escapes by a letter, and their letters.
    static constexpr QStringView LetterEscaped = u"\"\\\b\f\n\r\t";
    static constexpr QStringView EscapeLetters = u"\"\\bfnrt";
    json += u'"';
    qsizetype plain = 0; // where the characters not yet written begin
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar c = text[at];
        const bool paired = c.isHighSurrogate()  ? at + 1 < text.size() && text[at + 1].isLowSurrogate()
                            : c.isLowSurrogate() ? at > 0 && text[at - 1].isHighSurrogate()
                                                 : true;
        const qsizetype letter =
            c.unicode() < 0x20 || c == u'"' || c == u'\\' ? LetterEscaped.indexOf(c) : -1;
        if (letter < 0 && c.unicode() >= 0x20 && c != u'<' && paired) {
            continue;
        }
        json += text.sliced(plain, at - plain);
        plain = at + 1;
        if (letter >= 0) {
            json += u'\\';
            json += EscapeLetters[letter];
        } else {
            json += u"\\u"_s + QString::number(c.unicode(), 16).rightJustified(4, u'0');
        }
    }
    json += text.sliced(plain);
    json += u'"';
}

// A schema.org SoftwareApplication, its members in the order of their names (as QJsonDocument
// wrote them, so that the pages of a theme keep their bytes).
std::string jsonLd(const Elements& shown, const QString& description, const QString& releaseDate,
                   const QString& pageUrl, const std::optional<Price>& price) {
    QString json = u"{\"@context\":\"https://schema.org\",\"@type\":\"SoftwareApplication\""_s;
    json.reserve(1024); // room for the data of most pages
    const auto member = [&json](QStringView name, const QString& value) {
        json += u",\""_s;
        json += name;
        json += u"\":"_s;
        appendJsonString(json, value);
    };
    const auto memberIfPresent = [&member](QStringView name, const QString& value) {
        if (!value.isEmpty()) {
            member(name, value);
        }
    };
    const QString category = shown.value(u"Program_Category_Class"_s);
    memberIfPresent(u"applicationCategory",
                    category.isEmpty() ? shown.value(u"Program_Specific_Category"_s) : category);
    memberIfPresent(u"datePublished", releaseDate);
    memberIfPresent(u"description", description);
    memberIfPresent(u"downloadUrl", shown.value(u"Primary_Download_URL"_s));
    memberIfPresent(u"name", shown.value(u"Program_Name"_s));
    if (price) {
        json += u",\"offers\":{\"@type\":\"Offer\""_s;
        member(u"price", price->amount);
        member(u"priceCurrency", price->currency);
        json += u'}';
    }
    memberIfPresent(u"operatingSystem", shown.value(u"Program_OS_Support"_s));
    if (const QString company = shown.value(u"Company_Name"_s); !company.isEmpty()) {
        json += u",\"publisher\":{\"@type\":\"Organization\""_s;
        member(u"name", company);
        memberIfPresent(u"url", shown.value(u"Company_WebSite_URL"_s));
        json += u'}';
    }
    memberIfPresent(u"screenshot", shown.value(u"Application_Screenshot_URL"_s));
    memberIfPresent(u"softwareVersion", shown.value(u"Program_Version"_s));
    memberIfPresent(u"url", pageUrl);
    json += u'}';
    return json.toStdString();
}

QStringList elementsOf(const std::set<std::string>& used) {
    QStringList names = MadeValueSources() + JsonLdSources;
    for (const std::string& name : used) {
        names += QString::fromStdString(name);
    }
    return names;
}

} // namespace

PageNames::PageNames(const std::set<std::string>& used)
    : used(used)
    , elements(elementsOf(used)) {
    for (const std::string& name : used) {
        spelt.emplace_back(name, QString::fromStdString(name));
    }
}

mustache::data PageContext(QStringView padText, const PagePlace& place, const SiteValues& site,
                           const PageNames& names) {
    const std::set<std::string>& used = names.used;
    // Each element as a page shows it: the made values read no address or e-mail, so they are made
    // from the same table.
    Elements elements = PadElements(padText, names.elements);
    for (auto element = elements.begin(); element != elements.end();) {
        *element = shownElement(element.key(), *element);
        element = element->isEmpty() ? elements.erase(element) : std::next(element);
    }
    const auto wanted = [&used](const char* name) {
        return used.count(name) > 0;
    };
    mustache::data context;
    for (const auto& [name, key] : names.spelt) {
        setPresent(context, name, elements.value(key));
    }
    const QStringList levels = levelsOf(place.category);
    const QString pageFile = place.programName + u".html"_s;
    const QString pageUrl =
        site.siteUrl.isEmpty() || !(wanted("page_url") || wanted("json_ld"))
            ? QString()
            : site.siteUrl + u'/' +
                  site::EncodedPath((place.category ? QStringList{TopFolderName} : QStringList()) + levels +
                                    QStringList{pageFile});
    if (wanted("breadcrumbs")) {
        mustache::data breadcrumbs{mustache::data::type::list};
        for (qsizetype level = 0; level < levels.size(); ++level) {
            mustache::data crumb;
            crumb.set("name", CategoryName(levels[level]).toStdString());
            if (level == levels.size() - 1) {
                crumb.set("link", IndexName.toStdString());
            }
            breadcrumbs << crumb;
        }
        context.set("breadcrumbs", breadcrumbs);
    }
    // The made values, each only when the template names it: they override the elements they share
    // a name with, as long as they are present.
    const auto setWanted = [&](const char* name, const auto& make) {
        if (wanted(name)) {
            setPresent(context, name, make());
        }
    };
    const bool withJsonLd = wanted("json_ld");
    const QString description = wanted("description") || withJsonLd ? Description(elements) : QString();
    const QString releaseDate = wanted("release_date") || withJsonLd ? ReleaseDate(elements) : QString();
    const std::optional<Price> price = wanted("price") || withJsonLd ? PriceOf(elements) : std::nullopt;
    setWanted("page_file", [&] { return pageFile; });
    setWanted("page_url", [&] { return pageUrl; });
    setWanted("site_url", [&] { return site.siteUrl; });
    setWanted("top_path", [&] { return u"../"_s.repeated(levels.size()); });
    setWanted("home_link", [&] { return u"../"_s.repeated(levels.size()) + IndexName; });
    setWanted("index_link", [&] { return IndexName; });
    setWanted("description", [&] { return description; });
    setWanted("summary", [&] { return Summary(elements); });
    setWanted("release_date", [&] { return releaseDate; });
    setWanted("file_size", [&] { return FileSize(elements); });
    setWanted("price", [&] { return price ? price->shown : QString(); });
    if (withJsonLd) {
        context.set("json_ld", jsonLd(elements, description, releaseDate, pageUrl, price));
    }
    setWanted("ad_block", [&] { return site.adBlock.value_or(QString()); });
    return context;
}

} // namespace vt::theme
