#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "../support/ScriptedBrowser.h"
#include "../support/ScriptedDialogs.h"
#include "../support/ScriptedServer.h"
#include "platform/NetworkBrowser.h"
#include "workflow/Workflow.h"

using namespace vt::workflow;
using vt::platform::MessageIcon;
using namespace Qt::StringLiterals;

namespace {

const QString NoStorageWarning =
    u"You must carry out step 2: and choose a folder in which to store your files first."_s;
const QString NoListMessage = u"You haven't imported a list of PAD files. Do step 1: first."_s;

QString pad(const QString& name) {
    return u"<Program_Name>%1</Program_Name>"_s.arg(name);
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList filesBelow(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        found += QDir(folder).relativeFilePath(it.next());
    }
    found.sort();
    return found;
}

// A workflow over scripted dialogs and browser, with a storage folder and a list of n URLs
// whose PAD files name the programs P0, P1, ...
struct Fixture {
    vt::testing::ScriptedDialogs dialogs;
    vt::testing::ScriptedBrowser browser;
    std::function<void()> onYield;
    Workflow workflow{dialogs, browser, [this] {
                          if (onYield) {
                              onYield();
                          }
                      }};
    QTemporaryDir temp;
    QString storage = temp.filePath(u"storage"_s);

    explicit Fixture(int urls = 0) {
        QDir(temp.path()).mkdir(u"storage"_s);
        workflow.setStorageFolder(storage);
        QStringList list;
        for (int i = 0; i < urls; ++i) {
            list += u"http://pads/%1.xml"_s.arg(i);
            browser.pages.insert(list.last(), pad(u"P%1"_s.arg(i)));
        }
        const QString listFile = temp.filePath(u"list.txt"_s);
        writeBytes(listFile, list.join(u"\r\n"_s).toUtf8());
        if (urls > 0) {
            dialogs.files += listFile;
            workflow.pressStep1();
            dialogs.shown.clear();
        }
    }
};

} // namespace

class TestBatch : public QObject {
    Q_OBJECT

private slots:
    void refusedStarts_data() {
        QTest::addColumn<bool>("storage");
        QTest::addColumn<int>("urls");
        QTest::addColumn<QString>("rangeEnd");
        QTest::addColumn<QString>("message");
        QTest::addRow("no storage folder") << false << 2 << u"2"_s << NoStorageWarning;
        QTest::addRow("no list") << true << 0 << u"2"_s << NoListMessage;
        QTest::addRow("range not a number") << true << 2 << u"two"_s << u"\"two\""_s;
        QTest::addRow("negative range") << true << 2 << u"-1"_s << u"\"-1\""_s;
        QTest::addRow("range past 16 bits") << true << 2 << u"40000"_s << u"\"40000\""_s;
    }
    void refusedStarts() {
        QFETCH(bool, storage);
        QFETCH(int, urls);
        QFETCH(QString, rangeEnd);
        QFETCH(QString, message);
        Fixture f(urls);
        if (!storage) {
            f.workflow.setStorageFolder(QString());
        }
        f.workflow.setRangeEnd(rangeEnd);
        f.workflow.pressCommand6();
        QCOMPARE(f.dialogs.shown.size(), 1u);
        QVERIFY2(f.dialogs.shown.front().text.contains(message), qPrintable(f.dialogs.shown.front().text));
        QCOMPARE(f.dialogs.shown.front().icon,
                 message == NoListMessage ? MessageIcon::Information : MessageIcon::Exclamation);
        QVERIFY(f.browser.visited.isEmpty());
        QCOMPARE(filesBelow(f.storage), QStringList());
    }

    void rangeZero_data() {
        QTest::addColumn<int>("mode"); // 0 URL, 1 text store, 2 text file
        QTest::addColumn<QStringList>("written");
        QTest::addRow("url mode: no pass") << 0 << QStringList();
        QTest::addRow("text-store mode: no pass") << 1 << QStringList();
        QTest::addRow("text-file mode: record 0") << 2 << QStringList{u"T0.html"_s};
    }
    void rangeZero() {
        QFETCH(int, mode);
        QFETCH(QStringList, written);
        Fixture f(2);
        const QString texts = f.temp.filePath(u"texts"_s);
        QDir().mkdir(texts);
        writeBytes(texts + u"/0.txt"_s, pad(u"T0"_s).toLatin1());
        writeBytes(texts + u"/1.txt"_s, pad(u"T1"_s).toLatin1());
        f.workflow.setPadTextFolder(texts);
        f.workflow.setCheck1(mode == 1 ? 1 : 0);
        f.workflow.setCheck2(mode == 2 ? 1 : 0);
        f.workflow.setRangeEnd(u"0"_s);
        f.workflow.pressCommand6();
        QCOMPARE(filesBelow(f.storage), written);
        QVERIFY(f.dialogs.shown.empty());
    }

