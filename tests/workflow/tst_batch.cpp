#include <QRegularExpression>

#include <sys/stat.h>

#include "../support/DataRows.h"
#include "../support/ScriptedServer.h"
#include "../support/WorkflowFixture.h"
#include "platform/NetworkBrowser.h"

using namespace vt::workflow;
using vt::platform::MessageIcon;
using namespace Qt::StringLiterals;

using namespace vt::testing;

namespace {

const QString NoListMessage = u"You haven't imported a list of PAD files. Do step 1: first."_s;

// A storage folder with a Games folder; `urls` URLs naming the programs P0, P1, ... imported;
// PAD texts T0 to T2 of the category Games, but T1 of ".." and T2 of Tools, which has no folder.
struct Fixture : WorkflowFixture {
    QString storage = path(u"storage"_s);

    explicit Fixture(int urls) {
        QVERIFY(QDir(temp.path()).mkpath(u"storage/Games"_s) && QDir(temp.path()).mkdir(u"texts"_s));
        workflow.setStorageFolder(storage);
        workflow.setPadTextFolder(path(u"texts"_s));
        const QString text =
            u"<Program_Name>T%1</Program_Name><Program_Specific_Category>%2</Program_Specific_Category>"_s;
        for (int i = 0; i < 3; ++i) {
            write(u"texts/%1.txt"_s.arg(i), text.arg(i)
                                                .arg(i == 1   ? u".."_s
                                                     : i == 2 ? u"Tools"_s
                                                              : u"Games"_s)
                                                .toLatin1());
        }
        QByteArray list;
        for (int i = 0; i < urls; ++i) {
            browser.pages.insert(u"http://p/%1"_s.arg(i), u"<Program_Name>P%1</Program_Name>"_s.arg(i));
            list += "http://p/" + QByteArray::number(i) + "\r\n";
        }
        dialogs.files += write(u"list.txt"_s, list);
        workflow.pressStep1();
        dialogs.shown.clear();
    }
};

} // namespace

class TestBatch : public QObject {
    Q_OBJECT

private slots:
    void passes_data() { addRows("batch"); }
    void passes() {
        QFETCH(int, mode);
        QFETCH(int, urls);
        QFETCH(int, counter);
        QFETCH(int, rangeEnd);
        QFETCH(QString, visited);
        QFETCH(QString, written);
        QFETCH(QString, message);
        Fixture f(std::abs(urls));
        message.replace(u"{s}"_s, f.storage);
        f.workflow.setStorageFolder(urls < 0 ? QString() : f.storage);
        f.workflow.setCheck1(mode == 1 ? 1 : 0);
        f.workflow.setCheck2(mode == 2 ? 1 : 0);
        f.workflow.setCheck3(mode == 3 ? 1 : 0);
        f.workflow.setRecordCounter(QString::number(counter));
        f.workflow.setRangeEnd(QString::number(rangeEnd));
        f.workflow.pressCommand6();
        QCOMPARE(f.browser.visited.join(u',').remove(u"http://p/"_s), visited);
        QCOMPARE(filesBelow(f.storage).join(u' '), written);
        QCOMPARE(f.dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        const MessageIcon icon = message == NoListMessage || message.startsWith(u"All "_s)
                                     ? MessageIcon::Information
                                     : MessageIcon::Exclamation;
        QVERIFY(f.dialogs.shown.empty() || f.dialogs.shown.front().icon == icon);
        // Behind a message that names failed records lies the whole list: every record it names and
        // those it only counts.
        if (message.contains(u"\r\nRecord "_s)) {
            const QString details = f.dialogs.shown.front().details;
            const int failed = QRegularExpression(u"(\\d+) failed\\."_s).match(message).captured(1).toInt();
            QCOMPARE(details.count(u"\nRecord "_s) - details.count(u" replaced the page of "_s), failed);
            QVERIFY(!details.contains(u"... and"_s));
        }
    }

    // What a run could not do, each record named once. A PAD text file that cannot be written
    // keeps the record number, so the records after it are never reached; a value that would take
    // the page past its limit is left out, and its record fails although its page is written.
    void recordsNotMade_data() { addRows("notmade"); }
    void recordsNotMade() {
        QFETCH(int, check1);
        QFETCH(QString, message);
        Fixture f(3);
        QVERIFY(QDir(f.storage).mkdir(u"1.txt"_s));
        f.workflow.setCheck1(check1);
        f.workflow.setRangeEnd(check1 == 1 ? u"4"_s : u"1"_s);
        f.workflow.setTemplateText(TemplateText::AdBlock, u"GoogleAdsenseXXX "_s.repeated(4));
        f.workflow.pressCommand6();
        QCOMPARE(f.dialogs.texts().size(), 1);
        QVERIFY2(f.dialogs.texts().first().startsWith(QString(message).replace(u"%1"_s, f.storage)),
                 qPrintable(f.dialogs.texts().first()));
        QCOMPARE(QFileInfo(f.storage + u"/P0.html"_s).size() > 1'000'000,
                 check1 == 0); // written as it stands
    }

    // Two records that make one page file: the later page stands and the summary names both, once
    // per replaced page. In category mode only a page in the same category folder counts, and a
    // record with no category has its page in the Category folder itself.
    void pagesOfOneName_data() { addRows("sharedpages"); }
    void pagesOfOneName() {
        QFETCH(int, check3);
        QFETCH(QStringList, texts);
        QFETCH(QString, written);
        QFETCH(QString, message);
        Fixture f(0);
        QDir(f.workflow.padTextFolder()).removeRecursively();
        QDir().mkpath(f.workflow.padTextFolder());
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const QStringList parts = texts[i].split(u'|');
            writeBytes(
                f.workflow.padTextFolder() + u"/%1.txt"_s.arg(i),
                u"<Program_Name>%1</Program_Name><Program_Specific_Category>%2</Program_Specific_Category>"_s
                    .arg(parts[0], parts[1])
                    .toLatin1());
        }
        f.workflow.setCheck2(1 - check3);
        f.workflow.setCheck3(check3);
        f.workflow.choosePadTextFolder(f.workflow.padTextFolder());
        f.workflow.pressCommand6();
        QCOMPARE(filesBelow(f.storage).join(u' '), written);
        QCOMPARE(f.dialogs.texts(), QStringList{message});
        for (const QString& page : filesBelow(f.storage)) { // the template is restored after every record
            QVERIFY(contentsOf(f.storage + u'/' + page).contains(QFileInfo(page).baseName().toLatin1()));
        }
    }

