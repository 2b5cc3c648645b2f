#include "../support/TestFiles.h"
#include "files/Windows1252.h"
#include "pagegen/TemplateDefaults.h"

using namespace vt::pagegen;
using namespace Qt::StringLiterals;

// The default texts against copies written out independently, byte for byte.
class TestTemplateDefaults : public QObject {
    Q_OBJECT

private slots:
    void defaultTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("file");
        QTest::addRow("web page template") << DefaultPageTemplate() << u"page-template.html"_s;
        QTest::addRow("ad block") << DefaultAdBlock() << u"ad-block.txt"_s;
    }
    void defaultTexts() {
        QFETCH(QString, text);
        QFETCH(QString, file);
        const QByteArray expected =
            vt::testing::contentsOf(QStringLiteral(VELLUMTIDE_TEST_DATA "/templates/") + file);
        QCOMPARE(vt::files::encodeWindows1252(text), expected);
    }
};

QTEST_GUILESS_MAIN(TestTemplateDefaults)
#include "tst_templatedefaults.moc"
