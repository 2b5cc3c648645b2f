#include "../support/TestFiles.h"
#include "pagegen/PageWriter.h"
#include "pagegen/TemplateDefaults.h"
#include "pagegen/TemplateFill.h"

using namespace vt::pagegen;
using namespace Qt::StringLiterals;
using namespace vt::testing;

// Whole pages byte for byte: each folder of tests/data/pages holds a PAD text as the browser
// hands it over (UTF-8) and the page the default template must give for it.
class TestGoldenPages : public QObject {
    Q_OBJECT

private slots:
    void pageBytes_data() {
        QTest::addColumn<QString>("folder");
        const QDir pages(QStringLiteral(VELLUMTIDE_TEST_DATA "/pages"));
        const QStringList cases = pages.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QVERIFY(!cases.isEmpty());
        for (const QString& name : cases) {
            QTest::addRow("%s", qPrintable(name)) << pages.filePath(name);
        }
    }
    void pageBytes() {
        QFETCH(QString, folder);
        const QString pad = QString::fromUtf8(contentsOf(folder + u"/pad.xml"_s));
        const FilledPage filled = FillTemplate(pad, DefaultPageTemplate(), DefaultAdBlock(), false);
        QTemporaryDir storage;
        QVERIFY(WritePage(storage.path(), u"page"_s, std::nullopt, filled.page).ok());
        QCOMPARE(contentsOf(storage.filePath(u"page.html"_s)), contentsOf(folder + u"/expected.html"_s));
    }
};

QTEST_GUILESS_MAIN(TestGoldenPages)
#include "tst_goldenpages.moc"
