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
    if (name.endsWith(u"_URL"_s, Qt::CaseInsensitive)) {
        return WebAddress(value);
    }
    if (name.endsWith(u"_Email"_s, Qt::CaseInsensitive)) {
        return MailLink(value);
    }
    return value;
}

void setPresent(mustache::data& context, const char* name, const QString& value) {
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
QString jsonLd(const Elements& shown, const QString& description, const QString& releaseDate,
               const QString& pageUrl, const std::optional<Price>& price) {
    QJsonObject object{{u"@context"_s, u"https://schema.org"_s}, {u"@type"_s, u"SoftwareApplication"_s}};
    setPresent(object, u"name"_s, shown.value(u"Program_Name"_s));
    setPresent(object, u"softwareVersion"_s, shown.value(u"Program_Version"_s));
    setPresent(object, u"operatingSystem"_s, shown.value(u"Program_OS_Support"_s));
    setPresent(object, u"applicationCategory"_s,
               shown.value(u"Program_Category_Class"_s, shown.value(u"Program_Specific_Category"_s)));
    setPresent(object, u"description"_s, description);
    setPresent(object, u"datePublished"_s, releaseDate);
    setPresent(object, u"downloadUrl"_s, shown.value(u"Primary_Download_URL"_s));
    setPresent(object, u"url"_s, pageUrl);
    setPresent(object, u"screenshot"_s, shown.value(u"Application_Screenshot_URL"_s));
    if (price) {
        object.insert(u"offers"_s, QJsonObject{{u"@type"_s, u"Offer"_s},
                                               {u"price"_s, price->amount},
                                               {u"priceCurrency"_s, price->currency}});
    }
    if (const QString company = shown.value(u"Company_Name"_s); !company.isEmpty()) {
        QJsonObject publisher{{u"@type"_s, u"Organization"_s}, {u"name"_s, company}};
        setPresent(publisher, u"url"_s, shown.value(u"Company_WebSite_URL"_s));
        object.insert(u"publisher"_s, publisher);
    }
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact))
        .replace(u'<', u"\\u003c"_s);
}

} // namespace

mustache::data PageContext(QStringView padText, const PagePlace& place, const SiteValues& site) {
    const Elements elements = PadElements(padText);
    Elements shown;
    mustache::data context;
    for (auto element = elements.cbegin(); element != elements.cend(); ++element) {
        const QString value = shownElement(element.key(), element.value());
        if (!value.isEmpty()) {
            shown.insert(element.key(), value);
            context.set(element.key().toStdString(), value.toStdString());
        }
    }
    const QString pageFile = place.programName + u".html"_s;
    const QStringList levels = levelsOf(place.category);
    const QString pageUrl =
        site.siteUrl.isEmpty()
            ? QString()
            : site.siteUrl + u'/' +
                  site::EncodedPath((place.category ? QStringList{TopFolderName} : QStringList()) + levels +
                                    QStringList{pageFile});
    mustache::data breadcrumbs{mustache::data::type::list};
    for (qsizetype level = 0; level < levels.size(); ++level) {
        mustache::data crumb;
        crumb.set("name", CategoryName(levels[level]).toStdString());
        if (level == levels.size() - 1) {
            crumb.set("link", IndexName.toStdString());
        }
        breadcrumbs << crumb;
    }
    const QString description = Description(elements);
    const QString releaseDate = ReleaseDate(elements);
    const std::optional<Price> price = PriceOf(elements);
    setPresent(context, "page_file", pageFile);
    setPresent(context, "page_url", pageUrl);
    setPresent(context, "site_url", site.siteUrl);
    setPresent(context, "top_path", u"../"_s.repeated(levels.size()));
    setPresent(context, "home_link", u"../"_s.repeated(levels.size()) + IndexName);
    setPresent(context, "index_link", IndexName);
    context.set("breadcrumbs", breadcrumbs);
    setPresent(context, "description", description);
    setPresent(context, "summary", Summary(elements));
    setPresent(context, "release_date", releaseDate);
    setPresent(context, "file_size", FileSize(elements));
    setPresent(context, "price", price ? price->shown : QString());
    setPresent(context, "json_ld", jsonLd(shown, description, releaseDate, pageUrl, price));
    setPresent(context, "ad_block", site.adBlock.value_or(QString()));
    return context;
}

} // namespace vt::theme
