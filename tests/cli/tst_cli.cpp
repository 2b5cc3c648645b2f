// The headless runner as a user's script sees it: the built program run as a process on temp
// folders, judged by the files it leaves, what it prints and its exit code. What the batch makes
// is the model's business (tests/workflow, tests/category); here the runner must press its steps.
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QRegularExpression>
#include <QSignalSpy>

#include <functional>

#include <signal.h>
#include <sys/stat.h>

#include "../support/DataRows.h"
#include "../support/TestFiles.h"
#include "../support/ScriptedServer.h"
#include "files/TextFile.h"

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

// A PAD text of the program, in the category Games.
QByteArray pad(const QString& name) {
    return "<Program_Name>" + name.toLatin1() + "</Program_Name>\r\n<Char_Desc_45>About " + name.toLatin1() +
           "</Char_Desc_45>\r\n<Program_Specific_Category>Games</Program_Specific_Category>\r\n";
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

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    // The runner fills the default texts, or the files handed in by --template and --ad-block,
    // read as Windows-1252 text files: the ad block gains its CR LF, and the page writer adds its own.
    // --safe-values fills the values as plain text and keeps the file name as written.
    void pagesFromTexts_data() {
        QTest::addColumn<QByteArray>("padText");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("page");
        const QString completeName = u"Caf\u00e9 Ledger\u2122 Pro.html"_s;
        const QByteArray complete = golden(u"complete-windows-1252"_s, u"pad.xml"_s);
        const QStringList ownTexts = {u"--template"_s, u"page.html"_s, u"--ad-block"_s, u"ad.txt"_s};
        QTest::addRow("default texts") << complete << QStringList() << completeName
                                       << golden(u"complete-windows-1252"_s, u"expected.html"_s);
        QTest::addRow("own template and ad block")
            << complete << ownTexts << completeName
            << QByteArray("<title>Caf\xE9 Ledger\x99 Pro</title>\r\n\xE9t\xE9 <ins>\x80 ad</ins>\r\n Cash "
                          "book &amp; "
                          "ledger for caf\xE9s, in \x80\r\n\r\n");
        QTest::addRow("safe values")
            << QByteArray("<Program_Name>Tom & Jerry</Program_Name><Char_Desc_45><script>go()</script> &amp; "
                          "\"more\"</Char_Desc_45>")
            << ownTexts + QStringList{u"--safe-values"_s} << u"Tom & Jerry.html"_s
            << QByteArray("<title>Tom &amp; Jerry</title>\r\n\xE9t\xE9 <ins>\x80 ad</ins>\r\n "
                          "&lt;script&gt;go()&lt;/"
                          "script&gt; &amp; &quot;more&quot;\r\n\r\n");
    }
    void pagesFromTexts() {
        QFETCH(QByteArray, padText);
        QFETCH(QStringList, options);
        QFETCH(QString, name);
        QFETCH(QByteArray, page);
        Folders f({u"texts"_s, u"out"_s});
        QVERIFY(vt::files::writeTextFile(f[u"texts/0.txt"_s], QString::fromUtf8(padText)).ok());
        writeBytes(f[u"page.html"_s],
                   "<title>PageTitleXXX</title>\r\n\xE9t\xE9 GoogleAdsenseXXX DescriptionXXX\r\n");
        writeBytes(f[u"ad.txt"_s], "<ins>\x80 ad</ins>");
        QStringList arguments = f.run(u"pages"_s, u"texts"_s) << u"--quiet"_s;
        for (const QString& option : options) {
            arguments << (option.contains(u'.') ? f[option] : option);
        }
        QCOMPARE(runCli(arguments).exitCode, 0);
        QCOMPARE(bytesBelow(f[u"out"_s]), (QMap<QString, QByteArray>{{name, page}}));
    }

    // "defaults" writes the default texts as the files --template, --ad-block and --index-template read back.
    void defaultsExport() {
        QTemporaryDir temp;
        QCOMPARE(runCli({u"defaults"_s, temp.path()}).exitCode, 0);
        const QMap<QString, QByteArray> written = bytesBelow(temp.path());
        QCOMPARE(written.keys(),
                 (QStringList{u"ad-block.txt"_s, u"index-template.html"_s, u"page-template.html"_s}));
        for (const QString& name : written.keys()) {
            QCOMPARE(written[name], contentsOf(QStringLiteral(VELLUMTIDE_TEST_DATA "/templates/") + name));
        }
    }

    // Rows in tests/data/rows/cli.tsv.
    void exitCodes_data() { addRows("cli"); }
    void exitCodes() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QStringList, written);
        Folders f({u"texts"_s, u"bad"_s, u"out"_s, u"linked"_s, u"linkedsort"_s, u"fifo"_s, u"codes"_s});
        for (int i = 0; i < 3; ++i) {
            writeBytes(f[u"texts/%1.txt"_s.arg(i)], pad(QChar(u'A' + i)));
        }
        writeBytes(f[u"bad/0.txt"_s], pad(u"a/b"_s));
        writeBytes(f[u"bad/1.txt"_s], pad(u"Good"_s));
        writeBytes(f[u"victim.txt"_s], "victim");
        QVERIFY(QFile::link(f[u"victim.txt"_s], f[u"linked/A.html"_s]));
        writeBytes(f[u"linkedsort/0.txt"_s], pad(u"A"_s));
        QVERIFY(QDir().mkpath(f[u"linkedsort/Category"_s]) &&
                QFile::link(f[u"out"_s], f[u"linkedsort/Category/Games"_s]));
        QCOMPARE(::mkfifo(QFile::encodeName(f[u"fifo/0.txt"_s]).constData(), 0600), 0);
        writeBytes(f[u"fifo/1.txt"_s], pad(u"Good"_s));
        writeBytes(f[u"local.txt"_s], (f[u"texts/0.txt"_s] + u'\n' + f[u"texts/1.txt"_s]).toLocal8Bit());
        writeBytes(f[u"codes/0.txt"_s], pad(u"\x1b]0;owned\x07"_s));
        arguments.replaceInStrings(u"{t}"_s, f.temp.path());
        message.replace(u"{t}"_s, f.temp.path());
        const Outcome run = runCli(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(message.isEmpty() ? run.err.isEmpty() : run.err.contains(message), qPrintable(run.err));
        QStringList made =
            filesBelow(f.temp.path()).filter(QRegularExpression(u"^(out|linked|.*/Category)/"_s));
        made.removeIf(
            [&](const QString& file) { return QFileInfo(f[file]).isSymLink(); }); // the planted links
        QCOMPARE(made, written);
        QCOMPARE(contentsOf(f[u"victim.txt"_s]), QByteArray("victim"));
    }

    // A full disk: the runner names every record whose page it could not write, leaves no page
    // empty or cut off, keeps the pages that were there before whole, and exits with 1.
    void fullDisk() {
        Folders f({u"texts"_s, u"full"_s, u"roomy"_s});
        const QStringList mount = {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=64k"_s, u"tmpfs"_s, f[u"full"_s]};
        if (QProcess::execute(u"mount"_s, mount) != 0) {
            QSKIP("Filling a disk needs a 64 KiB tmpfs, which only root can mount");
        }
        const auto unmount = qScopeGuard([&] { QProcess::execute(u"umount"_s, {f[u"full"_s]}); });
        for (int i = 0; i < 60; ++i) {
            writeBytes(f[u"texts/%1.txt"_s.arg(i)], pad(u"P%1"_s.arg(i)) + "<Char_Desc_2000>" +
                                                        QByteArray(3000, 'x') + "</Char_Desc_2000>");
        }
        QCOMPARE(runCli(f.run(u"pages"_s, u"texts"_s, u"roomy"_s) << u"--quiet"_s).exitCode, 0);
        const QMap<QString, QByteArray> whole = bytesBelow(f[u"roomy"_s]);
        const Outcome run = runCli(f.run(u"pages"_s, u"texts"_s, u"full"_s) << u"--quiet"_s);
        QCOMPARE(run.exitCode, 1);
        const QMap<QString, QByteArray> written = bytesBelow(f[u"full"_s]);
        QVERIFY(written.size() > 0 && written.size() < 60);
        for (const QString& page : whole.keys()) {
            QCOMPARE(written.value(page, whole[page]), whole[page]);
            QCOMPARE(run.err.contains(page + u"\": No space left on device"_s), !written.contains(page));
        }
        QCOMPARE(run.err.count(u"No space left on device"_s), 60 - written.size());
        // Again on the full disk: every page fails to be replaced, and each stays as it was.
        QCOMPARE(runCli(f.run(u"pages"_s, u"texts"_s, u"full"_s) << u"--quiet"_s).exitCode, 1);
        QCOMPARE(bytesBelow(f[u"full"_s]), written);
    }

    // A run killed while it writes a page leaves nothing under the page's name but a whole page;
    // the next run takes away what it left and writes the page, and a third leaves it untouched.
    void killedMidWriteThenRerun() {
        Folders f({u"texts"_s, u"out"_s});
        writeBytes(f[u"texts/0.txt"_s], pad(u"Big"_s));
        writeBytes(f[u"page.html"_s], "<title>PageTitleXXX</title>GoogleAdsenseXXX\r\n");
        // The ad block holds its own placeholder twice: the page doubles at every row, to some 50 MB.
        writeBytes(f[u"ad.txt"_s], "GoogleAdsenseXXX" + QByteArray(766, ' ') + "GoogleAdsenseXXX");
        QStringList arguments = f.run(u"pages"_s, u"texts"_s)
                                << u"--template"_s << f[u"page.html"_s] << u"--ad-block"_s << f[u"ad.txt"_s];
        const auto inOut = [&] {
            return QDir(f[u"out"_s], {}, QDir::Name, QDir::Files | QDir::Hidden).entryList();
        };
        QMap<QString, QByteArray> atKill;
        const Outcome killed = runCli(arguments, [&](QProcess& p) {
            QElapsedTimer clock;
            clock.start();
            while (inOut().isEmpty() && clock.elapsed() < 60000) {
            }
            ::kill(pid_t(p.processId()), SIGKILL);
            p.waitForFinished();
            atKill = bytesBelow(f[u"out"_s]);
        });
        QCOMPARE(killed.exitCode, -1);
        // The ad block was left out where it would have passed the size limit: the record is named.
        QCOMPARE(runCli(arguments).exitCode, 1);
        const QMap<QString, QByteArray> whole = bytesBelow(f[u"out"_s]);
        QCOMPARE(whole.keys(), QStringList{u"Big.html"_s});
        QVERIFY(whole.first().size() > 32 * 1024 * 1024);
        QCOMPARE(atKill.value(u"Big.html"_s, whole.first()), whole.first());
        QCOMPARE(inOut(), QStringList{u"Big.html"_s});

        const QDateTime written = QFileInfo(f[u"out/Big.html"_s]).lastModified();
        const Outcome again = runCli(arguments);
        QCOMPARE(again.exitCode, 1);
        QVERIFY2(again.err.contains(u"0 written, 1 unchanged, 1 failed."_s), qPrintable(again.err));
        QCOMPARE(QFileInfo(f[u"out/Big.html"_s]).lastModified(), written);
    }

    // Two runs into one folder at the same moment: neither takes the other's file being written
    // for a leftover, both finish, and every page is whole.
    void twoRunsIntoOneFolder() {
        Folders f({u"a"_s, u"b"_s, u"out"_s});
        constexpr int Texts = 400;
        for (int i = 0; i < Texts; ++i) {
            writeBytes(f[u"a/%1.txt"_s.arg(i)], pad(u"A%1"_s.arg(i)));
            writeBytes(f[u"b/%1.txt"_s.arg(i)], pad(u"B%1"_s.arg(i)));
        }
        int second = -2;
        const Outcome first = runCli(f.run(u"pages"_s, u"a"_s) << u"--quiet"_s, [&](QProcess&) {
            second = runCli(f.run(u"pages"_s, u"b"_s) << u"--quiet"_s).exitCode;
        });
        QCOMPARE(first.exitCode, 0);
        QCOMPARE(second, 0);
        // The same pages as the two runs one after the other make.
        QVERIFY(QDir(f.temp.path()).mkdir(u"one-by-one"_s));
        QCOMPARE(runCli(f.run(u"pages"_s, u"a"_s, u"one-by-one"_s) << u"--quiet"_s).exitCode, 0);
        QCOMPARE(runCli(f.run(u"pages"_s, u"b"_s, u"one-by-one"_s) << u"--quiet"_s).exitCode, 0);
        QCOMPARE(bytesBelow(f[u"out"_s]).size(), 2 * Texts);
        QCOMPARE(bytesBelow(f[u"out"_s]), bytesBelow(f[u"one-by-one"_s]));
    }

    // Re-runs with --since-last (rows in tests/data/rows/sincelast.tsv): a first run fetches all and
    // keeps each ETag; the second asks with it, and its server answers 304, ignores the question,
    // has a new version, or the state kept is cut in half.
    void sinceLast_data() { addRows("sincelast"); }
    void sinceLast() {
        QFETCH(QString, command);
        QFETCH(QString, change);
        QFETCH(QString, counts);
        QFETCH(QString, message);
        ScriptedServer server;
        const auto tagged = [](const QByteArray& etag, const QByteArray& body) {
            return whole("200 OK", "Content-Type: text/xml\r\nETag: " + etag + "\r\n", body);
        };
        server.answer("/a.xml", tagged("\"v1\"", pad(u"Alpha"_s)));
        server.answer("/b.xml", ok("text/xml", pad(u"Beta"_s))); // no validators: always in full
        Folders f({u"out"_s, u"texts"_s});
        writeBytes(f[u"list.txt"_s], (server.url(u"/a.xml"_s) + u'\n' + server.url(u"/b.xml"_s)).toLatin1());
        const QStringList arguments = f.run(command, u"list.txt"_s) << u"--since-last"_s;
        const Outcome first = runCli(arguments);
        QCOMPARE(first.exitCode, 0);
        QVERIFY2(first.err.contains(u"fetched in full"_s), qPrintable(first.err));
        QMap<QString, QByteArray> made = bytesBelow(f[u"out"_s]);
        const QString state = f[u"out/.vellumtide-fetch"_s];
        const QString recordA = command == u"pages"_s ? u"Alpha.html"_s : u"0.txt"_s;
        if (change == u"not modified"_s || change == u"edited"_s) {
            server.answerUnchanged("/a.xml", "If-None-Match: \"v1\"", "ETag: \"v1\"\r\n");
        }
        if (change == u"edited"_s) {
            // A file that no longer holds what its URL made is not kept on a 304: loaded in full again.
            writeBytes(f[u"out/"_s + recordA], "edited");
        } else if (change == u"new version"_s) {
            server.answer("/a.xml", tagged("\"v2\"", pad(u"Alpha"_s).replace("About", "All about")));
        } else if (change == u"state cut"_s) {
            writeBytes(state, made[u".vellumtide-fetch"_s].left(made[u".vellumtide-fetch"_s].size() / 2));
        }
        const Outcome second = runCli(arguments);
        QCOMPARE(second.exitCode, 0);
        QVERIFY2(second.err.contains(counts) && second.err.contains(message), qPrintable(second.err));
        QVERIFY(server.lastRequest("/a.xml").contains("If-None-Match: \"v1\"") ==
                (change != u"state cut"_s && change != u"edited"_s));
        QCOMPARE(server.requestsFor("/a.xml"), 2);
        const QMap<QString, QByteArray> again = bytesBelow(f[u"out"_s]);
        QCOMPARE(again.keys(), made.keys());
        for (const QString& file : made.keys()) {
            // A new version changes the record's file and its ETag in the state.
            const bool changed =
                change == u"new version"_s && (file == recordA || file == u".vellumtide-fetch"_s);
            QCOMPARE(again[file] != made[file], changed);
        }
        // The state is whole again and holds the version the server sent last.
        const QJsonArray files = QJsonDocument::fromJson(contentsOf(state)).object()[u"files"_s].toArray();
        QCOMPARE(files.size(), 1);
        QCOMPARE(files[0][u"etag"_s].toString(), change == u"new version"_s ? u"\"v2\""_s : u"\"v1\""_s);
        // The state kept beside the PAD texts is no text of the folder: each text makes its page.
        if (command == u"texts"_s && change != u"not modified"_s) {
            QCOMPARE(runCli(f.run(u"pages"_s, u"out"_s, u"texts"_s) << u"--quiet"_s).exitCode, 0);
            QCOMPARE(QDir(f[u"texts"_s]).entryList(QDir::Files).size(), 2);
        }
    }

    // A state file that is a link, or holds validators no server meant to be sent back (a header
    // cut by CR LF, 50 MB of ETag): never read through, never sent; the run fetches in full.
    void hostileState_data() {
        QTest::addColumn<QByteArray>("etag");
        QTest::addColumn<bool>("link");
        QTest::addRow("header injection") << QByteArray("\\\"v1\\\"\\r\\nX-Injected: 1") << false;
        QTest::addRow("50 MB of ETag") << QByteArray(50 * 1024 * 1024, 'e') << false;
        QTest::addRow("a link") << QByteArray("\\\"v1\\\"") << true;
    }
    void hostileState() {
        QFETCH(QByteArray, etag);
        QFETCH(bool, link);
        ScriptedServer server;
        server.answer("/a.xml",
                      whole("200 OK", "Content-Type: text/xml\r\nETag: \"v1\"\r\n", pad(u"Alpha"_s)));
        server.answerUnchanged("/a.xml", "If-None-Match: \"v1\"");
        Folders f({u"out"_s});
        writeBytes(f[u"list.txt"_s], server.url(u"/a.xml"_s).toLatin1());
        const QStringList arguments = f.run(u"pages"_s, u"list.txt"_s) << u"--since-last"_s;
        QCOMPARE(runCli(arguments).exitCode, 0);
        const QString state = f[u"out/.vellumtide-fetch"_s];
        QByteArray kept = contentsOf(state).replace("\"\\\"v1\\\"\"", "\"" + etag + "\"");
        if (link) {
            QVERIFY(QFile::rename(state, f[u"elsewhere"_s]) && QFile::link(f[u"elsewhere"_s], state));
        } else {
            writeBytes(state, kept);
        }
        const Outcome again = runCli(arguments);
        QCOMPARE(again.exitCode, 0);
        QVERIFY2(!link || again.err.contains(u"is a symbolic link"_s), qPrintable(again.err));
        QVERIFY(!server.lastRequest("/a.xml").contains("If-None-Match") &&
                !server.lastRequest("/a.xml").contains("X-Injected"));
        QCOMPARE(QFileInfo(state).isSymLink(), link); // a link is not written through either
    }

    // Re-runs over the nights of a site, each row a sequence of steps (tests/data/rows/reruns.tsv)
    // against servers that answer 304 whenever they are asked with the validators they sent: at
    // the end the folder holds exactly what a run that fetches everything makes, and the last run
    // says what it kept.
    void reRunsAgreeWithAFullRun_data() { addRows("reruns"); }
    void reRunsAgreeWithAFullRun() {
        QFETCH(QString, steps);
        QFETCH(QString, counts);
        ScriptedServer server;
        Folders f({u"out"_s, u"fresh"_s});
        writeBytes(f[u"other.html"_s], "<html>ProgramNameXXX, another template</html>");
        const QByteArray date = "Mon, 07 Dec 2026 10:00:00 GMT";
        // Each letter a PAD file; d makes the page of a again; w has a weak ETag (its 304 carries
        // only that), l a Last-Modified alone (its 304 carries nothing).
        const auto serve = [&](char letter, const QByteArray& version) {
            const QByteArray path = "/" + QByteArray(1, letter) + ".xml";
            const QByteArray name =
                letter == 'a' || letter == 'd' ? "Alpha" : QByteArray(1, letter).toUpper() + "prog";
            const QByteArray etag =
                letter == 'w' ? "W/\"" + version + "\"" : "\"" + QByteArray(1, letter) + version + "\"";
            const QByteArray validators =
                letter == 'l' ? "Last-Modified: " + date + "\r\n" : "ETag: " + etag + "\r\n";
            server.answer(path,
                          whole("200 OK", "Content-Type: text/xml\r\n" + validators,
                                pad(QString::fromLatin1(name)).replace("About", "About " + version)),
                          nullptr);
            server.answerUnchanged(path,
                                   letter == 'l' ? "If-Modified-Since: " + date : "If-None-Match: " + etag,
                                   letter == 'w' ? "ETag: " + etag + "\r\n" : QByteArray());
        };
        for (const char letter : {'a', 'b', 'c', 'd', 'w', 'l'}) {
            serve(letter, "1");
        }
        QStringList last;
        Outcome outcome;
        for (const QString& step : steps.split(u" ; "_s)) {
            const QString what = step.section(u' ', 0, 0);
            const QString on = step.section(u' ', 1);
            if (what == u"new"_s || what == u"ok"_s) {
                serve(on.front().toLatin1(), what == u"new"_s ? "2" : "1");
            } else if (what == u"404"_s) {
                server.answer("/" + on.toLatin1() + ".xml", whole("404 Not Found", {}, {}), nullptr);
            } else if (what == u"rm"_s) {
                QVERIFY(QFile::remove(f[u"out/"_s + on]));
            } else if (what == u"edit"_s) {
                writeBytes(f[u"out/"_s + on], "edited");
            } else {
                QStringList urls;
                for (const QChar letter : on) {
                    urls += server.url(u"/%1.xml"_s.arg(letter));
                }
                writeBytes(f[u"list.txt"_s], urls.join(u'\n').toLatin1());
                last = f.run(what.left(5), u"list.txt"_s);
                QStringList arguments = last;
                if (what.endsWith(u'+')) {
                    arguments << u"--since-last"_s;
                } else if (what.endsWith(u'~')) {
                    arguments << u"--template"_s << f[u"other.html"_s];
                }
                outcome = runCli(arguments);
            }
        }
        QVERIFY2(counts.isEmpty() ? !outcome.err.contains(u" unchanged, "_s) : outcome.err.contains(counts),
                 qPrintable(outcome.err));
        last[last.indexOf(f[u"out"_s])] = f[u"fresh"_s];
        runCli(last << u"--quiet"_s);
        QMap<QString, QByteArray> made = bytesBelow(f[u"out"_s]);
        made.remove(u".vellumtide-fetch"_s);
        QCOMPARE(made, bytesBelow(f[u"fresh"_s]));
    }

    // Help goes to standard output; every example in it is a command line the program accepts.
    void help() {
        for (const QString& command : {u"COMMAND"_s, u"pages"_s, u"texts"_s, u"article"_s, u"sort"_s,
                                       u"split"_s, u"index"_s, u"defaults"_s}) {
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

    // The article of each text in the outline chosen: its placeholders filled, the rest as it stands.
    void articles_data() { addRows("articles"); }
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

    // --timeout sets how long a silent server is waited for: the stalled record fails after it, and
    // the record after it is made.
    void timeoutEndsAStalledLoad() {
        ScriptedServer server;
        server.answer("/0.xml", {Pace::Never, {}, {}});
        server.answer("/1.xml", ok("text/xml", pad(u"Second"_s)));
        Folders f({u"out"_s});
        writeBytes(f[u"list.txt"_s],
                   (server.url(u"/0.xml"_s) + u"\r\n"_s + server.url(u"/1.xml"_s)).toLatin1());
        const Outcome run = runCli(f.run(u"texts"_s, u"list.txt"_s) + QStringList{u"--timeout"_s, u"1"_s});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(
            run.err.contains(u"Record 0 (%1): no data arrived for 1 second\n"_s.arg(server.url(u"/0.xml"_s))),
            qPrintable(run.err));
        QCOMPARE(bytesBelow(f[u"out"_s]).keys(), QStringList{u"1.txt"_s});
    }

    // Loads ahead never change what a run makes: over a list of stalled, refused, missing, late
    // and good records, on two hosts and a closed port, the pages and the report are those of
    // one load at a time. Alpha twice: the later record's page must be the one left.
    void loadsAheadMakeWhatOneAtATimeMakes_data() {
        QTest::addColumn<QString>("parallel");
        QTest::addRow("4 in flight") << u"4"_s;
        QTest::addRow("32 in flight") << u"32"_s;
    }
    void loadsAheadMakeWhatOneAtATimeMakes() {
        QFETCH(QString, parallel);
        ScriptedServer good;
        ScriptedServer dead;
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString refusing = u"http://127.0.0.1:%1/gone.xml"_s.arg(closed.serverPort());
        closed.close();
        for (const char* name : {"Alpha", "Beta", "Gamma", "Delta"}) {
            const QByteArray path = "/" + QByteArray(name) + ".xml";
            const Answer answer = ok("text/xml", pad(QString::fromLatin1(name)));
            good.answer(path, {path.size() % 2 ? Pace::Late : Pace::Whole, answer.head, answer.body});
        }
        good.answer("/Alpha2.xml", ok("text/xml", pad(u"Alpha"_s).replace("About", "Later")));
        dead.answer("/1.xml", {Pace::Never, {}, {}});
        dead.answer("/2.xml", {Pace::Never, {}, {}});
        const QStringList list{good.url(u"/Alpha.xml"_s),
                               dead.url(u"/1.xml"_s),
                               good.url(u"/Lost.xml"_s),
                               good.url(u"/Beta.xml"_s),
                               refusing,
                               u"ftp://127.0.0.1/x.xml"_s,
                               dead.url(u"/2.xml"_s),
                               good.url(u"/Alpha2.xml"_s),
                               QString(),
                               good.url(u"/Gamma.xml"_s),
                               good.url(u"/Delta.xml"_s)};
        Folders f({u"one"_s, u"ahead"_s});
        writeBytes(f[u"list.txt"_s], list.join(u'\n').toLatin1());
        const auto run = [&](const QString& folder, const QString& inFlight) {
            return runCli(f.run(u"pages"_s, u"list.txt"_s, folder) +
                          QStringList{u"--timeout"_s, u"1"_s, u"--parallel"_s, inFlight});
        };
        const Outcome one = run(u"one"_s, u"1"_s);
        const Outcome ahead = run(u"ahead"_s, parallel);
        QVERIFY2(one.err.contains(u"no data arrived for 1 second"_s), qPrintable(one.err));
        QCOMPARE(ahead.exitCode, one.exitCode);
        // The report as it stands but for the speed and time of the run.
        const auto report = [](QString err, const QString& folder) {
            return err.remove(QRegularExpression(u"\\d+ per second, [\\d:]+ in all"_s)).remove(folder);
        };
        QCOMPARE(report(ahead.err, f[u"ahead"_s]), report(one.err, f[u"one"_s]));
        QCOMPARE(bytesBelow(f[u"ahead"_s]), bytesBelow(f[u"one"_s]));
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
