#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "files/AllFiles.h"

using namespace vt::files;
using namespace Qt::StringLiterals;

namespace {

void touch(const QDir& dir, const QString& name) {
    QFile file(dir.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QStringList listing(const QString& path) {
    const vt::Result<QStringList> names = AllFiles(path);
    return names.ok() ? names.value() : QStringList{u"<failed>"_s};
}

} // namespace

class TestAllFiles : public QObject {
    Q_OBJECT

private slots:
    void listsTheFilesOfAFolder_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("expected");
        const QStringList none;
        const QStringList nothingFound{QString()};
        QTest::addRow("empty folder") << none << none << nothingFound;
        QTest::addRow("only subfolders") << none << QStringList{u"sub"_s} << nothingFound;
        QTest::addRow("one file") << QStringList{u"a.txt"_s} << none << QStringList{u"a.txt"_s};
        QTest::addRow("subfolder not listed")
            << QStringList{u"b.txt"_s, u"a.txt"_s} << QStringList{u"a-folder"_s}
            << QStringList{u"a.txt"_s, u"b.txt"_s};
        QTest::addRow("hidden file listed")
            << QStringList{u".hidden"_s, u"x.txt"_s} << none << QStringList{u".hidden"_s, u"x.txt"_s};
        // Windows orders by upper-case code units: digits, then letters ("A" 0x41 .. "Z" 0x5A),
        // then "_" (0x5F); a case-only difference falls back to exact code units ("A" < "a").
        QTest::addRow("windows order")
            << QStringList{u"b.txt"_s, u"_c.txt"_s, u"a.txt"_s, u"A.txt"_s, u"2.txt"_s, u"10.txt"_s} << none
            << QStringList{u"10.txt"_s, u"2.txt"_s, u"A.txt"_s, u"a.txt"_s, u"b.txt"_s, u"_c.txt"_s};
        QTest::addRow("non-ascii names") << QStringList{u"\u00E9t\u00E9.txt"_s, u"zeta.txt"_s} << none
                                         << QStringList{u"zeta.txt"_s, u"\u00E9t\u00E9.txt"_s};
    }
    void listsTheFilesOfAFolder() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, folders);
        QFETCH(QStringList, expected);
        QTemporaryDir temp;
        const QDir dir(temp.path());
        for (const QString& name : files) {
            touch(dir, name);
        }
        for (const QString& name : folders) {
            QVERIFY(dir.mkdir(name));
        }
        QCOMPARE(listing(temp.path()), expected);
        QCOMPARE(listing(temp.path() + u'/'), expected);
    }

    // No folder there: one empty name, as for a folder without files.
    void noFolderGivesOneEmptyName_data() {
        QTest::addColumn<QString>("path"); // in a temp folder holding a.txt; empty: the empty path
        QTest::addRow("empty path") << QString();
        QTest::addRow("missing folder") << u"no/such/folder"_s;
        QTest::addRow("a file") << u"a.txt"_s;
    }
    void noFolderGivesOneEmptyName() {
        QFETCH(QString, path);
        QTemporaryDir temp;
        touch(QDir(temp.path()), u"a.txt"_s);
        QCOMPARE(listing(path.isEmpty() ? path : temp.filePath(path)), QStringList{QString()});
    }

    // The listing of an unchanged folder is kept; every change must still be seen at the next
    // call. The folders are left alone first for longer than a time stamp's granularity, so
    // their first listings are ones that the cache keeps.
    void everyChangeIsSeenAtTheNextCall() {
        QTemporaryDir temp;
        QDir root(temp.path());
        QVERIFY(root.mkdir(u"texts"_s) && root.mkdir(u"other"_s));
        const QString texts = temp.filePath(u"texts"_s);
        const QString other = temp.filePath(u"other"_s);
        QDir dir(texts);
        touch(dir, u"0.txt"_s);
        touch(dir, u"1.txt"_s);
        touch(QDir(other), u"other.txt"_s);
        QTest::qWait(2200);
        QCOMPARE(listing(other), QStringList{u"other.txt"_s});
        QCOMPARE(listing(texts), (QStringList{u"0.txt"_s, u"1.txt"_s}));
        QCOMPARE(listing(texts), (QStringList{u"0.txt"_s, u"1.txt"_s}));

        touch(dir, u"2.txt"_s);
        QCOMPARE(listing(texts), (QStringList{u"0.txt"_s, u"1.txt"_s, u"2.txt"_s}));
        QVERIFY(dir.remove(u"0.txt"_s));
        QCOMPARE(listing(texts), (QStringList{u"1.txt"_s, u"2.txt"_s}));
        QVERIFY(dir.rename(u"1.txt"_s, u"3.txt"_s));
        QCOMPARE(listing(texts), (QStringList{u"2.txt"_s, u"3.txt"_s}));

        // A folder replaced by another under the same path is listed afresh.
        QVERIFY(root.rename(u"texts"_s, u"texts-before"_s) && root.rename(u"other"_s, u"texts"_s));
        QCOMPARE(listing(texts), QStringList{u"other.txt"_s});
        QVERIFY(QDir(texts).remove(u"other.txt"_s));
        QCOMPARE(listing(texts), QStringList{QString()});
    }
};

QTEST_GUILESS_MAIN(TestAllFiles)
#include "tst_allfiles.moc"
