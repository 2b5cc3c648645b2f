#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "../support/DataRows.h"
#include "files/AllFiles.h"

using namespace vt::files;
using namespace Qt::StringLiterals;
using vt::testing::addRows;

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
    // Names are separated by spaces; folder names end with "/". The listing is taken of the
    // folder as given, of it with a separator after it and of a path below it: a missing folder
    // or a file gives one empty name, as a folder without files does.
    void listsTheFilesOfAFolder_data() { addRows("allfiles"); }
    void listsTheFilesOfAFolder() {
        QFETCH(QString, entries);
        QFETCH(QString, listed);
        QTemporaryDir temp;
        const QDir dir(temp.path());
        for (const QString& name : entries.split(u' ', Qt::SkipEmptyParts)) {
            if (name.endsWith(u'/')) {
                QVERIFY(dir.mkdir(name.chopped(1)));
            } else {
                touch(dir, name);
            }
        }
        QCOMPARE(listing(temp.path()), listed.split(u' '));
        QCOMPARE(listing(temp.path() + u'/'), listed.split(u' '));
        QCOMPARE(listing(temp.filePath(u"no/such/folder"_s)), QStringList{QString()});
        QCOMPARE(listing(entries.isEmpty() ? QString() : temp.filePath(entries.section(u' ', 0, 0))),
                 QStringList{QString()});
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
