#include "site/SiteAddress.h"

#include <QUrl>

namespace vt::site {
namespace {

using namespace Qt::StringLiterals;

const QString NotSiteAddress =
    u"The site URL \"%1\" is not an absolute http or https address such as https://www.example.com (%2)."_s;

} // namespace

Result<QString> SiteAddress(const QString& given) {
    const QString trimmed = given.trimmed();
    const QUrl url(trimmed, QUrl::StrictMode);
    const auto refused = [&](const QString& why) {
        return Status::failure(NotSiteAddress.arg(given, why));
    };
    if (trimmed.isEmpty()) {
        return refused(u"no address was given"_s);
    }
    if (!url.isValid()) {
        return refused(url.errorString());
    }
    if (url.scheme() != u"http"_s && url.scheme() != u"https"_s) {
        return refused(url.scheme().isEmpty() ? u"no scheme"_s : u"the scheme is %1"_s.arg(url.scheme()));
    }
    if (url.host().isEmpty()) {
        return refused(u"no host"_s);
    }
    // A user name or password would stand in every link of the sitemap and the index pages, in
    // plain sight; an "@" with neither is still a user part.
    if (url.authority().contains(u'@')) {
        return refused(u"a user name or password cannot stand in a site URL"_s);
    }
    if (url.hasQuery() || url.hasFragment()) {
        return refused(u"a query or fragment cannot stand before a path"_s);
    }
    QString address = url.toString(QUrl::FullyEncoded);
    while (address.endsWith(u'/')) {
        address.chop(1);
    }
    return address;
}

QString EncodedPath(const QStringList& segments) {
    QString path;
    for (const QString& segment : segments) {
        if (!path.isEmpty()) {
            path += u'/';
        }
        path += QString::fromLatin1(QUrl::toPercentEncoding(segment));
    }
    return path;
}

} // namespace vt::site