    void urlModeMakesEveryEntryOnce() {
        Fixture f(3);
        QCOMPARE(f.workflow.rangeEnd(), u"3"_s);
        f.workflow.pressCommand6();
        QCOMPARE(f.browser.visited,
                 (QStringList{u"http://pads/0.xml"_s, u"http://pads/1.xml"_s, u"http://pads/2.xml"_s}));
        QCOMPARE(filesBelow(f.storage), (QStringList{u"P0.html"_s, u"P1.html"_s, u"P2.html"_s}));
        QCOMPARE(f.workflow.recordCounter(), u"3"_s);
        QVERIFY(f.dialogs.shown.empty());
    }

    // Records S to N-1 are made; the counter then stays at N, so the last S passes load record
    // N, which is past the end of the list: an empty address, a failed record each.
    void urlModeFromALaterStartRecord() {
        Fixture f(3);
        f.workflow.setRecordCounter(u"1"_s);
        f.workflow.pressCommand6();
        QCOMPARE(f.browser.visited, (QStringList{u"http://pads/1.xml"_s, u"http://pads/2.xml"_s, QString()}));
        QCOMPARE(f.workflow.recordCounter(), u"3"_s);
        QCOMPARE(f.dialogs.shown.size(), 1u);
        QVERIFY(f.dialogs.shown.front().text.startsWith(u"1 of 3 records could not be loaded or written."_s));
        QVERIFY(f.dialogs.shown.front().text.contains(u"Record 3: "_s));
    }

    void textStoreModeFromALaterStartRecord() {
        Fixture f(3);
        f.workflow.setCheck1(1);
        f.workflow.setRecordCounter(u"1"_s);
        f.workflow.pressCommand6();
        QCOMPARE(filesBelow(f.storage), (QStringList{u"1.txt"_s, u"2.txt"_s, u"3.txt"_s}));
        QCOMPARE(contentsOf(f.storage + u"/2.txt"_s), pad(u"P2"_s).toLatin1() + "\r\n");
        QCOMPARE(f.workflow.recordCounter(), u"4"_s);
    }

    void textFileModeDoesEveryRecordInOrder() {
        Fixture f;
        const QString texts = f.temp.filePath(u"texts"_s);
        QDir().mkdir(texts);
        for (int i = 0; i < 3; ++i) {
            writeBytes(texts + u"/%1.txt"_s.arg(i), pad(u"T%1"_s.arg(i)).toLatin1());
        }
        f.workflow.setCheck2(1);
        f.workflow.setPadTextFolder(texts);
        f.workflow.setRecordCounter(u"7"_s);
        f.workflow.setRangeEnd(u"2"_s);
        f.workflow.pressCommand6();
        QCOMPARE(filesBelow(f.storage), (QStringList{u"T0.html"_s, u"T1.html"_s, u"T2.html"_s}));
        QCOMPARE(f.workflow.recordCounter(), u"2"_s);
        QVERIFY(f.dialogs.shown.empty());
    }

    void categoryModeOverFiftyFiles() {
        Fixture f;
        const QString texts = f.temp.filePath(u"texts"_s);
        QDir().mkdir(texts);
        for (int i = 0; i < 50; ++i) {
            const QString category = i == 7 ? u"Missing"_s : (i % 2 ? u"Games"_s : u"Home/Hobby"_s);
            writeBytes(texts + u"/%1.txt"_s.arg(i, 2, 10, QChar(u'0')),
                       (pad(u"C%1"_s.arg(i)) +
                        u"<Program_Specific_Category>%1</Program_Specific_Category>"_s.arg(category))
                           .toLatin1());
        }
        QDir(f.storage).mkpath(u"Games"_s);
        QDir(f.storage).mkpath(u"Home/Hobby"_s);
        f.workflow.setPadTextFolder(texts);
        f.workflow.setCheck3(1);
        int counterAtFirstYield = -1;
        f.onYield = [&] {
            if (counterAtFirstYield < 0) {
                counterAtFirstYield = f.workflow.recordCounter().toInt();
            }
        };
        f.workflow.pressCommand6();
        QCOMPARE(counterAtFirstYield, 0);
        QCOMPARE(f.workflow.rangeEnd(), u"49"_s);
        const QStringList pages = filesBelow(f.storage);
        QCOMPARE(pages.size(), 49);
        QVERIFY(pages.contains(u"Games/C1.html"_s) && pages.contains(u"Home/Hobby/C48.html"_s));
        QVERIFY(!pages.contains(u"Missing/C7.html"_s));
        QCOMPARE(f.dialogs.shown.size(), 1u);
        QVERIFY(f.dialogs.shown.front().text.startsWith(u"1 of 50 records"_s));
    }

