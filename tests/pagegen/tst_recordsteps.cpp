#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "pagegen/RecordSteps.h"

using namespace vt::pagegen;
using namespace Qt::StringLiterals;

namespace {

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every file below a folder, relative to it.
QStringList filesBelow(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        found += QDir(folder).relativeFilePath(it.next());
    }
    found.sort();
    return found;
}

// A storage folder inside a sandbox, so a write that escapes it shows up next to it.
struct Sandbox {
    QTemporaryDir temp;
    QString storage = temp.filePath(u"storage"_s);
    Sandbox() { QDir(temp.path()).mkdir(u"storage"_s); }
};

RecordValues valuesFor(const QString& storage) {
    RecordValues values;
    values.storageFolder = storage;
    values.recordCounter = u"6"_s;
    values.lastRecord = u"10"_s;
    values.padText = u"<Program_Name>Foo Editor</Program_Name>"_s;
    values.currentProgramName = u"Foo Editor"_s;
    return values;
}

TemplateStore filledTemplates() {
    TemplateStore templates;
    templates.pageTemplate = u"filled page \u00E9\u20AC\u2122"_s;
    return templates;
}

} // namespace

class TestRecordSteps : public QObject {
    Q_OBJECT

private slots:
    void webPageIsWrittenAndTheNextRecordPrepared() {
        Sandbox box;
        RecordValues values = valuesFor(box.storage);
        TemplateStore templates = filledTemplates();
        QVERIFY(MakeWebPage(values, templates).ok());
        QCOMPARE(contentsOf(box.storage + u"/Foo Editor.html"_s), QByteArray("filled page \xE9\x80\x99\r\n"));
        QCOMPARE(values.padText, u"<Program_Name>Foo Editor</Program_Name>\r\n"_s + box.storage +
                                     QDir::separator() + u"Foo Editor.html"_s);
        QCOMPARE(values.recordCounter, u"7"_s);
        QCOMPARE(templates.pageTemplate, templates.backupTemplate);

        // The same program name again replaces the page.
        templates.pageTemplate = u"second"_s;
        QVERIFY(MakeWebPage(values, templates).ok());
        QCOMPARE(contentsOf(box.storage + u"/Foo Editor.html"_s), QByteArray("second\r\n"));
        QCOMPARE(filesBelow(box.temp.path()), QStringList{u"storage/Foo Editor.html"_s});
    }

    void backupEditServesTheNextPageOnly() {
        Sandbox box;
        RecordValues values = valuesFor(box.storage);
        TemplateStore templates = filledTemplates();
        templates.backupTemplate = u"edited master"_s;
        QVERIFY(MakeWebPage(values, templates).ok());
        QCOMPARE(contentsOf(box.storage + u"/Foo Editor.html"_s), QByteArray("filled page \xE9\x80\x99\r\n"));
        QCOMPARE(templates.pageTemplate, u"edited master"_s);
    }

    void counterStopsAtTheLastRecordOnlyForPages() {
        Sandbox box;
        RecordValues values = valuesFor(box.storage);
        values.recordCounter = u"29999"_s;
        values.lastRecord = u"29999"_s;
        TemplateStore templates = filledTemplates();
        QVERIFY(MakeWebPage(values, templates).ok());
        QCOMPARE(values.recordCounter, u"29999"_s);

        templates = filledTemplates();
        values.padText = u"pad text"_s;
        QVERIFY(MakeTxt(values, templates).ok());
        QCOMPARE(values.recordCounter, u"30000"_s);
        QCOMPARE(templates.pageTemplate, templates.backupTemplate);
        QCOMPARE(contentsOf(box.storage + u"/29999.txt"_s), QByteArray("pad text\r\n"));
    }

    void padTextsAreNumberedByTheCounter() {
        Sandbox box;
        RecordValues values = valuesFor(box.storage);
        values.recordCounter = u"0"_s;
        TemplateStore templates;
        QVERIFY(MakeTxt(values, templates).ok());
        values.padText = u"second"_s;
        QVERIFY(MakeTxt(values, templates).ok());
        QCOMPARE(values.recordCounter, u"2"_s);
        QCOMPARE(filesBelow(box.storage), (QStringList{u"0.txt"_s, u"1.txt"_s}));
        QCOMPARE(contentsOf(box.storage + u"/1.txt"_s), QByteArray("second\r\n"));
    }