    // Starts pressed in the run's yields are refused unasked; closing stops it at the next yield.
    void runRefusesStartsAndStopsOnClose() {
        Fixture f(5);
        int yields = 0;
        f.onYield = [&] {
            if (++yields == 6) { // the second record's Step 3 has loaded, Step 4 is next
                f.workflow.shutDown();
            }
            f.workflow.pressCommand6();
            f.workflow.pressStep1();
        };
        f.workflow.pressCommand6();
        QCOMPARE(f.browser.visited.size(), 2);
        QCOMPARE(filesBelow(f.storage), QStringList{u"P0.html"_s});
        QVERIFY(f.workflow.padText().startsWith(u"<Program_Name>P0<"_s)); // P1's Step 4 never ran
        QVERIFY(f.dialogs.shown.empty() && !f.workflow.isRunning());
    }

    // Text-file mode writes its pages on a second thread: the failures found there (a folder in the
    // way of the page) and those found at once (no program name) are named in record order, and
    // closing the window mid-run leaves exactly the pages of the records made before it.
    void textFilePagesWrittenBehind_data() {
        QTest::addColumn<int>("closeAtYield");
        QTest::addRow("whole run") << 0;
        QTest::addRow("closed at record 20") << 61; // three yields a record
    }
    void textFilePagesWrittenBehind() {
        QFETCH(int, closeAtYield);
        Fixture f(0);
        // Enough records that the second thread's outcomes come back while later pages are held.
        constexpr int Texts = 300;
        int failing = 0;
        // Text 7 is a FIFO, which is refused at its record, never waited on.
        constexpr int Fifo = 7;
        for (int i = 0; i < Texts; ++i) {
            failing += i % 5 == 0 || i % 3 == 0 || i == Fifo;
            const QString name = i % 5 == 0 ? QString() : u"N%1"_s.arg(i);
            if (i == Fifo) {
                QCOMPARE(::mkfifo(QFile::encodeName(f.path(u"texts/7.txt"_s)).constData(), 0600), 0);
                continue;
            }
            f.write(u"texts/%1.txt"_s.arg(i), u"<Program_Name>%1</Program_Name>"_s.arg(name).toLatin1());
            QVERIFY(i % 3 != 0 || QDir(f.storage).mkpath(name + u".html/x"_s));
        }
        f.workflow.setCheck2(1);
        f.workflow.choosePadTextFolder(f.workflow.padTextFolder());
        int yields = 0;
        QStringList atClose;
        f.onYield = [&] {
            if (++yields == closeAtYield) {
                f.workflow.shutDown();
                atClose = filesBelow(f.storage);
            }
        };
        f.workflow.pressCommand6();
        if (closeAtYield > 0) {
            QCOMPARE(filesBelow(f.storage), atClose);
            // Records 0 to 19 are 0.txt, 1.txt, 10.txt, 100.txt to 109.txt, 11.txt, 110.txt to
            // 115.txt: 10 of them have a name and a free page.
            QCOMPARE(atClose.size(), 10);
            return;
        }
        QList<int> named;
        const QString details = f.dialogs.shown.front().details;
        for (const QRegularExpressionMatch& m :
             QRegularExpression(u"\nRecord (\\d+) "_s).globalMatch(details)) {
            named += m.captured(1).toInt();
        }
        QCOMPARE(named.size(), failing);
        QVERIFY(std::is_sorted(named.begin(), named.end()));
    }

