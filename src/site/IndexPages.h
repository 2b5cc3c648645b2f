#pragma once

#include "files/Outcome.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "site/IndexTemplate.h"
#include "site/PageTree.h"
#include "site/ProgramFacts.h"

// Index pages and the sitemap of the pages a category run filed into <folder>/Category: one index
// per category folder that holds pages, a top Category/index.html linking each whose index stands, and
// Category/sitemap.xml with every page and index (beside the pages, so that a later category run
// never takes it for a PAD text of the folder). A folder without a Category folder is a folder of
// pages itself, as a page run writes them: its index.html lists them, and its sitemap.xml holds
// them and the index. Every file is written whole or not at all, never through a symbolic link.
// Once every file of the sitemap is written, the files an earlier split left beside it
// (sitemap-<n>.xml) that this one no longer has are removed.
namespace vt::site {

inline const QString CategoryFolderName = QStringLiteral("Category");

// What a theme's index page is made of. Links are relative to the page and percent-encoded.
struct IndexProgram {
    QString name; // as its page file is named
    QString link;
    ProgramFacts facts;
};
struct IndexCategory {
    QString name; // its levels joined by "/"
    QString link;
    int pages = 0;
};
struct IndexPage {
    QString title;                         // as the index template's IndexTitleXXX
    QStringList levels;                    // the folder's below the Category folder; none on the top index
    QString homeLink;                      // to the top index
    QString siteUrl;                       // the site's address, as SiteAddress gives it
    QString folderUrl;                     // the address of the index's folder, no slash at its end
    QString feedLink;                      // on the top index, to the feed when one was written
    std::vector<IndexCategory> categories; // on the top index of the category layout
    // The folder's programs by name; on the top index of the category layout every page of the site.
    std::vector<IndexProgram> programs;
};

// A feed of the newest programs, as a theme makes it.
struct Feed {
    QString text;
    int entries = 0;
};
inline const QString FeedFileName = QStringLiteral("feed.xml");

// A theme's way of making the index pages, written in UTF-8 instead of the index template's.
struct IndexTheme {
    QString source; // the theme's name or folder, as messages name it
    std::function<QString(const IndexPage&)> index;
    // The feed of the top index's programs, written as feed.xml beside it; no function, or none
    // made (no program has a release date): no feed.
    std::function<std::optional<Feed>(const IndexPage&)> feed;
    // The theme's other files written to the folder the top index stands in: each failure.
    std::function<QStringList(const QString& folder)> copyFiles;
};

struct IndexRequest {
    QString folder;  // the PAD text folder whose Category folder holds the pages, or a folder of pages
    QString siteUrl; // the address the folder is published at, as the user gave it
    QString indexTemplate = DefaultIndexTemplate();
    QString templateSource = QStringLiteral("default"); // names the template in a refusal
    // How the user makes the pages, for a folder that holds none, in the words of the runner
    QString howPagesAreMade = QStringLiteral("\"pages\", or \"sort\" to file them by category");
    std::optional<IndexTheme> theme = std::nullopt; // none: the index template
};

struct IndexRun {
    Layout layout = Layout::Categories;
    int indexPages = 0; // written, the top one included
    int folders = 0;    // below the Category folder, holding pages
    int pages = 0;
    int urls = 0;             // in the sitemap
    QStringList sitemapFiles; // written, by their paths below the folder, sitemap.xml first
    QString feedFile;         // written, by its path below the folder; "" when none
    int feedEntries = 0;
    QStringList failures; // each names its file
    bool stopped = false; // goesOn said stop: neither the top index nor a sitemap was written
};

// Refused, with the reason and nothing written, when the site URL is no absolute http or https
// address, the template cannot be used, the folder is missing, its Category folder is a link, the
// folder listed (the Category folder, or the folder itself when it has none) is a link or cannot
// be read, or a folder without a Category folder holds no page. goesOn is asked before each index
// page.
Result<IndexRun> MakeIndexPages(const IndexRequest& request, const std::function<bool()>& goesOn);

// What the run wrote, in one line; and each failure, after a line that counts them ("" when none).
QString DoneText(const IndexRun& run);
QString FailuresText(const IndexRun& run);

} // namespace vt::site
