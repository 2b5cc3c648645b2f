#include <QFile>
#include <QTest>

#include "files/Windows1252.h"
#include "pagegen/TemplateDefaults.h"
#include "pagegen/TemplateStore.h"

using namespace vt::pagegen;
using namespace Qt::StringLiterals;

namespace {

QByteArray dataFile(const QString& name) {
    QFile file(QStringLiteral(VELLUMTIDE_TEST_DATA "/templates/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The default texts against copies written out independently, byte for byte.
class TestTemplateDefaults : public QObject {
    Q_OBJECT

private slots:
    void defaultTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("lines");
        QTest::addRow("web page template") << DefaultPageTemplate() << u"page-template.html"_s << 81;
        QTest::addRow("ad block") << DefaultAdBlock() << u"ad-block.txt"_s << 17;
    }
    void defaultTexts() {
        QFETCH(QString, text);
        QFETCH(QString, file);
        QFETCH(int, lines);
        const QByteArray expected = dataFile(file);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(vt::files::encodeWindows1252(text), expected);
        QCOMPARE(text.count(u"\r\n"_s), lines);
        QVERIFY(text.endsWith(u"\r\n"_s));
    }

    void screenshotUrlStandsTwiceOnOneLine() {
        const QStringList lines = DefaultPageTemplate().split(u"\r\n"_s);
        QCOMPARE(lines.at(30).count(SampleScreenshotUrl), 2);
        QCOMPARE(DefaultPageTemplate().count(SampleScreenshotUrl), 2);
    }

    void storeStartsFromTheDefaults() {
        const TemplateStore store;
        QCOMPARE(store.pageTemplate, store.backupTemplate);
        QCOMPARE(store.pageTemplate, DefaultPageTemplate());
        QCOMPARE(store.adBlock, DefaultAdBlock());
    }
};

QTEST_GUILESS_MAIN(TestTemplateDefaults)
#include "tst_templatedefaults.moc"
