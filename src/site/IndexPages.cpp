#include "site/IndexPages.h"

#include "files/SafePath.h"
#include "files/TextFile.h"
#include "files/Windows1252.h"
#include "platform/FileSystem.h"
#include "platform/FolderEntries.h"
#include "site/PageTree.h"
#include "site/ProgramFacts.h"
#include "site/SiteAddress.h"
#include "site/Sitemap.h"

namespace vt::site {
namespace {

using namespace Qt::StringLiterals;

const QString MissingFolder = u"The folder \"%1\" does not exist."_s;
const QString LinkedCategoryFolder =
    u"The folder \"%1\" is a symbolic link: no index is read or written through one."_s;
const QString NoPages =
    u"The folder \"%1\" holds neither a Category folder nor any page (<program>.html): make its pages first "
    "(%2)."_s;
const QString LinkedFile = u"Could not write \"%1\": it is a symbolic link"_s;
const QString IndexNamedPage =
    u"The page \"%1\" of the program \"index\" has the name of its folder's index page, which replaces it"_s;
const QString IndexKeptPage =
    u"The page \"%1\" of a program named \"index\" has the name of its folder's index "
    "page: it was left as it is, and the folder has no index page"_s;
// Every index page ends with this line, by which a later run knows an index.html as one of its own: the
// page of a program named "index" lacks it, and is never replaced by an index.
const QByteArray IndexMark = QByteArrayLiteral("<!-- index page -->\r\n");

// Whether nothing is at the path, or an index page that this program wrote (or a link, which the
// writer refuses).
bool holdsNoPage(const QString& path) {
    if (platform::IsLink(path) || !platform::StampOf(path)) {
        return true;
    }
    const Result<QByteArray> bytes = platform::ReadRegularFile(path, files::MaxDocumentBytes);
    return bytes && bytes.value().endsWith(IndexMark);
}

// A page is written as the page writer writes its pages: the text and a CR LF, in Windows-1252
// unless the template declares UTF-8; then the mark of an index page.
QByteArray pageBytes(const QString& page, bool utf8) {
    QByteArray bytes = utf8 ? page.toUtf8() : files::encodeWindows1252(page);
    bytes += "\r\n";
    bytes += IndexMark;
    return bytes;
}

Status writeFile(const QString& path, const QByteArray& bytes) {
    if (platform::IsLink(path)) {
        return Status::failure(LinkedFile.arg(path));
    }
    const auto written = platform::ReplaceFile(path, bytes);
    if (!written) {
        return Status::failure(written.message());
    }
    return Status::success();
}

QString pageFileName(const QString& programName) {
    return programName + u".html"_s;
}

class IndexWriter {
public:
    IndexWriter(const IndexRequest& request, const IndexTemplate& indexTemplate, const PageTree& tree,
                Layout layout, const QString& pageFolder)
        : m_template(indexTemplate)
        , m_theme(request.theme)
        , m_tree(tree)
        , m_pageLevels(layout == Layout::Categories ? QStringList{CategoryFolderName} : QStringList())
        , m_pageFolder(pageFolder)
        , m_facts(ReadProgramFacts(request.folder, pageFolder, layout)) {
        m_run.layout = layout;
        m_run.failures = tree.leftOut;
    }

    IndexRun run(const QString& siteAddress, const std::function<bool()>& goesOn);

private:
    std::optional<SiteEntry> writeIndex(const CategoryFolder* folder,
                                        const std::vector<SlotValues>& categoryRows);
    std::vector<SlotValues> programRows(const CategoryFolder& folder) const;
    void addPages(const CategoryFolder& folder);
    void removeOldSitemaps(const QStringList& written);

    // The index's page with the rows and programs a theme shows.
    IndexPage themedPage(const IndexPage& page, const std::vector<SlotValues>& categoryRows,
                         const CategoryFolder* folder) const;
    // The theme's feed of the top index's programs beside it, linked from the top index once written.
    void writeFeed(IndexPage& top);
    QString folderUrl(const QStringList& levels) const;
    std::vector<IndexProgram> programsOf(const CategoryFolder& folder, const QStringList& from) const;