    void failuresAreSummedUpAtTheEnd() {
        Fixture f(8);
        for (const int missing : {1, 2, 4, 5, 6, 7}) {
            f.browser.pages.remove(u"http://pads/%1.xml"_s.arg(missing));
        }
        f.workflow.pressCommand6();
        QCOMPARE(f.dialogs.shown.size(), 1u);
        const QString summary = f.dialogs.shown.front().text;
        QVERIFY2(
            summary.startsWith(
                u"6 of 8 records could not be loaded or written.\r\n\r\nRecord 1: no page at http://pads/1.xml\r\nRecord 2: "_s),
            qPrintable(summary));
        QVERIFY(summary.contains(u"Record 6: "_s));
        QVERIFY(!summary.contains(u"Record 7: "_s)); // only the first five are named
    }

    void secondStartDuringARunIsRefused() {
        Fixture f(3);
        int questions = 0;
        f.dialogs.onMessage = [&] {
            ++questions;
        };
        f.onYield = [&] {
            f.workflow.pressCommand6();
            f.workflow.pressStep1();
        };
        f.workflow.pressCommand6();
        QCOMPARE(f.browser.visited.size(), 3);
        QCOMPARE(questions, 0);
        QVERIFY(!f.workflow.isRunning());
    }

    void closingStopsTheRunAtItsNextYield() {
        Fixture f(5);
        int yields = 0;
        f.onYield = [&] {
            if (++yields == 6) { // the second record's Step 3 has loaded, Step 4 is next
                f.workflow.shutDown();
            }
        };
        f.workflow.pressCommand6();
        QCOMPARE(filesBelow(f.storage), QStringList{u"P0.html"_s});
        QVERIFY(f.dialogs.shown.empty());
    }

    // Five records through the real browser from a loopback server: the pages equal the golden
    // pages byte for byte, and so do the pages made again from the PAD texts stored on the way.
    void urlTextStoreAndTextFileRunsAgree() {
        const QDir golden(QStringLiteral(VELLUMTIDE_TEST_DATA "/pages"));
        const QStringList cases = golden.entryList(QDir::Dirs | QDir::NoDotAndDotDot).mid(0, 5);
        QCOMPARE(cases.size(), 5);
        vt::testing::ScriptedServer server;
        QVERIFY(server.listening());
        QStringList urls;
        for (const QString& name : cases) {
            const QByteArray path = "/" + name.toLatin1() + ".xml";
            server.answer(path, vt::testing::ok("text/xml; charset=utf-8",
                                                contentsOf(golden.filePath(name + u"/pad.xml"_s))));
            urls += server.url(QString::fromLatin1(path));
        }
        QTemporaryDir temp;
        writeBytes(temp.filePath(u"list.txt"_s), urls.join(u"\r\n"_s).toLatin1());
        for (const QString& folder : {u"pages"_s, u"texts"_s, u"pages-from-texts"_s}) {
            QDir(temp.path()).mkdir(folder);
        }

        vt::testing::ScriptedDialogs dialogs;
        vt::platform::NetworkBrowser browser;
        Workflow workflow(dialogs, browser, [] { QCoreApplication::processEvents(); });
        dialogs.files += temp.filePath(u"list.txt"_s);
        workflow.pressStep1();
        workflow.setStorageFolder(temp.filePath(u"pages"_s));
        workflow.pressCommand6();

        workflow.setRecordCounter(u"0"_s);
        workflow.setCheck1(1);
        workflow.setStorageFolder(temp.filePath(u"texts"_s));
        workflow.pressCommand6();
        QCOMPARE(filesBelow(temp.filePath(u"texts"_s)),
                 (QStringList{u"0.txt"_s, u"1.txt"_s, u"2.txt"_s, u"3.txt"_s, u"4.txt"_s}));

        workflow.setCheck2(1);
        workflow.setPadTextFolder(temp.filePath(u"texts"_s));
        workflow.setStorageFolder(temp.filePath(u"pages-from-texts"_s));
        workflow.setRangeEnd(u"4"_s);
        workflow.pressCommand6();
        QCOMPARE(dialogs.shown.size(), 1u); // the import question only

        const QStringList pages = filesBelow(temp.filePath(u"pages"_s));
        QCOMPARE(pages.size(), 5);
        QCOMPARE(filesBelow(temp.filePath(u"pages-from-texts"_s)), pages);
        QStringList expected;
        for (const QString& name : cases) {
            expected +=
                QString::fromLatin1(contentsOf(golden.filePath(name + u"/expected.html"_s)).toBase64());
        }
        QStringList made;
        QStringList madeFromTexts;
        for (const QString& page : pages) {
            made += QString::fromLatin1(contentsOf(temp.filePath(u"pages/"_s + page)).toBase64());
            madeFromTexts +=
                QString::fromLatin1(contentsOf(temp.filePath(u"pages-from-texts/"_s + page)).toBase64());
        }
        expected.sort();
        made.sort();
        madeFromTexts.sort();
        QCOMPARE(made, expected);
        QCOMPARE(madeFromTexts, expected);
    }
};

QTEST_GUILESS_MAIN(TestBatch)
#include "tst_batch.moc"
