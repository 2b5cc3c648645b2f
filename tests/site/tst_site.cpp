// Index pages and the sitemap: the template's blocks and escapes, the pages a category run left
// (and what must never be linked), the PAD texts matched to them, and the sitemap files as a
// search engine parses them.
#include <QDateTime>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include "../support/DataRows.h"
#include "../support/TestFiles.h"
#include "site/IndexPages.h"
#include "site/SiteAddress.h"
#include "site/Sitemap.h"

using namespace vt::testing;
using namespace vt::site;
using vt::Result;
using namespace Qt::StringLiterals;

namespace {

const QString Site = u"https://example.com/a&b"_s;
const QString SitemapNamespace = u"http://www.sitemaps.org/schemas/sitemap/0.9"_s;

struct Parsed {
    QString root; // "" when the XML is not well formed or not in the sitemap namespace
    QStringList locations;
    QStringList times;
};

Parsed parsed(const QByteArray& xml) {
    Parsed found;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (found.root.isEmpty()) {
            found.root = reader.namespaceUri() == SitemapNamespace ? reader.name().toString() : u"?"_s;
        } else if (reader.name() == u"loc"_s) {
            found.locations += reader.readElementText();
        } else if (reader.name() == u"lastmod"_s) {
            found.times += reader.readElementText();
        }
    }
    return reader.hasError() ? Parsed{} : found;
}

QByteArray pad(const char* name, const char* category, const char* version, const char* description) {
    return QByteArray("<Program_Name>") + name + "</Program_Name><Program_Version>" + version +
           "</Program_Version><Char_Desc_45>" + description + "</Char_Desc_45><Program_Specific_Category>" +
           category + "</Program_Specific_Category>";
}

void make(const QString& path, const QByteArray& bytes = {}) {
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    writeBytes(path, bytes);
}

SlotValues values(std::initializer_list<std::pair<Slot, QString>> filled) {
    SlotValues row;
    for (const auto& [slot, value] : filled) {
        row[std::size_t(slot)] = value;
    }
    return row;
}

} // namespace

class TestSite : public QObject {
    Q_OBJECT

private slots:
    void templateFill_data() { addRows("indextemplate"); }
    void templateFill() {
        QFETCH(QString, indexTemplate);
        QFETCH(QString, page);
        QFETCH(bool, refused);
        const Result<IndexTemplate> filled = IndexTemplate::parse(indexTemplate, u"t.html"_s);
        QCOMPARE(!filled, refused);
        if (refused) {
            QVERIFY2(filled.message().contains(page), qPrintable(filled.message()));
            return;
        }
        const std::vector<SlotValues> programs = {
            values({{Slot::ProgramName, u"P 1"_s},
                    {Slot::ProgramLink, u"P%201.html"_s},
                    {Slot::ProgramVersion, u"1.0"_s},
                    {Slot::ProgramDescription, u"<b>ProgramNameXXX</b>"_s}}),
            values({{Slot::ProgramName, u"Q"_s},
                    {Slot::ProgramLink, u"Q.html"_s},
                    {Slot::ProgramDescription, u"&amp; more"_s}})};
        const SlotValues top = values({{Slot::IndexTitle, u"T<1>"_s}, {Slot::TopIndex, u"../index.html"_s}});
        QCOMPARE(filled.value().fill(top, {}, programs), page);
        QCOMPARE(filled.value().declaresUtf8(), indexTemplate.contains(u"utf-8"_s));
    }

    void siteAddress_data() { addRows("siteaddress"); }
    void siteAddress() {
        QFETCH(QString, given);
        QFETCH(QString, address);
        const Result<QString> checked = SiteAddress(given);
        QCOMPARE(checked ? checked.value() : QString(), address);
        QVERIFY2(checked || !checked.message().endsWith(u"()."_s), qPrintable(checked.message())); // a reason
    }

