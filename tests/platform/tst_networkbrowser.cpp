#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

#include "../support/ScriptedServer.h"
#include "platform/NetworkBrowser.h"

using namespace vt::platform;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace vt::testing;

namespace {

// Processes events until the load ended, as the workflow waits; false when it did not end in time.
bool waitForLoad(const NetworkBrowser& browser, std::chrono::milliseconds bound = 5s) {
    QElapsedTimer clock;
    clock.start();
    while ((browser.readyState() == ReadyState::Loading || browser.busy()) &&
           clock.elapsed() < bound.count()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return browser.readyState() == ReadyState::Complete && !browser.busy();
}

// A failure names the address and its reason, and holds nothing a PAD tag could start with.
void verifyFailure(const NetworkBrowser& browser, const QString& address, const QString& reason) {
    const QString text = browser.bodyText();
    QVERIFY2(text.startsWith(u"The PAD file at %1 could not be loaded: "_s.arg(address)), qPrintable(text));
    QVERIFY2(text.contains(reason), qPrintable(text));
    QVERIFY2(!text.contains(u'<'), qPrintable(text));
    QVERIFY(!browser.lastResult().error.isEmpty());
}

const QByteArray PadUtf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                           "<XML_DIZ_INFO>\r\n<Program_Info>\r\n"
                           "<Program_Name>Caf\xC3\xA9 Z\xC3\xBCrich \xE2\x82\xAC</Program_Name>\r\n"
                           "</Program_Info>\r\n</XML_DIZ_INFO>\r\n";
const QString PadUtf8Text = u"<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                            "<XML_DIZ_INFO>\r\n<Program_Info>\r\n"
                            "<Program_Name>Café Zürich €</Program_Name>\r\n"
                            "</Program_Info>\r\n</XML_DIZ_INFO>\r\n"_s;

} // namespace

Q_DECLARE_METATYPE(Answer)

class TestNetworkBrowser : public QObject {
    Q_OBJECT

private slots:
    void beforeTheFirstLoad() {
        NetworkBrowser browser;
        QCOMPARE(browser.readyState(), ReadyState::Uninitialized);
        QVERIFY(!browser.busy());
        QCOMPARE(browser.bodyText(), QString());
    }

    void documents_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("expected");

        QTest::addRow("PAD in UTF-8") << ok("text/xml", PadUtf8) << PadUtf8Text;
        QTest::addRow("PAD in UTF-8 with a byte order mark")
            << ok("text/xml", "\xEF\xBB\xBF" + PadUtf8) << PadUtf8Text;
        QTest::addRow("PAD served as plain text") << ok("text/plain", PadUtf8) << PadUtf8Text;
        QTest::addRow("PAD without declaration served as HTML")
            << ok("text/html", "<XML_DIZ_INFO><Program_Name>A &amp; B</Program_Name></XML_DIZ_INFO>")
            << u"<XML_DIZ_INFO><Program_Name>A &amp; B</Program_Name></XML_DIZ_INFO>"_s;
        // 0xE9 is é and 0x80 is € in Windows-1252; neither is valid UTF-8 on its own.
        QTest::addRow("Windows-1252 declared")
            << ok("application/xml", "<?xml version=\"1.0\" "
                                     "encoding=\"windows-1252\"?>\n<Program_Name>Caf\xE9 \x80</Program_Name>")
            << u"<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<Program_Name>Café €</Program_Name>"_s;
        QTest::addRow("ISO-8859-1 declared reads as Windows-1252")
            << ok("text/xml", "<?xml version='1.0' encoding='ISO-8859-1'?><Program_Name>\x80</Program_Name>")
            << u"<?xml version='1.0' encoding='ISO-8859-1'?><Program_Name>€</Program_Name>"_s;
        QTest::addRow("Windows-1252 undeclared, invalid as UTF-8")
            << ok(QByteArray(), "<XML_DIZ_INFO><Program_Name>Caf\xE9</Program_Name></XML_DIZ_INFO>")
            << u"<XML_DIZ_INFO><Program_Name>Café</Program_Name></XML_DIZ_INFO>"_s;
        QTest::addRow("HTTP charset before the declaration")
            << ok("text/xml; charset=windows-1252", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xE9</a>")
            << u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>é</a>"_s;
        QTest::addRow("HTTP charset UTF-8")
            << ok("text/xml; charset=\"utf-8\"", "<a>\xC3\xA9</a>") << u"<a>é</a>"_s;
        // Title, style, script and comment are dropped; block ends and <br> break lines; white
        // space folds; entities decode, &nbsp; to U+00A0.
        QTest::addRow("HTML page")
            << ok("text/html; charset=utf-8",
                  "<!DOCTYPE html>\n<html><head><title>Download</title><style>p { color: red; }</style>\n"
                  "<script>var s = \"<Program_Name>\";</script></head>\n"
                  "<body><h1>Caf&eacute; &amp; more</h1><p>Version&nbsp;2 &lt;beta&gt; &#8364;5 "
                  "&#x41;&#150;</p>\n"
                  "line<br>next <!-- <Program_Name> --> end</body></html>\n")
            << u"Café & more\r\nVersion\u00A02 <beta> €5 A\u2013\r\nline\r\nnext end"_s;
        QTest::addRow("HTML page in Windows-1252 by its meta charset")
            << ok("text/html",
                  "<html><head><meta charset=\"windows-1252\"></head><body>Caf\xE9 \x80</body></html>")
            << u"Café €"_s;
        QTest::addRow("plain text stays as it is") << ok("text/plain", "a  <b>\r\n") << u"a  <b>\r\n"_s;
        QTest::addRow("empty body") << ok("text/xml", QByteArray()) << QString();
    }

