#include <QDir>
#include <QFile>
#include <QTest>

#include "pagegen/TemplateDefaults.h"
#include "pagegen/TemplateFill.h"

using namespace vt::pagegen;
using namespace Qt::StringLiterals;

namespace {

// Each of the 14 distinct tag pairs once; every value names its tag.
QString completePadText() {
    QString pad = u"<?xml version=\"1.0\"?>\r\n<XML_DIZ_INFO>\r\n"_s;
    for (const QString& tag :
         {u"Program_Name"_s, u"Company_WebSite_URL"_s, u"Application_Screenshot_URL"_s, u"Keywords"_s,
          u"Primary_Download_URL"_s, u"Author_Email"_s, u"Char_Desc_45"_s, u"Application_Info_URL"_s,
          u"Application_Order_URL"_s, u"Char_Desc_80"_s, u"Char_Desc_250"_s, u"Char_Desc_450"_s,
          u"Char_Desc_2000"_s, u"Program_Specific_Category"_s}) {
        pad += u"<%1>value of %1</%1>\r\n"_s.arg(tag);
    }
    return pad + u"</XML_DIZ_INFO>\r\n"_s;
}

QString corpusFile(const QString& name) {
    QFile file(QStringLiteral(VELLUMTIDE_PAD_CORPUS "/") + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestTemplateFill : public QObject {
    Q_OBJECT

private slots:
    void defaultTemplateIsFilledCompletely() {
        const FilledPage filled =
            FillTemplate(completePadText(), DefaultPageTemplate(), DefaultAdBlock(), true);
        QVERIFY2(!filled.page.contains(u"XXX"_s), qPrintable(filled.page));
        QCOMPARE(filled.page.count(DefaultAdBlock()), 3);
        QCOMPARE(filled.page.count(u"value of Application_Screenshot_URL"_s), 2);
        QVERIFY(!filled.page.contains(SampleScreenshotUrl));
        QVERIFY(filled.page.contains(u"<META name=\"keywords\" content=\"value of Keywords\">"_s));
        QVERIFY(filled.page.contains(u"<p align=\"justify\">Keywords: value of Keywords</p>"_s));
        QVERIFY(filled.page.contains(u"<title>value of Program_Name</title>"_s));
        QCOMPARE(filled.programName, u"value of Program_Name"_s);
        QCOMPARE(filled.category.value_or(u"<none>"_s), u"value of Program_Specific_Category"_s);
    }

    void categoryIsRecordedOnlyWhenAsked() {
        const FilledPage filled =
            FillTemplate(completePadText(), DefaultPageTemplate(), DefaultAdBlock(), false);
        QVERIFY(!filled.category.has_value());
        QVERIFY(filled.page.contains(u"Category: value of Program_Specific_Category"_s));
    }

    void valueBetweenTags_data() {
        QTest::addColumn<QString>("pad");
        QTest::addColumn<QString>("value");
        QTest::addRow("plain") << u"<Keywords>a, b</Keywords>"_s << u"a, b"_s;
        QTest::addRow("first occurrence wins")
            << u"<Keywords>en</Keywords><Keywords>de</Keywords>"_s << u"en"_s;
        QTest::addRow("close tag before open tag ignored")
            << u"</Keywords><Keywords>x</Keywords>"_s << u"x"_s;
        QTest::addRow("other letter case not found") << u"<KEYWORDS>x</KEYWORDS>"_s << QString();
        QTest::addRow("self-closed") << u"<Keywords />"_s << QString();
        QTest::addRow("space in open tag") << u"<Keywords >x</Keywords>"_s << QString();
        QTest::addRow("no close tag") << u"<Keywords>x"_s << QString();
        QTest::addRow("empty text") << QString() << QString();
        QTest::addRow("empty value") << u"<Keywords></Keywords>"_s << QString();
        QTest::addRow("spaces and lines verbatim")
            << u"<Keywords> a\r\n b\n </Keywords>"_s << u" a\r\n b\n "_s;
        QTest::addRow("entity unchanged")
            << u"<Keywords>Tom &amp; Jerry</Keywords>"_s << u"Tom &amp; Jerry"_s;
        QTest::addRow("mismatched pair")
            << u"<PRIMARY_DOWNLOAD_URL>x</Primary_Download_URL><Keywords>k</Keywords>"_s << u"k"_s;
    }
    void valueBetweenTags() {
        QFETCH(QString, pad);
        QFETCH(QString, value);
        const QString page = FillTemplate(pad, u"[KeywordsXXX]"_s, QString(), false).page;
        QCOMPARE(page, u"["_s + value + u"]"_s);
    }

    void laterRowsFillInsideEarlierValues() {
        // Row 1's value carries row 8's placeholder, which row 8 then fills.
        const QString pad = u"<Program_Name>KeywordsXXX Tool</Program_Name><Keywords>k1</Keywords>"_s;
        const FilledPage filled = FillTemplate(pad, u"ProgramNameXXX|PageKeywordsXXX"_s, QString(), false);
        QCOMPARE(filled.page, u"k1 Tool|k1"_s);
        QCOMPARE(filled.programName, u"KeywordsXXX Tool"_s);
    }

    void adBlockIsInsertedAfterEveryRow_data() {
        QTest::addColumn<QString>("pad");
        QTest::addColumn<QString>("adBlock");
        QTest::addColumn<QString>("page");
        QTest::addRow("empty ad block removes every ad place") << QString() << QString() << u"a b c"_s;
        QTest::addRow("ad placeholder inside a value")
            << u"<Char_Desc_2000>GoogleAdsenseXXX!</Char_Desc_2000>"_s << u"AD"_s << u"aAD bAD cADAD!"_s;
    }
    void adBlockIsInsertedAfterEveryRow() {
        QFETCH(QString, pad);
        QFETCH(QString, adBlock);
        QFETCH(QString, page);
        const QString filled =
            FillTemplate(pad, u"aGoogleAdsenseXXX bGoogleAdsenseXXX cGoogleAdsenseXXXdesc2000XXX"_s, adBlock,
                         false)
                .page;
        QCOMPARE(filled, page);
    }

    void selfRepeatingAdBlockIsBounded() {
        // An ad block holding its own placeholder twice doubles the places at every row: 3 * 2^17
        // of them unchecked. Expansion stops before the page would pass the limit.
        const QString adBlock = QString(1000, u'x') + u"GoogleAdsenseXXX GoogleAdsenseXXX"_s;
        const QString page = FillTemplate(QString(), DefaultPageTemplate(), adBlock, false).page;
        QVERIFY(page.size() <= MaxPageLength);
        QVERIFY(page.size() > MaxPageLength / 4);
        QVERIFY(page.endsWith(u"</html>\r\n"_s));
    }

    void realPadFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("programName");
        QTest::addColumn<QString>("shortDescription");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("download");
        QTest::addRow("upper-case tags are not found")
            << u"04-just-clipboard-manager.xml"_s << QString() << QString() << u"Utilities"_s << QString();
        QTest::addRow("space inside an open tag")
            << u"08-diwacs.xml"_s << u"DiWaCS"_s << QString() << QString() << QString();
        QTest::addRow("category with a slash")
            << u"10-salat.xml"_s << u"Salat"_s << u"Salat calculates the prayer times for you"_s
            << u"Home/Hobby"_s << u"http://iqsoft.iqu.co.in/salat/salat.rar"_s;
        QTest::addRow("german block first")
            << u"14-rezervi.xml"_s << u"Rezervi Belegungsplan und G\u00E4stedatenbank"_s
            << u"Belegungsplan und G\u00E4stedatenbank Rezervi"_s << u"Internet"_s
            << u"http://www.rezervi.com/downloads/rezervi3_0_3.zip"_s;
        QTest::addRow("english block first")
            << u"15-dvdstyler.xml"_s << u"DVDStyler"_s << u"Free DVD authoring application."_s
            << u"Miscellaneous"_s << u"http://www.dvdstyler.org/download/DVDStyler-3.0.3-win32-pb.exe"_s;
    }
    void realPadFiles() {
        QFETCH(QString, file);
        QFETCH(QString, programName);
        QFETCH(QString, shortDescription);
        QFETCH(QString, category);
        QFETCH(QString, download);
        const FilledPage filled =
            FillTemplate(corpusFile(file), u"DescriptionXXX|DOWNLOADurlXXX"_s, DefaultAdBlock(), true);
        QCOMPARE(filled.programName, programName);
        QCOMPARE(filled.category.value_or(u"<none>"_s), category);
        QCOMPARE(filled.page, shortDescription + u'|' + download);
    }

    void everyCorpusFileFills() {
        const QDir corpus(QStringLiteral(VELLUMTIDE_PAD_CORPUS));
        const QStringList files = corpus.entryList({u"*.xml"_s}, QDir::Files);
        QCOMPARE(files.size(), 30);
        for (const QString& name : files) {
            const QString pad = corpusFile(name);
            QVERIFY2(!pad.isEmpty(), qPrintable(name));
            const FilledPage filled = FillTemplate(pad, DefaultPageTemplate(), DefaultAdBlock(), true);
            QVERIFY2(!filled.page.contains(u"GoogleAdsenseXXX"_s), qPrintable(name));
            QVERIFY2(filled.page.endsWith(u"</html>\r\n"_s), qPrintable(name));
        }
    }
};

QTEST_GUILESS_MAIN(TestTemplateFill)
#include "tst_templatefill.moc"
