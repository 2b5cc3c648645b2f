#include <sys/stat.h>
#include <unistd.h>

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
        // A subfolder that is a link would send the file elsewhere.
        QVERIFY(QFile::link(temp.filePath(u"0"_s), temp.filePath(u"1"_s)));
        QVERIFY(!MoveFile(temp.filePath(u"b.txt"_s), temp.filePath(u"1"_s)).ok());
        QVERIFY(!MoveFile(temp.filePath(u"b.txt"_s), temp.filePath(u"no-folder"_s)).ok());
        QCOMPARE(contentsOf(temp.filePath(u"b.txt"_s)), QByteArray("second"));
    }

    // The name in the way of a file written: nothing, an old page (replaced whole, keeping its
    // permissions), a link (refused, its target untouched) or a folder.
    void replaceFile_data() {
        QTest::addColumn<QString>("inTheWay");
        QTest::addColumn<QString>("failure"); // empty: written
        QTest::addRow("nothing") << QString() << QString();
        QTest::addRow("old page") << u"old"_s << QString();
        QTest::addRow("link to a file") << u"link"_s << u"it is a symbolic link"_s;
        QTest::addRow("dangling link") << u"dangling"_s << u"it is a symbolic link"_s;
        QTest::addRow("folder") << u"folder"_s << u"Is a directory"_s;
    }
    void replaceFile() {
        QFETCH(QString, inTheWay);
        QFETCH(QString, failure);
        QTemporaryDir temp;
        const QString page = temp.filePath(u"page.html"_s);
        const QString victim = temp.filePath(u"victim.txt"_s);
        writeBytes(victim, "victim");
        if (inTheWay == u"old"_s) {
            writeBytes(page, "old page");
            QCOMPARE(::chmod(QFile::encodeName(page).constData(), 0600), 0);
        } else if (inTheWay == u"folder"_s) {
            QVERIFY(QDir(temp.path()).mkdir(u"page.html"_s));
        } else if (!inTheWay.isEmpty()) {
            QVERIFY(QFile::link(inTheWay == u"link"_s ? victim : temp.filePath(u"gone"_s), page));
        }
        const vt::Status written = ReplaceFile(page, "new page");
        QCOMPARE(written.message().section(u": "_s, 1), failure);
        QCOMPARE(contentsOf(victim), QByteArray("victim"));
        QCOMPARE(QDir(temp.path()).entryList({u".vellumtide-*"_s}, QDir::Files | QDir::Hidden),
                 QStringList());
        if (failure.isEmpty()) {
            QCOMPARE(contentsOf(page), QByteArray("new page"));
            QCOMPARE(QFileInfo(page).isSymLink(), false);
        }
        struct stat info {};
        QVERIFY(inTheWay != u"old"_s ||
                (::stat(QFile::encodeName(page).constData(), &info) == 0 && (info.st_mode & 0777) == 0600));
    }

    // Only a regular file is opened for reading, and never waited on.
    void openRegularFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("failure");
        QTest::addRow("file") << u"file"_s << QString();
        QTest::addRow("fifo") << u"fifo"_s << u"it is not a regular file (a FIFO, device or socket)"_s;
        QTest::addRow("folder") << u"folder"_s << u"it is a folder"_s;
        QTest::addRow("missing") << u"missing"_s << u"No such file or directory"_s;
        QTest::addRow("device") << u"/dev/null"_s << u"it is not a regular file (a FIFO, device or socket)"_s;
    }
    void openRegularFile() {
        QFETCH(QString, name);
        QFETCH(QString, failure);
        QTemporaryDir temp;
        writeBytes(temp.filePath(u"file"_s), "x");
        QVERIFY(QDir(temp.path()).mkdir(u"folder"_s));
        QCOMPARE(::mkfifo(QFile::encodeName(temp.filePath(u"fifo"_s)).constData(), 0600), 0);
        const vt::Result<int> opened = OpenRegularFile(name.startsWith(u'/') ? name : temp.filePath(name));
        QCOMPARE(opened.message().section(u": "_s, 1), failure);
        if (opened) {
            ::close(opened.value());
        }
    }
};

QTEST_GUILESS_MAIN(TestFileSystem)
#include "tst_filesystem.moc"
