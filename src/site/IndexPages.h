#pragma once

#include "files/Outcome.h"

#include <QString>
#include <QStringList>

#include <functional>

#include "site/IndexTemplate.h"

// Index pages and the sitemap of the pages a category run filed into <folder>/Category: one index
// per category folder that holds pages, a top Category/index.html linking each, and sitemap.xml at
// the folder's top with every page and index. Every file is written whole or not at all, never
// through a symbolic link.
namespace vt::site {

inline const QString CategoryFolderName = QStringLiteral("Category");

struct IndexRequest {
    QString folder;  // the PAD text folder, whose Category folder holds the pages
    QString siteUrl; // the address the folder is published at, as the user gave it
    QString indexTemplate = DefaultIndexTemplate();
    QString templateSource = QStringLiteral("default"); // names the template in a refusal
};

struct IndexRun {
    int indexPages = 0; // written, the top one included
    int folders = 0;    // below the Category folder, holding pages
    int pages = 0;
    int urls = 0;             // in the sitemap
    QStringList sitemapFiles; // written, sitemap.xml first
    QStringList failures;     // each names its file
    bool stopped = false;     // goesOn said stop: no sitemap was written
};

// Refused, with the reason and nothing written, when the site URL is no absolute http or https
// address, the template cannot be used, or the folder or its Category folder is missing, is a
// link or cannot be read. goesOn is asked before each index page.
Result<IndexRun> MakeIndexPages(const IndexRequest& request, const std::function<bool()>& goesOn);

// What the run wrote, in one line; and each failure, after a line that counts them ("" when none).
QString DoneText(const IndexRun& run);
QString FailuresText(const IndexRun& run);

} // namespace vt::site
