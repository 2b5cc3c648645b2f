// The headless runner as a user's script sees it: the built program run as a process on temp
// folders, judged by the files it leaves, what it prints and its exit code.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include <signal.h>
#include <sys/types.h>

#include "../support/TestFiles.h"
#include "../support/ScriptedBrowser.h"
#include "../support/ScriptedDialogs.h"
#include "../support/ScriptedServer.h"
#include "files/TextFile.h"
#include "files/Windows1252.h"
#include "pagegen/TemplateDefaults.h"
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
    if (!process.waitForStarted()) {
        return {};
    }
    if (onStart) {
        onStart(process);
    }
    if (finished.isEmpty() && !finished.wait(120000)) {
        process.kill();
        process.waitForFinished();
        return {};
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

QString pad(const QString& name) {
    return u"<Program_Name>%1</Program_Name>\r\n<Char_Desc_45>About %1</Char_Desc_45>\r\n"_s.arg(name);
}

const QString GoldenPages = QStringLiteral(VELLUMTIDE_TEST_DATA "/pages");

QStringList goldenCases() {
    return QDir(GoldenPages).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

QByteArray goldenPad(const QString& name) {
    return contentsOf(GoldenPages + u'/' + name + u"/pad.xml"_s);
}

// A folder of PAD text files made from the corpus files 01-25, their bytes as published.
void copyCorpus(const QString& folder, int count) {
    const QDir corpus(QStringLiteral(VELLUMTIDE_PAD_CORPUS));
    const QStringList names = corpus.entryList({u"*.xml"_s}, QDir::Files, QDir::Name).mid(0, count);
    QCOMPARE(names.size(), count);
    for (const QString& name : names) {
        QVERIFY(name.left(2).toInt() <= 25);
        QVERIFY(QFile::copy(corpus.filePath(name), folder + u'/' + name));
    }
}

// The same text-file batch in this process, through the model the window uses.
QMap<QString, QByteArray> modelPages(const QString& texts, const QString& storage,
                                     const QString& pageTemplate, const QString& adBlock, bool* anyFailed) {
    vt::testing::ScriptedDialogs dialogs;
    vt::testing::ScriptedBrowser browser;
    Workflow workflow(dialogs, browser, [] {});
    if (!pageTemplate.isEmpty()) {
        workflow.setTemplateText(TemplateText::Page, pageTemplate);
        workflow.setTemplateText(TemplateText::Backup, pageTemplate);
    }
    if (!adBlock.isEmpty()) {
        workflow.setTemplateText(TemplateText::AdBlock, adBlock);
    }
    workflow.setStorageFolder(storage);
    workflow.setCheck2(1);
    workflow.choosePadTextFolder(texts);
    workflow.pressCommand6();
    *anyFailed = !dialogs.shown.empty();
    return bytesBelow(storage);
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
};

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    // Each golden PAD text as a PAD text file (as "Make txt" stores it) gives the golden page.
    void goldenPagesFromTexts_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : goldenCases()) {
            QTest::addRow("%s", qPrintable(name)) << name;
        }
    }
    void goldenPagesFromTexts() {
        QFETCH(QString, name);
        Folders f({u"texts"_s, u"out"_s});
        QVERIFY(vt::files::writeTextFile(f[u"texts/0.txt"_s], QString::fromUtf8(goldenPad(name))).ok());
        const Outcome run =
            runCli({u"pages"_s, u"--from-texts"_s, f[u"texts"_s], u"--storage"_s, f[u"out"_s]});
        QCOMPARE(run.exitCode, 0);
        const QMap<QString, QByteArray> pages = bytesBelow(f[u"out"_s]);
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages.first(), contentsOf(GoldenPages + u'/' + name + u"/expected.html"_s));
    }

    // The runner presses the model's own steps: corpus texts give the model's pages byte for byte,
    // with the default texts and with texts handed in by --template and --ad-block.
    void sameBytesAsTheModel_data() {
        QTest::addColumn<QString>("pageTemplate");
        QTest::addColumn<QString>("adBlock");
        QTest::addRow("default texts") << QString() << QString();
        QTest::addRow("own template and ad block")
            << u"<title>PageTitleXXX</title>\r\n<p>DescriptionXXX \u00e9t\u00e9</p>\r\nGoogleAdsenseXXX\r\n"_s
            << u"<ins>\u20ac ad</ins>\r\n"_s;
    }
    void sameBytesAsTheModel() {
        QFETCH(QString, pageTemplate);
        QFETCH(QString, adBlock);
        Folders f({u"texts"_s, u"cli"_s, u"model"_s});
        copyCorpus(f[u"texts"_s], 25);
        QStringList arguments{u"pages"_s, u"--from-texts"_s, f[u"texts"_s], u"--storage"_s, f[u"cli"_s]};
        if (!pageTemplate.isEmpty()) {
            writeBytes(f[u"page.html"_s], vt::files::encodeWindows1252(pageTemplate));
            writeBytes(f[u"ad.txt"_s], vt::files::encodeWindows1252(adBlock));
            arguments += {u"--template"_s, f[u"page.html"_s], u"--ad-block"_s, f[u"ad.txt"_s]};
        }
        const Outcome run = runCli(arguments);
        bool modelFailed = false;
        const QMap<QString, QByteArray> expected =
            modelPages(f[u"texts"_s], f[u"model"_s], pageTemplate, adBlock, &modelFailed);
        QCOMPARE(run.exitCode, modelFailed ? 1 : 0);
        QVERIFY(expected.size() > 15);
        QCOMPARE(bytesBelow(f[u"cli"_s]), expected);
        if (!pageTemplate.isEmpty()) {
            QVERIFY(expected.first().contains("<ins>\x80 ad</ins>")); // the euro sign in Windows-1252
        }
    }

    // The exported texts read back as the defaults themselves: pages made with them are the
    // pages made without them.
    void defaultsRoundTrip() {
        Folders f({u"texts"_s, u"templates"_s, u"plain"_s, u"exported"_s});
        copyCorpus(f[u"texts"_s], 6);
        QCOMPARE(runCli({u"defaults"_s, f[u"templates"_s]}).exitCode, 0);
        const QString pageTemplate = f[u"templates/page-template.html"_s];
        const QString adBlock = f[u"templates/ad-block.txt"_s];
        QVERIFY(!contentsOf(pageTemplate).endsWith("\r\n\r\n"));
        QCOMPARE(vt::files::readTextFile(pageTemplate).value(), vt::pagegen::DefaultPageTemplate());
        QCOMPARE(vt::files::readTextFile(adBlock).value(), vt::pagegen::DefaultAdBlock());

        QCOMPARE(
            runCli({u"pages"_s, u"--from-texts"_s, f[u"texts"_s], u"--storage"_s, f[u"plain"_s]}).exitCode,
            0);
        QCOMPARE(runCli({u"pages"_s, u"--from-texts"_s, f[u"texts"_s], u"--storage"_s, f[u"exported"_s],
                         u"--template"_s, pageTemplate, u"--ad-block"_s, adBlock})
                     .exitCode,
                 0);
        QCOMPARE(bytesBelow(f[u"exported"_s]), bytesBelow(f[u"plain"_s]));
        QCOMPARE(bytesBelow(f[u"plain"_s]).size(), 6); // 04 spells its tags in capitals: ".html"
    }

    // {t} stands for the temp folder, which holds texts/ (A, B, C), bad/ (a name no file can
    // have, then Good), out/ (empty), empty.txt (an empty URL list) and list.txt (one URL).
    void exitCodes_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("written");
        const QString storage = u"--storage={t}/out"_s;
        QTest::addRow("every page made") << QStringList{u"pages"_s, u"--from-texts={t}/texts"_s, storage} << 0
                                         << QString() << QStringList{u"A.html"_s, u"B.html"_s, u"C.html"_s};
        QTest::addRow("a name no file can have")
            << QStringList{u"pages"_s, u"--from-texts={t}/bad"_s, storage} << 1
            << u"1 of 2 records could not be loaded or written.\n\nRecord 0: The program name \"a/b\" cannot be used"_s
            << QStringList{u"Good.html"_s};
        QTest::addRow("storage folder missing")
            << QStringList{u"pages"_s, u"--from-texts={t}/texts"_s, u"--storage={t}/none"_s} << 2
            << u"The storage folder \""_s << QStringList();
        QTest::addRow("text folder missing") << QStringList{u"pages"_s, u"--from-texts={t}/none"_s, storage}
                                             << 2 << u"The folder of PAD text files \""_s << QStringList();
        QTest::addRow("template unreadable")
            << QStringList{u"pages"_s, u"--from-texts={t}/texts"_s, storage, u"--template={t}/none.html"_s}
            << 2 << u"Could not open"_s << QStringList();
        QTest::addRow("url list missing")
            << QStringList{u"pages"_s, u"--url-list={t}/none.txt"_s, storage} << 2
            << u"The list of PAD files could not be read."_s << QStringList();
        QTest::addRow("url list empty")
            << QStringList{u"pages"_s, u"--url-list={t}/empty.txt"_s, storage} << 2
            << u"You haven't imported a list of PAD files. Do step 1: first."_s << QStringList();
        QTest::addRow("texts: storage missing")
            << QStringList{u"texts"_s, u"--url-list={t}/list.txt"_s, u"--storage={t}/none"_s} << 2
            << u"The storage folder"_s << QStringList();
        QTest::addRow("article: every article made")
            << QStringList{u"article"_s, u"--from-texts={t}/texts"_s, storage} << 0 << QString()
            << QStringList{u"A.txt"_s, u"B.txt"_s, u"C.txt"_s};
        QTest::addRow("article: a name no file can have")
            << QStringList{u"article"_s, u"--from-texts={t}/bad"_s, storage} << 1
            << u"1 of 2 records could not be loaded or written.\n\nThe program name \"a/b\" cannot be used"_s
            << QStringList{u"Good.txt"_s};
        QTest::addRow("defaults: folder missing")
            << QStringList{u"defaults"_s, u"{t}/none"_s} << 2 << u"The folder \""_s << QStringList();
    }
    void exitCodes() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QStringList, written);
        Folders f({u"texts"_s, u"bad"_s, u"out"_s});
        for (const QString& name : {u"A"_s, u"B"_s, u"C"_s}) {
            writeBytes(f[u"texts/%1.txt"_s.arg(name)], pad(name).toLatin1());
        }
        writeBytes(f[u"bad/0.txt"_s], pad(u"a/b"_s).toLatin1());
        writeBytes(f[u"bad/1.txt"_s], pad(u"Good"_s).toLatin1());
        writeBytes(f[u"empty.txt"_s], QByteArray());
        writeBytes(f[u"list.txt"_s], "http://127.0.0.1:9/0.xml\r\n");
        arguments.replaceInStrings(u"{t}"_s, f.temp.path());
        if (arguments.first() != u"defaults"_s) {
            arguments += u"--quiet"_s;
        }
        const Outcome run = runCli(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(message.isEmpty() ? run.err.isEmpty() : run.err.contains(message), qPrintable(run.err));
        QCOMPARE(bytesBelow(f[u"out"_s]).keys(), written);
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("usage");
        const QString pagesUsage = u"Usage: vellumtide-cli pages --from-texts DIR --storage DIR"_s;
        const QString programUsage =
            u"Usage: vellumtide-cli COMMAND [OPTIONS]\nCommands: pages, texts, article, sort, split, defaults"_s;
        QTest::addRow("no command") << QStringList() << u"No command given."_s << programUsage;
        QTest::addRow("unknown command")
            << QStringList{u"frobnicate"_s} << u"Unknown command \"frobnicate\"."_s << programUsage;
        QTest::addRow("help on nothing known")
            << QStringList{u"help"_s, u"frobnicate"_s} << u"No help on \"frobnicate\"."_s << programUsage;
        QTest::addRow("unknown option")
            << QStringList{u"pages"_s, u"--storag=x"_s} << u"Unknown option 'storag'."_s << pagesUsage;
        QTest::addRow("value missing") << QStringList{u"pages"_s, u"--from-texts=x"_s, u"--storage"_s}
                                       << u"Missing value after '--storage'."_s << pagesUsage;
        QTest::addRow("storage missing")
            << QStringList{u"pages"_s, u"--from-texts=x"_s} << u"Missing --storage DIR."_s << pagesUsage;
        QTest::addRow("both sources")
            << QStringList{u"pages"_s, u"--from-texts=x"_s, u"--url-list=y"_s, u"--storage=z"_s}
            << u"Give either --from-texts DIR or --url-list FILE."_s << pagesUsage;
        QTest::addRow("no source") << QStringList{u"pages"_s, u"--storage=z"_s}
                                   << u"Give either --from-texts DIR or --url-list FILE."_s << pagesUsage;
        QTest::addRow("start without a list")
            << QStringList{u"pages"_s, u"--from-texts=x"_s, u"--storage=z"_s, u"--start=1"_s}
            << u"--start goes with --url-list."_s << pagesUsage;
        QTest::addRow("start past 16 bits")
            << QStringList{u"texts"_s, u"--url-list=x"_s, u"--storage=z"_s, u"--start=32768"_s}
            << u"--start takes a whole number from -32,768 to 32,767, not \"32768\"."_s
            << u"Usage: vellumtide-cli texts"_s;
        QTest::addRow("start not a number")
            << QStringList{u"pages"_s, u"--url-list=x"_s, u"--storage=z"_s, u"--start=ten"_s}
            << u"--start takes a whole number from -32,768 to 32,767, not \"ten\"."_s << pagesUsage;
        QTest::addRow("a template for texts")
            << QStringList{u"texts"_s, u"--url-list=x"_s, u"--storage=z"_s, u"--template=t"_s}
            << u"Unknown option 'template'."_s << u"Usage: vellumtide-cli texts"_s;
        QTest::addRow("long and template")
            << QStringList{u"article"_s, u"--from-texts=x"_s, u"--storage=z"_s, u"--long"_s,
                           u"--template=t"_s}
            << u"--long and --template both choose the article template; give one of them."_s
            << u"Usage: vellumtide-cli article"_s;
        QTest::addRow("an option twice")
            << QStringList{u"pages"_s, u"--from-texts=x"_s, u"--storage=z"_s, u"--storage=y"_s}
            << u"--storage is given more than once."_s << pagesUsage;
        QTest::addRow("defaults without a folder")
            << QStringList{u"defaults"_s} << u"Missing DIR."_s << u"Usage: vellumtide-cli defaults DIR"_s;
        QTest::addRow("defaults with two folders")
            << QStringList{u"defaults"_s, u"a"_s, u"b"_s} << u"Unexpected argument \"b\"."_s
            << u"Usage: vellumtide-cli defaults DIR"_s;
    }
    void usageErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QFETCH(QString, usage);
        QTemporaryDir temp;
        const QString before = QDir::currentPath();
        QDir::setCurrent(temp.path()); // nothing may be written, not even relative to here
        const Outcome run = runCli(arguments);
        QDir::setCurrent(before);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.startsWith(u"vellumtide-cli: "_s + message + u'\n'), qPrintable(run.err));
        QVERIFY2(run.err.contains(usage), qPrintable(run.err));
        QVERIFY(QDir(temp.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    // Help goes to standard output; every example in it is a command line the program accepts.
    void help_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("holds");
        QTest::addRow("program") << QStringList{u"--help"_s}
                                 << QStringList{u"  pages "_s,    u"  texts "_s,    u"  article "_s,
                                                u"  defaults "_s, u"Exit codes:"_s, u"130"_s};
        QTest::addRow("help word") << QStringList{u"help"_s} << QStringList{u"Commands:"_s};
        for (const QString& command : {u"pages"_s, u"texts"_s, u"article"_s, u"defaults"_s}) {
            QTest::addRow("%s", qPrintable(command))
                << QStringList{command, u"-h"_s}
                << QStringList{u"Usage: vellumtide-cli "_s + command, u"Options:"_s, u"  -h, --help"_s};
            QTest::addRow("help %s", qPrintable(command))
                << QStringList{u"help"_s, command} << QStringList{u"Usage: vellumtide-cli "_s + command};
        }
    }
    void help() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, holds);
        const Outcome run = runCli(arguments);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString());
        for (const QString& text : holds) {
            QVERIFY2(run.out.contains(text), qPrintable(text));
        }
        const QStringList lines = run.out.split(u'\n');
        const qsizetype examples = lines.indexOf(u"Examples:"_s);
        QVERIFY(examples > 0);
        for (const QString& line : lines.mid(examples + 1, lines.size() - examples - 2)) {
            QVERIFY2(line.startsWith(u"  vellumtide-cli "_s), qPrintable(line));
            // The parser checks the whole line before it looks at --help.
            QStringList example = line.split(u' ', Qt::SkipEmptyParts).mid(1);
            QCOMPARE(runCli(example << u"--help"_s).exitCode, 0);
        }
    }

    // Not a terminal: a line per 1,000 records and one at the end. (--quiet leaves none: every
    // run of exitCodes is quiet and must print nothing but its message.)
    void progressLines() {
        Folders f({u"texts"_s, u"out"_s});
        for (int i = 0; i <= 1000; ++i) {
            writeBytes(f[u"texts/%1.txt"_s.arg(i, 4, 10, QChar(u'0'))], pad(u"P%1"_s.arg(i)).toLatin1());
        }
        const Outcome run =
            runCli({u"pages"_s, u"--from-texts"_s, f[u"texts"_s], u"--storage"_s, f[u"out"_s]});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(bytesBelow(f[u"out"_s]).size(), 1001);
        const QStringList printed = run.err.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(printed.size(), 2);
        QVERIFY2(printed[0].startsWith(u"1000/1001 records, "_s) && printed[0].endsWith(u" left"_s),
                 qPrintable(printed[0]));
        QVERIFY2(printed[1].startsWith(u"1001/1001 records, "_s) && printed[1].endsWith(u" in all"_s),
                 qPrintable(printed[1]));
    }

    // The URL modes through the real browser against a loopback server: "texts" stores what the
    // model stores, and "pages" makes the golden pages.
    void textsFromLoopbackServer_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("missingPad");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<int>("exitCode");
        QTest::addRow("whole list") << u"0"_s << false << QStringList{u"0.txt"_s, u"1.txt"_s, u"2.txt"_s}
                                    << 0;
        QTest::addRow("a PAD file missing")
            << u"0"_s << true << QStringList{u"0.txt"_s, u"1.txt"_s, u"2.txt"_s} << 1;
        // Three passes from record 2: "Make txt" moves on past the list's end, where the address
        // is empty and the text stored is empty.
        QTest::addRow("from a later start record")
            << u"2"_s << false << QStringList{u"2.txt"_s, u"3.txt"_s, u"4.txt"_s} << 0;
    }
    void textsFromLoopbackServer() {
        QFETCH(QString, start);
        QFETCH(bool, missingPad);
        QFETCH(QStringList, written);
        QFETCH(int, exitCode);
        vt::testing::ScriptedServer server;
        QVERIFY(server.listening());
        const QStringList cases = goldenCases().mid(0, 3);
        QStringList urls;
        for (const QString& name : cases) {
            const QByteArray path = "/" + name.toLatin1() + ".xml";
            if (!missingPad || urls.size() != 1) {
                server.answer(path, vt::testing::ok("text/xml; charset=utf-8", goldenPad(name)));
            }
            urls += server.url(QString::fromLatin1(path));
        }
        Folders f({u"cli"_s, u"model"_s});
        writeBytes(f[u"list.txt"_s], urls.join(u"\r\n"_s).toLatin1());

        const Outcome run = runCli({u"texts"_s, u"--url-list"_s, f[u"list.txt"_s], u"--storage"_s,
                                    f[u"cli"_s], u"--start"_s, start, u"--quiet"_s});
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.err.contains(u"Record 1: the server answered with HTTP status 404"_s), missingPad);
        QCOMPARE(bytesBelow(f[u"cli"_s]).keys(), written);

        vt::testing::ScriptedDialogs dialogs;
        vt::platform::NetworkBrowser browser;
        Workflow workflow(dialogs, browser, [] { QCoreApplication::processEvents(); });
        dialogs.files += f[u"list.txt"_s];
        workflow.setStartRecord(start);
        workflow.pressStep1();
        workflow.setCheck1(1);
        workflow.setStorageFolder(f[u"model"_s]);
        workflow.pressCommand6();
        QCOMPARE(bytesBelow(f[u"cli"_s]), bytesBelow(f[u"model"_s]));
    }

    void pagesFromLoopbackServer() {
        vt::testing::ScriptedServer server;
        QVERIFY(server.listening());
        QStringList urls;
        QStringList expected;
        for (const QString& name : goldenCases()) {
            const QByteArray path = "/" + name.toLatin1() + ".xml";
            server.answer(path, vt::testing::ok("text/xml; charset=utf-8", goldenPad(name)));
            urls += server.url(QString::fromLatin1(path));
            expected +=
                QString::fromLatin1(contentsOf(GoldenPages + u'/' + name + u"/expected.html"_s).toBase64());
        }
        Folders f({u"out"_s});
        writeBytes(f[u"list.txt"_s], urls.join(u"\r\n"_s).toLatin1());
        const Outcome run = runCli(
            {u"pages"_s, u"--url-list"_s, f[u"list.txt"_s], u"--storage"_s, f[u"out"_s], u"--quiet"_s});
        QCOMPARE(run.exitCode, 0);
        QStringList made;
        for (const QByteArray& page : bytesBelow(f[u"out"_s])) {
            made += QString::fromLatin1(page.toBase64());
        }
        expected.sort();
        made.sort();
        QCOMPARE(made, expected);
        QCOMPARE(server.requests(), urls.size());
    }

    // The article of each text in the outline chosen: its placeholders filled, the rest as it stands.
    void articles_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("article");
        QTest::addRow("short") << QStringList()
                               << QByteArray(
                                      "CATEGORY: Computers-and-Technology/Software \r\n\r\nTITLE:\r\nSolo\r\n"
                                      "\r\nSUMMARY:\r\nAbout Solo\r\n\r\nBODY:\r\nbodyXXX\r\n");
        QTest::addRow("long") << QStringList{u"--long"_s}
                              << QByteArray(
                                     "Description (45 words)\r\nAbout Solo\r\n\r\nDescription (80 words)\r\n"
                                     "\r\n\r\nDescription (250 words)\r\n\r\n\r\nDescription (2000 words)\r\n"
                                     "bodyXXX4\r\n");
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
        writeBytes(f[u"texts/solo.txt"_s], pad(u"Solo"_s).toLatin1());
        writeBytes(f[u"outline.txt"_s], "Title: titleXXX\nAd: GoogleAdsenseXXX\r\n");
        writeBytes(f[u"ad.txt"_s], "[ad]");
        options.replaceInStrings(u"{t}"_s, f.temp.path());
        const Outcome run =
            runCli(QStringList{u"article"_s, u"--from-texts"_s, f[u"texts"_s], u"--storage"_s, f[u"out"_s]} +
                   options);
        QCOMPARE(run.exitCode, 0);
        const QMap<QString, QByteArray> written = bytesBelow(f[u"out"_s]);
        QCOMPARE(written.keys(), QStringList{u"Solo.txt"_s});
        QVERIFY2(written.first().contains(article), written.first().constData());
        QVERIFY(written.first().endsWith("\r\n\r\n")); // the outline's last line end, then the file's
    }

    // Ctrl-C while a PAD file loads: the run stops at its next yield, the record in hand is not
    // written, and nothing half-written is left.
    // sort files every page by category; split moves a folder's files into subfolders of --per.
    void sortAndSplit() {
        QTemporaryDir temp;
        const QString texts = temp.filePath(u"texts"_s);
        QVERIFY(QDir(temp.path()).mkdir(u"texts"_s));
        const QStringList categories = {u"Games"_s, u"Home/Hobby"_s, u"Games"_s};
        for (int i = 0; i < categories.size(); ++i) {
            writeBytes(texts + u"/%1.txt"_s.arg(i),
                       (pad(u"P%1"_s.arg(i)) +
                        u"<Program_Specific_Category>%1</Program_Specific_Category>"_s.arg(categories[i]))
                           .toLatin1());
        }
        const Outcome sorted = runCli({u"sort"_s, u"--pad-text-folder"_s, texts, u"--quiet"_s});
        QCOMPARE(sorted.exitCode, 0);
        QCOMPARE(bytesBelow(texts + u"/Category"_s).keys(),
                 (QStringList{u"Games/P0.html"_s, u"Games/P2.html"_s, u"Home/Hobby/P1.html"_s}));
        QCOMPARE(bytesBelow(texts + u"/0"_s).size(), 3);

        const QString big = temp.filePath(u"big"_s);
        QVERIFY(QDir(temp.path()).mkdir(u"big"_s));
        for (int i = 0; i < 120; ++i) {
            writeBytes(big + u"/%1.txt"_s.arg(i), "x");
        }
        QCOMPARE(runCli({u"split"_s, u"--folder"_s, big, u"--per"_s, u"0"_s}).exitCode, 2);
        QCOMPARE(runCli({u"split"_s, u"--folder"_s, big, u"--per"_s, u"50"_s, u"--quiet"_s}).exitCode, 0);
        QList<int> sizes;
        for (const QString& sub : {u"0"_s, u"1"_s, u"2"_s, u"3"_s}) {
            sizes += int(bytesBelow(big + u'/' + sub).size());
        }
        QCOMPARE(sizes, (QList<int>{50, 50, 20, 0}));
    }

    void ctrlCStopsBetweenRecords() {
        vt::testing::ScriptedServer server;
        QVERIFY(server.listening());
        server.answer("/0.xml", vt::testing::ok("text/xml", pad(u"First"_s).toLatin1()));
        server.answer("/1.xml", {vt::testing::Pace::Never, {}, {}});
        Folders f({u"out"_s});
        writeBytes(f[u"list.txt"_s],
                   (server.url(u"/0.xml"_s) + u"\r\n"_s + server.url(u"/1.xml"_s)).toLatin1());
        const Outcome run = runCli(
            {u"texts"_s, u"--url-list"_s, f[u"list.txt"_s], u"--storage"_s, f[u"out"_s]}, [&](QProcess& p) {
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