    void documents() {
        QFETCH(Answer, answer);
        QFETCH(QString, expected);
        ScriptedServer server;
        QVERIFY(server.listening());
        server.answer("/pad.xml", answer);
        NetworkBrowser browser;

        browser.navigate(server.url(u"/pad.xml"_s));
        QCOMPARE(browser.readyState(), ReadyState::Loading);
        QVERIFY(browser.busy());
        QVERIFY(waitForLoad(browser));
        QCOMPARE(browser.bodyText(), expected);
        QCOMPARE(browser.lastResult().status, 200);
        QCOMPARE(browser.lastResult().error, QString());
    }

    void httpErrors_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QString>("reason");
        QTest::addRow("404") << QByteArray("/missing.xml") << u"HTTP status 404 (Not Found)"_s;
        QTest::addRow("500") << QByteArray("/broken.xml") << u"HTTP status 500 (Internal Server Error)"_s;
        QTest::addRow("redirect without a target") << QByteArray("/nowhere") << u"HTTP status 302 (Found)"_s;
    }

    void httpErrors() {
        QFETCH(QByteArray, path);
        QFETCH(QString, reason);
        ScriptedServer server;
        QVERIFY(server.listening());
        server.answer("/broken.xml", whole("500 Internal Server Error", "Content-Type: text/xml\r\n",
                                           "<Program_Name>Broken</Program_Name>"));
        server.answer("/nowhere", whole("302 Found", QByteArray(), QByteArray()));
        NetworkBrowser browser;
        const QString address = server.url(QString::fromLatin1(path));

        browser.navigate(address);
        QVERIFY(waitForLoad(browser));
        verifyFailure(browser, address, reason);
    }

