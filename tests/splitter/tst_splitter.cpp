#include "../support/DataRows.h"
#include "../support/ScriptedDialogs.h"
#include "../support/TestFiles.h"
#include "splitter/FolderSplit.h"
#include "splitter/Splitter.h"

using namespace vt::splitter;
using namespace Qt::StringLiterals;
using vt::testing::addRows;

namespace {

void makeFiles(const QString& folder, int count) {
    for (int i = 0; i < count; ++i) {
        vt::testing::writeBytes(folder + u"/%1.txt"_s.arg(i), QByteArray::number(i));
    }
}

// The file count of the master folder, then of each subfolder 0, 1, ... that exists.
QStringList sizes(const QString& master) {
    QStringList sizes{QString::number(QDir(master).entryList(QDir::Files).size())};
    for (int k = 0; QDir(master + u'/' + QString::number(k)).exists(); ++k) {
        sizes += QString::number(QDir(master + u'/' + QString::number(k)).entryList(QDir::Files).size());
    }
    return sizes;
}

// A splitter over an empty folder, and what it hands over and asks for.
struct Counting {
    QTemporaryDir temp;
    vt::testing::ScriptedDialogs dialogs;
    QStringList handOvers; // the estimate at each hand-over
    int closeRequests = 0;
    Splitter splitter;

    Counting()
        : splitter(
              dialogs, [] {}, [this] { handOvers += splitter.folderEstimate(); }) {
        QObject::connect(&splitter, &Splitter::closeRequested, [this] { ++closeRequests; });
    }
};

} // namespace

class TestSplitter : public QObject {
    Q_OBJECT

private slots:
    void noEstimate_data() { addRows("estimates"); }
    void noEstimate() {
        QFETCH(QString, count);
        QFETCH(QString, perFolder);
        QFETCH(int, estimate);
        QCOMPARE(FolderEstimate(count, perFolder).value_or(-1), estimate);
    }

    void split_data() { addRows("splits"); }
    void split() {
        QFETCH(int, files);
        QFETCH(QStringList, sizes);
        const int moved = files - sizes.first().toInt();
        QTemporaryDir master;
        makeFiles(master.path(), files);
        QList<int> indexes;
        const SplitResult result = SplitFolder(
            master.path(), FolderEstimate(QString::number(files), u"50"_s).value(), 50, files, [&](int i) {
                indexes += i;
                return i + 1 < moved;
            });
        QVERIFY(result.moved == moved && result.notMoved == 0);
        QCOMPARE(::sizes(master.path()), sizes);
        QVERIFY(indexes.size() == moved && indexes.last() == moved - 1);
        // Files go in listing order ("0.txt", "1.txt", "10.txt", ...) and keep their names.
        QVERIFY(QFile::exists(master.filePath(u"0/0.txt"_s)));
        QVERIFY(moved < 11 || QFile::exists(master.filePath(u"0/10.txt"_s)));
    }

    // A subfolder that exists is used as it is; a name taken in it stays in the master folder.
    void existingSubfoldersAndTakenNames() {
        QTemporaryDir master;
        makeFiles(master.path(), 3);
        QVERIFY(QDir(master.path()).mkdir(u"0"_s));
        QVERIFY(QFile::copy(master.filePath(u"2.txt"_s), master.filePath(u"0/1.txt"_s)));
        const SplitResult result = SplitFolder(master.path(), 1, 50, 3, [](int) { return true; });
        QVERIFY(result.moved == 2 && result.notMoved == 1);
        QCOMPARE(QDir(master.path()).entryList(QDir::Files), QStringList{u"1.txt"_s});
        QCOMPARE(vt::testing::contentsOf(master.filePath(u"0/1.txt"_s)), QByteArray("2"));
    }

    // "Count Files" counts, splits (SplitFolder's moves are checked above), hands over with the
    // estimate still there and asks to close.
    void countFiles() {
        Counting c;
        makeFiles(c.temp.path(), 120);
        c.splitter.setFolderListPath(c.temp.path());
        c.splitter.pressCountFiles();
        QCOMPARE((QStringList{c.splitter.fileCount(), c.splitter.filesPerFolder(),
                              c.splitter.folderEstimate(), c.splitter.progress()}),
                 (QStringList{u"120"_s, u"50"_s, u"3"_s, u"119"_s}));
        QCOMPARE(QDir(c.temp.path()).entryList(QDir::Files), QStringList());
        QVERIFY(c.handOvers == QStringList{u"3"_s} && c.closeRequests == 1 && c.dialogs.shown.empty());
    }

    // A folder without files counts 0 and is handed over; a missing one is not.
    void countFilesWithNothingToSplit() {
        Counting c;
        c.splitter.setFolderListPath(c.temp.path());
        c.splitter.pressCountFiles();
        QCOMPARE(c.splitter.fileCount(), u"0"_s);
        const QString missing = c.temp.filePath(u"missing"_s);
        c.splitter.setFolderListPath(missing);
        c.splitter.pressCountFiles();
        QCOMPARE(c.handOvers.size(), 1);
        QCOMPARE(c.dialogs.texts(),
                 QStringList{u"The folder \"%1\" does not exist or cannot be read.\r\n\r\nNo "
                             u"file was moved."_s.arg(missing)});
    }
};

QTEST_GUILESS_MAIN(TestSplitter)
#include "tst_splitter.moc"