    void categoryPagesGoIntoTheCategoryFolder_data() {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("folder");  // created beforehand, below the storage folder
        QTest::addColumn<QString>("written"); // empty: nothing written
        QTest::addRow("existing folder")
            << u"Utilities"_s << u"Utilities"_s << u"Utilities/Foo Editor.html"_s;
        QTest::addRow("nested with slash")
            << u"Home/Hobby"_s << u"Home/Hobby"_s << u"Home/Hobby/Foo Editor.html"_s;
        QTest::addRow("nested with backslash")
            << u"Home\\Hobby"_s << u"Home/Hobby"_s << u"Home/Hobby/Foo Editor.html"_s;
        QTest::addRow("folder missing") << u"Games"_s << QString() << QString();
        QTest::addRow("empty category") << QString() << QString() << QString();
        QTest::addRow("climbs out") << u"../.."_s << QString() << QString();
        QTest::addRow("absolute") << u"/tmp"_s << QString() << QString();
    }
    void categoryPagesGoIntoTheCategoryFolder() {
        QFETCH(QString, category);
        QFETCH(QString, folder);
        QFETCH(QString, written);
        Sandbox box;
        if (!folder.isEmpty()) {
            QVERIFY(QDir(box.storage).mkpath(folder));
        }
        RecordValues values = valuesFor(box.storage);
        values.categoryMode = true;
        values.currentCategory = category;
        const QString padText = values.padText;
        TemplateStore templates = filledTemplates();
        QCOMPARE(MakeWebPage(values, templates).ok(), !written.isEmpty());
        QCOMPARE(filesBelow(box.temp.path()),
                 written.isEmpty() ? QStringList() : QStringList{u"storage/"_s + written});
        QCOMPARE(values.padText, padText);
        QCOMPARE(values.recordCounter, u"7"_s);
        QCOMPARE(templates.pageTemplate, templates.backupTemplate);
    }

    void hostileNamesWriteNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addRow("parent path") << u"../x"_s;
        QTest::addRow("slash") << u"a/b"_s;
        QTest::addRow("backslash") << u"a\\b"_s;
        QTest::addRow("device") << u"CON"_s;
        QTest::addRow("colon") << u"x:y"_s;
        QTest::addRow("control character") << u"a\u0001b"_s;
        QTest::addRow("line break") << u"a\r\nb"_s;
        QTest::addRow("dot") << u"."_s;
        QTest::addRow("dot dot") << u".."_s;
        QTest::addRow("too long") << QString(300, u'n');
        QTest::addRow("too long in bytes") << QString(130, u'\u00E9');
    }
    void hostileNamesWriteNothing() {
        QFETCH(QString, name);
        Sandbox box;
        RecordValues values = valuesFor(box.storage);
        values.currentProgramName = name;
        TemplateStore templates = filledTemplates();
        QVERIFY(!MakeWebPage(values, templates).ok());
        QCOMPARE(values.recordCounter, u"7"_s);
        QCOMPARE(templates.pageTemplate, templates.backupTemplate);

        values = valuesFor(box.storage);
        values.recordCounter = name;
        templates = filledTemplates();
        QVERIFY(!MakeTxt(values, templates).ok());
        QCOMPARE(values.recordCounter, name);
        QCOMPARE(templates.pageTemplate, u"filled page \u00E9\u20AC\u2122"_s);

        QCOMPARE(filesBelow(box.temp.path()), QStringList());
        QCOMPARE(QDir(box.temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{u"storage"_s});
    }

    void emptyProgramNameWritesDotHtml() {
        Sandbox box;
        RecordValues values = valuesFor(box.storage);
        values.currentProgramName.clear();
        TemplateStore templates = filledTemplates();
        QVERIFY(MakeWebPage(values, templates).ok());
        QCOMPARE(filesBelow(box.storage), QStringList{u".html"_s});
    }

    void noStorageFolderChangesNothing() {
        RecordValues values = valuesFor(QString());
        TemplateStore templates = filledTemplates();
        QVERIFY(!MakeWebPage(values, templates).ok());
        QVERIFY(!MakeTxt(values, templates).ok());
        QCOMPARE(values.recordCounter, u"6"_s);
        QCOMPARE(values.padText, valuesFor(QString()).padText);
        QCOMPARE(templates.pageTemplate, u"filled page \u00E9\u20AC\u2122"_s);
    }

    void storageFolderEndingWithASeparatorIsUsedUnchanged() {
        Sandbox box;
        RecordValues values = valuesFor(box.storage + u'/');
        TemplateStore templates = filledTemplates();
        QVERIFY(MakeWebPage(values, templates).ok());
        QVERIFY(values.padText.endsWith(box.storage + u'/' + QDir::separator() + u"Foo Editor.html"_s));
        QCOMPARE(filesBelow(box.storage), QStringList{u"Foo Editor.html"_s});
    }
};

QTEST_GUILESS_MAIN(TestRecordSteps)
#include "tst_recordsteps.moc"
