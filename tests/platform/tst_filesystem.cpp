#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>

#include "../support/DataRows.h"
#include "../support/TestFiles.h"
#include "platform/FileSystem.h"

using namespace vt::platform;
using namespace Qt::StringLiterals;
using namespace vt::testing;

constexpr time_t OldTime = 1000000000;

bool makeOld(const QString& path) {
    const timespec times[2] = {{OldTime, 0}, {OldTime, 0}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

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
        writeBytes(temp.filePath(u".vellumtide-fetch"_s), "the program's own");
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

    void createFolder_data() { addRows("createfolder"); }
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

    void replaceFile_data() { addRows("replacefile"); }
    void replaceFile() {
        QFETCH(QString, inTheWay);
        QFETCH(QString, failure);
        QFETCH(bool, unchanged);
        QTemporaryDir temp;
        const QString page = temp.filePath(u"page.html"_s);
        const QString victim = temp.filePath(u"victim.txt"_s);
        writeBytes(victim, "victim");
        // What killed runs left (a process that has ended; a live one's file abandoned for years),
        // beside what stays: the state file of conditional fetches, a user's file of a like name,
        // and the file that a live run is writing this moment.
        QProcess ended;
        ended.start(u"true"_s);
        const qint64 endedId = ended.processId();
        QVERIFY(ended.waitForFinished());
        const QString live = QString::number(::getppid());
        const QStringList kept = {u".vellumtide-fetch"_s, u".vellumtide-notes"_s,
                                  u".vellumtide-tmp-%1-fresh"_s.arg(live)};
        const QStringList left = kept + QStringList{u".vellumtide-tmp-%1-k1ll3d"_s.arg(endedId),
                                                    u".vellumtide-tmp-%1-0ld"_s.arg(live)};
        for (const QString& name : left) {
            writeBytes(temp.filePath(name), "left");
            QVERIFY(name.endsWith(u"fresh"_s) || makeOld(temp.filePath(name)));
        }
        if (inTheWay == u"old"_s || inTheWay == u"same"_s) {
            writeBytes(page, inTheWay == u"same"_s ? "new page" : "old page");
            QCOMPARE(::chmod(QFile::encodeName(page).constData(), 0600), 0);
            QVERIFY(makeOld(page));
        } else if (inTheWay == u"folder"_s) {
            QVERIFY(QDir(temp.path()).mkdir(u"page.html"_s));
        } else if (!inTheWay.isEmpty()) {
            QVERIFY(QFile::link(inTheWay == u"link"_s ? victim : temp.filePath(u"gone"_s), page));
        }
        ::umask(022);
        const vt::Result<FileWrite> written = ReplaceFile(page, "new page");
        QCOMPARE(written.message().section(u": "_s, 1), failure);
        QCOMPARE(written.ok() && written.value() == FileWrite::Unchanged, unchanged);
        QCOMPARE(contentsOf(victim), QByteArray("victim"));
        // The first write into the folder takes away what a killed run left; no file of its own stays.
        const bool wrote = !unchanged && !failure.startsWith(u"it is a symbolic link"_s);
        QStringList found = QDir(temp.path()).entryList({u".vellumtide-*"_s}, QDir::Files | QDir::Hidden);
        found.sort();
        QStringList expected = wrote ? kept : left;
        expected.sort();
        QCOMPARE(found.join(u" "_s), expected.join(u" "_s));
        if (failure.isEmpty()) {
            QCOMPARE(contentsOf(page), QByteArray("new page"));
            QCOMPARE(QFileInfo(page).isSymLink(), false);
            QCOMPARE(QFileInfo(page).lastModified().toSecsSinceEpoch() == OldTime, unchanged);
        }
        struct stat info {};
        // A replaced page keeps its mode; a new one has the mode the umask leaves.
        const mode_t mode = inTheWay == u"old"_s ? 0600 : 0644;
        QVERIFY(!failure.isEmpty() || unchanged ||
                (::stat(QFile::encodeName(page).constData(), &info) == 0 && (info.st_mode & 0777) == mode));
    }

    void openRegularFile_data() { addRows("openregular"); }
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

    void isSettled_data() { addRows("settled"); }
    void isSettled() {
        QFETCH(int, modified);
        QFETCH(int, changed);
        QFETCH(int, readAfter);
        QFETCH(bool, settled);
        constexpr std::int64_t Ms = 1'000'000;
        constexpr std::int64_t WholeSecond = std::int64_t(OldTime) * 1000 * Ms;
        EntryStamp stamp;
        stamp.modifiedNs = WholeSecond + std::max(modified, 0) * Ms;
        stamp.changedNs = WholeSecond + std::max(changed, 0) * Ms;
        const std::int64_t later = std::max(stamp.modifiedNs, stamp.changedNs);
        QCOMPARE(IsSettled(stamp, later + readAfter * Ms), settled);
    }
};

QTEST_GUILESS_MAIN(TestFileSystem)
#include "tst_filesystem.moc"
