#include "../support/DataRows.h"
#include "../support/TestFiles.h"
#include "article/ArticleFill.h"
#include "article/ArticleSources.h"
#include "article/ArticleTemplates.h"
#include "pagegen/TemplateDefaults.h"

using namespace vt::article;
using namespace vt::pagegen;
using namespace Qt::StringLiterals;
using vt::testing::addRows;

namespace {

// Every tag the article fill reads, once.
const QString Pad =
    u"<Program_Name>P</Program_Name><Char_Desc_45>a</Char_Desc_45><Char_Desc_80>b</Char_Desc_80>"
    "<Char_Desc_250>c</Char_Desc_250><Keywords>k</Keywords>"_s;

} // namespace

class TestArticle : public QObject {
    Q_OBJECT

private slots:
    // Each outline equals its file byte for byte, CR LF line ends included. Filled from a PAD
    // text with every tag, it keeps only the placeholders no row fills.
    void templates_data() { addRows("outlines"); }
    void templates() {
        QFETCH(QString, file);
        QFETCH(QStringList, left);
        const QString text = file.startsWith(u"short"_s) ? ShortArticleTemplate() : LongArticleTemplate();
        QCOMPARE(text, QString::fromLatin1(
                           vt::testing::contentsOf(QStringLiteral(VELLUMTIDE_TEST_DATA "/article/") + file)));

        const QString page = FillArticle(Pad, text, u"<ad/>"_s).page;
        QCOMPARE(page.count(u"XXX"_s), left.size());
        for (const QString& placeholder : left) {
            QCOMPARE(page.count(placeholder + u"\r\n"_s), 1);
        }
    }

    void fill_data() {
        addRows("articlefill");
        // None of the article's placeholders is a web page placeholder (matching is case-sensitive:
        // "titleXXX" is not in "PageTitleXXX"): only the ads are filled.
        QTest::addRow("default web page template")
            << Pad << DefaultPageTemplate()
            << QString(DefaultPageTemplate()).replace(AdPlaceholder, u"<ad/>"_s) << u"P"_s;
    }
    void fill() {
        QFETCH(QString, pad);
        QFETCH(QString, pageTemplate);
        QFETCH(QString, page);
        QFETCH(QString, programName);
        const FilledArticle filled = FillArticle(pad, pageTemplate, u"<ad/>"_s);
        QCOMPARE(filled.page, page);
        QCOMPARE(filled.programName, programName);
    }

    // Every file goes by in listing order (a, B, c: case-insensitive, not B, a, c), each read by
    // the text file line rules; one that cannot be opened is passed over, so the caller keeping
    // the last text ends with c's.
    void loadHandsOnEveryFileInListingOrder() {
        QTemporaryDir folder;
        vt::testing::writeBytes(folder.filePath(u"c"_s), "<Program_Name>C</Program_Name>\r\nx\ny\rz");
        vt::testing::writeBytes(folder.filePath(u"a"_s), "A1\r\nA2");
        vt::testing::writeBytes(folder.filePath(u"B"_s), "caf\xE9\r\n");
        QVERIFY(QFile::link(folder.filePath(u"missing-target"_s), folder.filePath(u"d"_s)));
        QStringList texts;
        const vt::Result<SourcesLoaded> loaded =
            LoadArticleSources(folder.path(), [&](QString text) { texts += text; });
        QVERIFY(loaded.ok() && loaded.value().read == 3 && loaded.value().unreadable == 1);
        QCOMPARE(texts, (QStringList{u"A1\r\nA2\r\n"_s, u"café\r\n"_s,
                                     u"<Program_Name>C</Program_Name>\r\nx\ny\r\nz\r\n"_s}));
    }
};

QTEST_GUILESS_MAIN(TestArticle)
#include "tst_article.moc"
