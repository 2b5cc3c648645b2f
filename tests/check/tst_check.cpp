// vellumtide-cli check as a script sees it: the built program run on the hand-made PAD texts of
// tests/data/check/texts, one record per finding and a clean one, judged by its report and exit code.
#include <QProcess>
#include <QSignalSpy>

#include <sys/stat.h>

#include "../support/DataRows.h"
#include "../support/ScriptedServer.h"
#include "../support/TestFiles.h"

using namespace vt::testing;

namespace {

const QString Texts = QStringLiteral(VELLUMTIDE_TEST_DATA "/check/texts");

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the program with this thread's event loop going, so a server of the test can answer it.
Outcome runCheck(const QStringList& arguments, const QString& command = u"check"_s) {
    QProcess process;
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(QStringLiteral(VELLUMTIDE_CLI), QStringList{command, u"--quiet"_s} + arguments);
    if (!finished.wait(60000)) {
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray expected(const QString& name) {
    return contentsOf(QStringLiteral(VELLUMTIDE_TEST_DATA "/check/") + name);
}

} // namespace

class TestCheck : public QObject {
    Q_OBJECT

private slots:
    // Record 11 is past the folder's last file: it cannot be read, with the batch's reason.
    void reports_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<int>("exitCode");
        const QStringList all = {u"--from-texts"_s, Texts, u"--end"_s, u"11"_s};
        QTest::addRow("text") << all << expected(u"expected.txt"_s) << 1;
        QTest::addRow("csv") << all + QStringList{u"--format"_s, u"csv"_s} << expected(u"expected.csv"_s)
                             << 1;
        QTest::addRow("json") << all + QStringList{u"--format"_s, u"json"_s} << expected(u"expected.json"_s)
                              << 1;
        // Filed by category, only the record of the same category loses its page to the clean one.
        QTest::addRow("by category") << QStringList{u"--from-texts"_s, Texts, u"--by-category"_s,
                                                    u"--format=csv"_s}
                                     << expected(u"expected-by-category.csv"_s) << 1;
        QTest::addRow("clean record")
            << QStringList{u"--from-texts"_s, Texts, u"--end"_s, u"0"_s}
            << QByteArray("0 findings in 1 record checked: 0 errors, 0 warnings\n") << 0;
        QTest::addRow("missing folder")
            << QStringList{u"--from-texts"_s, Texts + u"/none"_s} << QByteArray() << 2;
        QTest::addRow("bad range") << all.mid(0, 3) + QStringList{u"-1"_s} << QByteArray() << 2;
        QTest::addRow("by category of a list")
            << QStringList{u"--url-list"_s, Texts + u"/00-clean.txt"_s, u"--by-category"_s} << QByteArray()
            << 2;
        QTest::addRow("unknown format") << all + QStringList{u"--format"_s, u"xml"_s} << QByteArray() << 2;
    }
    void reports() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, report);
        QFETCH(int, exitCode);
        const Outcome outcome = runCheck(arguments);
        QCOMPARE(QString::fromUtf8(outcome.out).replace(Texts, u"{texts}"_s), QString::fromUtf8(report));
        QCOMPARE(outcome.exitCode, exitCode);
    }

    // A cell is marked as text where a spreadsheet would run it, then quoted as any cell.
    void csvFormulaCells_data() { addRows("csvcells"); }
    void csvFormulaCells() {
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, cell);
        QTemporaryDir temp;
        writeBytes(temp.filePath(u"0.txt"_s), "<Program_Name>" + value + "</Program_Name>");
        const Outcome outcome = runCheck({u"--from-texts"_s, temp.path(), u"--format"_s, u"csv"_s});
        QVERIFY2(outcome.out.contains("\r\n0,0.txt," + cell + ",description empty,"),
                 outcome.out.constData());
    }

    // A page file or category folder whose name is over 255 bytes, as the system is handed it
    // (UTF-8), cannot be written: its record gets no page. "x" is 1 byte, "\xE9" (é) 2.
    void overlongNames_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("category");
        QTest::addColumn<bool>("byCategory");
        QTest::addColumn<QString>("field"); // of the "no page" finding; "" for none
        const QString name = u"Program_Name"_s;
        const QString category = u"Program_Specific_Category"_s;
        QTest::addRow("page file of 255 bytes") << QByteArray(250, 'x') << QByteArray() << false << QString();
        QTest::addRow("page file of 256 bytes") << QByteArray(251, 'x') << QByteArray() << false << name;
        QTest::addRow("126 characters of 257 bytes")
            << QByteArray(126, '\xE9') << QByteArray() << false << name;
        QTest::addRow("category folder of 255 bytes")
            << QByteArray("P") << "Games/" + QByteArray(255, 'x') << true << QString();
        QTest::addRow("category folder of 256 bytes")
            << QByteArray("P") << "Games/" + QByteArray(256, 'x') << true << category;
        QTest::addRow("long name and category: the name is named")
            << QByteArray(251, 'x') << QByteArray(256, 'x') << true << name;
        QTest::addRow("a category not filed by")
            << QByteArray("P") << QByteArray(256, 'x') << false << QString();
    }
    void overlongNames() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, category);
        QFETCH(bool, byCategory);
        QFETCH(QString, field);
        QTemporaryDir temp;
        writeBytes(temp.filePath(u"0.txt"_s), "<Program_Name>" + name +
                                                  "</Program_Name><Program_Specific_Category>" + category +
                                                  "</Program_Specific_Category>");
        const QStringList arguments = {u"--from-texts"_s, temp.path(), u"--format=csv"_s};
        const Outcome outcome =
            runCheck(byCategory ? arguments + QStringList{u"--by-category"_s} : arguments);
        const QString noPage = u",no page,%1,error,\"The "_s.arg(field);
        QCOMPARE(QString::fromUtf8(outcome.out).contains(u",no page,"_s), !field.isEmpty());
        QVERIFY2(field.isEmpty() || QString::fromUtf8(outcome.out).contains(noPage), outcome.out.constData());
        QCOMPARE(outcome.exitCode, field.isEmpty() ? 0 : 1);
    }

    // A list is loaded as URL mode loads it: a load that fails and an entry that is refused give
    // the batch's reasons, and the same PAD file twice loses the first page.
    void urlList() {
        ScriptedServer server;
        server.answer("/clean.xml", ok("text/xml", contentsOf(Texts + u"/00-clean.txt"_s)));
        QTemporaryDir temp;
        const QString list = temp.filePath(u"list.txt"_s);
        writeBytes(list, (server.url(u"/clean.xml"_s) + u"\n"_s + server.url(u"/gone.xml"_s) +
                          u"\nftp://example.com/pad.xml\n"_s + server.url(u"/clean.xml"_s) + u"\n"_s)
                             .toUtf8());
        const Outcome outcome = runCheck({u"--url-list"_s, list, u"--format"_s, u"csv"_s});
        const QString clean = server.url(u"/clean.xml"_s);
        QCOMPARE(QString::fromUtf8(outcome.out),
                 u"record,file,program name,finding,field,severity,detail\r\n"
                 "1,%1,,not loaded,,error,the server answered with HTTP status 404 (Not Found)\r\n"
                 "2,ftp://example.com/pad.xml,,not loaded,,error,\"The URL list entry \"\"ftp://example.com/"
                 "pad.xml\"\" is not an http or https address\"\r\n"
                 "3,%2,Clean Tool,page lost,Program_Name,error,replaces the page of record 0 (%2): Clean "
                 "Tool.html\r\n"_s.arg(server.url(u"/gone.xml"_s), clean));
        QCOMPARE(outcome.exitCode, 1);
    }

    // A PAD text file that cannot be read (here a FIFO) fails its record, in the check as in the
    // batch, which makes no page for it from the text of the record before.
    void unreadableRecord() {
        QTemporaryDir temp;
        QDir(temp.path()).mkdir(u"out"_s);
        writeBytes(temp.filePath(u"a.txt"_s), "<Program_Name>A</Program_Name>");
        QCOMPARE(::mkfifo(QFile::encodeName(temp.filePath(u"b.txt"_s)).constData(), 0600), 0);
        const Outcome checked = runCheck({u"--from-texts"_s, temp.path(), u"--format"_s, u"csv"_s});
        QVERIFY2(checked.out.contains("\r\n1,b.txt,,not loaded,,error,\"Could not open \"\"") &&
                     checked.out.contains("b.txt\"\": it is not a regular file"),
                 checked.out.constData());
        const Outcome made =
            runCheck({u"--from-texts"_s, temp.path(), u"--storage"_s, temp.filePath(u"out"_s)}, u"pages"_s);
        QCOMPARE(made.exitCode, 1);
        QVERIFY2(!made.err.contains("replaced"), made.err.constData());
        QCOMPARE(filesBelow(temp.filePath(u"out"_s)), QStringList{u"A.html"_s});
    }
};

QTEST_GUILESS_MAIN(TestCheck)
#include "tst_check.moc"