    void redirects_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<int>("limit");
        QTest::addColumn<bool>("loads");
        QTest::addRow("two redirects, limit two") << QByteArray("/two") << 2 << true;
        QTest::addRow("three redirects, limit two") << QByteArray("/three") << 2 << false;
        QTest::addRow("ten redirects, default limit") << QByteArray("/r10") << MaxRedirects << true;
    }

    void redirects() {
        QFETCH(QByteArray, path);
        QFETCH(int, limit);
        QFETCH(bool, loads);
        ScriptedServer server;
        QVERIFY(server.listening());
        server.answer("/pad.xml", ok("text/xml", PadUtf8));
        server.answer("/one", redirect(server.url(u"/pad.xml"_s).toLatin1())); // absolute
        server.answer("/two", redirect("/one"));                               // relative to the host
        server.answer("/three", redirect("two"));                              // relative to the path
        for (int n = 1; n <= 10; ++n) {
            server.answer("/r" + QByteArray::number(n),
                          redirect(n == 1 ? "/pad.xml" : "/r" + QByteArray::number(n - 1)));
        }
        FetchLimits limits;
        limits.redirects = limit;
        NetworkBrowser browser(limits);
        const QString address = server.url(QString::fromLatin1(path));

        browser.navigate(address);
        QVERIFY(waitForLoad(browser));
        if (loads) {
            QCOMPARE(browser.bodyText(), PadUtf8Text);
            QCOMPARE(browser.lastResult().url, QUrl(server.url(u"/pad.xml"_s)));
        } else {
            verifyFailure(browser, address, u"redirected more than 2 times"_s);
            QCOMPARE(server.requestsFor("/pad.xml"), 0);
        }
    }

    void redirectLoopEnds() {
        ScriptedServer server;
        QVERIFY(server.listening());
        server.answer("/loop", redirect("/loop"));
        NetworkBrowser browser;
        const QString address = server.url(u"/loop"_s);

        browser.navigate(address);
        QVERIFY(waitForLoad(browser));
        verifyFailure(browser, address, u"redirected more than 10 times"_s);
        // The first request and the ten redirects followed.
        QCOMPARE(server.requestsFor("/loop"), 11);
    }

    void redirectRefusal_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("followed");
        QTest::addRow("http to http") << u"http://a.example/x"_s << u"http://b.example/y"_s << true;
        QTest::addRow("http to https") << u"http://a.example/x"_s << u"https://a.example/x"_s << true;
        QTest::addRow("https to https") << u"https://a.example/x"_s << u"https://b.example/y"_s << true;
        QTest::addRow("https to http") << u"https://a.example/x"_s << u"http://a.example/x"_s << false;
        QTest::addRow("https to HTTP upper case")
            << u"https://a.example/x"_s << u"HTTP://a.example/x"_s << false;
        QTest::addRow("http to a file") << u"http://a.example/x"_s << u"file:///etc/passwd"_s << false;
        QTest::addRow("http to ftp") << u"http://a.example/x"_s << u"ftp://a.example/x"_s << false;
    }

    void redirectRefusal() {
        QFETCH(QString, from);
        QFETCH(QString, target);
        QFETCH(bool, followed);
        const QString refusal = RedirectRefusal(QUrl(from), QUrl(target));
        QCOMPARE(refusal.isEmpty(), followed);
        QVERIFY(!refusal.contains(u'<'));
    }

    void silentServer() {
        ScriptedServer server;
        QVERIFY(server.listening());
        server.answer("/silent", {Pace::Never, {}, {}});
        FetchLimits limits;
        limits.silence = 300ms;
        NetworkBrowser browser(limits);
        const QString address = server.url(u"/silent"_s);

        browser.navigate(address);
        QVERIFY(waitForLoad(browser));
        verifyFailure(browser, address, u"no data arrived for 300 ms"_s);
    }

    void drippingServer_data() {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<bool>("loads");
        // A byte every 100 ms against a 700 ms deadline: 3 bytes end in time, 30 never do.
        QTest::addRow("ends before the deadline") << 3 << true;
        QTest::addRow("drips past the deadline") << 30 << false;
    }

    void drippingServer() {
        QFETCH(int, bytes);
        QFETCH(bool, loads);
        ScriptedServer server;
        QVERIFY(server.listening());
        const QByteArray body(bytes, 'x');
        server.answer("/drip",
                      {Pace::Drip, head("200 OK", "Content-Type: text/plain\r\n", body.size()), body});
        FetchLimits limits;
        limits.silence = 300ms;
        limits.total = 700ms;
        NetworkBrowser browser(limits);
        const QString address = server.url(u"/drip"_s);

        browser.navigate(address);
        QVERIFY(waitForLoad(browser));
        if (loads) {
            QCOMPARE(browser.bodyText(), QString::fromLatin1(body));
        } else {
            verifyFailure(browser, address, u"did not end within 700 ms"_s);
        }
    }

    void bodySize_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("loads");
        const QByteArray atLimit(64 * 1024, 'x');
        QTest::addRow("exactly the limit") << ok("text/plain", atLimit) << true;
        QTest::addRow("one byte over, announced") << ok("text/plain", atLimit + 'x') << false;
        QTest::addRow("endless, unannounced")
            << Answer{Pace::Endless, head("200 OK", "Content-Type: text/xml\r\n"), {}} << false;
    }

    void bodySize() {
        QFETCH(Answer, answer);
        QFETCH(bool, loads);
        ScriptedServer server;
        QVERIFY(server.listening());
        server.answer("/big", answer);
        FetchLimits limits;
        limits.bodyBytes = 64 * 1024;
        NetworkBrowser browser(limits);
        const QString address = server.url(u"/big"_s);

        browser.navigate(address);
        QVERIFY(waitForLoad(browser));
        if (loads) {
            QCOMPARE(browser.bodyText().size(), 64 * 1024);
        } else {
            verifyFailure(browser, address, u"larger than 65536 bytes"_s);
            QVERIFY(browser.lastResult().body.size() <= 64 * 1024);
        }
    }

    void connectionRefused() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const QString address = u"http://127.0.0.1:%1/pad.xml"_s.arg(closed.serverPort());
        closed.close();
        NetworkBrowser browser;

        browser.navigate(address);
        QVERIFY(waitForLoad(browser));
        verifyFailure(browser, address, u"refused"_s);
    }

    void tlsFailure() {
        ScriptedServer server;
        QVERIFY(server.listening());
        const QString address = server.url(u"/pad.xml"_s).replace(u"http:"_s, u"https:"_s);
        FetchLimits limits;
        limits.silence = 2s;
        NetworkBrowser browser(limits);

        browser.navigate(address);
        QVERIFY(waitForLoad(browser));
        verifyFailure(browser, address, QString());
        QCOMPARE(server.requestsFor("/pad.xml"), 0);
    }

    void unsupportedAddress() {
        NetworkBrowser browser;
        browser.navigate(u"ftp://127.0.0.1/pad.xml"_s);
        QCOMPARE(browser.readyState(), ReadyState::Complete);
        verifyFailure(browser, u"ftp://127.0.0.1/pad.xml"_s, u"only http, https and local files"_s);
    }

    void emptyAddress_data() {
        QTest::addColumn<QString>("address");
        QTest::addRow("empty") << QString();
        QTest::addRow("blank") << u"  "_s;
    }

    void emptyAddress() {
        QFETCH(QString, address);
        ScriptedServer server;
        NetworkBrowser browser;
        browser.navigate(server.url(u"/pad.xml"_s));
        browser.navigate(address);

        QCOMPARE(browser.readyState(), ReadyState::Complete);
        QVERIFY(!browser.busy());
        QCOMPARE(browser.bodyText(), QString());
        QTest::qWait(50);
        QCOMPARE(browser.bodyText(), QString());
    }

    void newLoadAbortsTheRunningOne() {
        ScriptedServer server;
        QVERIFY(server.listening());
        server.answer("/silent", {Pace::Never, {}, {}});
        server.answer("/slow", {Pace::Drip, head("200 OK", "Content-Type: text/plain\r\n", 2), "ab"});
        server.answer("/pad.xml", ok("text/xml", PadUtf8));
        NetworkBrowser browser;

        browser.navigate(server.url(u"/silent"_s));
        browser.navigate(server.url(u"/slow"_s));
        browser.navigate(server.url(u"/pad.xml"_s));
        QVERIFY(waitForLoad(browser));
        QCOMPARE(browser.bodyText(), PadUtf8Text);
        // The abandoned loads never come back to replace the document.
        QTest::qWait(400);
        QCOMPARE(browser.readyState(), ReadyState::Complete);
        QCOMPARE(browser.bodyText(), PadUtf8Text);
    }

    void localFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("asUrl");
        QTest::addColumn<QString>("expected");
        const QString pad = u"<XML_DIZ_INFO>\r\n<Program_Name>Café</Program_Name>\r\n</XML_DIZ_INFO>\r\n"_s;
        QTest::addRow("plain path") << u"pad.xml"_s << false << pad;
        QTest::addRow("file URL") << u"pad.xml"_s << true << pad;
        QTest::addRow("HTML file") << u"page.html"_s << false << u"Caf\u00E9 & co"_s;
    }

    void localFiles() {
        QFETCH(QString, name);
        QFETCH(bool, asUrl);
        QFETCH(QString, expected);
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        writeFile(temp.filePath(u"pad.xml"_s),
                  "<XML_DIZ_INFO>\r\n<Program_Name>Caf\xE9</Program_Name>\r\n</XML_DIZ_INFO>\r\n");
        writeFile(temp.filePath(u"page.html"_s), "<html><body><b>Caf&eacute;</b> &amp; co</body></html>");
        const QString path = temp.filePath(name);
        NetworkBrowser browser;

        browser.navigate(asUrl ? QUrl::fromLocalFile(path).toString() : path);
        QVERIFY(waitForLoad(browser));
        QCOMPARE(browser.bodyText(), expected);
    }

    void localFileFailures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::addRow("missing") << u"missing.xml"_s << u"No such file"_s;
        QTest::addRow("missing, tag in the name") << u"<Program_Name>.xml"_s << u"No such file"_s;
        QTest::addRow("folder") << u"folder"_s << u"folder"_s;
        QTest::addRow("larger than the limit") << u"big.xml"_s << u"larger than 1024 bytes"_s;
    }

    void localFileFailures() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        QVERIFY(QDir(temp.path()).mkdir(u"folder"_s));
        writeFile(temp.filePath(u"big.xml"_s), QByteArray(1025, 'x'));
        FetchLimits limits;
        limits.bodyBytes = 1024;
        NetworkBrowser browser(limits);
        const QString path = temp.filePath(name);

        browser.navigate(path);
        QVERIFY(waitForLoad(browser));
        verifyFailure(browser, QString(path).replace(u'<', u"%3C"_s), reason);
    }

private:
    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
};

QTEST_GUILESS_MAIN(TestNetworkBrowser)
#include "tst_networkbrowser.moc"
