// Themes: what a page template gets from a PAD text, the refusal of a theme that cannot be used, and
// the built-in modern theme's pages over the PAD corpus and hostile PAD texts, as the runner makes them.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>
#include <QXmlStreamReader>

#include "../support/DataRows.h"
#include "../support/TestFiles.h"
#include "pagegen/TemplateFill.h"
#include "theme/PageContext.h"

using namespace vt::testing;
using namespace vt::theme;
using namespace Qt::StringLiterals;

namespace {

struct Run {
    int exitCode = -1;
    QString output; // standard output and error
};

Run runCli(const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(VELLUMTIDE_CLI), arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        return {};
    }
    return {process.exitCode(), QString::fromUtf8(process.readAll())};
}

// The PAD corpus and the hostile PAD texts as the numbered PAD texts of a new folder.
void writePadTexts(const QString& folder) {
    QFileInfoList sources =
        QDir(QStringLiteral(VELLUMTIDE_PAD_CORPUS)).entryInfoList({u"*.xml"_s}, QDir::Files);
    sources += QDir(QStringLiteral(VELLUMTIDE_TEST_DATA "/themes/hostile")).entryInfoList(QDir::Files);
    QVERIFY(sources.size() >= 29);
    QVERIFY(QDir().mkpath(folder));
    for (qsizetype i = 0; i < sources.size(); ++i) {
        writeBytes(folder + u"/%1.txt"_s.arg(i), contentsOf(sources[i].filePath()));
    }
}

// The program pages below a folder, or its index pages, by their paths relative to it.
QStringList pagesBelow(const QString& folder, bool indexes = false) {
    QStringList pages = filesBelow(folder).filter(QRegularExpression(u"\\.html$"_s));
    pages.removeIf([&](const QString& page) {
        return (page == u"index.html"_s || page.endsWith(u"/index.html"_s)) != indexes;
    });
    return pages;
}

// The relative links of a page that lead to no file.
QStringList brokenLinks(const QString& folder, const QString& page, const QString& text) {
    QStringList broken;
    const QDir pageFolder = QFileInfo(folder + u'/' + page).dir();
    for (const QRegularExpressionMatch& link : QRegularExpression(u"href=\"([^\"]*)\""_s).globalMatch(text)) {
        const QString target = QUrl::fromPercentEncoding(link.captured(1).toUtf8());
        if (!target.contains(u':') && !QFileInfo::exists(pageFolder.filePath(target))) {
            broken += page + u" -> "_s + target;
        }
    }
    return broken;
}

// The text an HTML-escaped value stands for.
QString plainText(QString html) {
    for (const auto& [reference, character] : {std::pair{u"&lt;"_s, u"<"_s},
                                               {u"&gt;"_s, u">"_s},
                                               {u"&quot;"_s, u"\""_s},
                                               {u"&apos;"_s, u"'"_s},
                                               {u"&amp;"_s, u"&"_s}}) {
        html.replace(reference, character);
    }
    return html;
}

const QString Site = u"https://www.example.com/site"_s;

} // namespace

class TestTheme : public QObject {
    Q_OBJECT

    QTemporaryDir m_temp;

