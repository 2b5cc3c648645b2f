// The headless runner as a user's script sees it: the built program run as a process on temp
// folders, judged by the files it leaves, what it prints and its exit code. What the batch makes
// is the model's business (tests/workflow, tests/category); here the runner must press its steps.
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>

#include <signal.h>

#include "../support/TestFiles.h"
#include "../support/ScriptedBrowser.h"
#include "../support/ScriptedDialogs.h"
#include "../support/ScriptedServer.h"
#include "files/TextFile.h"
#include "files/Windows1252.h"
#include "platform/NetworkBrowser.h"
#include "workflow/Workflow.h"

using namespace Qt::StringLiterals;
using vt::workflow::TemplateText;
using vt::workflow::Workflow;

using namespace vt::testing;

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the program to its end with this thread's event loop going, so a server of the test can
// answer it meanwhile. A started process may be handed to onStart (to signal it).
Outcome runCli(const QStringList& arguments, const std::function<void(QProcess&)>& onStart = {}) {
    QProcess process;
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(QStringLiteral(VELLUMTIDE_CLI), arguments);
    if (onStart && process.waitForStarted()) {
        onStart(process);
    }
    if (finished.isEmpty() && !finished.wait(120000)) {
        return {}; // the process is killed as it goes out of scope
    }
    const int exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {exitCode, QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// Every file below the folder, hidden ones too, with its bytes.
QMap<QString, QByteArray> bytesBelow(const QString& folder) {
    QMap<QString, QByteArray> found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        found.insert(QDir(folder).relativeFilePath(path), contentsOf(path));
    }
    return found;
}

QByteArray pad(const QString& name, const QString& more = {}) {
    return (u"<Program_Name>%1</Program_Name>\r\n<Char_Desc_45>About %1</Char_Desc_45>\r\n"_s.arg(name) +
            more)
        .toLatin1();
}

const QString GoldenPages = QStringLiteral(VELLUMTIDE_TEST_DATA "/pages");

QByteArray golden(const QString& name, const QString& file) {
    return contentsOf(GoldenPages + u'/' + name + u'/' + file);
}

// A temp folder with named subfolders.
struct Folders {
    QTemporaryDir temp;
    explicit Folders(const QStringList& names) {
        for (const QString& name : names) {
            QDir(temp.path()).mkdir(name);
        }
    }
    QString operator[](const QString& name) const { return temp.filePath(name); }
    // A command line reading the subfolder of texts, or the list file, and writing to storage.
    QStringList run(const QString& command, const QString& from, const QString& storage = u"out"_s) const {
        const QString source = from.endsWith(u".txt"_s) ? u"--url-list"_s : u"--from-texts"_s;
        return {command, source, (*this)[from], u"--storage"_s, (*this)[storage]};
    }
};

// A server answering each golden PAD file; its URLs one a line in list.txt of the folders.
void serveGolden(ScriptedServer& server, const Folders& f, const QStringList& names, int missing = -1) {
    QStringList urls;
    for (const QString& name : names) {
        const QByteArray path = "/" + name.toLatin1() + ".xml";
        if (urls.size() != missing) {
            server.answer(path, ok("text/xml; charset=utf-8", golden(name, u"pad.xml"_s)));
        }
        urls += server.url(QString::fromLatin1(path));
    }
    writeBytes(f[u"list.txt"_s], urls.join(u"\r\n"_s).toLatin1());
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    // The golden PAD texts give the golden pages, whether stored as text files (as "Make txt"
    // stores them) or loaded from their URLs through the real browser.
    void goldenPages_data() {
        QTest::addColumn<bool>("fromUrls");
        QTest::addRow("from texts") << false;
        QTest::addRow("from url list") << true;
    }
    void goldenPages() {
        QFETCH(bool, fromUrls);
        const QStringList names = QDir(GoldenPages).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QList<QByteArray> expected;
        Folders f({u"texts"_s, u"out"_s});
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QString text = QString::fromUtf8(golden(names[i], u"pad.xml"_s));
            QVERIFY(vt::files::writeTextFile(f[u"texts/%1.txt"_s.arg(i)], text).ok());
            expected += golden(names[i], u"expected.html"_s);
        }
        ScriptedServer server;
        serveGolden(server, f, names);
        QStringList arguments = f.run(u"pages"_s, fromUrls ? u"list.txt"_s : u"texts"_s);
        QCOMPARE(runCli(arguments << u"--quiet"_s).exitCode, 0);
        QList<QByteArray> made = bytesBelow(f[u"out"_s]).values();
        std::sort(made.begin(), made.end());
        std::sort(expected.begin(), expected.end());
        QCOMPARE(made, expected);
    }

    // The runner presses the model's own steps: corpus texts give the model's pages byte for byte,
    // with the default texts and with texts handed in by --template and --ad-block. The texts
    // "defaults" exports read back as the defaults themselves.
    void sameBytesAsTheModel_data() {
        QTest::addColumn<QString>("texts");
        QTest::addRow("default texts") << QString();
        QTest::addRow("exported defaults") << u"exported"_s;
        QTest::addRow("own template and ad block") << u"own"_s;
    }
    void sameBytesAsTheModel() {
        QFETCH(QString, texts);
        Folders f({u"texts"_s, u"cli"_s, u"model"_s});
        // The corpus files 01-25, their bytes as published.
        const QDir corpus(QStringLiteral(VELLUMTIDE_PAD_CORPUS));
        for (const QString& name : corpus.entryList({u"*.xml"_s}, QDir::Files, QDir::Name).mid(0, 25)) {
            QVERIFY(name.left(2).toInt() <= 25);
            QVERIFY(QFile::copy(corpus.filePath(name), f[u"texts/"_s + name]));
        }
        ScriptedDialogs dialogs;
        ScriptedBrowser browser;
        Workflow workflow(dialogs, browser, [] {});
        if (texts == u"own"_s) {
            const QString page =
                u"<title>PageTitleXXX</title>\r\n<p>DescriptionXXX \u00e9t\u00e9</p>\r\nGoogleAdsenseXXX\r\n"_s;
            writeBytes(f[u"page-template.html"_s], vt::files::encodeWindows1252(page));
            writeBytes(f[u"ad-block.txt"_s], "<ins>\x80 ad</ins>\r\n"); // the euro sign in Windows-1252
            workflow.setTemplateText(TemplateText::Page, page);
            workflow.setTemplateText(TemplateText::Backup, page);
            workflow.setTemplateText(TemplateText::AdBlock, u"<ins>\u20ac ad</ins>\r\n"_s);
        } else if (texts == u"exported"_s) {
            QCOMPARE(runCli({u"defaults"_s, f.temp.path()}).exitCode, 0);
        }
        QStringList arguments = f.run(u"pages"_s, u"texts"_s, u"cli"_s) << u"--quiet"_s;
        if (!texts.isEmpty()) {
            arguments << u"--template"_s << f[u"page-template.html"_s] << u"--ad-block"_s
                      << f[u"ad-block.txt"_s];
        }
        workflow.setStorageFolder(f[u"model"_s]);
        workflow.setCheck2(1);
        workflow.choosePadTextFolder(f[u"texts"_s]);
        workflow.pressCommand6();
        const QMap<QString, QByteArray> expected = bytesBelow(f[u"model"_s]);
        QCOMPARE(runCli(arguments).exitCode, dialogs.shown.empty() ? 0 : 1);
        QVERIFY(expected.size() > 15);
        QCOMPARE(bytesBelow(f[u"cli"_s]), expected);
    }

    // {t} stands for the temp folder, which holds texts/ (A, B, C), bad/ (a name no file can
    // have, then Good) and out/ (empty). Articles are written by the runner's own loop. A wrong
    // command line is refused before anything runs, with the usage of the command it names.
    void exitCodes_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("written");
        const auto row = [](const char* name, const QStringList& arguments, int exitCode,
                            const QString& message, const QStringList& written = {}) {
            QTest::newRow(name) << arguments << exitCode << message << written;
        };
        const QString out = u"--storage={t}/out"_s;
        const QString failed = u"1 of 2 records could not be loaded or written.\n\n"_s;
        row("every page made", {u"pages"_s, u"--from-texts={t}/texts"_s, out}, 0, QString(),
            {u"A.html"_s, u"B.html"_s, u"C.html"_s});
        row("a name no file can have", {u"pages"_s, u"--from-texts={t}/bad"_s, out}, 1,
            failed + u"Record 0: The program name \"a/b\" cannot be used"_s, {u"Good.html"_s});
        row("article: a name no file can have", {u"article"_s, u"--from-texts={t}/bad"_s, out}, 1,
            failed + u"Record 0: The program name \"a/b\" cannot be used"_s, {u"Good.txt"_s});
        row("storage missing", {u"pages"_s, u"--from-texts={t}/texts"_s, u"--storage={t}/none"_s}, 2,
            u"The storage folder \""_s);
        row("no command", {}, 2, u"vellumtide-cli: No command given.\nUsage: vellumtide-cli COMMAND"_s);
        row("unknown option", {u"pages"_s, u"--storag=x"_s}, 2,
            u"vellumtide-cli: Unknown option 'storag'.\nUsage: vellumtide-cli pages"_s);
        row("storage not given", {u"pages"_s, u"--from-texts={t}/texts"_s}, 2,
            u"vellumtide-cli: Missing --storage DIR.\nUsage: vellumtide-cli pages"_s);
        row("start past 16 bits", {u"texts"_s, u"--url-list=x"_s, out, u"--start=32768"_s}, 2,
            u"not \"32768\".\nUsage: vellumtide-cli texts"_s);
    }
    void exitCodes() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QStringList, written);
        Folders f({u"texts"_s, u"bad"_s, u"out"_s});
        for (const QString& name : {u"A"_s, u"B"_s, u"C"_s}) {
            writeBytes(f[u"texts/%1.txt"_s.arg(name)], pad(name));
        }
        writeBytes(f[u"bad/0.txt"_s], pad(u"a/b"_s));
        writeBytes(f[u"bad/1.txt"_s], pad(u"Good"_s));
        arguments.replaceInStrings(u"{t}"_s, f.temp.path());
        const Outcome run = runCli(exitCode == 2 ? arguments : arguments << u"--quiet"_s);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(message.isEmpty() ? run.err.isEmpty() : run.err.contains(message), qPrintable(run.err));
        QCOMPARE(filesBelow(f[u"out"_s]), written);
    }

    // Help goes to standard output; every example in it is a command line the program accepts.
    void help() {
        for (const QString& command :
             {u"COMMAND"_s, u"pages"_s, u"texts"_s, u"article"_s, u"sort"_s, u"split"_s, u"defaults"_s}) {
            const Outcome run =
                runCli(command == u"COMMAND"_s ? QStringList{u"help"_s} : QStringList{command, u"-h"_s});
            QCOMPARE(run.exitCode, 0);
            QCOMPARE(run.err, QString());
            QVERIFY2(run.out.startsWith(u"Usage: vellumtide-cli "_s + command), qPrintable(run.out));
            const QStringList lines = run.out.split(u'\n');
            const qsizetype examples = lines.indexOf(u"Examples:"_s);
            QVERIFY2(examples > 0, qPrintable(command));
            for (const QString& line : lines.mid(examples + 1, lines.size() - examples - 2)) {
                // The parser checks the whole line before it looks at --help.
                QStringList example = line.split(u' ', Qt::SkipEmptyParts).mid(1);
                QCOMPARE(runCli(example << u"--help"_s).exitCode, 0);
            }
        }
    }

    // Not a terminal: a line per 1,000 records and one at the end; --quiet (exitCodes) leaves none.
    void progressLinesAndSplit() {
        Folders f({u"texts"_s, u"out"_s});
        for (int i = 0; i <= 1000; ++i) {
            writeBytes(f[u"texts/%1.txt"_s.arg(i, 4, 10, QChar(u'0'))], pad(u"P%1"_s.arg(i)));
        }
        const Outcome run = runCli(f.run(u"pages"_s, u"texts"_s));
        QCOMPARE(run.exitCode, 0);
        const QRegularExpression lines(u"^1000/1001 records, .* left\n1001/1001 records, .* in all\n$"_s);
        QVERIFY2(lines.match(run.err).hasMatch(), qPrintable(run.err));
        // split moves the folder's files, in its order, into subfolders of --per.
        QCOMPARE(runCli({u"split"_s, u"--folder"_s, f[u"out"_s], u"--per=600"_s, u"--quiet"_s}).exitCode, 0);
        QCOMPARE(QDir(f[u"out/0"_s]).entryList(QDir::Files).size(), 600);
        QCOMPARE(QDir(f[u"out/1"_s]).entryList(QDir::Files).size(), 401);
    }

    // "texts" through the real browser against a loopback server stores what the model stores.
    // From record 1 with that PAD file missing: three passes, the last past the list's end, where
    // the address is empty and the text stored is empty.
    void textsFromLoopbackServer() {
        ScriptedServer server;
        Folders f({u"cli"_s, u"model"_s});
        serveGolden(server, f, QDir(GoldenPages).entryList(QDir::Dirs | QDir::NoDotAndDotDot).mid(0, 3), 1);
        const Outcome run =
            runCli(f.run(u"texts"_s, u"list.txt"_s, u"cli"_s) << u"--start=1"_s << u"--quiet"_s);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(u"Record 1: the server answered with HTTP status 404"_s),
                 qPrintable(run.err));
        QCOMPARE(bytesBelow(f[u"cli"_s]).keys(), (QStringList{u"1.txt"_s, u"2.txt"_s, u"3.txt"_s}));
        ScriptedDialogs dialogs;
        vt::platform::NetworkBrowser browser;
        Workflow workflow(dialogs, browser, [] { QCoreApplication::processEvents(); });
        dialogs.files += f[u"list.txt"_s];
        workflow.setStartRecord(u"1"_s);
        workflow.pressStep1();
        workflow.setCheck1(1);
        workflow.setStorageFolder(f[u"model"_s]);
        workflow.pressCommand6();
        QCOMPARE(bytesBelow(f[u"cli"_s]), bytesBelow(f[u"model"_s]));
    }

    // The article of each text in the outline chosen: its placeholders filled, the rest as it stands.
    void articles_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("article");
        QTest::addRow("short") << QStringList()
                               << QByteArray("\r\n\r\nTITLE:\r\nSolo\r\n\r\nSUMMARY:\r\nAbout Solo\r\n");
        QTest::addRow("long") << QStringList{u"--long"_s}
                              << QByteArray("Description (45 words)\r\nAbout Solo\r\n");
        // Both files are read by the line rules: the outline's lone LF stays inside its line, and
        // the ad block "[ad]" comes back as "[ad]\r\n".
        QTest::addRow("own outline") << QStringList{u"--template={t}/outline.txt"_s,
                                                    u"--ad-block={t}/ad.txt"_s}
                                     << QByteArray("Title: Solo\nAd: [ad]\r\n\r\n\r\n");
    }
    void articles() {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, article);
        Folders f({u"texts"_s, u"out"_s});
        writeBytes(f[u"texts/solo.txt"_s], pad(u"Solo"_s));
        writeBytes(f[u"outline.txt"_s], "Title: titleXXX\nAd: GoogleAdsenseXXX\r\n");
        writeBytes(f[u"ad.txt"_s], "[ad]");
        options.replaceInStrings(u"{t}"_s, f.temp.path());
        const Outcome run = runCli(f.run(u"article"_s, u"texts"_s) + options);
        QCOMPARE(run.exitCode, 0);
        const QMap<QString, QByteArray> written = bytesBelow(f[u"out"_s]);
        QCOMPARE(written.keys(), QStringList{u"Solo.txt"_s});
        QVERIFY2(written.first().contains(article), written.first().constData());
    }

    // sort files every page by category.
    void sort() {
        Folders f({u"texts"_s});
        for (int i = 0; i < 3; ++i) {
            const QString category = i == 1 ? u"Home/Hobby"_s : u"Games"_s;
            writeBytes(f[u"texts/%1.txt"_s.arg(i)],
                       pad(u"P%1"_s.arg(i),
                           u"<Program_Specific_Category>%1</Program_Specific_Category>"_s.arg(category)));
        }
        QCOMPARE(runCli({u"sort"_s, u"--pad-text-folder"_s, f[u"texts"_s], u"--quiet"_s}).exitCode, 0);
        QCOMPARE(bytesBelow(f[u"texts/Category"_s]).keys(),
                 (QStringList{u"Games/P0.html"_s, u"Games/P2.html"_s, u"Home/Hobby/P1.html"_s}));
    }

    // Ctrl-C while a PAD file loads: the run stops at its next yield, the record in hand is not
    // written, and nothing half-written is left.
    void ctrlCStopsBetweenRecords() {
        ScriptedServer server;
        server.answer("/0.xml", ok("text/xml", pad(u"First"_s)));
        server.answer("/1.xml", {Pace::Never, {}, {}});
        Folders f({u"out"_s});
        writeBytes(f[u"list.txt"_s],
                   (server.url(u"/0.xml"_s) + u"\r\n"_s + server.url(u"/1.xml"_s)).toLatin1());
        const Outcome run = runCli(f.run(u"texts"_s, u"list.txt"_s), [&](QProcess& p) {
            QTRY_COMPARE_WITH_TIMEOUT(server.requestsFor("/1.xml"), 1, 30000);
            ::kill(pid_t(p.processId()), SIGINT);
        });
        QCOMPARE(run.exitCode, 130);
        QVERIFY2(run.err.contains(u"Stopped by Ctrl-C after 1 of 2 records"_s), qPrintable(run.err));
        QCOMPARE(bytesBelow(f[u"out"_s]).keys(), QStringList{u"0.txt"_s});
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