    // The golden PAD files through the real browser from loopback servers, one load at a time and
    // with loads ahead: the pages equal the golden pages byte for byte, and so do the pages made
    // again from the PAD texts stored on the way, each under its own record number. Answers come
    // at two speeds; a host that never answers and one that refuses fail their records, and make
    // no page, either way.
    void urlTextStoreAndTextFileRunsAgree_data() {
        QTest::addColumn<int>("parallel");
        QTest::addRow("one at a time") << 1;
        QTest::addRow("loads ahead") << vt::platform::DefaultParallelLoads;
    }
    void urlTextStoreAndTextFileRunsAgree() {
        QFETCH(int, parallel);
        const QDir golden(QStringLiteral(VELLUMTIDE_TEST_DATA "/pages"));
        ScriptedServer server;
        ScriptedServer stalled;
        WorkflowFixture f;
        vt::platform::NetworkBrowser browser({300ms, 5s, 10, 1024 * 1024}, parallel);
        Workflow workflow(f.dialogs, browser, [] { QCoreApplication::processEvents(); });
        QStringList list;
        QByteArrayList expected;
        for (const QString& name : golden.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            Answer answer = ok("text/xml; charset=utf-8", contentsOf(golden.filePath(name + u"/pad.xml"_s)));
            answer.pace = list.size() % 4 == 0 ? Pace::Late : Pace::Whole; // hosts of two speeds
            server.answer("/" + name.toLatin1(), answer);
            list << server.url(u'/' + name) << stalled.url(u"/never"_s);
            expected += contentsOf(golden.filePath(name + u"/expected.html"_s));
        }
        stalled.answer("/never", {Pace::Never, {}, {}});
        list << u"http://127.0.0.1:1/refused"_s;
        std::sort(expected.begin(), expected.end());
        QCOMPARE(expected.size(), 6);
        const auto run = [&](const QString& folder) { // the pages of a batch into a new folder, sorted
            QDir(f.temp.path()).mkdir(folder);
            workflow.setStorageFolder(f.path(folder));
            workflow.pressCommand6();
            QByteArrayList pages = bytesBelow(f.path(folder)).values();
            std::sort(pages.begin(), pages.end());
            return pages;
        };
        f.dialogs.files += f.write(u"list.txt"_s, list.join(u'\n').toLatin1());
        workflow.pressStep1();
        QCOMPARE(run(u"pages"_s), expected);
        workflow.setRecordCounter(u"0"_s);
        workflow.setCheck1(1);
        run(u"texts"_s);
        for (int i = 0; i < 13;
             ++i) { // record order: the PAD file of entry i is i.txt; a failed load stores none
            QCOMPARE(QFileInfo::exists(f.path(u"texts/%1.txt"_s.arg(i))), i % 2 == 0 && i < 12);
            QVERIFY(i % 2 || i == 12 || contentsOf(f.path(u"texts/%1.txt"_s.arg(i))).startsWith("<?xml"));
        }
        workflow.setCheck2(1);
        workflow.choosePadTextFolder(f.path(u"texts"_s)); // the range end too
        QCOMPARE(run(u"pages-from-texts"_s), expected);
        // The import question, then the same summary from each run of the list (6 stalled, 1 refused);
        // the run over the texts has no failure to tell.
        QCOMPARE(f.dialogs.texts().size(), 3);
        QVERIFY(f.dialogs.texts()[1].contains(u"\r\n7 of 13 records could not be loaded or written."_s));
        QCOMPARE(f.dialogs.texts()[2], f.dialogs.texts()[1]);
    }
};

QTEST_GUILESS_MAIN(TestBatch)
#include "tst_batch.moc"
