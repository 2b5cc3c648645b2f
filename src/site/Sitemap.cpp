#include "site/Sitemap.h"

#include <QDateTime>

#include <algorithm>

namespace vt::site {
namespace {

using namespace Qt::StringLiterals;

constexpr char Head[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
constexpr char UrlSetOpen[] = "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n";
constexpr char UrlSetClose[] = "</urlset>\n";
constexpr char IndexOpen[] = "<sitemapindex xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n";
constexpr char IndexClose[] = "</sitemapindex>\n";

// The five characters the protocol has escaped in a URL.
QByteArray xmlEscaped(const QString& text) {
    QByteArray out;
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// W3C datetime, to the second, in UTC: "2024-05-01T12:34:56Z".
QByteArray w3cTime(std::int64_t ns) {
    const qint64 ms = ns >= 0 ? ns / 1000000 : -((-ns + 999999) / 1000000);
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(Qt::ISODate).toLatin1();
}

QByteArray entryOf(const char* tag, const QByteArray& location, std::int64_t modifiedNs) {
    return "<" + QByteArray(tag) + "><loc>" + location + "</loc><lastmod>" + w3cTime(modifiedNs) +
           "</lastmod></" + tag + ">\n";
}

struct Open {
    QByteArray bytes;
    int urls = 0;
    std::int64_t newestNs = 0;
};

} // namespace

bool IsSitemapPartName(const QString& name) {
    const QString head = u"sitemap-"_s;
    const QString tail = u".xml"_s;
    if (name.size() <= head.size() + tail.size() || !name.startsWith(head) || !name.endsWith(tail)) {
        return false;
    }
    const QStringView number = QStringView(name).sliced(head.size(), name.size() - head.size() - tail.size());
    return number.front() != u'0' &&
           std::all_of(number.begin(), number.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

std::vector<SitemapFile> Sitemaps(const QString& siteAddress, const QString& folderPath,
                                  const std::vector<SiteEntry>& entries, SitemapLimits limits) {
    const QByteArray prefix = xmlEscaped(siteAddress + u'/');
    const QByteArray folderPrefix = folderPath.isEmpty() ? prefix : prefix + xmlEscaped(folderPath + u'/');
    const QByteArray opening = QByteArray(Head) + UrlSetOpen;
    const qsizetype closing = qsizetype(sizeof(UrlSetClose) - 1);
    std::vector<Open> parts(1, {opening, 0, 0});
    for (const SiteEntry& entry : entries) {
        const QByteArray url = entryOf("url", prefix + xmlEscaped(entry.path), entry.modifiedNs);
        Open* part = &parts.back();
        if (part->urls > 0 &&
            (part->urls == limits.urls || part->bytes.size() + url.size() + closing > limits.bytes)) {
            part = &parts.emplace_back(Open{opening, 0, 0});
        }
        part->bytes += url;
        part->newestNs = part->urls++ == 0 ? entry.modifiedNs : std::max(part->newestNs, entry.modifiedNs);
    }
    for (Open& part : parts) {
        part.bytes += UrlSetClose;
    }
    if (parts.size() == 1) {
        return {{SitemapName, std::move(parts.front().bytes)}};
    }
    std::vector<SitemapFile> files(1, {SitemapName, QByteArray(Head) + IndexOpen});
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const QString name = u"sitemap-%1.xml"_s.arg(i + 1);
        files.front().bytes += entryOf("sitemap", folderPrefix + xmlEscaped(name), parts[i].newestNs);
        files.push_back({name, std::move(parts[i].bytes)});
    }
    files.front().bytes += IndexClose;
    return files;
}

} // namespace vt::site
