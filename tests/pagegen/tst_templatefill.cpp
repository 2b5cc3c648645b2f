#include <QDir>
#include <QFile>
#include <QTest>

#include "../support/DataRows.h"
#include "pagegen/MarkupEscape.h"
#include "pagegen/TemplateDefaults.h"
#include "pagegen/TemplateFill.h"

using namespace vt::pagegen;
using namespace Qt::StringLiterals;
using vt::testing::addRows;

namespace {

// A corpus file by its name in tests/data/pad-corpus, or by its path.
QString corpusFile(const QString& name) {
    QFile file(QDir(QStringLiteral(VELLUMTIDE_PAD_CORPUS)).filePath(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestTemplateFill : public QObject {
    Q_OBJECT

private slots:
    // The page's name, and its category only when asked; an empty ad block still fills every
    // ad place. Whole default pages are checked byte for byte by tst_goldenpages.
    void nameAndCategory() {
        const QString pad =
            u"<Program_Name>Foo</Program_Name><Program_Specific_Category>Games</Program_Specific_Category>"_s;
        const FilledPage filled = FillTemplate(pad, DefaultPageTemplate(), QString(), true);
        QCOMPARE(QStringList({filled.programName, filled.category.value_or(u"<none>"_s)}),
                 QStringList({u"Foo"_s, u"Games"_s}));
        QVERIFY(!filled.page.contains(AdPlaceholder));
        QVERIFY(!FillTemplate(pad, DefaultPageTemplate(), QString(), false).category);
    }

    // Rows in the table's order, each followed by the ad block ("AD"), over one template. A
    // value is the text between the first open tag and the first close tag after it; the golden
    // pages show verbatim values, close tags before open ones and placeholders inside values.
    void fill_data() { addRows("fill"); }
    void fill() {
        QFETCH(QString, pad);
        QFETCH(QString, page);
        const FilledPage filled =
            FillTemplate(pad, u"ProgramNameXXX|KeywordsXXX|desc2000XXX|GoogleAdsenseXXX"_s, u"AD"_s, false);
        QCOMPARE(filled.page, page);
        // The page's name is the value as found, not as later rows made it.
        QCOMPARE(filled.programName, valueBetween(pad, u"<Program_Name>", u"</Program_Name>"));
    }

    // A value made plain text for the page, whatever it holds.
    void escapeMarkup_data() { addRows("escapemarkup"); }
    void escapeMarkup() {
        QFETCH(QString, value);
        QFETCH(QString, escaped);
        QCOMPARE(EscapeMarkup(value), escaped);
    }

    // A value that meets the text beside it forms a placeholder of a later row, or of the ad
    // block, which is then replaced too; a value beside other text forms none.
    void valueMeetsText_data() {
        QTest::addColumn<QString>("pad");
        QTest::addColumn<QString>("pageTemplate");
        QTest::addColumn<QString>("page");
        const QString keywords = u"<Keywords>k</Keywords>"_s;
        QTest::addRow("at its end") << u"<Program_Name>Key</Program_Name>"_s + keywords
                                    << u"ProgramNameXXXwordsXXX"_s << u"k"_s;
        QTest::addRow("at its start")
            << u"<Program_Name>wordsXXX</Program_Name>"_s + keywords << u"KeyProgramNameXXX"_s << u"k"_s;
        QTest::addRow("ad placeholder")
            << u"<Program_Name>Google</Program_Name>"_s << u"ProgramNameXXXAdsenseXXX"_s << u"AD"_s;
        QTest::addRow("none") << u"<Program_Name>Key</Program_Name>"_s + keywords
                              << u"ProgramNameXXX wordsXXX"_s << u"Key wordsXXX"_s;
    }
    void valueMeetsText() {
        QFETCH(QString, pad);
        QFETCH(QString, pageTemplate);
        QFETCH(QString, page);
        QCOMPARE(FillTemplate(pad, pageTemplate, u"AD"_s, false).page, page);
    }

    // The fill stops where the page would pass 64 MiB: a page that reaches the limit exactly is
    // still filled, one a character longer is left as it was.
    void fillStop_data() {
        QTest::addColumn<qsizetype>("adLength");
        QTest::addRow("page at the limit") << MaxPageLength;
        QTest::addRow("a character past it") << MaxPageLength + 1;
    }
    void fillStop() {
        QFETCH(qsizetype, adLength);
        const QString page = FillTemplate(QString(), AdPlaceholder, QString(adLength, u'a'), false).page;
        QCOMPARE(page.size(), adLength <= MaxPageLength ? adLength : AdPlaceholder.size());
    }

    void selfRepeatingAdBlockIsBounded() {
        // An ad block holding its own placeholder twice doubles the places at every row: 3 * 2^17
        // of them unchecked. Expansion stops before the page would pass the limit.
        const QString adBlock = QString(1000, u'x') + u"GoogleAdsenseXXX GoogleAdsenseXXX"_s;
        const QString page = FillTemplate(QString(), DefaultPageTemplate(), adBlock, false).page;
        QVERIFY(page.size() <= MaxPageLength && page.size() > MaxPageLength / 4);
        QVERIFY(page.endsWith(u"</html>\r\n"_s));
    }

    void realPadFiles_data() { addRows("corpusfill"); }
    void realPadFiles() {
        QFETCH(QString, file);
        QFETCH(QString, page);
        const QString pageTemplate = u"ProgramNameXXX|DescriptionXXX|DOWNLOADurlXXX|CategoryXXX"_s;
        QCOMPARE(FillTemplate(corpusFile(file), pageTemplate, DefaultAdBlock(), false).page, page);
    }

    // Files 01-25 travel with the project; 26-30 may not be copied and are read from the shared
    // corpus beside the project when it is there.
    void everyCorpusFileFills_data() {
        QTest::addColumn<int>("number");
        for (int number = 1; number <= 30; ++number) {
            QTest::addRow("%02d", number) << number;
        }
    }
    void everyCorpusFileFills() {
        QFETCH(int, number);
        const QDir corpus(
            QString::fromUtf8(number <= 25 ? VELLUMTIDE_PAD_CORPUS : VELLUMTIDE_SHARED_PAD_CORPUS));
        const QStringList found = corpus.entryList({u"%1-*.xml"_s.arg(number, 2, 10, QChar(u'0'))});
        if (number > 25 && found.isEmpty()) {
            QSKIP("PAD corpus files 26-30 are not redistributable; place ../shared/pad-corpus beside the "
                  "project to test them");
        }
        QCOMPARE(found.size(), 1);
        const QString pad = corpusFile(corpus.filePath(found.first()));
        QVERIFY(!pad.isEmpty());
        const QString page = FillTemplate(pad, DefaultPageTemplate(), DefaultAdBlock(), true).page;
        QVERIFY(!page.contains(AdPlaceholder) && page.endsWith(u"</html>\r\n"_s));
    }
};

QTEST_GUILESS_MAIN(TestTemplateFill)
#include "tst_templatefill.moc"