    const IndexTemplate& m_template;
    std::optional<IndexTheme> m_theme;
    const PageTree& m_tree;
    QStringList m_pageLevels; // the listed folder's path below the request's: "Category", or none
    QString m_pageFolder;
    QHash<QString, ProgramFacts> m_facts;
    QString m_siteAddress;
    IndexRun m_run;
    std::vector<SiteEntry> m_entries;
};

std::vector<SlotValues> IndexWriter::programRows(const CategoryFolder& folder) const {
    std::vector<SlotValues> rows;
    rows.reserve(folder.pages.size());
    for (const PageFile& page : folder.pages) {
        const ProgramFacts facts =
            m_facts.value(files::displayPath(folder.path, pageFileName(page.programName)));
        SlotValues row;
        row[std::size_t(Slot::ProgramName)] = page.programName;
        row[std::size_t(Slot::ProgramLink)] = EncodedPath({pageFileName(page.programName)});
        row[std::size_t(Slot::ProgramVersion)] = facts.version;
        row[std::size_t(Slot::ProgramDescription)] = facts.description;
        rows.push_back(std::move(row));
    }
    return rows;
}

SlotValues categoryRow(const CategoryFolder& folder) {
    SlotValues row;
    row[std::size_t(Slot::CategoryName)] = folder.levels.join(u'/');
    row[std::size_t(Slot::CategoryLink)] = EncodedPath(folder.levels + QStringList{IndexFileName});
    row[std::size_t(Slot::CategoryPages)] = QString::number(folder.pages.size());
    return row;
}

// The index of a folder, or, for none, the top index (with the listed folder's own pages: in the
// category layout those of an empty category); and the index's entry of the sitemap once it is
// written or found as it is, nothing when it is not.
std::optional<SiteEntry> IndexWriter::writeIndex(const CategoryFolder* folder,
                                                 const std::vector<SlotValues>& categoryRows) {
    const bool top = folder == nullptr || folder->levels.isEmpty();
    const QStringList levels = top ? QStringList() : folder->levels;
    const QString path = files::displayPath(top ? m_pageFolder : folder->path, IndexFileName);
    if (!holdsNoPage(path)) {
        m_run.failures += IndexKeptPage.arg(path);
        return std::nullopt;
    }
    if (m_facts.contains(path)) {
        m_run.failures += IndexNamedPage.arg(path);
    }
    IndexPage page{!top                           ? levels.join(u'/')
                   : m_run.layout == Layout::Flat ? FolderIndexTitle
                                                  : TopIndexTitle,
                   levels,
                   u"../"_s.repeated(levels.size()) + IndexFileName,
                   m_siteAddress,
                   folderUrl(levels),
                   {},
                   {},
                   {}};
    QString text;
    if (m_theme) {
        IndexPage themed = themedPage(page, categoryRows, folder);
        if (top) {
            writeFeed(themed);
        }
        text = m_theme->index(themed);
    } else {
        SlotValues values;
        values[std::size_t(Slot::IndexTitle)] = page.title;
        values[std::size_t(Slot::TopIndex)] = page.homeLink;
        text =
            m_template.fill(values, categoryRows, folder ? programRows(*folder) : std::vector<SlotValues>());
    }
    if (const Status written = writeFile(path, pageBytes(text, m_theme || m_template.declaresUtf8()));
        !written) {
        m_run.failures += written.message();
        return std::nullopt;
    }
    ++m_run.indexPages;
    const std::optional<platform::EntryStamp> stamp = platform::StampOf(path);
    return SiteEntry{EncodedPath(m_pageLevels + levels + QStringList{IndexFileName}),
                     stamp ? stamp->modifiedNs : 0};
}

std::vector<IndexProgram> IndexWriter::programsOf(const CategoryFolder& folder,
                                                  const QStringList& from) const {
    std::vector<IndexProgram> programs;
    for (const PageFile& page : folder.pages) {
        programs.push_back({page.programName, EncodedPath(from + QStringList{pageFileName(page.programName)}),
                            m_facts.value(files::displayPath(folder.path, pageFileName(page.programName)))});
    }
    return programs;
}

IndexPage IndexWriter::themedPage(const IndexPage& page, const std::vector<SlotValues>& categoryRows,
                                  const CategoryFolder* folder) const {
    IndexPage themed = page;
    for (const SlotValues& row : categoryRows) {
        themed.categories.push_back({row[std::size_t(Slot::CategoryName)],
                                     row[std::size_t(Slot::CategoryLink)],
                                     row[std::size_t(Slot::CategoryPages)].toInt()});
    }
    const bool top = page.levels.isEmpty();
    for (const CategoryFolder& listed : m_tree.folders) {
        if (&listed == folder || (top && m_run.layout == Layout::Categories)) {
            for (IndexProgram& program : programsOf(listed, top ? listed.levels : QStringList())) {
                themed.programs.push_back(std::move(program));
            }
        }
    }
    return themed;
}

void IndexWriter::writeFeed(IndexPage& top) {
    const std::optional<Feed> feed = m_theme->feed ? m_theme->feed(top) : std::nullopt;
    if (!feed) {
        return;
    }
    if (const Status written = writeFile(files::displayPath(m_pageFolder, FeedFileName), feed->text.toUtf8());
        !written) {
        m_run.failures += written.message();
        return;
    }
    m_run.feedFile = (m_pageLevels + QStringList{FeedFileName}).join(u'/');
    m_run.feedEntries = feed->entries;
    top.feedLink = FeedFileName;
}

QString IndexWriter::folderUrl(const QStringList& levels) const {
    const QStringList segments = m_pageLevels + levels;
    return segments.isEmpty() ? m_siteAddress : m_siteAddress + u'/' + EncodedPath(segments);
}

void IndexWriter::addPages(const CategoryFolder& folder) {
    for (const PageFile& page : folder.pages) {
        m_entries.push_back(
            {EncodedPath(m_pageLevels + folder.levels + QStringList{pageFileName(page.programName)}),
             page.modifiedNs});
    }
    m_run.pages += int(folder.pages.size());
}

// The folders' indexes first, so that the top index links only those that stand; it comes first in
// the sitemap all the same.
IndexRun IndexWriter::run(const QString& siteAddress, const std::function<bool()>& goesOn) {
    m_siteAddress = siteAddress;
    std::vector<SlotValues> linked;
    for (const CategoryFolder& folder : m_tree.folders) {
        if (!folder.levels.isEmpty()) {
            if (!goesOn()) {
                m_run.stopped = true;
                return m_run;
            }
            ++m_run.folders;
            if (const std::optional<SiteEntry> index = writeIndex(&folder, {})) {
                m_entries.push_back(*index);
                linked.push_back(categoryRow(folder));
            }
        }
        addPages(folder);
    }
    const bool topHoldsPages = !m_tree.folders.empty() && m_tree.folders.front().levels.isEmpty();
    if (const std::optional<SiteEntry> top =
            writeIndex(topHoldsPages ? &m_tree.folders.front() : nullptr, linked)) {
        m_entries.insert(m_entries.begin(), *top);
    }
    m_run.urls = int(m_entries.size());
    const std::vector<SitemapFile> sitemaps = Sitemaps(siteAddress, EncodedPath(m_pageLevels), m_entries);
    QStringList written;
    for (const SitemapFile& sitemap : sitemaps) {
        const QString path = files::displayPath(m_pageFolder, sitemap.name);
        if (const Status wrote = writeFile(path, sitemap.bytes); !wrote) {
            m_run.failures += wrote.message();
        } else {
            written += sitemap.name;
            m_run.sitemapFiles += (m_pageLevels + QStringList{sitemap.name}).join(u'/');
        }
    }
    if (written.size() == qsizetype(sitemaps.size())) {
        removeOldSitemaps(written);
    }
    if (m_theme && m_theme->copyFiles) {
        m_run.failures += m_theme->copyFiles(m_pageFolder);
    }
    return m_run;
}

// The files of an earlier, longer split that the new sitemap no longer lists; kept while any file of
// the new one is missing, as the old sitemap.xml that lists them may then still stand.
void IndexWriter::removeOldSitemaps(const QStringList& written) {
    const auto entries = platform::EntriesOf(m_pageFolder, platform::FileTimes::Skipped);
    if (!entries) {
        m_run.failures += entries.message();
        return;
    }
    for (const platform::FolderEntry& entry : entries.value()) {
        if (entry.kind == platform::EntryKind::RegularFile && IsSitemapPartName(entry.name) &&
            !written.contains(entry.name)) {
            if (const Status removed = platform::RemoveFile(files::displayPath(m_pageFolder, entry.name));
                !removed) {
                m_run.failures += removed.message();
            }
        }
    }
}

} // namespace

Result<IndexRun> MakeIndexPages(const IndexRequest& request, const std::function<bool()>& goesOn) {
    const Result<QString> address = SiteAddress(request.siteUrl);
    if (!address) {
        return address.status();
    }
    const Result<IndexTemplate> indexTemplate =
        IndexTemplate::parse(request.indexTemplate, request.templateSource);
    if (!indexTemplate) {
        return indexTemplate.status();
    }
    const QString categoryFolder = files::displayPath(request.folder, CategoryFolderName);
    if (!platform::FolderExists(request.folder)) {
        return Status::failure(MissingFolder.arg(request.folder));
    }
    if (platform::IsLink(categoryFolder)) {
        return Status::failure(LinkedCategoryFolder.arg(categoryFolder));
    }
    const Layout layout = platform::FolderExists(categoryFolder) ? Layout::Categories : Layout::Flat;
    const QString pageFolder = layout == Layout::Categories ? categoryFolder : request.folder;
    const Result<PageTree> tree = ListPages(pageFolder, layout);
    if (!tree) {
        return tree.status();
    }
    if (layout == Layout::Flat && tree.value().folders.empty()) {
        return Status::failure(NoPages.arg(request.folder, request.howPagesAreMade));
    }
    return IndexWriter(request, indexTemplate.value(), tree.value(), layout, pageFolder)
        .run(address.value(), goesOn);
}

QString DoneText(const IndexRun& run) {
    if (run.stopped) {
        return u"Stopped after %1 index pages; neither the top index nor a sitemap was written."_s.arg(
            run.indexPages);
    }
    const QString sitemap =
        run.sitemapFiles.size() > 1
            ? u"%1 (the index of %2 to %3)"_s.arg(run.sitemapFiles.first(), run.sitemapFiles.at(1),
                                                  run.sitemapFiles.last())
            : run.sitemapFiles.value(0, u"no sitemap"_s);
    const QString folders =
        run.layout == Layout::Flat ? u"the folder"_s : u"%1 category folders"_s.arg(run.folders);
    const QString wrote =
        u"Wrote %1 index pages for %2 pages in %3"_s.arg(run.indexPages).arg(run.pages).arg(folders);
    if (run.feedFile.isEmpty()) {
        return wrote + u", and %1 with %2 URLs."_s.arg(sitemap).arg(run.urls);
    }
    return wrote + u", %1 with %2 URLs, and the feed %3 of the %4 newest programs."_s.arg(sitemap)
                       .arg(run.urls)
                       .arg(run.feedFile)
                       .arg(run.feedEntries);
}

QString FailuresText(const IndexRun& run) {
    if (run.failures.isEmpty()) {
        return QString();
    }
    return u"%1 files could not be written or were left out:\n"_s.arg(run.failures.size()) +
           run.failures.join(u'\n');
}

} // namespace vt::site