    // The pages of one layout, modern and classic: under flat/ the runs of "pages" into modern/ and
    // classic/; under category/ the sort of modern/ and of classic/, each a folder of PAD texts.
    QString pageFolder(const QString& layout, const QString& theme) const {
        return m_temp.filePath(layout + u'/' + theme +
                               (layout == u"category"_s ? u"/Category"_s : QString()));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_temp.isValid());
        writePadTexts(m_temp.filePath(u"texts"_s));
        for (const QString& theme : {u"modern"_s, u"classic"_s}) {
            const QString flat = m_temp.filePath(u"flat/"_s + theme);
            QVERIFY(QDir().mkpath(flat));
            // One PAD file of the corpus names no program: no page, and exit 1, in both themes.
            QCOMPARE(runCli({u"pages"_s, u"--from-texts"_s, m_temp.filePath(u"texts"_s), u"--storage"_s, flat,
                             u"--theme"_s, theme, u"--site-url"_s, Site, u"--quiet"_s})
                         .exitCode,
                     1);
            const QString sorted = m_temp.filePath(u"category/"_s + theme);
            writePadTexts(sorted);
            QCOMPARE(runCli({u"sort"_s, u"--pad-text-folder"_s, sorted, u"--theme"_s, theme, u"--site-url"_s,
                             Site, u"--quiet"_s})
                         .exitCode,
                     1);
        }
        for (const QString& folder : {u"flat/modern"_s, u"category/modern"_s}) {
            QCOMPARE(runCli({u"index"_s, u"--storage"_s, m_temp.filePath(folder), u"--site-url"_s, Site,
                             u"--theme"_s, u"modern"_s, u"--quiet"_s})
                         .exitCode,
                     0);
        }
    }

    // Rows in tests/data/rows/themecontext.tsv.
    void pageContext_data() { addRows("themecontext"); }
    void pageContext() {
        QFETCH(QString, pad);
        QFETCH(bool, categorised);
        QFETCH(QString, category);
        QFETCH(QString, source);
        QFETCH(QString, expected);
        const auto parsed = Template::Parse(source, u"test.html"_s);
        QVERIFY2(parsed.ok(), qPrintable(parsed.message()));
        const PagePlace place{vt::pagegen::valueBetween(pad, u"<Program_Name>", u"</Program_Name>"),
                              categorised ? std::optional(category) : std::nullopt};
        const Template& page = parsed.value();
        QCOMPARE(page.render(PageContext(pad, place, {Site, std::nullopt}, PageNames(page.names()))),
                 expected);
    }

    // Rows in tests/data/rows/badthemes.tsv.
    void badTheme_data() { addRows("badthemes"); }
    void badTheme() {
        QFETCH(bool, page);
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, command);
        QFETCH(QString, reason);
        QTemporaryDir temp;
        const QString theme = temp.filePath(u"theme"_s);
        QVERIFY(QDir().mkpath(theme) && QDir().mkpath(temp.filePath(u"out"_s)) &&
                QDir().mkpath(temp.filePath(u"texts"_s)));
        if (page) {
            writeBytes(theme + u"/page.html"_s, "<p>{{Program_Name}}</p>");
        }
        writeBytes(theme + u'/' + file, bytes);
        writeBytes(temp.filePath(u"texts/0.txt"_s), "<Program_Name>A</Program_Name>");
        const QString texts = temp.filePath(u"texts"_s);
        const QStringList line =
            command == u"sort"_s ? QStringList{command, u"--pad-text-folder"_s, texts}
            : command == u"index"_s
                ? QStringList{command, u"--storage"_s, texts, u"--site-url"_s, Site}
                : QStringList{command, u"--from-texts"_s, texts, u"--storage"_s, temp.filePath(u"out"_s)};
        const Run run = runCli(line + QStringList{u"--theme"_s, theme});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.output.contains(theme + reason), qPrintable(run.output));
        QCOMPARE(filesBelow(temp.filePath(u"texts"_s)), QStringList{u"0.txt"_s});
        QCOMPARE(filesBelow(temp.filePath(u"out"_s)), QStringList());
    }

    void modernPages_data() {
        QTest::addColumn<QString>("layout");
        QTest::addRow("flat") << u"flat"_s;
        QTest::addRow("category") << u"category"_s;
    }
    // Every page: the classic file name, one <h1>, no empty link or image address, no script but the
    // structured data, which parses and names the program as the <h1> does.
    void modernPages() {
        QFETCH(QString, layout);
        const QString folder = pageFolder(layout, u"modern"_s);
        const QStringList pages = pagesBelow(folder);
        QCOMPARE(pages, pagesBelow(pageFolder(layout, u"classic"_s)));
        QVERIFY(pages.size() >= 27); // all but the page without a name and that of a refused category
        QCOMPARE(contentsOf(folder + u"/style.css"_s), contentsOf(u":/themes/modern/style.css"_s));
        const QRegularExpression h1(u"<h1>(.*)</h1>"_s);
        const QRegularExpression jsonLd(u"<script type=\"application/ld\\+json\">(.*)</script>"_s);
        for (const QString& name : pages) {
            const QString page = QString::fromUtf8(contentsOf(folder + u'/' + name));
            QVERIFY2(page.count(u"<h1"_s) == 1 && page.count(u"<script"_s) == 1, qPrintable(name));
            QVERIFY2(!page.contains(u"href=\"\""_s) && !page.contains(u"src=\"\""_s), qPrintable(name));
            QVERIFY2(page.contains(u"<meta charset=\"utf-8\">"_s), qPrintable(name));
            QCOMPARE(brokenLinks(folder, name, page), QStringList());
            QJsonParseError error{};
            const QJsonObject object =
                QJsonDocument::fromJson(jsonLd.match(page).captured(1).toUtf8(), &error).object();
            QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(name + error.errorString()));
            QCOMPARE(object.value(u"name"_s).toString(), plainText(h1.match(page).captured(1)));
            QVERIFY2(object.value(u"url"_s).toString().startsWith(Site + u'/'), qPrintable(name));
        }
    }

    void modernIndexes_data() { modernPages_data(); }
    // Every index page: one <h1>, ending with the mark a later run knows its own index pages by, and
    // links that all lead to a file.
    void modernIndexes() {
        QFETCH(QString, layout);
        const QString folder = pageFolder(layout, u"modern"_s);
        const QStringList indexes = pagesBelow(folder, true);
        QVERIFY(indexes.size() >= (layout == u"flat"_s ? 1 : 13));
        for (const QString& name : indexes) {
            const QString page = QString::fromUtf8(contentsOf(folder + u'/' + name));
            QVERIFY2(page.count(u"<h1"_s) == 1 && page.endsWith(u"\r\n<!-- index page -->\r\n"_s),
                     qPrintable(name));
            QVERIFY2(!page.contains(u"href=\"\""_s) && !page.contains(u"src=\"\""_s), qPrintable(name));
            QCOMPARE(brokenLinks(folder, name, page), QStringList());
        }
    }

    // The feed beside the top index, which links it: Atom, newest first, each entry a page of the site;
    // made again over the same site, the same bytes. The flat folder's pages were made from texts
    // elsewhere, so no program there has a release date, and it has no feed.
    void modernFeed() {
        QVERIFY(!QFileInfo::exists(pageFolder(u"flat"_s, u"modern"_s) + u"/feed.xml"_s));
        const QString folder = pageFolder(u"category"_s, u"modern"_s);
        const QByteArray feed = contentsOf(folder + u"/feed.xml"_s);
        QVERIFY(
            contentsOf(folder + u"/index.html"_s)
                .contains(
                    R"(<link rel="alternate" type="application/atom+xml" title="Newest programs" href="feed.xml">)"));
        const QString folderUrl = Site + u"/Category/"_s;
        QXmlStreamReader xml(feed);
        QStringList updated;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement) {
                QCOMPARE(xml.namespaceUri(), u"http://www.w3.org/2005/Atom"_s);
                if (xml.name() == u"updated"_s) {
                    updated += xml.readElementText();
                }
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(updated.size() >= 20);
        QCOMPARE(updated.first(), updated.at(1)); // the feed's own is its newest entry's
        QStringList sorted = updated;
        std::sort(sorted.begin(), sorted.end(), std::greater<>());
        QCOMPARE(updated, sorted);
        for (const QRegularExpressionMatch& id :
             QRegularExpression(u"<id>([^<]*\\.html)</id>"_s).globalMatch(QString::fromUtf8(feed))) {
            QVERIFY2(id.captured(1).startsWith(folderUrl), qPrintable(id.captured(1)));
            const QString page = QUrl::fromPercentEncoding(id.captured(1).mid(folderUrl.size()).toUtf8());
            QVERIFY2(QFileInfo::exists(folder + u'/' + page), qPrintable(page));
        }
        QCOMPARE(runCli({u"index"_s, u"--storage"_s, m_temp.filePath(u"category/modern"_s), u"--site-url"_s,
                         Site, u"--theme"_s, u"modern"_s, u"--quiet"_s})
                     .exitCode,
                 0);
        QCOMPARE(contentsOf(folder + u"/feed.xml"_s), feed);
    }

    void modernPagesPassTidy_data() { modernPages_data(); }
    void modernPagesPassTidy() {
        QFETCH(QString, layout);
        const QString tidy = QStandardPaths::findExecutable(u"tidy"_s);
        if (tidy.isEmpty()) {
            QSKIP(
                "tidy is not installed (scripts/install-deps installs it): the pages were not checked by it");
        }
        const QString folder = pageFolder(layout, u"modern"_s);
        for (const QString& name : pagesBelow(folder) + pagesBelow(folder, true)) {
            QProcess process;
            process.setProcessChannelMode(QProcess::MergedChannels);
            process.start(tidy, {u"-q"_s, u"-e"_s, folder + u'/' + name});
            QVERIFY(process.waitForFinished());
            QVERIFY2(process.exitCode() == 0,
                     qPrintable(name + u'\n' + QString::fromUtf8(process.readAll())));
        }
    }

    // In a real browser, at a phone's width and a desktop's, no page or index of the site is wider
    // than the window: each is framed at both widths in one page that measures them.
    void modernPagesFitTheWidth() {
        const QString chromium = QStandardPaths::findExecutable(u"chromium"_s);
        if (chromium.isEmpty()) {
            QSKIP(
                "chromium is not installed (.ci/run installs it): the pages were not laid out in a browser");
        }
        const QString folder = pageFolder(u"category"_s, u"modern"_s);
        const QStringList pages = pagesBelow(folder) + pagesBelow(folder, true);
        QString frames;
        for (const QString& page : pages) {
            const QString source =
                QString::fromUtf8(QUrl::toPercentEncoding(u"category/modern/Category/"_s + page, "/"))
                    .toHtmlEscaped();
            frames += u"<iframe src=\"%1\" width=\"390\" height=\"844\"></iframe>"
                      "<iframe src=\"%1\" width=\"1280\" height=\"900\"></iframe>\n"_s.arg(source);
        }
        writeBytes(m_temp.filePath(u"measure.html"_s), (u"<!DOCTYPE html><body>"_s + frames + uR"(<script>
addEventListener('load', () => {
  const pre = document.createElement('pre');
  pre.id = 'measure';
  for (const frame of document.querySelectorAll('iframe')) {
    const page = frame.contentDocument.documentElement;
    pre.textContent += `${frame.width} ${page.scrollWidth} ${page.clientWidth} ${frame.getAttribute('src')}\n`;
  }
  document.body.append(pre);
});
</script>)"_s)
                                                           .toUtf8());
        QTemporaryDir profile;
        QProcess browser;
        browser.start(chromium,
                      {u"--headless"_s, u"--no-sandbox"_s, u"--disable-gpu"_s,
                       u"--allow-file-access-from-files"_s, u"--user-data-dir="_s + profile.path(),
                       u"--window-size=1400,1000"_s, u"--virtual-time-budget=5000"_s, u"--dump-dom"_s,
                       QUrl::fromLocalFile(m_temp.filePath(u"measure.html"_s)).toString()});
        QVERIFY(browser.waitForFinished(120000));
        const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
        const QString measured =
            QRegularExpression(u"<pre id=\"measure\">([^<]*)</pre>"_s).match(dom).captured(1);
        const QStringList lines = measured.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2 * pages.size());
        for (const QString& line : lines) {
            const QStringList fields = line.split(u' ');
            QVERIFY2(fields[1].toInt() <= fields[2].toInt(), qPrintable(line));
        }
    }

    // A theme of the user's: its page rendered into UTF-8 under the classic name, its files copied to
    // the top of the site only when their bytes changed, hidden ones never.
    void themeFolder() {
        QTemporaryDir temp;
        const QString theme = temp.filePath(u"theme"_s);
        const QString out = temp.filePath(u"out"_s);
        QVERIFY(QDir().mkpath(theme) && QDir().mkpath(out) && QDir().mkpath(temp.filePath(u"texts"_s)));
        writeBytes(theme + u"/page.html"_s,
                   "{{Program_Name}}|{{{Char_Desc_45}}}|{{#ad_block}}ad{{/ad_block}}");
        writeBytes(theme + u"/site.css"_s, "a {}");
        writeBytes(theme + u"/.hidden"_s, "x");
        writeBytes(temp.filePath(u"texts/0.txt"_s),
                   "<Program_Name>M&#252;ller</Program_Name><Char_Desc_45>&lt;b&gt;\xe9</Char_Desc_45>");
        const QStringList line = {
            u"pages"_s, u"--from-texts"_s, temp.filePath(u"texts"_s), u"--storage"_s, out, u"--theme"_s,
            theme,      u"--quiet"_s};
        QCOMPARE(runCli(line).exitCode, 0);
        // Windows-1252 \xe9 is read as U+00E9; the page holds both characters as themselves.
        QCOMPARE(bytesBelow(out),
                 (QMap<QString, QByteArray>{{u"M&#252;ller.html"_s, "M\xc3\xbcller|<b>\xc3\xa9|\r\n"},
                                            {u"site.css"_s, "a {}"}}));
        const auto copiedAt = [&] {
            return QFileInfo(out + u"/site.css"_s).lastModified();
        };
        const QDateTime past = QDateTime::currentDateTime().addDays(-1);
        QFile copied(out + u"/site.css"_s);
        QVERIFY(copied.open(QIODevice::ReadOnly) &&
                copied.setFileTime(past, QFileDevice::FileModificationTime));
        copied.close();
        QCOMPARE(runCli(line).exitCode, 0);
        QCOMPARE(copiedAt(), past); // the same bytes: left as it is
        writeBytes(theme + u"/site.css"_s, "b {}");
        QCOMPARE(runCli(line).exitCode, 0);
        QVERIFY(copiedAt() > past);
        QCOMPARE(contentsOf(out + u"/site.css"_s), "b {}");
    }

    // "defaults --theme modern" writes a theme folder that makes exactly the built-in theme's site.
    void defaultsTheme() {
        QTemporaryDir temp;
        const QString theme = temp.filePath(u"theme"_s);
        const QString out = temp.filePath(u"out"_s);
        QVERIFY(QDir().mkpath(theme) && QDir().mkpath(out));
        QCOMPARE(runCli({u"defaults"_s, u"--theme"_s, u"modern"_s, theme}).exitCode, 0);
        QCOMPARE(runCli({u"pages"_s, u"--from-texts"_s, m_temp.filePath(u"texts"_s), u"--storage"_s, out,
                         u"--theme"_s, theme, u"--site-url"_s, Site, u"--quiet"_s})
                     .exitCode,
                 1);
        QMap<QString, QByteArray> modern = bytesBelow(pageFolder(u"flat"_s, u"modern"_s));
        modern.remove(u"index.html"_s);
        modern.remove(u"sitemap.xml"_s);
        modern.remove(u"feed.xml"_s);
        QCOMPARE(bytesBelow(out), modern);
    }

    // The classic theme named is the template fill as it is without a theme.
    void classicIsTheFill() {
        QTemporaryDir temp;
        QVERIFY(QDir().mkpath(temp.filePath(u"plain"_s)));
        QCOMPARE(runCli({u"pages"_s, u"--from-texts"_s, m_temp.filePath(u"texts"_s), u"--storage"_s,
                         temp.filePath(u"plain"_s), u"--quiet"_s})
                     .exitCode,
                 1);
        QCOMPARE(bytesBelow(temp.filePath(u"plain"_s)), bytesBelow(pageFolder(u"flat"_s, u"classic"_s)));
    }
};

QTEST_GUILESS_MAIN(TestTheme)
#include "tst_theme.moc"
