#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// The sitemap of the pages, as the sitemaps.org protocol has search engines read it: one UTF-8
// file of <url> entries, or, past a file's limits, numbered files and an index of them.
namespace vt::site {

// The protocol's limits for one sitemap file, uncompressed.
inline constexpr int MaxSitemapUrls = 50000;
inline constexpr qsizetype MaxSitemapBytes = qsizetype(50) * 1024 * 1024;

struct SitemapLimits {
    int urls = MaxSitemapUrls;
    qsizetype bytes = MaxSitemapBytes;
};

struct SiteEntry {
    QString path; // below the site's address, percent-encoded (EncodedPath)
    std::int64_t modifiedNs = 0;
};

struct SitemapFile {
    QString name; // "sitemap.xml", "sitemap-1.xml" ...
    QByteArray bytes;
};

inline const QString SitemapName = QStringLiteral("sitemap.xml");

// Whether the name is one a split sitemap gives its files: "sitemap-<n>.xml", n a positive decimal
// number without leading zeros.
bool IsSitemapPartName(const QString& name);

// sitemap.xml with every entry when one file holds them all; otherwise sitemap-1.xml,
// sitemap-2.xml ... filled in turn up to the limits, and sitemap.xml as their sitemap index,
// listed first. The files stand in the folder at `folderPath` below the site's address (encoded;
// "" for the site's top), which every entry's path must lie below. Each <lastmod> is the entry's
// time in UTC (a file's, in the index: its newest).
std::vector<SitemapFile> Sitemaps(const QString& siteAddress, const QString& folderPath,
                                  const std::vector<SiteEntry>& entries, SitemapLimits limits = {});

} // namespace vt::site
