#include "../support/TestFiles.h"
#include "pagegen/RecordSteps.h"

using namespace vt::pagegen;
using namespace Qt::StringLiterals;
using namespace vt::testing;

namespace {

const QString Pad = u"<Program_Name>Foo Editor</Program_Name>"_s;
const QString Filled = u"filled page \u00E9\u20AC\u2122"_s;

// Record 6 of 10 with its page filled, and a storage folder inside a sandbox, so a write that
// escapes it shows up next to it.
struct Fixture {
    QTemporaryDir temp;
    QString storage = temp.filePath(u"storage"_s);
    RecordValues values{storage, u"6"_s, u"10"_s, Pad, u"Foo Editor"_s, QString(), false};
    TemplateStore templates{Filled, DefaultPageTemplate(), DefaultAdBlock()};

    Fixture() { QDir(temp.path()).mkdir(u"storage"_s); }
    QStringList files() const { return filesBelow(temp.path()); }
};

} // namespace

class TestRecordSteps : public QObject {
    Q_OBJECT

private slots:
    void webPage() {
        Fixture f;
        f.templates.backupTemplate = u"edited master"_s;
        QVERIFY(MakeWebPage(f.values, f.templates).ok());
        QCOMPARE(contentsOf(f.storage + u"/Foo Editor.html"_s), QByteArray("filled page \xE9\x80\x99\r\n"));
        QCOMPARE(f.values.padText, Pad + u"\r\n"_s + f.storage + QDir::separator() + u"Foo Editor.html"_s);
        QCOMPARE(f.values.recordCounter, u"7"_s);
        // An edit of the master copy serves the next page only.
        QCOMPARE(f.templates.pageTemplate, u"edited master"_s);

        // The same program name again replaces the page; an empty one writes none.
        QVERIFY(MakeWebPage(f.values, f.templates).ok());
        QCOMPARE(contentsOf(f.storage + u"/Foo Editor.html"_s), QByteArray("edited master\r\n"));
        f.values.currentProgramName.clear();
        QCOMPARE(MakeWebPage(f.values, f.templates).message(), u"the PAD text has no program name"_s);
        QCOMPARE(f.files(), (QStringList{u"storage/Foo Editor.html"_s}));
    }

    // The counter stops at the last record for pages only; PAD texts are numbered by it.
    void counterRules() {
        Fixture f;
        f.values.recordCounter = f.values.lastRecord = u"29999"_s;
        QVERIFY(MakeWebPage(f.values, f.templates).ok());
        QCOMPARE(f.values.recordCounter, u"29999"_s);

        f.templates.pageTemplate = Filled;
        f.values.padText = u"pad text"_s;
        QVERIFY(MakeTxt(f.values, f.templates).ok());
        QCOMPARE(f.values.recordCounter, u"30000"_s);
        QCOMPARE(f.templates.pageTemplate, f.templates.backupTemplate);
        QCOMPARE(contentsOf(f.storage + u"/29999.txt"_s), QByteArray("pad text\r\n"));
        QCOMPARE(f.files(), (QStringList{u"storage/29999.txt"_s, u"storage/Foo Editor.html"_s}));
    }

    // In category mode no path line is added; the page goes into its category's folder, which
    // must exist.
    void categoryPages_data() {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("folder"); // made beforehand, the page's; empty: none written
        QTest::addRow("existing folder") << u"Utilities"_s << u"Utilities"_s;
        QTest::addRow("nested") << u"Home/Hobby"_s << u"Home/Hobby"_s;
        QTest::addRow("empty: the storage folder itself") << QString() << u"."_s;
        QTest::addRow("folder missing") << u"Games"_s << QString();
        QTest::addRow("climbs out") << u"../.."_s << QString();
    }
    void categoryPages() {
        QFETCH(QString, category);
        QFETCH(QString, folder);
        Fixture f;
        QVERIFY(folder.isEmpty() || QDir(f.storage).mkpath(folder));
        f.values.categoryMode = true;
        f.values.currentCategory = category;
        QCOMPARE(MakeWebPage(f.values, f.templates).ok(), !folder.isEmpty());
        QCOMPARE(f.files(), folder.isEmpty()
                                ? QStringList()
                                : QStringList{QDir::cleanPath(u"storage/%1/Foo Editor.html"_s.arg(folder))});
        QCOMPARE(f.values.padText, Pad);
    }

    // A name the system refuses (tst_safepath has them all), as the program name or as the
    // counter: a page not written
    // still moves the counter on; a PAD text not written changes nothing.
    void hostileNamesWriteNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addRow("parent path") << u"../x"_s;
        QTest::addRow("too long") << QString(300, u'n');
    }
    void hostileNamesWriteNothing() {
        QFETCH(QString, name);
        Fixture f;
        f.values.currentProgramName = name;
        QVERIFY(!MakeWebPage(f.values, f.templates).ok());
        QCOMPARE(f.values.recordCounter, u"7"_s);
        QCOMPARE(f.templates.pageTemplate, f.templates.backupTemplate);

        f.values.recordCounter = name;
        f.templates.pageTemplate = Filled;
        QVERIFY(!MakeTxt(f.values, f.templates).ok());
        QCOMPARE(f.values.recordCounter, name);
        QCOMPARE(f.templates.pageTemplate, Filled);
        QCOMPARE(f.files(), QStringList());
    }

    void noStorageFolderChangesNothing() {
        Fixture f;
        f.values.storageFolder.clear();
        QVERIFY(!MakeWebPage(f.values, f.templates).ok() && !MakeTxt(f.values, f.templates).ok());
        QCOMPARE(f.values.recordCounter, u"6"_s);
        QCOMPARE(f.values.padText, Pad);
        QCOMPARE(f.templates.pageTemplate, Filled);
    }
};

QTEST_GUILESS_MAIN(TestRecordSteps)
#include "tst_recordsteps.moc"