    // The pages of a category run among what else a folder can hold: hidden and other files, an old
    // index, a folder without pages, and links to a file and a folder, which are named and never
    // followed, one in an index page's place, never written through, and the page of a program
    // named "index", never replaced.
    void indexPagesAndSitemap() {
        QTemporaryDir temp;
        const auto at = [&](const QString& path) {
            return temp.filePath(path);
        };
        make(at(u"0.txt"_s), pad("Zeta", "Games", "2.0", "<i>z</i>"));
        make(at(u"3/7.txt"_s), pad("alpha", "Home\\Hobby", "1", "a &amp; b")); // where sort moved it
        make(at(u"3/8.txt"_s), pad("Beta", "", "", ""));
        make(at(u"notes.txt"_s), pad("Zeta", "Games", "9", "not a numbered text"));
        for (const QString& page :
             {u"Games/Zeta"_s, u"Games/alpha"_s, u"Games/Alpha"_s, u"Games/Tom & Jerry"_s,
              u"Games/Caf\u00e9"_s, u"Home/Hobby/alpha"_s, u"Beta"_s, u"Games/.hidden"_s}) {
            make(at(u"Category/"_s + page + u".html"_s));
        }
        make(at(u"Category/Games/notes.txt"_s));
        make(at(u"Category/Games/index.html"_s), "old\r\n<!-- index page -->\r\n");
        make(at(u"Category/Kept/x.html"_s));
        make(at(u"Category/Kept/index.html"_s), "a page");
        make(at(u"Category/Empty/readme.txt"_s));
        make(at(u"victim/v.html"_s), "victim");
        QVERIFY(QFile::link(at(u"victim/v.html"_s), at(u"Category/Games/link.html"_s)));
        QVERIFY(QFile::link(at(u"victim"_s), at(u"Category/Linked"_s)));
        make(at(u"Category/Trap/x.html"_s));
        QVERIFY(QFile::link(at(u"victim/v.html"_s), at(u"Category/Trap/index.html"_s)));
        QFile zeta(at(u"Category/Games/Zeta.html"_s));
        QVERIFY(zeta.open(QIODevice::ReadWrite) &&
                zeta.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC),
                                 QFileDevice::FileModificationTime));

        const QString rows = u"T=IndexTitleXXX top=TopIndexXXX\r\n"
                             "<!--BeginCategoryRow-->C CategoryLinkXXX CategoryNameXXX CategoryPagesXXX\r\n"
                             "<!--EndCategoryRow--><!--BeginProgramRow-->P ProgramLinkXXX ProgramNameXXX "
                             "ProgramVersionXXX ProgramDescriptionXXX\r\n<!--EndProgramRow-->"_s;
        const Result<IndexRun> run =
            MakeIndexPages({temp.path(), Site + u'/', rows, u"t"_s}, [] { return true; });
        QVERIFY(run);
        QCOMPARE(
            run.value().failures,
            QStringList(
                {u"Left out \"%1\": it is a symbolic link"_s.arg(at(u"Category/Games/link.html"_s)),
                 u"Left out \"%1\": it is a symbolic link"_s.arg(at(u"Category/Linked"_s)),
                 u"The page \"%1\" of a program named \"index\" has the name of its folder's index page: it "
                 u"was "
                 "left as it is, and the folder has no index page"_s.arg(at(u"Category/Kept/index.html"_s)),
                 u"Could not write \"%1\": it is a symbolic link"_s.arg(at(u"Category/Trap/index.html"_s))}));
        QCOMPARE(filesBelow(at(u"victim"_s)), QStringList{u"v.html"_s});
        QVERIFY(!QFile::exists(at(u"Category/Empty/index.html"_s)));
        QCOMPARE(contentsOf(at(u"victim/v.html"_s)), "victim");
        QCOMPARE(contentsOf(at(u"Category/Kept/index.html"_s)), "a page");
        // Kept and Trap have no index of this run's: the top index does not link them.
        const QByteArray top = "T=Categories top=index.html\r\nC Games/index.html Games 5\r\n"
                               "C Home/Hobby/index.html Home/Hobby 1\r\n"
                               "P Beta.html Beta  \r\n\r\n<!-- index page -->\r\n";
        QCOMPARE(contentsOf(at(u"Category/index.html"_s)), top);
        QCOMPARE(contentsOf(at(u"Category/Games/index.html"_s)),
                 "T=Games top=../index.html\r\nP Alpha.html Alpha  \r\nP alpha.html alpha  \r\n"
                 "P Caf%C3%A9.html Caf\xE9  \r\nP Tom%20%26%20Jerry.html Tom &amp; Jerry  \r\n"
                 "P Zeta.html Zeta 2.0 &lt;i&gt;z&lt;/i&gt;\r\n\r\n<!-- index page -->\r\n");
        QCOMPARE(contentsOf(at(u"Category/Home/Hobby/index.html"_s)),
                 "T=Home/Hobby top=../../index.html\r\nP alpha.html alpha 1 a &amp; b\r\n\r\n<!-- index page "
                 "-->\r\n");

        QVERIFY(!QFile::exists(at(u"sitemap.xml"_s))); // where the next sort would take it for a PAD text
        const Parsed sitemap = parsed(contentsOf(at(u"Category/sitemap.xml"_s)));
        QCOMPARE(sitemap.root, u"urlset"_s);
        QStringList paths;
        for (const QString& page :
             {u"index"_s, u"Beta"_s, u"Games/index"_s, u"Games/Alpha"_s, u"Games/alpha"_s,
              u"Games/Caf%C3%A9"_s, u"Games/Tom%20%26%20Jerry"_s, u"Games/Zeta"_s, u"Home/Hobby/index"_s,
              u"Home/Hobby/alpha"_s, u"Kept/x"_s, u"Trap/x"_s}) {
            paths += Site + u"/Category/"_s + page + u".html"_s;
        }
        QCOMPARE(sitemap.locations, paths);
        QCOMPARE(sitemap.times.at(7), u"2001-02-03T04:05:06Z"_s);
        QCOMPARE(sitemap.times.filter(QRegularExpression(u"^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$"_s))
                     .size(),
                 paths.size());
        // Again: the indexes found as they are still count as standing.
        QVERIFY(MakeIndexPages({temp.path(), Site + u'/', rows, u"t"_s}, [] { return true; }));
        QCOMPARE(contentsOf(at(u"Category/index.html"_s)), top);
    }

    // A folder of pages without a Category folder: its own pages only, a link where a page could
    // stand named, the facts of its own numbered texts by program name, and its sitemap beside them.
    void flatFolder() {
        QTemporaryDir temp;
        const auto at = [&](const QString& path) {
            return temp.filePath(path);
        };
        make(at(u"0.txt"_s), pad("Zeta", "Games", "2.0", "z"));
        make(at(u"1/1.txt"_s), pad("a b", "", "9", "not a text of the folder"));
        for (const QString& file : {u"Zeta.html"_s, u"a b.html"_s, u".hidden.html"_s, u"sub/x.html"_s}) {
            make(at(file));
        }
        QVERIFY(QFile::link(at(u"sub"_s), at(u"linked"_s)));
        QVERIFY(QFile::link(at(u"Zeta.html"_s), at(u"l.html"_s)));
        const QString rows =
            u"T=IndexTitleXXX top=TopIndexXXX\r\n<!--BeginCategoryRow-->C\r\n<!--EndCategoryRow-->"
            "<!--BeginProgramRow-->P ProgramLinkXXX ProgramVersionXXX ProgramDescriptionXXX\r\n"
            "<!--EndProgramRow-->"_s;
        const Result<IndexRun> run = MakeIndexPages({temp.path(), Site, rows, u"t"_s}, [] { return true; });
        QVERIFY(run);
        QCOMPARE(run.value().failures,
                 QStringList{u"Left out \"%1\": it is a symbolic link"_s.arg(at(u"l.html"_s))});
        QCOMPARE(contentsOf(at(u"index.html"_s)), "T=Programs top=index.html\r\nP a%20b.html  \r\nP "
                                                  "Zeta.html 2.0 z\r\n\r\n<!-- index page -->\r\n");
        QVERIFY(!QFile::exists(at(u"sub/index.html"_s)));
        QCOMPARE(parsed(contentsOf(at(u"sitemap.xml"_s))).locations,
                 QStringList({Site + u"/index.html"_s, Site + u"/a%20b.html"_s, Site + u"/Zeta.html"_s}));
    }

    // A sitemap of fewer files than the last removes the files of the longer split, and only them:
    // nothing is removed through a link, nor while sitemap.xml, which may still list them, stands old.
    void oldSitemapsRemoved_data() { addRows("oldsitemaps"); }
    void oldSitemapsRemoved() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, blocked);
        QFETCH(bool, removed);
        QTemporaryDir temp;
        const QString victim = temp.filePath(u"victim.xml"_s);
        const QString old = temp.filePath(u"Category/"_s + name);
        make(temp.filePath(u"Category/Games/P.html"_s));
        make(victim, "victim");
        if (kind == u"file"_s) {
            make(old, "old");
        } else {
            QVERIFY(kind == u"link"_s ? QFile::link(victim, old) : QDir().mkpath(old));
        }
        if (blocked) {
            QVERIFY(QFile::link(victim, temp.filePath(u"Category/sitemap.xml"_s)));
        }
        const Result<IndexRun> run = MakeIndexPages({temp.path(), Site}, [] { return true; });
        QVERIFY(run);
        QCOMPARE(!QFileInfo(old).isSymLink() && !QFileInfo::exists(old), removed);
        QCOMPARE(contentsOf(victim), "victim");
    }

    // Files fill up to both limits in turn, the URL limit and the byte limit each met exactly;
    // past one file, sitemap.xml is their index, each with its newest time.
    void sitemapSplit_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("maxUrls");
        QTest::addColumn<int>("fitBytes"); // entries the byte limit leaves room for
        QTest::addColumn<int>("slack");    // bytes more (or fewer) than that
        QTest::addColumn<QList<int>>("perFile");
        QTest::addRow("one file") << 3 << 3 << 3 << 0 << QList<int>{3};
        QTest::addRow("URL limit") << 4 << 3 << 10 << 0 << QList<int>{3, 1};
        QTest::addRow("byte limit") << 5 << 10 << 2 << 0 << QList<int>{2, 2, 1};
        QTest::addRow("a byte short") << 3 << 10 << 2 << -1 << QList<int>{1, 1, 1};
    }
    void sitemapSplit() {
        QFETCH(int, entries);
        QFETCH(int, maxUrls);
        QFETCH(int, fitBytes);
        QFETCH(int, slack);
        QFETCH(QList<int>, perFile);
        std::vector<SiteEntry> all;
        for (int i = 0; i < entries; ++i) {
            all.push_back({u"p%1"_s.arg(i), qint64(i) * 1000000000});
        }
        const qsizetype empty = Sitemaps(Site, u"c"_s, {}).front().bytes.size();
        const qsizetype entry = Sitemaps(Site, u"c"_s, {all.front()}).front().bytes.size() - empty;
        const SitemapLimits limits{maxUrls, empty + fitBytes * entry + slack};
        const std::vector<SitemapFile> files = Sitemaps(Site, u"c"_s, all, limits);
        QCOMPARE(files.size(), std::size_t(perFile.size() == 1 ? 1 : perFile.size() + 1));
        QStringList parts;
        QStringList newest;
        for (std::size_t i = files.size() == 1 ? 0 : 1, last = 0; i < files.size(); ++i) {
            const Parsed part = parsed(files[i].bytes);
            QCOMPARE(part.root, u"urlset"_s);
            QCOMPARE(part.locations.size(), perFile.at(qsizetype(parts.size())));
            QVERIFY(files[i].bytes.size() <= limits.bytes);
            parts += Site + u"/c/"_s + files[i].name;
            last += std::size_t(part.locations.size());
            newest += QDateTime::fromSecsSinceEpoch(qint64(last) - 1, Qt::UTC).toString(Qt::ISODate);
        }
        if (files.size() > 1) {
            const Parsed index = parsed(files.front().bytes);
            QCOMPARE(files.front().name, SitemapName);
            QCOMPARE(index.root, u"sitemapindex"_s);
            QCOMPARE(index.locations, parts);
            QCOMPARE(index.times, newest);
        }
    }

    // Two index pages and 50,001 pages: one URL past a sitemap file's 50,000 makes 50,000 and 3.
    void fiftyThousandAndOnePages() {
        QTemporaryDir temp;
        QVERIFY(QDir(temp.path()).mkpath(u"Category/Big"_s));
        for (int i = 0; i <= MaxSitemapUrls; ++i) {
            QFile(temp.filePath(u"Category/Big/%1.html"_s.arg(i))).open(QIODevice::WriteOnly);
        }
        make(temp.filePath(u"Category/sitemap-3.xml"_s)); // of an earlier run with more pages
        const Result<IndexRun> run = MakeIndexPages({temp.path(), Site}, [] { return true; });
        QVERIFY(run && run.value().failures.isEmpty());
        QVERIFY(!QFile::exists(temp.filePath(u"Category/sitemap-3.xml"_s)));
        QCOMPARE(run.value().sitemapFiles,
                 QStringList(
                     {u"Category/sitemap.xml"_s, u"Category/sitemap-1.xml"_s, u"Category/sitemap-2.xml"_s}));
        QCOMPARE(parsed(contentsOf(temp.filePath(u"Category/sitemap.xml"_s))).locations,
                 QStringList({Site + u"/Category/sitemap-1.xml"_s, Site + u"/Category/sitemap-2.xml"_s}));
        QCOMPARE(parsed(contentsOf(temp.filePath(u"Category/sitemap-1.xml"_s))).locations.size(),
                 MaxSitemapUrls);
        QCOMPARE(parsed(contentsOf(temp.filePath(u"Category/sitemap-2.xml"_s))).locations,
                 QStringList({Site + u"/Category/Big/9997.html"_s, Site + u"/Category/Big/9998.html"_s,
                              Site + u"/Category/Big/9999.html"_s}));
        QCOMPARE(
            contentsOf(temp.filePath(u"Category/Big/index.html"_s)).count("</a></td><td></td><td></td></tr>"),
            MaxSitemapUrls + 1);
        QVERIFY(
            contentsOf(temp.filePath(u"Category/index.html"_s)).contains("\">Big</a></td><td>50001</td>"));
    }
};

QTEST_GUILESS_MAIN(TestSite)
#include "tst_site.moc"
