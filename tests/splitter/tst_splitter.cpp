#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "../support/ScriptedDialogs.h"
#include "splitter/FolderSplit.h"
#include "splitter/Splitter.h"

using namespace vt::splitter;
using namespace Qt::StringLiterals;

namespace {

void makeFiles(const QString& folder, int count) {
    for (int i = 0; i < count; ++i) {
        QFile file(folder + u"/%1.txt"_s.arg(i));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(i));
    }
}

int filesIn(const QString& folder) {
    return int(QDir(folder).entryList(QDir::Files).size());
}

QList<int> subfolderSizes(const QString& master) {
    QList<int> sizes;
    for (int k = 0; QDir(master + u'/' + QString::number(k)).exists(); ++k) {
        sizes += filesIn(master + u'/' + QString::number(k));
    }
    return sizes;
}

} // namespace

class TestSplitter : public QObject {
    Q_OBJECT

private slots:
    void estimate_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("perFolder");
        QTest::addColumn<int>("estimate"); // -1: none
        QTest::addRow("120 files: 2.4 rounds to 2") << u"120"_s << u"50"_s << 3;
        QTest::addRow("125 files: 2.5 rounds to even 2") << u"125"_s << u"50"_s << 3;
        QTest::addRow("175 files: 3.5 rounds to even 4") << u"175"_s << u"50"_s << 5;
        QTest::addRow("40,000 files") << u"40000"_s << u"50"_s << 801;
        QTest::addRow("no files") << u"0"_s << u"50"_s << 1;
        QTest::addRow("zero per folder") << u"120"_s << u"0"_s << -1;
        QTest::addRow("negative per folder") << u"120"_s << u"-5"_s << -1;
        QTest::addRow("count not a number") << u"many"_s << u"50"_s << -1;
        QTest::addRow("per folder not a number") << u"120"_s << QString() << -1;
    }
    void estimate() {
        QFETCH(QString, count);
        QFETCH(QString, perFolder);
        QFETCH(int, estimate);
        QCOMPARE(FolderEstimate(count, perFolder).value_or(-1), estimate);
    }

    void split_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<QList<int>>("sizes");
        QTest::addRow("120 files") << 120 << QList<int>{50, 50, 20, 0};
        QTest::addRow("100 files") << 100 << QList<int>{50, 50, 0, 0};
        QTest::addRow("125 files") << 125 << QList<int>{50, 50, 25, 0};
        QTest::addRow("175 files") << 175 << QList<int>{50, 50, 50, 25, 0, 0};
        QTest::addRow("one file") << 1 << QList<int>{1, 0};
    }
    void split() {
        QFETCH(int, files);
        QFETCH(QList<int>, sizes);
        QTemporaryDir master;
        makeFiles(master.path(), files);
        const int estimate = FolderEstimate(QString::number(files), u"50"_s).value();
        QList<int> indexes;
        const SplitResult result = SplitFolder(master.path(), estimate, 50, files, [&](int i) {
            indexes += i;
            return true;
        });
        QCOMPARE(result.moved, files);
        QCOMPARE(result.notMoved, 0);
        QCOMPARE(subfolderSizes(master.path()), sizes);
        QCOMPARE(filesIn(master.path()), 0);
        QCOMPARE(indexes.size(), files);
        QCOMPARE(indexes.last(), files - 1);
        // Files go in listing order ("0.txt", "1.txt", "10.txt", ...) and keep their names.
        QVERIFY(QFile::exists(master.filePath(u"0/0.txt"_s)));
        QVERIFY(files < 11 || QFile::exists(master.filePath(u"0/10.txt"_s)));
    }

    void existingSubfoldersAndTakenNames() {
        QTemporaryDir master;
        makeFiles(master.path(), 3);
        QVERIFY(QDir(master.path()).mkdir(u"0"_s));
        QFile taken(master.filePath(u"0/1.txt"_s));
        QVERIFY(taken.open(QIODevice::WriteOnly));
        taken.write("already there");
        taken.close();
        const SplitResult result = SplitFolder(master.path(), 1, 50, 3, [](int) { return true; });
        QCOMPARE(result.moved, 2);
        QCOMPARE(result.notMoved, 1);
        QVERIFY(QFile::exists(master.filePath(u"1.txt"_s)));
        QFile kept(master.filePath(u"0/1.txt"_s));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("already there"));
    }

    void stopsWhenAskedTo() {
        QTemporaryDir master;
        makeFiles(master.path(), 10);
        const SplitResult result = SplitFolder(master.path(), 1, 50, 10, [](int i) { return i < 3; });
        QCOMPARE(result.moved, 4);
        QCOMPARE(filesIn(master.path()), 6);
    }

    void countFilesSplitsHandsOverAndCloses() {
        QTemporaryDir master;
        makeFiles(master.path(), 120);
        vt::testing::ScriptedDialogs dialogs;
        QString estimateAtHandOver;
        Splitter* splitterSeen = nullptr;
        Splitter splitter(
            dialogs, [] {}, [&] { estimateAtHandOver = splitterSeen->folderEstimate(); });
        splitterSeen = &splitter;
        int closeRequests = 0;
        connect(&splitter, &Splitter::closeRequested, [&] { ++closeRequests; });
        QVERIFY(!splitter.isShown(SplitterControl::Command3));
        splitter.setFolderListPath(master.path());
        QCOMPARE(splitter.masterFolder(), master.path());
        QVERIFY(splitter.isShown(SplitterControl::Command3) && splitter.isShown(SplitterControl::Text2));
        splitter.pressCountFiles();
        QCOMPARE(splitter.fileCount(), u"120"_s);
        QCOMPARE(splitter.filesPerFolder(), u"50"_s);
        QCOMPARE(splitter.folderEstimate(), u"3"_s);
        QCOMPARE(estimateAtHandOver, u"3"_s);
        QCOMPARE(splitter.progress(), u"119"_s);
        QVERIFY(!splitter.isShown(SplitterControl::Label2));
        QVERIFY(splitter.isShown(SplitterControl::Command1) && splitter.isShown(SplitterControl::Text4));
        QCOMPARE(closeRequests, 1);
        QCOMPARE(subfolderSizes(master.path()), (QList<int>{50, 50, 20, 0}));
        QVERIFY(dialogs.shown.empty());
    }

    void countFilesOnAFolderWithoutFiles() {
        QTemporaryDir master;
        vt::testing::ScriptedDialogs dialogs;
        int handOvers = 0;
        Splitter splitter(
            dialogs, [] {}, [&] { ++handOvers; });
        splitter.setFolderListPath(master.path());
        splitter.pressCountFiles();
        QCOMPARE(splitter.fileCount(), u"0"_s);
        QCOMPARE(QDir(master.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(handOvers, 1);
    }

    void countFilesOnAMissingFolder() {
        QTemporaryDir temp;
        vt::testing::ScriptedDialogs dialogs;
        int handOvers = 0;
        Splitter splitter(
            dialogs, [] {}, [&] { ++handOvers; });
        splitter.setFolderListPath(temp.filePath(u"missing"_s));
        splitter.pressCountFiles();
        QCOMPARE(handOvers, 0);
        QCOMPARE(dialogs.shown.size(), 1u);
        QVERIFY(dialogs.shown.front().text.contains(temp.filePath(u"missing"_s)));
    }
};

QTEST_GUILESS_MAIN(TestSplitter)
#include "tst_splitter.moc"
