#include "../support/TestFiles.h"
#include "platform/FileSystem.h"

using namespace vt::platform;
using namespace Qt::StringLiterals;
using namespace vt::testing;

class TestFileSystem : public QObject {
    Q_OBJECT

private slots:
    void folderExists() {
        QTemporaryDir temp;
        writeBytes(temp.filePath(u"file.txt"_s), "x");
        QVERIFY(FolderExists(temp.path()));
        QVERIFY(!FolderExists(QString()));
        QVERIFY(!FolderExists(temp.filePath(u"file.txt"_s)));
        QVERIFY(!FolderExists(temp.filePath(u"missing"_s)));
    }

    void filesAndTheirCount() {
        QTemporaryDir temp;
        writeBytes(temp.filePath(u"a.txt"_s), "a");
        writeBytes(temp.filePath(u".hidden"_s), "h");
        QVERIFY(QDir(temp.path()).mkdir(u"sub"_s));
        writeBytes(temp.filePath(u"sub/inside.txt"_s), "i");
        QVERIFY(QFile::link(temp.filePath(u"sub"_s), temp.filePath(u"link-to-folder"_s)));
        QVERIFY(QFile::link(temp.filePath(u"a.txt"_s), temp.filePath(u"link-to-file"_s)));

        vt::Result<QStringList> files = FilesOf(temp.path());
        QVERIFY(files.ok());
        QStringList names = files.value();
        names.sort();
        QCOMPARE(names, (QStringList{u".hidden"_s, u"a.txt"_s, u"link-to-file"_s}));
        QCOMPARE(FileCount(temp.path()).value(), 3);
        QVERIFY(!FilesOf(temp.filePath(u"missing"_s)).ok());
    }

    void createFolder_data() {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("created");
        QTest::addRow("new folder") << u"new"_s << true;
        QTest::addRow("trailing separator") << u"new/"_s << true;
        QTest::addRow("exists already") << u"existing"_s << false;
        QTest::addRow("parent missing") << u"missing/new"_s << false;
        QTest::addRow("refused name") << u"a:b"_s << false;
        QTest::addRow("climbs out") << u".."_s << false;
    }
    void createFolder() {
        QFETCH(QString, relative);
        QFETCH(bool, created);
        QTemporaryDir temp;
        QVERIFY(QDir(temp.path()).mkdir(u"existing"_s));
        const vt::Status status = CreateFolder(temp.path() + u'/' + relative);
        QCOMPARE(status.ok(), created);
        QCOMPARE(QDir(temp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), created ? 2 : 1);
        if (!created) {
            QVERIFY(status.message().contains(relative));
        }
    }

    void moveFileNeverOverwrites() {
        QTemporaryDir temp;
        QDir root(temp.path());
        QVERIFY(root.mkdir(u"0"_s));
        writeBytes(temp.filePath(u"a.txt"_s), "first");
        writeBytes(temp.filePath(u"b.txt"_s), "second");
        writeBytes(temp.filePath(u"0/b.txt"_s), "already there");

        QVERIFY(MoveFile(temp.filePath(u"a.txt"_s), temp.filePath(u"0"_s)).ok());
        QCOMPARE(contentsOf(temp.filePath(u"0/a.txt"_s)), QByteArray("first"));
        QVERIFY(!QFile::exists(temp.filePath(u"a.txt"_s)));

        QVERIFY(!MoveFile(temp.filePath(u"b.txt"_s), temp.filePath(u"0"_s)).ok());
        QCOMPARE(contentsOf(temp.filePath(u"0/b.txt"_s)), QByteArray("already there"));
        QCOMPARE(contentsOf(temp.filePath(u"b.txt"_s)), QByteArray("second"));

        QVERIFY(!MoveFile(temp.filePath(u"missing.txt"_s), temp.filePath(u"0"_s)).ok());
        QVERIFY(!MoveFile(temp.filePath(u"b.txt"_s), temp.filePath(u"no-folder"_s)).ok());
        QCOMPARE(contentsOf(temp.filePath(u"b.txt"_s)), QByteArray("second"));
    }
};

QTEST_GUILESS_MAIN(TestFileSystem)
#include "tst_filesystem.moc"
