#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "article/ArticleFill.h"
#include "article/ArticleSources.h"
#include "article/ArticleTemplates.h"
#include "pagegen/TemplateDefaults.h"

using namespace vt::article;
using namespace Qt::StringLiterals;

namespace {

const QString Ad = u"<ad/>"_s;

// Every tag the article fill reads, once; every value names its tag.
QString padText(const QStringList& tags = {u"Program_Name"_s, u"Char_Desc_45"_s, u"Char_Desc_80"_s,
                                           u"Char_Desc_250"_s, u"Keywords"_s}) {
    QString pad = u"<?xml version=\"1.0\"?>\r\n<XML_DIZ_INFO>\r\n"_s;
    for (const QString& tag : tags) {
        pad += u"<%1>value of %1</%1>\r\n"_s.arg(tag);
    }
    return pad + u"</XML_DIZ_INFO>\r\n"_s;
}

QByteArray dataFile(const QString& name) {
    QFile file(QStringLiteral(VELLUMTIDE_TEST_DATA "/article/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestArticle : public QObject {
    Q_OBJECT

private slots:
    void templatesAreByteExact_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("characters");
        QTest::addColumn<int>("lines");
        QTest::addRow("short") << ShortArticleTemplate() << u"short-article.txt"_s << 168 << 18;
        QTest::addRow("long") << LongArticleTemplate() << u"long-article.txt"_s << 304 << 28;
    }
    void templatesAreByteExact() {
        QFETCH(QString, text);
        QFETCH(QString, file);
        QFETCH(int, characters);
        QFETCH(int, lines);
        const QByteArray expected = dataFile(file);
        QCOMPARE(expected.size(), characters);
        QCOMPARE(text.size(), characters);
        QCOMPARE(text.toLatin1(), expected);
        // Every line ends with CR LF, and no CR or LF stands alone.
        QCOMPARE(text.count(u"\r\n"_s), lines);
        QCOMPARE(text.count(u'\r'), lines);
        QCOMPARE(text.count(u'\n'), lines);
    }

    // Where each row's value lands in the long outline (1-based line numbers).
    void longTemplateIsFilledInPlace_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("text");
        QTest::addRow("category stays fixed") << 1 << u"CATEGORY: Computers-and-Technology/Software "_s;
        QTest::addRow("title") << 4 << u"value of Program_Name"_s;
        QTest::addRow("summary") << 7 << u"value of Char_Desc_45"_s;
        QTest::addRow("45 words") << 11 << u"value of Char_Desc_45"_s;
        QTest::addRow("80 words") << 14 << u"value of Char_Desc_80"_s;
        QTest::addRow("250 words") << 17 << u"value of Char_Desc_250"_s;
        QTest::addRow("2000 words unfilled") << 20 << u"bodyXXX4"_s;
        QTest::addRow("resource box unfilled") << 25 << u"resourceXXX"_s;
        QTest::addRow("keywords") << 28 << u"value of Keywords"_s;
    }
    void longTemplateIsFilledInPlace() {
        QFETCH(int, line);
        QFETCH(QString, text);
        const FilledArticle filled = FillArticle(padText(), LongArticleTemplate(), Ad);
        const QStringList lines = filled.page.split(u"\r\n"_s);
        QCOMPARE(lines.size(), 29); // 28 lines and the empty rest after the last CR LF
        QCOMPARE(lines.at(line - 1), text);
        QCOMPARE(filled.programName, u"value of Program_Name"_s);
    }

    // Placeholders no row fills stay; every other one is gone.
    void unfilledPlaceholdersStay_data() {
        QTest::addColumn<QString>("articleTemplate");
        QTest::addColumn<QStringList>("left");
        QTest::addRow("short") << ShortArticleTemplate() << QStringList{u"bodyXXX"_s, u"resourceXXX"_s};
        QTest::addRow("long") << LongArticleTemplate() << QStringList{u"bodyXXX4"_s, u"resourceXXX"_s};
    }
    void unfilledPlaceholdersStay() {
        QFETCH(QString, articleTemplate);
        QFETCH(QStringList, left);
        const QString page = FillArticle(padText(), articleTemplate, Ad).page;
        QCOMPARE(page.count(u"XXX"_s), left.size());
        for (const QString& placeholder : left) {
            QCOMPARE(page.count(placeholder + u"\r\n"_s), 1);
        }
    }

    void fillCases_data() {
        QTest::addColumn<QString>("pad");
        QTest::addColumn<QString>("pageTemplate");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("programName");
        const QString outline = u"titleXXX|summaryXXX|bodyXXX1|keywordsXXX"_s;
        QTest::addRow("keywords before program name")
            << u"<Keywords>k</Keywords><Char_Desc_45>d</Char_Desc_45><Program_Name>P</Program_Name>"_s
            << outline << u"P|d|d|k"_s << u"P"_s;
        // Row 5 runs after row 1 inserted the title, and fills the placeholder inside it.
        QTest::addRow("keywords placeholder in the title")
            << u"<Program_Name>P keywordsXXX</Program_Name><Keywords>k</Keywords>"_s << outline
            << u"P k|||k"_s << u"P keywordsXXX"_s;
        // Row 2 inserts "s bodyXXX1" twice over (summary, then the body placeholder row 6 fills):
        // "s bodyXXX1|bodyXXX1" becomes "s s bodyXXX1|s bodyXXX1", the inserted text searched no more.
        QTest::addRow("body placeholder in the summary")
            << u"<Char_Desc_45>s bodyXXX1</Char_Desc_45>"_s << u"summaryXXX|bodyXXX1"_s
            << u"s s bodyXXX1|s bodyXXX1"_s << QString();
        QTest::addRow("earlier placeholder in a later value stays")
            << u"<Keywords>titleXXX</Keywords><Program_Name>P</Program_Name>"_s << u"titleXXX|keywordsXXX"_s
            << u"P|titleXXX"_s << u"P"_s;
        QTest::addRow("placeholder twice")
            << u"<Program_Name>P</Program_Name>"_s << u"titleXXX and titleXXX"_s << u"P and P"_s << u"P"_s;
        QTest::addRow("ad placeholder inside a value")
            << u"<Program_Name>GoogleAdsenseXXX</Program_Name>"_s << u"[titleXXX]"_s << u"[<ad/>]"_s
            << u"GoogleAdsenseXXX"_s;
        QTest::addRow("lower-case tags not found")
            << u"<program_name>p</program_name><keywords>k</keywords>"_s << outline << u"|||"_s << QString();
        QTest::addRow("upper-case placeholder not matched")
            << u"<Program_Name>P</Program_Name>"_s << u"TitleXXX|PageTitleXXX"_s << u"TitleXXX|PageTitleXXX"_s
            << u"P"_s;
        QTest::addRow("empty source") << QString() << outline << u"|||"_s << QString();
    }
    void fillCases() {
        QFETCH(QString, pad);
        QFETCH(QString, pageTemplate);
        QFETCH(QString, page);
        QFETCH(QString, programName);
        const FilledArticle filled = FillArticle(pad, pageTemplate, Ad);
        QCOMPARE(filled.page, page);
        QCOMPARE(filled.programName, programName);
    }

    // Before any load the work area holds the short outline itself, which has no PAD tags.
    void fillFromTheShortTemplateEmptiesEveryRow() {
        const FilledArticle filled = FillArticle(ShortArticleTemplate(), ShortArticleTemplate(), Ad);
        QString expected = ShortArticleTemplate();
        for (const QString& placeholder : {u"titleXXX"_s, u"summaryXXX"_s, u"keywordsXXX"_s}) {
            expected.replace(placeholder + u"\r\n"_s, u"\r\n"_s);
        }
        QCOMPARE(filled.page, expected);
        QVERIFY(filled.programName.isEmpty());
    }

    // None of the article's placeholders is a web page placeholder: only the ads are filled.
    void webPageTemplateGetsOnlyTheAds() {
        const QString adBlock = vt::pagegen::DefaultAdBlock();
        const FilledArticle filled = FillArticle(padText(), vt::pagegen::DefaultPageTemplate(), adBlock);
        QString expected = vt::pagegen::DefaultPageTemplate();
        QVERIFY(expected.contains(vt::pagegen::AdPlaceholder));
        expected.replace(vt::pagegen::AdPlaceholder, adBlock);
        QCOMPARE(filled.page, expected);
        QVERIFY(filled.page.contains(u"PageTitleXXX"_s));
        QVERIFY(filled.page.contains(u"KeywordsXXX"_s));
        QCOMPARE(filled.programName, u"value of Program_Name"_s);
    }

    // The listing's order is a, B, c (case-insensitive), not the code-unit order B, a, c.
    void loadHandsOnEveryFileInListingOrder() {
        QTemporaryDir folder;
        writeBytes(folder.filePath(u"c"_s), "<Program_Name>C</Program_Name>\r\nx\ny\rz");
        writeBytes(folder.filePath(u"a"_s), "A1\r\nA2");
        writeBytes(folder.filePath(u"B"_s), "caf\xE9\r\n");
        QStringList texts;
        const vt::Result<SourcesLoaded> loaded =
            LoadArticleSources(folder.path(), [&](QString text) { texts += text; });
        QVERIFY(loaded.ok());
        QCOMPARE(loaded.value().read, 3);
        QCOMPARE(loaded.value().unreadable, 0);
        // A lone LF stays inside its line; a lone CR ends one; the last line gets CR LF too.
        QCOMPARE(texts, (QStringList{u"A1\r\nA2\r\n"_s, u"café\r\n"_s,
                                     u"<Program_Name>C</Program_Name>\r\nx\ny\r\nz\r\n"_s}));
    }

    void loadPassesOverWhatItCannotRead_data() {
        QTest::addColumn<QStringList>("files");    // created with the text "t"
        QTest::addColumn<QStringList>("dangling"); // links to nothing: listed, but cannot be opened
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("unreadable");
        QTest::addRow("no files") << QStringList() << QStringList() << QStringList() << 0;
        QTest::addRow("one unreadable among two")
            << QStringList{u"a"_s, u"c"_s} << QStringList{u"b"_s} << QStringList{u"t\r\n"_s, u"t\r\n"_s} << 1;
        QTest::addRow("only unreadable")
            << QStringList() << QStringList{u"a"_s, u"b"_s} << QStringList() << 2;
    }
    void loadPassesOverWhatItCannotRead() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, dangling);
        QFETCH(QStringList, texts);
        QFETCH(int, unreadable);
        QTemporaryDir folder;
        for (const QString& name : files) {
            writeBytes(folder.filePath(name), "t");
        }
        for (const QString& name : dangling) {
            QVERIFY(QFile::link(folder.filePath(u"missing-target"_s), folder.filePath(name)));
        }
        QStringList handed;
        const vt::Result<SourcesLoaded> loaded =
            LoadArticleSources(folder.path(), [&](QString text) { handed += text; });
        QVERIFY(loaded.ok());
        QCOMPARE(handed, texts);
        QCOMPARE(loaded.value().read, texts.size());
        QCOMPARE(loaded.value().unreadable, unreadable);
    }

    void loadOfAMissingFolderHandsOnNothing_data() {
        QTest::addColumn<QString>("folder");
        QTest::addRow("missing") << u"/no/such/folder"_s;
        QTest::addRow("empty text") << QString();
    }
    void loadOfAMissingFolderHandsOnNothing() {
        QFETCH(QString, folder);
        int handed = 0;
        const vt::Result<SourcesLoaded> loaded = LoadArticleSources(folder, [&](QString) { ++handed; });
        QVERIFY(loaded.ok());
        QCOMPARE(handed, 0);
        QCOMPARE(loaded.value().unreadable, 0);
    }

    void emptyFileGivesEmptyText() {
        QTemporaryDir folder;
        writeBytes(folder.filePath(u"empty.txt"_s), QByteArray());
        QStringList handed;
        QVERIFY(LoadArticleSources(folder.path(), [&](QString text) { handed += text; }).ok());
        QCOMPARE(handed, QStringList{QString()});
    }
};

QTEST_GUILESS_MAIN(TestArticle)
#include "tst_article.moc"
