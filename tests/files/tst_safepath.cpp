#include <QDir>
#include <QTest>

#include "files/SafePath.h"

using namespace vt::files;
using namespace Qt::StringLiterals;

class TestSafePath : public QObject {
    Q_OBJECT

private slots:
    void names_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::addRow("plain") << u"Foo Editor.html"_s << true;
        QTest::addRow("non-ascii") << u"G\u00E4stedatenbank \u4E2D.html"_s << true;
        QTest::addRow("dots inside") << u"..x..html"_s << true;
        // Device names of other systems are ordinary names here.
        QTest::addRow("Aux") << u"Aux"_s << true;
        QTest::addRow("con.fig") << u"con.fig"_s << true;
        QTest::addRow("PRN Tool") << u"PRN Tool.html"_s << true;
        QTest::addRow("empty") << QString() << false;
        QTest::addRow("dot") << u"."_s << false;
        QTest::addRow("dot dot") << u".."_s << false;
        QTest::addRow("parent path") << u"../x"_s << false;
        QTest::addRow("slash") << u"a/b"_s << false;
        QTest::addRow("backslash") << u"a\\b"_s << false;
        QTest::addRow("colon") << u"x:y"_s << false;
        for (const QChar c : QStringView(u"*?\"<>|")) {
            QTest::addRow("refused %c", char(c.unicode())) << (u"a"_s + c + u"b"_s) << false;
        }
        QTest::addRow("tab") << u"a\tb"_s << false;
        QTest::addRow("line break") << u"a\r\nb"_s << false;
        QTest::addRow("nul") << u"a"_s + QChar(0) + u"b"_s << false;
        QTest::addRow("delete") << u"a\u007Fb"_s << false;
        // A right-to-left override makes "evil\u202Elmth.exe" look like "evilexe.html".
        QTest::addRow("bidirectional control") << u"evil\u202Elmth.exe"_s << false;
    }
    void names() {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QCOMPARE(isAcceptedName(name), accepted);
    }

    void joins_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("stem");
        QTest::addColumn<QString>("expected"); // empty: no path
        const QString sep = QDir::separator();
        QTest::addRow("plain") << u"/pages"_s << u"Foo"_s << u"/pages"_s + sep + u"Foo.html"_s;
        QTest::addRow("empty name") << u"/pages"_s << QString() << QString();
        QTest::addRow("folder already ends with a separator")
            << u"/pages/"_s << u"Foo"_s << u"/pages/"_s + sep + u"Foo.html"_s;
        QTest::addRow("no storage folder") << QString() << u"Foo"_s << QString();
        QTest::addRow("dot") << u"/pages"_s << u"."_s << QString();
        QTest::addRow("dot dot") << u"/pages"_s << u".."_s << QString();
        QTest::addRow("climbs out") << u"/pages"_s << u"../../etc/x"_s << QString();
    }
    void joins() {
        QFETCH(QString, folder);
        QFETCH(QString, stem);
        QFETCH(QString, expected);
        QCOMPARE(childFilePath(folder, stem, u".html").value_or(QString()), expected);
    }

    void nestedPaths_data() {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("expected"); // below "/s"; empty: no path
        QTest::addRow("one level") << u"Utilities"_s << u"/s/Utilities"_s;
        QTest::addRow("slash nests") << u"Home/Hobby"_s << u"/s/Home/Hobby"_s;
        QTest::addRow("backslash nests") << u"Home\\Hobby"_s << u"/s/Home/Hobby"_s;
        QTest::addRow("spaces kept") << u" Games "_s << u"/s/ Games "_s;
        QTest::addRow("empty") << QString() << QString();
        QTest::addRow("leading separator") << u"/Home"_s << QString();
        QTest::addRow("trailing separator") << u"Home/"_s << QString();
        QTest::addRow("empty part") << u"Home//Hobby"_s << QString();
        QTest::addRow("parent part") << u"Home/../.."_s << QString();
        QTest::addRow("refused part") << u"Home/a:b"_s << QString();
    }
    void nestedPaths() {
        QFETCH(QString, relative);
        QFETCH(QString, expected);
        QCOMPARE(QDir::fromNativeSeparators(nestedPath(u"/s"_s, relative).value_or(QString())), expected);
    }
};

QTEST_GUILESS_MAIN(TestSafePath)
#include "tst_safepath.moc"
