#include "theme/PageContext.h"

#include <QJsonDocument>
#include <QJsonObject>
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
    if (value.isEmpty()) {
        return value;
    }
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

void setPresent(QJsonObject& object, const QString& name, const QString& value) {
    if (!value.isEmpty()) {
        object.insert(name, value);
    }
}

// The levels of a category, as the category pass makes its folders.
QStringList levelsOf(const std::optional<QString>& category) {
    return category ? category->split(QRegularExpression(u"[/\\\\]"_s), Qt::SkipEmptyParts) : QStringList();
}

// A schema.org SoftwareApplication, written so that it cannot end the script element it stands in:
// every "<" as \u003c, which JSON reads as the same character.
QString jsonLd(const Elements& elements, const QString& description, const QString& releaseDate,
               const QString& pageUrl, const std::optional<Price>& price) {
    const auto shown = [&elements](const QString& name) {
        return shownElement(name, elements.value(name));
    };
    const QString category = shown(u"Program_Category_Class"_s);
    QJsonObject object{{u"@context"_s, u"https://schema.org"_s}, {u"@type"_s, u"SoftwareApplication"_s}};
    setPresent(object, u"name"_s, shown(u"Program_Name"_s));
    setPresent(object, u"softwareVersion"_s, shown(u"Program_Version"_s));
    setPresent(object, u"operatingSystem"_s, shown(u"Program_OS_Support"_s));
    setPresent(object, u"applicationCategory"_s,
               category.isEmpty() ? shown(u"Program_Specific_Category"_s) : category);
    setPresent(object, u"description"_s, description);
    setPresent(object, u"datePublished"_s, releaseDate);
    setPresent(object, u"downloadUrl"_s, shown(u"Primary_Download_URL"_s));
    setPresent(object, u"url"_s, pageUrl);
    setPresent(object, u"screenshot"_s, shown(u"Application_Screenshot_URL"_s));
    if (price) {
        object.insert(u"offers"_s, QJsonObject{{u"@type"_s, u"Offer"_s},
                                               {u"price"_s, price->amount},
                                               {u"priceCurrency"_s, price->currency}});
    }
    if (const QString company = shown(u"Company_Name"_s); !company.isEmpty()) {
        QJsonObject publisher{{u"@type"_s, u"Organization"_s}, {u"name"_s, company}};
        setPresent(publisher, u"url"_s, shown(u"Company_WebSite_URL"_s));
        object.insert(u"publisher"_s, publisher);
    }
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact))
        .replace(u'<', u"\\u003c"_s);
}

} // namespace

mustache::data PageContext(QStringView padText, const PagePlace& place, const SiteValues& site,
                           const std::set<std::string>& used) {
    const Elements elements = PadElements(padText);
    const auto wanted = [&used](const char* name) {
        return used.count(name) > 0;
    };
    const auto shown = [&elements](const QString& name) {
        return shownElement(name, elements.value(name));
    };
    mustache::data context;
    for (const std::string& name : used) {
        setPresent(context, name, shown(QString::fromStdString(name)));
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
    setWanted("json_ld", [&] { return jsonLd(elements, description, releaseDate, pageUrl, price); });
    setWanted("ad_block", [&] { return site.adBlock.value_or(QString()); });
    return context;
}

} // namespace vt::theme
